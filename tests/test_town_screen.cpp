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
    const char *base, *leafA, *interior;
    WalkerArea leave;
};

PlaceArt artOf(int32_t place) {
    if (place == PLACE_HOME) return {HOME_DOOR, HOME_INTERIOR, "do1_0.bmp", "do1_1.bmp", "home1.bmp", HOME_LEAVE_AREA};
    if (place == PLACE_BANK) return {BANK_DOOR, BANK_INTERIOR, "do2_0.bmp", "do2_1.bmp", "ginko1.bmp", BANK_LEAVE_AREA};
    const int32_t n = place - PLACE_PARLOUR_0;
    return {PARLOUR_DOORS[n], PARLOUR_INTERIORS[n], "do3_0.bmp", "do3_1.bmp", "tennai1.bmp", PARLOUR_LEAVE_AREAS[n]};
}

TownRect zoomOf(int32_t place, int32_t k, bool closing) {
    if (place == PLACE_HOME) return homeZoom(k);
    if (place == PLACE_BANK) return bankZoom(k);
    return parlourZoom(place - PLACE_PARLOUR_0, k, closing);
}

// The centre of a rectangle, one row below its (white) top row.
int centreX(const TownRect& r) { return (r.left + r.right) / 2; }
int centreY(const TownRect& r) { return (r.top + 1 + r.bottom) / 2; }

}  // namespace

TEST_F(TownScreen, EverySeventhTickLeavesThePreviousPictureUnderneath) {
    const uint32_t back1 = colourOf("back1.bmp"), back2 = colourOf("back2.bmp");
    walkTo(300, 300);
    game.backdropTick = 0;
    headless::tick(3);
    EXPECT_EQ(shown(600, 300), back1);
    headless::tick(3);
    EXPECT_EQ(shown(600, 300), back2);
    EXPECT_EQ(shown(310, 310), colourOf("My2.bmp"));  // the sixth walker picture
    walkTo(400, 300);
    headless::tick();
    EXPECT_EQ(game.backdropTick, 0);
    // No backdrop this tick: the walker of the tick before is still there.
    EXPECT_EQ(shown(310, 310), colourOf("My2.bmp"));
    EXPECT_EQ(shown(410, 310), colourOf("My1.bmp"));
    headless::tick();
    EXPECT_EQ(shown(310, 310), back1);
}

// Every place: the door opens, the interior grows out of it, the walker goes
// in, leaves through the door, the interior shrinks and the door closes; each
// picture lands where and when the place's tables say.
TEST_F(TownScreen, EveryPlaceOpensAndClosesStageByStage) {
    for (int32_t place = PLACE_HOME; place < DOOR_PLACES; ++place) {
        SCOPED_TRACE(place);
        const PlaceArt art = artOf(place);
        const int32_t parlour = place - PLACE_PARLOUR_0;  // negative for home and bank
        const uint32_t interior = colourOf(art.interior);
        int32_t& state = stateOf(place);
        walkTo(art.door.entry.xMin, art.door.entry.yMin);
        headless::tick();
        ASSERT_EQ(state, 1);
        walkTo(560, 20);
        headless::tick();
        EXPECT_EQ(shown(centreX(art.door.leafATarget), centreY(art.door.leafATarget)), colourOf(art.leafA));
        headless::tick(3);
        EXPECT_EQ(shown(centreX(art.door.baseTarget), centreY(art.door.baseTarget)), colourOf(art.base));
        headless::tick(2);
        // Zoom step 10: an empty rectangle for the home and the bank (nothing
        // is drawn), a small one in front of a parlour's door.
        EXPECT_EQ(state, 10);
        const TownRect k10 = zoomOf(place, 10, false), k9 = zoomOf(place, 9, false);
        if (parlour < 0) {
            EXPECT_NE(shown(k9.left + 1, k9.bottom - 1), interior);
        } else {
            EXPECT_EQ(shown(centreX(k10), centreY(k10)), interior);
        }
        headless::tick();
        EXPECT_EQ(shown(k9.left + 1, k9.top + 1), interior);
        EXPECT_NE(shown(k9.left - 1, k9.top + 1), interior);
        if (parlour >= 0) {
            EXPECT_EQ(game.walkerX, PARLOUR_OPENING_WALKER[parlour].x);
            EXPECT_EQ(game.walkerY, PARLOUR_OPENING_WALKER[parlour].y);
        }
        // Inside after step 18 (the screenshots of the end-to-end tests show
        // the whole interior). A parlour's walker still stands on its door:
        // no leaving from 19.
        headless::tick(8);
        EXPECT_EQ(state, parlour < 0 ? 20 : 19);
        const TownRect full = art.room.full;
        if (parlour >= 0) {
            headless::tick(3);
            EXPECT_EQ(state, 19);
            walkTo(centreX(full), full.bottom - 48);  // free floor
            headless::tick();
            EXPECT_EQ(state, 20);
        }

        walkTo(art.leave.xMin, art.leave.yMin);
        game.moveX = 2;
        headless::tick();
        EXPECT_EQ(state, 26);  // left, and the first shrinking step drawn
        EXPECT_EQ(game.moveX, 0);
        EXPECT_EQ(game.walkerX, art.leave.xMin);
        walkTo(560, 20);
        headless::tick(8);
        EXPECT_EQ(state, 34);
        const TownRect c9 = zoomOf(place, 9, true);
        EXPECT_EQ(shown(c9.left + 1, c9.top + 1), interior);
        EXPECT_NE(shown(c9.left - 1, c9.top + 1), interior);
        headless::tick(5);
        EXPECT_EQ(state, 42);
        // (Left of the walker that a closing parlour puts on its entry area.)
        EXPECT_EQ(shown(art.door.leafATarget.left + 2, centreY(art.door.leafATarget)), colourOf(art.leafA));
        headless::tick(2);
        if (parlour < 0) {
            EXPECT_EQ(state, 0);
        } else {
            // The closing door puts the walker on the entry area: the place
            // waits until he steps off.
            EXPECT_EQ(game.walkerX, PARLOUR_CLOSING_WALKER[parlour].x);
            EXPECT_EQ(game.walkerY, PARLOUR_CLOSING_WALKER[parlour].y);
            EXPECT_EQ(state, 44);
            headless::tick();
            EXPECT_EQ(state, 44);
            walkTo(560, 20);
            headless::tick();
            EXPECT_EQ(state, 0);
        }
    }
}

