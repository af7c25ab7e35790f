#include "preview.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cmath>
#include <cstdio>

#include "course_sim.h"
#include "machine/playfield.h"

namespace courses {

namespace {

// The courses shown: the weak fall-back, each band's first (rewarding)
// course and a few everyday ones.
constexpr int SHOWN[] = {1, 5, 15, 22, 25, 35, 41, 45, 55, 65, 72, 79};

const QColor TRAIL_COLOURS[] = {
    QColor(230, 40, 40),  QColor(40, 110, 230), QColor(20, 160, 60),  QColor(220, 120, 0),
    QColor(150, 50, 200), QColor(0, 150, 160),  QColor(200, 40, 140), QColor(120, 120, 0),
    QColor(90, 60, 30),   QColor(0, 90, 200),   QColor(230, 80, 80),  QColor(40, 180, 120),
    QColor(160, 90, 220), QColor(200, 150, 0),  QColor(60, 60, 60),
};

QPolygonF polygonOf(const PfPolygon& p) {
    QPolygonF poly;
    for (int i = 0; i < p.count; ++i) poly << QPointF(p.p[i].x, p.p[i].y);
    return poly;
}

void drawArc(QPainter& g, const PfArc& a) {
    QRectF box(a.cx - a.radius, a.cy - a.radius, 2.0 * a.radius, 2.0 * a.radius);
    // Qt counts angles anticlockwise from 3 o'clock in 1/16 degree; ours run
    // clockwise on the screen.
    g.drawArc(box, -a.startDeg * 16, -(a.endDeg - a.startDeg) * 16);
}

// The board without art: enough to read the courses against.
void drawGeometry(QPainter& g) {
    g.fillRect(0, 0, PF_WIDTH, PF_HEIGHT, QColor(40, 50, 70));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(214, 190, 140));
    g.drawEllipse(QPointF(BOARD_CX, BOARD_CY), OUTER_RAIL_RADIUS, OUTER_RAIL_RADIUS);
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(240, 240, 250), 3));
    drawArc(g, OUTER_RAIL);
    drawArc(g, INNER_RAIL);
    for (const PfSegment* s : {&OUTER_RAIL_LEFT_WALL, &RIGHT_FLOOR, &INNER_RAIL_STRAIGHT, &LEFT_FLOOR, &RETURN_RUBBER})
        g.drawLine(s->a.x, s->a.y, s->b.x, s->b.y);
    g.setPen(QPen(QColor(60, 30, 60), 1));
    g.setBrush(QColor(150, 90, 160));
    for (const PfPolygon* p : {&CENTRE_PIECE, &TOP_POCKET_BODY, &START_POCKET_BODY, &LEFT_TULIP_HALVES[0],
                               &LEFT_TULIP_HALVES[1], &RIGHT_TULIP_HALVES[0], &RIGHT_TULIP_HALVES[1], &GATE_BAR})
        g.drawPolygon(polygonOf(*p));
    g.setBrush(QColor(20, 20, 30));
    g.drawRect(REEL_WINDOW.left, REEL_WINDOW.top, REEL_WINDOW.width(), REEL_WINDOW.height());
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(60, 90, 200), 1));
    for (int w = 0; w < 4; ++w) g.drawEllipse(QPointF(WING_CX[w], WING_CY[w]), WING_BLADE_RADIUS, WING_BLADE_RADIUS);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(40, 40, 40));
    for (const PfPoint& n : NAILS) g.drawEllipse(QPointF(n.x, n.y), NAIL_DRAW_RADIUS, NAIL_DRAW_RADIUS);
    g.setBrush(QColor(60, 90, 200));
    for (const PfPoint& n : THROUGH_GATE_POSTS) g.drawEllipse(QPointF(n.x, n.y), POST_RADIUS, POST_RADIUS);
}

}  // namespace

bool writePreview(const BallPathTableData& table, const std::string& backPath, const std::string& pngPath, int argc,
                  char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QImage image(PF_WIDTH, PF_HEIGHT, QImage::Format_RGB32);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    QImage back;
    if (!backPath.empty() && QFile::exists(QString::fromStdString(backPath)) &&
        back.load(QString::fromStdString(backPath))) {
        g.drawImage(0, 0, back);
    } else {
        drawGeometry(g);
    }
    QFont font("IPAGothic");
    font.setPixelSize(9);
    font.setBold(true);
    g.setFont(font);

    int colour = 0;
    int legendY = 162;
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0, 0, 0, 190));
    g.drawRect(514, 156, 124, 13 * static_cast<int>(sizeof(SHOWN) / sizeof(SHOWN[0])) + 10);
    for (int index : SHOWN) {
        const BallPattern& p = table.pattern[index];
        QColor c = TRAIL_COLOURS[colour++ % (sizeof(TRAIL_COLOURS) / sizeof(TRAIL_COLOURS[0]))];
        QPainterPath path;
        bool started = false;
        QPointF previous;
        int terminal = 0;
        std::vector<std::pair<int, QPointF>> labels;  // marker, position
        for (int k = 0; k < STEPS; ++k) {
            if (isRegionMarker(p.xs[k])) {
                labels.push_back({p.xs[k], previous});
                if (isRemovingMarker(p.xs[k])) {
                    terminal = p.xs[k];
                    break;
                }
                continue;
            }
            QPointF centre(p.xs[k] + BALL_RADIUS, p.ys[k] + BALL_RADIUS);
            if (!started) path.moveTo(centre);
            else path.lineTo(centre);
            started = true;
            previous = centre;
        }
        g.setBrush(Qt::NoBrush);
        g.setPen(QPen(c, 1.6));
        g.drawPath(path);
        g.setPen(QPen(c.darker(150), 1));
        g.setBrush(QColor(c.red(), c.green(), c.blue(), 90));
        for (int k = 1; k < STEPS; ++k) {
            if (isRegionMarker(p.xs[k])) {
                if (isRemovingMarker(p.xs[k])) break;
                continue;
            }
            g.drawEllipse(QRectF(p.xs[k] + 4, p.ys[k] + 4, 9, 9));
        }
        for (const auto& [marker, at] : labels) {
            QString text = QString::number(marker);
            QRectF box(at.x() + 6, at.y() - 12, 22, 11);
            g.setPen(Qt::NoPen);
            g.setBrush(QColor(255, 255, 255, 210));
            g.drawRoundedRect(box, 2, 2);
            g.setPen(c.darker(130));
            g.drawText(box, Qt::AlignCenter, text);
        }
        // Legend in the control column.
        g.setPen(Qt::NoPen);
        g.setBrush(c);
        g.drawRect(520, legendY + 2, 10, 8);
        g.setPen(QColor(255, 255, 255));
        g.drawText(QPointF(535, legendY + 10),
                   QString("pattern %1 → %2").arg(index).arg(terminal));
        legendY += 13;
    }
    g.end();
    if (!image.save(QString::fromStdString(pngPath), "PNG")) {
        std::fprintf(stderr, "pachinko-courses: cannot write %s\n", pngPath.c_str());
        return false;
    }
    std::printf("wrote %s\n", pngPath.c_str());
    return true;
}

}  // namespace courses
