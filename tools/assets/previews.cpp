// Preview sheets: the written pictures composed the way the screens compose
// them, so a person can check at a glance that art, hit areas and spots
// agree. Everything is read back from the files just written.
#include "art.h"
#include "pictures.h"

#include "machine/playfield.h"
#include "town/town_layout.h"

#include <QDir>
#include <QFont>
#include <QMap>

namespace assets {

namespace {

using Pictures = QMap<QString, QImage>;

QRect qrect(const TownRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }
QRect qrect(const PfRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// The game's blit: source rectangle to target rectangle, stretched by
// nearest pixel, keyed blits skipping pure white.
void blit(QImage& frame, QRect target, const QImage& picture, QRect source, bool keyed) {
    if (picture.isNull() || target.isEmpty() || source.isEmpty()) return;
    QImage src = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < target.height(); ++y) {
        int ty = target.top() + y;
        if (ty < 0 || ty >= frame.height()) continue;
        int sy = source.top() + y * source.height() / target.height();
        if (sy < 0 || sy >= src.height()) continue;
        for (int x = 0; x < target.width(); ++x) {
            int tx = target.left() + x;
            if (tx < 0 || tx >= frame.width()) continue;
            int sx = source.left() + x * source.width() / target.width();
            if (sx < 0 || sx >= src.width()) continue;
            QRgb c = src.pixel(sx, sy);
            if (keyed && (c & 0xFFFFFF) == 0xFFFFFF) continue;
            frame.setPixel(tx, ty, c | 0xFF000000u);
        }
    }
}
void blitAt(QImage& frame, QPoint at, const QImage& picture, bool keyed) {
    blit(frame, QRect(at, picture.size()), picture, picture.rect(), keyed);
}

// The counters and status lines in the game's manner: opaque background.
void gameText(QImage& frame, QPoint at, const QString& text, QColor background, QColor colour) {
    QPainter p(&frame);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    QFontMetrics fm(font);
    QRect box(at, QSize(fm.horizontalAdvance(text), fm.height()));
    p.fillRect(box, background);
    p.setPen(colour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

void outline(QImage& frame, QRect r, QColor c, const QString& caption) {
    QPainter p(&frame);
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (!caption.isEmpty()) {
        QFont font(QStringLiteral("IPAGothic"));
        font.setPixelSize(10);
        p.setFont(font);
        QFontMetrics fm(font);
        QRect box(r.left(), r.top() - fm.height(), fm.horizontalAdvance(caption) + 4, fm.height());
        if (box.top() < 0) box.moveTop(r.top());
        p.fillRect(box, c);
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, caption);
    }
}

// Everywhere the walker's 32 × 32 picture can be while its corner is in
// the area.
QRect walkerCover(const WalkerArea& a) {
    return QRect(a.xMin, a.yMin, a.xMax - a.xMin + WALKER_SIZE + 1, a.yMax - a.yMin + WALKER_SIZE + 1);
}

QImage scaled(const QImage& img, int factor) {
    return img.scaled(img.width() * factor, img.height() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// --- the previews -------------------------------------------------------------

QImage contactSheet(const Pictures& pics) {
    const int width = 1320;
    QImage sheet = art::canvas(width, 2400, QColor(0x30, 0x30, 0x38));
    QPainter p(&sheet);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(12);
    p.setFont(font);
    int x = 10, y = 24, rowHeight = 0;
    for (const PictureSpec& spec : pictureList()) {
        const QString name = QString::fromLatin1(spec.file);
        QImage img = pics.value(name);
        if (img.isNull()) continue;
        // Big pictures at full size; small ones enlarged so their pixels show.
        const int longest = std::max(img.width(), img.height());
        int factor = longest <= 12 ? 6 : longest <= 41 ? 3 : longest <= 70 ? 2 : 1;
        QImage shown = scaled(img.convertToFormat(QImage::Format_RGB32), factor);
        if (spec.keyed) {
            // Transparent pixels over a checkerboard.
            for (int yy = 0; yy < shown.height(); ++yy)
                for (int xx = 0; xx < shown.width(); ++xx)
                    if ((shown.pixel(xx, yy) & 0xFFFFFF) == 0xFFFFFF)
                        shown.setPixel(xx, yy, ((xx / 4 + yy / 4) % 2) ? 0xFFC8A0C8 : 0xFFA0C8A0);
        }
        if (x + shown.width() > width - 10) {
            x = 10;
            y += rowHeight + 30;
            rowHeight = 0;
        }
        p.drawImage(x, y, shown);
        p.setPen(QColor(0xF0, 0xF0, 0xF0));
        p.drawText(QPoint(x, y - 5),
                   QStringLiteral("%1 %2×%3%4").arg(name).arg(img.width()).arg(img.height()).arg(spec.keyed ? " key" : ""));
        x += std::max(shown.width(), 110) + 14;
        rowHeight = std::max(rowHeight, shown.height());
    }
    p.end();
    return sheet.copy(0, 0, width, std::min(sheet.height(), y + rowHeight + 12));
}

QImage townBase(const Pictures& pics) {
    QImage frame = art::canvas(TOWN_WIDTH, TOWN_HEIGHT, Qt::black);
    blitAt(frame, QPoint(0, 0), pics.value("back1.bmp"), false);
    return frame;
}

void statusLines(QImage& frame) {
    gameText(frame, QPoint(0, STATUS_LINE_Y[0]), QStringLiteral("持ち金:10000円"), QColor(0, 0, 255), QColor(255, 255, 0));
    gameText(frame, QPoint(0, STATUS_LINE_Y[1]), QStringLiteral("持ち玉:0発"), QColor(0, 0, 255), QColor(255, 255, 0));
    gameText(frame, QPoint(0, STATUS_LINE_Y[2]), QStringLiteral("日数:0日め"), QColor(0, 0, 255), QColor(255, 255, 0));
}

void drawDoorStage(QImage& frame, const Pictures& pics, const DoorLayout& d, const QString& prefix, int stage) {
    // stage 0 closed (backdrop only), 1 leaf A, 2 leaf B, 3 base only.
    if (stage == 0) return;
    blit(frame, qrect(d.baseTarget), pics.value(prefix + "_0.bmp"), qrect(d.baseSource), true);
    if (stage == 1) blit(frame, qrect(d.leafATarget), pics.value(prefix + "_1.bmp"), qrect(d.leafASource), true);
    if (stage == 2) blit(frame, qrect(d.leafBTarget), pics.value(prefix + "_2.bmp"), qrect(d.leafBSource), true);
}

QImage townPreview(const Pictures& pics) {
    QImage frame = townBase(pics);
    for (int n = 0; n < TOWN_PARLOURS; ++n) {
        blit(frame, qrect(flowerLeft(n)), pics.value("hana.bmp"), qrect(FLOWER_SOURCE), false);
        blit(frame, qrect(flowerRight(n)), pics.value("hana.bmp"), qrect(FLOWER_SOURCE), false);
    }
    // Every door in a different stage of opening.
    drawDoorStage(frame, pics, HOME_DOOR, "do1", 3);
    drawDoorStage(frame, pics, BANK_DOOR, "do2", 2);
    drawDoorStage(frame, pics, PARLOUR_DOORS[0], "do3", 1);
    drawDoorStage(frame, pics, PARLOUR_DOORS[1], "do3", 2);
    drawDoorStage(frame, pics, PARLOUR_DOORS[2], "do3", 3);
    const WalkerArea& entry = HOME_DOOR.entry;
    blitAt(frame, QPoint(entry.xMin + 4, entry.yMin + 8), pics.value("My1.bmp"), true);
    statusLines(frame);
    return frame;
}

// Each door's opening sequence, enlarged: closed, leaf A, leaf B, base only.
QImage doorSequences(const Pictures& pics) {
    QImage sheet = art::canvas(4 * 80 * 3 + 40, 3 * 60 * 3 + 40, QColor(0x30, 0x30, 0x38));
    struct Row { const DoorLayout* door; const char* prefix; };
    const Row rows[] = {{&HOME_DOOR, "do1"}, {&BANK_DOOR, "do2"}, {&PARLOUR_DOORS[0], "do3"}};
    QImage back = pics.value("back1.bmp").convertToFormat(QImage::Format_RGB32);
    for (int r = 0; r < 3; ++r) {
        const DoorLayout& d = *rows[r].door;
        QRect around = qrect(d.baseTarget).adjusted(-8, -8, 8, 4);
        for (int stage = 0; stage < 4; ++stage) {
            QImage frame = back.copy();
            drawDoorStage(frame, pics, d, rows[r].prefix, stage);
            QImage crop = scaled(frame.copy(around), 3);
            QPainter p(&sheet);
            p.drawImage(20 + stage * 240, 20 + r * 180, crop);
        }
    }
    return sheet;
}

QImage interiorPreview(const Pictures& pics, int place) {
    QImage frame = townBase(pics);
    QColor spot(255, 255, 0), leave(0, 255, 120), box(255, 120, 255);
    switch (place) {
        case 0: {
            blit(frame, qrect(HOME_INTERIOR.full), pics.value("home1.bmp"), qrect(HOME_INTERIOR.source), false);
            blitAt(frame, QPoint(212, 268), pics.value("My1.bmp"), true);
            outline(frame, walkerCover(HOME_BOX), box, QStringLiteral("移動範囲"));
            outline(frame, walkerCover(HOME_SUMMARY_SPOT), spot, QStringLiteral("家計簿"));
            outline(frame, walkerCover(HOME_BED_SPOT), spot, QStringLiteral("ベッド"));
            outline(frame, walkerCover(HOME_LEAVE_AREA), leave, QStringLiteral("出口"));
            break;
        }
        case 1: {
            blit(frame, qrect(BANK_INTERIOR.full), pics.value("ginko1.bmp"), qrect(BANK_INTERIOR.source), false);
            blitAt(frame, QPoint(404, 304), pics.value("My2.bmp"), true);
            outline(frame, walkerCover(BANK_BOX), box, QStringLiteral("移動範囲"));
            static const char* const names[BANK_COUNTERS] = {"預金", "引き出し", "融資", "返済"};
            for (int i = 0; i < BANK_COUNTERS; ++i)
                outline(frame, walkerCover(BANK_COUNTER_SPOTS[i]), spot, QString::fromUtf8(names[i]));
            outline(frame, walkerCover(BANK_LEAVE_AREA), leave, QStringLiteral("出口"));
            break;
        }
        default: {
            const int n = place - 2;
            const InteriorLayout& in = PARLOUR_INTERIORS[n];
            blit(frame, qrect(in.full), pics.value("tennai1.bmp"), qrect(in.source), false);
            const WalkerArea& s3 = PARLOUR_SEATS[n][3];
            blitAt(frame, QPoint((s3.xMin + s3.xMax) / 2, s3.yMin + 8), pics.value("My1.bmp"), true);
            outline(frame, walkerCover(PARLOUR_BOXES[n]), box, QStringLiteral("移動範囲"));
            for (int s = 0; s < SEATS_PER_PARLOUR; ++s) {
                const WalkerArea& a = PARLOUR_SEATS[n][s];
                // Seat areas: where the walker's feet can be while seated.
                QRect feet(a.xMin, a.yMin + WALKER_SIZE - 4, a.xMax - a.xMin + WALKER_SIZE + 1, a.yMax - a.yMin + 5);
                outline(frame, feet, spot, QString::number(s));
            }
            outline(frame, walkerCover(PARLOUR_LEAVE_AREAS[n]), leave, QStringLiteral("出口"));
            break;
        }
    }
    statusLines(frame);
    return frame;
}

// The parlour screen with every moving part shown at its place.
QImage playfieldPreview(const Pictures& pics, bool busy) {
    QImage frame = art::canvas(PF_WIDTH, PF_HEIGHT, Qt::black);
    blitAt(frame, QPoint(0, 0), pics.value("back3.bmp"), false);
    const int nailSetting = busy ? 0 : 6;
    for (int i = 0; i < NAIL_MARKS[nailSetting].count; ++i) {
        PfPoint at = NAIL_MARKS[nailSetting].at[i];
        blit(frame, QRect(at.x, at.y, NAIL_MARK_WIDTH, NAIL_MARK_HEIGHT), pics.value("t1.bmp"), QRect(0, 0, 6, 4), false);
    }
    const QImage tama = pics.value("tama.bmp");
    if (busy) {
        blit(frame, qrect(LENDER_LIT), pics.value("koin.bmp"), QRect(0, 0, 30, 65), true);
        for (int row = 0; row < 3; ++row) {
            for (int k = 0; k < 3; ++k) {
                int w = k == 1 ? 15 : 17;
                blit(frame, QRect(TRAY_BALL_X[k], TRAY_ROW_Y[row], w, 17), tama, QRect(0, 0, 17, 17), true);
            }
        }
        blit(frame, qrect(STOP_AREA), pics.value("stop.bmp"), QRect(0, 0, 94, 31), false);
    }
    const int power = busy ? 120 : 40;
    blit(frame, qrect(DIAL_AT_ZERO).translated(0, -power), pics.value("dial.bmp"), QRect(0, 0, 101, 28), false);
    if (busy) {
        for (PfPoint at : GATE_LAMP_POS) blit(frame, QRect(at.x, at.y, 5, 5), pics.value("lamp3.bmp"), QRect(0, 0, 5, 5), true);
        for (PfPoint at : GATE_LAMP_SMALL_POS)
            blit(frame, QRect(at.x, at.y, 5, 5), pics.value("lamp4.bmp"), QRect(0, 0, 4, 4), true);
        blit(frame, qrect(GATE), pics.value("gate.bmp"), QRect(0, 0, 91, 23), false);
    }
    // A few balls in flight.
    const PfPoint balls[] = {{180, 30}, {300, 110}, {140, 190}, {420, 140}, {330, 330}, {92, 300}};
    for (PfPoint b : balls) blitAt(frame, QPoint(b.x, b.y), tama, true);
    for (int k = 0; k < 4; ++k)
        blit(frame, QRect(WING_POS[k].x, WING_POS[k].y, WING_SIZE, WING_SIZE),
             pics.value((k + (busy ? 0 : 1)) % 2 ? "hane1.bmp" : "hane2.bmp"), QRect(0, 0, 35, 35), true);
    blit(frame, qrect(LEFT_TULIP), pics.value(busy ? "tyu1_o.bmp" : "tyu1_c.bmp"), QRect(0, 0, 55, 34), true);
    blit(frame, qrect(RIGHT_TULIP), pics.value(busy ? "tyu2_o.bmp" : "tyu2_c.bmp"), QRect(0, 0, 56, 53), true);
    const int lamps = busy ? 4 : 2;
    for (int i = 0; i < lamps; ++i)
        blit(frame, QRect(HOLD_LAMP_POS[i].x, HOLD_LAMP_POS[i].y, 9, 9), pics.value("lamp1.bmp"), QRect(0, 0, 9, 9), true);
    if (busy)
        blit(frame, QRect(OVERFLOW_LAMP_POS.x, OVERFLOW_LAMP_POS.y, 8, 8), pics.value("lamp2.bmp"), QRect(0, 0, 8, 8), true);
    const int reels[3] = {busy ? 203 : 58, busy ? 203 : 145, busy ? 203 : 250};
    for (int i = 0; i < 3; ++i)
        blit(frame, QRect(REEL_X[i], REEL_WINDOW.top, REEL_WIDTH, 57), pics.value("slot.bmp"),
             QRect(0, reels[i], REEL_WIDTH, 57), false);
    gameText(frame, QPoint(CASH_TEXT.x, CASH_TEXT.y), QStringLiteral("%1 円").arg(busy ? 123400 : 9900, 10),
             QColor(255, 255, 128), Qt::black);
    gameText(frame, QPoint(BALLS_TEXT.x, BALLS_TEXT.y), QStringLiteral("%1 玉").arg(busy ? 2345 : 20, 10),
             QColor(255, 255, 128), Qt::black);
    return frame;
}

// The end pictures stretched as the town shows them.
QImage endPictures(const Pictures& pics) {
    QImage sheet = art::canvas(2 * 640 + 30, 416 + 20, QColor(0x30, 0x30, 0x38));
    QImage a = townBase(pics), b = townBase(pics);
    blit(a, qrect(TYCOON_TARGET), pics.value("seiko.bmp"), qrect(TYCOON_SOURCE), false);
    blit(b, qrect(BANKRUPT_TARGET), pics.value("hasan.bmp"), qrect(BANKRUPT_SOURCE), false);
    blitAt(a, QPoint(300, 300), pics.value("My1.bmp"), true);
    blitAt(b, QPoint(300, 300), pics.value("My1.bmp"), true);
    statusLines(a);
    statusLines(b);
    QPainter p(&sheet);
    p.drawImage(10, 10, a);
    p.drawImage(660, 10, b);
    return sheet;
}

bool save(const QImage& image, const QDir& dir, const QString& name, QString* error) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        if (error) *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace

bool writePreviews(const QString& pictureDir, const QString& docsDir, QString* error) {
    QDir in(pictureDir), out(docsDir);
    if (!out.exists() && !QDir().mkpath(docsDir)) {
        if (error) *error = QStringLiteral("cannot create %1").arg(docsDir);
        return false;
    }
    Pictures pics;
    for (const PictureSpec& spec : pictureList()) {
        const QString name = QString::fromLatin1(spec.file);
        QImage img(in.filePath(name));
        if (img.isNull()) {
            if (error) *error = QStringLiteral("cannot read %1").arg(in.filePath(name));
            return false;
        }
        pics.insert(name, img);
    }
    return save(contactSheet(pics), out, QStringLiteral("pictures.png"), error) &&
           save(townPreview(pics), out, QStringLiteral("town.png"), error) &&
           save(doorSequences(pics), out, QStringLiteral("doors.png"), error) &&
           save(interiorPreview(pics, 0), out, QStringLiteral("interior_home.png"), error) &&
           save(interiorPreview(pics, 1), out, QStringLiteral("interior_bank.png"), error) &&
           save(interiorPreview(pics, 2), out, QStringLiteral("interior_parlour0.png"), error) &&
           save(interiorPreview(pics, 3), out, QStringLiteral("interior_parlour1.png"), error) &&
           save(interiorPreview(pics, 4), out, QStringLiteral("interior_parlour2.png"), error) &&
           save(playfieldPreview(pics, true), out, QStringLiteral("playfield.png"), error) &&
           save(playfieldPreview(pics, false), out, QStringLiteral("playfield_quiet.png"), error) &&
           save(endPictures(pics), out, QStringLiteral("end_pictures.png"), error);
}

}  // namespace assets
