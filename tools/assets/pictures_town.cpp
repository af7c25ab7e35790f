// The town: an evening street with three parlours along the top, the home
// and the bank along the bottom and the exchange booth at the left edge;
// its doors, the walker, the event-day flower stands and the two end
// pictures. Every place is drawn where town/town_layout.h puts its door.
#include "art.h"
#include "pictures.h"

#include "town/town_layout.h"

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdint>

namespace assets {

using namespace art;

namespace {

QRect qrect(const TownRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// A tiny fixed generator for star and window patterns, so that every run
// draws the same sky.
struct Lcg {
    uint32_t state;
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

// Neon colours of the three parlours: sign letters in the two frames.
struct ParlourColours {
    QColor neonA, neonB, glow, board, trim;
};
ParlourColours parlourColours(int n) {
    switch (n) {
        case 0: return {pal(ROSE, 11), pal(YELLOW, 11), pal(MAGENTA, 6), pal(NAVY, 2), pal(MAGENTA, 7)};
        case 1: return {pal(YELLOW, 11), pal(CYAN, 11), pal(ORANGE, 6), pal(NAVY, 2), pal(GOLD, 7)};
        default: return {pal(CYAN, 11), pal(LIME, 11), pal(BLUE, 6), pal(NAVY, 2), pal(SKY, 7)};
    }
}

// --- sky and distant buildings ------------------------------------------------

void drawSky(QImage& img) {
    // A calm night gradient; the status lines at the top left sit on it
    // with no star or building behind them.
    QVector<QColor> bands = {pal(NAVY, 1), pal(NAVY, 1), pal(NAVY, 1), pal(NAVY, 2), pal(BLUE, 2), pal(VIOLET, 3),
                             pal(VIOLET, 4)};
    verticalBands(img, QRect(0, 0, 640, 64), bands);
    QPainter p(&img);
    Lcg rng{12345};
    for (int i = 0; i < 46; ++i) {
        int x = rng.below(640), y = rng.below(40);
        if (x < STATUS_TEXT_AREA.right + 6 && y < STATUS_TEXT_AREA.bottom + 4) continue;
        QColor c = (i % 5 == 0) ? pal(YELLOW, 14) : pal(SKY, 13 - (i % 3));
        p.fillRect(QRect(x, y, 1, 1), c);
        if (i % 9 == 0) {  // a few twinkling crosses
            p.fillRect(QRect(x - 1, y, 3, 1), pal(SKY, 9));
            p.fillRect(QRect(x, y - 1, 1, 3), pal(SKY, 9));
            p.fillRect(QRect(x, y, 1, 1), pal(YELLOW, 14));
        }
    }
    // Crescent moon.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(YELLOW, 13));
    p.drawEllipse(QPointF(606, 22), 11, 11);
    p.setBrush(pal(NAVY, 1));
    p.drawEllipse(QPointF(612, 18), 10, 10);
}

void drawSkyline(QImage& img) {
    QPainter p(&img);
    Lcg rng{777};
    // Far blocks, only right of the status corner, peeking over and between
    // the parlours.
    struct Block { int x, w, top; };
    const Block blocks[] = {{226, 34, 30}, {258, 22, 40}, {300, 40, 24}, {372, 28, 36}, {410, 30, 20},
                            {444, 36, 34}, {492, 26, 42}, {540, 40, 30}, {598, 42, 38}};
    for (const Block& b : blocks) {
        p.fillRect(QRect(b.x, b.top, b.w, 64 - b.top), pal(NAVY, 3));
        p.fillRect(QRect(b.x, b.top, 1, 64 - b.top), pal(NAVY, 4));
        for (int y = b.top + 4; y < 60; y += 6)
            for (int x = b.x + 3; x < b.x + b.w - 3; x += 5)
                if (rng.below(3) == 0) p.fillRect(QRect(x, y, 2, 2), pal(GOLD, 9 + rng.below(3)));
    }
    // Radio mast with a red light.
    p.fillRect(QRect(423, 6, 1, 14), pal(NAVY, 5));
    p.fillRect(QRect(422, 5, 3, 2), pal(RED, 9));
}

// --- the parlours ------------------------------------------------------------------

int parlourLeft(int n) { return 16 + 210 * n; }
constexpr int PARLOUR_WIDTH = 200;
constexpr int FACADE_TOP = 126;
constexpr int GROUND_Y = 189;

// The lower facade is identical for every parlour and both frames, so a
// flower stand's picture can carry the wall behind it.
void drawFacadeWall(QImage& img, int n) {
    const int x0 = parlourLeft(n);
    QPainter p(&img);
    p.fillRect(QRect(x0, FACADE_TOP, PARLOUR_WIDTH, GROUND_Y - FACADE_TOP), pal(BROWN, 10));
    for (int y = FACADE_TOP + 3; y < GROUND_Y; y += 6) {
        p.fillRect(QRect(x0, y, PARLOUR_WIDTH, 1), pal(BROWN, 8));
        p.fillRect(QRect(x0, y + 1, PARLOUR_WIDTH, 1), pal(BROWN, 11));
    }
    p.fillRect(QRect(x0, FACADE_TOP, 2, GROUND_Y - FACADE_TOP), pal(BROWN, 7));
    p.fillRect(QRect(x0 + PARLOUR_WIDTH - 2, FACADE_TOP, 2, GROUND_Y - FACADE_TOP), pal(BROWN, 6));
    // Skirting.
    p.fillRect(QRect(x0, GROUND_Y - 4, PARLOUR_WIDTH, 4), pal(GREY, 5));
    p.fillRect(QRect(x0, GROUND_Y - 4, PARLOUR_WIDTH, 1), pal(GREY, 8));
}

// A shop window full of lit machines.
void drawShopWindow(QImage& img, QRect r, int frame) {
    QPainter p(&img);
    p.fillRect(r.adjusted(-2, -2, 2, 2), pal(GREY, 3));
    p.fillRect(r, pal(GOLD, 12));
    verticalBands(img, r, {pal(GOLD, 13), pal(GOLD, 12), pal(ORANGE, 11), pal(ORANGE, 10)});
    // Rows of machine silhouettes.
    for (int x = r.left() + 2; x + 7 <= r.right(); x += 9) {
        p.fillRect(QRect(x, r.top() + 6, 7, r.height() - 10), pal(RED, 5));
        p.fillRect(QRect(x + 1, r.top() + 8, 5, 6), pal(YELLOW, 12));
        p.fillRect(QRect(x + 2, r.top() + 10, 3, 2), (frame + x / 9) % 2 ? pal(RED, 9) : pal(GREEN, 9));
    }
    p.fillRect(QRect(r.left(), r.top() + r.height() / 2, r.width(), 1), pal(GREY, 4));
    // Glass sheen.
    p.fillRect(QRect(r.left() + 3, r.top() + 2, 1, r.height() - 4), pal(YELLOW, 14));
}

// The door frame of a parlour: dark metal, with the doorway inside.
constexpr int DOOR3_INSET = 2;  // transparent margin of the door pictures
QRect parlourDoorway(QPoint o) { return QRect(o.x() + DOOR3_INSET + 3, o.y() + 6, 62 - 2 * DOOR3_INSET - 6, 45); }

void drawParlourDoorFrame(QPainter& p, QPoint o) {
    QRect outer(o.x() + DOOR3_INSET, o.y() + 2, 62 - 2 * DOOR3_INSET, 49);
    p.fillRect(outer, pal(GREY, 4));
    p.fillRect(QRect(outer.left(), outer.top(), outer.width(), 1), pal(GREY, 9));
    p.fillRect(QRect(outer.left(), outer.top(), 1, outer.height()), pal(GREY, 8));
    p.fillRect(QRect(outer.right(), outer.top(), 1, outer.height()), pal(GREY, 2));
    // "自動" plate over the doorway.
    p.fillRect(QRect(o.x() + 24, o.y() + 2, 14, 4), pal(GREY, 2));
    p.fillRect(QRect(o.x() + 25, o.y() + 3, 12, 2), pal(GREEN, 9));
}

// The lit shop floor seen through the open doorway.
void drawParlourInsideGlimpse(QPainter& p, QPoint o) {
    QRect d = parlourDoorway(o);
    p.fillRect(d, pal(GOLD, 13));
    p.fillRect(QRect(d.left(), d.top(), d.width(), 10), pal(YELLOW, 14));
    p.fillRect(QRect(d.left(), d.top() + 10, d.width(), 20), pal(GOLD, 12));
    for (int x = d.left() + 1; x + 8 <= d.right(); x += 10) {
        p.fillRect(QRect(x, d.top() + 12, 8, 18), pal(RED, 6));
        p.fillRect(QRect(x + 1, d.top() + 14, 6, 7), pal(YELLOW, 13));
        p.fillRect(QRect(x + 3, d.top() + 22, 2, 2), pal(GREEN, 10));
    }
    p.fillRect(QRect(d.left(), d.top() + 30, d.width(), d.height() - 30), pal(RED, 7));
    for (int y = d.top() + 33; y < d.bottom(); y += 4) p.fillRect(QRect(d.left(), y, d.width(), 1), pal(RED, 6));
}

// The two glass panels of the sliding door; open 0 (closed) .. 1 (gone).
void drawParlourPanels(QPainter& p, QPoint o, double open) {
    QRect d = parlourDoorway(o);
    const int half = d.width() / 2;
    const int shift = static_cast<int>(half * open + 0.5);
    for (int side = 0; side < 2; ++side) {
        QRect panel = side == 0 ? QRect(d.left() - shift, d.top(), half, d.height())
                                : QRect(d.left() + half + shift, d.top(), d.width() - half, d.height());
        panel = panel.intersected(d);
        if (panel.width() <= 0) continue;
        p.fillRect(panel, pal(GREY, 6));
        QRect glass = panel.adjusted(2, 2, -2, -2);
        if (glass.width() > 0) {
            p.fillRect(glass, pal(SKY, 10));
            p.fillRect(QRect(glass.left(), glass.top(), glass.width(), glass.height() / 3), pal(SKY, 12));
            // Diagonal sheen.
            for (int i = 0; i < 6; ++i) {
                int x = glass.left() + 3 + i, y = glass.top() + 12 - i;
                if (glass.contains(x, y)) p.fillRect(QRect(x, y, 1, 1), pal(SKY, 14));
                if (glass.contains(x + 3, y + 6)) p.fillRect(QRect(x + 3, y + 6, 1, 1), pal(SKY, 14));
            }
            // Handle bar at the meeting edge.
            int hx = side == 0 ? panel.right() - 3 : panel.left() + 2;
            if (panel.width() > 6) p.fillRect(QRect(hx, d.top() + 20, 2, 10), pal(GREY, 12));
        }
    }
}

void drawParlour(QImage& img, int n, int frame) {
    const int x0 = parlourLeft(n);
    const ParlourColours c = parlourColours(n);
    QPainter p(&img);

    // Upper storey with the sign board.
    p.fillRect(QRect(x0, 58, PARLOUR_WIDTH, FACADE_TOP - 58), pal(GREY, 3));
    p.fillRect(QRect(x0 - 2, 56, PARLOUR_WIDTH + 4, 3), pal(GREY, 6));
    QRect board(x0 + 6, 62, PARLOUR_WIDTH - 12, 44);
    p.fillRect(board, c.trim);
    p.fillRect(board.adjusted(3, 3, -3, -3), c.board);
    // Chasing bulbs around the board: the lit half swaps every frame.
    for (int i = 0;; ++i) {
        int x = board.left() + 1 + i * 7;
        if (x > board.right() - 2) break;
        bool lit = (i + frame) % 2 == 0;
        QColor b = lit ? pal(YELLOW, 13) : pal(ORANGE, 5);
        p.fillRect(QRect(x, board.top() + 1, 2, 2), b);
        p.fillRect(QRect(x, board.bottom() - 2, 2, 2), lit ? pal(ORANGE, 5) : pal(YELLOW, 13));
    }
    p.end();

    // The neon sign: glow, then letters; the colours swap between frames.
    TextStyle neon;
    neon.family = QStringLiteral("IPAGothic");
    neon.pixelSize = 30;
    neon.bold = true;
    neon.color = frame == 0 ? c.neonA : c.neonB;
    neon.outline = c.glow;
    neon.outlineWidth = 2;
    neon.threshold = 0.5;
    pixelText(img, QRect(board.left() + 4, board.top() + 5, board.width() - 8, board.height() - 10),
              QStringLiteral("パチンコ"), neon);

    // LED ticker under the board: the text moves between the two frames.
    QPainter q(&img);
    QRect ticker(x0 + 14, 108, PARLOUR_WIDTH - 28, 15);
    q.fillRect(ticker.adjusted(-1, -1, 1, 1), pal(GREY, 6));
    q.fillRect(ticker, pal(GREY, 1));
    q.end();
    static const char* const tickers[3] = {"新台入替 大放出", "本日出血サービス", "毎日がイベント"};
    TextStyle led;
    led.pixelSize = 13;
    led.color = n == 1 ? pal(YELLOW, 11) : pal(RED, 10);
    led.threshold = 0.42;
    QImage strip = canvas(ticker.width() + 40, ticker.height(), pal(GREY, 1));
    led.bold = true;
    pixelText(strip, QRect(0, 0, strip.width(), strip.height()), QString::fromUtf8(tickers[n]), led);
    QPainter s(&img);
    s.drawImage(ticker.topLeft(), strip, QRect(frame == 0 ? 20 : 14, 0, ticker.width(), ticker.height()));
    s.end();

    drawFacadeWall(img, n);
    drawShopWindow(img, QRect(x0 + 6, 140, 24, 40), frame);
    drawShopWindow(img, QRect(x0 + PARLOUR_WIDTH - 30, 140, 24, 40), frame + 1);

    // Awning over the door.
    const TownRect door = PARLOUR_DOORS[n].baseTarget;
    QPainter a(&img);
    QRect awning(door.left - 6, 127, door.width() + 12, 9);
    for (int x = awning.left(); x < awning.right() + 1; ++x) {
        bool stripe = ((x - awning.left()) / 6) % 2 == 0;
        a.fillRect(QRect(x, awning.top(), 1, awning.height()), stripe ? c.trim : pal(GREY, 13));
    }
    a.fillRect(QRect(awning.left(), awning.bottom() + 1, awning.width(), 1), pal(GREY, 3));
    for (int x = awning.left(); x <= awning.right(); x += 6)
        a.fillRect(QRect(x, awning.bottom() - 1, 3, 2), pal(GREY, 3));

    // The closed door.
    QPoint o(door.left, door.top);
    drawParlourDoorFrame(a, o);
    drawParlourInsideGlimpse(a, o);
    drawParlourPanels(a, o, 0.0);
}

// --- streets ---------------------------------------------------------------------

constexpr int ROAD_TOP = 208;
constexpr int ROAD_BOTTOM = 252;

void drawStreet(QImage& img) {
    QPainter p(&img);
    // Upper sidewalk.
    p.fillRect(QRect(0, 64, 640, ROAD_TOP - 64), pal(GREY, 6));
    for (int y = GROUND_Y + 1; y < ROAD_TOP - 3; y += 6) p.fillRect(QRect(0, y, 640, 1), pal(GREY, 5));
    for (int y = GROUND_Y + 1, row = 0; y < ROAD_TOP - 3; y += 6, ++row)
        for (int x = (row % 2) * 6; x < 640; x += 12) p.fillRect(QRect(x, y, 1, 6), pal(GREY, 5));
    p.fillRect(QRect(0, ROAD_TOP - 3, 640, 3), pal(GREY, 9));
    // Road.
    p.fillRect(QRect(0, ROAD_TOP, 640, ROAD_BOTTOM - ROAD_TOP), pal(NAVY, 3));
    p.fillRect(QRect(0, ROAD_TOP, 640, 2), pal(NAVY, 2));
    for (int x = 100; x < 640; x += 40) p.fillRect(QRect(x, (ROAD_TOP + ROAD_BOTTOM) / 2 - 1, 22, 2), pal(GOLD, 10));
    // Zebra crossing in front of the middle parlour.
    for (int y = ROAD_TOP + 4; y < ROAD_BOTTOM - 3; y += 6) p.fillRect(QRect(300, y, 50, 3), pal(GREY, 12));
    // Lower pavement: the plaza in front of the home and the bank.
    p.fillRect(QRect(0, ROAD_BOTTOM, 640, 416 - ROAD_BOTTOM), pal(GREY, 7));
    p.fillRect(QRect(0, ROAD_BOTTOM, 640, 3), pal(GREY, 10));
    for (int y = ROAD_BOTTOM + 9; y < 416; y += 10) p.fillRect(QRect(0, y, 640, 1), pal(GREY, 6));
    for (int y = ROAD_BOTTOM + 9, row = 0; y < 416; y += 10, ++row)
        for (int x = (row % 2) * 10; x < 640; x += 20) p.fillRect(QRect(x, y, 1, 10), pal(GREY, 6));
}

void drawStreetLamp(QImage& img, int x, int baseY) {
    QPainter p(&img);
    p.fillRect(QRect(x, baseY - 46, 3, 46), pal(GREY, 3));
    p.fillRect(QRect(x, baseY - 46, 1, 46), pal(GREY, 6));
    p.fillRect(QRect(x - 2, baseY - 2, 7, 2), pal(GREY, 2));
    p.fillRect(QRect(x - 4, baseY - 52, 11, 3), pal(GREY, 3));
    p.fillRect(QRect(x - 3, baseY - 49, 9, 4), pal(YELLOW, 13));
    p.fillRect(QRect(x - 2, baseY - 49, 7, 1), pal(YELLOW, 14));
}

// --- exchange booth -------------------------------------------------------------

void drawExchangeBooth(QImage& img) {
    // The walker stands in front of the counter window; its feet are at
    // y 304..324 while it is on the booth's area.
    const int left = 2, right = 78, top = 232, bottom = 304;
    QPainter p(&img);
    p.fillRect(QRect(left, top + 16, right - left, bottom - top - 16), pal(GREEN, 6));
    p.fillRect(QRect(left, top + 16, right - left, 2), pal(GREEN, 9));
    for (int x = left + 4; x < right; x += 8) p.fillRect(QRect(x, top + 40, 1, bottom - top - 42), pal(GREEN, 5));
    p.fillRect(QRect(right - 1, top + 16, 1, bottom - top - 16), pal(GREEN, 3));
    // Roof and sign.
    p.fillRect(QRect(left - 2, top + 12, right - left + 4, 5), pal(GREY, 4));
    QRect sign(left + 2, top, right - left - 4, 14);
    p.fillRect(sign, pal(YELLOW, 12));
    p.fillRect(QRect(sign.left(), sign.top(), sign.width(), 1), pal(YELLOW, 14));
    p.fillRect(QRect(sign.left(), sign.bottom(), sign.width(), 1), pal(GOLD, 6));
    p.end();
    TextStyle t;
    t.pixelSize = 12;
    t.bold = true;
    t.color = pal(RED, 6);
    pixelText(img, sign.adjusted(1, 1, 0, 0), QStringLiteral("換金所"), t);
    QPainter q(&img);
    // Counter window with its small tray.
    QRect win(left + 12, top + 24, right - left - 24, 22);
    q.fillRect(win.adjusted(-2, -2, 2, 2), pal(GREY, 3));
    q.fillRect(win, pal(GOLD, 12));
    q.fillRect(QRect(win.left(), win.top(), win.width(), 8), pal(YELLOW, 13));
    // The clerk behind the glass: shirt and tie, face, hair, glasses.
    const int cx = win.left() + win.width() / 2;
    q.fillRect(QRect(cx - 11, win.top() + 13, 22, 9), pal(GREY, 13));
    q.fillRect(QRect(cx - 1, win.top() + 13, 2, 7), pal(RED, 6));
    q.fillRect(QRect(cx - 5, win.top() + 2, 10, 11), pal(BROWN, 12));
    q.fillRect(QRect(cx - 5, win.top() + 1, 10, 3), pal(GREY, 2));
    q.fillRect(QRect(cx - 6, win.top() + 2, 1, 5), pal(GREY, 2));
    q.fillRect(QRect(cx + 5, win.top() + 2, 1, 5), pal(GREY, 2));
    q.fillRect(QRect(cx - 4, win.top() + 6, 3, 2), pal(GREY, 3));
    q.fillRect(QRect(cx + 1, win.top() + 6, 3, 2), pal(GREY, 3));
    q.fillRect(QRect(cx - 2, win.top() + 10, 4, 1), pal(BROWN, 8));
    q.fillRect(QRect(win.left() - 2, win.bottom() + 1, win.width() + 4, 4), pal(GREY, 9));
    q.fillRect(QRect(win.left() + 18, win.bottom() - 3, 16, 4), pal(GREY, 5));  // money tray
    // Price board.
    q.fillRect(QRect(left + 6, top + 52, right - left - 12, 16), pal(GREY, 13));
    q.end();
    TextStyle price;
    price.pixelSize = 13;
    price.bold = true;
    price.color = pal(GREY, 1);
    price.threshold = 0.5;
    pixelText(img, QRect(left + 6, top + 52, right - left - 12, 16), QStringLiteral("1玉4円"), price);
}

// --- home --------------------------------------------------------------------------

// The door picture of the home: a wooden door, its doorway and two leaves.
void drawHomeDoorClosed(QPainter& p, QPoint o) {  // o = top-left of the 21 × 41 base
    p.fillRect(QRect(o.x(), o.y(), 21, 41), pal(BROWN, 5));
    p.fillRect(QRect(o.x() + 2, o.y() + 2, 17, 17), pal(BROWN, 6));
    p.fillRect(QRect(o.x() + 2, o.y() + 21, 17, 18), pal(BROWN, 6));
    p.fillRect(QRect(o.x() + 2, o.y() + 2, 17, 1), pal(BROWN, 8));
    p.fillRect(QRect(o.x() + 2, o.y() + 21, 17, 1), pal(BROWN, 8));
    p.fillRect(QRect(o.x() + 5, o.y() + 5, 11, 10), pal(GOLD, 12));  // small lit window
    p.fillRect(QRect(o.x() + 10, o.y() + 5, 1, 10), pal(BROWN, 5));
    p.fillRect(QRect(o.x() + 16, o.y() + 22, 2, 3), pal(GOLD, 11));  // knob
}

void drawHomeDoorway(QPainter& p, QPoint o) {
    // The hall seen through the open door: warm light, the step up, slippers.
    p.fillRect(QRect(o.x(), o.y(), 21, 41), pal(GOLD, 11));
    p.fillRect(QRect(o.x(), o.y(), 21, 14), pal(GOLD, 12));
    p.fillRect(QRect(o.x(), o.y() + 14, 21, 1), pal(BROWN, 8));
    p.fillRect(QRect(o.x(), o.y() + 30, 21, 11), pal(BROWN, 9));
    p.fillRect(QRect(o.x(), o.y() + 30, 21, 1), pal(BROWN, 11));
    p.fillRect(QRect(o.x() + 4, o.y() + 33, 5, 3), pal(RED, 7));
    p.fillRect(QRect(o.x() + 11, o.y() + 33, 5, 3), pal(RED, 7));
    p.fillRect(QRect(o.x() + 14, o.y() + 4, 5, 8), pal(GREEN, 7));  // a plant on the shelf
    p.fillRect(QRect(o.x() + 15, o.y() + 12, 3, 2), pal(BROWN, 5));
    p.fillRect(QRect(o.x(), o.y(), 1, 41), pal(BROWN, 4));
}

void drawHome(QImage& img) {
    const TownRect door = HOME_DOOR.baseTarget;  // (238, 359)-(259, 400)
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int wallL = 164, wallR = 334, wallTop = 326, ground = 400;
    // Hedge either side.
    p.fillRect(QRect(120, 380, 44, 20), pal(GREEN, 4));
    p.fillRect(QRect(334, 380, 30, 20), pal(GREEN, 4));
    for (int x = 122; x < 362; x += 6)
        if (x < wallL || x >= wallR) p.fillRect(QRect(x, 378, 5, 4), pal(GREEN, 6));
    // Walls.
    p.fillRect(QRect(wallL, wallTop, wallR - wallL, ground - wallTop), pal(GOLD, 11));
    for (int y = wallTop + 5; y < ground; y += 5) p.fillRect(QRect(wallL, y, wallR - wallL, 1), pal(GOLD, 9));
    p.fillRect(QRect(wallL, wallTop, 2, ground - wallTop), pal(GOLD, 8));
    p.fillRect(QRect(wallR - 2, wallTop, 2, ground - wallTop), pal(GOLD, 7));
    p.fillRect(QRect(wallL, ground - 5, wallR - wallL, 5), pal(GREY, 5));
    // Roof.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(RED, 4));
    p.drawPolygon(QPolygonF({QPointF(150, 330), QPointF(249, 282), QPointF(348, 330)}));
    p.setBrush(pal(RED, 6));
    p.drawPolygon(QPolygonF({QPointF(160, 326), QPointF(249, 286), QPointF(338, 326)}));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 292; y < 326; y += 5) {
        double half = (y - 286) * (89.0 / 40.0);
        p.fillRect(QRectF(249 - half, y, 2 * half, 1), pal(RED, 4));
    }
    p.fillRect(QRect(150, 330, 198, 3), pal(RED, 3));
    // Chimney.
    p.fillRect(QRect(296, 288, 12, 22), pal(BROWN, 6));
    p.fillRect(QRect(294, 286, 16, 3), pal(BROWN, 4));
    // Windows with warm light and curtains.
    for (int wx : {178, 286}) {
        QRect w(wx, 344, 36, 28);
        p.fillRect(w.adjusted(-2, -2, 2, 2), pal(BROWN, 4));
        p.fillRect(w, pal(YELLOW, 12));
        p.fillRect(QRect(w.left(), w.top(), 6, w.height()), pal(RED, 8));
        p.fillRect(QRect(w.right() - 5, w.top(), 6, w.height()), pal(RED, 8));
        p.fillRect(QRect(w.left(), w.top() + 13, w.width(), 2), pal(BROWN, 4));
        p.fillRect(QRect(w.left() + 17, w.top(), 2, w.height()), pal(BROWN, 4));
        p.fillRect(QRect(w.left() - 3, w.bottom() + 2, w.width() + 6, 3), pal(BROWN, 6));
        // Flower box.
        p.fillRect(QRect(w.left() + 2, w.bottom() + 5, w.width() - 4, 4), pal(BROWN, 5));
        for (int fx = w.left() + 4; fx < w.right() - 2; fx += 5)
            p.fillRect(QRect(fx, w.bottom() + 4, 2, 2), fx % 2 ? pal(ROSE, 10) : pal(YELLOW, 12));
    }
    // Door frame, the closed door and the name plate.
    p.fillRect(QRect(door.left - 3, door.top - 4, door.width() + 6, door.height() + 4), pal(BROWN, 3));
    drawHomeDoorClosed(p, QPoint(door.left, door.top));
    p.fillRect(QRect(door.left - 8, door.top - 17, door.width() + 16, 13), pal(BROWN, 3));
    p.fillRect(QRect(door.left - 7, door.top - 16, door.width() + 14, 11), pal(GREY, 13));
    p.fillRect(QRect(door.left - 3, door.bottom, door.width() + 6, 3), pal(GREY, 9));  // step
    // Door lamp.
    p.fillRect(QRect(door.right + 5, door.top + 2, 4, 6), pal(YELLOW, 13));
    p.fillRect(QRect(door.right + 5, door.top, 4, 2), pal(GREY, 3));
    // Mailbox.
    p.fillRect(QRect(140, 364, 10, 9), pal(RED, 7));
    p.fillRect(QRect(140, 364, 10, 2), pal(RED, 9));
    p.fillRect(QRect(144, 373, 2, 12), pal(GREY, 3));
    p.end();
    TextStyle plate;
    plate.family = QStringLiteral("IPAPGothic");
    plate.pixelSize = 11;
    plate.bold = true;
    plate.color = pal(BLUE, 4);
    plate.threshold = 0.5;
    pixelText(img, QRect(door.left - 7, door.top - 16, door.width() + 14, 11), QStringLiteral("HOME"), plate);
}

// --- bank ------------------------------------------------------------------------------

// Glass double doors; `open` 0..1, the panels sliding into the walls.
constexpr int BANK_DOOR_SIZE = 40;
void drawBankDoorway(QPainter& p, QPoint o) {
    // Arched top: the corners above the arch stay transparent in the base.
    QPainterPath arch;
    arch.moveTo(o.x() + 2, o.y() + 40);
    arch.lineTo(o.x() + 2, o.y() + 12);
    arch.cubicTo(o.x() + 2, o.y() - 1, o.x() + 38, o.y() - 1, o.x() + 38, o.y() + 12);
    arch.lineTo(o.x() + 38, o.y() + 40);
    arch.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREY, 5));
    p.drawPath(arch);
    // Inside: marble hall in cool light.
    p.fillRect(QRect(o.x() + 5, o.y() + 10, 30, 30), pal(SKY, 12));
    p.fillRect(QRect(o.x() + 5, o.y() + 10, 30, 14), pal(SKY, 13));
    p.fillRect(QRect(o.x() + 5, o.y() + 24, 30, 2), pal(BROWN, 7));  // counter
    p.fillRect(QRect(o.x() + 5, o.y() + 26, 30, 6), pal(BROWN, 9));
    p.fillRect(QRect(o.x() + 5, o.y() + 32, 30, 8), pal(GREY, 11));
    for (int x = o.x() + 5; x < o.x() + 35; x += 6) p.fillRect(QRect(x, o.y() + 32, 1, 8), pal(GREY, 9));
    p.fillRect(QRect(o.x() + 14, o.y() + 14, 12, 4), pal(GOLD, 10));  // a clock
}

void drawBankPanels(QPainter& p, QPoint o, double open) {
    QRect d(o.x() + 5, o.y() + 10, 30, 30);
    const int half = 15;
    const int shift = static_cast<int>(half * open + 0.5);
    for (int side = 0; side < 2; ++side) {
        QRect panel = side == 0 ? QRect(d.left() - shift, d.top(), half, d.height())
                                : QRect(d.left() + half + shift, d.top(), half, d.height());
        panel = panel.intersected(d);
        if (panel.width() <= 0) continue;
        p.fillRect(panel, pal(GOLD, 7));
        QRect glass = panel.adjusted(2, 2, -2, -2);
        if (glass.width() > 0) {
            p.fillRect(glass, pal(TEAL, 9));
            p.fillRect(QRect(glass.left(), glass.top(), glass.width(), 6), pal(TEAL, 11));
            if (glass.width() > 3) p.fillRect(QRect(glass.left() + 2, glass.top() + 8, 1, 8), pal(TEAL, 13));
        }
        int hx = side == 0 ? panel.right() - 2 : panel.left() + 1;
        if (panel.width() > 4) p.fillRect(QRect(hx, d.top() + 12, 2, 7), pal(GOLD, 12));
    }
}

void drawBank(QImage& img) {
    const TownRect door = BANK_DOOR.baseTarget;  // (442, 359)-(482, 399)
    const int left = 380, right = 570, top = 300, ground = 400;
    QPainter p(&img);
    // Body: pale stone.
    p.fillRect(QRect(left, top + 22, right - left, ground - top - 22), pal(GREY, 11));
    for (int y = top + 28; y < ground; y += 7) p.fillRect(QRect(left, y, right - left, 1), pal(GREY, 9));
    // Pediment and sign band.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREY, 12));
    p.drawPolygon(QPolygonF({QPointF(left - 6, top + 14), QPointF(475, top - 10), QPointF(right + 6, top + 14)}));
    p.setBrush(pal(GREY, 9));
    p.drawPolygon(QPolygonF({QPointF(left + 14, top + 11), QPointF(475, top - 3), QPointF(right - 14, top + 11)}));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(left - 6, top + 14, right - left + 12, 4), pal(GREY, 13));
    QRect band(left + 40, top + 19, right - left - 80, 18);
    p.fillRect(QRect(left - 2, top + 18, right - left + 4, 21), pal(GREY, 8));
    p.fillRect(band, pal(NAVY, 2));
    p.fillRect(QRect(band.left(), band.top(), band.width(), 1), pal(GOLD, 9));
    p.fillRect(QRect(band.left(), band.bottom(), band.width(), 1), pal(GOLD, 9));
    // Columns.
    for (int cx : {392, 414, 508, 530, 552}) {
        p.fillRect(QRect(cx, top + 40, 10, ground - top - 44), pal(GREY, 13));
        p.fillRect(QRect(cx + 7, top + 40, 3, ground - top - 44), pal(GREY, 10));
        p.fillRect(QRect(cx - 2, top + 39, 14, 3), pal(GREY, 14));
        p.fillRect(QRect(cx - 2, ground - 6, 14, 3), pal(GREY, 10));
    }
    // Windows between the columns.
    for (int wx : {404, 520}) {
        QRect w(wx + 2, 350, 10, 26);
        (void)w;
    }
    // Tall lit windows beside the door.
    for (int wx : {428, 490}) {
        QRect w(wx, 348, 10, 30);
        p.fillRect(w.adjusted(-1, -1, 1, 1), pal(GREY, 6));
        p.fillRect(w, pal(SKY, 11));
        p.fillRect(QRect(w.left(), w.top(), w.width(), 8), pal(SKY, 13));
        p.fillRect(QRect(w.left(), w.top() + 14, w.width(), 1), pal(GREY, 6));
    }
    // Steps.
    p.fillRect(QRect(left, ground - 4, right - left, 4), pal(GREY, 9));
    p.fillRect(QRect(door.left - 8, door.bottom, door.width() + 16, 4), pal(GREY, 12));
    // Door surround and the closed door.
    p.fillRect(QRect(door.left - 3, door.top - 4, door.width() + 6, door.height() + 4), pal(GREY, 8));
    drawBankDoorway(p, QPoint(door.left, door.top));
    drawBankPanels(p, QPoint(door.left, door.top), 0.0);
    p.end();
    TextStyle sign;
    sign.pixelSize = 16;
    sign.bold = true;
    sign.color = pal(YELLOW, 12);
    sign.threshold = 0.5;
    pixelText(img, band.adjusted(0, 1, 0, 1), QStringLiteral("銀 行"), sign);
    // Gold coin medallions either side of the sign.
    QPainter m(&img);
    for (int cx : {left + 20, right - 20}) bulb(m, QPointF(cx, top + 28), 7, pal(GOLD, 10), pal(GOLD, 5), pal(YELLOW, 14));
}

