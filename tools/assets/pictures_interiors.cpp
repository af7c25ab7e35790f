// The three interiors. Each is drawn at its full rectangle 1:1 over the
// town, so every piece of furniture is placed from the spot areas of
// town/town_layout.h converted into the picture's own coordinates: the
// walker's feet are at its top-left y + 32, and the spot the player has to
// step on lies right in front of the thing it opens.
#include "art.h"
#include "pictures.h"

#include "town/town_layout.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace assets {

using namespace art;

namespace {

// A walker area converted into a picture's coordinates: the band where the
// walker's body stands (x .. x + 32) and the row range of its feet.
struct Footprint {
    int left, right;     // body from the leftmost to the rightmost position
    int feetTop, feetBottom;
};
Footprint footprint(const WalkerArea& a, const TownRect& full) {
    return {a.xMin - full.left, a.xMax + WALKER_SIZE - full.left, a.yMin + WALKER_SIZE - full.top,
            a.yMax + WALKER_SIZE - full.top};
}

// A floor mat marking where to stand.
void mat(QImage& img, QRect r, QColor face, QColor edge) {
    QPainter p(&img);
    p.fillRect(r, edge);
    p.fillRect(r.adjusted(1, 1, -1, -1), face);
    for (int x = r.left() + 3; x < r.right() - 1; x += 4) p.fillRect(QRect(x, r.top() + 2, 1, r.height() - 4), edge);
}

void exitSign(QImage& img, QRect r) {
    QPainter p(&img);
    p.fillRect(r, pal(GREEN, 5));
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), pal(GREEN, 8));
    p.end();
    TextStyle t;
    t.pixelSize = r.height() - 2;
    t.bold = true;
    t.color = pal(GREEN, 14);
    t.threshold = 0.4;
    pixelText(img, r, QStringLiteral("出口"), t);
}

void label(QImage& img, QRect r, const QString& text, int size, QColor colour, QColor shadow = QColor()) {
    TextStyle t;
    t.pixelSize = size;
    t.bold = true;
    t.color = colour;
    t.shadow = shadow;
    t.threshold = 0.5;
    pixelText(img, r, text, t);
}

}  // namespace

// --- home -----------------------------------------------------------------------------

