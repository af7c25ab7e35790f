// The machine's rules without a screen: seating, the ball lender, launches,
// ball flight and the markers' effects, wings, tulips, payouts, the slot
// reels and the bottom gate. Everything lives in `game` (GameState and its
// MachineState); these functions only change it.
//
// The parlour screen (machine/parlour.cpp) runs one machineTick per timer
// tick and then draws and sounds what the tick recorded in a MachineFrame.
// A tool can run the same ticks with no display and no sound: it passes no
// frame (nothing is recorded) and, if it wants numbers, a MachineStats that
// the tick adds to. Neither costs the game anything but a null test.
//
// Driving a machine without the screen:
//   seatWithSettings(slot, nail);       // or seatMachine(day, parlour, seat)
//   game.dialPower = 100;                // 1..170; 0 launches nothing
//   game.launchStopped = 0;
//   pressLender();                       // a purchase: 100 yen, 20 balls after 5 ticks
//   MachineStats stats;
//   MachineTickIo io;  io.stats = &stats;
//   for (...) machineTick(io);
#pragma once

#include <cstdint>

#include "state/machine_records.h"

// Fixed values of the machine.
constexpr int32_t BALL_PRICE_YEN = 100;       // one purchase...
constexpr int32_t BALLS_PER_PURCHASE = 20;    // ...gives this many balls
constexpr int32_t LAUNCH_CADENCE = 5;         // one launch chance every 5 ticks
constexpr int32_t WING_TURN_TICKS = 20;
constexpr int32_t REEL_STRIP_WINDOW = 57;     // rows of slot.bmp shown per reel
constexpr int32_t REEL_SYMBOL_ROWS = 29;
constexpr int32_t WINNING_SYMBOL_POS = 203;   // symbol 7
constexpr int32_t REEL_TIMER_TICKS = 20;

// lenderState values with a meaning of their own.
constexpr int32_t LENDER_IDLE = 0;
constexpr int32_t LENDER_HOVER = 1;
constexpr int32_t LENDER_PRESSED = 2;
constexpr int32_t LENDER_PURCHASE = 3;   // 3..11 show a purchase; 12 credits it
constexpr int32_t LENDER_CREDIT = 12;
constexpr int32_t LENDER_PAYOUT = 23;    // 23..31 show a payout; 32 ends it

// The four prizes: how long the bottom gate stays open (slotPrizeLeft).
constexpr int32_t PRIZE_TICKS[4] = {10, 30, 3000, 6000};

// Counters a tool reads. The tick only adds to them (when given one); reset
// one by assigning MachineStats{}.
struct MachineStats {
    int64_t ticks = 0;              // machine ticks run (leaving ticks included)
    int64_t purchases = 0;          // purchases paid for (100 yen each)
    int64_t ballsBought = 0;        // balls credited by purchases (20 each)
    int64_t refusals = 0;           // presses refused for lack of money
    int64_t ballsLaunched = 0;
    int64_t launchesBlocked = 0;    // launch chances lost to 40 balls in flight
    // Per marker m (index m - 980, 0..19): how often a ball in flight met it,
    // and how many balls it gave the player (payouts and the silent return).
    int64_t markerHits[20] = {};
    int64_t ballsPaidAt[20] = {};
    int64_t ballsPaid = 0;          // sum of ballsPaidAt (returns of 991 included)
    int64_t payouts = 0;            // payouts shown in the tray (991 is not one)
    int64_t ballsRanOff = 0;        // balls that left after waypoint 39 without a marker
    int64_t entries = 0;            // spins earned (tulips and the bottom pocket)
    int64_t spinsStarted = 0;
    int64_t spinsByMode[5] = {};    // by reelMode at the start: 0/1 ordinary, 3 forced win, 4 near miss
    int64_t wins[4] = {};           // prizes of 10, 30, 3000, 6000 ticks (PRIZE_TICKS order)
    int64_t gateOpenTicks = 0;      // ticks on which the gate step found the gate open
};

