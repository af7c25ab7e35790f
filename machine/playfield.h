// Where everything is on the machine's playfield: the one table that the
// parlour screen, the playfield picture (back3.bmp) and the ball course
// generator all read, so that the art, the hit areas and the recorded courses
// can never drift apart.
//
// Coordinates are pixels of the 640 × 416 parlour picture, origin top left,
// y downwards. A PfRect is {left, top, right, bottom}, right/bottom exclusive.
// The ball is a 17 × 17 picture drawn at its waypoint (its top-left corner);
// the physical ball is the circle of radius 8.5 around waypoint + (8.5, 8.5).
//
// Angles (PfArc) are in degrees on the screen: 0 points right, 90 down,
// 180 left, 270 up; an arc runs from startDeg to endDeg increasing, i.e.
// clockwise on the screen.
#pragma once

#include <cstdint>

struct PfRect {
    int32_t left, top, right, bottom;
    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool contains(double x, double y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};
struct PfPoint {
    int32_t x, y;
};
struct PfArc {
    int32_t cx, cy, radius;
    int32_t startDeg, endDeg;  // clockwise on the screen, start < end
};
struct PfSegment {
    PfPoint a, b;
};

constexpr int32_t PF_WIDTH = 640;
constexpr int32_t PF_HEIGHT = 416;
constexpr int32_t BALL_SIZE = 17;
constexpr double BALL_RADIUS = 8.5;

// --- the controls at the right and left of the board ------------------------

constexpr PfRect LEAVE_BUTTON = {515, 1, 639, 44};     // x 515..638, y 1..43
constexpr PfPoint CASH_TEXT = {530, 70};                // "%10d 円"
constexpr PfPoint BALLS_TEXT = {530, 120};              // "%10d 玉"
// Panels drawn behind the two counters (the text has an opaque pale-yellow
// background of its own; the panel frames it).
constexpr PfRect CASH_PANEL = {522, 62, 636, 92};
constexpr PfRect BALLS_PANEL = {522, 112, 636, 142};
constexpr PfRect LENDER = {16, 91, 62, 158};           // hover 16..61 × 91..156, click 14..60 × 91..157
constexpr PfRect LENDER_LIT = {40, 92, 70, 157};       // koin.bmp (30 × 65), keyed
// The ball tray: three rows of three balls (tama.bmp) under the lender.
constexpr PfRect TRAY = {15, 353, 62, 404};
constexpr int32_t TRAY_ROW_Y[3] = {353, 370, 387};
constexpr int32_t TRAY_BALL_X[3] = {15, 46, 30};         // the second copy is 15 wide (46..61)
// The launch dial: dial.bmp (101 × 28) slides from y 346..374 at power 0 up
// to y 176..204 at power 170, always x 524..625.
constexpr PfRect DIAL_AT_ZERO = {524, 346, 625, 374};
constexpr int32_t DIAL_MAX_POWER = 170;
constexpr PfRect DIAL_TRACK = {524, 176, 625, 374};    // everything the lever covers
constexpr PfRect DIAL_REGION = {525, 171, 625, 368};   // pointer region 525..624 × 171..367
constexpr PfRect STOP_AREA = {531, 383, 625, 414};     // stop.bmp (94 × 31) when launching is stopped
constexpr PfRect STOP_BUTTON = {532, 385, 625, 413};   // pointer region 532..624 × 385..412

// --- the machine's moving parts (drawn over back3.bmp each tick) -------------

constexpr int32_t WING_SIZE = 35;
constexpr PfPoint WING_POS[4] = {{160, 110}, {166, 216}, {390, 110}, {384, 216}};  // hane1/hane2
constexpr PfRect LEFT_TULIP = {117, 220, 172, 254};    // tyu1_o / tyu1_c, 55 × 34
constexpr PfRect RIGHT_TULIP = {412, 270, 468, 323};   // tyu2_o / tyu2_c, 56 × 53
constexpr PfRect REEL_WINDOW = {236, 178, 350, 235};
constexpr int32_t REEL_X[3] = {236, 274, 312};          // 236 + 38 i, each 34 wide
constexpr int32_t REEL_WIDTH = 34;
constexpr PfPoint HOLD_LAMP_POS[4] = {{255, 135}, {272, 135}, {304, 135}, {321, 135}};  // lamp1, 9 × 9
constexpr PfPoint OVERFLOW_LAMP_POS = {287, 136};      // lamp2, 8 × 8
constexpr PfRect GATE = {248, 350, 339, 373};          // gate.bmp = the open gate, 91 × 23
constexpr PfPoint GATE_LAMP_POS[8] = {{216, 348}, {207, 354}, {194, 366}, {186, 373},
                                      {370, 348}, {378, 354}, {393, 366}, {400, 372}};  // lamp3, 5 × 5
constexpr PfPoint GATE_LAMP_SMALL_POS[2] = {{200, 360}, {385, 360}};  // lamp4, 4 × 4

// Nail marks (t1.bmp, 6 × 4, opaque): per nail setting 0..6, the top-left
// corners the parlour paints. They are the colour tags a parlour puts beside
// the "life nails" it has bent: each mark sits just inside one of the pair of
// nails guarding a pocket mouth (LIFE_NAILS below), so a wider-spread pair of
// marks reads as an opened mouth. Setting 3 is the standard board: no marks.
constexpr int32_t NAIL_MARK_WIDTH = 6;
constexpr int32_t NAIL_MARK_HEIGHT = 4;
struct NailMarkSet {
    int32_t count;
    PfPoint at[6];
};
constexpr NailMarkSet NAIL_MARKS[7] = {
    {6, {{258, 46}, {276, 46}, {282, 65}, {295, 65}, {283, 286}, {295, 286}}},
    {4, {{282, 65}, {295, 65}, {283, 286}, {295, 286}}},
    {2, {{283, 286}, {295, 286}}},
    {0, {}},
    {2, {{281, 286}, {297, 286}}},
    {4, {{280, 65}, {297, 65}, {281, 286}, {297, 286}}},
    {6, {{260, 46}, {274, 46}, {280, 65}, {297, 65}, {281, 286}, {297, 286}}},
};

// --- the board: rails, walls and fixed parts ---------------------------------
//
// The board is the disc of the outer rail. The ball is shot from the bottom
// of the launch channel at the left (between the outer rail's straight left
// wall and the inner rail), runs up and clockwise along the outer rail and
// leaves it onto the board where the inner rail ends, at the top left.
// Too weak a shot falls back down the channel (return); a very strong one
// runs over the top and meets the return rubber at the upper right.

constexpr int32_t BOARD_CX = 292, BOARD_CY = 214;
constexpr int32_t OUTER_RAIL_RADIUS = 204;              // the rail's inner face
constexpr int32_t INNER_RAIL_RADIUS = 182;
constexpr double RAIL_HALF_WIDTH = 1.5;                 // rails and walls are 3 px strips
constexpr PfArc OUTER_RAIL = {BOARD_CX, BOARD_CY, OUTER_RAIL_RADIUS, 180, 400};
constexpr PfSegment OUTER_RAIL_LEFT_WALL = {{88, 408}, {88, 214}};   // the channel's outer wall
constexpr PfSegment RIGHT_FLOOR = {{448, 345}, {338, 404}};          // from the rail's end at 40 deg
constexpr PfArc INNER_RAIL = {BOARD_CX, BOARD_CY, INNER_RAIL_RADIUS, 180, 236};
constexpr PfSegment INNER_RAIL_STRAIGHT = {{110, 408}, {110, 214}};
constexpr PfSegment LEFT_FLOOR = {{110, 340}, {248, 404}};
constexpr PfSegment RETURN_RUBBER = {{448, 83}, {433, 96}};          // across the rail at 320 deg
// The channel's bottom, where the launcher shoots the ball from.
constexpr PfPoint LAUNCH_BALL_CENTRE = {99, 398};
constexpr int32_t CHANNEL_RIGHT = 110;                  // x below which a ball is in the channel

// Solid parts, as closed polygons (points clockwise on the screen).
struct PfPolygon {
    int32_t count;
    PfPoint p[10];
};
// The centre piece: the reel window and the hold lamps sit in it.
constexpr PfPolygon CENTRE_PIECE = {9, {{222, 158}, {240, 132}, {292, 112}, {346, 132}, {364, 158},
                                        {364, 245}, {350, 252}, {236, 252}, {222, 245}}};
// The pocket cups: shoulders slope outwards so a ball never rests on them.
constexpr PfPolygon TOP_POCKET_BODY = {6, {{268, 86}, {278, 80}, {306, 80}, {316, 86}, {316, 98}, {268, 98}}};
constexpr PfPolygon START_POCKET_BODY = {6, {{268, 306}, {278, 300}, {306, 300}, {316, 306}, {316, 318}, {268, 318}}};
// The tulips' closed petals: two halves with the narrow mouth between them.
// The left tulip's outer half reaches back to the inner rail as a ramp, so
// that a ball coming down the rail is led to the mouth instead of wedging
// between rail and tulip; the right tulip's outer half does the same
// against the outer rail.
constexpr PfPolygon LEFT_TULIP_HALVES[2] = {
    {5, {{111, 254}, {111, 218}, {131, 228}, {133, 228}, {133, 254}}},
    {5, {{156, 228}, {158, 228}, {170, 240}, {170, 254}, {156, 254}}}};
constexpr PfPolygon RIGHT_TULIP_HALVES[2] = {
    {5, {{420, 323}, {420, 288}, {426, 280}, {429, 280}, {429, 323}}},
    {7, {{451, 280}, {454, 280}, {486, 266}, {481, 286}, {471, 308}, {462, 323}, {451, 323}}}};
// The closed gate is a bar, slightly crowned so a ball rolls off it.
constexpr PfPolygon GATE_BAR = {5, {{248, 355}, {293, 346}, {339, 355}, {339, 373}, {248, 373}}};

// The windmills: a ball touching the blades turns them and is turned aside.
constexpr double WING_HUB_RADIUS = 4.0;                 // the axle (drawn; the blades reach over it)
constexpr double WING_BLADE_RADIUS = 16.0;              // reach of the blades
constexpr double WING_CX[4] = {177.5, 183.5, 407.5, 401.5};
constexpr double WING_CY[4] = {127.5, 233.5, 127.5, 233.5};

// The right pocket is a through gate: two posts with a light barrier between
// them. A ball passing opens both tulips and runs on.
constexpr PfPoint THROUGH_GATE_POSTS[2] = {{438, 168}, {468, 168}};
constexpr double POST_RADIUS = 2.5;

// Where a ball's centre is caught or counted (PfRect tested on the centre).
constexpr PfRect TOP_POCKET_MOUTH = {284, 70, 301, 99};       // 992
constexpr PfRect START_POCKET_MOUTH = {284, 290, 301, 319};   // 996
constexpr PfRect LEFT_TULIP_MOUTH = {136, 232, 154, 255};     // 993: into the closed tulip
constexpr PfRect RIGHT_TULIP_MOUTH = {431, 285, 450, 324};    // 995
constexpr PfRect LEFT_TULIP_NEAR = {117, 204, 172, 228};      // 985: where an open tulip would catch
constexpr PfRect RIGHT_TULIP_NEAR = {412, 254, 468, 282};     // 986
constexpr PfRect GATE_NEAR = {248, 322, 339, 350};            // 987: over the gate bar
constexpr PfRect THROUGH_GATE = {446, 160, 461, 177};         // 994
constexpr PfRect OUT_HOLE = {240, 392, 347, 416};             // 999
constexpr PfRect RETURN_HOLE = {88, 392, 110, 416};           // 991, falling back down the channel

// --- nails --------------------------------------------------------------------
//
// Nail heads are NAIL_RADIUS circles around these centres. Nails that a ball
// can pass between stand at least 22 px apart (the ball is 17 wide), and
// every nail keeps 21 px from any wall, so no ball can ever wedge.
constexpr double NAIL_RADIUS = 1.5;
constexpr int32_t NAIL_DRAW_RADIUS = 2;                 // heads drawn 5 px across

// The life nails: the pairs at the mouths that the nail marks tag. First the
// pair above the top pocket's approach (marks at y 46), then the top
// pocket's own pair (marks at y 65), then the start pocket's pair (y 286).
constexpr int32_t LIFE_NAIL_COUNT = 6;
constexpr PfPoint LIFE_NAILS[LIFE_NAIL_COUNT] = {{253, 48}, {287, 48}, {276, 67}, {307, 67}, {277, 288}, {307, 288}};

// Every nail of the board, the life nails first.
constexpr PfPoint NAILS[] = {
    {253, 48},
    {287, 48},
    {276, 67},
    {307, 67},
    {277, 288},
    {307, 288},
    {196, 104},
    {200, 208},
    {388, 104},
    {386, 208},
    {420, 210},
    {252, 276},
    {332, 276},
    {165, 204},
    {420, 256},
    {460, 256},
    {328, 38},
    {230, 58},
    {342, 58},
    {370, 58},
    {216, 78},
    {244, 78},
    {356, 78},
    {384, 78},
    {412, 78},
    {230, 98},
    {342, 98},
    {216, 118},
    {440, 118},
    {454, 138},
    {160, 158},
    {188, 158},
    {146, 178},
    {174, 178},
    {398, 178},
    {440, 198},
    {468, 198},
    {454, 218},
    {440, 238},
    {132, 278},
    {160, 278},
    {188, 278},
    {216, 278},
    {356, 278},
    {384, 278},
    {146, 298},
    {174, 298},
    {202, 298},
    {230, 298},
    {342, 298},
    {370, 298},
    {398, 298},
    {132, 318},
    {160, 318},
    {188, 318},
    {216, 318},
    {356, 318},
    {384, 318},
    {174, 338},
    {202, 338},
    {230, 338},
    {370, 338},
    {398, 338},
};
constexpr int32_t NAIL_COUNT = static_cast<int32_t>(sizeof(NAILS) / sizeof(NAILS[0]));
