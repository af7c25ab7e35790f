// The machine's records: the day schedule, the ball course table that
// "tama.dat" holds, and the state of the machine the player sits at. Plain
// data that the game state embeds and every layer above reads.
#pragma once

#include <cstdint>

constexpr int SCHEDULE_DAYS = 110;
constexpr int PARLOURS = 3;
constexpr int MACHINES_PER_PARLOUR = 7;

// One day of the schedule: 45 signed 32-bit values.
struct DayRecord {
    int32_t slotSetting[21];  // parlour p, machine m at p * 7 + m; 0..6
    int32_t nailSetting[21];  // same indexing; 0..6
    int32_t eventFlag[3];     // per parlour: 1 = event day (flowers in front)
};
static_assert(sizeof(DayRecord) == 45 * 4);

extern DayRecord daySchedule[SCHEDULE_DAYS];

// The ball courses: 100 patterns of 40 waypoints. A waypoint is the top-left
// corner of the 17 × 17 ball picture; an x of 980 or more is a region marker.
constexpr int PATTERNS = 100;
constexpr int STEPS = 40;
struct BallPattern {
    int32_t xs[STEPS];
    int32_t ys[STEPS];
};
struct BallPathTableData {
    BallPattern pattern[PATTERNS];
};
static_assert(sizeof(BallPathTableData) == 32000);
extern BallPathTableData BallPathTable;

// Region markers stored as a waypoint's x.
enum RegionMarker : int32_t {
    MARKER_MIN = 980,
    MARKER_WING_0 = 981,
    MARKER_WING_1 = 982,
    MARKER_WING_2 = 983,
    MARKER_WING_3 = 984,
    MARKER_NEAR_LEFT_TULIP = 985,
    MARKER_NEAR_RIGHT_TULIP = 986,
    MARKER_NEAR_GATE = 987,
    MARKER_RETURN = 991,
    MARKER_TOP_POCKET = 992,
    MARKER_LEFT_TULIP = 993,
    MARKER_RIGHT_POCKET = 994,
    MARKER_RIGHT_TULIP = 995,
    MARKER_START_POCKET = 996,
    MARKER_OUT = 999,
};
constexpr bool isRegionMarker(int32_t x) { return x >= MARKER_MIN; }

struct BallSlot {
    int32_t pattern;  // 0..99
    int32_t step;     // 0 = idle, 1..39 = the waypoint it is at
};

constexpr int BALL_SLOTS = 40;

struct MachineState {
    int32_t slotSetting = 0;
    int32_t nailSetting = 0;
    int32_t nailInterval = 1;
    int32_t nailCountdown = 1;
    int32_t reelMode = 1;
    int32_t reelReload = 1;
    int32_t reelCountdown = 1;
    int32_t reelPos[3] = {0, 0, 0};
    int32_t reelState = 0;
    int32_t reelTimer = 20;
    int32_t spinStock = 0;
    int32_t entryCount = 0;
    BallSlot ballSlots[BALL_SLOTS] = {};
    uint8_t wingTicks[4] = {0, 0, 0, 0};
    uint8_t tulipOpen[2] = {0, 0};
    int32_t launchTick = 0;
};