// What one tick shows and sounds, in the order the parlour screen draws it.
// Recorded only when a frame is given.
struct MachineFrame {
    bool lenderLit = false;          // koin.bmp over the lender
    bool trayRow[3] = {};            // tray rows drawn this tick
    bool startBallSound = false;     // a purchase or payout began to show: one ball sound
    bool stopShown = false;          // stop.bmp
    int32_t dialPower = 0;           // where the dial lever is drawn
    bool gateOpen = false;           // gate.bmp, and the gate sound loops (else it stops)
    bool gateLampsLit = false;       // lamp3/lamp4 around the gate
    int32_t ballCount = 0;           // balls drawn, in slot order
    int32_t ballX[BALL_SLOTS] = {};
    int32_t ballY[BALL_SLOTS] = {};
    bool wingFirstPicture[4] = {};   // hane1.bmp (else hane2.bmp)
    bool tulipOpen[2] = {};
    int32_t holdLamps = 0;           // lamp1 count, 0..4
    bool overflowLamp = false;       // lamp2
    int32_t reelPos[3] = {};         // window tops into slot.bmp
    bool left = false;               // the player left the machine this tick
};

// The "not enough money" box: shown by the parlour screen, which keeps
// ticking underneath it (nested machineTick calls). Without one the refusal
// closes at once.
using RefusalBox = void (*)(void* context);

struct MachineTickIo {
    MachineFrame* frame = nullptr;
    MachineStats* stats = nullptr;
    RefusalBox refusalBox = nullptr;
    void* context = nullptr;         // passed to refusalBox
};

// --- seating -------------------------------------------------------------------

// Sits the player at machine `seat` of `parlour` on `day` (settings from the
// schedule, or drawn at random beyond it) without any sound: inParlour, the
// settings, nail interval and countdown, reel positions (two random draws),
// no stocked spins, no balls in flight. Reels under way, tulips, wings, the
// launch cadence and the lender carry over from the last machine.
void seatMachine(int32_t day, int32_t parlour, int32_t seat);
// The same with explicit settings (each clamped into 0..6).
void seatWithSettings(int32_t slotSetting, int32_t nailSetting);

// --- the tick -----------------------------------------------------------------

// One tick of the seated machine: the lender and tray, the launch, the gate,
// every ball in flight, wings, tulips, hold lamps and the spin start, the
// reels, and leaving when game.leaveParlour is set.
void machineTick(const MachineTickIo& io);

// A press on the ball lender, as pointing at it and clicking would do: sets
// lenderState to 2 when it is below 2 (true), else changes nothing (false).
// The next tick buys or refuses.
bool pressLender();

// --- the steps, for tests and tools ------------------------------------------------

// The pattern a launch at dial power s takes, advancing nailCountdown and
// drawing one random number where the launch band says so. s above 170 is
// taken as 170.
int32_t launchPattern(int32_t dialPower);
// The effect of a marker on a ball in flight: moves it on one step or ends it
// (step 0), or leaves it (markers without effect). A step moved past 39 ends
// the ball.
void applyMarker(BallSlot& slot, int32_t marker, MachineStats* stats = nullptr);
// A payout of n balls shown in the tray (a purchase being shown is credited first).
void payout(int32_t n, MachineStats* stats = nullptr);
// An entry: one more stocked spin (up to 4) and one more entry counted.
void addEntry(MachineStats* stats = nullptr);
// Starts a stocked spin when the reels are idle and the gate is closed.
void startSpin(MachineStats* stats = nullptr);
// Advances the reels by one tick (stop rules, forced placement, speeds).
void reelStep(MachineStats* stats = nullptr);
// Sets slotPrizeLeft from the stopped reels; the reels move on to their rest.
void evaluatePrize(MachineStats* stats = nullptr);
// Counts the open gate down; true when it was open this tick.
bool gateStep(MachineStats* stats = nullptr);
