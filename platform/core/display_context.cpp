// Drawing contexts on surfaces and bitmaps: text in the default font, pixel
// access, copies from bitmaps, colour tables. The system draws the text
// (services.h); lines of common characters are stamped from a glyph cache.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "display_internal.h"
#include "platform/services.h"

namespace platform {

namespace {

struct Glyph {
    int advance = 0;
    // Text-coloured pixels: x from the pen position, y from the cell's top.
    std::vector<std::pair<int16_t, int16_t>> ink;
};

struct TextState {
    bool fontKnown = false;
    services::FontMetrics metrics;
    // Each character drawn so far: its advance and the pixels its glyph sets
    // (null when it is left to the system's text drawing). Lines of such
    // characters are stamped from here instead of being laid out again
    // every tick.
    std::unordered_map<char16_t, std::unique_ptr<Glyph>> glyphs;
    std::vector<const Glyph*> line;  // scratch of one line
    std::u16string text;             // scratch: the line in UTF-16
    std::vector<uint32_t> cell;      // scratch: a text cell in XRGB
    bool glyphCache = true;
};
TextState textState;

const services::FontMetrics& fontMetrics() {
    if (!textState.fontKnown) {
        prepareTextDrawing();
        textState.metrics = services::defaultFontMetrics();
        textState.fontKnown = true;
    }
    return textState.metrics;
}

DrawContext* newContext() {
    ++displayState.counts.contexts;
    return new DrawContext;
}

void destroyContext(DrawContext* context) {
    delete context;
    --displayState.counts.contexts;
}

}  // namespace

void prepareTextDrawing() { services::prepareText(); }

void utf8ToUtf16(const char* text, int byteLength, std::u16string& out) {
    out.clear();
    if (!text || byteLength <= 0) return;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const std::size_t n = static_cast<std::size_t>(byteLength);
    // A byte-order mark at the very start is no text.
    std::size_t i = n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF ? 3 : 0;
    while (i < n) {
        const unsigned char b = s[i++];
        if (b < 0x80) {
            out.push_back(b);
            continue;
        }
        // A sequence that is cut short, overlong, a surrogate or beyond
        // U+10FFFF costs its first byte only: that becomes U+FFFD and the
        // bytes after it are read again on their own.
        std::size_t need;
        char32_t min, uc;
        if (b <= 0xC1) {
            out.push_back(u'\uFFFD');
            continue;
        } else if (b < 0xE0) {
            need = 1, min = 0x80, uc = b & 0x1Fu;
        } else if (b < 0xF0) {
            need = 2, min = 0x800, uc = b & 0x0Fu;
        } else if (b < 0xF5) {
            need = 3, min = 0x10000, uc = b & 0x07u;
        } else {
            out.push_back(u'\uFFFD');
            continue;
        }
        bool ok = n - i >= need;
        for (std::size_t k = 0; ok && k < need; ++k) {
            const unsigned char c = s[i + k];
            ok = (c & 0xC0u) == 0x80u;
            uc = (uc << 6) | (c & 0x3Fu);
        }
        if (!ok || uc < min || (uc >= 0xD800 && uc <= 0xDFFF) || uc > 0x10FFFF) {
            out.push_back(u'\uFFFD');
            continue;
        }
        i += need;
        if (uc < 0x10000) {
            out.push_back(static_cast<char16_t>(uc));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((uc - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((uc - 0x10000) & 0x3FFu)));
        }
    }
}

// --- contexts --------------------------------------------------------------

DisplayResult getDC(Surface* surface, DrawContext** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!surface) return DDERR_INVALIDOBJECT;
    if (surface->lost) return DDERR_SURFACELOST;
    if (surface->context) return DDERR_DCALREADYCREATED;
    if (surface->locked) return DDERR_SURFACEBUSY;
    if (!isRgbFormat(surface->format)) return DDERR_CANTCREATEDC;
    if (stepFails(DisplayStep::GetDC)) return DDERR_CANTCREATEDC;
    DrawContext* context = newContext();
    context->surface = surface;
    surface->context = context;
    *out = context;
    return DD_OK;
}

