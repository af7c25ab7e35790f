// The game's 37 pictures: their files, the surfaces they are held in, which
// of them are drawn with the white colour key, and the smallest size each
// file must have. Loaded once at display set-up, brought back after the
// display loses its surfaces, released at shutdown.
#pragma once

#include <cstdint>

#include "platform/display.h"

constexpr int PICTURE_COUNT = 37;

// One row of the picture list. readWidth × readHeight is the smallest picture
// that holds every source rectangle the screens take from it; a surface is as
// large as its file, so each file must be at least this large.
struct PictureFile {
    const char* file;
    bool keyed;  // drawn with the colour key of pure white
    int32_t readWidth;
    int32_t readHeight;
};

// In load order; restore walks it the same way, release backwards. Usable
// without the rest of the game (the picture generator checks its sizes
// against it).
inline constexpr PictureFile pictureFiles[PICTURE_COUNT] = {
    {"back1.bmp", false, 640, 416},  {"back2.bmp", false, 640, 416}, {"back3.bmp", false, 640, 416},
    {"ginko1.bmp", false, 300, 200}, {"home1.bmp", false, 300, 200}, {"tennai1.bmp", false, 321, 158},
    {"stop.bmp", false, 94, 31},     {"dial.bmp", false, 101, 28},   {"slot.bmp", false, 34, 346},
    {"gate.bmp", false, 91, 23},     {"t1.bmp", false, 6, 4},        {"hana.bmp", false, 32, 46},
    {"seiko.bmp", false, 145, 55},   {"hasan.bmp", false, 60, 27},   {"My1.bmp", true, 32, 32},
    {"My2.bmp", true, 32, 32},       {"do1_0.bmp", true, 21, 41},    {"do1_1.bmp", true, 12, 41},
    {"do1_2.bmp", true, 4, 41},      {"do2_0.bmp", true, 40, 40},    {"do2_1.bmp", true, 40, 40},
    {"do2_2.bmp", true, 40, 40},     {"do3_0.bmp", true, 62, 51},    {"do3_1.bmp", true, 62, 51},
    {"do3_2.bmp", true, 62, 51},     {"tama.bmp", true, 17, 17},     {"koin.bmp", true, 30, 65},
    {"hane1.bmp", true, 35, 35},     {"hane2.bmp", true, 35, 35},    {"tyu1_c.bmp", true, 55, 34},
    {"tyu1_o.bmp", true, 55, 34},    {"tyu2_c.bmp", true, 56, 53},   {"tyu2_o.bmp", true, 56, 53},
    {"lamp1.bmp", true, 9, 9},       {"lamp2.bmp", true, 8, 8},      {"lamp3.bmp", true, 5, 5},
    {"lamp4.bmp", true, 4, 4},
};

// The file whose colour table gives the game palette.
inline constexpr const char* PALETTE_FILE = "back1.bmp";
// The picture the colour key is measured on.
inline constexpr int KEY_PICTURE = 14;  // "My1.bmp"
// The colour every keyed picture is transparent in: pure white.
constexpr uint32_t KEY_COLOUR = 0x00FFFFFF;

// The picture surfaces, null while absent (not yet loaded, or the file could
// not be read).
extern platform::Surface* surfBack1;    // town backdrop, first frame
extern platform::Surface* surfBack2;    // town backdrop, second frame
extern platform::Surface* surfBack3;    // machine playfield
extern platform::Surface* surfGinko1;   // bank interior
extern platform::Surface* surfHome1;    // home interior
extern platform::Surface* surfTennai1;  // parlour interior
extern platform::Surface* surfStop;     // launch stop indicator
extern platform::Surface* surfDial;     // launch dial lever
extern platform::Surface* surfSlot;     // reel strip
extern platform::Surface* surfGate;     // bottom gate, open
extern platform::Surface* surfT1;       // nail mark
extern platform::Surface* surfHana;     // event-day flower
extern platform::Surface* surfSeiko;    // tycoon picture
extern platform::Surface* surfHasan;    // bankruptcy picture
extern platform::Surface* surfMy1;      // walker, first frame
extern platform::Surface* surfMy2;      // walker, second frame
extern platform::Surface* surfDo1_0;    // home door, base
extern platform::Surface* surfDo1_1;    // home door, leaf A
extern platform::Surface* surfDo1_2;    // home door, leaf B
extern platform::Surface* surfDo2_0;    // bank door, base
extern platform::Surface* surfDo2_1;    // bank door, leaf A
extern platform::Surface* surfDo2_2;    // bank door, leaf B
extern platform::Surface* surfDo3_0;    // parlour door, base
extern platform::Surface* surfDo3_1;    // parlour door, leaf A
extern platform::Surface* surfDo3_2;    // parlour door, leaf B
extern platform::Surface* surfTama;     // ball
extern platform::Surface* surfKoin;     // ball-lending unit under the pointer
extern platform::Surface* surfHane1;    // wing, first position
extern platform::Surface* surfHane2;    // wing, second position
extern platform::Surface* surfTyu1C;    // left tulip, closed
extern platform::Surface* surfTyu1O;    // left tulip, open
extern platform::Surface* surfTyu2C;    // right tulip, closed
extern platform::Surface* surfTyu2O;    // right tulip, open
extern platform::Surface* surfLamp1;    // hold lamp
extern platform::Surface* surfLamp2;    // entry lamp
extern platform::Surface* surfLamp3;    // gate lamp
extern platform::Surface* surfLamp4;    // gate lamp, small

// The variable of each row of pictureFiles, in the same order.
extern platform::Surface** const pictureSurfaces[PICTURE_COUNT];

// The colour key given to the keyed pictures by the last loadSurfaces.
extern platform::ColorKey pictureKey;

// Builds gamePalette from "back1.bmp" and sets it on primarySurface, loads
// every picture of the list (a picture that cannot be loaded stays null,
// silently), and gives the keyed pictures the colour key of pure white as
// measured on surfMy1.
void loadSurfaces();
// loadSurfaces in two halves, for a start-up that shows its first picture
// between them: the palette and the pictures the town at rest draws on its
// first tick (the backdrop's first frame, the doors, flowers, walker, home
// and end pictures), keyed, then all the others, keyed.
void loadFirstScreenSurfaces();
void loadOtherSurfaces();

// After a surface loss: restores primarySurface, then frameSurface (stopping
// at the first that fails), then every picture of the list, reloading each
// whose restore succeeds. True when everything came back.
bool restoreSurfaces();

// Releases the pictures, surfLamp4 first and surfBack1 last; every pointer is
// null afterwards.
void releaseSurfaces();
