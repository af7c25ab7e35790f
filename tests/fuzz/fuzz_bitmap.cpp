// Fuzzes picture loading with arbitrary files in a picture's place: the file
// reader, a new surface from the file, reloads into surfaces of every pixel
// format (as after a surface loss), the palette from its colour table, the
// colour measurement and blits out of the picture. Beyond the sanitizers it
// checks that a picture that loads has a sane size, that its surface is
// exactly as large, and that every path releases what it made.
#include <QtGlobal>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "media/bitmap_utility.h"
#include "platform/display.h"

using namespace platform;

namespace {

// The game loads "My1.bmp" also as "my1.bmp": write one name, read the other.
constexpr const char* WRITTEN = "Fuzz.bmp";
constexpr const char* READ = "fuzz.BMP";

void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

bool writeFile(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(WRITTEN, "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// Pictures whose header claims more than this many pixels are skipped: a
// few bytes can claim a picture of millions of pixels, which only costs time
// (each run would take seconds) and goes through the same code as a small one.
constexpr int64_t MAX_PIXELS = int64_t{1} << 16;

int64_t le(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return static_cast<int64_t>(v);
}

// The size the header claims, as either header kind states it; unknown
// headers count as small (the reader refuses them).
bool claimsHugePicture(const uint8_t* data, size_t size) {
    if (size < 26) return false;
    const int64_t header = le(data + 14, 4);
    int64_t width = 0, height = 0;
    if (header == 12) {
        width = le(data + 18, 2);
        height = le(data + 20, 2);
    } else {
        width = static_cast<int32_t>(le(data + 18, 4));
        height = static_cast<int32_t>(le(data + 22, 4));
    }
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    return width * height > MAX_PIXELS;
}

Surface* offscreen(Display* display, int width, int height, const PixelFormat* format) {
    SurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.caps = DDSCAPS_OFFSCREENPLAIN;
    desc.width = width;
    desc.height = height;
    if (format) {
        desc.flags |= DDSD_PIXELFORMAT;
        desc.format = *format;
    }
    Surface* surface = nullptr;
    createSurface(display, desc, &surface);
    return surface;
}

// Blits from the picture as the screens do: whole, a corner, stretched, keyed.
void blitsFrom(Surface* picture, Surface* target, int width, int height) {
    const Rect whole = makeRect(0, 0, width, height);
    const Rect corner = makeRect(0, 0, width < 17 ? width : 17, height < 17 ? height : 17);
    const Rect into = makeRect(3, 5, 3 + corner.right, 5 + corner.bottom);
    const Rect stretched = makeRect(0, 0, 40, 30);
    blt(target, &into, picture, &corner, DDBLT_WAIT);
    blt(target, &stretched, picture, &whole, DDBLT_WAIT);
    setColorKey(picture, DDCKEY_SRCBLT, ColorKey{0x00FFFFFF, 0x00FFFFFF});
    blt(target, &into, picture, &corner, DDBLT_WAIT | DDBLT_KEYSRC);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/pachinko-bitmap-fuzz-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
    prepareTextDrawing();
    // Qt's reader complains about every broken file; the fuzzer's own output
    // is what matters.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (claimsHugePicture(data, size) || !writeFile(data, size)) return 0;

    BitmapInfo info;
    Bitmap* bitmap = loadBitmapFile(READ);
    const bool loads = bitmap != nullptr;
    if (bitmap) {
        check(getBitmapInfo(bitmap, info), "bitmap info");
        check(info.width > 0 && info.height > 0, "a loaded picture has pixels");
        const int b = info.bitsPerPixel;
        check(b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32, "bits per pixel as the file says");
        deleteBitmap(bitmap);
    }

    Display* display = nullptr;
    check(!displayFailed(createDisplay(&display)), "display");
    Surface* target = offscreen(display, 64, 48, nullptr);
    Surface* picture = loadBitmapSurface(display, READ, nullptr);
    if (picture) {
        check(loads, "a surface only from a picture that loads");
        SurfaceDesc desc;
        check(!displayFailed(getSurfaceDesc(picture, desc)), "surface description");
        check(desc.width == info.width && desc.height == info.height, "the surface is as large as the picture");
        uint32_t value = 0;
        measureColor(picture, 0x00FFFFFF, value);
        blitsFrom(picture, target, desc.width, desc.height);
        releaseSurface(picture);
    }

    // Reloads into surfaces that were made for another picture, in every
    // format a display may have; odd sizes test the YUV pairs at the edge.
    const PixelFormat formats[] = {PIXEL_XRGB32, PIXEL_RGB565, PIXEL_UYVY, PIXEL_YUY2};
    for (const PixelFormat& format : formats) {
        Surface* existing = offscreen(display, 7, 5, &format);
        check(existing != nullptr, "small surface");
        reloadBitmap(existing, READ);
        releaseSurface(existing);
    }

    if (Palette* palette = loadBitmapPalette(display, READ, nullptr)) {
        check(loads, "a palette only from a picture that loads");
        releasePalette(palette);
    }
    releaseSurface(target);
    releaseDisplay(display);

    const DisplayObjectCounts counts = displayObjectCounts();
    check(counts.displays == 0 && counts.surfaces == 0 && counts.palettes == 0 && counts.contexts == 0 &&
              counts.bitmaps == 0,
          "everything made is released");
    return 0;
}