QImage drawHome1() {
    const TownRect full = HOME_INTERIOR.full;
    const Footprint summary = footprint(HOME_SUMMARY_SPOT, full);  // body 84..172, feet 88..112
    const Footprint bed = footprint(HOME_BED_SPOT, full);          // body 172..292, feet 88..112
    const Footprint leave = footprint(HOME_LEAVE_AREA, full);      // body 128..176, feet 188..204
    const int wallBottom = 66;

    QImage img = canvas(300, 200, pal(BROWN, 9));
    QPainter p(&img);
    // Wooden floor boards.
    for (int y = wallBottom; y < 200; y += 8) {
        p.fillRect(QRect(0, y, 300, 1), pal(BROWN, 7));
        int offset = ((y - wallBottom) / 8) % 3 * 23;
        for (int x = offset; x < 300; x += 70) p.fillRect(QRect(x, y, 1, 8), pal(BROWN, 7));
    }
    // Back wall: cream paper with a wainscot.
    p.fillRect(QRect(0, 0, 300, wallBottom), pal(GOLD, 13));
    for (int x = 4; x < 300; x += 10) p.fillRect(QRect(x, 0, 1, wallBottom - 12), pal(GOLD, 12));
    p.fillRect(QRect(0, wallBottom - 12, 300, 12), pal(BROWN, 6));
    p.fillRect(QRect(0, wallBottom - 12, 300, 2), pal(BROWN, 8));
    p.fillRect(QRect(0, wallBottom, 300, 2), pal(BROWN, 4));
    // Side walls framing the room.
    p.fillRect(QRect(0, 0, 4, 200), pal(BROWN, 4));
    p.fillRect(QRect(296, 0, 4, 200), pal(BROWN, 4));
    p.fillRect(QRect(0, 196, 300, 4), pal(BROWN, 4));

    // Window on the left: the neon night outside.
    QRect win(14, 8, 54, 36);
    p.fillRect(win.adjusted(-3, -3, 3, 3), pal(BROWN, 5));
    p.fillRect(win, pal(NAVY, 2));
    p.fillRect(QRect(win.left(), win.bottom() - 10, win.width(), 11), pal(NAVY, 3));
    for (int i = 0; i < 6; ++i)
        p.fillRect(QRect(win.left() + 3 + i * 9, win.bottom() - 9 - (i % 3) * 4, 6, 10 + (i % 3) * 4), pal(NAVY, 4));
    p.fillRect(QRect(win.left() + 6, win.bottom() - 14, 10, 3), pal(ROSE, 10));
    p.fillRect(QRect(win.left() + 32, win.bottom() - 18, 12, 3), pal(CYAN, 10));
    p.fillRect(QRect(win.left() + 40, win.top() + 5, 5, 5), pal(YELLOW, 13));
    p.fillRect(QRect(win.left() + win.width() / 2 - 1, win.top(), 2, win.height()), pal(BROWN, 5));
    p.fillRect(QRect(win.left(), win.top() + 17, win.width(), 2), pal(BROWN, 5));
    p.fillRect(QRect(win.left() - 6, win.top() - 4, 8, win.height() + 10), pal(ROSE, 8));  // curtains
    p.fillRect(QRect(win.right() - 1, win.top() - 4, 8, win.height() + 10), pal(ROSE, 8));
    p.fillRect(QRect(win.left() - 6, win.top() - 4, 2, win.height() + 10), pal(ROSE, 6));

    // Bookshelf under the window.
    p.fillRect(QRect(14, 50, 54, 30), pal(BROWN, 5));
    p.fillRect(QRect(16, 52, 50, 12), pal(BROWN, 3));
    p.fillRect(QRect(16, 66, 50, 12), pal(BROWN, 3));
    const QColor spines[] = {pal(RED, 7), pal(BLUE, 7), pal(GREEN, 7), pal(GOLD, 9), pal(VIOLET, 7)};
    for (int i = 0; i < 11; ++i) {
        p.fillRect(QRect(17 + i * 4, 53 + (i % 3), 3, 11 - (i % 3)), spines[i % 5]);
        if (i < 8) p.fillRect(QRect(17 + i * 5, 67 + (i % 2), 4, 11 - (i % 2)), spines[(i + 2) % 5]);
    }

    // The summary spot: a low cabinet with the TV showing the household
    // ledger, right above where the player stands.
    const int tvLeft = summary.left + 16, tvRight = summary.right - 14;  // 100 .. 158
    const int cabinetTop = 62, cabinetBottom = summary.feetTop - 2;      // feet from 88
    p.fillRect(QRect(tvLeft - 6, cabinetTop, tvRight - tvLeft + 12, cabinetBottom - cabinetTop), pal(BROWN, 5));
    p.fillRect(QRect(tvLeft - 6, cabinetTop, tvRight - tvLeft + 12, 2), pal(BROWN, 8));
    p.fillRect(QRect(tvLeft - 3, cabinetTop + 5, (tvRight - tvLeft) / 2 + 1, cabinetBottom - cabinetTop - 8),
               pal(BROWN, 6));
    p.fillRect(QRect(tvLeft + (tvRight - tvLeft) / 2 + 1, cabinetTop + 5, (tvRight - tvLeft) / 2 + 2,
                     cabinetBottom - cabinetTop - 8), pal(BROWN, 6));
    // TV set.
    QRect tv(tvLeft, 18, tvRight - tvLeft, 44);
    p.fillRect(tv, pal(GREY, 3));
    p.fillRect(QRect(tv.left(), tv.top(), tv.width(), 1), pal(GREY, 6));
    QRect screen(tv.left() + 4, tv.top() + 4, tv.width() - 14, tv.height() - 8);
    p.fillRect(screen, pal(BLUE, 3));
    // Ledger chart on the screen.
    const int bars[] = {5, 9, 7, 12, 10, 16};
    for (int i = 0; i < 6; ++i)
        p.fillRect(QRect(screen.left() + 3 + i * 7, screen.bottom() - 2 - bars[i], 5, bars[i]),
                   i == 5 ? pal(YELLOW, 12) : pal(CYAN, 10));
    p.fillRect(QRect(screen.left() + 2, screen.bottom() - 2, screen.width() - 4, 1), pal(GREY, 12));
    // Knobs.
    p.fillRect(QRect(tv.right() - 7, tv.top() + 6, 5, 5), pal(GREY, 9));
    p.fillRect(QRect(tv.right() - 7, tv.top() + 14, 5, 5), pal(GREY, 9));
    p.fillRect(QRect(tv.right() - 7, tv.top() + 24, 5, 2), pal(RED, 9));
    // Antenna.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(pal(GREY, 8), 1));
    p.drawLine(QPointF(tv.center().x(), tv.top()), QPointF(tv.center().x() - 12, tv.top() - 14));
    p.drawLine(QPointF(tv.center().x(), tv.top()), QPointF(tv.center().x() + 10, tv.top() - 15));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    // Ledger book lying on the cabinet.
    p.fillRect(QRect(tvRight - 1, cabinetTop - 5, 12, 5), pal(GREEN, 6));
    p.fillRect(QRect(tvRight - 1, cabinetTop - 5, 12, 1), pal(GREY, 13));

    // Calendar on the wall between TV and bed.
    QRect cal(tvRight + 6, 10, 14, 18);
    p.fillRect(cal, pal(GREY, 14));
    p.fillRect(QRect(cal.left(), cal.top(), cal.width(), 4), pal(RED, 8));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) p.fillRect(QRect(cal.left() + 2 + c * 4, cal.top() + 6 + r * 4, 2, 2), pal(GREY, 6));

    // The bed: its foot ends where the bed spot begins.
    const int bedLeft = bed.left + 10, bedRight = bed.right - 6;  // 182 .. 286
    const int bedTop = 6, bedBottom = bed.feetTop + 2;
    p.fillRect(QRect(bedLeft, bedTop, bedRight - bedLeft, 14), pal(BROWN, 4));  // headboard
    p.fillRect(QRect(bedLeft + 2, bedTop + 2, bedRight - bedLeft - 4, 3), pal(BROWN, 7));
    p.fillRect(QRect(bedLeft + 2, bedTop + 14, bedRight - bedLeft - 4, bedBottom - bedTop - 16), pal(GREY, 13));
    // Pillows.
    p.fillRect(QRect(bedLeft + 10, bedTop + 17, 36, 11), pal(GREY, 14));
    p.fillRect(QRect(bedLeft + 10, bedTop + 27, 36, 1), pal(GREY, 10));
    p.fillRect(QRect(bedRight - 46, bedTop + 17, 36, 11), pal(GREY, 14));
    p.fillRect(QRect(bedRight - 46, bedTop + 27, 36, 1), pal(GREY, 10));
    // Quilt with a check pattern.
    QRect quilt(bedLeft + 2, bedTop + 32, bedRight - bedLeft - 4, bedBottom - bedTop - 36);
    p.fillRect(quilt, pal(BLUE, 7));
    for (int y = quilt.top(); y < quilt.bottom(); y += 8)
        for (int x = quilt.left() + ((y - quilt.top()) / 8 % 2) * 8; x < quilt.right(); x += 16)
            p.fillRect(QRect(x, y, 8, 8).intersected(quilt), pal(BLUE, 8));
    p.fillRect(QRect(quilt.left(), quilt.top(), quilt.width(), 3), pal(GREY, 14));
    p.fillRect(QRect(bedLeft, bedBottom - 4, bedRight - bedLeft, 4), pal(BROWN, 4));  // footboard
    p.fillRect(QRect(bedLeft, bedTop, 3, bedBottom - bedTop), pal(BROWN, 4));
    p.fillRect(QRect(bedRight - 3, bedTop, 3, bedBottom - bedTop), pal(BROWN, 4));
    // Bedside lamp.
    p.fillRect(QRect(bedRight + 2, 50, 6, 4), pal(YELLOW, 13));
    p.fillRect(QRect(bedRight + 4, 54, 2, 10), pal(GREY, 5));

    // A round rug in the middle of the room.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(pal(ROSE, 7));
    p.drawEllipse(QPointF(150, 142), 70, 26);
    p.setBrush(pal(ROSE, 9));
    p.drawEllipse(QPointF(150, 142), 60, 20);
    p.setBrush(pal(ROSE, 7));
    p.drawEllipse(QPointF(150, 142), 40, 12);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A pot plant in the corner.
    p.fillRect(QRect(272, 160, 14, 14), pal(ORANGE, 6));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(pal(GREEN, 6));
    p.drawEllipse(QPointF(279, 150), 11, 12);
    p.setBrush(pal(GREEN, 8));
    p.drawEllipse(QPointF(276, 146), 5, 6);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The way out: the entrance step in the front wall, under the leave area.
    const int exitLeft = leave.left + 8, exitRight = leave.right - 8;  // 136 .. 168
    p.fillRect(QRect(exitLeft - 3, 178, exitRight - exitLeft + 6, 22), pal(BROWN, 4));
    p.fillRect(QRect(exitLeft, 180, exitRight - exitLeft, 20), pal(GREY, 9));
    for (int x = exitLeft + 8; x < exitRight; x += 8) p.fillRect(QRect(x, 180, 1, 20), pal(GREY, 7));
    p.fillRect(QRect(exitLeft, 190, exitRight - exitLeft, 1), pal(GREY, 7));
    p.fillRect(QRect(exitLeft + 4, 184, 6, 4), pal(RED, 7));  // shoes
    p.fillRect(QRect(exitLeft + 12, 184, 6, 4), pal(RED, 7));
    p.end();
    exitSign(img, QRect(exitRight + 6, 184, 22, 12));
    // Label the ledger so the spot explains itself.
    label(img, QRect(screen.left(), screen.top() + 1, screen.width(), 13), QStringLiteral("家計簿"), 11, pal(YELLOW, 13));
    return toPaletteColours(img);
}

