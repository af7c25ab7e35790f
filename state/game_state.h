// The one process-wide record of all game state. Every screen tick, input
// routine, dialog and the save code read and write it directly.
#pragma once

#include <cstdint>

#include "state/machine_records.h"

namespace platform {
struct Window;
}  // namespace platform

struct Loan {
    int32_t active;     // 1 = the slot holds a loan
    int32_t amountDue;  // yen to repay
    int32_t dueDay;     // repayment day shown to the player
};

// The player's progress: the 64-byte image of "pachiko.dat". The order and
// widths of the fields are the file layout and must not change.
struct PlayerRecord {
    int32_t day;
    int32_t cash;
    int32_t deposit;
    Loan loans[3];
    int32_t loanCount;
    int32_t creditLimit;
    int32_t balls;
    int32_t introDisabled;
};
static_assert(sizeof(PlayerRecord) == 64, "PlayerRecord is the save file layout");

// Visit states of a place with a door.
constexpr int32_t PLACE_INSIDE = 20;

struct GameState {
    PlayerRecord player = {};

    // Shell.
    int32_t dayTicks = 0;
    int32_t notMinimized = 0;
    int32_t ticksPaused = 0;
    int32_t promptGuard = 0;
    int32_t tuningMode = 0;
    platform::Window* openDialog = nullptr;
    platform::Window* mainWindow = nullptr;

    // Town.
    int32_t walkerX = 236;
    int32_t walkerY = 336;
    int32_t walkerFrame = 0;
    int32_t backdropTick = 0;
    int32_t homeState = PLACE_INSIDE;
    int32_t bankState = 0;
    int32_t parlourState[3] = {0, 0, 0};
    int32_t exchangeState = 0;
    int32_t introShown = 0;
    int32_t moveX = 0;
    int32_t moveY = 0;

    // Parlour.
    int32_t inParlour = 0;
    int32_t leaveParlour = 0;
    int32_t lenderState = 0;
    int32_t launchStopped = 0;
    int32_t dialPower = 0;
    int32_t dialDragging = 0;
    int32_t dragStartY = 0;
    int32_t dragStartDial = 0;
    int32_t slotPrizeLeft = 0;
    MachineState machine;

    // Tuning.
    int32_t editPattern = 0;
    int32_t editStep = 0;
    int32_t copySource = -1;
    int32_t rowClipboard[80] = {};

    // Sound.
    int32_t soundOff = 0;
    int32_t noSoundDevice = 0;
    int32_t tamadeNext = 0;
};

extern GameState game;

// Puts every field back to its value at program start (the tests use it to
// start each case from a fresh process state).
void resetGameState();

// The new-game reset: day 0, 10,000 yen, no deposit, loans or balls, credit
// line 50,000, gate closed. Everything else (the introduction setting, the
// walker, the visit states, sound, tables) is left alone.
void newGame();

bool isTycoon();
bool isBankrupt();
bool isGameRunning();
bool isOutdoors();

// Signed 32-bit arithmetic that wraps as two's complement, for money, balls
// and the day, which the game never checks for overflow.
constexpr int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t wrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
