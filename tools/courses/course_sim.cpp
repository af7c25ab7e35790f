#include "course_sim.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>

#include "field_model.h"
#include "machine/playfield.h"

namespace courses {

namespace {

// Launch speeds (px/s). A shot needs about 1135 px/s to pass the end of the
// inner rail; anything below falls back down the channel. 1480 px/s carries
// the ball over the top and down to the return rubber at the upper right.
constexpr double WEAK_SLOWEST = 500.0;
constexpr double WEAK_FASTEST = 1090.0;
constexpr double BOARD_SLOWEST = 1170.0;
constexpr double BOARD_FASTEST = 1480.0;

// Contacts slower than this do not bounce (the ball rests or rolls); the
// share of the contact slip that friction turns into spin per contact.
constexpr double RESTING_SPEED = 12.0;   // slower contacts do not bounce
constexpr double SLIP_TAKEN = 0.15;

// Windmills: how fast the blades drag the ball along, their inertia and
// bearing drag.
constexpr double WING_DRAG_RATE = 5.0;         // 1/s
constexpr double WING_INERTIA_PER_MASS = 0.3 * 16.0 * 16.0;
constexpr double WING_BEARING_DRAG = 0.6;       // 1/s
constexpr double WING_REACH = WING_BLADE_RADIUS + BALL_RADIUS - 3.0;

struct Vec {
    double x, y;
};

struct BallState {
    Vec p;      // centre
    Vec v;
    double spin;  // rad/s, positive = clockwise on the screen
};

// A region the ball is counted in: the kind of event and where.
enum RegionKind { REGION_CAPTURE, REGION_PASS };
struct Region {
    PfRect rect;
    int32_t marker;
    RegionKind kind;
};

const Region REGIONS[] = {
    {TOP_POCKET_MOUTH, MARKER_TOP_POCKET, REGION_CAPTURE},
    {START_POCKET_MOUTH, MARKER_START_POCKET, REGION_CAPTURE},
    {LEFT_TULIP_MOUTH, MARKER_LEFT_TULIP, REGION_CAPTURE},
    {RIGHT_TULIP_MOUTH, MARKER_RIGHT_TULIP, REGION_CAPTURE},
    {OUT_HOLE, MARKER_OUT, REGION_CAPTURE},
    {LEFT_TULIP_NEAR, MARKER_NEAR_LEFT_TULIP, REGION_PASS},
    {RIGHT_TULIP_NEAR, MARKER_NEAR_RIGHT_TULIP, REGION_PASS},
    {GATE_NEAR, MARKER_NEAR_GATE, REGION_PASS},
    {THROUGH_GATE, MARKER_RIGHT_POCKET, REGION_PASS},
};
constexpr int REGION_COUNT = sizeof(REGIONS) / sizeof(REGIONS[0]);

struct Event {
    double time;
    int32_t marker;
};

Waypoint waypointOf(Vec p) {
    return {static_cast<int32_t>(std::lround(p.x - BALL_RADIUS)),
            static_cast<int32_t>(std::lround(p.y - BALL_RADIUS))};
}

// One contact: push the ball out of the obstacle and bounce it.
void resolveContact(BallState& b, Vec closest, double reach, double restitution) {
    double dx = b.p.x - closest.x, dy = b.p.y - closest.y;
    double d = std::sqrt(dx * dx + dy * dy);
    if (d >= reach) return;
    Vec n = d > 1e-9 ? Vec{dx / d, dy / d} : Vec{0.0, -1.0};
    b.p.x += n.x * (reach - d);
    b.p.y += n.y * (reach - d);
    double vn = b.v.x * n.x + b.v.y * n.y;
    if (vn >= 0.0) return;
    Vec t = {-n.y, n.x};
    double vt = b.v.x * t.x + b.v.y * t.y;
    // Normal part: bounce, or stop when it is only resting on the surface.
    double vnAfter = vn < -RESTING_SPEED ? -restitution * vn : 0.0;
    // Tangential part: friction at the contact point turns slip into spin.
    double slip = vt - b.spin * BALL_RADIUS;
    double dvt = -SLIP_TAKEN * (2.0 / 7.0) * slip;
    b.spin -= 2.5 * dvt / BALL_RADIUS;
    vt += dvt;
    b.v.x = n.x * vnAfter + t.x * vt;
    b.v.y = n.y * vnAfter + t.y * vt;
}

}  // namespace

const Band BANDS[BAND_COUNT] = {
    {39, 51, 5, 10, 1, true},    {52, 64, 15, 10, 2, true},   {65, 77, 25, 10, 1, true},
    {78, 90, 35, 10, 1, true},   {91, 103, 45, 10, 3, true},  {104, 116, 55, 10, 4, true},
    {117, 129, 65, 6, 2, true},  {130, 142, 71, 4, 0, false}, {143, 155, 75, 4, 1, true},
    {156, 169, 79, 1, 0, false},
};
const Band WEAK_BANDS[3] = {{1, 12, 0, 1, 0, false}, {13, 25, 1, 1, 0, false}, {26, 38, 2, 1, 0, false}};

double launchSpeedForDial(double dialPower) {
    if (dialPower < 39.0) {
        double f = std::clamp(dialPower / 38.0, 0.0, 1.0);
        return WEAK_SLOWEST + f * (WEAK_FASTEST - WEAK_SLOWEST);
    }
    double f = std::clamp((dialPower - 39.0) / (169.0 - 39.0), 0.0, 1.0);
    return BOARD_SLOWEST + f * (BOARD_FASTEST - BOARD_SLOWEST);
}

double maxLaunchSpeed() { return BOARD_FASTEST * 1.01; }

bool isPassThroughMarker(int32_t m) {
    return (m >= MARKER_WING_0 && m <= MARKER_NEAR_GATE) || m == MARKER_RIGHT_POCKET;
}
bool isEntryMarker(int32_t m) {
    return m == MARKER_LEFT_TULIP || m == MARKER_RIGHT_TULIP || m == MARKER_START_POCKET;
}
bool isRemovingMarker(int32_t m) {
    return isEntryMarker(m) || m == MARKER_TOP_POCKET || m == MARKER_RETURN || m == MARKER_OUT;
}

Flight simulateFlight(double launchSpeed, const ShotVariation& variation, double maxSeconds) {
    const FieldModel& field = fieldModel();
    Flight flight;
    flight.launchSpeed = launchSpeed;

    BallState b;
    b.p = {LAUNCH_BALL_CENTRE.x + variation.offsetX, static_cast<double>(LAUNCH_BALL_CENTRE.y)};
    b.v = {0.0, -launchSpeed * variation.speedFactor};
    b.spin = variation.spin;

    double wingSpin[4] = {0, 0, 0, 0};
    bool inWing[4] = {false, false, false, false};
    bool inRegion[REGION_COUNT] = {};
    std::vector<Event> events;

    const int stepsPerSample = static_cast<int>(std::lround(SAMPLE_SECONDS / STEP_SECONDS));
    const int maxSamples = static_cast<int>(std::lround(maxSeconds / SAMPLE_SECONDS));
    std::vector<Vec> samples;
    samples.push_back(b.p);
    int32_t terminal = 0;
    double terminalTime = 0.0;

    for (int s = 1; s <= maxSamples && terminal == 0; ++s) {
        for (int k = 0; k < stepsPerSample && terminal == 0; ++k) {
            double time = ((s - 1) * stepsPerSample + k + 1) * STEP_SECONDS;
            b.v.y += GRAVITY * STEP_SECONDS;
            b.p.x += b.v.x * STEP_SECONDS;
            b.p.y += b.v.y * STEP_SECONDS;
            // Windmills: the blades drag the ball round with them, and the
            // ball turns the blades.
            for (int w = 0; w < 4; ++w) {
                double rx = b.p.x - WING_CX[w], ry = b.p.y - WING_CY[w];
                double d = std::sqrt(rx * rx + ry * ry);
                bool inside = d < WING_REACH;
                if (inside && !inWing[w]) events.push_back({time, MARKER_WING_0 + w});
                inWing[w] = inside;
                if (inside) {
                    Vec blade = {-wingSpin[w] * ry, wingSpin[w] * rx};
                    double f = std::min(1.0, WING_DRAG_RATE * STEP_SECONDS);
                    Vec dv = {(blade.x - b.v.x) * f, (blade.y - b.v.y) * f};
                    b.v.x += dv.x;
                    b.v.y += dv.y;
                    wingSpin[w] -= (rx * dv.y - ry * dv.x) / WING_INERTIA_PER_MASS;
                }
                wingSpin[w] *= 1.0 - WING_BEARING_DRAG * STEP_SECONDS;
            }
            // Contacts with everything near the ball.
            for (const Obstacle& o : field.near(b.p.x, b.p.y)) {
                Vec c;
                if (o.isCircle) {
                    c = {o.ax, o.ay};
                } else {
                    double dx = o.bx - o.ax, dy = o.by - o.ay;
                    double len2 = dx * dx + dy * dy;
                    double t = len2 > 0 ? ((b.p.x - o.ax) * dx + (b.p.y - o.ay) * dy) / len2 : 0.0;
                    t = std::clamp(t, 0.0, 1.0);
                    c = {o.ax + t * dx, o.ay + t * dy};
                }
                resolveContact(b, c, BALL_RADIUS + o.radius, o.restitution);
            }
            // Regions.
            for (int r = 0; r < REGION_COUNT; ++r) {
                bool inside = REGIONS[r].rect.contains(b.p.x, b.p.y);
                if (inside && !inRegion[r]) {
                    if (REGIONS[r].kind == REGION_CAPTURE) {
                        terminal = REGIONS[r].marker;
                        terminalTime = time;
                    } else {
                        events.push_back({time, REGIONS[r].marker});
                    }
                }
                inRegion[r] = inside;
            }
            if (terminal == 0 && b.v.y > 0 && RETURN_HOLE.contains(b.p.x, b.p.y)) {
                terminal = MARKER_RETURN;
                terminalTime = time;
            }
            if (b.p.x < 80 || b.p.x > 505 || b.p.y < 5 || b.p.y > 416) {
                flight.escaped = true;
                samples.push_back(b.p);
                for (auto& q : samples) flight.entries.push_back(waypointOf(q));
                return flight;
            }
        }
        if (terminal == 0) samples.push_back(b.p);
    }
    flight.terminal = terminal;
    if (terminal == 0) {
        for (auto& q : samples) flight.entries.push_back(waypointOf(q));
        return flight;
    }

    // Course: sample 0, then for each 100 ms the markers met since the
    // previous sample, then the sample; the removing marker last.
    size_t e = 0;
    flight.entries.push_back(waypointOf(samples[0]));
    for (size_t s = 1; s < samples.size(); ++s) {
        double until = s * SAMPLE_SECONDS + 1e-12;
        int32_t lastMarker = 0;
        while (e < events.size() && events[e].time <= until) {
            // The same region twice within one tick counts once.
            if (events[e].marker != lastMarker) flight.entries.push_back({events[e].marker, 0});
            lastMarker = events[e].marker;
            ++e;
        }
        flight.entries.push_back(waypointOf(samples[s]));
    }
    int32_t lastMarker = 0;
    while (e < events.size() && events[e].time <= terminalTime) {
        if (events[e].marker != lastMarker) flight.entries.push_back({events[e].marker, 0});
        lastMarker = events[e].marker;
        ++e;
    }
    flight.entries.push_back({terminal, 0});
    return flight;
}

std::vector<uint8_t> tableBytes(const BallPathTableData& table) {
    std::vector<uint8_t> out;
    out.reserve(32000);
    for (const BallPattern& p : table.pattern) {
        for (int half = 0; half < 2; ++half) {
            const int32_t* values = half == 0 ? p.xs : p.ys;
            for (int k = 0; k < STEPS; ++k) {
                uint32_t u = static_cast<uint32_t>(values[k]);
                for (int byte = 0; byte < 4; ++byte) out.push_back(static_cast<uint8_t>(u >> (8 * byte)));
            }
        }
    }
    return out;
}

bool tableFromBytes(const std::vector<uint8_t>& bytes, BallPathTableData& table) {
    if (bytes.size() != sizeof(BallPathTableData)) return false;
    size_t i = 0;
    for (BallPattern& p : table.pattern) {
        for (int half = 0; half < 2; ++half) {
            int32_t* values = half == 0 ? p.xs : p.ys;
            for (int k = 0; k < STEPS; ++k, i += 4) {
                uint32_t u = static_cast<uint32_t>(bytes[i]) | static_cast<uint32_t>(bytes[i + 1]) << 8 |
                             static_cast<uint32_t>(bytes[i + 2]) << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24;
                values[k] = static_cast<int32_t>(u);
            }
        }
    }
    return true;
}

}  // namespace courses
