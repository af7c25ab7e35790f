// The display device: pixel surfaces, blits, colour keys, palettes, text and
// pixel access through drawing contexts, and bitmaps loaded by name.
//
// The game was designed against a windowed 2-D blitter display with GDI text
// on its surfaces, and relies on that model's exact rules: a blit that does
// not lie wholly inside both surfaces is refused rather than clipped, a keyed
// blit skips exactly the pixels equal to the key, surfaces can be "lost" and
// must be restored, a drawing context on a surface excludes blits into it.
// This header offers the same operations over our own pixel buffers so that
// the game's presentation code keeps its shape and its failure paths.
//
// Surfaces are 32-bit XRGB (0x00RRGGBB) unless another format is asked for;
// 16-bit RGB565 and packed YUV ("UYVY", "YUY2") surfaces exist so that code
// which must cope with other display formats can be exercised on real pixels.
// The primary surface is the window's 640 × 416 game area (platform/screen.h).
//
// Results follow the COM convention: 0 is success, failures are negative.
#pragma once

#include <cstdint>

namespace platform {

struct Window;

struct Display;      // the device; creates everything else
struct Surface;      // a pixel buffer
struct Palette;      // 256 colour entries
struct Clipper;      // limits blits into the primary surface to the window
struct DrawContext;  // text and pixel drawing on a surface or a bitmap
struct Bitmap;       // a picture loaded from a file

// --- results ---------------------------------------------------------------
using DisplayResult = int32_t;
constexpr DisplayResult displayError(uint32_t code) { return static_cast<DisplayResult>(code); }

constexpr DisplayResult DD_OK = 0;
constexpr DisplayResult DDERR_GENERIC = displayError(0x80004005u);
constexpr DisplayResult DDERR_UNSUPPORTED = displayError(0x80004001u);
constexpr DisplayResult DDERR_INVALIDPARAMS = displayError(0x80070057u);
constexpr DisplayResult DDERR_OUTOFMEMORY = displayError(0x8007000Eu);
constexpr DisplayResult DDERR_INVALIDOBJECT = displayError(0x88760082u);
constexpr DisplayResult DDERR_INVALIDPIXELFORMAT = displayError(0x88760091u);
constexpr DisplayResult DDERR_INVALIDRECT = displayError(0x88760096u);
constexpr DisplayResult DDERR_NOCOLORKEY = displayError(0x887600D7u);
constexpr DisplayResult DDERR_OUTOFVIDEOMEMORY = displayError(0x8876017Cu);
constexpr DisplayResult DDERR_SURFACEBUSY = displayError(0x887601AEu);
constexpr DisplayResult DDERR_SURFACELOST = displayError(0x887601C2u);
constexpr DisplayResult DDERR_PRIMARYSURFACEALREADYEXISTS = displayError(0x88760234u);
constexpr DisplayResult DDERR_NOTLOCKED = displayError(0x88760248u);
constexpr DisplayResult DDERR_CANTCREATEDC = displayError(0x8876024Cu);
constexpr DisplayResult DDERR_NODC = displayError(0x88760253u);
constexpr DisplayResult DDERR_DCALREADYCREATED = displayError(0x8876026Cu);

constexpr bool displayFailed(DisplayResult r) { return r < 0; }

// --- rectangles ------------------------------------------------------------
// Left, top, right, bottom in pixels; right and bottom are exclusive, so
// (0, 0)-(17, 17) covers 17 × 17 pixels.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
constexpr Rect makeRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return Rect{left, top, right, bottom};
}
constexpr bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// --- pixel formats ---------------------------------------------------------
enum : uint32_t { DDPF_FOURCC = 0x4, DDPF_RGB = 0x40 };

constexpr uint32_t makeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}
constexpr uint32_t FOURCC_UYVY = makeFourCC('U', 'Y', 'V', 'Y');
constexpr uint32_t FOURCC_YUY2 = makeFourCC('Y', 'U', 'Y', '2');

