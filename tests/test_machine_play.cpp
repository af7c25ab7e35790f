// The machine without its screen: seating, the lender and tray, launches and
// their courses, ball flight and the markers' effects.
#include <set>

#include "test_machine_fixture.h"

using namespace machine_fixture;

namespace {

using Rows = std::vector<int>;
Rows rowsOf(const MachineFrame& f) {
    Rows out;
    for (int r = 0; r < 3; ++r)
        if (f.trayRow[r]) out.push_back(r + 1);
    return out;
}

}  // namespace

// --- seating -------------------------------------------------------------------

TEST_F(MachineTest, SeatingClearsTheStockKeepsTheTulipsAndDrawsTwoReels) {
    std::vector<int32_t> r = peekRandom(2);
    // Left over from the last machine: the tulips carry over (and a spin
    // under way, which the reel tests follow to its end); the stock does not.
    MachineState& m = game.machine;
    m.tulipOpen[1] = 1;
    m.spinStock = 3;
    seatMachine(0, 0, 2);
    EXPECT_EQ(m.reelPos[0], (r[0] % 10) * 29);
    EXPECT_EQ(m.reelPos[2], (r[1] % 8) * 29);
    EXPECT_EQ(m.spinStock, 0);
    EXPECT_EQ(m.tulipOpen[1], 1);
}

// --- the lender and the tray -----------------------------------------------------------

TEST_F(MachineTest, APurchaseNeedsMoreThanAHundredYen) {
    seatWithSettings(0, 3);
    int boxes = 0;
    onRefusal = [&] { ++boxes; };
    game.player.cash = 100;
    ASSERT_TRUE(pressLender());
    MachineFrame f = tick();
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(game.player.cash, 100);
    EXPECT_TRUE(rowsOf(f).empty());

    game.player.cash = 101;
    ASSERT_TRUE(pressLender());
    // Rows 1; 1 2; 1 2 3; 2 3; 3 on five ticks, the balls at the end of the fifth.
    std::vector<Rows> shown;
    for (int i = 0; i < 5; ++i) {
        f = tick();
        shown.push_back(rowsOf(f));
        EXPECT_EQ(game.player.balls, i == 4 ? 20 : 0) << i;
    }
    EXPECT_EQ(shown, (std::vector<Rows>{{1}, {1, 2}, {1, 2, 3}, {2, 3}, {3}}));
    EXPECT_EQ(game.player.cash, 1);
}

TEST_F(MachineTest, APayoutDuringAPurchaseCreditsBothAndShowsThePayout) {
    seatWithSettings(0, 3);
    game.player.cash = 1000;
    pressLender();
    ticks(2);  // the tray is showing the purchase
    setMarker(50, 3, MARKER_START_POCKET);
    fly(0, 50, 3);
    tick();
    // The 20 bought and the pocket's 6 at once.
    EXPECT_EQ(game.player.balls, 26);
    EXPECT_EQ(game.lenderState, LENDER_PAYOUT);
    // The payout's five ticks credit nothing more.
    ticks(5);
    EXPECT_EQ(game.lenderState, LENDER_IDLE);
    EXPECT_EQ(game.player.balls, 26);
    EXPECT_EQ(game.player.cash, 900);
}

// --- launches ------------------------------------------------------------------------

TEST_F(MachineTest, OneLaunchEveryFifthTickWhileBallsLastAndTheLauncherIsFree) {
    seatWithSettings(0, 3);
    game.dialPower = 100;
    // Without balls the cadence still runs.
    std::vector<int32_t> cadence;
    for (int i = 0; i < 7; ++i) {
        tick();
        cadence.push_back(game.machine.launchTick);
    }
    EXPECT_EQ(cadence, (std::vector<int32_t>{1, 2, 3, 4, 0, 1, 2}));
    EXPECT_EQ(stats.ballsLaunched, 0);

    // With balls the launch is drawn at waypoint 1 at once.
    game.player.balls = 3;
    game.machine.launchTick = 0;
    MachineFrame f = tick();
    ASSERT_EQ(f.ballCount, 1);
    int32_t pattern = game.machine.ballSlots[0].pattern;
    EXPECT_EQ(f.ballX[0], plainX(pattern, 1));
    ticks(5);
    EXPECT_EQ(game.player.balls, 1);
}

