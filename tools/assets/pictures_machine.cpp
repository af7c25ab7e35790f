// The machine: the playfield picture and everything the parlour screen
// draws over it. All positions come from machine/playfield.h, the table the
// parlour screen and the course generator read too.
#include "art.h"
#include "pictures.h"

#include "machine/playfield.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>

namespace assets {

using namespace art;

namespace {

constexpr double PI = 3.14159265358979323846;

QRect qrect(const PfRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }
QPointF qpoint(PfPoint p) { return QPointF(p.x, p.y); }
QPolygonF qpolygon(const PfPolygon& poly) {
    QPolygonF out;
    for (int i = 0; i < poly.count; ++i) out << QPointF(poly.p[i].x, poly.p[i].y);
    return out;
}
QPointF onCircle(double cx, double cy, double r, double deg) {
    return QPointF(cx + r * std::cos(deg * PI / 180.0), cy + r * std::sin(deg * PI / 180.0));
}

// The silver ball: a shaded sphere with a dark rim and a glint, centred in
// a 17 × 17 square whose corners stay transparent.
void paintBall(QPainter& p, QPointF centre, double radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREY, 3));
    p.drawEllipse(centre, radius, radius);
    QRadialGradient g(centre + QPointF(-radius * 0.35, -radius * 0.4), radius * 1.5);
    g.setColorAt(0.0, pal(GREY, 14));
    g.setColorAt(0.35, pal(GREY, 11));
    g.setColorAt(0.8, pal(GREY, 7));
    g.setColorAt(1.0, pal(GREY, 5));
    p.setBrush(g);
    p.drawEllipse(centre, radius - 1, radius - 1);
    p.setBrush(pal(GREY, 14));
    p.drawEllipse(centre + QPointF(-radius * 0.35, -radius * 0.4), radius * 0.22, radius * 0.18);
    p.restore();
}

// --- windmill ---------------------------------------------------------------------

// Four clear-plastic blades around a brass axle, turned by `angle` degrees.
QImage windmill(double angle) {
    QImage img = sprite(WING_SIZE, WING_SIZE);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(17.5, 17.5);
    const QColor blades[4] = {pal(RED, 9), pal(YELLOW, 11), pal(CYAN, 10), pal(LIME, 10)};
    for (int k = 0; k < 4; ++k) {
        double a = angle + k * 90.0;
        QPainterPath blade;
        blade.moveTo(onCircle(c.x(), c.y(), 3.0, a - 40));
        blade.quadTo(onCircle(c.x(), c.y(), 13.0, a - 24), onCircle(c.x(), c.y(), 16.5, a - 4));
        blade.quadTo(onCircle(c.x(), c.y(), 17.0, a + 8), onCircle(c.x(), c.y(), 13.0, a + 14));
        blade.lineTo(onCircle(c.x(), c.y(), 3.0, a + 40));
        blade.closeSubpath();
        p.setPen(QPen(pal(GREY, 2), 1.2));
        p.setBrush(blades[k]);
        p.drawPath(blade);
        // A lighter stripe along each blade.
        p.setPen(QPen(blades[k].lighter(130), 1.4));
        p.drawLine(onCircle(c.x(), c.y(), 5.0, a - 6), onCircle(c.x(), c.y(), 13.0, a - 10));
    }
    p.setPen(QPen(pal(GREY, 2), 1.0));
    p.setBrush(pal(GOLD, 9));
    p.drawEllipse(c, 4.2, 4.2);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(YELLOW, 13));
    p.drawEllipse(c + QPointF(-1.2, -1.2), 1.4, 1.4);
    p.end();
    return keyed(img);
}

// --- tulips --------------------------------------------------------------------------

