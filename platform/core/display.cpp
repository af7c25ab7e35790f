// The display substitute: the device, surfaces, blits, colour keys, locking,
// loss and restore, clippers and palettes, and the test hooks.
#include <algorithm>
#include <cstring>

#include "display_internal.h"

namespace platform {

DisplayState displayState;

namespace {

// The game area the window shows; the primary surface is exactly this.
constexpr int PRIMARY_WIDTH = 640;
constexpr int PRIMARY_HEIGHT = 416;
// Larger requests are refused rather than risking an allocation failure.
constexpr int32_t MAX_SURFACE_SIDE = 16384;
constexpr int64_t MAX_SURFACE_PIXELS = int64_t{1} << 26;

bool sameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.flags == b.flags && a.fourCC == b.fourCC && a.bitCount == b.bitCount && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

bool knownFormat(const PixelFormat& f) {
    return sameFormat(f, PIXEL_XRGB32) || sameFormat(f, PIXEL_RGB565) || sameFormat(f, PIXEL_UYVY) ||
           sameFormat(f, PIXEL_YUY2);
}

Surface* newSurface(int32_t width, int32_t height, const PixelFormat& format, uint32_t caps) {
    Surface* s = new Surface;
    s->width = width;
    s->height = height;
    s->pitch = static_cast<int32_t>((static_cast<int64_t>(width) * bytesPerPixel(format) + 3) / 4 * 4);
    s->format = format;
    s->caps = caps;
    s->memory.assign(static_cast<std::size_t>(s->pitch / 4) * static_cast<std::size_t>(height), 0u);
    displayState.surfaces.push_back(s);
    ++displayState.counts.surfaces;
    return s;
}

bool busy(const Surface* s) { return s->locked || s->context != nullptr; }

bool emptyRect(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool insideSurface(const Rect& r, const Surface* s) {
    return r.left >= 0 && r.top >= 0 && r.right <= s->width && r.bottom <= s->height;
}

Rect wholeSurface(const Surface* s) { return makeRect(0, 0, s->width, s->height); }

template <int Bytes>
inline uint32_t loadPx(const uint8_t* row, int64_t x) {
    if constexpr (Bytes == 4) {
        uint32_t v;
        std::memcpy(&v, row + x * 4, 4);
        return v;
    } else {
        uint16_t v;
        std::memcpy(&v, row + x * 2, 2);
        return v;
    }
}

template <int Bytes>
inline void storePx(uint8_t* row, int64_t x, uint32_t v) {
    if constexpr (Bytes == 4) {
        std::memcpy(row + x * 4, &v, 4);
    } else {
        uint16_t h = static_cast<uint16_t>(v);
        std::memcpy(row + x * 2, &h, 2);
    }
}

// One row of a keyed copy of 32-bit pixels: every pixel outside the key
// range replaces the target's. Four pixels at a time, each lane choosing the
// source or the target value, so the compiler can use vector registers; the
// target keeps exactly the values it had where the key matched.
void keyedRow(uint32_t* out, const uint32_t* in, int64_t count, ColorKey key) {
    using Lanes = uint32_t __attribute__((vector_size(16)));
    const Lanes low = {key.low, key.low, key.low, key.low};
    const Lanes high = {key.high, key.high, key.high, key.high};
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        Lanes v, d;
        std::memcpy(&v, in + i, sizeof v);
        std::memcpy(&d, out + i, sizeof d);
        const Lanes shown = reinterpret_cast<Lanes>((v < low) | (v > high));
        d = (v & shown) | (d & ~shown);
        std::memcpy(out + i, &d, sizeof d);
    }
    for (; i < count; ++i)
        if (in[i] < key.low || in[i] > key.high) out[i] = in[i];
}

// The source pixel under the centre of target pixel i, (2i + 1) * from /
// (2 * to), for i = first, first + 1, ...: kept as quotient and remainder so
// that each step adds instead of dividing.
class CentreSampler {
public:
    CentreSampler(int64_t first, int64_t from, int64_t to)
        : den_(2 * to), q_((2 * first + 1) * from / den_), r_((2 * first + 1) * from % den_),
          stepQ_(2 * from / den_), stepR_(2 * from % den_) {}
    int64_t next() {
        const int64_t value = q_;
        q_ += stepQ_;
        r_ += stepR_;
        if (r_ >= den_) {
            r_ -= den_;
            ++q_;
        }
        return value;
    }

private:
    int64_t den_, q_, r_, stepQ_, stepR_;
};

// Copies the visible part `vis` of dst from src. dst and src are the full
// requested rectangles (src inside the source; vis inside dst and inside the
// target); where their sizes differ each target pixel takes the source pixel
// under its centre.
template <int Bytes>
void copyPixels(Surface& target, const Rect& dst, const Rect& vis, const Surface& source, const Rect& src,
                bool keyed, ColorKey key) {
    const int64_t dstW = int64_t{dst.right} - dst.left;
    const int64_t dstH = int64_t{dst.bottom} - dst.top;
    const int64_t srcW = int64_t{src.right} - src.left;
    const int64_t srcH = int64_t{src.bottom} - src.top;
    const int64_t visW = int64_t{vis.right} - vis.left;
    uint8_t* tbase = target.bytes();
    const uint8_t* sbase = source.bytes();

    if (dstW == srcW && dstH == srcH) {
        const int64_t sx0 = src.left + (int64_t{vis.left} - dst.left);
        const int64_t sy0 = src.top + (int64_t{vis.top} - dst.top);
        const int64_t visH = int64_t{vis.bottom} - vis.top;
        const int64_t rowBytes = visW * Bytes;
        if (!keyed && rowBytes == target.pitch && rowBytes == source.pitch) {
            // Whole rows on both sides (the background and the present):
            // the rectangles are one block of memory each.
            std::memcpy(tbase + int64_t{vis.top} * target.pitch, sbase + sy0 * source.pitch,
                        static_cast<std::size_t>(visH * rowBytes));
            return;
        }
        for (int64_t y = vis.top; y < vis.bottom; ++y) {
            uint8_t* trow = tbase + y * target.pitch;
            const uint8_t* srow = sbase + (sy0 + (y - vis.top)) * source.pitch;
            if (!keyed)
                std::memcpy(trow + int64_t{vis.left} * Bytes, srow + sx0 * Bytes, static_cast<std::size_t>(rowBytes));
            else if constexpr (Bytes == 4)
                keyedRow(reinterpret_cast<uint32_t*>(trow) + vis.left, reinterpret_cast<const uint32_t*>(srow) + sx0,
                         visW, key);
            else
                for (int64_t i = 0; i < visW; ++i) {
                    uint32_t v = loadPx<Bytes>(srow, sx0 + i);
                    if (v < key.low || v > key.high) storePx<Bytes>(trow, vis.left + i, v);
                }
        }
        return;
    }

    // Source column of each visible target column; the buffer is kept
    // between blits so that a stretching frame allocates nothing.
    std::vector<int32_t>& columns = displayState.columnMap;
    columns.resize(static_cast<std::size_t>(visW));
    CentreSampler column(int64_t{vis.left} - dst.left, srcW, dstW);
    for (int64_t i = 0; i < visW; ++i) columns[static_cast<std::size_t>(i)] = static_cast<int32_t>(src.left + column.next());
    CentreSampler row(int64_t{vis.top} - dst.top, srcH, dstH);
    for (int64_t y = vis.top; y < vis.bottom; ++y) {
        const int64_t sy = src.top + row.next();
        uint8_t* trow = tbase + y * target.pitch;
        const uint8_t* srow = sbase + sy * source.pitch;
        uint8_t* out = trow + int64_t{vis.left} * Bytes;
        const int32_t* column = columns.data();
        if (!keyed) {
            for (int64_t i = 0; i < visW; ++i) storePx<Bytes>(out, i, loadPx<Bytes>(srow, column[i]));
            continue;
        }
        for (int64_t i = 0; i < visW; ++i) {
            uint32_t v = loadPx<Bytes>(srow, column[i]);
            if (v < key.low || v > key.high) storePx<Bytes>(out, i, v);
        }
    }
}

}  // namespace

// --- helpers shared with the other display files ---------------------------

bool stepFails(DisplayStep step) {
    FaultCounter& f = displayState.faults[static_cast<int>(step)];
    if (f.fail <= 0) return false;
    if (f.skip > 0) {
        --f.skip;
        return false;
    }
    --f.fail;
    return true;
}

bool isRgbFormat(const PixelFormat& format) { return format.flags == DDPF_RGB; }

int bytesPerPixel(const PixelFormat& format) { return static_cast<int>(format.bitCount / 8); }

uint32_t encodePixel(const PixelFormat& format, uint32_t xrgb) {
    if (format.bitCount == 16) {
        uint32_t r = (xrgb >> 16) & 0xFFu, g = (xrgb >> 8) & 0xFFu, b = xrgb & 0xFFu;
        return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    }
    return xrgb & 0x00FFFFFFu;
}

uint32_t decodePixel(const PixelFormat& format, uint32_t value) {
    if (format.bitCount == 16) {
        uint32_t r = (value >> 11) & 0x1Fu, g = (value >> 5) & 0x3Fu, b = value & 0x1Fu;
        r = (r << 3) | (r >> 2);
        g = (g << 2) | (g >> 4);
        b = (b << 3) | (b >> 2);
        return (r << 16) | (g << 8) | b;
    }
    return value & 0x00FFFFFFu;
}

void notifyPresent() {
    if (displayState.presentListener) displayState.presentListener(displayState.presentContext);
}

// --- device ----------------------------------------------------------------

DisplayResult createDisplay(Display** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (stepFails(DisplayStep::CreateDevice)) return DDERR_GENERIC;
    *out = new Display;
    ++displayState.counts.displays;
    return DD_OK;
}

void releaseDisplay(Display* display) {
    if (!display) return;
    delete display;
    --displayState.counts.displays;
}

DisplayResult setCooperativeLevel(Display* display, Window* window, uint32_t flags) {
    if (!display) return DDERR_INVALIDOBJECT;
    display->window = window;
    display->cooperativeLevel = flags;
    return DD_OK;
}

// --- surfaces --------------------------------------------------------------

DisplayResult createSurface(Display* display, const SurfaceDesc& desc, Surface** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!display) return DDERR_INVALIDOBJECT;
    if (!(desc.flags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;

    if (desc.caps & DDSCAPS_PRIMARYSURFACE) {
        // The primary surface takes the size and format of the display.
        if (desc.flags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
        if (displayState.primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        if (stepFails(DisplayStep::CreatePrimary)) return DDERR_GENERIC;
        Surface* s = newSurface(PRIMARY_WIDTH, PRIMARY_HEIGHT, PIXEL_XRGB32, desc.caps);
        displayState.primary = s;
        *out = s;
        return DD_OK;
    }

    if (!(desc.caps & DDSCAPS_OFFSCREENPLAIN)) return DDERR_INVALIDPARAMS;
    if ((desc.flags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc.width <= 0 || desc.height <= 0) return DDERR_INVALIDPARAMS;
    if (desc.width > MAX_SURFACE_SIDE || desc.height > MAX_SURFACE_SIDE ||
        int64_t{desc.width} * desc.height > MAX_SURFACE_PIXELS)
        return DDERR_OUTOFMEMORY;
    PixelFormat format = PIXEL_XRGB32;
    if (desc.flags & DDSD_PIXELFORMAT) {
        if (!knownFormat(desc.format)) return DDERR_INVALIDPIXELFORMAT;
        format = desc.format;
    }
    if (stepFails(DisplayStep::CreateOffscreen)) return DDERR_OUTOFVIDEOMEMORY;
    *out = newSurface(desc.width, desc.height, format, desc.caps);
    return DD_OK;
}

void releaseSurface(Surface* surface) {
    if (!surface) return;
    if (surface->context) {
        delete surface->context;
        --displayState.counts.contexts;
    }
    auto& list = displayState.surfaces;
    list.erase(std::remove(list.begin(), list.end(), surface), list.end());
    if (displayState.primary == surface) displayState.primary = nullptr;
    delete surface;
    --displayState.counts.surfaces;
}

DisplayResult getSurfaceDesc(Surface* surface, SurfaceDesc& out) {
    if (!surface) return DDERR_INVALIDOBJECT;
    out = SurfaceDesc{};
    out.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    out.width = surface->width;
    out.height = surface->height;
    out.pitch = surface->pitch;
    out.format = surface->format;
    out.caps = surface->caps;
    return DD_OK;
}

// --- blits -----------------------------------------------------------------

DisplayResult blt(Surface* target, const Rect* dst, Surface* source, const Rect* src, uint32_t flags) {
    if (!target || !source) return DDERR_INVALIDPARAMS;
    if (target->lost || source->lost) return DDERR_SURFACELOST;
    if (busy(target) || busy(source)) return DDERR_SURFACEBUSY;
    if (!isRgbFormat(target->format) || !isRgbFormat(source->format)) return DDERR_UNSUPPORTED;
    if (!sameFormat(target->format, source->format)) return DDERR_INVALIDPIXELFORMAT;

    const Rect d = dst ? *dst : wholeSurface(target);
    const Rect s = src ? *src : wholeSurface(source);
    if (emptyRect(d) || emptyRect(s)) return DDERR_INVALIDRECT;
    if (!insideSurface(s, source)) return DDERR_INVALIDRECT;
    Rect vis = d;
    if (!insideSurface(d, target)) {
        // Only a clipper (the primary surface's, bound to the window) turns
        // an overhanging blit into a partial one; anywhere else it is refused.
        if (!target->clipper) return DDERR_INVALIDRECT;
        vis.left = std::max(d.left, 0);
        vis.top = std::max(d.top, 0);
        vis.right = std::min(d.right, target->width);
        vis.bottom = std::min(d.bottom, target->height);
        if (emptyRect(vis)) return DD_OK;
    }

    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !source->hasSourceKey) return DDERR_NOCOLORKEY;
    const ColorKey key = source->sourceKey;

    // A blit within one surface reads a snapshot, so overlapping rectangles
    // copy the picture as it was before the blit.
    Surface snapshot;
    const Surface* from = source;
    if (source == target) {
        snapshot.width = source->width;
        snapshot.height = source->height;
        snapshot.pitch = source->pitch;
        snapshot.format = source->format;
        snapshot.memory = source->memory;
        from = &snapshot;
    }
    if (target->format.bitCount == 32)
        copyPixels<4>(*target, d, vis, *from, s, keyed, key);
    else
        copyPixels<2>(*target, d, vis, *from, s, keyed, key);

    if (target == displayState.primary) notifyPresent();
    return DD_OK;
}

// --- colour keys -----------------------------------------------------------

DisplayResult setColorKey(Surface* surface, uint32_t flags, const ColorKey& key) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (flags != DDCKEY_SRCBLT) return DDERR_UNSUPPORTED;
    surface->hasSourceKey = true;
    surface->sourceKey = key;
    return DD_OK;
}

DisplayResult getColorKey(Surface* surface, uint32_t flags, ColorKey& out) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (flags != DDCKEY_SRCBLT) return DDERR_UNSUPPORTED;
    if (!surface->hasSourceKey) return DDERR_NOCOLORKEY;
    out = surface->sourceKey;
    return DD_OK;
}

// --- locking ---------------------------------------------------------------

DisplayResult lockSurface(Surface* surface, const Rect* rect, SurfaceDesc& out, uint32_t flags) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (surface->lost) return DDERR_SURFACELOST;
    if (busy(surface)) return DDERR_SURFACEBUSY;
    Rect r = rect ? *rect : wholeSurface(surface);
    if (emptyRect(r) || !insideSurface(r, surface)) return DDERR_INVALIDRECT;
    if (stepFails(DisplayStep::Lock)) return DDERR_SURFACEBUSY;
    getSurfaceDesc(surface, out);
    out.pixels = surface->bytes() + static_cast<std::size_t>(r.top) * surface->pitch +
                 static_cast<std::size_t>(r.left) * bytesPerPixel(surface->format);
    surface->locked = true;
    return DD_OK;
}

DisplayResult unlockSurface(Surface* surface, const Rect* rect) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (!surface->locked) return DDERR_NOTLOCKED;
    surface->locked = false;
    return DD_OK;
}

