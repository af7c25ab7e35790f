// Helpers of the display tests: BMP files written byte by byte (so every bit
// depth and colour table is under the test's control), a scratch working
// directory, and small surface utilities.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/headless.h"
#include "test_support.h"

namespace displaytest {

// A 32-bit value, little-endian, as the file format has them.
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A BI_RGB bitmap file's bytes, rows bottom-up unless `topDown`. For 1, 4
// and 8 bits pixel() gives the colour-table index and `table` the colours
// (0x00RRGGBB, all of them used); for 24 and 32 bits pixel() gives the colour
// (at 32 bits its top byte goes into the fourth byte).
inline std::vector<uint8_t> bmpBytes(int width, int height, int bits, const std::function<uint32_t(int, int)>& pixel,
                                     const std::vector<uint32_t>& table = {}, bool topDown = false) {
    const uint32_t rowBytes = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
    const uint32_t entries = bits <= 8 ? static_cast<uint32_t>(table.size()) : 0;
    const uint32_t offset = 14 + 40 + entries * 4;
    std::vector<uint8_t> b = {'B', 'M'};
    // File header, then the info header: one plane and the bit count share a word.
    for (uint32_t v : {offset + rowBytes * height, 0u, offset, 40u, static_cast<uint32_t>(width),
                       static_cast<uint32_t>(topDown ? -height : height), 1u | static_cast<uint32_t>(bits) << 16, 0u,
                       rowBytes * height, 2835u, 2835u, entries, 0u})
        put32(b, v);
    for (uint32_t c : table) put32(b, c & 0x00FFFFFF);  // blue, green, red, 0
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? i : height - 1 - i;
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixel(x, y);
            if (bits == 1) row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
            if (bits == 4) row[x / 2] |= static_cast<uint8_t>((v & 0xF) << (x % 2 == 0 ? 4 : 0));
            if (bits == 8) row[x] = static_cast<uint8_t>(v);
            for (int c = 0; bits >= 24 && c < bits / 8; ++c) row[x * (bits / 8) + c] = static_cast<uint8_t>(v >> (8 * c));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

// True when the file now holds the picture.
inline bool writeBmp(const std::string& path, int width, int height, int bits,
                     const std::function<uint32_t(int, int)>& pixel, const std::vector<uint32_t>& table = {}) {
    const std::vector<uint8_t> b = bmpBytes(width, height, bits, pixel, table);
    testing_support::writeBytes(path, b);
    return testing_support::readBytes(path) == b;
}

// A 24-bit picture of one colour.
inline bool writeSolidBmp(const std::string& path, int width, int height, uint32_t rgb) {
    return writeBmp(path, width, height, 24, [rgb](int, int) { return rgb; });
}

// Every test runs in a fresh empty working directory and a fresh platform,
// and must leave no display object alive.
class ScratchDirTest : public testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        platform::resetDisplayFaults();
        scratch_ = std::make_unique<testing_support::ScratchDir>(true);
    }
    void TearDown() override {
        platform::resetDisplayFaults();
        scratch_.reset();
    }
    static void expectNoDisplayObjects() {
        const platform::DisplayObjectCounts c = platform::displayObjectCounts();
        const int left[] = {c.displays, c.surfaces, c.palettes, c.clippers, c.contexts, c.bitmaps};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(left[i], 0) << "of displays, surfaces, palettes, clippers, contexts, bitmaps: #" << i;
    }

    std::unique_ptr<testing_support::ScratchDir> scratch_;
};

// Pixel values straight from a surface's memory (32 or 16 bits; every
// machine the tests run on is little-endian, as the surfaces' formats are).
inline uint32_t pixelAt(platform::Surface* s, int x, int y) {
    platform::SurfaceDesc d;
    if (platform::displayFailed(platform::lockSurface(s, nullptr, d, platform::DDLOCK_WAIT))) return 0xDEADBEEF;
    const std::size_t bytes = d.format.bitCount / 8;
    uint32_t v = 0;
    const uint8_t* row = static_cast<const uint8_t*>(d.pixels) + static_cast<std::ptrdiff_t>(y) * d.pitch;
    std::memcpy(&v, row + static_cast<std::size_t>(x) * bytes, bytes);
    platform::unlockSurface(s, nullptr);
    return v;
}

// Fills a surface with one pixel value through a lock.
inline void fillSurface(platform::Surface* s, uint32_t value) {
    platform::SurfaceDesc d;
    ASSERT_FALSE(platform::displayFailed(platform::lockSurface(s, nullptr, d, platform::DDLOCK_WAIT)));
    const std::size_t bytes = d.format.bitCount / 8;
    for (int y = 0; y < d.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(d.pixels) + static_cast<std::ptrdiff_t>(y) * d.pitch;
        for (int x = 0; x < d.width; ++x) std::memcpy(row + static_cast<std::size_t>(x) * bytes, &value, bytes);
    }
    platform::unlockSurface(s, nullptr);
}

// A new offscreen surface of the display (optionally of another format).
inline platform::Surface* makeOffscreen(platform::Display* display, int w, int h,
                                        const platform::PixelFormat* format = nullptr) {
    using namespace platform;
    SurfaceDesc d;
    d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.caps = DDSCAPS_OFFSCREENPLAIN;
    d.width = w;
    d.height = h;
    if (format) d.flags |= DDSD_PIXELFORMAT;
    if (format) d.format = *format;
    Surface* s = nullptr;
    EXPECT_EQ(createSurface(display, d, &s), DD_OK);
    return s;
}

}  // namespace displaytest
