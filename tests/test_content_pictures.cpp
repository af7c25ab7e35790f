// The generated pictures, icon and help files, read back through the
// game's own bitmap loader: every picture of the list loads and is large
// enough, the colour key is exactly where the art is transparent, the town
// carries the palette, the pieces that must blend into the backdrop do, and
// a second run of the generator writes the same bytes.
//
// The build drew everything into the game folder once; the cases read that
// one generation. Only the determinism case runs the generator again
// (without the sounds: they have tests of their own and take far longer).
#include <gtest/gtest.h>

#include "machine/playfield.h"
#include "media/assets.h"
#include "platform/display.h"
#include "test_support.h"
#include "town/town_layout.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testing_support::readBytes;

namespace {

constexpr uint32_t WHITE = 0x00FFFFFF;
const fs::path GAME_DIR{PACHINKO_GAME_DIR};

// A picture as the game reads it: GDI colours 0x00BBGGRR, row after row;
// no pixels when the game's loader cannot read it (at() then throws, which
// fails the case).
struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<uint32_t> pixels;
    std::vector<platform::RgbQuad> colourTable;
    uint32_t at(int x, int y) const { return pixels.at(static_cast<size_t>(y * width + x)); }
};

Picture picture(const std::string& file) {
    Picture out;
    platform::Bitmap* bitmap = platform::loadBitmapFile((GAME_DIR / file).string().c_str());
    if (!bitmap) return out;
    platform::BitmapInfo info;
    platform::getBitmapInfo(bitmap, info);
    out.width = info.width;
    out.height = info.height;
    out.bitsPerPixel = info.bitsPerPixel;
    platform::DrawContext* context = platform::createMemoryContext();
    platform::Bitmap* previous = platform::selectBitmap(context, bitmap);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.pixels.push_back(platform::getPixel(context, x, y));
    out.colourTable.resize(256);
    out.colourTable.resize(static_cast<size_t>(platform::getColorTable(context, 0, 256, out.colourTable.data())));
    platform::selectBitmap(context, previous);
    platform::deleteContext(context);
    platform::deleteBitmap(bitmap);
    return out;
}

TEST(GeneratedContent, EveryPictureLoadsHoldsItsReadRegionAndIsKeyedExactlyInPureWhite) {
    for (const PictureFile& row : pictureFiles) {
        SCOPED_TRACE(row.file);
        ASSERT_TRUE(fs::exists(GAME_DIR / row.file)) << "exact file name, case included";
        const Picture p = picture(row.file);
        ASSERT_FALSE(p.pixels.empty()) << "the game's loader cannot read it";
        ASSERT_GE(p.width, row.readWidth);
        ASSERT_GE(p.height, row.readHeight);
        if (!row.keyed) continue;
        bool anyWhite = false, anyVisible = false;
        for (int y = 0; y < row.readHeight; ++y) {
            for (int x = 0; x < row.readWidth; ++x) {
                const uint32_t c = p.at(x, y);
                anyWhite |= c == WHITE;
                anyVisible |= c != WHITE;
                // A 15- or 16-bit display keeps only the top five bits of a
                // channel: a highlight this bright would turn transparent.
                const bool nearWhite = (c & 0xF8) == 0xF8 && ((c >> 8) & 0xF8) == 0xF8 && ((c >> 16) & 0xF8) == 0xF8;
                ASSERT_TRUE(c == WHITE || !nearWhite) << "at " << x << "," << y;
            }
        }
        EXPECT_TRUE(anyVisible) << "nothing shows";
        // The home door's base is also drawn without the key while the
        // door closes, so it must have no transparent pixel at all.
        EXPECT_EQ(anyWhite, std::string(row.file) != "do1_0.bmp");
    }
    // The ball is round on the board: transparent corners.
    EXPECT_EQ(picture("tama.bmp").at(0, 0), WHITE);
}

