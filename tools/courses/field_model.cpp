#include "field_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "machine/playfield.h"

namespace courses {

namespace {

constexpr double ARC_CHORD_DEG = 2.0;
constexpr double REST_RAIL = 0.35;
constexpr double REST_PART = 0.4;
constexpr double REST_NAIL = 0.45;
constexpr double REST_RUBBER = 0.7;

void addSegment(std::vector<Obstacle>& out, double ax, double ay, double bx, double by, double radius,
                double restitution) {
    out.push_back({false, ax, ay, bx, by, radius, restitution, false});
}

void addArc(std::vector<Obstacle>& out, const PfArc& arc, double restitution) {
    int chords = static_cast<int>(std::ceil((arc.endDeg - arc.startDeg) / ARC_CHORD_DEG));
    for (int i = 0; i < chords; ++i) {
        double a0 = (arc.startDeg + (arc.endDeg - arc.startDeg) * double(i) / chords) * std::numbers::pi / 180.0;
        double a1 = (arc.startDeg + (arc.endDeg - arc.startDeg) * double(i + 1) / chords) * std::numbers::pi / 180.0;
        addSegment(out, arc.cx + arc.radius * std::cos(a0), arc.cy + arc.radius * std::sin(a0),
                   arc.cx + arc.radius * std::cos(a1), arc.cy + arc.radius * std::sin(a1), RAIL_HALF_WIDTH,
                   restitution);
    }
}

void addPolygon(std::vector<Obstacle>& out, const PfPolygon& poly) {
    for (int i = 0; i < poly.count; ++i) {
        const PfPoint& a = poly.p[i];
        const PfPoint& b = poly.p[(i + 1) % poly.count];
        addSegment(out, a.x, a.y, b.x, b.y, 0.0, REST_PART);
    }
}

bool pointInPolygon(const PfPolygon& poly, double x, double y) {
    bool in = false;
    for (int i = 0, j = poly.count - 1; i < poly.count; j = i++) {
        double xi = poly.p[i].x, yi = poly.p[i].y, xj = poly.p[j].x, yj = poly.p[j].y;
        if ((yi > y) != (yj > y) && x < xi + (y - yi) * (xj - xi) / (yj - yi)) in = !in;
    }
    return in;
}

const PfPolygon* const SOLIDS[] = {&CENTRE_PIECE,          &TOP_POCKET_BODY,       &START_POCKET_BODY,
                                   &LEFT_TULIP_HALVES[0],  &LEFT_TULIP_HALVES[1],  &RIGHT_TULIP_HALVES[0],
                                   &RIGHT_TULIP_HALVES[1], &GATE_BAR};

FieldModel buildField() {
    FieldModel f;
    std::vector<Obstacle>& o = f.obstacles;
    addArc(o, OUTER_RAIL, REST_RAIL);
    addArc(o, INNER_RAIL, REST_RAIL);
    for (const PfSegment* s : {&OUTER_RAIL_LEFT_WALL, &RIGHT_FLOOR, &INNER_RAIL_STRAIGHT, &LEFT_FLOOR})
        addSegment(o, s->a.x, s->a.y, s->b.x, s->b.y, RAIL_HALF_WIDTH, REST_RAIL);
    addSegment(o, RETURN_RUBBER.a.x, RETURN_RUBBER.a.y, RETURN_RUBBER.b.x, RETURN_RUBBER.b.y, 2.0, REST_RUBBER);
    for (const PfPolygon* p : SOLIDS) addPolygon(o, *p);
    for (const PfPoint& n : NAILS) o.push_back({true, double(n.x), double(n.y), 0, 0, NAIL_RADIUS, REST_NAIL, true});
    for (const PfPoint& n : THROUGH_GATE_POSTS)
        o.push_back({true, double(n.x), double(n.y), 0, 0, POST_RADIUS, REST_NAIL, false});

    f.columns = (PF_WIDTH + FieldModel::CELL - 1) / FieldModel::CELL;
    f.rows = (PF_HEIGHT + FieldModel::CELL - 1) / FieldModel::CELL;
    f.cells.resize(size_t(f.columns) * f.rows);
    const double half = FieldModel::CELL / 2.0;
    const double cellReach = half * std::numbers::sqrt2 + BALL_RADIUS + 2.0;
    for (int r = 0; r < f.rows; ++r) {
        for (int c = 0; c < f.columns; ++c) {
            double cx = c * FieldModel::CELL + half, cy = r * FieldModel::CELL + half;
            for (const Obstacle& ob : o) {
                if (surfaceDistance(ob, cx, cy) <= cellReach) f.cells[size_t(r) * f.columns + c].push_back(ob);
            }
        }
    }
    return f;
}

}  // namespace

const std::vector<Obstacle>& FieldModel::near(double x, double y) const {
    int c = std::clamp(static_cast<int>(std::floor(x / CELL)), 0, columns - 1);
    int r = std::clamp(static_cast<int>(std::floor(y / CELL)), 0, rows - 1);
    return cells[size_t(r) * columns + c];
}

const FieldModel& fieldModel() {
    // Built on first use and never changed: a pure function of the table.
    static const FieldModel model = buildField();
    return model;
}

double surfaceDistance(const Obstacle& o, double x, double y) {
    double cx = o.ax, cy = o.ay;
    if (!o.isCircle) {
        double dx = o.bx - o.ax, dy = o.by - o.ay;
        double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? std::clamp(((x - o.ax) * dx + (y - o.ay) * dy) / len2, 0.0, 1.0) : 0.0;
        cx = o.ax + t * dx;
        cy = o.ay + t * dy;
    }
    return std::hypot(x - cx, y - cy) - o.radius;
}

bool inLaunchChannel(double x, double y) {
    if (x > OUTER_RAIL_LEFT_WALL.a.x && x < CHANNEL_RIGHT && y >= BOARD_CY && y <= PF_HEIGHT) return true;
    // The curved part between the two rails, up to where the inner rail ends.
    double r = std::hypot(x - BOARD_CX, y - BOARD_CY);
    double angle = std::atan2(y - BOARD_CY, x - BOARD_CX) * 180.0 / std::numbers::pi;
    if (angle < 0) angle += 360.0;
    return r < OUTER_RAIL_RADIUS && r > INNER_RAIL_RADIUS && angle >= INNER_RAIL.startDeg &&
           angle <= INNER_RAIL.endDeg;
}

bool onBoard(double x, double y) {
    double r = std::hypot(x - BOARD_CX, y - BOARD_CY);
    double angle = std::atan2(y - BOARD_CY, x - BOARD_CX) * 180.0 / std::numbers::pi;
    if (angle < 0) angle += 360.0;
    bool insideOuter = r < OUTER_RAIL_RADIUS;
    if (inLaunchChannel(x, y)) return true;
    if (!insideOuter || x <= CHANNEL_RIGHT) return false;
    if (angle >= INNER_RAIL.startDeg && angle <= INNER_RAIL.endDeg && r >= INNER_RAIL_RADIUS) return false;
    // Above the two floors.
    auto below = [&](const PfSegment& s) {
        double x0 = std::min(s.a.x, s.b.x), x1 = std::max(s.a.x, s.b.x);
        if (x < x0 || x > x1) return false;
        double t = (x - s.a.x) / double(s.b.x - s.a.x);
        return y > s.a.y + t * (s.b.y - s.a.y);
    };
    if (below(LEFT_FLOOR) || below(RIGHT_FLOOR)) return false;
    return y < OUT_HOLE.bottom;
}

bool insideSolid(double x, double y) {
    for (const PfPolygon* p : SOLIDS)
        if (pointInPolygon(*p, x, y)) return true;
    return false;
}

}  // namespace courses