// --- street furniture ------------------------------------------------------------

void drawVendingMachine(QImage& img, int x, int y, int frame) {
    QPainter p(&img);
    p.fillRect(QRect(x, y, 24, 44), pal(RED, 6));
    p.fillRect(QRect(x, y, 24, 2), pal(RED, 9));
    p.fillRect(QRect(x + 2, y + 4, 20, 16), pal(GREY, 13));
    for (int i = 0; i < 5; ++i) {
        p.fillRect(QRect(x + 3 + i * 4, y + 6, 3, 6), i % 2 ? pal(SKY, 8) : pal(ORANGE, 9));
        p.fillRect(QRect(x + 3 + i * 4, y + 13, 3, 6), i % 2 ? pal(GREEN, 8) : pal(YELLOW, 10));
    }
    p.fillRect(QRect(x + 3, y + 22, 18, 2), pal(GREY, 2));
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRect(x + 3 + i * 4, y + 21, 2, 1), (i + frame) % 2 ? pal(LIME, 12) : pal(GREY, 4));
    p.fillRect(QRect(x + 4, y + 34, 16, 6), pal(GREY, 2));
    p.fillRect(QRect(x + 17, y + 26, 3, 5), pal(GREY, 10));
}

void drawTree(QImage& img, int cx, int baseY) {
    QPainter p(&img);
    p.fillRect(QRect(cx - 2, baseY - 22, 5, 22), pal(BROWN, 4));
    p.fillRect(QRect(cx - 8, baseY - 2, 17, 3), pal(GREY, 4));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREEN, 3));
    p.drawEllipse(QPointF(cx, baseY - 34), 17, 16);
    p.setBrush(pal(GREEN, 5));
    p.drawEllipse(QPointF(cx - 3, baseY - 37), 13, 12);
    p.setBrush(pal(GREEN, 6));
    p.drawEllipse(QPointF(cx - 6, baseY - 40), 6, 5);
}

