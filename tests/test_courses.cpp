// The ball course table "tama.dat": the generated table passes the checker
// and is the same on every run; the checker catches each kind of broken
// rule; the playfield's nail field cannot wedge a ball.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
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

    // True when some problem of the table's report contains `text`.
    static bool reports(const BallPathTableData& t, const std::string& text) {
        for (const std::string& p : checkTable(t).problems)
            if (p.find(text) != std::string::npos) return true;
        return false;
    }
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
    // Pattern 7's xs[3] at 7 * 320 + 12.
    EXPECT_EQ(bytes[7 * 320 + 12], static_cast<uint8_t>(t.pattern[7].xs[3]));
    BallPathTableData back{};
    ASSERT_TRUE(tableFromBytes(bytes, back));
    EXPECT_EQ(tableBytes(back), bytes);
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

// --- the checker catches each broken rule -------------------------------------

TEST_F(CourseTable, CatchesBadValuesAndMarkerPlacement) {
    BallPathTableData t = table();
    t.pattern[30].xs[5] = 988;  // no marker of the fourteen
    EXPECT_TRUE(reports(t, "pattern 30 step 5: x 988 is no marker"));

    t = table();
    t.pattern[31].ys[4] = 1200;
    EXPECT_TRUE(reports(t, "pattern 31 step 4: y 1200 is 980 or more"));

    t = table();
    t.pattern[12].xs[0] = MARKER_WING_0;
    t.pattern[12].ys[0] = 0;
    EXPECT_TRUE(reports(t, "pattern 12 step 0: step 0 is a marker"));

    t = table();
    int step = coordinateAfter(t.pattern[40], 3);
    t.pattern[40].xs[step] = MARKER_WING_2;
    t.pattern[40].ys[step] = 7;
    EXPECT_TRUE(reports(t, "a marker's y must be 0"));
}

TEST_F(CourseTable, CatchesCoursesThatNeverEndAndPassThroughAtTheLastStep) {
    BallPathTableData t = table();
    BallPattern& p = t.pattern[60];
    int end = terminalStep(p);
    // Stretch the course: the last waypoint repeated up to step 38, a wing
    // marker at step 39.
    for (int k = end; k < STEPS; ++k) {
        p.xs[k] = p.xs[end - 1];
        p.ys[k] = p.ys[end - 1];
    }
    p.xs[39] = MARKER_NEAR_GATE;
    p.ys[39] = 0;
    EXPECT_TRUE(reports(t, "pattern 60 step 39: a pass-through marker at step 39"));
    EXPECT_TRUE(reports(t, "pattern 60 step 39: the course never ends"));
}

TEST_F(CourseTable, CatchesBallsOutsideTheFieldOrOverNails) {
    BallPathTableData t = table();
    int k = coordinateAfter(t.pattern[50], 8);
    t.pattern[50].xs[k] = 560;  // over the controls at the right
    t.pattern[50].ys[k] = 250;
    EXPECT_TRUE(reports(t, "pattern 50 step " + std::to_string(k) + ": ball drawn outside the field"));

    t = table();
    k = coordinateAfter(t.pattern[51], 8);
    const PfPoint nail = NAILS[LIFE_NAIL_COUNT + 10];
    t.pattern[51].xs[k] = nail.x - 8;  // the ball's centre on the nail
    t.pattern[51].ys[k] = nail.y - 8;
    EXPECT_TRUE(reports(t, "pattern 51 step " + std::to_string(k) + ": ball drawn over a nail"));

    t = table();
    k = coordinateAfter(t.pattern[52], 8);
    t.pattern[52].xs[k] = 285;  // inside the centre piece
    t.pattern[52].ys[k] = 190;
    EXPECT_TRUE(reports(t, "pattern 52 step " + std::to_string(k) + ": ball drawn inside a solid part"));

    t = table();
    t.pattern[53].xs[6] = -4;
    EXPECT_TRUE(reports(t, "pattern 53 step 6: ball drawn outside the picture"));
}

