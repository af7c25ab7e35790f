#include "sim.h"

#include "machine/machine_logic.h"
#include "machine/random.h"
#include "machine/tables.h"
#include "state/game_state.h"

namespace sim {

const DialBand DIAL_BANDS[DIAL_BAND_COUNT] = {
    {1, 12, false},    {13, 25, false},   {26, 38, false},   {39, 51, true},   {52, 64, true},
    {65, 77, true},    {78, 90, true},    {91, 103, true},   {104, 116, true}, {117, 129, true},
    {130, 142, false}, {143, 155, true},  {156, 169, false}, {170, 170, false},
};

int bandOfDial(int32_t dial) {
    for (int b = 0; b < DIAL_BAND_COUNT; ++b)
        if (dial >= DIAL_BANDS[b].low && dial <= DIAL_BANDS[b].high) return b;
    return -1;
}

bool isWeakBand(int band) { return band >= 0 && (DIAL_BANDS[band].high <= 38 || DIAL_BANDS[band].low == 170); }

std::vector<int32_t> sweepDials() {
    std::vector<int32_t> dials;
    for (const DialBand& b : DIAL_BANDS) dials.push_back(b.low);
    return dials;
}

const RunCounts* bestCounted(const std::vector<RunCounts>& runs) {
    const RunCounts* best = nullptr;
    for (const RunCounts& r : runs) {
        int band = bandOfDial(r.dial);
        if (band < 0 || !DIAL_BANDS[band].counted) continue;
        if (!best || r.returnRatio() > best->returnRatio()) best = &r;
    }
    return best;
}

namespace {

constexpr int32_t PLENTY_OF_CASH = 1000000000;
// Buy while two balls are left: a purchase reaches the tray five ticks
// later, before the two have been launched, so launching never pauses.
constexpr int32_t BUY_AT_BALLS = 2;

int64_t paidAt(const MachineStats& s, int32_t marker) { return s.ballsPaidAt[marker - MARKER_MIN]; }

}  // namespace

RunCounts runSeat(const BallPathTableData& courses, const RunSpec& spec) {
    resetGameState();
    RandomState = RandomStateWords();
    discardRandom(spec.discardDraws);
    BallPathTable = courses;
    fillDaySchedule();
    if (spec.seat.fromSchedule) seatMachine(spec.seat.day, spec.seat.parlour, spec.seat.machine);
    else seatWithSettings(spec.seat.slotSetting, spec.seat.nailSetting);
    game.dialPower = spec.dial;
    game.launchStopped = 0;

    MachineStats stats;
    MachineTickIo io;
    io.stats = &stats;
    RunCounts r;
    r.slotSetting = game.machine.slotSetting;
    r.nailSetting = game.machine.nailSetting;
    r.dial = spec.dial;

    // A big win's gate time: from the tick after the win until the gate
    // closes; what the gate pays in those ticks is the big win's worth.
    bool bigWinOpen = false;
    // A dial of 0 launches nothing: a run counted in launches would never
    // end. One launch chance comes every five ticks and a purchase never
    // delays it, so ten ticks per launch is a generous bound.
    const int64_t tickLimit = spec.launches > 0 ? (spec.dial > 0 ? spec.launches * 10 + 100 : 0) : spec.ticks;
    for (;;) {
        if (stats.ticks >= tickLimit || (spec.launches > 0 && stats.ballsLaunched >= spec.launches)) break;
        if (game.player.balls <= BUY_AT_BALLS && game.lenderState < LENDER_PRESSED) {
            if (game.player.cash <= BALL_PRICE_YEN) game.player.cash = PLENTY_OF_CASH;
            pressLender();
        }
        const int64_t gateBefore = paidAt(stats, MARKER_NEAR_GATE);
        const int64_t bigBefore = stats.wins[2] + stats.wins[3];
        machineTick(io);
        if (bigWinOpen) r.bigWinGatePaid += paidAt(stats, MARKER_NEAR_GATE) - gateBefore;
        if (stats.wins[2] + stats.wins[3] != bigBefore) bigWinOpen = true;
        else if (game.slotPrizeLeft == 0) bigWinOpen = false;
    }

    r.ticks = stats.ticks;
    r.ballsBought = stats.ballsBought;
    r.launched = stats.ballsLaunched;
    r.paid = stats.ballsPaid;
    r.returned = paidAt(stats, MARKER_RETURN);
    r.gatePaid = paidAt(stats, MARKER_NEAR_GATE);
    r.entries = stats.entries;
    r.spins = stats.spinsStarted;
    for (int i = 0; i < 4; ++i) r.wins[i] = stats.wins[i];
    r.gateOpenTicks = stats.gateOpenTicks;
    r.ballsHeldAtEnd = game.player.balls;
    return r;
}

}  // namespace sim