void drawBench(QImage& img, int x, int y) {
    QPainter p(&img);
    p.fillRect(QRect(x, y, 40, 3), pal(BROWN, 7));
    p.fillRect(QRect(x, y - 8, 40, 3), pal(BROWN, 7));
    p.fillRect(QRect(x, y + 3, 40, 1), pal(BROWN, 4));
    p.fillRect(QRect(x + 3, y - 8, 2, 18), pal(GREY, 3));
    p.fillRect(QRect(x + 35, y - 8, 2, 18), pal(GREY, 3));
}

void drawTelephone(QImage& img, int x, int y) {
    QPainter p(&img);
    p.fillRect(QRect(x, y, 22, 52), pal(GREY, 4));
    p.fillRect(QRect(x + 2, y + 8, 18, 42), pal(GREEN, 10));
    p.fillRect(QRect(x + 2, y + 8, 18, 10), pal(GREEN, 12));
    p.fillRect(QRect(x + 6, y + 22, 10, 12), pal(GREEN, 4));
    p.fillRect(QRect(x, y, 22, 8), pal(RED, 7));
    p.end();
    TextStyle t;
    t.pixelSize = 9;
    t.bold = true;
    t.color = pal(GREY, 14);
    t.threshold = 0.5;
    pixelText(img, QRect(x, y, 22, 8), QStringLiteral("TEL"), t);
}

}  // namespace

