// Text in the page's own Japanese font, drawn by the browser's canvas and cut
// to two colours: the canvas always smooths glyph edges, the game's text has
// none. The page loads the font before the game starts (index.html), so every
// visitor gets the same glyphs whatever fonts his device has.
#include <emscripten.h>

#include <algorithm>
#include <vector>

#include "platform/services.h"

// clang-format off
EM_JS(void, pachinko_text_metrics, (int* ascent, int* height), {
    const t = Module.pachinkoText();
    const m = t.ctx.measureText("あ");
    const a = Math.round(m.fontBoundingBoxAscent);
    const d = Math.round(m.fontBoundingBoxDescent);
    HEAP32[ascent >> 2] = a;
    HEAP32[height >> 2] = a + d;
});

EM_JS(int, pachinko_text_advance, (const char16_t* text, int length), {
    const s = String.fromCharCode.apply(null, HEAPU16.subarray(text >> 1, (text >> 1) + length));
    return Math.round(Module.pachinkoText().ctx.measureText(s).width);
});

// Ink mask of one line: 1 where the glyphs cover at least half a pixel.
EM_JS(void, pachinko_text_mask, (const char16_t* text, int length, int width, int height, int ascent,
                                 unsigned char* mask), {
    const s = String.fromCharCode.apply(null, HEAPU16.subarray(text >> 1, (text >> 1) + length));
    const t = Module.pachinkoText();
    if (t.canvas.width < width) t.canvas.width = width;
    if (t.canvas.height < height) t.canvas.height = height;
    const ctx = t.ctx;
    ctx.font = t.font;
    ctx.textBaseline = "alphabetic";
    ctx.fillStyle = "#fff";
    ctx.fillRect(0, 0, width, height);
    ctx.fillStyle = "#000";
    ctx.fillText(s, 0, ascent);
    const rgba = ctx.getImageData(0, 0, width, height).data;
    for (let i = 0, n = width * height; i < n; ++i) HEAPU8[mask + i] = rgba[i * 4 + 1] < 128 ? 1 : 0;
});
// clang-format on

namespace platform::services {

void prepareText() {}

FontMetrics defaultFontMetrics() {
    int ascent = 0;
    int height = 0;
    pachinko_text_metrics(&ascent, &height);
    return {ascent, height};
}

int textAdvance(const std::u16string& text) {
    if (text.empty()) return 0;
    return pachinko_text_advance(text.data(), static_cast<int>(text.size()));
}

void drawText(uint32_t* pixels, int width, int height, int strideWords, int x, int y, const std::u16string& text,
              uint32_t inkXrgb, uint32_t backXrgb) {
    const FontMetrics metrics = defaultFontMetrics();
    const int cellWidth = textAdvance(text);
    const int cellHeight = metrics.height;
    if (!pixels || cellWidth <= 0 || cellHeight <= 0) return;
    std::vector<unsigned char> mask(static_cast<std::size_t>(cellWidth) * static_cast<std::size_t>(cellHeight));
    pachinko_text_mask(text.data(), static_cast<int>(text.size()), cellWidth, cellHeight, metrics.ascent,
                       mask.data());
    const uint32_t ink = inkXrgb & 0x00FFFFFFu;
    const uint32_t back = backXrgb & 0x00FFFFFFu;
    // In 64 bits: a cell far off the buffer must not wrap back onto it.
    const int top = std::max(y, 0);
    const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y) + cellHeight, height));
    const int left = std::max(x, 0);
    const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x) + cellWidth, width));
    for (int row = top; row < bottom; ++row) {
        uint32_t* to = pixels + static_cast<std::ptrdiff_t>(row) * strideWords;
        const unsigned char* from = mask.data() + static_cast<std::size_t>(row - y) * cellWidth;
        for (int col = left; col < right; ++col) to[col] = from[col - x] ? ink : back;
    }
}

}  // namespace platform::services