// --- bank -------------------------------------------------------------------------------

QImage drawGinko1() {
    const TownRect full = BANK_INTERIOR.full;
    const Footprint leave = footprint(BANK_LEAVE_AREA, full);  // body 126..178
    const int counterTop = 80, counterFront = 92, counterBottom = 122;

    QImage img = canvas(300, 200, pal(GREY, 12));
    QPainter p(&img);
    // Checkered marble floor.
    for (int y = counterBottom; y < 200; y += 12)
        for (int x = ((y - counterBottom) / 12 % 2) * 12; x < 300; x += 24)
            p.fillRect(QRect(x, y, 12, 12), pal(GREY, 10));
    // Back wall with pilasters.
    p.fillRect(QRect(0, 0, 300, counterTop), pal(TEAL, 11));
    p.fillRect(QRect(0, 0, 300, 4), pal(TEAL, 6));
    p.fillRect(QRect(0, 28, 300, 2), pal(TEAL, 8));

    // Four counters, each centred over its counter area.
    static const char* const names[BANK_COUNTERS] = {"預金", "引き出し", "融資", "返済"};
    const QColor plates[BANK_COUNTERS] = {pal(BLUE, 5), pal(GREEN, 5), pal(ORANGE, 5), pal(RED, 5)};
    QRect plateRects[BANK_COUNTERS];
    for (int i = 0; i < BANK_COUNTERS; ++i) {
        Footprint f = footprint(BANK_COUNTER_SPOTS[i], full);
        int left = std::max(f.left + 2, 2), right = std::min(f.right - 2, 298);
        // Glass partition with a clerk behind it.
        QRect window(left + 2, 32, right - left - 4, counterTop - 32);
        p.fillRect(window.adjusted(-2, 0, 2, 0), pal(GREY, 5));
        p.fillRect(window, pal(SKY, 12));
        p.fillRect(QRect(window.left(), window.top(), window.width(), 10), pal(SKY, 13));
        int cx = window.center().x();
        p.fillRect(QRect(cx - 9, counterTop - 20, 18, 20), plates[i]);  // clerk's uniform
        p.fillRect(QRect(cx - 2, counterTop - 20, 4, 8), pal(GREY, 14));
        p.fillRect(QRect(cx - 6, counterTop - 34, 12, 13), pal(BROWN, 12));  // face
        p.fillRect(QRect(cx - 7, counterTop - 36, 14, 5), pal(BROWN, 2));    // hair
        p.fillRect(QRect(cx - 4, counterTop - 28, 2, 2), pal(GREY, 1));
        p.fillRect(QRect(cx + 2, counterTop - 28, 2, 2), pal(GREY, 1));
        p.fillRect(QRect(cx - 2, counterTop - 24, 4, 1), pal(RED, 7));
        // Speaking hole and sheen in the glass.
        p.fillRect(QRect(window.left() + 3, window.top() + 3, 1, 14), pal(SKY, 14));
        // Name plate above the window.
        plateRects[i] = QRect(left, 8, right - left, 18);
        p.fillRect(plateRects[i], plates[i]);
        p.fillRect(QRect(left, 8, right - left, 1), plates[i].lighter(140));
        p.fillRect(QRect(left, 25, right - left, 1), pal(GREY, 2));
        // Floor mat where the customer stands.
        (void)f;
    }
    // The counter itself.
    p.fillRect(QRect(0, counterTop, 300, counterFront - counterTop), pal(GREY, 14));
    p.fillRect(QRect(0, counterFront - 2, 300, 2), pal(GREY, 9));
    p.fillRect(QRect(0, counterFront, 300, counterBottom - counterFront), pal(BROWN, 6));
    for (int x = 8; x < 300; x += 24) p.fillRect(QRect(x, counterFront + 4, 16, counterBottom - counterFront - 8), pal(BROWN, 7));
    p.fillRect(QRect(0, counterBottom - 2, 300, 2), pal(BROWN, 3));
    // Pens and trays on the counter.
    for (int i = 0; i < BANK_COUNTERS; ++i) {
        Footprint f = footprint(BANK_COUNTER_SPOTS[i], full);
        int cx = (std::max(f.left, 0) + std::min(f.right, 300)) / 2;
        p.fillRect(QRect(cx - 8, counterTop + 3, 16, 5), pal(GREY, 9));
        p.fillRect(QRect(cx - 7, counterTop + 4, 14, 3), pal(GREEN, 7));
    }
    p.end();
    for (int i = 0; i < BANK_COUNTERS; ++i) {
        Footprint f = footprint(BANK_COUNTER_SPOTS[i], full);
        int left = std::max(f.left + 6, 4), right = std::min(f.right - 6, 296);
        mat(img, QRect(left, f.feetTop - 4, right - left, f.feetBottom - f.feetTop + 4), pal(RED, 7), pal(RED, 5));
        label(img, plateRects[i].adjusted(0, 1, 0, 1), QString::fromUtf8(names[i]), 13, pal(GREY, 14), pal(GREY, 2));
    }
    QPainter q(&img);
    // Waiting sofa and a plant in the lower corners.
    q.fillRect(QRect(12, 162, 46, 12), pal(BLUE, 5));
    q.fillRect(QRect(12, 156, 46, 7), pal(BLUE, 7));
    q.fillRect(QRect(14, 174, 3, 4), pal(GREY, 3));
    q.fillRect(QRect(53, 174, 3, 4), pal(GREY, 3));
    q.fillRect(QRect(262, 166, 14, 12), pal(ORANGE, 6));
    q.setRenderHint(QPainter::Antialiasing, true);
    q.setPen(Qt::NoPen);
    q.setBrush(pal(GREEN, 6));
    q.drawEllipse(QPointF(269, 156), 12, 13);
    q.setBrush(pal(GREEN, 8));
    q.drawEllipse(QPointF(265, 151), 5, 6);
    q.setRenderHint(QPainter::Antialiasing, false);
    // Walls framing the room, the front wall with the glass door.
    q.fillRect(QRect(0, 0, 3, 200), pal(TEAL, 5));
    q.fillRect(QRect(297, 0, 3, 200), pal(TEAL, 5));
    const int exitLeft = leave.left + 8, exitRight = leave.right - 8;  // 134 .. 170
    q.fillRect(QRect(0, 194, exitLeft, 6), pal(TEAL, 5));
    q.fillRect(QRect(exitRight, 194, 300 - exitRight, 6), pal(TEAL, 5));
    q.fillRect(QRect(exitLeft, 178, exitRight - exitLeft, 22), pal(GREY, 8));
    q.fillRect(QRect(exitLeft + 2, 180, exitRight - exitLeft - 4, 20), pal(TEAL, 10));
    q.fillRect(QRect((exitLeft + exitRight) / 2, 180, 1, 20), pal(GREY, 8));
    q.end();
    exitSign(img, QRect(exitRight + 6, 184, 22, 12));
    return toPaletteColours(img);
}