// --- loss and restore ------------------------------------------------------

DisplayResult restoreSurface(Surface* surface) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (stepFails(DisplayStep::Restore)) return DDERR_OUTOFVIDEOMEMORY;
    if (!surface->lost) return DD_OK;
    std::fill(surface->memory.begin(), surface->memory.end(), 0u);
    surface->lost = false;
    return DD_OK;
}

bool isSurfaceLost(Surface* surface) { return surface && surface->lost; }

// --- clipper and palette ---------------------------------------------------

DisplayResult createClipper(Display* display, uint32_t flags, Clipper** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!display) return DDERR_INVALIDOBJECT;
    *out = new Clipper;
    ++displayState.counts.clippers;
    return DD_OK;
}

void releaseClipper(Clipper* clipper) {
    if (!clipper) return;
    for (Surface* s : displayState.surfaces)
        if (s->clipper == clipper) s->clipper = nullptr;
    delete clipper;
    --displayState.counts.clippers;
}

DisplayResult setClipperWindow(Clipper* clipper, uint32_t flags, Window* window) {
    if (!clipper) return DDERR_INVALIDOBJECT;
    clipper->window = window;
    return DD_OK;
}

DisplayResult setClipper(Surface* surface, Clipper* clipper) {
    if (!surface) return DDERR_INVALIDOBJECT;
    surface->clipper = clipper;
    return DD_OK;
}