// A tulip: two petals either side of the mouth and a cup between them.
// Closed, the petals stand upright on the petal halves of the table (the
// narrow mouth between them still takes a ball); open, they lean outwards
// into a wide catching V. `origin` is the sprite's place on the board.
QImage tulip(int width, int height, QPoint origin, const PfPolygon halves[2], bool open, int ramp) {
    QImage img = sprite(width, height);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(-origin.x(), -origin.y());
    const QColor edge = pal(ramp, 2);
    // The mouth's edges and the petals' tops come from the closed halves;
    // the petals' outer sides stay inside the picture.
    double leftInner = halves[0].p[0].x, rightInner = halves[1].p[0].x;
    for (int i = 0; i < halves[0].count; ++i) leftInner = std::max<double>(leftInner, halves[0].p[i].x);
    for (int i = 0; i < halves[1].count; ++i) rightInner = std::min<double>(rightInner, halves[1].p[i].x);
    double petalTop = origin.y() + height;
    for (int i = 0; i < halves[0].count; ++i)
        if (halves[0].p[i].x >= leftInner - 3) petalTop = std::min<double>(petalTop, halves[0].p[i].y);
    petalTop = std::max<double>(petalTop, origin.y() + 4);
    const double leftOuter = origin.x() + 2, rightOuter = origin.x() + width - 2;
    const double bottom = origin.y() + height;
    const double spriteTop = origin.y();
    const double midX = (leftInner + rightInner) / 2.0;
    const double h = bottom - petalTop;

    // The cup between the petals, with its dark mouth and a chrome rim.
    const double cupTop = petalTop + h * 0.45;
    QPainterPath cup;
    cup.moveTo(leftInner - 1, cupTop);
    cup.lineTo(rightInner + 1, cupTop);
    cup.cubicTo(rightInner + 1, bottom - 2, rightInner - 3, bottom, midX, bottom);
    cup.cubicTo(leftInner + 3, bottom, leftInner - 1, bottom - 2, leftInner - 1, cupTop);
    QLinearGradient cupShade(leftInner, 0, rightInner, 0);
    cupShade.setColorAt(0.0, pal(ramp, 6));
    cupShade.setColorAt(0.35, pal(ramp, 10));
    cupShade.setColorAt(1.0, pal(ramp, 5));
    p.setPen(QPen(edge, 1.0));
    p.setBrush(cupShade);
    p.drawPath(cup);
    p.setPen(QPen(pal(GREY, 11), 1.2));
    p.setBrush(pal(GREY, 1));
    p.drawEllipse(QPointF(midX, cupTop + 1), (rightInner - leftInner) / 2.0, 2.6);

    // Petals, drawn for the left side and mirrored for the right.
    for (int side = 0; side < 2; ++side) {
        const double inner = side == 0 ? leftInner : rightInner;
        const double outer = side == 0 ? leftOuter : rightOuter;
        const double d = side == 0 ? 1.0 : -1.0;  // from outer towards inner
        const double w = std::abs(inner - outer);
        auto at = [&](double fx, double fy) {  // fx: 0 outer .. 1 inner; fy: 0 top .. 1 bottom
            return QPointF(outer + d * fx * w, petalTop + fy * h);
        };
        QPainterPath petal;
        if (!open) {
            petal.moveTo(at(1.0, 1.0));
            petal.lineTo(at(1.0, 0.2));
            petal.quadTo(at(0.95, -0.02), at(0.6, 0.0));
            petal.quadTo(at(0.0, 0.05), at(0.0, 0.45));
            petal.lineTo(at(0.0, 0.85));
            petal.quadTo(at(0.0, 1.0), at(0.3, 1.0));
        } else {
            // Leaning out: the tip reaches the sprite's top outer corner.
            const double tipY = (spriteTop + 1 - petalTop) / h;
            petal.moveTo(at(1.05, 1.0));
            petal.quadTo(at(0.95, 0.3), at(0.3, tipY));
            petal.quadTo(at(-0.1, tipY), at(-0.1, tipY + 0.25));
            petal.quadTo(at(-0.05, 0.75), at(0.5, 1.0));
        }
        petal.closeSubpath();
        QLinearGradient shade(at(0.0, 0.5), at(1.0, 0.5));
        shade.setColorAt(0.0, pal(ramp, 6));
        shade.setColorAt(0.45, pal(ramp, 10));
        shade.setColorAt(1.0, pal(ramp, 8));
        p.setPen(QPen(edge, 1.0));
        p.setBrush(shade);
        p.drawPath(petal);
        // A highlight along the petal.
        p.setPen(QPen(pal(ramp, 13), 1.3, Qt::SolidLine, Qt::RoundCap));
        if (!open)
            p.drawLine(at(0.55, 0.15), at(0.55, 0.75));
        else
            p.drawLine(at(0.75, 0.8), at(0.3, (spriteTop + 6 - petalTop) / h));
    }
    // Gold base plate under the cup.
    p.setPen(QPen(pal(GOLD, 3), 1.0));
    p.setBrush(pal(GOLD, 9));
    p.drawRoundedRect(QRectF(leftInner - 5, bottom - 3.5, rightInner - leftInner + 10, 3), 1.5, 1.5);
    p.end();
    return keyed(img);
}

// --- the playfield's parts -----------------------------------------------------------

void paintNail(QImage& img, PfPoint c) {
    // 5 × 5 head: dark rim below and right, brass body, a glint top left.
    QPainter p(&img);
    const int x = c.x - 2, y = c.y - 2;
    p.fillRect(QRect(x + 1, y + 1, 4, 4), pal(BROWN, 3));  // shadow
    p.fillRect(QRect(x + 1, y, 3, 5), pal(GOLD, 8));
    p.fillRect(QRect(x, y + 1, 5, 3), pal(GOLD, 8));
    p.fillRect(QRect(x + 1, y + 4, 3, 1), pal(GOLD, 5));
    p.fillRect(QRect(x + 4, y + 1, 1, 3), pal(GOLD, 5));
    p.fillRect(QRect(x + 1, y + 1, 2, 2), pal(YELLOW, 13));
}

void paintLampSocket(QPainter& p, QRect r, QColor dim) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREY, 3));
    p.drawEllipse(QRectF(r).adjusted(-0.5, -0.5, 0.5, 0.5));
    p.setBrush(dim);
    p.drawEllipse(QRectF(r).adjusted(1, 1, -1, -1));
    p.restore();
}

void paintPocket(QImage& img, const PfPolygon& body, const PfRect& mouth, int ramp, const QString& text) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(pal(GREY, 2), 1.0));
    p.setBrush(pal(ramp, 8));
    p.drawPolygon(qpolygon(body));
    QPolygonF poly = qpolygon(body);
    QRectF b = poly.boundingRect();
    // The hole the ball drops into, between the shoulders.
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREY, 1));
    p.drawEllipse(QPointF((mouth.left + mouth.right) / 2.0, b.top() + 2.5), (mouth.right - mouth.left) / 2.0 - 0.5, 2.5);
    p.setBrush(pal(ramp, 11));
    p.drawRect(QRectF(b.left() + 3, b.top() + 6, b.width() - 6, 1.5));
    p.end();
    TextStyle t;
    t.family = QStringLiteral("IPAPGothic");
    t.pixelSize = 10;
    t.bold = true;
    t.color = pal(GREY, 14);
    t.threshold = 0.5;
    pixelText(img, QRect(static_cast<int>(b.left()) + 1, static_cast<int>(b.top()) + 7,
                         static_cast<int>(b.width()) - 2, 11), text, t);
}