TEST_F(MachineTest, TheDialsBands) {
    seatWithSettings(0, 3);  // nail interval 12
    MachineState& m = game.machine;
    // The bands' edges: a fixed course draws nothing and leaves the nail
    // countdown alone; a counted band draws once and counts down, taking its
    // narrow range (base + r % mod + add) while the countdown runs.
    struct Case {
        int32_t dial, base, mod, add;
        bool counted;
    };
    const Case cases[] = {
        {12, 0, 1, 0, false},  {13, 1, 1, 0, false},    {38, 2, 1, 0, false},  {169, 79, 1, 0, false},
        {170, 0, 1, 0, false}, {5000, 0, 1, 0, false},  {39, 5, 9, 1, true},   {52, 15, 8, 2, true},
        {129, 65, 4, 2, true}, {130, 71, 4, 0, false},  {155, 75, 3, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dial);
        int32_t countdown = m.nailCountdown;
        std::vector<int32_t> r = peekRandom(2);
        EXPECT_EQ(launchPattern(c.dial), c.base + r[0] % c.mod + c.add);
        EXPECT_EQ(peekRandom(1)[0], r[c.mod > 1 ? 1 : 0]) << "one draw, or none for a fixed course";
        EXPECT_EQ(m.nailCountdown, countdown - (c.counted ? 1 : 0));
    }
    // When the countdown has run out, whichever counted band takes the
    // launch draws from its full range and reloads it from the interval.
    m.nailCountdown = 0;
    launchPattern(125);
    EXPECT_EQ(m.nailCountdown, 12);
    // The full range of 39..51 is all ten courses 5..14, one more than its
    // narrow range 6..14.
    std::set<int32_t> full;
    for (int i = 0; i < 300; ++i) {
        m.nailCountdown = 0;
        full.insert(launchPattern(45));
    }
    EXPECT_EQ(full.size(), 10u);
    EXPECT_EQ(*full.begin(), 5);
    EXPECT_EQ(*full.rbegin(), 14);
}

// --- flight and markers ------------------------------------------------------------------

TEST_F(MachineTest, APassThroughMarkerCostsNoTick) {
    seatWithSettings(0, 3);
    setMarker(20, 4, MARKER_WING_0);
    setMarker(21, 6, MARKER_RIGHT_POCKET);
    fly(0, 20, 4);
    fly(1, 21, 6);
    MachineFrame f = tick();
    ASSERT_EQ(f.ballCount, 2);
    EXPECT_EQ(stepOf(0), 6);
    EXPECT_EQ(f.ballX[1], plainX(21, 7)) << "the through gate lets the ball run on";
    // The wing: set to 20 and counted down in the same tick.
    EXPECT_EQ(game.machine.wingTicks[0], 19);
}

TEST_F(MachineTest, TwoBallsAtOneOpenTulipInOneTick) {
    seatWithSettings(0, 3);
    game.machine.tulipOpen[0] = 1;
    setMarker(40, 8, MARKER_NEAR_LEFT_TULIP);
    setMarker(41, 3, MARKER_NEAR_LEFT_TULIP);
    fly(2, 40, 8);
    fly(6, 41, 3);
    MachineFrame f = tick();
    EXPECT_EQ(stepOf(2), 0) << "the lower slot enters";
    EXPECT_EQ(game.player.balls, 6);
    EXPECT_EQ(game.machine.tulipOpen[0], 0);
    EXPECT_EQ(game.machine.reelState, 1) << "the entry's spin started at once";
    ASSERT_EQ(f.ballCount, 1) << "the second passes the closed tulip";
    EXPECT_EQ(stepOf(6), 5);
}