DisplayResult createPalette(Display* display, uint32_t caps, const PaletteEntry entries[256], Palette** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!display) return DDERR_INVALIDOBJECT;
    if (caps != DDPCAPS_8BIT || !entries) return DDERR_INVALIDPARAMS;
    if (stepFails(DisplayStep::CreatePalette)) return DDERR_OUTOFMEMORY;
    Palette* p = new Palette;
    std::copy(entries, entries + 256, p->entries);
    *out = p;
    ++displayState.counts.palettes;
    return DD_OK;
}

void releasePalette(Palette* palette) {
    if (!palette) return;
    for (Surface* s : displayState.surfaces)
        if (s->palette == palette) s->palette = nullptr;
    delete palette;
    --displayState.counts.palettes;
}

DisplayResult getPaletteEntries(Palette* palette, PaletteEntry out[256]) {
    if (!palette) return DDERR_INVALIDOBJECT;
    std::copy(palette->entries, palette->entries + 256, out);
    return DD_OK;
}

DisplayResult setPalette(Surface* surface, Palette* palette) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (surface->lost) return DDERR_SURFACELOST;
    surface->palette = palette;
    return DD_OK;
}

Palette* attachedPalette(Surface* surface) { return surface ? surface->palette : nullptr; }

// --- test hooks ------------------------------------------------------------

void failDisplayStep(DisplayStep step, int count, int skip) {
    FaultCounter& f = displayState.faults[static_cast<int>(step)];
    f.fail = std::max(count, 0);
    f.skip = std::max(skip, 0);
}

void resetDisplayFaults() {
    for (FaultCounter& f : displayState.faults) f = FaultCounter{};
}

void setSurfaceLost(Surface* surface, bool lost) {
    if (surface) surface->lost = lost;
}

void loseAllSurfaces() {
    for (Surface* s : displayState.surfaces) s->lost = true;
}

DisplayObjectCounts displayObjectCounts() { return displayState.counts; }

}  // namespace platform