DisplayResult releaseDC(Surface* surface, DrawContext* context) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (!context || surface->context != context) return DDERR_NODC;
    surface->context = nullptr;
    destroyContext(context);
    return DD_OK;
}

DrawContext* createMemoryContext() { return newContext(); }

void deleteContext(DrawContext* context) {
    // A surface's context goes back through releaseDC only.
    if (!context || context->surface) return;
    destroyContext(context);
}

Bitmap* selectBitmap(DrawContext* context, Bitmap* bitmap) {
    if (!context || context->surface) return nullptr;
    Bitmap* previous = context->bitmap;
    context->bitmap = bitmap;
    return previous;
}

uint32_t setBkColor(DrawContext* context, uint32_t colour) {
    if (!context) return CLR_INVALID;
    uint32_t previous = context->backColour;
    context->backColour = colour & 0x00FFFFFFu;
    return previous;
}

uint32_t setTextColor(DrawContext* context, uint32_t colour) {
    if (!context) return CLR_INVALID;
    uint32_t previous = context->textColour;
    context->textColour = colour & 0x00FFFFFFu;
    return previous;
}

// --- text ------------------------------------------------------------------

void textExtent(const char* text, int byteLength, int& width, int& height) {
    const services::FontMetrics& metrics = fontMetrics();
    utf8ToUtf16(text, byteLength, textState.text);
    width = services::textAdvance(textState.text);
    height = metrics.height;
}

namespace {
TextListener textListener = nullptr;
void* textListenerContext = nullptr;

// Characters whose glyphs stand alone: printable ASCII, Japanese punctuation
// and kana, the common ideographs, and the half- and full-width forms, but
// no combining marks (the ideographic tone marks and the kana voicing marks
// are the only ones in these blocks). In the default font these have
// whole-pixel advances and no kerning, so a line of them is exactly its
// glyphs side by side (the display tests compare both ways of drawing).
// Anything else goes through the system's text drawing.
bool standsAlone(char16_t c) {
    const bool common = (c >= 0x20 && c <= 0x7E) || (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
                        (c >= 0xFF01 && c <= 0xFFEF);
    const bool mark = (c >= 0x302A && c <= 0x302F) || c == 0x3099 || c == 0x309A;
    return common && !mark;
}

// The glyph of one character, drawn once black on white with room on every
// side, or null when it is not drawn in exactly those two colours.
const Glyph* glyphFor(char16_t c) {
    auto found = textState.glyphs.find(c);
    if (found != textState.glyphs.end()) return found->second.get();
    std::unique_ptr<Glyph> glyph;
    if (standsAlone(c)) {
        const services::FontMetrics& metrics = fontMetrics();
        const std::u16string s(1, c);
        glyph = std::make_unique<Glyph>();
        glyph->advance = services::textAdvance(s);
        const int margin = metrics.height;
        const int width = glyph->advance + 2 * margin, height = metrics.height;
        std::vector<uint32_t>& cell = textState.cell;
        cell.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0x00FFFFFFu);
        services::drawText(cell.data(), width, height, width, margin, 0, s, 0x000000u, 0xFFFFFFu);
        for (int row = 0; row < height && glyph; ++row) {
            const uint32_t* p = cell.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
            for (int col = 0; col < width; ++col) {
                const uint32_t rgb = p[col] & 0x00FFFFFFu;
                if (rgb == 0)
                    glyph->ink.emplace_back(static_cast<int16_t>(col - margin), static_cast<int16_t>(row));
                else if (rgb != 0x00FFFFFFu) {
                    glyph.reset();
                    break;
                }
            }
        }
    }
    const Glyph* result = glyph.get();
    textState.glyphs.emplace(c, std::move(glyph));
    return result;
}

// Draws the line from cached glyphs into a 32-bit surface; false (nothing
// drawn) when a character has no cached glyph.
bool stampGlyphs(const DrawContext& context, int x, int y, const std::u16string& text) {
    Surface& surface = *context.surface;
    if (!textState.glyphCache || surface.format.bitCount != 32) return false;
    std::vector<const Glyph*>& line = textState.line;
    line.clear();
    int64_t width = 0;
    for (char16_t c : text) {
        const Glyph* glyph = glyphFor(c);
        if (!glyph) return false;
        line.push_back(glyph);
        width += glyph->advance;
    }
    // The cell, cut at the surface's edges.
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + width, surface.width);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + fontMetrics().height, surface.height);
    if (left >= right || top >= bottom) return true;
    const std::size_t stride = static_cast<std::size_t>(surface.pitch / 4);
    uint32_t* pixels = surface.memory.data();
    const uint32_t back = swapRedBlue(context.backColour), ink = swapRedBlue(context.textColour);
    // One row filled pixel by pixel, the others copied from it.
    uint32_t* first = pixels + top * stride + left;
    const std::size_t cellBytes = static_cast<std::size_t>(right - left) * 4;
    std::fill(first, first + (right - left), back);
    for (int64_t row = top + 1; row < bottom; ++row) std::memcpy(pixels + row * stride + left, first, cellBytes);
    int64_t pen = x;
    for (const Glyph* glyph : line) {
        for (const auto& [dx, dy] : glyph->ink) {
            const int64_t px = pen + dx, py = int64_t{y} + dy;
            if (px >= left && px < right && py >= top && py < bottom) pixels[py * stride + px] = ink;
        }
        pen += glyph->advance;
    }
    return true;
}
}  // namespace

