// The display's fast ways of drawing give exactly the pixels of the plain
// ones: blits against a pixel-by-pixel reference of the blit rules, and text
// stamped from cached glyphs against text laid out by the font engine.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display_test_support.h"
#include "platform/display.h"

using namespace platform;

namespace {

class DisplayShortcuts : public displaytest::ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        ASSERT_EQ(createDisplay(&display), DD_OK);
    }
    void TearDown() override {
        setTextGlyphCache(true);
        releaseDisplay(display);
        expectNoDisplayObjects();
        ScratchDirTest::TearDown();
    }
    // Every pixel value of a 32-bit surface, row by row; with `put`, the
    // surface is first given those values.
    static std::vector<uint32_t> pixels(Surface* s, const std::vector<uint32_t>* put = nullptr) {
        SurfaceDesc d;
        lockSurface(s, nullptr, d, DDLOCK_WAIT);
        const std::size_t width = static_cast<std::size_t>(d.width);
        std::vector<uint32_t> out(width * static_cast<std::size_t>(d.height));
        for (std::size_t y = 0; y < static_cast<std::size_t>(d.height); ++y) {
            uint8_t* row = static_cast<uint8_t*>(d.pixels) + static_cast<std::ptrdiff_t>(y) * d.pitch;
            if (put) std::memcpy(row, put->data() + y * width, width * 4);
            std::memcpy(out.data() + y * width, row, width * 4);
        }
        unlockSurface(s, nullptr);
        return out;
    }

    Display* display = nullptr;
};

// The blit rules one pixel at a time: each target pixel of dst takes the
// source pixel under its centre, unless the blit is keyed and that pixel's
// value lies in the key range.
std::vector<uint32_t> referenceBlit(std::vector<uint32_t> target, int targetWidth, const Rect& dst,
                                    const std::vector<uint32_t>& source, int sourceWidth, const Rect& src,
                                    const ColorKey* key) {
    const int64_t dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    const int64_t sw = src.right - src.left, sh = src.bottom - src.top;
    for (int64_t y = 0; y < dh; ++y) {
        for (int64_t x = 0; x < dw; ++x) {
            const int64_t sx = src.left + (2 * x + 1) * sw / (2 * dw);
            const int64_t sy = src.top + (2 * y + 1) * sh / (2 * dh);
            const uint32_t v = source[static_cast<std::size_t>(sy * sourceWidth + sx)];
            if (key && v >= key->low && v <= key->high) continue;
            target[static_cast<std::size_t>((dst.top + y) * targetWidth + dst.left + x)] = v;
        }
    }
    return target;
}