// The board's printed face inside the outer rail: a pale sky with soft
// stars and rings, calm enough that every ball stays easy to follow.
void paintBoardFace(QImage& img) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath disc;
    disc.addEllipse(QPointF(BOARD_CX, BOARD_CY), OUTER_RAIL_RADIUS + 6, OUTER_RAIL_RADIUS + 6);
    p.setClipPath(disc);
    p.setPen(Qt::NoPen);
    const int bands = 8;
    for (int i = 0; i < bands; ++i) {
        int top = BOARD_CY - OUTER_RAIL_RADIUS - 6 + i * 54;
        p.setBrush(pal(SKY, 13 - (i >= 5 ? 1 : 0)));
        p.drawRect(QRect(0, top, 640, 54));
    }
    // Big soft rings.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal(SKY, 14), 10));
    p.drawEllipse(QPointF(BOARD_CX, BOARD_CY - 10), 150, 150);
    p.setPen(QPen(pal(SKY, 12), 4));
    p.drawEllipse(QPointF(BOARD_CX, BOARD_CY - 10), 120, 120);
    // A few stars.
    auto star = [&](QPointF c, double r, QColor colour) {
        QPolygonF s;
        for (int k = 0; k < 10; ++k) s << onCircle(c.x(), c.y(), k % 2 ? r * 0.45 : r, -90 + k * 36);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPolygon(s);
    };
    star(QPointF(132, 120), 9, pal(YELLOW, 14));
    star(QPointF(452, 156), 8, pal(YELLOW, 14));
    star(QPointF(150, 252), 6, pal(ROSE, 13));
    star(QPointF(470, 232), 6, pal(ROSE, 13));
    star(QPointF(210, 36), 5, pal(YELLOW, 14));
    star(QPointF(372, 30), 5, pal(YELLOW, 14));
    p.setClipping(false);
}

void paintCabinet(QImage& img) {
    // The machine's body: dark blue steel with chrome edges.
    fillRect(img, QRect(0, 0, 640, 416), pal(BLUE, 3));
    fillRect(img, QRect(0, 0, 640, 2), pal(BLUE, 5));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The frame ring around the board: a chrome edge and a red band of bulbs.
    p.setPen(Qt::NoPen);
    p.setBrush(pal(GREY, 11));
    p.drawEllipse(QPointF(BOARD_CX, BOARD_CY), OUTER_RAIL_RADIUS + 15, OUTER_RAIL_RADIUS + 15);
    p.setBrush(pal(GREY, 5));
    p.drawEllipse(QPointF(BOARD_CX, BOARD_CY), OUTER_RAIL_RADIUS + 13.5, OUTER_RAIL_RADIUS + 13.5);
    p.setBrush(pal(RED, 5));
    p.drawEllipse(QPointF(BOARD_CX, BOARD_CY), OUTER_RAIL_RADIUS + 12.5, OUTER_RAIL_RADIUS + 12.5);
    for (int k = 0; k < 48; ++k) {
        QPointF c = onCircle(BOARD_CX, BOARD_CY, OUTER_RAIL_RADIUS + 9.5, k * 7.5);
        if (c.y() > 410) continue;
        bulb(p, c, 2.2, k % 2 ? pal(YELLOW, 12) : pal(ORANGE, 10), pal(RED, 3), pal(YELLOW, 14));
    }
}

