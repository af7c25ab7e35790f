// The ball course table "tama.dat": the generated table passes the checker
// and is the same on every run, and the machines it makes are worth playing;
// the checker catches broken rules of each family (what a course may hold,
// where a ball may be drawn, how courses follow launches); the playfield's
// nail field cannot wedge a ball.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
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

// A broken rule, made in a copy of the generated table, is reported for the
// pattern and step where it was made.
TEST_F(CourseTable, TheCheckerCatchesEachBrokenRule) {
    const BallPathTableData base = table();
    const int k51 = coordinateAfter(base.pattern[51], 8);
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
        // The course stretched: its last waypoint repeated, a wing marker at step 39.
        {"pattern 60 step 39:", "the course never ends", [&](auto& t) {
             BallPattern& p = t.pattern[60];
             for (int k = terminalStep(p); k < STEPS; ++k) set(p, k, p.xs[k - 1], p.ys[k - 1]);
         }},
        // The ball's centre on a nail.
        {"pattern 51 step " + std::to_string(k51) + ":", "ball drawn over a nail",
         [&](auto& t) { set(t.pattern[51], k51, nail.x - 8, nail.y - 8); }},
        // Teleported from mid-course to near the top of the board, clear of nails.
        {"pattern 70 step", "jump of", [&](auto& t) {
             BallPattern& p = t.pattern[70];
             set(p, coordinateAfter(p, terminalStep(p) / 2), 300 - 8, 30 - 8);
         }},
        {"pattern 1:", "a weak launch must fall back",
         [](auto& t) { t.pattern[1].xs[terminalStep(t.pattern[1])] = MARKER_OUT; }},
        // A band's rewarding course swapped with an everyday one.
        {"pattern 25:", "reached only by full-range launches", [](auto& t) { std::swap(t.pattern[25], t.pattern[29]); }},
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

TEST(Playfield, NailsLeaveRoomForTheBall) {
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
}

}  // namespace