TEST(GeneratedContent, TownFramesShareThePaletteThatBack1Carries) {
    const Picture back1 = picture("back1.bmp");
    const Picture back2 = picture("back2.bmp");
    ASSERT_EQ(back1.bitsPerPixel, 8);
    std::set<uint32_t> palette;
    for (const platform::RgbQuad& q : back1.colourTable)
        palette.insert(static_cast<uint32_t>(q.red) | static_cast<uint32_t>(q.green) << 8 | static_cast<uint32_t>(q.blue) << 16);
    // Both frames alternate every few ticks: on a 256-colour display the
    // second one must not need colours the palette lacks.
    ASSERT_EQ(back2.pixels.size(), back1.pixels.size());
    for (uint32_t c : back2.pixels) ASSERT_TRUE(palette.count(c)) << std::hex << c;
    // The frames differ (the neon blinks) but only in places.
    size_t differing = 0;
    for (size_t i = 0; i < back1.pixels.size(); ++i) differing += back1.pixels[i] != back2.pixels[i];
    EXPECT_GT(differing, 0u);
    EXPECT_LT(differing, back1.pixels.size() / 10);
}

TEST(GeneratedContent, ReelStripRepeatsItsTopSoTheWindowNeverShowsAnEdge) {
    const Picture slot = picture("slot.bmp");
    ASSERT_GE(slot.height, 346);
    // The window is 57 rows high and may start at any row up to 289.
    for (int y = 290; y < 346; ++y)
        for (int x = 0; x < slot.width; ++x) ASSERT_EQ(slot.at(x, y), slot.at(x, y - 290)) << x << "," << y;
}

TEST(GeneratedContent, OpaquePiecesBlendIntoTheBackdropsTheyAreDrawnOn) {
    // The dial lever is copied without a key anywhere on its track: its
    // top and bottom rows are the track itself at every height the lever
    // can take, so no seam shows above or below the grip.
    const Picture back3 = picture("back3.bmp");
    const Picture dial = picture("dial.bmp");
    for (int power = 0; power <= DIAL_MAX_POWER; ++power)
        for (int y : {0, 27})
            for (int x = 0; x < 101; ++x)
                ASSERT_EQ(dial.at(x, y), back3.at(DIAL_AT_ZERO.left + x, DIAL_AT_ZERO.top - power + y))
                    << "power " << power << " at " << x << "," << y;
    // The flower stand is copied without a key beside every parlour door
    // in both frames: its corners are the wall behind it.
    const Picture hana = picture("hana.bmp");
    for (const char* file : {"back1.bmp", "back2.bmp"}) {
        const Picture back = picture(file);
        for (int n = 0; n < TOWN_PARLOURS; ++n)
            for (TownRect r : {flowerLeft(n), flowerRight(n)}) {
                EXPECT_EQ(hana.at(0, 0), back.at(r.left, r.top)) << file << " parlour " << n;
                EXPECT_EQ(hana.at(31, 45), back.at(r.left + 31, r.top + 45)) << file << " parlour " << n;
            }
    }
}

TEST(GeneratedContent, IconAndHelpFilesAreWritten) {
    // The window loads it through Qt's icon reader: transparent corners, an
    // opaque middle.
    QImage icon(QString::fromStdString((GAME_DIR / "pachinko.ico").string()));
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(16, 16)), 255);
    // The help pages are read as UTF-8 and each names its subject.
    std::vector<uint8_t> pachi = readBytes(GAME_DIR / "pachi.hlp"), error = readBytes(GAME_DIR / "error.hlp");
    const std::string howTo(pachi.begin(), pachi.end()), trouble(error.begin(), error.end());
    EXPECT_NE(howTo.find("charset=\"utf-8\""), std::string::npos);
    EXPECT_NE(howTo.find("発射ダイヤル"), std::string::npos);
    EXPECT_NE(trouble.find("pachiko.dat"), std::string::npos);
}

// A second run writes the build's bytes again and leaves a saved game alone.
TEST(GeneratorRuns, ARunWritesTheBuildsBytesAgainAndLeavesTheSaveFileAlone) {
    const testing_support::ScratchDir scratch;
    const fs::path& a = scratch.path();
    const std::vector<uint8_t> save = {1, 2, 3, 4, 5, 6, 7, 8};
    testing_support::writeBytes(a / "pachiko.dat", save);
    const std::string command = "QT_QPA_PLATFORM=offscreen '" + (GAME_DIR / "pachinko-assets").string() +
                                "' --no-sounds --out '" + a.string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readBytes(a / "pachiko.dat"), save);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(a)) names.insert(e.path().filename().string());
    names.erase("pachiko.dat");
    for (const PictureFile& row : pictureFiles) EXPECT_TRUE(names.count(row.file)) << row.file;
    for (const std::string& name : names) EXPECT_EQ(readBytes(a / name), readBytes(GAME_DIR / name)) << name;
}

}  // namespace