void paintRails(QImage& img) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    auto arc = [&](const PfArc& a, QColor c, double width) {
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        QRectF box(a.cx - a.radius, a.cy - a.radius, 2.0 * a.radius, 2.0 * a.radius);
        // Qt: angles counter-clockwise in 1/16 degree; ours run clockwise.
        p.drawArc(box, static_cast<int>(-a.startDeg * 16), static_cast<int>(-(a.endDeg - a.startDeg) * 16));
    };
    auto segment = [&](const PfSegment& s, QColor c, double width) {
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(qpoint(s.a), qpoint(s.b));
    };
    // The launch channel behind the rails: a darker lane.
    p.setPen(Qt::NoPen);
    p.setBrush(pal(SKY, 10));
    p.drawRect(QRectF(OUTER_RAIL_LEFT_WALL.a.x, OUTER_RAIL_LEFT_WALL.b.y, CHANNEL_RIGHT - OUTER_RAIL_LEFT_WALL.a.x,
                      OUTER_RAIL_LEFT_WALL.a.y - OUTER_RAIL_LEFT_WALL.b.y + 8));
    // Rails: a dark edge under a chrome strip.
    for (int pass = 0; pass < 2; ++pass) {
        QColor c = pass == 0 ? pal(GREY, 3) : pal(GREY, 12);
        double w = pass == 0 ? 2 * RAIL_HALF_WIDTH + 1.5 : 2 * RAIL_HALF_WIDTH - 0.5;
        arc(OUTER_RAIL, c, w);
        segment(OUTER_RAIL_LEFT_WALL, c, w);
        arc(INNER_RAIL, c, w);
        segment(INNER_RAIL_STRAIGHT, c, w);
        segment(LEFT_FLOOR, c, w);
        segment(RIGHT_FLOOR, c, w);
    }
    // Below the floors the board ends: the lower cabinet shows, up to the
    // frame ring.
    QPainterPath disc;
    disc.addEllipse(QPointF(BOARD_CX, BOARD_CY), OUTER_RAIL_RADIUS + 6, OUTER_RAIL_RADIUS + 6);
    p.setClipPath(disc);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(BLUE, 3));
    QPolygonF lowerLeft({QPointF(LEFT_FLOOR.a.x, LEFT_FLOOR.a.y + 2), QPointF(LEFT_FLOOR.b.x, LEFT_FLOOR.b.y + 2),
                         QPointF(LEFT_FLOOR.b.x, 416), QPointF(LEFT_FLOOR.a.x, 416)});
    QPolygonF lowerRight({QPointF(RIGHT_FLOOR.a.x, RIGHT_FLOOR.a.y + 2), QPointF(RIGHT_FLOOR.a.x + 60, RIGHT_FLOOR.a.y + 2),
                          QPointF(RIGHT_FLOOR.a.x + 60, 416), QPointF(RIGHT_FLOOR.b.x, 416),
                          QPointF(RIGHT_FLOOR.b.x, RIGHT_FLOOR.b.y + 2)});
    p.drawPolygon(lowerLeft);
    p.drawPolygon(lowerRight);
    p.setClipping(false);
    // Return rubber across the rail at the upper right.
    p.setPen(QPen(pal(RED, 6), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(qpoint(RETURN_RUBBER.a), qpoint(RETURN_RUBBER.b));
    p.setPen(QPen(pal(RED, 9), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(qpoint(RETURN_RUBBER.a) + QPointF(-0.5, -1), qpoint(RETURN_RUBBER.b) + QPointF(-0.5, -1));
}

void paintHoles(QImage& img) {
    QPainter p(&img);
    // Out hole at the bottom centre, between the floors' ends.
    QRect out = qrect(OUT_HOLE);
    p.fillRect(out, pal(GREY, 1));
    p.fillRect(QRect(out.left(), out.top(), out.width(), 2), pal(GREY, 6));
    p.fillRect(QRect(out.left() + 6, out.top() + 6, out.width() - 12, 1), pal(GREY, 3));
    // The channel's bottom: the launcher.
    QRect ret = qrect(RETURN_HOLE);
    p.fillRect(ret.adjusted(2, 8, -2, 0), pal(GREY, 3));
    p.fillRect(QRect(ret.left() + 5, ret.bottom() - 5, ret.width() - 10, 5), pal(RED, 6));  // hammer
    p.end();
    TextStyle t;
    t.pixelSize = 10;
    t.bold = true;
    t.color = pal(GREY, 8);
    pixelText(img, QRect(out.left(), out.top() + 8, out.width(), 14), QStringLiteral("OUT"), t);
}

void paintCentrePiece(QImage& img) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPolygonF body = qpolygon(CENTRE_PIECE);
    p.setPen(QPen(pal(GREY, 2), 1.5));
    p.setBrush(pal(GOLD, 8));
    p.drawPolygon(body);
    // Inner panel, a step in from the rim.
    QPolygonF inner;
    const QPointF c = body.boundingRect().center();
    for (QPointF pt : body) inner << c + (pt - c) * 0.92;
    p.setPen(Qt::NoPen);
    p.setBrush(pal(RED, 5));
    p.drawPolygon(inner);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Reel window: chrome frame, dark interior (the reels are drawn over it).
    QRect window = qrect(REEL_WINDOW);
    p.fillRect(window.adjusted(-4, -4, 4, 4), pal(GREY, 12));
    p.fillRect(window.adjusted(-3, -3, 3, 3), pal(GREY, 6));
    p.fillRect(window.adjusted(-1, -1, 1, 1), pal(GREY, 1));
    // Pay line: the top symbol of each reel is the one that counts.
    const int payY = window.top() + 14;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(pal(YELLOW, 12));
    p.setPen(QPen(pal(GREY, 2), 0.8));
    p.drawPolygon(QPolygonF({QPointF(window.left() - 9, payY - 4), QPointF(window.left() - 4, payY),
                             QPointF(window.left() - 9, payY + 4)}));
    p.drawPolygon(QPolygonF({QPointF(window.right() + 10, payY - 4), QPointF(window.right() + 5, payY),
                             QPointF(window.right() + 10, payY + 4)}));
    p.setRenderHint(QPainter::Antialiasing, false);
    // Hold lamp sockets (lamp1) and the overflow lamp (lamp2), unlit.
    for (PfPoint at : HOLD_LAMP_POS) paintLampSocket(p, QRect(at.x, at.y, 9, 9), pal(RED, 4));
    paintLampSocket(p, QRect(OVERFLOW_LAMP_POS.x, OVERFLOW_LAMP_POS.y, 8, 8), pal(GREEN, 4));
    // Decorative bulbs along the bottom.
    for (int x = 240; x <= 346; x += 12) bulb(p, QPointF(x, 245), 2.2, pal(ORANGE, 9), pal(GREY, 3), pal(YELLOW, 13));
    p.end();
    TextStyle t;
    t.pixelSize = 14;
    t.bold = true;
    t.color = pal(YELLOW, 12);
    t.outline = pal(RED, 2);
    pixelText(img, QRect(236, 150, 114, 20), QStringLiteral("LUCKY 7"), t);
}

void paintThroughGate(QImage& img) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF a = qpoint(THROUGH_GATE_POSTS[0]), b = qpoint(THROUGH_GATE_POSTS[1]);
    // Light barrier between the posts.
    p.setPen(QPen(pal(ROSE, 11), 1.0, Qt::DotLine));
    p.drawLine(a, b);
    for (QPointF c : {a, b}) {
        p.setPen(QPen(pal(GREY, 2), 1.0));
        p.setBrush(pal(GREY, 12));
        p.drawEllipse(c, POST_RADIUS + 0.5, POST_RADIUS + 0.5);
    }
    // Arch over the gate.
    p.setPen(QPen(pal(GREY, 2), 1.0));
    p.setBrush(pal(VIOLET, 8));
    QRectF plate(a.x() - 4, a.y() - 22, b.x() - a.x() + 8, 12);
    p.drawRoundedRect(plate, 3, 3);
    p.end();
    TextStyle t;
    t.pixelSize = 9;
    t.bold = true;
    t.color = pal(YELLOW, 13);
    pixelText(img, plate.toRect().adjusted(1, 1, 0, 0), QStringLiteral("GATE"), t);
}

void paintGateClosed(QImage& img) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPolygonF bar = qpolygon(GATE_BAR);
    p.setPen(QPen(pal(GREY, 2), 1.0));
    p.setBrush(pal(RED, 7));
    p.drawPolygon(bar);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(RED, 9));
    p.drawPolygon(QPolygonF({QPointF(251, 354), QPointF(293, 351.5), QPointF(336, 354), QPointF(336, 357),
                             QPointF(251, 357)}));
    p.setBrush(pal(GREY, 11));
    p.drawRect(QRectF(250, 368, 87, 3));
    p.end();
    TextStyle t;
    t.pixelSize = 10;
    t.bold = true;
    t.color = pal(YELLOW, 12);
    t.outline = pal(RED, 3);
    pixelText(img, QRect(248, 357, 91, 12), QStringLiteral("ATTACK"), t);
    // Gate lamp sockets (lamp3 and the small lamp4), unlit.
    QPainter q(&img);
    for (PfPoint at : GATE_LAMP_POS) paintLampSocket(q, QRect(at.x, at.y, 5, 5), pal(GOLD, 5));
    for (PfPoint at : GATE_LAMP_SMALL_POS) paintLampSocket(q, QRect(at.x, at.y, 5, 5), pal(GOLD, 5));
}

