// The new-game reset, the four predicates at their boundaries and the menu's
// greying rule.
#include <gtest/gtest.h>

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
    game.walkerY = 120;
    game.bankState = 22;
    game.inParlour = 1;
    game.soundOff = 1;
    newGame();
    const PlayerRecord& p = game.player;
    EXPECT_EQ(p.day, 0);
    EXPECT_EQ(game.dayTicks, 0);
    EXPECT_EQ(p.cash, 10000);
    EXPECT_EQ(p.deposit, 0);
    EXPECT_EQ(p.balls, 0);
    for (const Loan& loan : p.loans) {
        EXPECT_EQ(loan.active, 0);
        EXPECT_EQ(loan.amountDue, 0);
        EXPECT_EQ(loan.dueDay, 0);
    }
    EXPECT_EQ(p.loanCount, 0);
    EXPECT_EQ(p.creditLimit, 50000);
    EXPECT_EQ(game.slotPrizeLeft, 0);
    // Untouched: the introduction choice, the walker, the places, sound.
    EXPECT_EQ(p.introDisabled, 1);
    EXPECT_EQ(game.walkerX, 100);
    EXPECT_EQ(game.walkerY, 120);
    EXPECT_EQ(game.bankState, 22);
    EXPECT_EQ(game.inParlour, 1);
    EXPECT_EQ(game.soundOff, 1);
}

TEST(Predicates, TycoonNeedsMoreThanThreeHundredMillion) {
    GameDir dir;
    game.player.day = 5;
    game.player.cash = 200000000;
    game.player.deposit = 100000000;
    EXPECT_FALSE(isTycoon());
    EXPECT_TRUE(isGameRunning());
    game.player.deposit = 100000001;
    EXPECT_TRUE(isTycoon());
    EXPECT_FALSE(isGameRunning());
    // Two large amounts are a fortune: the sum does not wrap negative.
    game.player.cash = 2000000000;
    game.player.deposit = 2000000000;
    EXPECT_TRUE(isTycoon());
    game.player.cash = INT32_MIN;
    game.player.deposit = INT32_MIN;
    EXPECT_FALSE(isTycoon());
}

TEST(Predicates, BankruptcyNeedsThreeLoansAndNothingLeft) {
    GameDir dir;
    game.player.day = 50;
    game.player.loanCount = 3;
    game.player.cash = 0;
    game.player.deposit = 0;
    game.player.balls = 1;
    EXPECT_FALSE(isBankrupt());
    EXPECT_TRUE(isGameRunning());
    game.player.balls = 0;
    EXPECT_TRUE(isBankrupt());
    EXPECT_FALSE(isGameRunning());
    game.player.loanCount = 2;
    EXPECT_FALSE(isBankrupt());
}

TEST(Predicates, TheGameRunsFromDayOneToDayOneHundredTen) {
    GameDir dir;
    game.player.cash = 10000;
    for (int32_t day : {0, 111, INT32_MAX})
        EXPECT_FALSE((game.player.day = day, isGameRunning())) << "day " << day;
    for (int32_t day : {1, 110}) EXPECT_TRUE((game.player.day = day, isGameRunning())) << "day " << day;
}

TEST(Predicates, OutdoorsMeansNoPlaceIsBeingVisited) {
    GameDir dir;
    EXPECT_FALSE(isOutdoors());  // the program starts inside the home
    game.homeState = 0;
    EXPECT_TRUE(isOutdoors());
    game.exchangeState = 5;  // the booth is not a place with a door
    EXPECT_TRUE(isOutdoors());
    for (int32_t* state : {&game.bankState, &game.parlourState[0], &game.parlourState[1], &game.parlourState[2],
                           &game.inParlour}) {
        *state = 1;
        EXPECT_FALSE(isOutdoors());
        *state = 0;
    }
}

namespace {
int32_t fileItems() {
    // New, Save and Load always share one state.
    int32_t state = headless::menuItemState(CMD_NEW);
    EXPECT_EQ(headless::menuItemState(CMD_SAVE), state);
    EXPECT_EQ(headless::menuItemState(CMD_LOAD), state);
    return state;
}
}  // namespace

TEST(MenuRule, FileItemsOnlyOutdoorsWhenNoGameIsRunning) {
    GameDir dir;
    game.homeState = 0;
    game.player.day = 0;
    menuEnableRule(0);
    EXPECT_EQ(fileItems(), platform::MF_ENABLED);
    game.homeState = PLACE_INSIDE;  // inside the home on day 0
    menuEnableRule(0);
    EXPECT_EQ(fileItems(), platform::MF_GRAYED);
    game.homeState = 0;
    game.inParlour = 1;
    menuEnableRule(0);
    EXPECT_EQ(fileItems(), platform::MF_GRAYED);
    game.inParlour = 0;
    game.player.day = 3;  // a game in progress
    menuEnableRule(0);
    EXPECT_EQ(fileItems(), platform::MF_GRAYED);
    game.player.day = 111;  // over: the items come back outdoors
    menuEnableRule(0);
    EXPECT_EQ(fileItems(), platform::MF_ENABLED);
    game.player.day = 50;
    game.player.cash = 300000001;
    menuEnableRule(0);
    EXPECT_EQ(fileItems(), platform::MF_ENABLED);
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
