// The ball course table "tama.dat": the generated table passes the checker
// and is the same on every run; the checker catches each kind of broken
// rule; the playfield's nail field cannot wedge a ball.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "course_check.h"
#include "course_sim.h"
#include "field_model.h"
#include "machine/playfield.h"
#include "sim.h"

using namespace courses;

namespace {

// Generating takes a few seconds and ctest runs each case in a process of
// its own: the cases read the table the build generated, and only the
// determinism case generates it again.
class CourseTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        generated_ = new BallPathTableData();
        std::ifstream in(PACHINKO_GENERATED_TAMA, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        loaded_ = tableFromBytes(bytes, *generated_);
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << "no table read from " PACHINKO_GENERATED_TAMA; }
    static void TearDownTestSuite() {
        delete generated_;
        generated_ = nullptr;
    }
    static BallPathTableData* generated_;
    static bool loaded_;

    BallPathTableData table() const { return *generated_; }

    // The first coordinate step of a pattern after `from` (a waypoint in flight).
    static int coordinateAfter(const BallPattern& p, int from) {
        for (int k = from; k < STEPS; ++k)
            if (!isRegionMarker(p.xs[k])) return k;
        return -1;
    }
    static bool passesMarker(const BallPattern& p, int32_t marker) {
        for (int k = 0; k < STEPS && !isRemovingMarker(p.xs[k]); ++k)
            if (p.xs[k] == marker) return true;
        return false;
    }
    static int terminalStep(const BallPattern& p) {
        for (int k = 0; k < STEPS; ++k)
            if (isRemovingMarker(p.xs[k])) return k;
        return -1;
    }
};
BallPathTableData* CourseTable::generated_ = nullptr;
bool CourseTable::loaded_ = false;

TEST_F(CourseTable, GeneratedTablePassesEveryRule) {
    CheckReport report = checkTable(table());
    for (const std::string& p : report.problems) ADD_FAILURE() << p;
    EXPECT_TRUE(report.ok());
}

TEST_F(CourseTable, GenerationIsDeterministic) {
    EXPECT_EQ(tableBytes(generateTable()), tableBytes(table()));
}

TEST_F(CourseTable, FileLayoutRoundTrips) {
    BallPathTableData t = table();
    std::vector<uint8_t> bytes = tableBytes(t);
    ASSERT_EQ(bytes.size(), 32000u);
    // Pattern 99's last ys value is the file's last four bytes, little-endian.
    int32_t last = t.pattern[99].ys[39];
    EXPECT_EQ(bytes[31996], static_cast<uint8_t>(last));
    EXPECT_EQ(bytes[31999], static_cast<uint8_t>(static_cast<uint32_t>(last) >> 24));
    BallPathTableData back{};
    bytes.pop_back();
    EXPECT_FALSE(tableFromBytes(bytes, back));
    EXPECT_FALSE(checkFileBytes(bytes).ok());
}

// Which courses earn spins is the checker's to enforce (above): here, that
// the everyday courses still reach the active parts: across the table some
// pass the gate and each tulip's mouth, and some pay at the top.
TEST_F(CourseTable, EverydayCoursesReachTheActiveParts) {
    BallPathTableData t = table();
    int gate = 0, nearLeft = 0, nearRight = 0, top = 0;
    for (int i = 5; i < 80; ++i) {
        gate += passesMarker(t.pattern[i], MARKER_NEAR_GATE);
        nearLeft += passesMarker(t.pattern[i], MARKER_NEAR_LEFT_TULIP);
        nearRight += passesMarker(t.pattern[i], MARKER_NEAR_RIGHT_TULIP);
        top += t.pattern[i].xs[terminalStep(t.pattern[i])] == MARKER_TOP_POCKET;
    }
    EXPECT_GT(gate, 3);
    EXPECT_GT(nearLeft, 0);
    EXPECT_GT(nearRight, 0);
    EXPECT_GT(top, 0);
}

// The economy the courses make, played by the machine's own logic: the best
// counted band of a tight machine loses, loosening the nails pays, the high
// slot setting pays, the bands the nails do not count pay no more than a
// tight machine, weak launches come back.
TEST_F(CourseTable, TheMachinesAreWorthPlaying) {
    const BallPathTableData courses = table();
    auto ratio = [&](int32_t slot, int32_t nail, int32_t dial) {
        sim::RunSpec spec;
        spec.seat.slotSetting = slot;
        spec.seat.nailSetting = nail;
        spec.dial = dial;
        spec.launches = 60000;
        return sim::runSeat(courses, spec).returnRatio();
    };
    auto best = [&](int32_t slot, int32_t nail) {
        double top = 0.0;
        for (int32_t dial : sim::sweepDials()) {
            int band = sim::bandOfDial(dial);
            if (sim::DIAL_BANDS[band].counted) top = std::max(top, ratio(slot, nail, dial));
        }
        return top;
    };
    const double tight = best(0, 0), standard = best(0, 3), loose = best(0, 6);
    EXPECT_GT(tight, 0.5);
    EXPECT_LT(tight, 0.9);
    EXPECT_LT(tight, standard);
    EXPECT_LT(standard, loose);
    EXPECT_GT(loose, 1.0);
    EXPECT_GT(best(6, 3), 1.2);
    EXPECT_LT(best(2, 0), 1.0);
    for (int32_t dial : {130, 156}) EXPECT_LE(ratio(0, 6, dial), tight) << dial;
    EXPECT_NEAR(ratio(0, 0, 20), 1.0, 0.001);
}

