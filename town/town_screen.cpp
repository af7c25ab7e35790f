#include "town/town_screen.h"

#include <cstdio>
#include <initializer_list>

#include "machine/parlour.h"
#include "machine/tables.h"
#include "media/assets.h"
#include "media/display.h"
#include "resources/resources.h"
#include "state/game_state.h"
#include "town/bank.h"
#include "town/day_cycle.h"
#include "town/info_dialogs.h"
#include "town/town_layout.h"

namespace {

using platform::Rect;
using platform::Surface;
using platform::Window;

constexpr uint32_t STATUS_TEXT_YELLOW = 0x00FFFF;
constexpr uint32_t STATUS_BACK_BLUE = 0xFF0000;

// Visit states of a place with a door: the door opens (1..8), the interior
// grows (9..18), the walker is inside (19..24; 19 on the first tick only),
// the interior shrinks (25..34), the door closes (35..43), and at 44 the
// place waits for the walker to step off its entry area.
constexpr int32_t FIRST_INSIDE = 19;
constexpr int32_t LAST_INSIDE = 24;
constexpr int32_t LEAVING = 25;
constexpr int32_t SPOT_SUMMARY = 21;
constexpr int32_t SPOT_BED = 22;
constexpr int32_t SPOT_SEAT = 21;
constexpr int32_t SPOT_FIRST_COUNTER = 21;
constexpr int32_t ZOOM_STEPS = 10;

bool walkerIn(const WalkerArea& area) { return area.contains(game.walkerX, game.walkerY); }

bool between(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// The backdrop alternates between its two frames every three ticks;
// every seventh tick nothing is copied and the last frame stays underneath.
void drawBackdrop() {
    if (game.backdropTick <= 2) {
        drawBackground(surfBack1);
        ++game.backdropTick;
    } else if (game.backdropTick <= 5) {
        drawBackground(surfBack2);
        ++game.backdropTick;
    } else {
        game.backdropTick = 0;
    }
}

// An event day puts flowers either side of the parlour's door. A
// tycoon no longer sees them; days outside the schedule have none.
void drawFlowers() {
    if (isTycoon()) return;
    for (int32_t n = 0; n < TOWN_PARLOURS; ++n) {
        if (!isEventDay(game.player.day, n)) continue;
        drawTownPicture(flowerLeft(n), surfHana, FLOWER_SOURCE, false);
        drawTownPicture(flowerRight(n), surfHana, FLOWER_SOURCE, false);
    }
}

// --- the places with a door ----------------------------------------------------

// Everything the common door scheme needs to know about one place.
struct Place {
    int32_t place;  // TownPlace
    int32_t& state;
    const DoorLayout& door;
    Surface* base;
    Surface* leafA;
    Surface* leafB;
    const InteriorLayout& room;
    Surface* interior;
    int32_t parlour;  // 0..2, or -1 for the home and the bank
};

Place placeOf(int32_t place) {
    switch (place) {
        case PLACE_HOME:
            return {place, game.homeState, HOME_DOOR, surfDo1_0, surfDo1_1, surfDo1_2, HOME_INTERIOR, surfHome1, -1};
        case PLACE_BANK:
            return {place, game.bankState, BANK_DOOR, surfDo2_0, surfDo2_1, surfDo2_2, BANK_INTERIOR, surfGinko1, -1};
        default: {
            const int32_t n = place - PLACE_PARLOUR_0;
            return {place,     game.parlourState[n], PARLOUR_DOORS[n], surfDo3_0, surfDo3_1,
                    surfDo3_2, PARLOUR_INTERIORS[n], surfTennai1,      n};
        }
    }
}

TownRect zoomRect(const Place& p, int32_t k, bool closing) {
    if (p.place == PLACE_HOME) return homeZoom(k);
    if (p.place == PLACE_BANK) return bankZoom(k);
    return parlourZoom(p.parlour, k, closing);
}

// A parlour opens only while the other two are idle; the home and the bank
// always.
bool mayEnter(const Place& p) {
    if (p.parlour < 0) return true;
    for (int32_t n = 0; n < TOWN_PARLOURS; ++n)
        if (n != p.parlour && game.parlourState[n] != 0) return false;
    return true;
}

void drawBase(const Place& p, bool keyed = true) { drawTownPicture(p.door.baseTarget, p.base, p.door.baseSource, keyed); }
void drawLeafA(const Place& p) { drawTownPicture(p.door.leafATarget, p.leafA, p.door.leafASource, true); }
void drawLeafB(const Place& p) { drawTownPicture(p.door.leafBTarget, p.leafB, p.door.leafBSource, true); }
// The home's and the bank's last zoom step is an empty rectangle: it draws
// nothing.
void drawInterior(const Place& p, const TownRect& target) {
    drawTownPicture(target, p.interior, p.room.source, false);
}

void placeWalker(const WalkerPoint& point) {
    game.walkerX = point.x;
    game.walkerY = point.y;
}

// --- what the spots inside do ------------------------------------------------------

void homeSpots(Window* window) {
    int32_t& state = game.homeState;
    const bool onSummary = walkerIn(HOME_SUMMARY_SPOT);
    const bool onBed = walkerIn(HOME_BED_SPOT);
    const bool onDoor = walkerIn(HOME_LEAVE_AREA);
    if (onSummary && state != SPOT_SUMMARY) {
        state = SPOT_SUMMARY;
        stopWalker();
        openDialog(window, HOME_DIALOG, homeDialogProc);
    }
    if (onBed && state != SPOT_BED) {
        platform::sleepMs(10);
        state = SPOT_BED;
        stopWalker();
        // Ticks go on under the question; the guard keeps closing time from
        // asking at the same time.
        if (game.promptGuard == 0) endOfDayPrompt(window);
    }
    if (onDoor && between(state, PLACE_INSIDE, SPOT_BED)) {
        stopWalker();
        state = LEAVING;
    }
    if (!onSummary && !onBed && !onDoor) state = PLACE_INSIDE;
}

void bankSpots(Window* window) {
    int32_t& state = game.bankState;
    bool onCounter = false;
    for (int32_t i = 0; i < BANK_COUNTERS; ++i) {
        if (!walkerIn(BANK_COUNTER_SPOTS[i])) continue;
        onCounter = true;
        // The dialog serves whichever counter bankState names when it is used.
        if (state != SPOT_FIRST_COUNTER + i) {
            state = SPOT_FIRST_COUNTER + i;
            stopWalker();
            openDialog(window, BANK_DIALOG, bankDialogProc);
        }
    }
    const bool onDoor = walkerIn(BANK_LEAVE_AREA);
    if (onDoor && between(state, PLACE_INSIDE, SPOT_FIRST_COUNTER + BANK_COUNTERS - 1)) {
        stopWalker();
        state = LEAVING;
    }
    if (!onCounter && !onDoor) state = PLACE_INSIDE;
}

int32_t seatUnderWalker(int32_t parlour) {
    for (int32_t s = 0; s < SEATS_PER_PARLOUR; ++s)
        if (walkerIn(PARLOUR_SEATS[parlour][s])) return s;
    return -1;
}

void parlourSpots(int32_t parlour) {
    int32_t& state = game.parlourState[parlour];
    const int32_t seat = seatUnderWalker(parlour);
    if (seat >= 0) {
        // Seated once per step onto a seat: a player who comes back from the
        // machine still standing on it is not seated again.
        if (state == SPOT_SEAT) return;
        game.ticksPaused = 1;
        stopWalker();
        state = SPOT_SEAT;
        seatAtMachine(game.player.day, parlour, seat);
        game.ticksPaused = 0;
        stopWalker();
    } else if (walkerIn(PARLOUR_LEAVE_AREAS[parlour])) {
        // The interior opens with the walker on the door: he must step off
        // (state 20) and back on to leave.
        if (state != FIRST_INSIDE) {
            stopWalker();
            state = LEAVING;
        }
    } else {
        state = PLACE_INSIDE;
    }
}

void spotRules(const Place& p, Window* window) {
    if (p.place == PLACE_HOME)
        homeSpots(window);
    else if (p.place == PLACE_BANK)
        bankSpots(window);
    else
        parlourSpots(p.parlour);
}

// One tick of a place with a door. The stages are tried in order against the
// state as it is at that moment, so a stage that moves the state on lets the
// next stage run in the same tick.
void doorStep(int32_t place, Window* window) {
    const Place p = placeOf(place);
    int32_t& state = p.state;
    if (state == 0) {
        if (walkerIn(p.door.entry) && mayEnter(p)) state = 1;
        return;
    }
    if (between(state, 1, 2)) {
        drawBase(p);
        drawLeafA(p);
        ++state;
    }
    if (between(state, 3, 5)) {
        drawBase(p);
        drawLeafB(p);
        ++state;
    }
    if (between(state, 6, 8)) {
        drawBase(p);
        ++state;
    }
    if (between(state, 9, 18)) {
        drawInterior(p, zoomRect(p, FIRST_INSIDE - state, false));
        ++state;
        if (p.parlour >= 0) placeWalker(PARLOUR_OPENING_WALKER[p.parlour]);
    }
    if (between(state, FIRST_INSIDE, LAST_INSIDE)) {
        drawInterior(p, p.room.full);
        spotRules(p, window);
    }
    if (between(state, LEAVING, LEAVING + ZOOM_STEPS - 1)) {
        ++state;
        drawInterior(p, zoomRect(p, state - LEAVING, true));
    }
    if (between(state, 35, 37)) {
        // The home's doorway is drawn whole while its door starts to close.
        drawBase(p, p.place != PLACE_HOME);
        ++state;
    }
    if (between(state, 38, 40)) {
        drawBase(p);
        drawLeafB(p);
        ++state;
    }
    if (between(state, 41, 43)) {
        drawBase(p);
        drawLeafA(p);
        ++state;
        if (p.parlour >= 0) placeWalker(PARLOUR_CLOSING_WALKER[p.parlour]);
    }
    if (state == 44 && !walkerIn(p.door.entry)) state = 0;
}

// --- walking ---------------------------------------------------------------------

// Moves the walker 4 pixels a tick in each held direction, within the box.
void applyBox(const WalkerArea& box) {
    if (game.moveX == 1 && game.walkerX > box.xMin) game.walkerX -= 4;
    if (game.moveX == 2 && game.walkerX < box.xMax) game.walkerX += 4;
    if (game.moveY == 1 && game.walkerY > box.yMin) game.walkerY -= 4;
    if (game.moveY == 2 && game.walkerY < box.yMax) game.walkerY += 4;
}

// Every place the walker is inside limits him; otherwise (outdoors, or while
// a door opens or closes) the town does.
void moveWalker() {
    bool boxed = false;
    auto boxIfInside = [&boxed](int32_t state, const WalkerArea& box) {
        if (!between(state, FIRST_INSIDE, LAST_INSIDE)) return;
        applyBox(box);
        boxed = true;
    };
    boxIfInside(game.homeState, HOME_BOX);
    boxIfInside(game.bankState, BANK_BOX);
    for (int p = 0; p < TOWN_PARLOURS; ++p) boxIfInside(game.parlourState[p], PARLOUR_BOXES[p]);
    if (!boxed) applyBox(TOWN_BOX);
}

void drawWalker() {
    Surface* picture = game.walkerFrame == 0 ? surfMy1 : surfMy2;
    game.walkerFrame = game.walkerFrame == 0 ? 1 : 0;
    const TownRect target = {game.walkerX, game.walkerY, game.walkerX + WALKER_SIZE, game.walkerY + WALKER_SIZE};
    drawTownPicture(target, picture, TownRect{0, 0, WALKER_SIZE, WALKER_SIZE}, true);
}

void drawStatus() {
    if (!beginFrameText(STATUS_TEXT_YELLOW, STATUS_BACK_BLUE)) return;
    char line[64];
    std::snprintf(line, sizeof line, "持ち金:%d円", game.player.cash);
    drawFrameText(0, STATUS_LINE_Y[0], line);
    std::snprintf(line, sizeof line, "持ち玉:%d発", game.player.balls);
    drawFrameText(0, STATUS_LINE_Y[1], line);
    std::snprintf(line, sizeof line, "日数:%d日め", game.player.day);
    drawFrameText(0, STATUS_LINE_Y[2], line);
    endFrameText();
}

// The rules of the game, once a run, unless the player has switched them off.
void introduce(Window* window) {
    if (game.player.introDisabled != 0 || game.introShown != 0) return;
    game.introShown = 1;
    openDialog(window, INTRO_DIALOG, introDialogProc);
}

}  // namespace

void drawTownPicture(const TownRect& target, Surface* picture, const TownRect& source, bool keyed) {
    blitToFrame(Rect{target.left, target.top, target.right, target.bottom}, picture,
                Rect{source.left, source.top, source.right, source.bottom}, keyed);
}

void stopWalker() {
    game.moveX = 0;
    game.moveY = 0;
}

void openDialog(Window* owner, const platform::DialogTemplate& dialogTemplate, platform::DialogProc proc) {
    game.openDialog = platform::createDialog(dialogTemplate, owner, proc);
    platform::showDialog(game.openDialog);
}

void prepareZoomSteps() {
    for (int32_t place = PLACE_HOME; place < DOOR_PLACES; ++place) {
        const Place p = placeOf(place);
        for (int32_t k = 1; k <= ZOOM_STEPS; ++k) {
            for (bool closing : {false, true}) {
                const TownRect r = zoomRect(p, k, closing);
                prepareStretch(p.interior, Rect{p.room.source.left, p.room.source.top, p.room.source.right,
                                                p.room.source.bottom},
                               r.right - r.left, r.bottom - r.top);
            }
        }
    }
}

void townTick(Window* window) {
    platform::beginPaint(window);
    if (frameSurface) {
        drawBackdrop();
        endPicturesStep();
        drawFlowers();
        for (int32_t place = PLACE_HOME; place < DOOR_PLACES; ++place) doorStep(place, window);
        exchangeStep(window);
        moveWalker();
        drawWalker();
        drawStatus();
        introduce(window);
        presentFrame(window);
    }
    platform::endPaint(window);
}