void paintTulipMounts(QImage& img) {
    // Shadows of the tulips' mounting plates; the tulips themselves are
    // drawn over them every tick.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(SKY, 10));
    p.drawEllipse(QPointF((LEFT_TULIP.left + LEFT_TULIP.right) / 2.0, LEFT_TULIP.bottom - 1), 22, 4);
    p.drawEllipse(QPointF((RIGHT_TULIP.left + RIGHT_TULIP.right) / 2.0, RIGHT_TULIP.bottom - 1), 22, 4);
    // Windmill axle plates.
    for (int k = 0; k < 4; ++k) {
        p.setBrush(pal(SKY, 11));
        p.drawEllipse(QPointF(WING_CX[k], WING_CY[k]), WING_BLADE_RADIUS + 1, WING_BLADE_RADIUS + 1);
    }
}

// --- the controls --------------------------------------------------------------------

void paintPanelButton(QImage& img, QRect r, QColor face, const QString& text, QColor textColour, int size) {
    bevel(img, r, face, face.lighter(135), face.darker(170));
    TextStyle t;
    t.pixelSize = size;
    t.bold = true;
    t.color = textColour;
    t.shadow = face.darker(200);
    pixelText(img, r.adjusted(1, 1, -1, -1), text, t);
}

void paintLeftColumn(QImage& img) {
    QPainter p(&img);
    // Lender unit: coin slot and the lending button (lit by koin.bmp).
    QRect unit(LENDER.left - 4, LENDER.top - 4, LENDER_LIT.right - LENDER.left + 8, LENDER.height() + 6);
    p.fillRect(unit, pal(GREY, 3));
    p.fillRect(unit.adjusted(1, 1, -1, -1), pal(GREY, 10));
    p.fillRect(QRect(unit.left() + 1, unit.top() + 1, unit.width() - 2, 1), pal(GREY, 13));
    // Coin slot column.
    QRect slot(LENDER.left + 2, LENDER.top + 22, 18, 40);
    p.fillRect(slot, pal(GREY, 6));
    p.fillRect(QRect(slot.center().x() - 1, slot.top() + 4, 3, 20), pal(GREY, 1));
    p.fillRect(QRect(slot.left() + 2, slot.bottom() - 10, slot.width() - 4, 6), pal(GREY, 2));
    p.end();
    // The button in its unlit state, where koin.bmp will light it.
    QRect button = qrect(LENDER_LIT).adjusted(2, 3, -3, -3);
    bevel(img, button, pal(ORANGE, 5), pal(ORANGE, 7), pal(ORANGE, 3));
    TextStyle t;
    t.pixelSize = 14;
    t.bold = true;
    t.color = pal(ORANGE, 9);
    t.threshold = 0.5;
    pixelText(img, QRect(button.left(), button.top() + 5, button.width(), 16), QStringLiteral("玉"), t);
    pixelText(img, QRect(button.left(), button.top() + 22, button.width(), 16), QStringLiteral("貸"), t);
    // A coin over the slot.
    QPainter coin(&img);
    coin.setRenderHint(QPainter::Antialiasing, true);
    bulb(coin, QPointF(LENDER.left + 11, LENDER.top + 11), 7, pal(GOLD, 10), pal(GOLD, 5), pal(YELLOW, 14));
    coin.end();

    // Price card between lender and tray.
    QRect card(10, 200, 64, 66);
    bevel(img, card, pal(GOLD, 12), pal(GOLD, 14), pal(GOLD, 6));
    TextStyle c;
    c.pixelSize = 11;
    c.bold = true;
    c.color = pal(RED, 5);
    pixelText(img, QRect(card.left(), card.top() + 4, card.width(), 14), QStringLiteral("貸玉"), c);
    c.color = pal(GREY, 2);
    c.pixelSize = 10;
    pixelText(img, QRect(card.left(), card.top() + 22, card.width(), 14), QStringLiteral("100円で"), c);
    pixelText(img, QRect(card.left(), card.top() + 38, card.width(), 14), QStringLiteral("20玉"), c);

    // Ball tray: three rows where bought and won balls roll in.
    QPainter q(&img);
    QRect tray = qrect(TRAY).adjusted(-5, -6, 5, 6);
    q.fillRect(tray, pal(GREY, 12));
    q.fillRect(tray.adjusted(2, 2, -2, -2), pal(GREY, 5));
    q.fillRect(tray.adjusted(4, 4, -4, -4), pal(GREY, 3));
    for (int row = 1; row < 3; ++row) q.fillRect(QRect(tray.left() + 4, TRAY_ROW_Y[row], tray.width() - 8, 1), pal(GREY, 4));
    q.end();
    TextStyle label;
    label.pixelSize = 10;
    label.bold = true;
    label.color = pal(GREY, 13);
    pixelText(img, QRect(tray.left(), tray.top() - 16, tray.width(), 13), QStringLiteral("玉受け"), label);
}