QImage townFrame(int frame) {
    QImage img = canvas(TOWN_WIDTH, TOWN_HEIGHT, pal(NAVY, 1));
    drawSky(img);
    drawSkyline(img);
    drawStreet(img);
    for (int n = 0; n < TOWN_PARLOURS; ++n) drawParlour(img, n, frame);
    // Dark buildings at both ends of the row.
    {
        QPainter p(&img);
        p.fillRect(QRect(0, 64, parlourLeft(0), GROUND_Y - 64), pal(NAVY, 2));
        int right = parlourLeft(2) + PARLOUR_WIDTH;
        p.fillRect(QRect(right, 64, 640 - right, GROUND_Y - 64), pal(NAVY, 2));
        for (int y = 72; y < GROUND_Y - 10; y += 12) {
            p.fillRect(QRect(4, y, 6, 6), y % 24 ? pal(GOLD, 9) : pal(NAVY, 3));
            p.fillRect(QRect(right + 6, y, 6, 6), y % 36 ? pal(NAVY, 3) : pal(GOLD, 9));
            p.fillRect(QRect(right + 16, y + 4, 6, 6), y % 24 ? pal(NAVY, 3) : pal(GOLD, 10));
        }
    }
    // Gaps between the parlours: narrow alleys.
    for (int n = 0; n < 2; ++n) {
        QPainter p(&img);
        int x = parlourLeft(n) + PARLOUR_WIDTH;
        p.fillRect(QRect(x, 64, 10, GROUND_Y - 64), pal(NAVY, 2));
        p.fillRect(QRect(x + 2, 150, 6, 12), pal(GREY, 3));  // a bin in the alley
    }
    drawStreetLamp(img, 219, 204);
    drawStreetLamp(img, 429, 204);
    drawStreetLamp(img, 150, 300);
    drawStreetLamp(img, 600, 300);
    drawExchangeBooth(img);
    drawHome(img);
    drawBank(img);
    drawVendingMachine(img, 346, 356, frame);
    drawTree(img, 606, 398);
    drawTree(img, 134, 360);
    drawBench(img, 92, 392);
    drawTelephone(img, 92, 262);
    return img;
}

