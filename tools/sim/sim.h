// pachinko-sim's library: the real machine logic run without a window on a
// chosen course table, with the counts a player's ledger would keep.
//
// One run is a fresh seat: the game state is reset, the random source starts
// from its initial state (after a given number of discarded draws), the seat
// takes its settings and the dial stays where it is put. Balls are bought
// through the lender (20 for 100 yen) whenever the player runs out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/machine_records.h"

namespace sim {

// The launch bands of the dial, weakest first, and whether the nail setting
// counts launches in them.
struct DialBand {
    int32_t low, high;  // inclusive dial powers
    bool counted;       // the nail countdown decides the course's range
};
constexpr int DIAL_BAND_COUNT = 14;
extern const DialBand DIAL_BANDS[DIAL_BAND_COUNT];
// The band a dial power falls in (0 .. DIAL_BAND_COUNT - 1), -1 for 0.
int bandOfDial(int32_t dial);
// Weak launches fall back to the player (dial 1..38 and 170).
bool isWeakBand(int band);

// Where the seat's settings come from.
struct Seat {
    bool fromSchedule = false;  // day/parlour/machine, as the town seats the player
    int32_t day = 0, parlour = 0, machine = 0;
    int32_t slotSetting = 0, nailSetting = 0;  // when not from the schedule
};

struct RunSpec {
    Seat seat;
    int32_t dial = 39;           // 1..170; 0 launches nothing
    int64_t launches = 100000;   // stop after this many launches (when > 0)
    int64_t ticks = 0;           // or after this many ticks (when launches is 0)
    int64_t discardDraws = 0;    // draws of the random source made before sitting down
};

// What a run counts. Paid includes the balls that come back (return).
struct RunCounts {
    int32_t slotSetting = 0, nailSetting = 0, dial = 0;
    int64_t ticks = 0;
    int64_t ballsBought = 0;
    int64_t launched = 0;
    int64_t paid = 0;          // every ball the tray received except purchases
    int64_t returned = 0;      // of those, balls that fell back (one each)
    int64_t gatePaid = 0;      // of those, balls paid by the open gate
    int64_t entries = 0;       // entries into pockets and tulips (spins earned)
    int64_t spins = 0;         // reel spins started
    int64_t wins[4] = {};      // gate opened for 10, 30, 3,000, 6,000 ticks
    int64_t gateOpenTicks = 0;
    int64_t bigWinGatePaid = 0;  // balls the gate paid while open after a 3,000 or 6,000 win
    int64_t ballsHeldAtEnd = 0;

    double returnRatio() const { return launched > 0 ? static_cast<double>(paid) / launched : 0.0; }
    int64_t bigWins() const { return wins[2] + wins[3]; }
    double ballsPerBigWin() const {
        return bigWins() > 0 ? static_cast<double>(bigWinGatePaid) / bigWins() : 0.0;
    }
};

constexpr int32_t WIN_TICKS[4] = {10, 30, 3000, 6000};

// Runs one seat. Leaves the process's game state and random source as the
// run left them.
RunCounts runSeat(const BallPathTableData& courses, const RunSpec& spec);

// The dial powers of a sweep: the lowest power of each band.
std::vector<int32_t> sweepDials();

// Best counted band of a set of runs of one machine (the highest return
// ratio among the counted bands); nullptr when there is none.
const RunCounts* bestCounted(const std::vector<RunCounts>& runs);

// Output: a text table, CSV with a header line, or a JSON array of objects.
std::string formatTable(const std::vector<RunCounts>& runs);
std::string formatCsv(const std::vector<RunCounts>& runs);
std::string formatJson(const std::vector<RunCounts>& runs);

}  // namespace sim
