// Drawing contexts on surfaces and bitmaps: text in the default font, pixel
// access, copies from bitmaps, colour tables. Text is painted by Qt straight
// into the surface memory.
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "display_internal.h"

namespace platform {

struct TextPainter {
    QImage image;  // a view of the surface memory
    QPainter painter;
};

namespace {

struct Glyph {
    int advance = 0;
    // Text-coloured pixels: x from the pen position, y from the cell's top.
    std::vector<std::pair<int16_t, int16_t>> ink;
};

// The default font: a Japanese Gothic face at a size that fits the 18-pixel
// line pitch of the town's status lines. Glyphs are drawn without smoothing,
// as the classic system font is, so every pixel of a text cell is either the
// text colour or the background colour.
constexpr int DEFAULT_FONT_PIXELS = 16;

struct TextState {
    // The arguments of our own application object live as long as it does.
    int argc = 3;
    char arg0[9] = "pachinko";
    char arg1[10] = "-platform";
    char arg2[10] = "offscreen";
    char* argv[4] = {arg0, arg1, arg2, nullptr};
    QGuiApplication* application = nullptr;  // ours, never destroyed
    std::unique_ptr<QFont> font;
    int ascent = 0;
    int height = 0;
    // Each character drawn so far: its advance and the pixels its glyph sets
    // (null when it is left to the font engine). Lines of such characters
    // are stamped from here instead of being laid out again every tick.
    std::unordered_map<char16_t, std::unique_ptr<Glyph>> glyphs;
    std::vector<const Glyph*> line;  // scratch of one line
    bool glyphCache = true;
};
TextState textState;

const QFont& defaultFont() {
    ensureGuiApplication();
    if (!textState.font) {
        textState.font = std::make_unique<QFont>(QStringLiteral("IPAGothic"));
        textState.font->setPixelSize(DEFAULT_FONT_PIXELS);
        textState.font->setStyleStrategy(QFont::NoAntialias);
        QFontMetrics metrics(*textState.font);
        textState.ascent = metrics.ascent();
        textState.height = metrics.height();
    }
    return *textState.font;
}

QColor toQColor(uint32_t gdi) { return QColor(gdi & 0xFF, (gdi >> 8) & 0xFF, (gdi >> 16) & 0xFF); }

DrawContext* newContext() {
    ++displayState.counts.contexts;
    return new DrawContext;
}

void destroyContext(DrawContext* context) {
    finishTextPainter(context);
    delete context;
    --displayState.counts.contexts;
}

}  // namespace

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    textState.application = new QGuiApplication(textState.argc, textState.argv);
}

void finishTextPainter(DrawContext* context) {
    if (!context || !context->painter) return;
    context->painter->painter.end();
    delete context->painter;
    context->painter = nullptr;
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
    const QFont& font = defaultFont();
    QString s = (text && byteLength > 0) ? QString::fromUtf8(text, byteLength) : QString();
    width = QFontMetrics(font).horizontalAdvance(s);
    height = textState.height;
}

namespace {
TextListener textListener = nullptr;
void* textListenerContext = nullptr;

// Characters whose glyphs stand alone: printable ASCII, Japanese punctuation
// and kana, the common ideographs, and the half- and full-width forms, but
// no combining marks. In the default font these have whole-pixel advances
// and no kerning, so a line of them is exactly its glyphs side by side (the
// display tests compare both ways of drawing). Anything else goes through
// the font engine.
bool standsAlone(char16_t c) {
    const bool common = (c >= 0x20 && c <= 0x7E) || (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
                        (c >= 0xFF01 && c <= 0xFFEF);
    return common && !QChar(c).isMark();
}

// The glyph of one character, drawn once by the font engine black on white
// with room on every side, or null when it is not drawn in exactly those
// two colours.
const Glyph* glyphFor(char16_t c) {
    auto found = textState.glyphs.find(c);
    if (found != textState.glyphs.end()) return found->second.get();
    std::unique_ptr<Glyph> glyph;
    if (standsAlone(c)) {
        const QFont& font = defaultFont();
        const QString s(QChar{c});
        glyph = std::make_unique<Glyph>();
        glyph->advance = QFontMetrics(font).horizontalAdvance(s);
        const int margin = textState.height;
        QImage image(glyph->advance + 2 * margin, textState.height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(margin, textState.ascent, s);
        painter.end();
        for (int row = 0; row < image.height() && glyph; ++row) {
            const auto* p = reinterpret_cast<const uint32_t*>(image.constScanLine(row));
            for (int col = 0; col < image.width(); ++col) {
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
bool stampGlyphs(const DrawContext& context, int x, int y, const QString& text) {
    Surface& surface = *context.surface;
    if (!textState.glyphCache || surface.format.bitCount != 32) return false;
    std::vector<const Glyph*>& line = textState.line;
    line.clear();
    int64_t width = 0;
    for (QChar c : text) {
        const Glyph* glyph = glyphFor(c.unicode());
        if (!glyph) return false;
        line.push_back(glyph);
        width += glyph->advance;
    }
    // The cell, cut at the surface's edges.
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + width, surface.width);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + textState.height, surface.height);
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
    Surface* surface = context->surface;
    const QFont& font = defaultFont();
    const QString s = QString::fromUtf8(text, byteLength);
    if (stampGlyphs(*context, x, y, s)) return true;
    if (!context->painter) {
        const QImage::Format format = surface->format.bitCount == 32 ? QImage::Format_RGB32 : QImage::Format_RGB16;
        auto* tp = new TextPainter;
        tp->image = QImage(surface->bytes(), surface->width, surface->height, surface->pitch, format);
        tp->painter.begin(&tp->image);
        context->painter = tp;
    }
    QPainter& painter = context->painter->painter;
    const int width = QFontMetrics(font).horizontalAdvance(s);
    const QRect cell(x, y, width, textState.height);
    painter.setClipRect(cell);
    painter.fillRect(cell, toQColor(context->backColour));
    painter.setFont(font);
    painter.setPen(toQColor(context->textColour));
    painter.drawText(x, y + textState.ascent, s);

    // Qt writes an opaque alpha byte into 32-bit pixels; our XRGB pixels
    // keep it zero so that they compare equal to colour keys and blits.
    if (surface->format.bitCount == 32) {
        const QRect visible = cell.intersected(QRect(0, 0, surface->width, surface->height));
        for (int row = visible.top(); row <= visible.bottom(); ++row) {
            uint32_t* p = surface->memory.data() + static_cast<std::size_t>(row) * (surface->pitch / 4);
            for (int col = visible.left(); col <= visible.right(); ++col) p[col] &= 0x00FFFFFFu;
        }
    }
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
