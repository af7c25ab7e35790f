// Text as the display core reads it: UTF-8 read as Qt reads it (the text
// drawn on Linux before the core had its own reader). How it is drawn is
// checked against the font engine with the display shortcuts.
#include <gtest/gtest.h>

#include <QString>
#include <random>
#include <string>

#include "platform/core/display_internal.h"

using namespace platform;

namespace {

std::u16string qtReading(const std::string& bytes) {
    const QString s = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}

// Random bytes, mostly of the kinds that start or continue sequences: well
// formed sequences of every length, overlong ones, surrogates, code points
// past U+10FFFF, cut and stray continuations, NULs.
TEST(TextReading, Utf8IsReadAsQtReadsItWellFormedOrNot) {
    std::u16string ours;
    std::mt19937 dice(7);
    const uint8_t kinds[] = {0x41, 0x80, 0xBB, 0xBF, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5};
    for (int n = 0; n < 20000; ++n) {
        std::string bytes;
        for (int len = static_cast<int>(dice() % 9); len > 0; --len)
            bytes += static_cast<char>(dice() % 2 ? kinds[dice() % sizeof kinds] : dice() % 256);
        utf8ToUtf16(bytes.data(), static_cast<int>(bytes.size()), ours);
        ASSERT_EQ(ours, qtReading(bytes)) << testing::PrintToString(bytes);
    }
}

}  // namespace