// Each kind of broken rule, made in a copy of the generated table, is
// reported for the pattern (or band) and step where it was made.
TEST_F(CourseTable, TheCheckerCatchesEachBrokenRule) {
    const BallPathTableData base = table();
    const int k50 = coordinateAfter(base.pattern[50], 8), k51 = coordinateAfter(base.pattern[51], 8),
              k52 = coordinateAfter(base.pattern[52], 8);
    // A top pocket among band 3's everyday courses (78..90: patterns 35...44),
    // and another slot of that band to put a second course in.
    int32_t top = -1, overLeftTulip = -1;
    for (int32_t i = BANDS[3].firstPattern + BANDS[3].fullRangeOnly; i < BANDS[3].firstPattern + BANDS[3].count; ++i)
        if (base.pattern[i].xs[terminalStep(base.pattern[i])] == MARKER_TOP_POCKET) top = i;
    for (int32_t i = 5; i < 80 && overLeftTulip < 0; ++i)
        if (!isEntryMarker(base.pattern[i].xs[terminalStep(base.pattern[i])]) &&
            passesMarker(base.pattern[i], MARKER_NEAR_LEFT_TULIP))
            overLeftTulip = i;
    ASSERT_GE(top, 0);
    ASSERT_GE(overLeftTulip, 0);
    const int32_t other = top == 44 ? 43 : 44;
    auto set = [](BallPattern& p, int k, int32_t x, int32_t y) {
        p.xs[k] = x;
        p.ys[k] = y;
    };
    struct Case {
        std::string where, problem;
        std::function<void(BallPathTableData&)> breakIt;
    };
    const PfPoint nail = NAILS[LIFE_NAIL_COUNT + 10];
    const Case cases[] = {
        {"pattern 30 step 5:", "x 988 is no marker", [](auto& t) { t.pattern[30].xs[5] = 988; }},
        {"pattern 31 step 4:", "y 1200 is 980 or more", [](auto& t) { t.pattern[31].ys[4] = 1200; }},
        {"pattern 12 step 0:", "step 0 is a marker", [&](auto& t) { set(t.pattern[12], 0, MARKER_WING_0, 0); }},
        {"pattern 40 step", "a marker's y must be 0",
         [&](auto& t) { set(t.pattern[40], coordinateAfter(t.pattern[40], 3), MARKER_WING_2, 7); }},
        // The course stretched: its last waypoint repeated, a wing marker at step 39.
        {"pattern 60 step 39:", "a pass-through marker at step 39", [&](auto& t) {
             BallPattern& p = t.pattern[60];
             for (int k = terminalStep(p); k < STEPS; ++k) set(p, k, p.xs[k - 1], p.ys[k - 1]);
             set(p, 39, MARKER_NEAR_GATE, 0);
         }},
        {"pattern 60 step 39:", "the course never ends", [&](auto& t) {
             BallPattern& p = t.pattern[60];
             for (int k = terminalStep(p); k < STEPS; ++k) set(p, k, p.xs[k - 1], p.ys[k - 1]);
         }},
        // Over the controls at the right; the ball's centre on a nail; inside the centre piece.
        {"pattern 50 step " + std::to_string(k50) + ":", "ball drawn outside the field",
         [&](auto& t) { set(t.pattern[50], k50, 560, 250); }},
        {"pattern 51 step " + std::to_string(k51) + ":", "ball drawn over a nail",
         [&](auto& t) { set(t.pattern[51], k51, nail.x - 8, nail.y - 8); }},
        {"pattern 52 step " + std::to_string(k52) + ":", "ball drawn inside a solid part",
         [&](auto& t) { set(t.pattern[52], k52, 285, 190); }},
        {"pattern 53 step 6:", "ball drawn outside the picture", [](auto& t) { t.pattern[53].xs[6] = -4; }},
        // Teleported from mid-course to near the top of the board, clear of nails.
        {"pattern 70 step", "jump of", [&](auto& t) {
             BallPattern& p = t.pattern[70];
             set(p, coordinateAfter(p, terminalStep(p) / 2), 300 - 8, 30 - 8);
         }},
        // A top-pocket marker right after the launch: the ball is nowhere near it.
        {"pattern 20 step 2:", "marker 992 far from its region",
         [&](auto& t) { set(t.pattern[20], 2, MARKER_TOP_POCKET, 0); }},
        {"pattern 1:", "a weak launch must fall back",
         [](auto& t) { t.pattern[1].xs[terminalStep(t.pattern[1])] = MARKER_OUT; }},
        {"pattern 1 step", "a ball that never left the launch channel must return",
         [](auto& t) { t.pattern[1].xs[terminalStep(t.pattern[1])] = MARKER_OUT; }},
        {"pattern 9 step", "a return (991) after the ball left the launch channel",
         [](auto& t) { t.pattern[9].xs[terminalStep(t.pattern[9])] = MARKER_RETURN; }},
        // A band's rewarding course swapped with an everyday one.
        {"pattern 25:", "reached only by full-range launches", [](auto& t) { std::swap(t.pattern[25], t.pattern[29]); }},
        {"pattern 29:", "an everyday course must not earn a spin",
         [](auto& t) { std::swap(t.pattern[25], t.pattern[29]); }},
        {"patterns 35...44:", "more than one everyday course ends in the top pocket",
         [&](auto& t) { t.pattern[other] = t.pattern[top]; }},
        {"patterns 35...44:", "an everyday course passes the left tulip (985)",
         [&](auto& t) { t.pattern[other] = t.pattern[overLeftTulip]; }},
        {"pattern 72:", "the nail setting does not count this band", [&](auto& t) { t.pattern[72] = t.pattern[top]; }},
        {"patterns 45...54:", "launched no stronger", [](auto& t) {
             for (int i = 0; i < 10; ++i) t.pattern[45 + i] = t.pattern[15 + i];
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where + " " + c.problem);
        BallPathTableData t = base;
        c.breakIt(t);
        bool found = false;
        for (const std::string& p : checkTable(t).problems)
            found |= p.rfind(c.where, 0) == 0 && p.find(c.problem) != std::string::npos;
        EXPECT_TRUE(found);
    }
}

// --- the simulation and the field ---------------------------------------------

TEST(CourseSimulation, WeakShotsFallBackAndStrongShotsReachTheBoard) {
    Flight weak = simulateFlight(launchSpeedForDial(30), ShotVariation{});
    EXPECT_EQ(weak.terminal, MARKER_RETURN);
    Flight strong = simulateFlight(launchSpeedForDial(120), ShotVariation{});
    EXPECT_FALSE(strong.escaped);
    EXPECT_NE(strong.terminal, MARKER_RETURN);
    // The dial maps monotonically onto launch speeds, weak below board.
    EXPECT_LT(launchSpeedForDial(38), launchSpeedForDial(39));
    EXPECT_LT(launchSpeedForDial(100), launchSpeedForDial(101));
    EXPECT_LE(launchSpeedForDial(169), maxLaunchSpeed());
}

TEST(Playfield, NailsLeaveRoomAndMarksSitBesideTheLifeNails) {
    // Two nails are either a wall (never built) or far enough apart for the
    // 17 px ball to pass with room to spare, so no ball can wedge between.
    for (int i = 0; i < NAIL_COUNT; ++i) {
        for (int j = i + 1; j < NAIL_COUNT; ++j) {
            double d = std::hypot(NAILS[i].x - NAILS[j].x, NAILS[i].y - NAILS[j].y);
            EXPECT_GE(d, 2 * NAIL_RADIUS + BALL_SIZE + 1.0) << "nails " << i << " and " << j;
        }
        EXPECT_TRUE(onBoard(NAILS[i].x, NAILS[i].y)) << "nail " << i;
        EXPECT_FALSE(insideSolid(NAILS[i].x, NAILS[i].y)) << "nail " << i;
    }
    // No nail mark of any setting covers a nail head, and each mark has a
    // life nail within a few pixels.
    for (const NailMarkSet& set : NAIL_MARKS) {
        for (int m = 0; m < set.count; ++m) {
            PfRect mark = {set.at[m].x, set.at[m].y, set.at[m].x + NAIL_MARK_WIDTH, set.at[m].y + NAIL_MARK_HEIGHT};
            double nearestLife = 1e9;
            for (int i = 0; i < NAIL_COUNT; ++i) {
                double dx = std::max({mark.left - double(NAILS[i].x), 0.0, NAILS[i].x - double(mark.right)});
                double dy = std::max({mark.top - double(NAILS[i].y), 0.0, NAILS[i].y - double(mark.bottom)});
                double d = std::hypot(dx, dy);
                EXPECT_GT(d, NAIL_DRAW_RADIUS) << "mark at " << mark.left << "," << mark.top;
                if (i < LIFE_NAIL_COUNT) nearestLife = std::min(nearestLife, d);
            }
            EXPECT_LE(nearestLife, 8.0) << "mark at " << mark.left << "," << mark.top;
        }
    }
}

}  // namespace
