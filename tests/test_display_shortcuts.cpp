// The display's fast ways of drawing give exactly the pixels of the plain
// ones: blits against a pixel-by-pixel reference of the blit rules, and text
// stamped from cached glyphs against text laid out by the font engine.
#include <gtest/gtest.h>

#include <QString>
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
        for (Surface* s : made) releaseSurface(s);
        releaseDisplay(display);
        expectNoDisplayObjects();
        ScratchDirTest::TearDown();
    }
    Surface* offscreen(int w, int h) {
        Surface* s = displaytest::makeOffscreen(display, w, h);
        made.push_back(s);
        return s;
    }
    // Every pixel value of a 32-bit surface, row by row.
    static std::vector<uint32_t> pixels(Surface* s) {
        SurfaceDesc d;
        lockSurface(s, nullptr, d, DDLOCK_WAIT);
        std::vector<uint32_t> out;
        for (int y = 0; y < d.height; ++y) {
            const auto* row = static_cast<const uint8_t*>(d.pixels) + static_cast<std::ptrdiff_t>(y) * d.pitch;
            for (int x = 0; x < d.width; ++x) {
                uint32_t v;
                std::memcpy(&v, row + x * 4, 4);
                out.push_back(v);
            }
        }
        unlockSurface(s, nullptr);
        return out;
    }
    static void setPixels(Surface* s, const std::vector<uint32_t>& values) {
        SurfaceDesc d;
        lockSurface(s, nullptr, d, DDLOCK_WAIT);
        for (int y = 0; y < d.height; ++y)
            std::memcpy(static_cast<uint8_t*>(d.pixels) + static_cast<std::ptrdiff_t>(y) * d.pitch,
                        values.data() + static_cast<std::size_t>(y) * d.width, static_cast<std::size_t>(d.width) * 4);
        unlockSurface(s, nullptr);
    }

    Display* display = nullptr;
    std::vector<Surface*> made;
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
        Surface* target = offscreen(tw, th);
        Surface* source = offscreen(sw, sh);
        std::vector<uint32_t> before(static_cast<std::size_t>(tw) * th), picture(static_cast<std::size_t>(sw) * sh);
        for (uint32_t& v : before) v = pixel();
        for (uint32_t& v : picture) v = pixel();
        setPixels(target, before);
        setPixels(source, picture);

        Rect dst, src;
        if (wholeRows) {
            const int rows = 1 + below(std::min(th, sh));
            dst = makeRect(0, below(th - rows + 1), tw, 0);
            dst.bottom = dst.top + rows;
            src = makeRect(below(sw - tw + 1), below(sh - rows + 1), 0, 0);
            src.right = src.left + tw;
            src.bottom = src.top + rows;
        } else {
            const int l = below(tw), t = below(th), sl = below(sw), st = below(sh);
            dst = makeRect(l, t, l + 1 + below(tw - l), t + 1 + below(th - t));
            src = makeRect(sl, st, sl + 1 + below(sw - sl), st + 1 + below(sh - st));
            // Half of them the same size, as sprites are.
            if (round % 2 == 1 && dst.right - dst.left <= sw - sl && dst.bottom - dst.top <= sh - st) {
                src.right = sl + (dst.right - dst.left);
                src.bottom = st + (dst.bottom - dst.top);
            }
        }
        ColorKey key{0, 0};
        const bool keyed = round % 3 != 0;
        if (keyed) {
            key.low = 0x00100000u * static_cast<uint32_t>(below(4)) + static_cast<uint32_t>(below(3));
            key.high = key.low + (below(2) ? 0u : 0x00100001u);
            ASSERT_EQ(setColorKey(source, DDCKEY_SRCBLT, key), DD_OK);
        }

        ASSERT_EQ(blt(target, &dst, source, &src, keyed ? (DDBLT_WAIT | DDBLT_KEYSRC) : DDBLT_WAIT), DD_OK);
        ASSERT_EQ(pixels(target), referenceBlit(before, tw, dst, picture, sw, src, keyed ? &key : nullptr))
            << "round " << round << ": " << tw << "x" << th << " [" << dst.left << "," << dst.top << "-" << dst.right
            << "," << dst.bottom << "] from " << sw << "x" << sh << " [" << src.left << "," << src.top << "-"
            << src.right << "," << src.bottom << "]" << (keyed ? " keyed" : "");
    }
}

// Lines of every kind of character the game writes, and whole ranges of
// the characters that are stamped from cached glyphs.
std::vector<std::string> sampleLines() {
    std::vector<std::string> lines = {
        "持ち金:10000円",
        "-2147483648 玉",
        "左ﾁｭｰﾘｯﾌﾟＩＮ",
        "預金と持ち金が３億円になれば大富豪でゲーム終了",
        "",
        "caf\xC3\xA9 \xF0\x9F\x8E\xB0 \xD7\xA9",  // outside the cached ranges: the font engine draws it
    };
    // Lines of up to 100 characters of the range (all in the basic plane).
    for (auto [first, last] : {std::pair<char16_t, char16_t>{0x20, 0x7E}, {0x3000, 0x30FF}, {0xFF01, 0xFFEF},
                               {0x4E00, 0x4EFF}, {0x9F00, 0x9FFF}}) {
        for (int from = first; from <= last; from += 100) {
            std::u16string chunk;
            for (int c = from; c < from + 100 && c <= last; ++c) chunk += static_cast<char16_t>(c);
            lines.push_back(QString::fromStdU16String(chunk).toStdString());
        }
    }
    return lines;
}

TEST_F(DisplayShortcuts, CachedGlyphsDrawTheSamePixelsAsTheFontEngine) {
    const std::vector<std::string> lines = sampleLines();
    // Places inside, and cut at each edge of the surface.
    const int places[][2] = {{3, 2}, {-7, 20}, {150, -6}, {1900, 30}, {40, 33}};
    const uint32_t colours[][2] = {{0x00FFFF, 0xFF0000}, {0x000000, 0x80FFFF}};
    for (const std::string& line : lines) {
        for (const auto& place : places) {
            for (const auto& colour : colours) {
                std::vector<uint32_t> drawn[2];
                for (int cached = 0; cached < 2; ++cached) {
                    setTextGlyphCache(cached == 1);
                    Surface* s = offscreen(1940, 40);
                    displaytest::fillSurface(s, 0x00123456);
                    DrawContext* dc = nullptr;
                    ASSERT_EQ(getDC(s, &dc), DD_OK);
                    setTextColor(dc, colour[0]);
                    setBkColor(dc, colour[1]);
                    ASSERT_TRUE(textOut(dc, place[0], place[1], line.data(), static_cast<int>(line.size())));
                    releaseDC(s, dc);
                    drawn[cached] = pixels(s);
                }
                ASSERT_EQ(drawn[1], drawn[0]) << "\"" << line << "\" at " << place[0] << "," << place[1];
            }
        }
    }
}

}  // namespace