// --- parlour ------------------------------------------------------------------------------

// Centre of machine s in the picture: the middle of the seat area, taken
// from parlour 0 and parlour 1 (whose seats sit two pixels further left in
// the picture) so that both line up within a pixel; parlour 2's seats are
// the same as parlour 1's.
int machineCentre(int seat) {
    int centre0 = (PARLOUR_SEATS[0][seat].xMin + PARLOUR_SEATS[0][seat].xMax) / 2 + WALKER_SIZE / 2 -
                  PARLOUR_INTERIORS[0].full.left;
    int centre1 = (PARLOUR_SEATS[1][seat].xMin + PARLOUR_SEATS[1][seat].xMax) / 2 + WALKER_SIZE / 2 -
                  PARLOUR_INTERIORS[1].full.left;
    return (centre0 + centre1) / 2;
}

QImage drawTennai1() {
    const TownRect full = PARLOUR_INTERIORS[0].full;
    const Footprint seat0 = footprint(PARLOUR_SEATS[0][0], full);  // feet 72..88
    const Footprint leave = footprint(PARLOUR_LEAVE_AREAS[0], full);  // body 136..192
    const int machineTop = 4, machineBottom = seat0.feetTop - 12;   // 60

    QImage img = canvas(321, 158, pal(RED, 5));
    QPainter p(&img);
    // Carpet: deep red with a gold diamond pattern.
    for (int y = machineBottom; y < 158; y += 10)
        for (int x = ((y - machineBottom) / 10 % 2) * 10; x < 321; x += 20) {
            p.fillRect(QRect(x + 4, y + 4, 2, 2), pal(GOLD, 7));
        }
    // Back wall with a mirror strip and ceiling lights.
    p.fillRect(QRect(0, 0, 321, machineBottom), pal(VIOLET, 3));
    for (int x = 6; x < 321; x += 24) p.fillRect(QRect(x, 0, 12, 2), pal(YELLOW, 13));
    // Island end panels between machines.
    p.fillRect(QRect(0, machineBottom - 4, 321, 4), pal(GREY, 4));

    for (int s = 0; s < SEATS_PER_PARLOUR; ++s) {
        const int cx = machineCentre(s);
        QRect cab(cx - 17, machineTop, 34, machineBottom - machineTop - 2);
        // Cabinet: frame, glass over the board, tray.
        p.fillRect(cab, pal(GREY, 11));
        p.fillRect(QRect(cab.left(), cab.top(), cab.width(), 2), pal(GREY, 13));
        p.fillRect(QRect(cab.right(), cab.top(), 1, cab.height()), pal(GREY, 7));
        // Frame colour alternates along the row.
        const QColor frame = s % 2 ? pal(BLUE, 7) : pal(RED, 7);
        p.fillRect(QRect(cab.left(), cab.top() + 2, cab.width(), 3), frame);
        QRect board(cab.left() + 3, cab.top() + 5, cab.width() - 6, 29);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(pal(GOLD, 8), 1.5));
        p.setBrush(pal(SKY, 13));
        p.drawEllipse(QRectF(board).adjusted(0.5, 0.5, -0.5, -0.5));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        // Nails as a sprinkling of gold dots, the centre piece with its reels,
        // the attacker at the bottom.
        for (int ny = board.top() + 5; ny < board.bottom() - 3; ny += 4)
            for (int nx = board.left() + 4 + (ny / 4 % 2) * 2; nx < board.right() - 3; nx += 4) {
                int dx = nx - cx, dy = ny - board.center().y();
                if (dx * dx * 4 / 5 + dy * dy * 5 / 4 < 150 && !(std::abs(dx) < 8 && std::abs(dy + 1) < 6))
                    p.fillRect(QRect(nx, ny, 1, 1), pal(GOLD, 7));
            }
        p.fillRect(QRect(cx - 7, board.center().y() - 6, 14, 10), pal(RED, 6));
        p.fillRect(QRect(cx - 6, board.center().y() - 4, 12, 5), pal(GREY, 2));
        for (int r = 0; r < 3; ++r) p.fillRect(QRect(cx - 5 + r * 4, board.center().y() - 3, 3, 3), pal(GOLD, 14));
        p.fillRect(QRect(cx - 4, board.bottom() - 4, 8, 2), pal(RED, 8));
        // Top lamp.
        p.fillRect(QRect(cx - 4, cab.top() - 3, 8, 3), (s % 2) ? pal(RED, 9) : pal(YELLOW, 12));
        // Ball tray and handle.
        p.fillRect(QRect(cab.left() + 2, board.bottom() + 3, cab.width() - 4, 6), pal(GREY, 7));
        p.fillRect(QRect(cab.left() + 4, board.bottom() + 4, cab.width() - 14, 3), pal(GREY, 13));
        p.fillRect(QRect(cab.right() - 7, board.bottom() + 4, 4, 4), pal(GREY, 3));
        // Machine number plate.
        p.fillRect(QRect(cx - 5, cab.bottom() - 6, 10, 6), pal(GREY, 3));
        p.fillRect(QRect(cx - 4 + s, cab.bottom() - 4, 2, 2), pal(YELLOW, 12));
        // Stool in front: the seat the player steps on.
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(pal(GREY, 3));
        p.drawRect(QRectF(cx - 1.5, machineBottom + 2, 3, 9));
        p.setBrush(pal(RED, 8));
        p.drawEllipse(QPointF(cx, machineBottom + 2), 9, 4);
        p.setBrush(pal(RED, 10));
        p.drawEllipse(QPointF(cx - 1, machineBottom + 1), 6, 2);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    // Card units between the machines.
    for (int s = 0; s + 1 < SEATS_PER_PARLOUR; ++s) {
        int mid = (machineCentre(s) + machineCentre(s + 1)) / 2;
        p.fillRect(QRect(mid - 2, 14, 4, 24), pal(GREY, 6));
        p.fillRect(QRect(mid - 1, 16, 2, 3), pal(GREEN, 9));
    }
    // Pillars with posters in the lower corners, and the aisle.
    p.fillRect(QRect(0, 118, 28, 40), pal(GREY, 9));
    p.fillRect(QRect(4, 124, 20, 26), pal(YELLOW, 11));
    p.fillRect(QRect(293, 118, 28, 40), pal(GREY, 9));
    p.fillRect(QRect(297, 124, 20, 26), pal(CYAN, 10));
    p.end();
    // Posters: a lucky seven and a star.
    label(img, QRect(4, 124, 20, 26), QStringLiteral("7"), 22, pal(RED, 6));
    {
        QPainter s(&img);
        s.setRenderHint(QPainter::Antialiasing, true);
        s.setPen(Qt::NoPen);
        s.setBrush(pal(YELLOW, 13));
        QPolygonF star;
        for (int k = 0; k < 10; ++k) {
            double a = (-90 + k * 36) * 3.14159265358979 / 180.0, r = k % 2 ? 4.0 : 9.5;
            star << QPointF(307 + r * std::cos(a), 137 + r * std::sin(a));
        }
        s.drawPolygon(star);
    }
    // The exit in the front wall, under the leave area.
    QPainter q(&img);
    const int exitLeft = leave.left + 10, exitRight = leave.right - 10;  // 146 .. 182
    q.fillRect(QRect(0, 154, 321, 4), pal(GREY, 4));
    q.fillRect(QRect(exitLeft - 2, 142, exitRight - exitLeft + 4, 16), pal(GREY, 4));
    q.fillRect(QRect(exitLeft, 144, exitRight - exitLeft, 14), pal(GOLD, 12));
    q.fillRect(QRect(exitLeft, 144, exitRight - exitLeft, 4), pal(YELLOW, 13));
    q.fillRect(QRect((exitLeft + exitRight) / 2, 144, 1, 14), pal(GREY, 6));
    q.end();
    exitSign(img, QRect(exitRight + 4, 140, 22, 12));
    return toPaletteColours(img);
}

}  // namespace assets