TEST_F(DisplayShortcuts, BlitsOfEveryShapeMatchTheRulesPixelForPixel) {
    std::mt19937 random(20240607);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    // Pixel values from a small set, so keys hit often; keys are single
    // values or ranges.
    auto pixel = [&] { return 0x00100000u * static_cast<uint32_t>(below(4)) + static_cast<uint32_t>(below(3)); };

    for (int round = 0; round < 300; ++round) {
        // Some rounds copy whole rows of the target (the frame's background
        // and present), from a source as wide or a little wider; the rest
        // arbitrary rectangles.
        const bool wholeRows = round % 4 == 0;
        const int tw = 1 + below(40), th = 1 + below(12);
        const int sw = wholeRows ? tw + below(3) : 1 + below(40), sh = 1 + below(12);
        Surface* target = displaytest::makeOffscreen(display, tw, th);
        Surface* source = displaytest::makeOffscreen(display, sw, sh);
        std::vector<uint32_t> before(static_cast<std::size_t>(tw) * th), picture(static_cast<std::size_t>(sw) * sh);
        for (uint32_t& v : before) v = pixel();
        for (uint32_t& v : picture) v = pixel();
        pixels(target, &before);
        pixels(source, &picture);

        Rect dst, src;
        if (wholeRows) {
            const int rows = 1 + below(std::min(th, sh));
            const int top = below(th - rows + 1), sl = below(sw - tw + 1), st = below(sh - rows + 1);
            dst = makeRect(0, top, tw, top + rows);
            src = makeRect(sl, st, sl + tw, st + rows);
        } else {
            const int l = below(tw), t = below(th), sl = below(sw), st = below(sh);
            dst = makeRect(l, t, l + 1 + below(tw - l), t + 1 + below(th - t));
            src = makeRect(sl, st, sl + 1 + below(sw - sl), st + 1 + below(sh - st));
            // Half of them the same size, as sprites are.
            if (round % 2 == 1 && dst.right - dst.left <= sw - sl && dst.bottom - dst.top <= sh - st)
                src = makeRect(sl, st, sl + (dst.right - dst.left), st + (dst.bottom - dst.top));
        }
        const bool keyed = round % 3 != 0;
        const uint32_t low = keyed ? pixel() : 0;
        const ColorKey key{low, low + (keyed && below(2) == 0 ? 0x00100001u : 0u)};
        ASSERT_EQ(keyed ? setColorKey(source, DDCKEY_SRCBLT, key) : DD_OK, DD_OK);

        ASSERT_EQ(blt(target, &dst, source, &src, keyed ? (DDBLT_WAIT | DDBLT_KEYSRC) : DDBLT_WAIT), DD_OK);
        // The seed is fixed: a failing round can be rerun and printed.
        ASSERT_EQ(pixels(target), referenceBlit(before, tw, dst, picture, sw, src, keyed ? &key : nullptr)) << round;
        releaseSurface(target);
        releaseSurface(source);
    }
}

// Text stamped from cached glyphs draws exactly what the font engine lays
// out: mixed lines the game writes, one reaching outside the cached ranges
// (so the engine draws it all), and runs through each cached range, placed
// inside and cut at each edge of the surface. (Which colours real text takes,
// the game's screenshots pin.)
TEST_F(DisplayShortcuts, CachedGlyphsDrawTheSamePixelsAsTheFontEngine) {
    std::vector<std::string> lines = {"-2147483648 玉", "左ﾁｭｰﾘｯﾌﾟＩＮ", "caf\xC3\xA9 \xF0\x9F\x8E\xB0 \xD7\xA9"};
    for (auto [first, last] : {std::pair<int, int>{0x20, 0x7E}, {0x3000, 0x30FF}, {0xFF01, 0xFFEF},
                               {0x4E00, 0x4EFF}, {0x9F00, 0x9FFF}}) {
        for (int from = first; from <= last; from += 100) {
            std::string chunk;  // UTF-8: ASCII, or three bytes for these ranges (U+0800 to U+FFFF)
            for (int c = from; c < from + 100 && c <= last; ++c) {
                if (c < 0x80) chunk += static_cast<char>(c);
                else chunk += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                               static_cast<char>(0x80 | (c & 0x3F))};
            }
            lines.push_back(chunk);
        }
    }
    auto draw = [this](bool cached, const std::string& line, int x, int y) {
        setTextGlyphCache(cached);
        Surface* s = displaytest::makeOffscreen(display, 1940, 40);
        displaytest::fillSurface(s, 0x00123456);
        DrawContext* dc = nullptr;
        EXPECT_EQ(getDC(s, &dc), DD_OK);
        setTextColor(dc, 0x00FFFF);
        setBkColor(dc, 0xFF0000);
        EXPECT_TRUE(textOut(dc, x, y, line.data(), static_cast<int>(line.size())));
        releaseDC(s, dc);
        const std::vector<uint32_t> drawn = pixels(s);
        releaseSurface(s);
        return drawn;
    };
    for (const std::string& line : lines)
        for (auto [x, y] : {std::pair{3, 2}, {-7, 20}, {150, -6}, {1900, 30}, {40, 33}})
            ASSERT_EQ(draw(true, line, x, y), draw(false, line, x, y)) << line << " at " << x << "," << y;
}

}  // namespace
