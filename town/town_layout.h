// Where things are in the town: the one table that both the town screen and
// the picture generator read, so that the art can never drift away from the
// areas the walker is tested against.
//
// All coordinates are pixels of the 640 × 416 town picture, origin top left.
// A TownRect is {left, top, right, bottom} with right and bottom exclusive.
// A WalkerArea is an inclusive range tested on the walker's top-left corner
// (the walker sprite is WALKER_SIZE square, so its feet are at y + 32).
#pragma once

#include <cstdint>

struct TownRect {
    int32_t left, top, right, bottom;
    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
};

struct WalkerArea {
    int32_t xMin, xMax, yMin, yMax;  // inclusive
    constexpr bool contains(int32_t x, int32_t y) const {
        return x >= xMin && x <= xMax && y >= yMin && y <= yMax;
    }
};

constexpr int32_t TOWN_WIDTH = 640;
constexpr int32_t TOWN_HEIGHT = 416;
constexpr int32_t WALKER_SIZE = 32;
constexpr int32_t WALKER_START_X = 236;
constexpr int32_t WALKER_START_Y = 336;

// --- places --------------------------------------------------------------

enum TownPlace : int32_t {
    PLACE_HOME = 0,
    PLACE_BANK = 1,
    PLACE_PARLOUR_0 = 2,
    PLACE_PARLOUR_1 = 3,
    PLACE_PARLOUR_2 = 4,
};
constexpr int32_t DOOR_PLACES = 5;
constexpr int32_t TOWN_PARLOURS = 3;
constexpr int32_t SEATS_PER_PARLOUR = 7;

// One door: three pictures (base = the open doorway, leaf A = half open,
// leaf B = nearly open), each copied from its source into its own target.
struct DoorLayout {
    TownRect baseSource, baseTarget;
    TownRect leafASource, leafATarget;
    TownRect leafBSource, leafBTarget;
    WalkerArea entry;  // stepping here starts the visit
};

constexpr DoorLayout HOME_DOOR = {
    {0, 0, 21, 41}, {238, 359, 259, 400},
    {0, 0, 12, 41}, {237, 358, 249, 399},
    {0, 0, 4, 41}, {237, 358, 241, 399},
    {232, 236, 356, 372},
};

constexpr DoorLayout BANK_DOOR = {
    {0, 0, 40, 40}, {442, 359, 482, 399},
    {0, 0, 40, 40}, {442, 359, 482, 399},
    {0, 0, 40, 40}, {442, 359, 482, 399},
    {436, 456, 356, 372},
};

// The three parlours share one set of door pictures; parlour n's door
// stands 210 pixels right of parlour n - 1's.
constexpr DoorLayout PARLOUR_DOORS[TOWN_PARLOURS] = {
    {{0, 0, 62, 51}, {85, 138, 147, 189},
     {0, 0, 62, 51}, {85, 138, 147, 189},
     {0, 0, 62, 51}, {85, 138, 147, 189},
     {84, 120, 140, 156}},
    {{0, 0, 62, 51}, {295, 138, 357, 189},
     {0, 0, 62, 51}, {295, 138, 357, 189},
     {0, 0, 62, 51}, {295, 138, 357, 189},
     {296, 328, 140, 156}},
    {{0, 0, 62, 51}, {505, 138, 567, 189},
     {0, 0, 62, 51}, {505, 138, 567, 189},
     {0, 0, 62, 51}, {505, 138, 567, 189},
     {504, 540, 140, 156}},
};

// --- interiors -------------------------------------------------------------

// An interior picture is drawn from its whole source into its full
// rectangle; source and full rectangle have the same size, so at full size
// the picture sits 1:1 over the town and its spots line up with the art.
struct InteriorLayout {
    TownRect source;
    TownRect full;
};

constexpr InteriorLayout HOME_INTERIOR = {{0, 0, 300, 200}, {100, 200, 400, 400}};
constexpr InteriorLayout BANK_INTERIOR = {{0, 0, 300, 200}, {310, 200, 610, 400}};
constexpr InteriorLayout PARLOUR_INTERIORS[TOWN_PARLOURS] = {
    {{0, 0, 321, 158}, {0, 60, 321, 218}},
    {{0, 0, 321, 158}, {170, 60, 491, 218}},
    {{0, 0, 321, 158}, {318, 60, 639, 218}},
};

