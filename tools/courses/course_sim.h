// Ball flights on the playfield's nail field, and the course table made of
// them. A flight is a ball shot up the launch rail and followed with simple
// rigid-body physics (gravity, bounces off nails and walls with restitution
// and a little spin, windmills that turn and push, pockets that catch) until
// something takes it; sampled every 100 ms it becomes one course of
// "tama.dat", with region markers put where the flight met a region.
//
// Everything here is deterministic: fixed seeds, a fixed time step, ordered
// containers only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/machine_records.h"

namespace courses {

constexpr double SAMPLE_SECONDS = 0.1;  // one waypoint per 100 ms tick
constexpr double STEP_SECONDS = 0.0005; // integration step
constexpr double GRAVITY = 1400.0;       // px/s² along the tilted board

// Launch speed (px/s) for a dial power 0..170. The dial bands of the parlour
// cut this range into the weak shots (1..38, fall back), ten bands that
// reach the board (39..155) and the top band (156..169).
double launchSpeedForDial(double dialPower);
// The fastest launch of any course: the bound on how far a ball moves.
double maxLaunchSpeed();

// Small differences between two shots at the same dial power: the hammer,
// the ball's spin as it leaves the launcher, where it sits on the rail.
struct ShotVariation {
    double speedFactor = 1.0;  // multiplies the launch speed
    double spin = 0.0;         // rad/s at launch
    double offsetX = 0.0;      // px, sideways in the channel
};

// One entry of a course: a plain coordinate (the ball's top-left corner) or
// a region marker (x = marker, y = 0).
struct Waypoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct Flight {
    // Step 0 first, ending with the removing marker. A flight that found no
    // end in time (or escaped) holds only its plain samples, for diagnosis.
    std::vector<Waypoint> entries;
    int32_t terminal = 0;  // the marker that removes the ball, or 0 if none in time
    double launchSpeed = 0.0;
    bool escaped = false;           // the physics lost the ball (never in a kept course)
};

// Simulates one shot. Gives up after maxSeconds of flight (terminal 0).
Flight simulateFlight(double launchSpeed, const ShotVariation& variation, double maxSeconds = 3.9);

// True for the markers that move the ball on (wings, near-tulip, near-gate,
// the right pocket's through gate).
bool isPassThroughMarker(int32_t marker);
// True for the markers that take the ball as an entry: 6 balls and a spin of
// the reels (993 995 996). The top pocket (992) pays without a spin.
bool isEntryMarker(int32_t marker);
// True for the markers that always remove the ball (991 992 993 995 996 999).
bool isRemovingMarker(int32_t marker);

// The launch bands of the parlour: dial range and the patterns they launch.
struct Band {
    int32_t dialLow, dialHigh;   // inclusive
    int32_t firstPattern, count; // patterns firstPattern .. firstPattern + count - 1
    int32_t fullRangeOnly;       // the first this many patterns come only from full-range launches
    bool counted;                // the nail countdown governs the band's launches
};
constexpr int32_t BAND_COUNT = 10;
extern const Band BANDS[BAND_COUNT];
// Weak shots: patterns 0, 1, 2 for dial 1..12, 13..25, 26..38.
extern const Band WEAK_BANDS[3];

// Makes the whole table: simulates many shots per band and picks the
// courses. progress (may be null) receives one line per band.
BallPathTableData generateTable(std::string* progress = nullptr);

// The 32,000 bytes of "tama.dat" (little-endian signed 32-bit, pattern 0
// first, each pattern its 40 xs then its 40 ys) and back.
std::vector<uint8_t> tableBytes(const BallPathTableData& table);
bool tableFromBytes(const std::vector<uint8_t>& bytes, BallPathTableData& table);

}  // namespace courses
