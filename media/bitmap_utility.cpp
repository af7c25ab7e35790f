// Bitmaps into surfaces and palettes, and colour matching.
#include "media/bitmap_utility.h"

using namespace platform;

namespace {

// One byte of a YUV sample: above 255 becomes 255, below 0 becomes 0, the
// rest is truncated toward zero.
uint8_t yuvByte(double value) {
    if (value > 255.0) return 255;
    if (value < 0.0) return 0;
    return static_cast<uint8_t>(value);
}

}  // namespace

Bitmap* loadNamedBitmap(const char* name) {
    if (!name) return nullptr;
    if (Bitmap* resource = loadBitmapResource(name)) return resource;
    return loadBitmapFile(name);
}

Surface* loadBitmapSurface(Display* display, const char* name, const PixelFormat* format) {
    if (!display || !name) return nullptr;
    Bitmap* bitmap = loadNamedBitmap(name);
    if (!bitmap) return nullptr;
    Surface* surface = bitmapSurface(display, bitmap, format);
    deleteBitmap(bitmap);
    return surface;
}

Surface* bitmapSurface(Display* display, Bitmap* bitmap, const PixelFormat* format) {
    if (!display || !bitmap) return nullptr;
    BitmapInfo info;
    getBitmapInfo(bitmap, info);

    SurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.caps = DDSCAPS_OFFSCREENPLAIN;
    desc.width = info.width;
    desc.height = info.height;
    if (format) {
        desc.flags |= DDSD_PIXELFORMAT;
        desc.format = *format;
    }
    Surface* surface = nullptr;
    if (displayFailed(createSurface(display, desc, &surface))) return nullptr;
    copyBitmap(surface, bitmap, 0, 0, 0, 0);
    return surface;
}

void reloadBitmap(Surface* surface, const char* name) {
    // An absent picture has nothing to reload into.
    if (!surface) return;
    Bitmap* bitmap = loadNamedBitmap(name);
    if (!bitmap) return;
    SurfaceDesc desc;
    getSurfaceDesc(surface, desc);
    if (!(desc.format.flags == DDPF_FOURCC && copyBitmapToYuv(surface, bitmap)))
        copyBitmap(surface, bitmap, 0, 0, 0, 0);
    deleteBitmap(bitmap);
}

DisplayResult copyBitmap(Surface* surface, Bitmap* bitmap, int x, int y, int width, int height) {
    SurfaceDesc desc;
    if (!displayFailed(getSurfaceDesc(surface, desc)) && desc.format.flags == DDPF_FOURCC &&
        copyBitmapToYuv(surface, bitmap))
        return DD_OK;

    BitmapInfo info;
    getBitmapInfo(bitmap, info);
    if (width == 0) width = info.width;
    if (height == 0) height = info.height;

    DrawContext* memory = createMemoryContext();
    Bitmap* previous = selectBitmap(memory, bitmap);
    DrawContext* context = nullptr;
    DisplayResult result = getDC(surface, &context);
    if (!displayFailed(result)) {
        bitBlt(context, x, y, width, height, memory, 0, 0);
        releaseDC(surface, context);
    }
    selectBitmap(memory, previous);
    deleteContext(memory);
    return result;
}

bool copyBitmapToYuv(Surface* surface, Bitmap* bitmap) {
    DrawContext* memory = createMemoryContext();
    Bitmap* previous = selectBitmap(memory, bitmap);
    SurfaceDesc desc;
    if (displayFailed(lockSurface(surface, nullptr, desc, DDLOCK_WAIT))) {
        selectBitmap(memory, previous);
        deleteContext(memory);
        return false;
    }

    const uint32_t code = desc.format.fourCC;
    if (desc.format.flags == DDPF_FOURCC && (code == FOURCC_UYVY || code == FOURCC_YUY2)) {
        uint8_t* row = static_cast<uint8_t*>(desc.pixels);
        for (int y = 0; y < desc.height; ++y, row += desc.pitch) {
            for (int x = 0; x < desc.width; x += 2) {
                // Beyond the bitmap's edge getPixel answers CLR_INVALID,
                // whose colour bytes read as white.
                const uint32_t first = getPixel(memory, x, y);
                const uint32_t second = getPixel(memory, x + 1, y);
                double r = first & 0xFF, g = (first >> 8) & 0xFF, b = (first >> 16) & 0xFF;
                const uint8_t y0 = yuvByte(0.299 * r + 0.587 * g + 0.114 * b);
                const uint8_t u = yuvByte(128 - 0.14 * r - 0.29 * g + 0.43 * b);
                r = second & 0xFF, g = (second >> 8) & 0xFF, b = (second >> 16) & 0xFF;
                const uint8_t y1 = yuvByte(0.299 * r + 0.587 * g + 0.114 * b);
                const uint8_t v = yuvByte(0.36 * r + 128 - 0.29 * g - 0.07 * b);
                // An odd width's last pair still fits: rows are padded to
                // whole 32-bit words.
                if (2 * x + 4 > desc.pitch) break;
                uint8_t* out = row + 2 * x;
                if (code == FOURCC_UYVY) {
                    out[0] = u, out[1] = y0, out[2] = v, out[3] = y1;
                } else {
                    out[0] = y0, out[1] = u, out[2] = y1, out[3] = v;
                }
            }
        }
    }

    unlockSurface(surface, nullptr);
    selectBitmap(memory, previous);
    deleteContext(memory);
    return true;
}

Palette* loadBitmapPalette(Display* display, const char* name, Bitmap* bitmap) {
    Bitmap* loaded = nullptr;
    if (!bitmap) {
        loaded = loadNamedBitmap(name);
        if (!loaded) return nullptr;
        bitmap = loaded;
    }
    DrawContext* memory = createMemoryContext();
    Bitmap* previous = selectBitmap(memory, bitmap);
    RgbQuad table[256];
    const int count = getColorTable(memory, 0, 256, table);
    selectBitmap(memory, previous);
    deleteContext(memory);

    PaletteEntry entries[256] = {};
    for (int i = 0; i < count; ++i) entries[i] = PaletteEntry{table[i].red, table[i].green, table[i].blue, 0};
    Palette* palette = nullptr;
    if (displayFailed(createPalette(display, DDPCAPS_8BIT, entries, &palette))) palette = nullptr;
    if (loaded) deleteBitmap(loaded);
    return palette;
}

bool measureColor(Surface* surface, uint32_t colour, uint32_t& value) {
    value = 0;
    DrawContext* context = nullptr;
    if (displayFailed(getDC(surface, &context))) return false;
    const uint32_t remembered = getPixel(context, 0, 0);
    setPixel(context, 0, 0, colour);
    releaseDC(surface, context);

    bool measured = false;
    SurfaceDesc desc;
    if (!displayFailed(lockSurface(surface, nullptr, desc, DDLOCK_WAIT))) {
        // The first 32-bit word, little-endian; below 32 bits per pixel it
        // also holds the next pixel, which the mask removes.
        const uint8_t* p = static_cast<const uint8_t*>(desc.pixels);
        value = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        if (desc.format.bitCount < 32) value &= (uint32_t{1} << desc.format.bitCount) - 1;
        unlockSurface(surface, nullptr);
        measured = true;
    }

    if (!displayFailed(getDC(surface, &context))) {
        setPixel(context, 0, 0, remembered);
        releaseDC(surface, context);
    }
    return measured;
}

uint32_t matchColor(Surface* surface, uint32_t colour) {
    uint32_t value = 0;
    measureColor(surface, colour, value);
    return value;
}