void setTextGlyphCache(bool on) { textState.glyphCache = on; }

void setTextListener(TextListener listener, void* context) {
    textListener = listener;
    textListenerContext = context;
}

Surface* contextSurface(DrawContext* context) { return context ? context->surface : nullptr; }

Surface* createCanvas(int32_t width, int32_t height, uint32_t xrgbFill) {
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return nullptr;
    auto* canvas = new Surface;
    canvas->width = width;
    canvas->height = height;
    canvas->pitch = width * 4;
    canvas->format = PIXEL_XRGB32;
    canvas->memory.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), xrgbFill & 0x00FFFFFFu);
    return canvas;
}

void destroyCanvas(Surface* canvas) {
    if (!canvas) return;
    if (canvas->context) releaseDC(canvas, canvas->context);
    delete canvas;
}

bool textOut(DrawContext* context, int x, int y, const char* text, int byteLength) {
    if (!context || !context->surface || byteLength < 0 || (byteLength > 0 && !text)) return false;
    if (textListener) textListener(textListenerContext, context, x, y, text, byteLength);
    Surface& surface = *context->surface;
    const services::FontMetrics& metrics = fontMetrics();
    std::u16string& s = textState.text;
    utf8ToUtf16(text, byteLength, s);
    if (stampGlyphs(*context, x, y, s)) return true;

    // The cell, cut at the surface's edges; nothing to draw when none of it
    // shows.
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + services::textAdvance(s), surface.width);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + metrics.height, surface.height);
    if (left >= right || top >= bottom) return true;
    const uint32_t ink = swapRedBlue(context->textColour), back = swapRedBlue(context->backColour);
    if (surface.format.bitCount == 32) {
        const int stride = surface.pitch / 4;
        services::drawText(surface.memory.data(), surface.width, surface.height, stride, x, y, s, ink, back);
        // XRGB pixels keep the top byte zero so that they compare equal to
        // colour keys and blits, whatever the system wrote there.
        for (int64_t row = top; row < bottom; ++row) {
            uint32_t* p = surface.memory.data() + row * stride;
            for (int64_t col = left; col < right; ++col) p[col] &= 0x00FFFFFFu;
        }
        return true;
    }
    // Other formats: the visible cell drawn in XRGB, then converted pixel by
    // pixel (the text is solid, so this is what painting in the surface's
    // own format would give).
    const int width = static_cast<int>(right - left), height = static_cast<int>(bottom - top);
    std::vector<uint32_t>& cell = textState.cell;
    cell.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), back);
    services::drawText(cell.data(), width, height, width, static_cast<int>(x - left), static_cast<int>(y - top), s,
                       ink, back);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            writePixelValue(surface, static_cast<int>(left) + col, static_cast<int>(top) + row,
                            encodePixel(surface.format, cell[static_cast<std::size_t>(row) * width + col]));
    return true;
}