QImage drawBack1() { return toIndexed(townFrame(0)); }
QImage drawBack2() { return toPaletteColours(townFrame(1)); }

// --- doors ------------------------------------------------------------------------------

QImage drawDo1Base() {
    QImage img = canvas(21, 41, pal(GOLD, 11));
    QPainter p(&img);
    drawHomeDoorway(p, QPoint(0, 0));
    p.end();
    return toPaletteColours(img);
}

// The home door swings toward the viewer on its left hinge: leaf A is the
// door turned half way (narrower, its far edge taller), leaf B nearly edge on.
QImage drawHomeLeaf(int width) {
    QImage img = sprite(width, 41);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const int w = width;
    p.setBrush(pal(BROWN, 5));
    p.drawPolygon(QPolygon({QPoint(0, 1), QPoint(w, 0), QPoint(w, 41), QPoint(0, 40)}));
    if (w >= 8) {
        p.setBrush(pal(BROWN, 6));
        p.drawPolygon(QPolygon({QPoint(2, 3), QPoint(w - 2, 2), QPoint(w - 2, 19), QPoint(2, 19)}));
        p.drawPolygon(QPolygon({QPoint(2, 22), QPoint(w - 2, 22), QPoint(w - 2, 39), QPoint(2, 38)}));
        p.fillRect(QRect(3, 5, w - 6, 10), pal(GOLD, 10));
        p.fillRect(QRect(w - 3, 22, 2, 3), pal(GOLD, 11));
    } else {
        p.fillRect(QRect(0, 1, 1, 39), pal(BROWN, 4));
        p.fillRect(QRect(w - 1, 0, 1, 41), pal(BROWN, 8));
    }
    p.end();
    return keyed(img);
}
QImage drawDo1LeafA() { return drawHomeLeaf(12); }
QImage drawDo1LeafB() { return drawHomeLeaf(4); }

