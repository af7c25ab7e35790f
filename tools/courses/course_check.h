// The checker of a ball course table: the rules the machine relies on, the
// rules of this project's course design, and the plausibility of every
// drawn ball against the playfield.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/machine_records.h"

namespace courses {

// How far a ball may move between two drawn waypoints (one tick, 100 ms).
// The fastest ball is a full-strength launch on the rail; nothing on the
// board ever moves faster than that, so one tick of it plus 5 % for the
// rounding of waypoints bounds every honest jump. A longer jump means a
// course that skips over nails or walls.
int32_t jumpBound();

// How close a drawn ball may come to a nail or a solid part: the waypoints
// are rounded to whole pixels, so a ball resting on a nail may appear up to
// this much inside it.
constexpr double OVERLAP_TOLERANCE = 1.0;

struct CheckReport {
    std::vector<std::string> problems;
    bool ok() const { return problems.empty(); }
};

// Checks one pattern on its own (everything but the rules across patterns).
// Appends to report; returns true when this pattern added no problem.
bool checkPattern(const BallPathTableData& table, int32_t pattern, CheckReport& report);

// Checks the whole table: every pattern, and the rules across patterns
// (weak launches fall back, bands strengthen from band to band, only the
// full-range-only courses of each band earn spins or open the tulips, and
// everyday top pockets cannot feed the left tulip).
CheckReport checkTable(const BallPathTableData& table);

// Checks the bytes of a "tama.dat": exactly 32,000 bytes, then the table.
CheckReport checkFileBytes(const std::vector<uint8_t>& bytes);

// A measure of a course's launch strength: the path length of its first two
// ticks, while the ball is still on the launch rail. -1 if steps 0..2 are
// not all coordinates.
double launchMeasure(const BallPattern& pattern);

}  // namespace courses