struct PixelFormat {
    uint32_t flags = 0;     // DDPF_RGB or DDPF_FOURCC
    uint32_t fourCC = 0;    // with DDPF_FOURCC
    uint32_t bitCount = 0;  // bits per pixel
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
};
constexpr PixelFormat PIXEL_XRGB32 = {DDPF_RGB, 0, 32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
constexpr PixelFormat PIXEL_RGB565 = {DDPF_RGB, 0, 16, 0xF800u, 0x07E0u, 0x001Fu};
constexpr PixelFormat PIXEL_UYVY = {DDPF_FOURCC, FOURCC_UYVY, 16, 0, 0, 0};
constexpr PixelFormat PIXEL_YUY2 = {DDPF_FOURCC, FOURCC_YUY2, 16, 0, 0, 0};

// --- surface descriptions --------------------------------------------------
enum : uint32_t {
    DDSD_CAPS = 0x1,
    DDSD_HEIGHT = 0x2,
    DDSD_WIDTH = 0x4,
    DDSD_PITCH = 0x8,
    DDSD_PIXELFORMAT = 0x1000,
};
enum : uint32_t { DDSCAPS_OFFSCREENPLAIN = 0x40, DDSCAPS_PRIMARYSURFACE = 0x200 };

struct SurfaceDesc {
    uint32_t flags = 0;     // which of the fields below are given (DDSD_*)
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;      // bytes from one row to the next (always a multiple of 4)
    void* pixels = nullptr; // set by lockSurface only
    PixelFormat format;     // with DDSD_PIXELFORMAT; the display's format otherwise
    uint32_t caps = 0;      // DDSCAPS_*
};

// --- the device ------------------------------------------------------------
enum : uint32_t { DDSCL_NORMAL = 8 };

DisplayResult createDisplay(Display** out);
// Releasing the device leaves the objects it made alive; release them first.
void releaseDisplay(Display* display);
DisplayResult setCooperativeLevel(Display* display, Window* window, uint32_t flags);

// Primary: caps DDSCAPS_PRIMARYSURFACE and no size (it is the 640 × 416 game
// area, XRGB); only one exists at a time. Offscreen: caps
// DDSCAPS_OFFSCREENPLAIN with width and height, optionally a pixel format.
DisplayResult createSurface(Display* display, const SurfaceDesc& desc, Surface** out);
void releaseSurface(Surface* surface);
DisplayResult getSurfaceDesc(Surface* surface, SurfaceDesc& out);

// --- blits -----------------------------------------------------------------
enum : uint32_t { DDBLT_KEYSRC = 0x00008000u, DDBLT_WAIT = 0x01000000u };

// Copies src (a rectangle of source) into dst (a rectangle of target); a null
// rectangle means the whole surface. Sizes that differ are scaled (nearest
// neighbour). With DDBLT_KEYSRC, source pixels within the source's colour key
// are skipped. Refused with DDERR_INVALIDRECT (nothing drawn) when a rectangle
// is empty, when src is not wholly inside the source, or when dst is not
// wholly inside the target -- unless the target has a clipper, which clips dst
// to the surface instead. DDERR_SURFACELOST while either surface is lost,
// DDERR_SURFACEBUSY while either is locked or has a drawing context,
// DDERR_INVALIDPIXELFORMAT when the two formats differ. Blits into the
// primary surface tell the present listener (platform/screen.h).
DisplayResult blt(Surface* target, const Rect* dst, Surface* source, const Rect* src, uint32_t flags);

// --- colour keys -----------------------------------------------------------
enum : uint32_t { DDCKEY_SRCBLT = 0x8 };
struct ColorKey {
    uint32_t low = 0;   // pixel values low..high (inclusive) are transparent
    uint32_t high = 0;
};
DisplayResult setColorKey(Surface* surface, uint32_t flags, const ColorKey& key);
DisplayResult getColorKey(Surface* surface, uint32_t flags, ColorKey& out);

// --- locking ---------------------------------------------------------------
enum : uint32_t { DDLOCK_WAIT = 0x1 };
// Locks the surface (a null rectangle: all of it): out gets size, pitch,
// format and the memory of the rectangle's first pixel, valid until
// unlockSurface. Blits, contexts and a second lock wait for the unlock.
DisplayResult lockSurface(Surface* surface, const Rect* rect, SurfaceDesc& out, uint32_t flags);
DisplayResult unlockSurface(Surface* surface, const Rect* rect);

// --- loss and restore ------------------------------------------------------
// A lost surface refuses blits, locks and drawing contexts with
// DDERR_SURFACELOST until restored. Restore brings the memory back cleared to
// zero: the contents must be drawn again. Restoring a surface that is not
// lost succeeds and changes nothing.
DisplayResult restoreSurface(Surface* surface);
bool isSurfaceLost(Surface* surface);

// --- clipper and palette ---------------------------------------------------
DisplayResult createClipper(Display* display, uint32_t flags, Clipper** out);
void releaseClipper(Clipper* clipper);
DisplayResult setClipperWindow(Clipper* clipper, uint32_t flags, Window* window);
DisplayResult setClipper(Surface* surface, Clipper* clipper);

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
};
enum : uint32_t { DDPCAPS_8BIT = 0x4 };
// Only 256-entry palettes exist (DDPCAPS_8BIT).
DisplayResult createPalette(Display* display, uint32_t caps, const PaletteEntry entries[256], Palette** out);
void releasePalette(Palette* palette);
DisplayResult getPaletteEntries(Palette* palette, PaletteEntry out[256]);
// Attaches the palette to the surface. Our surfaces are true colour, so the
// palette changes no pixel; it is kept so that it can be asked for.
DisplayResult setPalette(Surface* surface, Palette* palette);
Palette* attachedPalette(Surface* surface);

// --- drawing contexts ------------------------------------------------------
// Colours in and out are GDI colour values 0x00BBGGRR.
constexpr uint32_t CLR_INVALID = 0xFFFFFFFFu;