QImage drawDo2Base() {
    QImage img = sprite(BANK_DOOR_SIZE, BANK_DOOR_SIZE);
    QPainter p(&img);
    drawBankDoorway(p, QPoint(0, 0));
    p.end();
    return keyed(img);
}
QImage bankLeaf(double open) {
    QImage img = sprite(BANK_DOOR_SIZE, BANK_DOOR_SIZE);
    QPainter p(&img);
    drawBankPanels(p, QPoint(0, 0), open);
    p.end();
    return keyed(img);
}
QImage drawDo2LeafA() { return bankLeaf(0.35); }
QImage drawDo2LeafB() { return bankLeaf(0.75); }

QImage drawDo3Base() {
    QImage img = sprite(62, 51);
    QPainter p(&img);
    drawParlourDoorFrame(p, QPoint(0, 0));
    drawParlourInsideGlimpse(p, QPoint(0, 0));
    p.end();
    return keyed(img);
}
QImage parlourLeaf(double open) {
    QImage img = sprite(62, 51);
    QPainter p(&img);
    drawParlourPanels(p, QPoint(0, 0), open);
    p.end();
    return keyed(img);
}
QImage drawDo3LeafA() { return parlourLeaf(0.35); }
QImage drawDo3LeafB() { return parlourLeaf(0.75); }

