// The town screen: the backdrop cycle, the five doors and their interiors,
// the spots inside, who may enter where, and the introduction.
#include <gtest/gtest.h>

#include "machine/tables.h"
#include "resources/resources.h"
#include "town/town_layout.h"
#include "town_fixture.h"

using namespace townfixture;

namespace {

class TownScreen : public TownTest {};

int32_t& stateOf(int32_t place) {
    if (place == PLACE_HOME) return game.homeState;
    if (place == PLACE_BANK) return game.bankState;
    return game.parlourState[place - PLACE_PARLOUR_0];
}

struct PlaceArt {
    const DoorLayout& door;
    const InteriorLayout& room;
    WalkerArea leave;
};

PlaceArt artOf(int32_t place) {
    if (place == PLACE_HOME) return {HOME_DOOR, HOME_INTERIOR, HOME_LEAVE_AREA};
    if (place == PLACE_BANK) return {BANK_DOOR, BANK_INTERIOR, BANK_LEAVE_AREA};
    const int32_t n = place - PLACE_PARLOUR_0;
    return {PARLOUR_DOORS[n], PARLOUR_INTERIORS[n], PARLOUR_LEAVE_AREAS[n]};
}

int centreX(const TownRect& r) { return (r.left + r.right) / 2; }

}  // namespace

TEST_F(TownScreen, EverySeventhTickLeavesThePreviousPictureUnderneath) {
    walkTo(300, 300);
    game.backdropTick = 0;
    headless::tick(6);
    EXPECT_EQ(shown(310, 310), colourOf("My2.bmp"));  // the sixth walker picture
    walkTo(400, 300);
    headless::tick();
    // No backdrop this tick: the walker of the tick before is still there.
    EXPECT_EQ(shown(310, 310), colourOf("My2.bmp"));
}

// Every place: the door opens, the interior grows out of it, the walker goes
// in, leaves through the door, the interior shrinks and the door closes.
TEST_F(TownScreen, EveryPlaceOpensAndClosesStageByStage) {
    for (int32_t place = PLACE_HOME; place < DOOR_PLACES; ++place) {
        SCOPED_TRACE(place);
        const PlaceArt art = artOf(place);
        const int32_t parlour = place - PLACE_PARLOUR_0;  // negative for home and bank
        int32_t& state = stateOf(place);
        walkTo(art.door.entry.xMin, art.door.entry.yMin);
        headless::tick();
        ASSERT_EQ(state, 1);
        walkTo(560, 20);
        // Inside after step 18 (the screenshots of the end-to-end tests show
        // the whole interior). A parlour's walker still stands on its door:
        // no leaving from 19.
        headless::tick(15);
        EXPECT_EQ(state, parlour < 0 ? 20 : 19);
        const TownRect full = art.room.full;
        if (parlour >= 0) {
            walkTo(centreX(full), full.bottom - 48);  // free floor
            headless::tick();
            EXPECT_EQ(state, 20);
        }

        walkTo(art.leave.xMin, art.leave.yMin);
        game.moveX = 2;
        headless::tick();
        EXPECT_EQ(state, 26);  // left, and the first shrinking step drawn
        walkTo(560, 20);
        headless::tick(15);
        if (parlour < 0) {
            EXPECT_EQ(state, 0);
        } else {
            // The closing door puts the walker on the entry area: the place
            // waits until he steps off.
            headless::tick();
            EXPECT_EQ(state, 44);
            walkTo(560, 20);
            headless::tick();
            EXPECT_EQ(state, 0);
        }
    }
}

TEST_F(TownScreen, TheWalkerStopsAtTheTownsEdges) {
    struct Case {
        int32_t x, y, moveX, moveY, endX, endY;
    };
    // On an edge the step that would cross it is not taken; one step inside, it is.
    for (Case c : {Case{0, 20, 1, 0, 0, 20}, Case{608, 20, 2, 0, 608, 20}, Case{560, 0, 0, 1, 560, 0},
                   Case{4, 20, 1, 0, 0, 20}}) {
        walkTo(c.x, c.y);
        game.moveX = c.moveX;
        game.moveY = c.moveY;
        headless::tick();
        EXPECT_EQ(game.walkerX, c.endX) << c.x << "," << c.y;
        EXPECT_EQ(game.walkerY, c.endY) << c.x << "," << c.y;
    }
}

