// The slot reels and the bottom gate: spin starts and the forcing countdown,
// the reels' motion, stop rules and wrap, the prizes, and the gate.
#include "test_machine_fixture.h"

using namespace machine_fixture;

namespace {

void setReels(int32_t a, int32_t b, int32_t c) {
    game.machine.reelPos[0] = a;
    game.machine.reelPos[1] = b;
    game.machine.reelPos[2] = c;
}

}  // namespace

TEST_F(MachineTest, EachPrizeRule) {
    struct Case {
        int32_t a, b, c, prize;
    };
    // 203 is the seven: three sevens, any three alike, two sevens, one seven, none.
    for (Case k : {Case{203, 203, 203, 6000}, Case{261, 261, 261, 3000}, Case{58, 203, 203, 30},
                   Case{87, 58, 203, 10}, Case{58, 87, 116, 0}}) {
        SCOPED_TRACE(testing::Message() << k.a << " " << k.b << " " << k.c);
        game.slotPrizeLeft = 0;
        game.machine.reelState = 6;
        setReels(k.a, k.b, k.c);
        evaluatePrize();
        EXPECT_EQ(game.slotPrizeLeft, k.prize);
    }
}

TEST_F(MachineTest, AnOrdinarySpinRunsItsPhasesThenRests) {
    seatWithSettings(2, 3);
    MachineState& m = game.machine;
    m.spinStock = 1;
    std::vector<int32_t> states;
    for (int i = 0; i < 1000 && (i == 0 || m.reelState != 0); ++i) {
        tick();
        states.push_back(m.reelState);
    }
    ASSERT_EQ(m.reelState, 0);
    auto ticksIn = [&](int32_t s) { return std::count(states.begin(), states.end(), s); };
    EXPECT_EQ(ticksIn(1), 19);
    EXPECT_EQ(ticksIn(2), 20);
    EXPECT_EQ(ticksIn(3), 20);
    // The prize tick shows 8; 9, 10, 11 and rest follow.
    std::vector<int32_t> tail(states.end() - 5, states.end());
    EXPECT_EQ(tail, (std::vector<int32_t>{8, 9, 10, 11, 0}));
}

TEST_F(MachineTest, SlotSettingSixForcesEverySixteenthSpinWithNearMissesOnTheWay) {
    seatWithSettings(6, 3);
    MachineState& m = game.machine;
    std::vector<int32_t> modes, countdowns;
    for (int spin = 1; spin <= 17; ++spin) {
        m.spinStock = 1;
        m.reelState = 0;
        startSpin(&stats);
        ASSERT_EQ(m.reelState, 1);
        modes.push_back(m.reelMode);
        countdowns.push_back(m.reelCountdown);
    }
    EXPECT_EQ(countdowns, (std::vector<int32_t>{14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 15, 14}));
    EXPECT_EQ(modes, (std::vector<int32_t>{0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0, 0, 4, 0, 3, 0}));
    auto spinWith = [&](int32_t setting, int32_t countdown, int32_t stock) {
        seatWithSettings(setting, 3);
        m.reelCountdown = countdown;
        m.spinStock = stock;
        m.reelState = 0;
        startSpin();
    };
    // Setting 3 reloads from 250, so its countdown meets the last near miss, 160.
    spinWith(3, 161, 1);
    EXPECT_EQ(m.reelMode, 4);
    // Settings 0 and 1 leave the mode alone.
    spinWith(1, 0, 2);
    EXPECT_EQ(m.reelMode, 1);
    EXPECT_EQ(m.reelCountdown, 0);
}

TEST_F(MachineTest, AForcedSpinPlacesTheReelsWhenReelZeroMeetsTheDrawnSymbol) {
    seatWithSettings(6, 3);
    MachineState& m = game.machine;
    // Reel 0 exactly on the drawn symbol is inside the window (the window's
    // far side and where reels 1 and 2 are placed only decide how long they
    // roll; that they stop in line is pinned by the forced spins run to rest below).
    for (int32_t d = 0; d < 10; ++d) {
        SCOPED_TRACE(d);
        while (peekRandom(1)[0] % 10 != d) NextRandom();
        m.reelState = 1;
        m.reelMode = d % 2 == 0 ? 3 : 4;
        setReels(29 * d, 0, 0);
        reelStep();
        EXPECT_EQ(m.reelState, 2);
        EXPECT_EQ(m.reelPos[0], 29 * d + 7);
    }
}

TEST_F(MachineTest, ForcedWinsAlwaysLineUpAndNearMissesNever) {
    seatWithSettings(6, 3);
    MachineState& m = game.machine;
    for (int run = 0; run < 40; ++run) {
        SCOPED_TRACE(run);
        discardRandom(run * 13 + 1);
        bool win = run % 2 == 0;
        m.reelMode = win ? 3 : 4;
        m.reelState = 1;
        m.reelTimer = 20;
        setReels((run * 7) % 290, (run * 31) % 290, (run * 53) % 290);
        game.slotPrizeLeft = 0;
        for (int i = 0; i < 2000 && m.reelState != 0; ++i) reelStep();
        ASSERT_EQ(m.reelState, 0);
        int32_t a = m.reelPos[0], b = m.reelPos[1], c = m.reelPos[2];
        EXPECT_EQ(a % 29, 0);
        EXPECT_EQ(b, a) << "reel 1 stops on reel 0's symbol";
        // A near miss stops reel 2 one symbol on, wrapping from the last to 0.
        EXPECT_EQ(c, win ? b : (b < 261 ? b + 29 : 0));
        if (win) {
            EXPECT_EQ(game.slotPrizeLeft, a == 203 ? 6000 : 3000);
        }
    }
}

TEST_F(MachineTest, NearMissWithReelOneAt261StopsReelTwoOnlyAtZero) {
    seatWithSettings(6, 3);
    MachineState& m = game.machine;
    m.reelMode = 4;
    m.reelState = 6;
    setReels(261, 261, 289);
    reelStep();
    EXPECT_EQ(m.reelState, 6);
    EXPECT_EQ(m.reelPos[2], 0);
    reelStep();
    EXPECT_EQ(m.reelState, 8);
    EXPECT_EQ(game.slotPrizeLeft, 0);
}

TEST_F(MachineTest, AStockedSpinWaitsForTheGateToClose) {
    seatWithSettings(0, 3);
    MachineState& m = game.machine;
    m.spinStock = 1;
    game.slotPrizeLeft = 3;
    std::vector<bool> lamps;
    std::vector<int32_t> states;
    for (int i = 0; i < 4; ++i) {
        lamps.push_back(tick().gateLampsLit);
        states.push_back(m.reelState);
    }
    EXPECT_EQ(lamps, (std::vector<bool>{true, false, true, false})) << "lit on the odd counts";
    // The gate step of the third tick closes the gate; the spin starts later
    // in that same tick.
    EXPECT_EQ(states, (std::vector<int32_t>{0, 0, 1, 1}));
}