// The dial's track: vertically uniform across the lever's whole travel, so
// the opaque lever picture fits at any height.
constexpr int TRACK_GROOVE_LEFT = 570, TRACK_GROOVE_RIGHT = 580;
void paintTrackSlice(QImage& img, int top, int height) {
    QPainter p(&img);
    const PfRect t = DIAL_TRACK;
    p.fillRect(QRect(t.left, top, t.width(), height), pal(NAVY, 3));
    p.fillRect(QRect(t.left, top, 2, height), pal(NAVY, 5));
    p.fillRect(QRect(t.right - 2, top, 2, height), pal(NAVY, 1));
    p.fillRect(QRect(TRACK_GROOVE_LEFT, top, TRACK_GROOVE_RIGHT - TRACK_GROOVE_LEFT, height), pal(GREY, 1));
    p.fillRect(QRect(TRACK_GROOVE_LEFT - 1, top, 1, height), pal(NAVY, 5));
    p.fillRect(QRect(TRACK_GROOVE_RIGHT, top, 1, height), pal(NAVY, 5));
}

void paintRightPanel(QImage& img) {
    QPainter p(&img);
    QRect panel(506, 0, 134, 416);
    p.fillRect(panel, pal(GREY, 7));
    p.fillRect(QRect(panel.left(), 0, 2, 416), pal(GREY, 11));
    p.fillRect(QRect(panel.left() + 2, 0, 1, 416), pal(GREY, 4));
    p.end();
    paintPanelButton(img, qrect(LEAVE_BUTTON), pal(GREEN, 5), QStringLiteral("席を立つ"), pal(GREY, 14), 16);
    // Counter panels behind the cash and ball texts.
    TextStyle label;
    label.pixelSize = 11;
    label.bold = true;
    label.color = pal(GREY, 1);
    for (int i = 0; i < 2; ++i) {
        QRect r = qrect(i == 0 ? CASH_PANEL : BALLS_PANEL);
        QPainter q(&img);
        q.fillRect(r, pal(GREY, 2));
        q.fillRect(r.adjusted(2, 2, -2, -2), pal(YELLOW, 13));
        q.end();
        pixelText(img, QRect(r.left(), r.top() - 15, 60, 14), i == 0 ? QStringLiteral("持ち金") : QStringLiteral("持ち玉"),
                  label);
    }
    // Launch dial: track, band ticks, labels.
    paintTrackSlice(img, DIAL_TRACK.top, DIAL_TRACK.height());
    QPainter q(&img);
    const int centreAtZero = (DIAL_AT_ZERO.top + DIAL_AT_ZERO.bottom) / 2;
    for (int power = 0; power <= DIAL_MAX_POWER; power += 13) {
        int y = centreAtZero - power;
        q.fillRect(QRect(512, y, power % 26 == 0 ? 10 : 6, 1), pal(GREY, 2));
    }
    q.end();
    TextStyle s;
    s.pixelSize = 11;
    s.bold = true;
    s.color = pal(RED, 5);
    pixelText(img, QRect(508, 172, 14, 14), QStringLiteral("強"), s);
    s.color = pal(BLUE, 5);
    pixelText(img, QRect(508, 364, 14, 14), QStringLiteral("弱"), s);
    TextStyle h;
    h.pixelSize = 11;
    h.bold = true;
    h.color = pal(GREY, 1);
    pixelText(img, QRect(524, 156, 101, 16), QStringLiteral("発射ダイヤル"), h);
    // Launch stop button, unlit.
    QRect stop = qrect(STOP_AREA);
    paintPanelButton(img, stop, pal(GREY, 5), QStringLiteral("発射停止"), pal(GREY, 9), 14);
}

}  // namespace

// --- the playfield picture -------------------------------------------------------------

QImage drawBack3() {
    QImage img = canvas(PF_WIDTH, PF_HEIGHT, pal(BLUE, 3));
    paintCabinet(img);
    paintBoardFace(img);
    paintTulipMounts(img);
    paintRails(img);
    paintHoles(img);
    paintCentrePiece(img);
    paintPocket(img, TOP_POCKET_BODY, TOP_POCKET_MOUTH, ORANGE, QStringLiteral("天"));
    paintPocket(img, START_POCKET_BODY, START_POCKET_MOUTH, MAGENTA, QStringLiteral("START"));
    paintThroughGate(img);
    paintGateClosed(img);
    for (PfPoint n : NAILS) paintNail(img, n);
    paintLeftColumn(img);
    paintRightPanel(img);
    return toPaletteColours(img);
}

