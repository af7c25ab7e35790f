#include "course_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "course_sim.h"
#include "field_model.h"
#include "machine/playfield.h"

namespace courses {

namespace {

std::string where(int32_t pattern, int32_t step) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "pattern %d step %d: ", pattern, step);
    return buf;
}

bool isKnownMarker(int32_t x) {
    return (x >= MARKER_WING_0 && x <= MARKER_NEAR_GATE) || (x >= MARKER_RETURN && x <= MARKER_START_POCKET) ||
           x == MARKER_OUT;
}

// The ball-centre area a marker stands for.
PfRect markerArea(int32_t marker) {
    if (marker >= MARKER_WING_0 && marker <= MARKER_WING_3) {
        int w = marker - MARKER_WING_0;
        double reach = WING_BLADE_RADIUS + BALL_RADIUS;
        return {static_cast<int32_t>(WING_CX[w] - reach), static_cast<int32_t>(WING_CY[w] - reach),
                static_cast<int32_t>(WING_CX[w] + reach) + 1, static_cast<int32_t>(WING_CY[w] + reach) + 1};
    }
    switch (marker) {
        case MARKER_NEAR_LEFT_TULIP: return LEFT_TULIP_NEAR;
        case MARKER_NEAR_RIGHT_TULIP: return RIGHT_TULIP_NEAR;
        case MARKER_NEAR_GATE: return GATE_NEAR;
        case MARKER_RETURN: return RETURN_HOLE;
        case MARKER_TOP_POCKET: return TOP_POCKET_MOUTH;
        case MARKER_LEFT_TULIP: return LEFT_TULIP_MOUTH;
        case MARKER_RIGHT_POCKET: return THROUGH_GATE;
        case MARKER_RIGHT_TULIP: return RIGHT_TULIP_MOUTH;
        case MARKER_START_POCKET: return START_POCKET_MOUTH;
        default: return OUT_HOLE;
    }
}

