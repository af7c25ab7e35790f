#include "soak.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "machine/machine_logic.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "runner.h"
#include "shell/main_window.h"
#include "state/game_state.h"
#include "state_dump.h"
#include "town/town_layout.h"

namespace fs = std::filesystem;
using namespace platform;

// --- the rules ---------------------------------------------------------------------

namespace {

bool within(int64_t value, int64_t low, int64_t high) { return value >= low && value <= high; }

std::string named(const char* what, int64_t value) { return std::string(what) + " is " + std::to_string(value); }

}  // namespace

std::string brokenStateRule() {
    const GameState& g = game;
    if (!within(g.homeState, 0, 44)) return named("homeState", g.homeState);
    if (!within(g.bankState, 0, 44)) return named("bankState", g.bankState);
    for (int p = 0; p < TOWN_PARLOURS; ++p)
        if (!within(g.parlourState[p], 0, 44)) return named("parlourState", g.parlourState[p]);
    if (!within(g.exchangeState, 0, 10)) return named("exchangeState", g.exchangeState);
    if (!within(g.lenderState, 0, LENDER_PAYOUT + 9)) return named("lenderState", g.lenderState);
    if (!within(g.dialPower, 0, 170)) return named("dialPower", g.dialPower);
    if (!within(g.inParlour, 0, 1)) return named("inParlour", g.inParlour);
    for (const BallSlot& slot : g.machine.ballSlots) {
        if (!within(slot.step, 0, STEPS - 1)) return named("a ball slot's step", slot.step);
        if (!within(slot.pattern, 0, PATTERNS - 1)) return named("a ball slot's course", slot.pattern);
    }
    if (!within(g.walkerX, TOWN_BOX.xMin, TOWN_BOX.xMax)) return named("walkerX", g.walkerX);
    if (!within(g.walkerY, TOWN_BOX.yMin, TOWN_BOX.yMax)) return named("walkerY", g.walkerY);
    return "";
}

std::string brokenPlayerRule() {
    const PlayerRecord& p = game.player;
    if (p.cash < 0) return named("cash", p.cash);
    if (p.deposit < 0) return named("deposit", p.deposit);
    if (p.balls < 0) return named("balls", p.balls);
    if (!within(p.loanCount, 0, 3)) return named("loanCount", p.loanCount);
    for (int i = 0; i < 3; ++i) {
        const Loan& loan = p.loans[i];
        if (i < p.loanCount && (loan.active != 1 || loan.amountDue < 0))
            return "loan slot " + std::to_string(i) + " of " + std::to_string(p.loanCount) + " is not a loan";
        if (i >= p.loanCount && (loan.active != 0 || loan.amountDue != 0 || loan.dueDay != 0))
            return "loan slot " + std::to_string(i) + " beyond loanCount " + std::to_string(p.loanCount) + " is not empty";
    }
    return "";
}

// --- the player ----------------------------------------------------------------------

namespace {

// splitmix64: the player's own dice, apart from the game's random source.
struct Dice {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
};

enum class Errand { Home, Bank, Booth, Parlour, Menu, Idle };

constexpr int32_t INSIDE_FIRST = 19, INSIDE_LAST = 24;
constexpr int64_t ERRAND_PATIENCE = 6000;  // ticks before an errand is given up
constexpr int64_t LOG_LINES_KEPT = 20000;

struct Player {
    SoakReport* report = nullptr;
    int64_t budget = 0;
    bool stop = false;

    Errand errand = Errand::Idle;
    int errandPlace = -1;     // TownPlace of the errand
    int errandTarget = -1;    // the counter, seat or spot wanted inside
    int errandSteps = 0;      // things still to do inside before leaving
    int64_t errandTicks = 0;
    bool useClicks = false;   // this walk jumps to the pointer instead of walking

    bool haveTarget = false;  // where the walk goes
    int32_t targetX = 0, targetY = 0;
    bool approach = false;    // a seat is walked to from straight below it

    int64_t waitTicks = 0;
    bool fed = false;  // the game asked for input: start-up went through