// --- sprites and parts -------------------------------------------------------------------

QImage drawTama() {
    QImage img = sprite(BALL_SIZE, BALL_SIZE);
    QPainter p(&img);
    paintBall(p, QPointF(8.5, 8.5), 8.0);
    p.end();
    return keyed(img);
}

QImage drawHane1() { return windmill(0.0); }
QImage drawHane2() { return windmill(45.0); }

QImage drawTyu1Closed() {
    return tulip(55, 34, QPoint(LEFT_TULIP.left, LEFT_TULIP.top), LEFT_TULIP_HALVES, false, RED);
}
QImage drawTyu1Open() { return tulip(55, 34, QPoint(LEFT_TULIP.left, LEFT_TULIP.top), LEFT_TULIP_HALVES, true, RED); }
QImage drawTyu2Closed() {
    return tulip(56, 53, QPoint(RIGHT_TULIP.left, RIGHT_TULIP.top), RIGHT_TULIP_HALVES, false, ROSE);
}
QImage drawTyu2Open() {
    return tulip(56, 53, QPoint(RIGHT_TULIP.left, RIGHT_TULIP.top), RIGHT_TULIP_HALVES, true, ROSE);
}

namespace {
QImage lamp(int size, QColor body, QColor rim, QColor glint) {
    QImage img = sprite(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(QRectF(0, 0, size, size));
    p.setBrush(body);
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    if (size >= 8) {
        p.setBrush(glint);
        p.drawEllipse(QRectF(2, 2, size / 3.0, size / 3.0));
    }
    p.end();
    QImage out = keyed(img);
    if (size < 8) out.setPixel(size / 2 - 1, size / 2 - 1, glint.rgb());
    return out;
}
}  // namespace

QImage drawLamp1() { return lamp(9, pal(RED, 9), pal(RED, 5), pal(YELLOW, 14)); }
QImage drawLamp2() { return lamp(8, pal(LIME, 10), pal(GREEN, 4), pal(YELLOW, 14)); }
QImage drawLamp3() { return lamp(5, pal(YELLOW, 12), pal(ORANGE, 7), pal(YELLOW, 14)); }
QImage drawLamp4() {
    // Drawn stretched to 5 × 5: a solid square lamp with a lit centre.
    QImage img = canvas(4, 4, pal(ORANGE, 8));
    img.setPixel(0, 0, KEY);
    img.setPixel(3, 0, KEY);
    img.setPixel(0, 3, KEY);
    img.setPixel(3, 3, KEY);
    img.setPixel(1, 1, pal(YELLOW, 14).rgb());
    img.setPixel(2, 1, pal(YELLOW, 12).rgb());
    img.setPixel(1, 2, pal(YELLOW, 12).rgb());
    img.setPixel(2, 2, pal(YELLOW, 11).rgb());
    return img;
}

// A colour tag, the kind a parlour sticks beside the nails it has bent.
QImage drawT1() {
    QImage img = canvas(NAIL_MARK_WIDTH, NAIL_MARK_HEIGHT, pal(RED, 7));
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 6, 1), pal(RED, 10));
    p.fillRect(QRect(0, 3, 6, 1), pal(RED, 4));
    p.fillRect(QRect(5, 0, 1, 4), pal(RED, 4));
    p.fillRect(QRect(1, 1, 2, 1), pal(YELLOW, 13));
    p.end();
    return toPaletteColours(img);
}

// The lit lending button, drawn keyed over its unlit state.
QImage drawKoin() {
    QImage img = sprite(30, 65);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(YELLOW, 9));
    p.drawRoundedRect(QRectF(0, 0, 30, 65), 5, 5);
    p.setBrush(pal(YELLOW, 12));
    p.drawRoundedRect(QRectF(2, 3, 25, 59), 3, 3);
    p.setBrush(pal(YELLOW, 13));
    p.drawRect(QRectF(4, 5, 21, 3));
    p.end();
    TextStyle t;
    t.pixelSize = 14;
    t.bold = true;
    t.color = pal(RED, 5);
    t.threshold = 0.5;
    pixelText(img, QRect(2, 8, 25, 16), QStringLiteral("玉"), t);
    pixelText(img, QRect(2, 25, 25, 16), QStringLiteral("貸"), t);
    // A pointing triangle: press here.
    QPainter a(&img);
    a.setRenderHint(QPainter::Antialiasing, true);
    a.setPen(Qt::NoPen);
    a.setBrush(pal(RED, 6));
    a.drawPolygon(QPolygonF({QPointF(9, 46), QPointF(21, 46), QPointF(15, 55)}));
    a.end();
    return keyed(img);
}

// The launch-stop indicator: the same button, lit red.
QImage drawStop() {
    QImage img = canvas(STOP_AREA.width(), STOP_AREA.height(), pal(RED, 7));
    paintPanelButton(img, QRect(0, 0, img.width(), img.height()), pal(RED, 7), QStringLiteral("発射停止"),
                     pal(YELLOW, 13), 14);
    return toPaletteColours(img);
}