TEST_F(TownScreen, TheHomeDrawsItsDoorwayWithoutColourKeyWhileTheDoorStartsToClose) {
    const uint32_t base = colourOf("do1_0.bmp");
    const int topX = 250, topY = HOME_DOOR.baseTarget.top;  // the base's white top row
    game.homeState = 33;
    headless::tick();
    EXPECT_EQ(shown(262, 395), colourOf("home1.bmp"));  // zoom step 9
    EXPECT_NE(shown(topX, topY), WHITE);
    game.backdropTick = 0;
    headless::tick();
    EXPECT_EQ(game.homeState, 36);
    EXPECT_EQ(shown(topX, topY), WHITE);
    EXPECT_EQ(shown(topX, topY + 10), base);
    // Zoom step 10 drew nothing where step 9 had drawn.
    EXPECT_EQ(shown(262, 395), colourOf("back1.bmp"));
    headless::tick(2);
    EXPECT_EQ(game.homeState, 39);
    game.backdropTick = 0;
    headless::tick();
    EXPECT_EQ(shown(topX, topY), colourOf("back1.bmp"));  // keyed again
    EXPECT_EQ(shown(topX, topY + 10), base);

    // The bank's doorway keeps its key in the same stages.
    game.bankState = 35;
    game.backdropTick = 0;
    headless::tick();
    EXPECT_EQ(shown(centreX(BANK_DOOR.baseTarget), BANK_DOOR.baseTarget.top), colourOf("back1.bmp"));
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

TEST_F(TownScreen, TheLastParlourOpensInFrontOfItsDoorAndClosesToTheLeft) {
    const uint32_t interior = colourOf("tennai1.bmp");
    game.parlourState[2] = 10;
    headless::tick();
    EXPECT_EQ(shown(520, 160), interior);
    EXPECT_NE(shown(430, 160), interior);
    game.parlourState[2] = 33;
    headless::tick();
    EXPECT_NE(shown(520, 160), interior);
    EXPECT_EQ(shown(430, 160), interior);
}

TEST_F(TownScreen, TheHomeSummaryOpensOncePerStepOntoItsSpot) {
    game.homeState = 20;
    walkTo(HOME_SUMMARY_SPOT.xMin, HOME_SUMMARY_SPOT.yMin);
    game.moveY = 1;
    headless::tick();
    EXPECT_EQ(game.homeState, 21);
    EXPECT_EQ(game.moveY, 0);
    EXPECT_EQ(game.openDialog, headless::findDialog(DIALOG_HOME));
    headless::tick(5);
    EXPECT_EQ(dialogsMade(DIALOG_HOME), 1);
    walkTo(150, 300);
    headless::tick();
    EXPECT_EQ(game.homeState, 20);
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
    // From the repayment counter straight onto the door.
    walkTo(BANK_LEAVE_AREA.xMax, BANK_LEAVE_AREA.yMax);
    headless::tick();
    EXPECT_EQ(game.bankState, 26);
    // On the first tick inside nobody leaves, door or not.
    game.bankState = 19;
    headless::tick();
    EXPECT_EQ(game.bankState, 19);
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
    EXPECT_EQ(game.parlourState[1], 21);
    EXPECT_EQ(game.moveX, 0);
    int32_t slot = 0, nail = 0;
    chooseMachineSettings(6, 1, 3, slot, nail);
    EXPECT_EQ(game.machine.slotSetting, slot);
    EXPECT_EQ(game.machine.nailSetting, nail);

    // Back from the machine, still on the seat: not seated again.
    game.inParlour = 0;
    game.machine.slotSetting = 99;
    headless::tick(2);
    EXPECT_EQ(game.inParlour, 0);
    EXPECT_EQ(game.machine.slotSetting, 99);
    walkTo(240, 150);
    headless::tick();
    EXPECT_EQ(game.parlourState[1], 20);
    walkTo(seat.xMin, seat.yMax);
    headless::tick();
    EXPECT_EQ(game.inParlour, 1);
    EXPECT_EQ(game.machine.slotSetting, slot);
}

TEST_F(TownScreen, AParlourOpensOnlyWhileTheOtherTwoAreIdleTheHomeAndBankAlways) {
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

    game.parlourState[1] = 0;
    game.parlourState[0] = 30;
    walkTo(BANK_DOOR.entry.xMax, BANK_DOOR.entry.yMax);
    headless::tick();
    EXPECT_EQ(game.bankState, 1);
    walkTo(HOME_DOOR.entry.xMax, HOME_DOOR.entry.yMin);
    headless::tick();
    EXPECT_EQ(game.homeState, 1);
}

TEST_F(TownScreen, TheIntroductionOpensOnceARunUnlessSwitchedOff) {
    headless::tick(3);
    EXPECT_EQ(dialogsMade(DIALOG_INTRO), 0);
    game.player.introDisabled = 0;
    headless::tick(3);
    EXPECT_EQ(dialogsMade(DIALOG_INTRO), 1);
    EXPECT_EQ(game.introShown, 1);
    EXPECT_EQ(game.openDialog, headless::findDialog(DIALOG_INTRO));
}