double distanceToRect(const PfRect& r, double x, double y) {
    double dx = std::max({r.left - x, 0.0, x - r.right});
    double dy = std::max({r.top - y, 0.0, y - r.bottom});
    return std::hypot(dx, dy);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int32_t jumpBound() { return static_cast<int32_t>(std::ceil(maxLaunchSpeed() * SAMPLE_SECONDS * 1.05)); }

double launchMeasure(const BallPattern& p) {
    for (int k = 0; k <= 2; ++k)
        if (isRegionMarker(p.xs[k])) return -1.0;
    return std::hypot(p.xs[1] - p.xs[0], p.ys[1] - p.ys[0]) + std::hypot(p.xs[2] - p.xs[1], p.ys[2] - p.ys[1]);
}

bool checkPattern(const BallPathTableData& table, int32_t index, CheckReport& report) {
    const size_t before = report.problems.size();
    const BallPattern& p = table.pattern[index];
    auto problem = [&](int32_t step, const std::string& text) { report.problems.push_back(where(index, step) + text); };

    // Values: coordinates below 980, and only the fourteen markers above.
    for (int k = 0; k < STEPS; ++k) {
        if (p.xs[k] >= MARKER_MIN && !isKnownMarker(p.xs[k])) problem(k, "x " + std::to_string(p.xs[k]) + " is no marker");
        if (p.ys[k] >= MARKER_MIN) problem(k, "y " + std::to_string(p.ys[k]) + " is 980 or more");
        if (isKnownMarker(p.xs[k]) && p.ys[k] != 0) problem(k, "a marker's y must be 0");
    }
    if (isRegionMarker(p.xs[0])) problem(0, "step 0 is a marker (idle balls look it up)");

    // The reachable part: up to the marker that removes the ball.
    int end = -1;
    for (int k = 0; k < STEPS; ++k) {
        if (isRemovingMarker(p.xs[k])) {
            end = k;
            break;
        }
    }
    if (end < 0) {
        problem(STEPS - 1, "the course never ends in a marker that removes the ball");
        end = STEPS;
    }
    for (int k = 0; k < end; ++k) {
        if (isPassThroughMarker(p.xs[k])) {
            if (k == STEPS - 1) problem(k, "a pass-through marker at step 39");
        }
    }

    // Every drawn ball: inside the picture and the board, off the nails and
    // walls, no longer jumps than a ball can make, markers by their regions.
    const FieldModel& field = fieldModel();
    const int32_t bound = jumpBound();
    int last = -1;
    bool inChannelOnly = true;
    for (int k = 0; k < end; ++k) {
        if (isRegionMarker(p.xs[k])) continue;
        int32_t x = p.xs[k], y = p.ys[k];
        double cx = x + BALL_RADIUS, cy = y + BALL_RADIUS;
        if (x < 0 || y < 0 || x > PF_WIDTH - BALL_SIZE || y > PF_HEIGHT - BALL_SIZE) {
            problem(k, "ball drawn outside the picture");
            continue;
        }
        if (!onBoard(cx, cy)) problem(k, "ball drawn outside the field");
        if (!inLaunchChannel(cx, cy)) inChannelOnly = false;
        if (insideSolid(cx, cy)) problem(k, "ball drawn inside a solid part");
        for (const Obstacle& o : field.near(cx, cy)) {
            double d = surfaceDistance(o, cx, cy);
            if (d < BALL_RADIUS - OVERLAP_TOLERANCE) {
                problem(k, o.isNail ? "ball drawn over a nail" : "ball drawn over a wall or post");
                break;
            }
        }
        if (last >= 0) {
            double jump = std::hypot(x - p.xs[last], y - p.ys[last]);
            if (jump > bound)
                problem(k, "jump of " + std::to_string(static_cast<int>(std::lround(jump))) + " px from step " +
                               std::to_string(last) + " (bound " + std::to_string(bound) + ")");
        }
        last = k;
    }
    // Markers where the flight is: the coordinates around a marker lie
    // within one tick's reach of the marker's region.
    for (int k = 0; k <= std::min(end, STEPS - 1); ++k) {
        if (!isRegionMarker(p.xs[k])) continue;
        int32_t m = p.xs[k];
        PfRect area = markerArea(m);
        for (int dir : {-1, 1}) {
            if (dir > 0 && k == end) break;
            int j = k + dir;
            while (j >= 0 && j < STEPS && isRegionMarker(p.xs[j])) j += dir;
            if (j < 0 || j >= STEPS || j > end) continue;
            if (distanceToRect(area, p.xs[j] + BALL_RADIUS, p.ys[j] + BALL_RADIUS) > bound)
                problem(k, "marker " + std::to_string(m) + " far from its region");
        }
    }
    if (end < STEPS) {
        bool returns = p.xs[end] == MARKER_RETURN;
        if (returns && !inChannelOnly) problem(end, "a return (991) after the ball left the launch channel");
        if (!returns && inChannelOnly) problem(end, "a ball that never left the launch channel must return (991)");
    }
    return report.problems.size() == before;
}

CheckReport checkTable(const BallPathTableData& table) {
    CheckReport report;
    for (int32_t i = 0; i < PATTERNS; ++i) checkPattern(table, i, report);

    auto terminalOf = [&](int32_t i) {
        for (int k = 0; k < STEPS; ++k)
            if (isRemovingMarker(table.pattern[i].xs[k])) return table.pattern[i].xs[k];
        return 0;
    };
    // Weak launches fall back, each a little stronger than the one before.
    double weakMax = -1.0;
    for (const Band& b : WEAK_BANDS) {
        if (terminalOf(b.firstPattern) != MARKER_RETURN)
            report.problems.push_back("pattern " + std::to_string(b.firstPattern) + ": a weak launch must fall back (991)");
        double m = launchMeasure(table.pattern[b.firstPattern]);
        if (m <= weakMax)
            report.problems.push_back("pattern " + std::to_string(b.firstPattern) + ": not stronger than the weak launch before");
        weakMax = std::max(weakMax, m);
    }
    // Bands: strengthening from band to band. Only full-range launches (one
    // counted launch in nailInterval + 1) may earn a spin or open the
    // tulips, and each full-range-only course does one or the other: so the
    // nail setting decides how often the reels turn. Everyday courses may pay
    // at the top pocket, but one per band at most, and never in a band where
    // an everyday course passes the left tulip that the top pocket opens:
    // that would earn spins on everyday launches and saturate the machine.
    auto passes = [&](int32_t i, int32_t marker) {
        for (int k = 0; k < STEPS && !isRemovingMarker(table.pattern[i].xs[k]); ++k)
            if (table.pattern[i].xs[k] == marker) return true;
        return false;
    };
    auto name = [](int32_t i) { return "pattern " + std::to_string(i) + ": "; };
    double previous = weakMax;
    for (const Band& b : BANDS) {
        std::vector<double> measures;
        double lowest = 1e9;
        int topPockets = 0;
        bool passesLeftTulip = false;
        for (int32_t i = b.firstPattern; i < b.firstPattern + b.count; ++i) {
            double m = launchMeasure(table.pattern[i]);
            measures.push_back(m);
            lowest = std::min(lowest, m);
            bool rewarding = isEntryMarker(terminalOf(i)) || passes(i, MARKER_RIGHT_POCKET);
            bool fullRangeOnly = i < b.firstPattern + b.fullRangeOnly;
            if (fullRangeOnly && !rewarding)
                report.problems.push_back(name(i) +
                                          "reached only by full-range launches, so it must end in a tulip or the "
                                          "bottom pocket or pass the right pocket (994)");
            if (!fullRangeOnly && rewarding)
                report.problems.push_back(name(i) +
                                          "an everyday course must not earn a spin or open the tulips "
                                          "(993, 995, 996, 994)");
            if (!fullRangeOnly && terminalOf(i) == MARKER_TOP_POCKET) {
                ++topPockets;
                if (!b.counted)
                    report.problems.push_back(name(i) + "the nail setting does not count this band, so it must "
                                                        "not pay at the top pocket (992)");
            }
            if (!fullRangeOnly && passes(i, MARKER_NEAR_LEFT_TULIP)) passesLeftTulip = true;
        }
        std::string range = "patterns " + std::to_string(b.firstPattern) + "..." +
                            std::to_string(b.firstPattern + b.count - 1) + ": ";
        if (topPockets > 1) report.problems.push_back(range + "more than one everyday course ends in the top pocket");
        if (topPockets > 0 && passesLeftTulip)
            report.problems.push_back(range + "an everyday course passes the left tulip (985) that the band's "
                                              "top pocket (992) opens");
        double med = median(measures);
        if (b.firstPattern == BANDS[0].firstPattern ? lowest <= weakMax : med <= previous)
            report.problems.push_back(range + "launched no stronger than the band before");
        previous = med;
    }
    return report;
}

CheckReport checkFileBytes(const std::vector<uint8_t>& bytes) {
    BallPathTableData table;
    if (!tableFromBytes(bytes, table)) {
        CheckReport report;
        report.problems.push_back("the file holds " + std::to_string(bytes.size()) + " bytes, not 32000");
        return report;
    }
    return checkTable(table);
}

}  // namespace courses