// --- flower stand ----------------------------------------------------------------------

// A celebration wreath on a tripod, the sign of an event day. It is copied
// without colour key, so it carries the parlour wall behind it.
QImage drawHana() {
    const TownRect at = flowerLeft(0);
    QImage img = townFrame(0).copy(qrect(at));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    // Tripod.
    p.setBrush(pal(BROWN, 4));
    p.drawPolygon(QPolygonF({QPointF(15, 24), QPointF(17, 24), QPointF(6, 46), QPointF(4, 46)}));
    p.drawPolygon(QPolygonF({QPointF(15, 24), QPointF(17, 24), QPointF(28, 46), QPointF(26, 46)}));
    p.drawRect(QRectF(15, 24, 2, 22));
    // Wreath: rings of paper flowers.
    const QPointF c(16, 15);
    p.setBrush(pal(GREEN, 5));
    p.drawEllipse(c, 15, 14.5);
    const QColor ring[] = {pal(ROSE, 10), pal(YELLOW, 12), pal(RED, 8), pal(ROSE, 12), pal(ORANGE, 10),
                           pal(VIOLET, 10)};
    for (int i = 0; i < 16; ++i) {
        double a = i * 3.14159265358979 * 2 / 16;
        QPointF f = c + QPointF(std::cos(a) * 11.5, std::sin(a) * 11);
        p.setBrush(ring[i % 6]);
        p.drawEllipse(f, 3.6, 3.6);
        p.setBrush(pal(YELLOW, 14));
        p.drawEllipse(f, 1.0, 1.0);
    }
    // Centre disc with the 祝 character and two ribbons.
    p.setBrush(pal(GOLD, 13));
    p.drawEllipse(c, 7.5, 7.5);
    p.setBrush(pal(RED, 7));
    p.drawPolygon(QPolygonF({QPointF(13, 22), QPointF(11, 34), QPointF(14, 33)}));
    p.drawPolygon(QPolygonF({QPointF(19, 22), QPointF(21, 34), QPointF(18, 33)}));
    p.end();
    TextStyle t;
    t.pixelSize = 11;
    t.bold = true;
    t.color = pal(RED, 6);
    t.threshold = 0.4;
    pixelText(img, QRect(9, 8, 15, 15), QStringLiteral("祝"), t);
    return toPaletteColours(img);
}

// --- walker ----------------------------------------------------------------------------