TEST_F(CourseTable, CatchesJumpsAndMarkersAwayFromTheirRegions) {
    BallPathTableData t = table();
    BallPattern& p = t.pattern[70];
    // Teleport the ball from where it is to the bottom of the board and back.
    int k = coordinateAfter(p, terminalStep(p) / 2);
    ASSERT_GT(k, 2);
    p.xs[k] = 300 - 8;
    p.ys[k] = 30 - 8;  // near the top of the board, clear of nails
    CheckReport report = checkTable(t);
    bool jump = false;
    for (const std::string& s : report.problems) jump |= s.find("pattern 70") == 0 && s.find("jump of") != std::string::npos;
    EXPECT_TRUE(jump);

    t = table();
    // A top-pocket marker right after the launch: the ball is nowhere near it.
    t.pattern[20].xs[2] = MARKER_TOP_POCKET;
    t.pattern[20].ys[2] = 0;
    EXPECT_TRUE(reports(t, "pattern 20 step 2: marker 992 far from its region"));
}

TEST_F(CourseTable, CatchesBrokenBandRules) {
    BallPathTableData t = table();
    // A weak launch that does not come back.
    int end = terminalStep(t.pattern[1]);
    t.pattern[1].xs[end] = MARKER_OUT;
    EXPECT_TRUE(reports(t, "pattern 1: a weak launch must fall back"));
    EXPECT_TRUE(reports(t, "a ball that never left the launch channel must return"));

    // A board course that claims to return.
    t = table();
    end = terminalStep(t.pattern[9]);
    t.pattern[9].xs[end] = MARKER_RETURN;
    EXPECT_TRUE(reports(t, "a return (991) after the ball left the launch channel"));

    // The rewarding course of a band swapped with an everyday one.
    t = table();
    std::swap(t.pattern[25], t.pattern[29]);
    EXPECT_TRUE(reports(t, "pattern 25: reached only by full-range launches"));
    EXPECT_TRUE(reports(t, "pattern 29: an everyday course must not earn a spin"));

    // Two top pockets among a band's everyday courses, and one in a band
    // whose left tulip an everyday course passes.
    t = table();
    auto topPocketIn = [&](int32_t band) {
        for (int32_t i = BANDS[band].firstPattern + BANDS[band].fullRangeOnly;
             i < BANDS[band].firstPattern + BANDS[band].count; ++i)
            if (t.pattern[i].xs[terminalStep(t.pattern[i])] == MARKER_TOP_POCKET) return i;
        return -1;
    };
    const int32_t top = topPocketIn(3);  // band 78..90
    ASSERT_GE(top, 0);
    t.pattern[top == 44 ? 43 : 44] = t.pattern[top];
    EXPECT_TRUE(reports(t, "patterns 35...44: more than one everyday course ends in the top pocket"));
    t = table();
    int32_t overLeftTulip = -1;
    for (int32_t i = 5; i < 80 && overLeftTulip < 0; ++i)
        if (!isEntryMarker(t.pattern[i].xs[terminalStep(t.pattern[i])]) &&
            passesMarker(t.pattern[i], MARKER_NEAR_LEFT_TULIP))
            overLeftTulip = i;
    ASSERT_GE(overLeftTulip, 0);
    t.pattern[top == 44 ? 43 : 44] = t.pattern[overLeftTulip];
    EXPECT_TRUE(reports(t, "patterns 35...44: an everyday course passes the left tulip (985)"));

    // A top pocket in a band the nail setting does not count.
    t = table();
    t.pattern[72] = t.pattern[top];
    EXPECT_TRUE(reports(t, "pattern 72: the nail setting does not count this band"));

    // A band launched no stronger than the band before.
    t = table();
    for (int i = 0; i < 10; ++i) t.pattern[45 + i] = t.pattern[15 + i];
    EXPECT_TRUE(reports(t, "patterns 45...54: launched no stronger"));
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
    for (int k = 0; k < LIFE_NAIL_COUNT; ++k) {
        EXPECT_EQ(NAILS[k].x, LIFE_NAILS[k].x);
        EXPECT_EQ(NAILS[k].y, LIFE_NAILS[k].y);
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