// --- pixels ----------------------------------------------------------------

uint32_t getPixel(DrawContext* context, int x, int y) {
    if (!context) return CLR_INVALID;
    if (Surface* s = context->surface) {
        if (x < 0 || y < 0 || x >= s->width || y >= s->height) return CLR_INVALID;
        return swapRedBlue(decodePixel(s->format, readPixelValue(*s, x, y)));
    }
    if (Bitmap* b = context->bitmap) {
        if (x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
        return swapRedBlue(b->pixels[static_cast<std::size_t>(y) * b->width + x]);
    }
    return CLR_INVALID;
}

uint32_t setPixel(DrawContext* context, int x, int y, uint32_t colour) {
    if (!context) return CLR_INVALID;
    const uint32_t xrgb = swapRedBlue(colour & 0x00FFFFFFu);
    if (Surface* s = context->surface) {
        if (x < 0 || y < 0 || x >= s->width || y >= s->height) return CLR_INVALID;
        const uint32_t value = encodePixel(s->format, xrgb);
        writePixelValue(*s, x, y, value);
        return swapRedBlue(decodePixel(s->format, value));
    }
    if (Bitmap* b = context->bitmap) {
        if (x < 0 || y < 0 || x >= b->width || y >= b->height) return CLR_INVALID;
        b->pixels[static_cast<std::size_t>(y) * b->width + x] = xrgb;
        return colour & 0x00FFFFFFu;
    }
    return CLR_INVALID;
}

bool bitBlt(DrawContext* target, int x, int y, int width, int height, DrawContext* source, int sx, int sy) {
    if (!target || !target->surface || !source || !source->bitmap || width < 0 || height < 0) return false;
    Surface& s = *target->surface;
    const Bitmap& b = *source->bitmap;
    // Cut the copy at the edges of both pictures (64-bit: no overflow for
    // any argument values).
    int64_t x0 = x, y0 = y, sx0 = sx, sy0 = sy;
    int64_t w = width, h = height;
    if (x0 < 0) { sx0 -= x0; w += x0; x0 = 0; }
    if (y0 < 0) { sy0 -= y0; h += y0; y0 = 0; }
    if (sx0 < 0) { x0 -= sx0; w += sx0; sx0 = 0; }
    if (sy0 < 0) { y0 -= sy0; h += sy0; sy0 = 0; }
    w = std::min({w, int64_t{s.width} - x0, int64_t{b.width} - sx0});
    h = std::min({h, int64_t{s.height} - y0, int64_t{b.height} - sy0});
    if (w <= 0 || h <= 0) return true;
    for (int64_t row = 0; row < h; ++row) {
        const uint32_t* from = b.pixels.data() + (sy0 + row) * b.width + sx0;
        for (int64_t col = 0; col < w; ++col)
            writePixelValue(s, static_cast<int>(x0 + col), static_cast<int>(y0 + row), encodePixel(s.format, from[col]));
    }
    return true;
}

int getColorTable(DrawContext* context, int start, int count, RgbQuad* out) {
    if (!context || !context->bitmap || !out || start < 0 || count <= 0) return 0;
    const std::vector<uint32_t>& table = context->bitmap->colorTable;
    const int size = static_cast<int>(table.size());
    if (start >= size) return 0;
    const int n = std::min(count, size - start);
    for (int i = 0; i < n; ++i) {
        const uint32_t c = table[static_cast<std::size_t>(start + i)];
        out[i] = RgbQuad{static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
                         static_cast<uint8_t>((c >> 16) & 0xFF), 0};
    }
    return n;
}

}  // namespace platform
