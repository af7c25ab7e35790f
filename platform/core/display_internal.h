// The records behind the display handles, shared by the display's source
// files (surfaces and blits, drawing contexts and text, bitmaps, the screen).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/screen.h"

namespace platform {

struct Display {
    Window* window = nullptr;
    uint32_t cooperativeLevel = 0;
};

struct Clipper {
    Window* window = nullptr;
};

struct Palette {
    PaletteEntry entries[256];
};

struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;  // bytes, a multiple of 4
    PixelFormat format;
    uint32_t caps = 0;
    // Whole 32-bit words so that XRGB rows are real uint32_t objects; other
    // formats are reached byte-wise (memcpy), never through a cast.
    std::vector<uint32_t> memory;
    bool lost = false;
    bool locked = false;
    DrawContext* context = nullptr;  // the context handed out by getDC
    bool hasSourceKey = false;
    ColorKey sourceKey;
    Palette* palette = nullptr;
    Clipper* clipper = nullptr;

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(memory.data()); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(memory.data()); }
};

struct Bitmap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    std::vector<uint32_t> pixels;      // 0x00RRGGBB, top row first
    std::vector<uint32_t> colorTable;  // 0x00RRGGBB; empty for true colour
};

struct DrawContext {
    Surface* surface = nullptr;  // a surface context
    Bitmap* bitmap = nullptr;    // a memory context's selected bitmap
    uint32_t backColour = 0x00FFFFFFu;
    uint32_t textColour = 0x00000000u;
};

// Process-wide state of the display substitute.
struct FaultCounter {
    int skip = 0;
    int fail = 0;
};
constexpr int DISPLAY_STEP_COUNT = 7;

struct DisplayState {
    std::vector<Surface*> surfaces;  // every live surface
    Surface* primary = nullptr;
    FaultCounter faults[DISPLAY_STEP_COUNT];
    DisplayObjectCounts counts;
    PresentListener presentListener = nullptr;
    void* presentContext = nullptr;
    std::vector<int32_t> columnMap;  // scratch of stretching blits
};
extern DisplayState displayState;

// True when an injected failure of this step is due now (and counts it).
bool stepFails(DisplayStep step);

// GDI colour (0x00BBGGRR) <-> XRGB (0x00RRGGBB); the same swap both ways.
constexpr uint32_t swapRedBlue(uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
// An XRGB colour in an RGB surface format, and back.
uint32_t encodePixel(const PixelFormat& format, uint32_t xrgb);
uint32_t decodePixel(const PixelFormat& format, uint32_t value);
bool isRgbFormat(const PixelFormat& format);
int bytesPerPixel(const PixelFormat& format);

inline uint32_t readPixelValue(const Surface& s, int x, int y) {
    const uint8_t* p = s.bytes() + static_cast<std::size_t>(y) * s.pitch;
    if (s.format.bitCount == 32) {
        uint32_t v;
        std::memcpy(&v, p + static_cast<std::size_t>(x) * 4, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, p + static_cast<std::size_t>(x) * 2, 2);
    return v;
}
inline void writePixelValue(Surface& s, int x, int y, uint32_t value) {
    uint8_t* p = s.bytes() + static_cast<std::size_t>(y) * s.pitch;
    if (s.format.bitCount == 32) {
        std::memcpy(p + static_cast<std::size_t>(x) * 4, &value, 4);
    } else {
        uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(p + static_cast<std::size_t>(x) * 2, &v, 2);
    }
}

// Called after a blit into the primary surface.
void notifyPresent();
// UTF-8 to UTF-16 as the text functions read it: a byte-order mark at the
// start is dropped, and every byte that does not start a well-formed
// sequence becomes U+FFFD on its own.
void utf8ToUtf16(const char* text, int byteLength, std::u16string& out);

}  // namespace platform