// A context on a surface holds the surface as if locked: no blit into or out
// of it, no lock, no second context until releaseDC. Fails with
// DDERR_CANTCREATEDC on YUV surfaces.
DisplayResult getDC(Surface* surface, DrawContext** out);
DisplayResult releaseDC(Surface* surface, DrawContext* context);

// A memory context with no surface; select a bitmap into it to read from it.
DrawContext* createMemoryContext();
void deleteContext(DrawContext* context);
// Returns the bitmap selected before (null at first).
Bitmap* selectBitmap(DrawContext* context, Bitmap* bitmap);

// Return the previous colour. Defaults: background white, text black.
uint32_t setBkColor(DrawContext* context, uint32_t colour);
uint32_t setTextColor(DrawContext* context, uint32_t colour);
// Draws UTF-8 text (byteLength bytes) with its top-left corner at (x, y) in
// the default font, on an opaque cell of the background colour. False when
// the context has no surface.
bool textOut(DrawContext* context, int x, int y, const char* text, int byteLength);
// The size of the cell textOut would fill.
void textExtent(const char* text, int byteLength, int& width, int& height);

// CLR_INVALID outside the picture or without one.
uint32_t getPixel(DrawContext* context, int x, int y);
// Returns the colour actually set (after the surface's format), or
// CLR_INVALID outside the picture.
uint32_t setPixel(DrawContext* context, int x, int y, uint32_t colour);

// Copies width × height pixels from the bitmap selected into source, at
// (sx, sy), into the target context's surface at (x, y), converting to the
// surface's format. The copy is one to one and cut at the edges of both.
bool bitBlt(DrawContext* target, int x, int y, int width, int height, DrawContext* source, int sx, int sy);

// --- bitmaps ---------------------------------------------------------------
struct BitmapInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;  // of the file: 1, 4, 8, 24 or 32
};
struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

// A bitmap resource of the program. The program carries none: always null.
Bitmap* loadBitmapResource(const char* name);
// A BMP file (1, 4, 8, 24 or 32 bits per pixel) relative to the working
// directory. The exact name is tried first; when that does not exist, a file
// in the same folder whose name differs only in the case of ASCII letters is
// taken (the game names one file both "My1.bmp" and "my1.bmp"). Null when no
// file is found or it is not a readable BMP.
Bitmap* loadBitmapFile(const char* name);
void deleteBitmap(Bitmap* bitmap);
bool getBitmapInfo(Bitmap* bitmap, BitmapInfo& out);
// Reads colour-table entries start.. of the bitmap selected into the
// context; returns how many were copied (0 for a true-colour bitmap).
int getColorTable(DrawContext* context, int start, int count, RgbQuad* out);

// --- window canvases ---------------------------------------------------------
// The client area of a dialog, which the game writes its text on through a
// drawing context (getWindowDC in window.h). Not part of the display: never
// lost, not counted with the display's objects, never blitted.
Surface* createCanvas(int32_t width, int32_t height, uint32_t xrgbFill);
void destroyCanvas(Surface* canvas);

// Hears every line textOut draws (the headless backend logs dialog texts).
using TextListener = void (*)(void* context, DrawContext* drawContext, int x, int y, const char* text,
                              int byteLength);
void setTextListener(TextListener listener, void* context);
// The surface a drawing context draws on (null for a memory context).
Surface* contextSurface(DrawContext* context);

// --- text support ----------------------------------------------------------
// Makes the system ready to measure and draw text (on Linux: a Qt GUI
// application object on the "offscreen" platform when the process has none
// yet). Called lazily wherever fonts are needed; safe to call again.
void prepareTextDrawing();

// --- test hooks ------------------------------------------------------------
// Steps whose failure the game must survive.
enum class DisplayStep {
    CreateDevice,      // createDisplay
    CreatePrimary,     // createSurface of the primary surface
    CreateOffscreen,   // createSurface of any offscreen surface (the frame
                       // surface is the first one the game makes)
    GetDC,             // getDC on a surface
    Lock,              // lockSurface
    Restore,           // restoreSurface (the surface stays lost)
    CreatePalette,     // createPalette
};
// The next `skip` calls of the step succeed, then `count` calls fail.
void failDisplayStep(DisplayStep step, int count = 1, int skip = 0);
// Clears every injected failure.
void resetDisplayFaults();

void setSurfaceLost(Surface* surface, bool lost);
// Every live surface becomes lost (as when another program takes the display).
void loseAllSurfaces();

// Live objects, so tests can check that every path releases what it made.
struct DisplayObjectCounts {
    int displays = 0;
    int surfaces = 0;
    int palettes = 0;
    int clippers = 0;
    int contexts = 0;
    int bitmaps = 0;
};
DisplayObjectCounts displayObjectCounts();

// textOut stamps lines of common characters from a cache of each glyph's
// pixels (on, the default) or lays every line out through the font engine
// (off). Both draw the same pixels; the tests compare them.
void setTextGlyphCache(bool on);

}  // namespace platform