// A young player in a red jacket, seen from the front, feet at the bottom
// row so that the spots line up with where he stands. `step` swaps legs.
QImage drawWalker(int step) {
    QImage img = sprite(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor outline = pal(GREY, 1);
    const QColor skin = pal(BROWN, 12), skinShade = pal(BROWN, 10);
    const QColor hair = pal(BROWN, 2), jacket = pal(RED, 7), jacketShade = pal(RED, 5), jacketLight = pal(RED, 9);
    const QColor shirt = pal(GREY, 13), trousers = pal(NAVY, 4), trousersLight = pal(NAVY, 6), shoe = pal(BROWN, 3);

    auto box = [&](int x, int y, int w, int h, QColor fill) {
        p.fillRect(QRect(x - 1, y - 1, w + 2, h + 2), outline);
        p.fillRect(QRect(x, y, w, h), fill);
    };
    // Legs: one forward (longer, lower foot) and one back.
    const int leftLen = step == 0 ? 9 : 7, rightLen = step == 0 ? 7 : 9;
    box(11, 21, 4, leftLen, trousers);
    box(17, 21, 4, rightLen, trousers);
    p.fillRect(QRect(11, 21, 1, leftLen), trousersLight);
    p.fillRect(QRect(17, 21, 1, rightLen), trousersLight);
    box(10, 21 + leftLen, 5, 2, shoe);
    box(17, 21 + rightLen, 5, 2, shoe);
    // Body.
    box(9, 12, 14, 10, jacket);
    p.fillRect(QRect(14, 12, 4, 7), shirt);
    p.fillRect(QRect(15, 14, 2, 5), pal(BLUE, 7));  // tie
    p.fillRect(QRect(9, 12, 2, 10), jacketLight);
    p.fillRect(QRect(21, 12, 2, 10), jacketShade);
    p.fillRect(QRect(9, 20, 14, 2), jacketShade);
    // Arms swing against the legs.
    const int leftArm = step == 0 ? 12 : 14, rightArm = step == 0 ? 14 : 12;
    box(6, leftArm, 3, 8, jacket);
    box(23, rightArm, 3, 8, jacket);
    p.fillRect(QRect(6, leftArm + 8, 3, 2), skin);
    p.fillRect(QRect(23, rightArm + 8, 3, 2), skin);
    // Head.
    box(10, 2, 12, 10, skin);
    p.fillRect(QRect(10, 10, 12, 1), skinShade);
    p.fillRect(QRect(9, 1, 14, 4), hair);
    p.fillRect(QRect(9, 1, 2, 7), hair);
    p.fillRect(QRect(21, 1, 2, 7), hair);
    p.fillRect(QRect(12, 0, 9, 2), hair);
    p.fillRect(QRect(13, 6, 2, 2), outline);  // eyes
    p.fillRect(QRect(18, 6, 2, 2), outline);
    p.fillRect(QRect(15, 9, 3, 1), skinShade);  // mouth
    p.fillRect(QRect(12, 2, 3, 1), pal(BROWN, 5));  // shine in the hair
    p.end();
    return keyed(img);
}
QImage drawMy1() { return drawWalker(0); }
QImage drawMy2() { return drawWalker(1); }

// --- end pictures ------------------------------------------------------------------------

// The tycoon picture is stretched 145 × 55 → 639 × 410, a pixel becoming
// about 4.4 × 7.5 screen pixels: everything is drawn as big clean blocks and
// the lettering is widened by the inverse ratio so it looks square on screen.
QImage drawSeiko() {
    const double stretch = (410.0 / 55.0) / (639.0 / 145.0);
    QImage img = canvas(145, 55, pal(RED, 3));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    // Rays from the centre, alternating gold and red.
    const QPointF c(72.5, 24);
    for (int i = 0; i < 24; ++i) {
        double a0 = i * 3.14159265358979 * 2 / 24, a1 = (i + 0.5) * 3.14159265358979 * 2 / 24;
        p.setBrush(i % 2 ? pal(RED, 5) : pal(ORANGE, 5));
        p.drawPolygon(QPolygonF({c, c + QPointF(std::cos(a0) * 200, std::sin(a0) * 200 / stretch),
                                 c + QPointF(std::cos(a1) * 200, std::sin(a1) * 200 / stretch)}));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    // Gold coin piles at the bottom corners.
    for (int side = 0; side < 2; ++side) {
        int x0 = side == 0 ? 4 : 145 - 4 - 26;
        for (int row = 0; row < 4; ++row) {
            int w = 26 - row * 6, x = x0 + row * 3 + (side == 0 ? 0 : 0);
            p.fillRect(QRect(x, 52 - row * 3, w, 3), pal(GOLD, 10));
            p.fillRect(QRect(x, 52 - row * 3, w, 1), pal(YELLOW, 13));
            p.fillRect(QRect(x, 54 - row * 3, w, 1), pal(GOLD, 6));
        }
    }
    // Sparkles.
    const QPoint sparkles[] = {{12, 8}, {132, 10}, {24, 40}, {120, 38}, {60, 50}, {90, 4}, {40, 4}};
    for (QPoint s : sparkles) {
        p.fillRect(QRect(s.x() - 2, s.y(), 5, 1), pal(YELLOW, 13));
        p.fillRect(QRect(s.x(), s.y() - 1, 1, 3), pal(YELLOW, 13));
        p.fillRect(QRect(s.x(), s.y(), 1, 1), pal(YELLOW, 14));
    }
    // Plaque behind the lettering.
    p.fillRect(QRect(16, 6, 113, 32), pal(GOLD, 6));
    p.fillRect(QRect(17, 7, 111, 30), pal(RED, 2));
    p.fillRect(QRect(17, 7, 111, 1), pal(GOLD, 9));
    p.end();
    TextStyle big;
    big.pixelSize = 21;
    big.bold = true;
    big.stretchX = stretch;
    big.color = pal(YELLOW, 12);
    big.outline = pal(GOLD, 4);
    big.threshold = 0.5;
    pixelText(img, QRect(17, 7, 111, 30), QStringLiteral("大富豪"), big);
    TextStyle small;
    small.pixelSize = 10;
    small.bold = true;
    small.stretchX = stretch;
    small.color = pal(YELLOW, 14);
    small.outline = pal(RED, 2);
    small.threshold = 0.45;
    pixelText(img, QRect(20, 39, 105, 14), QStringLiteral("おめでとう！"), small);
    return toPaletteColours(img);
}

// The bankruptcy picture is stretched 60 × 27 → 639 × 416, a pixel becoming
// about 10.7 × 15.4 screen pixels: a grey rainy night with the two kanji.
QImage drawHasan() {
    const double stretch = (416.0 / 27.0) / (639.0 / 60.0);
    QImage img = canvas(60, 27, pal(NAVY, 4));
    verticalBands(img, QRect(0, 0, 60, 27), {pal(NAVY, 2), pal(NAVY, 3), pal(NAVY, 4), pal(NAVY, 5)});
    QPainter p(&img);
    // Rain.
    Lcg rng{99};
    for (int i = 0; i < 26; ++i) {
        int x = rng.below(60), y = rng.below(24);
        p.fillRect(QRect(x, y, 1, 2), pal(NAVY, 8));
    }
    // Wet street at the bottom.
    p.fillRect(QRect(0, 23, 60, 4), pal(NAVY, 2));
    p.fillRect(QRect(0, 23, 60, 1), pal(NAVY, 6));
    // Torn notice board behind the text.
    p.fillRect(QRect(5, 3, 50, 19), pal(GREY, 11));
    p.fillRect(QRect(5, 3, 50, 1), pal(GREY, 13));
    p.fillRect(QRect(5, 21, 50, 1), pal(GREY, 6));
    p.fillRect(QRect(52, 3, 3, 3), pal(NAVY, 4));  // torn corner
    p.fillRect(QRect(53, 6, 2, 1), pal(NAVY, 4));
    p.fillRect(QRect(5, 18, 2, 4), pal(NAVY, 3));
    p.end();
    TextStyle t;
    t.pixelSize = 16;
    t.bold = true;
    t.stretchX = stretch;
    t.color = pal(RED, 5);
    t.threshold = 0.36;
    pixelText(img, QRect(6, 4, 48, 17), QStringLiteral("破産"), t);
    return toPaletteColours(img);
}

}  // namespace assets