TEST_F(MachineTest, EachMarkersEffect) {
    seatWithSettings(0, 3);
    MachineState& m = game.machine;
    struct Case {
        int32_t marker;
        int32_t balls;     // paid
        int entries;
        int32_t stepAfter;  // from step 10
        uint8_t tulipsBefore[2];
        uint8_t tulipsAfter[2];
        int32_t prizeLeft;
        bool tray;
    };
    const Case cases[] = {
        {MARKER_NEAR_LEFT_TULIP, 0, 0, 11, {0, 1}, {0, 1}, 0, false},
        {MARKER_NEAR_RIGHT_TULIP, 6, 1, 0, {0, 1}, {0, 0}, 0, true},
        {MARKER_NEAR_GATE, 0, 0, 11, {0, 0}, {0, 0}, 0, false},
        {MARKER_NEAR_GATE, 10, 0, 0, {0, 0}, {0, 0}, 1, true},
        {MARKER_RETURN, 1, 0, 0, {1, 1}, {1, 1}, 0, false},
        {MARKER_TOP_POCKET, 6, 0, 0, {0, 0}, {1, 0}, 0, true},
        {MARKER_TOP_POCKET, 6, 0, 0, {1, 1}, {0, 1}, 0, true},
        {MARKER_LEFT_TULIP, 6, 1, 0, {1, 0}, {0, 0}, 0, true},
        {MARKER_RIGHT_POCKET, 0, 0, 11, {0, 0}, {1, 1}, 0, false},
        {MARKER_RIGHT_TULIP, 6, 1, 0, {0, 0}, {0, 1}, 0, true},
        {MARKER_START_POCKET, 6, 1, 0, {1, 0}, {1, 0}, 0, true},
        {MARKER_OUT, 0, 0, 0, {1, 1}, {1, 1}, 0, false},
        {988, 0, 0, 10, {0, 0}, {0, 0}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marker);
        game.player.balls = 100;
        game.lenderState = 0;
        game.slotPrizeLeft = c.prizeLeft;
        m.tulipOpen[0] = c.tulipsBefore[0];
        m.tulipOpen[1] = c.tulipsBefore[1];
        m.spinStock = 0;
        BallSlot ball{33, 10};
        applyMarker(ball, c.marker);
        EXPECT_EQ(game.player.balls, 100 + c.balls);
        EXPECT_EQ(m.spinStock, c.entries);
        EXPECT_EQ(ball.step, c.stepAfter);
        EXPECT_EQ(m.tulipOpen[0], c.tulipsAfter[0]);
        EXPECT_EQ(m.tulipOpen[1], c.tulipsAfter[1]);
        EXPECT_EQ(game.lenderState, c.tray ? LENDER_PAYOUT : 0);
    }
    game.slotPrizeLeft = 0;
}

TEST_F(MachineTest, EntriesStockFourSpinsAndLightTheOverflowLamp) {
    seatWithSettings(0, 3);
    MachineState& m = game.machine;
    m.reelState = 2;  // a spin is under way
    m.reelTimer = 20;
    for (int i = 1; i <= 5; ++i) {
        setMarker(60 + i, 2, MARKER_START_POCKET);
        fly(i, 60 + i, 2);
        MachineFrame f = tick();
        EXPECT_EQ(m.spinStock, i < 4 ? i : 4);
        EXPECT_EQ(f.holdLamps, i < 4 ? i : 4);
        EXPECT_EQ(f.overflowLamp, i == 5);
    }
    EXPECT_EQ(game.player.balls, 30);
}

TEST_F(MachineTest, BallsEndAtTheirCoursesEndAndOnDamagedSlotsAndIdleSlotsNeverAct) {
    seatWithSettings(0, 3);
    // Idle slots left on courses whose first value is a marker: they must
    // neither turn the wing nor pay.
    setMarker(12, 0, MARKER_WING_2);
    setMarker(13, 0, MARKER_START_POCKET);
    fly(7, 12, 0);
    fly(8, 13, 0);
    fly(0, 30, 39);
    // A marker that moves a ball on from the last waypoint ends it instead of
    // reading past the course (pattern 99 is the end of the table).
    setMarker(99, 39, MARKER_WING_1);
    fly(1, 99, 39);
    fly(2, 150, 3);  // no such pattern
    fly(3, 30, -4);  // a negative step
    MachineFrame f = tick();
    ASSERT_EQ(f.ballCount, 1);
    EXPECT_EQ(f.ballY[0], plainY(39));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(stepOf(i), 0) << i;
    EXPECT_EQ(game.machine.wingTicks[1], 19) << "the wing still turned";
    EXPECT_EQ(game.machine.wingTicks[2], 0);
    EXPECT_EQ(game.player.balls, 0);
}

TEST_F(MachineTest, LeavingClearsTheTableButNotThePlayersBalls) {
    seatWithSettings(3, 3);
    game.slotPrizeLeft = 2000;
    game.lenderState = 25;
    fly(3, 30, 9);
    game.leaveParlour = 1;
    MachineFrame f = tick();
    EXPECT_TRUE(f.left);
    // The end-to-end script pins the dial, cash and balls after leaving.
    EXPECT_EQ(game.slotPrizeLeft, 0);
    EXPECT_EQ(stepOf(3), 0);
    EXPECT_NE(game.lenderState, 0) << "the tray goes on at the next machine";
}