// Zoom step k (1..10) of the opening and closing animations. Home, bank and
// parlours 0 and 1 open and close through the same rectangles; parlour 2
// grows out of its door but shrinks toward the left.
constexpr TownRect homeZoom(int32_t k) { return {100 + 15 * k, 200 + 20 * k, 400 - 15 * k, 400}; }
constexpr TownRect bankZoom(int32_t k) { return {310 + 15 * k, 200 + 20 * k, 610 - 15 * k, 400}; }
constexpr TownRect parlourZoom(int32_t parlour, int32_t k, bool closing) {
    if (parlour == 0) return {10 * k, 60 + 10 * k, 321 - 20 * k, 218 - 3 * k};
    if (parlour == 1) return {170 + 15 * k, 60 + 10 * k, 491 - 15 * k, 218 - 3 * k};
    if (closing) return {318 + 10 * k, 60 + 10 * k, 639 - 20 * k, 218 - 3 * k};
    return {318 + 20 * k, 60 + 10 * k, 639 - 10 * k, 218 - 3 * k};
}

// --- movement boxes ----------------------------------------------------------

constexpr WalkerArea HOME_BOX = {96, 376, 260, 364};
constexpr WalkerArea BANK_BOX = {308, 580, 300, 364};
constexpr WalkerArea PARLOUR_BOXES[TOWN_PARLOURS] = {
    {0, 292, 100, 182},
    {168, 464, 100, 182},
    {316, 608, 100, 182},
};
constexpr WalkerArea TOWN_BOX = {0, 608, 0, 384};

// --- spots inside the interiors ----------------------------------------------

constexpr WalkerArea HOME_SUMMARY_SPOT = {184, 240, 256, 280};
constexpr WalkerArea HOME_BED_SPOT = {272, 360, 256, 280};
constexpr WalkerArea HOME_LEAVE_AREA = {228, 244, 356, 372};

// In the order deposit (state 21), withdrawal (22), loan (23), repayment (24).
constexpr int32_t BANK_COUNTERS = 4;
constexpr WalkerArea BANK_COUNTER_SPOTS[BANK_COUNTERS] = {
    {308, 340, 296, 312},
    {380, 428, 296, 312},
    {460, 508, 296, 312},
    {548, 580, 296, 312},
};
constexpr WalkerArea BANK_LEAVE_AREA = {436, 456, 356, 372};

constexpr WalkerArea PARLOUR_SEATS[TOWN_PARLOURS][SEATS_PER_PARLOUR] = {
    {{0, 20, 100, 116}, {44, 60, 100, 116}, {92, 108, 100, 116}, {132, 156, 100, 116},
     {180, 204, 100, 116}, {228, 244, 100, 116}, {268, 292, 100, 116}},
    {{168, 188, 100, 116}, {212, 228, 100, 116}, {260, 276, 100, 116}, {300, 324, 100, 116},
     {348, 372, 100, 116}, {396, 412, 100, 116}, {436, 460, 100, 116}},
    {{316, 336, 100, 116}, {360, 376, 100, 116}, {408, 424, 100, 116}, {448, 472, 100, 116},
     {496, 520, 100, 116}, {544, 560, 100, 116}, {584, 608, 100, 116}},
};
constexpr WalkerArea PARLOUR_LEAVE_AREAS[TOWN_PARLOURS] = {
    {136, 160, 172, 188},
    {308, 328, 172, 188},
    {456, 476, 172, 188},
};

// Walker positions the parlours force while the interior opens (stages 9..18)
// and while the door closes (stages 41..43).
struct WalkerPoint {
    int32_t x, y;
};
constexpr WalkerPoint PARLOUR_OPENING_WALKER[TOWN_PARLOURS] = {{148, 184}, {316, 184}, {464, 184}};
constexpr WalkerPoint PARLOUR_CLOSING_WALKER[TOWN_PARLOURS] = {{100, 156}, {308, 156}, {520, 156}};

// --- exchange booth, flowers, texts, end pictures ------------------------------

constexpr WalkerArea EXCHANGE_BOOTH_AREA = {8, 32, 272, 292};

// Event-day flower stands of parlour n: copied opaque from FLOWER_SOURCE to
// both targets, left and right of the door.
constexpr TownRect FLOWER_SOURCE = {0, 0, 32, 46};
constexpr TownRect flowerLeft(int32_t parlour) { return {50 + 210 * parlour, 143, 82 + 210 * parlour, 189}; }
constexpr TownRect flowerRight(int32_t parlour) { return {148 + 210 * parlour, 143, 180 + 210 * parlour, 189}; }

// The three status lines are drawn at x 0, y 0 / 18 / 36; this is the calm
// corner of the backdrop kept free for them.
constexpr int32_t STATUS_LINE_Y[3] = {0, 18, 36};
constexpr TownRect STATUS_TEXT_AREA = {0, 0, 220, 55};

// End pictures, stretched from their whole source over almost the whole town.
constexpr TownRect TYCOON_SOURCE = {0, 0, 145, 55};
constexpr TownRect TYCOON_TARGET = {0, 0, 639, 410};
constexpr TownRect BANKRUPT_SOURCE = {0, 0, 60, 27};
constexpr TownRect BANKRUPT_TARGET = {0, 0, 639, 416};