    // At the machine.
    bool seated = false;
    int buysLeft = 0;
    int64_t playLeft = 0;

    // What the last tick left, to notice changes.
    int32_t lastPlaceState[DOOR_PLACES] = {};
    int32_t lastCash = 0;
    int32_t lastInParlour = 0;
};
Player player;
Dice dice{1};

int32_t& placeState(int place) {
    switch (place) {
        case PLACE_HOME: return game.homeState;
        case PLACE_BANK: return game.bankState;
        default: return game.parlourState[place - PLACE_PARLOUR_0];
    }
}

const WalkerArea& entryOf(int place) {
    switch (place) {
        case PLACE_HOME: return HOME_DOOR.entry;
        case PLACE_BANK: return BANK_DOOR.entry;
        default: return PARLOUR_DOORS[place - PLACE_PARLOUR_0].entry;
    }
}

const WalkerArea& boxOf(int place) {
    switch (place) {
        case PLACE_HOME: return HOME_BOX;
        case PLACE_BANK: return BANK_BOX;
        default: return PARLOUR_BOXES[place - PLACE_PARLOUR_0];
    }
}

const WalkerArea& leaveAreaOf(int place) {
    switch (place) {
        case PLACE_HOME: return HOME_LEAVE_AREA;
        case PLACE_BANK: return BANK_LEAVE_AREA;
        default: return PARLOUR_LEAVE_AREAS[place - PLACE_PARLOUR_0];
    }
}

// --- input ---------------------------------------------------------------------------

void key(uint32_t code, bool down) { headless::post(down ? MSG_KEYDOWN : MSG_KEYUP, code, 0); }

// Holds the arrow keys for a direction (0 for none) on each axis. The game
// lets go of them itself when the walker stops at a spot, so its own record
// of the movement is what counts.
void holdKeys(uint32_t x, uint32_t y) {
    const int32_t wantX = x == VK_LEFT ? 1 : (x == VK_RIGHT ? 2 : 0);
    const int32_t wantY = y == VK_UP ? 1 : (y == VK_DOWN ? 2 : 0);
    if (game.moveX != wantX) key(wantX ? x : VK_LEFT, wantX != 0);
    if (game.moveY != wantY) key(wantY ? y : VK_UP, wantY != 0);
}

void click(int32_t x, int32_t y) {
    headless::post(MSG_MOUSEMOVE, 0, packPoint(x, y));
    headless::post(MSG_LBUTTONDOWN, 1, packPoint(x, y));
    headless::post(MSG_LBUTTONUP, 0, packPoint(x, y));
}

int32_t alignUp(int32_t v) { return (v + 3) / 4 * 4; }

// A point of the area (and of the box the walker is held in there), on the
// 4-pixel grid the walker moves on.
void aimAt(const WalkerArea& area, const WalkerArea& box) {
    const int32_t xMin = alignUp(std::max(area.xMin, box.xMin)), xMax = std::min(area.xMax, box.xMax);
    const int32_t yMin = alignUp(std::max(area.yMin, box.yMin)), yMax = std::min(area.yMax, box.yMax);
    player.targetX = xMin + 4 * dice.below(std::max(1, (xMax - xMin) / 4 + 1));
    player.targetY = yMin + 4 * dice.below(std::max(1, (yMax - yMin) / 4 + 1));
    player.haveTarget = true;
    player.useClicks = dice.chance(30);
}

// One tick's worth of walking to the target; true once there.
bool walk() {
    if (game.walkerX == player.targetX && game.walkerY == player.targetY) {
        holdKeys(0, 0);
        player.haveTarget = false;
        return true;
    }
    if (player.useClicks) {
        holdKeys(0, 0);
        // The walker stands where the pointer is, less half his size.
        click(player.targetX + 16, player.targetY + 16);
        player.useClicks = dice.chance(50);  // a click that is clamped is walked the rest
        return false;
    }
    uint32_t x = 0, y = 0;
    if (game.walkerX != player.targetX) x = game.walkerX < player.targetX ? VK_RIGHT : VK_LEFT;
    if (game.walkerY != player.targetY) y = game.walkerY < player.targetY ? VK_DOWN : VK_UP;
    holdKeys(x, y);
    return false;
}

// Walks into the area (held in the box); true once standing in it.
bool walkInto(const WalkerArea& area, const WalkerArea& box) {
    if (!player.haveTarget) {
        if (area.contains(game.walkerX, game.walkerY)) return true;
        aimAt(area, box);
    }
    // The walk may have been aimed elsewhere (off a spot just used).
    return walk() && area.contains(game.walkerX, game.walkerY);
}

// Straight up off the area (every area the walker must leave has room above it).
bool walkOff(const WalkerArea& area) {
    if (!player.haveTarget) {
        player.targetX = game.walkerX;
        player.targetY = area.yMin - 12;
        player.haveTarget = true;
        player.useClicks = false;
    }
    return walk();
}

void closeStrayDialogs(int keep) {
    for (int id : {DIALOG_SOUND, DIALOG_ABOUT, DIALOG_HOME, DIALOG_BANK, DIALOG_INTRO}) {
        if (id == keep) continue;
        Window* dialog = headless::findDialog(id);
        if (!dialog || !dice.chance(20)) continue;
        if (id == DIALOG_INTRO && dice.chance(30)) headless::click(dialog, 51);
        const int button = id == DIALOG_ABOUT ? 42 : 41;
        if (dice.chance(50))
            headless::click(dialog, button);
        else
            headless::closeDialog(dialog);
    }
}

// --- errands -----------------------------------------------------------------------

void newErrand() {
    holdKeys(0, 0);
    player.haveTarget = false;
    player.errandTicks = 0;
    player.errandPlace = -1;
    player.errandTarget = -1;
    const int roll = dice.below(100);
    if (roll < 12) {
        player.errand = Errand::Home;
        player.errandPlace = PLACE_HOME;
        player.errandSteps = dice.between(1, 2);
    } else if (roll < 32) {
        player.errand = Errand::Bank;
        player.errandPlace = PLACE_BANK;
        player.errandSteps = dice.between(1, 4);
    } else if (roll < 42) {
        player.errand = Errand::Booth;
    } else if (roll < 86) {
        player.errand = Errand::Parlour;
        player.errandPlace = PLACE_PARLOUR_0 + dice.below(TOWN_PARLOURS);
        player.errandSteps = dice.between(1, 3);
    } else if (roll < 93) {
        player.errand = Errand::Menu;
    } else {
        player.errand = Errand::Idle;
        player.waitTicks = dice.between(1, 200);
    }
}

// An amount for the counter, mostly sensible, sometimes not.
std::string amountFor(int32_t counter) {
    const PlayerRecord& p = game.player;
    const int roll = dice.below(100);
    if (roll < 8) return std::to_string(-dice.between(1, 5000));
    if (roll < 12) return "99999999";
    if (roll < 15) return dice.chance(50) ? "abc" : "";
    if (roll < 20) return "0";
    int64_t base = counter == 21 ? p.cash : (counter == 22 ? p.deposit : p.creditLimit);
    if (roll < 30) return std::to_string(std::min<int64_t>(base + dice.between(1, 1000), 99999999));
    base = std::max<int64_t>(base, 1);
    return std::to_string(std::min<int64_t>(base * dice.between(1, 100) / 100, 99999999));
}

void useCounter() {
    Window* dialog = headless::findDialog(DIALOG_BANK);
    if (!dialog) {
        // Closed while standing here: step off and on again to reopen it.
        player.errandTarget = -1;
        return;
    }
    const int32_t counter = game.bankState;
    for (int n = dice.between(1, 3); n > 0; --n) {
        headless::typeText(dialog, 61, amountFor(counter));
        headless::click(dialog, 42);
        if (counter >= 21 && counter <= 24) ++player.report->counterUses[counter - 21];
    }
    if (dice.chance(85)) {
        if (dice.chance(50))
            headless::click(dialog, 41);
        else
            headless::closeDialog(dialog);
    }
    --player.errandSteps;
    player.errandTarget = -1;
    player.waitTicks = dice.between(1, 20);
}

// Inside the errand's place: its spots, then out through the door.
void insideStep(int place) {
    if (player.errandSteps <= 0 || place != player.errandPlace) {
        // Let in on the door, the walker must step off it before it lets him out.
        const WalkerArea& door = leaveAreaOf(place);
        if (placeState(place) == INSIDE_FIRST && door.contains(game.walkerX, game.walkerY)) {
            walkOff(door);
            return;
        }
        if (walkInto(door, boxOf(place))) player.waitTicks = 1;
        return;
    }
    if (place == PLACE_HOME) {
        if (player.errandTarget < 0) player.errandTarget = dice.below(2);
        const WalkerArea& spot = player.errandTarget == 0 ? HOME_SUMMARY_SPOT : HOME_BED_SPOT;
        if (!walkInto(spot, HOME_BOX)) return;
        // On the spot: the summary opens (the bed asks, answered by the box handler).
        player.waitTicks = dice.between(1, 30);
        if (Window* dialog = headless::findDialog(DIALOG_HOME)) {
            if (dice.chance(50))
                headless::click(dialog, 41);
            else
                headless::closeDialog(dialog);
        }
        --player.errandSteps;
        player.errandTarget = -1;
        // Off the spot, so that the next visit to it counts.
        aimAt(WalkerArea{184, 360, 300, 340}, HOME_BOX);
    } else if (place == PLACE_BANK) {
        if (player.errandTarget < 0) player.errandTarget = dice.below(BANK_COUNTERS);
        if (!walkInto(BANK_COUNTER_SPOTS[player.errandTarget], BANK_BOX)) return;
        if (game.bankState != 21 + player.errandTarget) {
            player.waitTicks = 1;  // the dialog opens on the next tick
            return;
        }
        useCounter();
        if (player.errandTarget < 0) aimAt(WalkerArea{340, 540, 332, 360}, BANK_BOX);
    } else {
        const int parlour = place - PLACE_PARLOUR_0;
        const WalkerArea& box = PARLOUR_BOXES[parlour];
        if (game.parlourState[parlour] == 21) {
            // Back from the machine and still on its seat: straight down off the row.
            --player.errandSteps;
            player.errandTarget = -1;
            aimAt(WalkerArea{game.walkerX, game.walkerX, 136, 136}, box);
            player.useClicks = false;
            player.waitTicks = 1;
            return;
        }
        if (player.errandTarget < 0) {
            player.errandTarget = dice.below(SEATS_PER_PARLOUR);
            player.approach = true;
        }
        const WalkerArea& seat = PARLOUR_SEATS[parlour][player.errandTarget];
        // Up to the seat from below it, so that no other seat is crossed.
        if (player.approach) {
            if (!walkInto(WalkerArea{seat.xMin, seat.xMax, 136, 136}, box)) return;
            player.approach = false;
        }
        if (walkInto(seat, box)) player.waitTicks = 1;  // seated on the next tick
    }
}

// At the machine: buy, set the dial, play, now and then stop, then leave.
void machineStep() {
    holdKeys(0, 0);
    if (!player.seated) {
        player.seated = true;
        player.buysLeft = dice.between(0, 6);
        player.playLeft = dice.chance(20) ? dice.between(1000, 6000) : dice.between(20, 800);
    }
    if (player.buysLeft > 0 && game.lenderState == 0) {
        --player.buysLeft;
        headless::post(MSG_MOUSEMOVE, 0, packPoint(30 + dice.below(20), 100 + dice.below(50)));
        headless::post(MSG_LBUTTONDOWN, 1, packPoint(30, 120));
        headless::post(MSG_LBUTTONUP, 0, packPoint(30, 120));
        player.waitTicks = dice.between(1, 14);
        return;
    }
    const int roll = dice.below(100);
    if (roll < 15) {
        // The dial: pressed on the lever's track and let go higher or lower.
        const int32_t want = dice.chance(80) ? dice.between(40, 160) : dice.between(0, 170);
        const int32_t y0 = 240;
        headless::post(MSG_LBUTTONDOWN, 1, packPoint(570, y0));
        if (dice.chance(50))
            headless::post(MSG_MOUSEMOVE, 0, packPoint(570, std::clamp(y0 - (want - game.dialPower) / 2, 172, 366)));
        headless::post(MSG_LBUTTONUP, 0, packPoint(570, y0 - (want - game.dialPower)));
    } else if (roll < 19) {
        click(578, 398);  // stop or go on launching
    } else if (roll < 22) {
        headless::post(MSG_MOUSEMOVE, 0, packPoint(dice.below(640), dice.below(416)));
    } else if (roll < 26 && game.player.balls == 0) {
        player.buysLeft = dice.between(1, 3);
    }
    if (player.playLeft > 0) {
        const int64_t chunk = std::min<int64_t>(player.playLeft, dice.between(1, 100));
        player.playLeft -= chunk;
        player.waitTicks = chunk;
        return;
    }
    // Leave: the button, Escape or F12.
    const int how = dice.below(3);
    if (how == 0) {
        click(570, 20);
    } else {
        key(how == 1 ? VK_ESCAPE : VK_F12, true);
        key(how == 1 ? VK_ESCAPE : VK_F12, false);
    }
    player.waitTicks = 1;
}

// Mostly the file commands, which only a game not yet under way (or over)
// may use outdoors; now and then Exit, after which the soak starts again.
constexpr int32_t MENU_CHOICES[] = {CMD_SAVE,  CMD_SAVE, CMD_LOAD, CMD_LOAD,    CMD_NEW, CMD_SOUND,
                                    CMD_ABOUT, CMD_INTRO, CMD_HELP, CMD_TROUBLE, CMD_EXIT};

void menuStep() {
    int32_t command = MENU_CHOICES[dice.below(static_cast<int>(sizeof MENU_CHOICES / sizeof MENU_CHOICES[0]))];
    if (command == CMD_EXIT && !dice.chance(10)) command = CMD_SAVE;
    if (chooseMenu(command)) {
        ++player.report->menuChosen;
        if (command == CMD_LOAD) ++player.report->loads;
    } else {
        ++player.report->menuGreyed;
    }
    player.waitTicks = dice.between(1, 10);
}

// The dialogs the menu opened, used a little later.
void useMenuDialogs() {
    if (Window* sound = headless::findDialog(DIALOG_SOUND); sound && dice.chance(30)) {
        headless::click(sound, dice.chance(70) ? 31 : 32);
        headless::click(sound, 41);
    }
}

void decide() {
    ++player.errandTicks;
    if (player.errandTicks > ERRAND_PATIENCE) newErrand();
    if (game.inParlour == 1) {
        machineStep();
        return;
    }
    // The menu is tried anywhere now and then: greyed where it must be.
    if (dice.below(1000) < 2) {
        menuStep();
        return;
    }
    player.seated = false;
    closeStrayDialogs(player.errand == Errand::Bank ? DIALOG_BANK : 0);
    useMenuDialogs();

    // A door opening or closing: nothing to do but wait.
    for (int place = 0; place < DOOR_PLACES; ++place) {
        const int32_t s = placeState(place);
        if (within(s, 1, INSIDE_FIRST - 1) || within(s, INSIDE_LAST + 1, 43)) {
            holdKeys(0, 0);
            player.haveTarget = false;
            return;
        }
    }
    for (int place = 0; place < DOOR_PLACES; ++place) {
        if (within(placeState(place), INSIDE_FIRST, INSIDE_LAST)) {
            insideStep(place);
            return;
        }
    }
    // Done here: off the entry of a place just left, off the booth.
    for (int place = 0; place < DOOR_PLACES; ++place) {
        if (placeState(place) == 44) {
            if (walkOff(entryOf(place))) player.haveTarget = false;
            return;
        }
    }
    if (game.exchangeState != 0) {
        walkOff(EXCHANGE_BOOTH_AREA);
        if (player.errand == Errand::Booth) player.errand = Errand::Idle;
        return;
    }
    switch (player.errand) {
        case Errand::Home:
        case Errand::Bank:
        case Errand::Parlour:
            if (player.errandSteps <= 0) {
                newErrand();
                return;
            }
            walkInto(entryOf(player.errandPlace), TOWN_BOX);
            return;
        case Errand::Booth: walkInto(EXCHANGE_BOOTH_AREA, TOWN_BOX); return;
        case Errand::Menu:
            menuStep();
            player.errand = Errand::Idle;
            return;
        case Errand::Idle: newErrand(); return;
    }
}

// --- watching -------------------------------------------------------------------------

void observe() {
    SoakReport& r = *player.report;
    const PlayerRecord& p = game.player;
    r.cashMin = std::min(r.cashMin, p.cash);
    r.cashMax = std::max(r.cashMax, p.cash);
    r.depositMin = std::min(r.depositMin, p.deposit);
    r.depositMax = std::max(r.depositMax, p.deposit);
    r.ballsMin = std::min(r.ballsMin, p.balls);
    r.ballsMax = std::max(r.ballsMax, p.balls);
    r.loanCountMax = std::max(r.loanCountMax, p.loanCount);
    r.dayMax = std::max(r.dayMax, p.day);
    for (int place = 0; place < DOOR_PLACES; ++place) {
        if (player.lastPlaceState[place] == 0 && placeState(place) != 0 && placeState(place) < INSIDE_FIRST)
            ++r.placeVisits[place];
        player.lastPlaceState[place] = placeState(place);
    }
    if (player.lastInParlour == 0 && game.inParlour == 1) {
        for (int parlour = 0; parlour < TOWN_PARLOURS; ++parlour)
            for (int seat = 0; seat < SEATS_PER_PARLOUR; ++seat)
                if (PARLOUR_SEATS[parlour][seat].contains(game.walkerX, game.walkerY) &&
                    game.parlourState[parlour] == 21)
                    ++r.seatsTaken[parlour * SEATS_PER_PARLOUR + seat];
    }
    // At the machine the only thing that costs money is a purchase.
    if (player.lastInParlour == 1 && game.inParlour == 1 && p.cash == player.lastCash - BALL_PRICE_YEN) ++r.purchases;
    player.lastInParlour = game.inParlour;
    player.lastCash = p.cash;
}

// Saves reported in the event log, counted before the log is cleared.
void countSaves() {
    for (const std::string& line : eventLog())
        if (line == "save pachiko.dat") ++player.report->saves;
}

// After every tick: the rules, the figures, and the end of the run.
bool checkTick() {
    SoakReport& r = *player.report;
    std::string broken = brokenStateRule();
    if (broken.empty()) broken = brokenPlayerRule();
    if (!broken.empty() && r.broken.empty()) r.broken = "tick " + std::to_string(r.ticks) + ": " + broken;
    observe();
    if (eventLog().size() > LOG_LINES_KEPT) {
        countSaves();
        clearEventLog();
    }
    return r.broken.empty() && r.ticks < player.budget;
}

bool feed() {
    player.fed = true;
    if (player.stop || !checkTick()) {
        player.stop = true;
        return false;
    }
    if (player.waitTicks > 0) {
        --player.waitTicks;
    } else {
        decide();
    }
    ++player.report->ticks;
    headless::post(MSG_TIMER, 1, 0);
    return true;
}

int32_t answerBox(const headless::MessageBoxInfo& box) {
    SoakReport& r = *player.report;
    ++r.messageBoxes;
    const bool closingTime = box.caption == "はようでてや";
    const bool bedtime = box.caption == "Ｈｏｍｅ";
    if (box.caption == "パチンコ店内") ++r.refusals;
    if (box.caption == "変換所Ｃ" && box.text.rfind("お金は", 0) == 0) ++r.boothExchanges;
    // The game ticks on under a box while the player reads it.
    if (!player.stop) {
        for (int n = dice.chance(50) ? dice.below(30) : 0; n > 0; --n) {
            if (!checkTick()) {
                player.stop = true;
                break;
            }
            ++r.ticks;
            headless::tick(1);
        }
    }
    if (closingTime || bedtime) {
        ++r.dayEnds;
        // Now and then the player calls it a day; the soak starts the game again.
        return dice.chance(3) ? IDYES : IDNO;
    }
    if ((box.style & 0xF) == MB_YESNO) return dice.chance(85) ? IDYES : IDNO;
    return IDOK;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace

bool runSoak(const SoakOptions& options, SoakReport& report, std::string& error) {
    std::error_code ec;
    const fs::path previous = fs::current_path(ec);
    const fs::path outDir = fs::absolute(options.outDir.empty() ? options.workDir : options.outDir, ec);
    fs::create_directories(outDir, ec);
    // Every soak starts a new game in a scratch folder of its own, with the
    // game's pictures, sounds and courses: a seed replays exactly, and the
    // folder's own save is never touched.
    const fs::path work = fs::temp_directory_path(ec) / ("pachinko-soak-" + std::to_string(::getpid()));
    fs::remove_all(work, ec);
    fs::create_directories(work, ec);
    for (const auto& entry : fs::directory_iterator(options.workDir, ec)) {
        const fs::path name = entry.path().filename();
        if (name.extension() == ".bmp" || name.extension() == ".wav" || name == "tama.dat")
            fs::copy_file(entry.path(), work / name, ec);
    }
    if (!ec) fs::current_path(work, ec);
    if (ec) {
        error = "cannot copy the game from " + options.workDir + ": " + ec.message();
        fs::remove_all(work, ec);
        return false;
    }
    report = SoakReport();
    player = Player();
    dice = Dice{options.seed};
    while (!player.stop && report.ticks < options.ticks && !headless::endRequested()) {
        resetProcess();
        player = Player();
        player.report = &report;
        player.budget = options.ticks;
        ++report.starts;
        headless::setMessageBoxHandler(answerBox);
        headless::setFeeder(feed);
        winMain("", 1);
        countSaves();
        headless::setFeeder(nullptr);
        headless::setMessageBoxHandler(nullptr);
        if (!player.fed && !headless::endRequested()) {
            error = "the game ended at start-up (is tama.dat there?)";
            break;
        }
    }
    if (!report.broken.empty()) {
        std::string log;
        for (const std::string& line : eventLog()) log += line + "\n";
        writeText(outDir / "log.txt", log);
        writeText(outDir / "state.json", gameStateJson());
    }
    resetProcess();
    fs::current_path(previous, ec);
    fs::remove_all(work, ec);
    return error.empty();
}

std::string soakSummary(const SoakReport& r) {
    std::ostringstream s;
    s << "ticks " << r.ticks << ", game starts " << r.starts << "\n";
    s << "doors opened: home " << r.placeVisits[0] << ", bank " << r.placeVisits[1] << ", parlours "
      << r.placeVisits[2] << " " << r.placeVisits[3] << " " << r.placeVisits[4] << "\n";
    s << "counters used (deposit, withdrawal, loan, repayment): " << r.counterUses[0] << " " << r.counterUses[1]
      << " " << r.counterUses[2] << " " << r.counterUses[3] << "\n";
    s << "seats taken:";
    int seatsUsed = 0;
    for (int i = 0; i < 21; ++i) {
        s << (i % 7 == 0 ? " |" : "") << " " << r.seatsTaken[i];
        seatsUsed += r.seatsTaken[i] > 0;
    }
    s << " (" << seatsUsed << " of 21 seats)\n";
    s << "purchases " << r.purchases << ", refusals " << r.refusals << ", booth payments " << r.boothExchanges
      << ", day ends " << r.dayEnds << "\n";
    s << "menu commands chosen " << r.menuChosen << ", greyed " << r.menuGreyed << ", loads " << r.loads
      << ", saves " << r.saves << ", message boxes " << r.messageBoxes << "\n";
    s << "cash " << r.cashMin << " .. " << r.cashMax << ", deposit " << r.depositMin << " .. " << r.depositMax
      << ", balls " << r.ballsMin << " .. " << r.ballsMax << ", most loans " << r.loanCountMax << ", last day "
      << r.dayMax << "\n";
    s << (r.broken.empty() ? "every rule held" : "BROKEN at " + r.broken) << "\n";
    return s.str();
}