// The dial lever: a chrome grip across the groove, on the track's own
// background.
QImage drawDial() {
    const int w = DIAL_AT_ZERO.right - DIAL_AT_ZERO.left, h = DIAL_AT_ZERO.bottom - DIAL_AT_ZERO.top;
    QImage track = canvas(PF_WIDTH, PF_HEIGHT, pal(NAVY, 3));
    paintTrackSlice(track, 0, h);
    QImage img = track.copy(DIAL_TRACK.left, 0, w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(pal(GREY, 2), 1.0));
    QLinearGradient g(0, 4, 0, h - 4);
    g.setColorAt(0.0, pal(GREY, 14));
    g.setColorAt(0.5, pal(GREY, 10));
    g.setColorAt(1.0, pal(GREY, 6));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(6, 6, w - 12, h - 12), 6, 6);
    // Knob on the groove.
    p.setBrush(pal(RED, 7));
    p.drawEllipse(QPointF(TRACK_GROOVE_LEFT - DIAL_TRACK.left + 5, h / 2.0), 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(pal(RED, 10));
    p.drawEllipse(QPointF(TRACK_GROOVE_LEFT - DIAL_TRACK.left + 2, h / 2.0 - 3), 3.5, 3);
    // Grip ridges.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int x = 12; x < 36; x += 4) p.fillRect(QRect(x, 9, 1, h - 18), pal(GREY, 7));
    for (int x = w - 36; x < w - 12; x += 4) p.fillRect(QRect(x, 9, 1, h - 18), pal(GREY, 7));
    // Pointer line marking the lever's centre on the scale.
    p.fillRect(QRect(0, h / 2, 6, 1), pal(YELLOW, 12));
    p.end();
    return toPaletteColours(img);
}

// The reel strip: the digits 0..9, 29 rows each, the 7 in red and gold as
// the winning symbol; rows 290..345 repeat the top of the strip so the
// window shows a seamless drum wherever it starts.
QImage drawSlot() {
    constexpr int CELL = 29, SYMBOLS = 10, HEIGHT = 346;
    QImage strip = canvas(REEL_WIDTH, CELL * SYMBOLS, pal(GOLD, 14));
    const QColor colours[SYMBOLS] = {pal(BLUE, 6),   pal(GREEN, 5), pal(ORANGE, 7), pal(VIOLET, 6), pal(TEAL, 5),
                                     pal(MAGENTA, 6), pal(SKY, 5),  pal(RED, 7),    pal(GREEN, 5),  pal(ORANGE, 7)};
    for (int n = 0; n < SYMBOLS; ++n) {
        QRect cell(0, n * CELL, REEL_WIDTH, CELL);
        QPainter p(&strip);
        if (n == 7) {
            // The winning symbol on a gold plate with sparkles.
            p.fillRect(cell.adjusted(2, 2, -2, -2), pal(YELLOW, 12));
            p.fillRect(QRect(cell.left() + 3, cell.top() + 4, 1, 1), pal(GREY, 14));
            p.fillRect(QRect(cell.right() - 4, cell.bottom() - 5, 1, 1), pal(GREY, 14));
        }
        p.fillRect(QRect(0, cell.top(), REEL_WIDTH, 1), pal(GOLD, 10));
        p.end();
        TextStyle t;
        t.family = QStringLiteral("IPAGothic");
        t.pixelSize = 26;
        t.bold = true;
        t.color = colours[n];
        t.outline = n == 7 ? pal(RED, 3) : pal(GREY, 3);
        t.threshold = 0.5;
        pixelText(strip, cell.adjusted(0, 1, 0, 0), QString::number(n), t);
    }
    // The drum's curve: darker towards both edges.
    for (int y = 0; y < strip.height(); ++y) {
        for (int x : {0, 1, REEL_WIDTH - 2, REEL_WIDTH - 1}) {
            QColor c = QColor::fromRgb(strip.pixel(x, y));
            strip.setPixel(x, y, c.darker(x == 0 || x == REEL_WIDTH - 1 ? 150 : 120).rgb());
        }
    }
    QImage img = canvas(REEL_WIDTH, HEIGHT, Qt::black);
    QPainter p(&img);
    p.drawImage(0, 0, strip);
    p.drawImage(0, CELL * SYMBOLS, strip.copy(0, 0, REEL_WIDTH, HEIGHT - CELL * SYMBOLS));
    p.end();
    return toPaletteColours(img);
}

// The open gate: the bar has dropped into two flaps and the lit pocket
// behind it shows.
QImage drawGate() {
    const int w = GATE.width(), h = GATE.height();
    QImage img = canvas(w, h, pal(SKY, 13));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Pocket interior, glowing.
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0.0, pal(YELLOW, 13));
    g.setColorAt(1.0, pal(ORANGE, 8));
    p.setPen(QPen(pal(GREY, 2), 1.0));
    p.setBrush(g);
    p.drawRect(QRectF(1, 2, w - 2, h - 3));
    // The flaps, swung down and outwards.
    p.setBrush(pal(RED, 7));
    p.drawPolygon(QPolygonF({QPointF(0.5, 2), QPointF(12, 2), QPointF(22, h - 1), QPointF(0.5, h - 1)}));
    p.drawPolygon(QPolygonF({QPointF(w - 0.5, 2), QPointF(w - 12, 2), QPointF(w - 22, h - 1), QPointF(w - 0.5, h - 1)}));
    p.setPen(Qt::NoPen);
    p.setBrush(pal(RED, 9));
    p.drawPolygon(QPolygonF({QPointF(2, 3), QPointF(10, 3), QPointF(13, 9), QPointF(2, 9)}));
    p.drawPolygon(QPolygonF({QPointF(w - 2, 3), QPointF(w - 10, 3), QPointF(w - 13, 9), QPointF(w - 2, 9)}));
    p.end();
    TextStyle t;
    t.pixelSize = 13;
    t.bold = true;
    t.color = pal(RED, 6);
    t.outline = pal(YELLOW, 14);
    pixelText(img, QRect(20, 3, w - 40, h - 5), QStringLiteral("OPEN"), t);
    return toPaletteColours(img);
}

}  // namespace assets
