// The new-game reset, the four predicates at their boundaries and the menu's
// greying rule.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/headless.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "shell/main_window.h"
#include "state/game_state.h"
#include "test_support.h"

using testing_support::GameDir;

TEST(NewGame, ResetsTheMoneyAndKeepsEverythingElse) {
    GameDir dir;
    game.player = PlayerRecord{42, 5, 6, {{1, 2, 3}, {1, 4, 30}, {1, 7, 30}}, 3, 90000, 77, 1};
    game.dayTicks = 500;
    game.slotPrizeLeft = 3000;
    game.walkerX = 100;
    game.bankState = 22;
    game.soundOff = 1;
    newGame();
    // Day 0, 10,000 yen, no loans, the credit line of 50,000; the
    // introduction choice stays.
    const PlayerRecord expected{0, 10000, 0, {}, 0, 50000, 0, 1};
    EXPECT_EQ(std::memcmp(&game.player, &expected, sizeof expected), 0);
    EXPECT_EQ(game.dayTicks, 0);
    EXPECT_EQ(game.slotPrizeLeft, 0);
    // Untouched: the walker, the places, sound.
    EXPECT_EQ(game.walkerX, 100);
    EXPECT_EQ(game.bankState, 22);
    EXPECT_EQ(game.soundOff, 1);
}

// The game runs from day 1 to day 110 while the player is neither a tycoon
// (more than 300,000,000 yen in cash and deposit) nor bankrupt (three loans
// and nothing left); outdoors, the file items of the menu are grey exactly
// while it runs.
TEST(Predicates, TycoonBankruptRunningAndTheFileItems) {
    struct Case {
        int32_t day, cash, deposit, balls, loanCount;
        bool tycoon, bankrupt, running;
    };
    const Case cases[] = {
        {5, 200000000, 100000000, 0, 0, false, false, true},
        {5, 200000000, 100000001, 0, 0, true, false, false},
        {5, 2000000000, 2000000000, 0, 0, true, false, false},  // the sum does not wrap negative
        {5, INT32_MIN, INT32_MIN, 0, 0, false, false, true},
        {50, 0, 0, 1, 3, false, false, true},
        {50, 0, 0, 0, 3, false, true, false},
        {50, 0, 0, 0, 2, false, false, true},
        {0, 10000, 0, 0, 0, false, false, false},
        {1, 10000, 0, 0, 0, false, false, true},
        {110, 10000, 0, 0, 0, false, false, true},
        {111, 10000, 0, 0, 0, false, false, false},
        {INT32_MAX, 10000, 0, 0, 0, false, false, false},
    };
    GameDir dir;
    game.homeState = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "day " << c.day << " cash " << c.cash << " deposit " << c.deposit);
        game.player = PlayerRecord{c.day, c.cash, c.deposit, {}, c.loanCount, 50000, c.balls, 0};
        EXPECT_EQ(isTycoon(), c.tycoon);
        EXPECT_EQ(isBankrupt(), c.bankrupt);
        EXPECT_EQ(isGameRunning(), c.running);
        menuEnableRule(0);
        const int32_t expected = c.running ? platform::MF_GRAYED : platform::MF_ENABLED;
        // New, Save and Load always share one state.
        for (uint32_t id : {CMD_NEW, CMD_SAVE, CMD_LOAD}) EXPECT_EQ(headless::menuItemState(id), expected) << id;
    }
}

TEST(Predicates, OutdoorsMeansNoPlaceIsBeingVisited) {
    GameDir dir;
    EXPECT_FALSE(isOutdoors());  // the program starts inside the home
    game.homeState = 0;
    game.exchangeState = 5;  // the booth is not a place with a door
    EXPECT_TRUE(isOutdoors());
    for (int32_t* state : {&game.homeState, &game.bankState, &game.parlourState[0], &game.parlourState[1],
                           &game.parlourState[2], &game.inParlour}) {
        *state = 1;
        EXPECT_FALSE(isOutdoors());
        // With no game running, the file items are grey only indoors.
        menuEnableRule(0);
        EXPECT_EQ(headless::menuItemState(CMD_NEW), platform::MF_GRAYED);
        *state = 0;
    }
}

TEST(MenuRule, SoundItemGreyOnlyWithoutDevice) {
    GameDir dir;
    menuEnableRule(1);
    EXPECT_EQ(headless::menuItemState(CMD_SOUND), platform::MF_ENABLED);
    game.noSoundDevice = 1;
    menuEnableRule(1);
    EXPECT_EQ(headless::menuItemState(CMD_SOUND), platform::MF_GRAYED);
    // The other items are never touched.
    for (uint32_t id : {CMD_EXIT, CMD_HELP, CMD_ABOUT, CMD_TROUBLE, CMD_INTRO})
        EXPECT_EQ(headless::menuItemState(id), -1);
}

TEST(Wrapping, MoneyWrapsAsTwosComplement) {
    EXPECT_EQ(wrapAdd(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(wrapSub(INT32_MIN, 1), INT32_MAX);
    EXPECT_EQ(wrapMul(0x40000000, 4), 0);
}