TEST_F(TownScreen, TheHomeSummaryOpensOncePerStepOntoItsSpot) {
    game.homeState = 20;
    walkTo(HOME_SUMMARY_SPOT.xMin, HOME_SUMMARY_SPOT.yMin);
    game.moveY = 1;
    headless::tick(6);
    EXPECT_EQ(dialogsMade(DIALOG_HOME), 1);
    walkTo(150, 300);
    headless::tick();
    walkTo(HOME_SUMMARY_SPOT.xMax, HOME_SUMMARY_SPOT.yMax);
    headless::tick();
    EXPECT_EQ(dialogsMade(DIALOG_HOME), 2);
}

TEST_F(TownScreen, EachBankCounterOpensTheDialogOnceAndTheDoorLeavesFromAnyCounter) {
    game.bankState = 20;
    for (int32_t i = 0; i < BANK_COUNTERS; ++i) {
        walkTo(BANK_COUNTER_SPOTS[i].xMin, BANK_COUNTER_SPOTS[i].yMax);
        game.moveX = 1;
        headless::tick(3);
        EXPECT_EQ(game.bankState, 21 + i);
        EXPECT_EQ(game.moveX, 0);
        EXPECT_EQ(dialogsMade(DIALOG_BANK), i + 1);
    }
    walkTo(360, 330);  // the floor, and back onto the same counter
    headless::tick();
    walkTo(BANK_COUNTER_SPOTS[3].xMin, BANK_COUNTER_SPOTS[3].yMin);
    headless::tick();
    EXPECT_EQ(dialogsMade(DIALOG_BANK), 5);
    // From the repayment counter straight onto the door.
    walkTo(BANK_LEAVE_AREA.xMax, BANK_LEAVE_AREA.yMax);
    headless::tick();
    EXPECT_EQ(game.bankState, 26);
}

TEST_F(TownScreen, ASeatSeatsThePlayerOnceUntilHeStepsOff) {
    fillDaySchedule();
    game.player.day = 6;
    game.parlourState[1] = 20;
    const WalkerArea seat = PARLOUR_SEATS[1][3];
    walkTo(seat.xMax, seat.yMin);
    game.moveX = 2;
    headless::tick();
    EXPECT_EQ(game.inParlour, 1);
    int32_t slot = 0, nail = 0;
    chooseMachineSettings(6, 1, 3, slot, nail);
    EXPECT_EQ(game.machine.slotSetting, slot);
    EXPECT_EQ(game.machine.nailSetting, nail);

    // Back from the machine, still on the seat: not seated again.
    game.inParlour = 0;
    headless::tick(2);
    EXPECT_EQ(game.inParlour, 0);
    walkTo(240, 150);
    headless::tick();
    walkTo(seat.xMin, seat.yMax);
    headless::tick();
    EXPECT_EQ(game.inParlour, 1);
}

TEST_F(TownScreen, AParlourOpensOnlyWhileTheOtherTwoAreIdle) {
    const WalkerArea entry1 = PARLOUR_DOORS[1].entry;
    for (int32_t busy : {0, 2}) {
        game.parlourState[busy] = 30;
        walkTo(entry1.xMin, entry1.yMax);
        headless::tick();
        EXPECT_EQ(game.parlourState[1], 0) << busy;
        game.parlourState[busy] = 0;
    }
    headless::tick();
    EXPECT_EQ(game.parlourState[1], 1);
}

TEST_F(TownScreen, TheIntroductionOpensOnceARunUnlessSwitchedOff) {
    headless::tick(3);
    EXPECT_EQ(dialogsMade(DIALOG_INTRO), 0);
    game.player.introDisabled = 0;
    headless::tick(3);
    EXPECT_EQ(dialogsMade(DIALOG_INTRO), 1);
    headless::click(headless::findDialog(DIALOG_INTRO), 41);  // OK: the town ticks again
    headless::tick(3);
    EXPECT_EQ(dialogsMade(DIALOG_INTRO), 1);
}
