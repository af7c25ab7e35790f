// The generated pictures, icon and help files, read back through the
// game's own bitmap loader: every picture of the list loads and is large
// enough, the colour key is exactly where the art is transparent, the town
// carries the palette, the pieces that must blend into the backdrop do, and
// a second run of the generator writes the same bytes.
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
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testing_support::readBytes;

namespace {

constexpr uint32_t WHITE = 0x00FFFFFF;

// A picture as the game reads it: GDI colours 0x00BBGGRR, row after row.
struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<uint32_t> pixels;
    std::vector<platform::RgbQuad> colourTable;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

bool loadPicture(const fs::path& path, Picture& out) {
    platform::Bitmap* bitmap = platform::loadBitmapFile(path.string().c_str());
    if (!bitmap) return false;
    platform::BitmapInfo info;
    platform::getBitmapInfo(bitmap, info);
    out.width = info.width;
    out.height = info.height;
    out.bitsPerPixel = info.bitsPerPixel;
    platform::DrawContext* context = platform::createMemoryContext();
    platform::Bitmap* previous = platform::selectBitmap(context, bitmap);
    out.pixels.resize(static_cast<size_t>(out.width * out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.pixels[static_cast<size_t>(y * out.width + x)] = platform::getPixel(context, x, y);
    out.colourTable.resize(256);
    out.colourTable.resize(static_cast<size_t>(platform::getColorTable(context, 0, 256, out.colourTable.data())));
    platform::selectBitmap(context, previous);
    platform::deleteContext(context);
    platform::deleteBitmap(bitmap);
    return true;
}

bool runGenerator(const fs::path& out) {
    const std::string tool = PACHINKO_GAME_DIR "/pachinko-assets";
    const std::string command = "QT_QPA_PLATFORM=offscreen '" + tool + "' --no-sounds --out '" + out.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// The build drew everything into the game folder once; every case, each in
// a process of its own under ctest, reads that one generation. Only the
// determinism test runs the generator again (without the sounds: they have
// tests of their own and take far longer than the drawing).
class GeneratedContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const PictureFile& row : pictureFiles) {
            Picture p;
            if (loadPicture(dir_ / row.file, p)) pictures_[row.file] = std::move(p);
        }
    }
    void SetUp() override {
        ASSERT_TRUE(fs::exists(dir_ / "pachinko.ico")) << "the build wrote no content into " PACHINKO_GAME_DIR;
    }
    static const Picture& picture(const std::string& file) {
        static const Picture none;
        auto it = pictures_.find(file);
        return it == pictures_.end() ? none : it->second;
    }

    static inline const fs::path dir_{PACHINKO_GAME_DIR};
    static inline std::map<std::string, Picture> pictures_;
};

TEST_F(GeneratedContent, EveryPictureOfTheListLoadsAndHoldsItsReadRegion) {
    for (const PictureFile& row : pictureFiles) {
        SCOPED_TRACE(row.file);
        ASSERT_TRUE(fs::exists(dir_ / row.file)) << "exact file name, case included";
        const Picture& p = picture(row.file);
        ASSERT_FALSE(p.pixels.empty()) << "the game's loader cannot read it";
        EXPECT_GE(p.width, row.readWidth);
        EXPECT_GE(p.height, row.readHeight);
    }
}

TEST_F(GeneratedContent, TownFramesShareThePaletteThatBack1Carries) {
    const Picture& back1 = picture("back1.bmp");
    const Picture& back2 = picture("back2.bmp");
    ASSERT_EQ(back1.bitsPerPixel, 8);
    ASSERT_EQ(back1.colourTable.size(), 256u);
    std::set<uint32_t> palette;
    for (const platform::RgbQuad& q : back1.colourTable)
        palette.insert(static_cast<uint32_t>(q.red) | static_cast<uint32_t>(q.green) << 8 | static_cast<uint32_t>(q.blue) << 16);
    EXPECT_GT(palette.size(), 200u) << "a real palette, not a few repeated entries";
    EXPECT_TRUE(palette.count(0x000000) && palette.count(WHITE));
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

TEST_F(GeneratedContent, KeyedPicturesAreTransparentExactlyInPureWhite) {
    for (const PictureFile& row : pictureFiles) {
        if (!row.keyed) continue;
        SCOPED_TRACE(row.file);
        const Picture& p = picture(row.file);
        ASSERT_FALSE(p.pixels.empty());
        bool anyWhite = false, anyVisible = false;
        for (int y = 0; y < row.readHeight; ++y) {
            for (int x = 0; x < row.readWidth; ++x) {
                uint32_t c = p.at(x, y);
                if (c == WHITE) {
                    anyWhite = true;
                    continue;
                }
                anyVisible = true;
                // A 15- or 16-bit display keeps only the top five bits of a
                // channel: a highlight this bright would turn transparent.
                bool nearWhite = (c & 0xF8) == 0xF8 && ((c >> 8) & 0xF8) == 0xF8 && ((c >> 16) & 0xF8) == 0xF8;
                ASSERT_FALSE(nearWhite) << "at " << x << "," << y;
            }
        }
        EXPECT_TRUE(anyVisible);
        // The home door's base is also drawn without the key while the
        // door closes, so it must have no transparent pixel at all.
        if (std::string(row.file) == "do1_0.bmp")
            EXPECT_FALSE(anyWhite);
        else
            EXPECT_TRUE(anyWhite) << "nothing transparent";
    }
}

TEST_F(GeneratedContent, SpritesShowWhereTheGameDrawsThemOverSomething) {
    struct Point { const char* file; int x, y; };
    const Point solid[] = {
        {"My1.bmp", 16, 16}, {"My1.bmp", 16, 6},  {"My2.bmp", 16, 16}, {"My2.bmp", 16, 6},  // body, face
        {"tama.bmp", 8, 8},  {"tama.bmp", 8, 2},  {"tama.bmp", 8, 14}, {"tama.bmp", 2, 8},   {"tama.bmp", 14, 8},
        {"hane1.bmp", 17, 17}, {"hane2.bmp", 17, 17}, {"lamp1.bmp", 4, 4}, {"lamp2.bmp", 4, 4},
        {"lamp3.bmp", 2, 2}, {"lamp4.bmp", 1, 1}, {"koin.bmp", 15, 32}, {"do1_1.bmp", 6, 20},
        {"do1_2.bmp", 2, 20}, {"do2_0.bmp", 20, 25}, {"do3_0.bmp", 31, 30},
    };
    for (const Point& s : solid) EXPECT_NE(picture(s.file).at(s.x, s.y), WHITE) << s.file << " " << s.x << "," << s.y;
    // The ball's corners are transparent: it is round on the board.
    const Picture& tama = picture("tama.bmp");
    EXPECT_EQ(tama.at(0, 0), WHITE);
    EXPECT_EQ(tama.at(16, 16), WHITE);
    // The walker stands on his feet: the bottom rows hold his shoes, so the
    // spots line up with where he stands.
    for (const char* file : {"My1.bmp", "My2.bmp"}) {
        const Picture& w = picture(file);
        bool shoesLow = false;
        for (int y = 28; y < 32; ++y)
            for (int x = 0; x < 32; ++x) shoesLow |= w.at(x, y) != WHITE;
        EXPECT_TRUE(shoesLow) << file;
    }
    // The walker's two frames differ (the legs move).
    EXPECT_NE(picture("My1.bmp").pixels, picture("My2.bmp").pixels);
    // A door opening shows less and less of the leaf.
    auto visible = [](const Picture& p) {
        size_t n = 0;
        for (uint32_t c : p.pixels) n += c != WHITE;
        return n;
    };
    EXPECT_GT(visible(picture("do2_1.bmp")), visible(picture("do2_2.bmp")));
    EXPECT_GT(visible(picture("do3_1.bmp")), visible(picture("do3_2.bmp")));
}

TEST_F(GeneratedContent, ReelStripRepeatsItsTopSoTheWindowNeverShowsAnEdge) {
    const Picture& slot = picture("slot.bmp");
    ASSERT_GE(slot.height, 346);
    // The window is 57 rows high and may start at any row up to 289.
    for (int y = 290; y < 346; ++y)
        for (int x = 0; x < slot.width; ++x) ASSERT_EQ(slot.at(x, y), slot.at(x, y - 290)) << x << "," << y;
    // The winning symbol's cell (rows 203..231) differs from every other cell.
    for (int n = 0; n < 10; ++n) {
        if (n == 7) continue;
        bool differs = false;
        for (int y = 0; y < 29 && !differs; ++y)
            for (int x = 0; x < slot.width && !differs; ++x) differs = slot.at(x, 203 + y) != slot.at(x, 29 * n + y);
        EXPECT_TRUE(differs) << "symbol " << n;
    }
}

TEST_F(GeneratedContent, OpaquePiecesBlendIntoTheBackdropsTheyAreDrawnOn) {
    // The dial lever is copied without a key anywhere on its track: its
    // top and bottom rows are the track itself at every height the lever
    // can take, so no seam shows above or below the grip.
    const Picture& back3 = picture("back3.bmp");
    const Picture& dial = picture("dial.bmp");
    for (int power = 0; power <= DIAL_MAX_POWER; ++power) {
        for (int y : {0, 27}) {
            for (int x = 0; x < 101; ++x)
                ASSERT_EQ(dial.at(x, y), back3.at(DIAL_AT_ZERO.left + x, DIAL_AT_ZERO.top - power + y))
                    << "power " << power << " at " << x << "," << y;
        }
    }
    // The flower stand is copied without a key beside every parlour door
    // in both frames: its corners are the wall behind it.
    const Picture& hana = picture("hana.bmp");
    for (const char* file : {"back1.bmp", "back2.bmp"}) {
        const Picture& back = picture(file);
        for (int n = 0; n < TOWN_PARLOURS; ++n) {
            for (TownRect r : {flowerLeft(n), flowerRight(n)}) {
                EXPECT_EQ(hana.at(0, 0), back.at(r.left, r.top)) << file << " parlour " << n;
                EXPECT_EQ(hana.at(31, 0), back.at(r.left + 31, r.top)) << file << " parlour " << n;
                EXPECT_EQ(hana.at(0, 45), back.at(r.left, r.top + 45)) << file << " parlour " << n;
                EXPECT_EQ(hana.at(31, 45), back.at(r.left + 31, r.top + 45)) << file << " parlour " << n;
            }
        }
    }
}

TEST_F(GeneratedContent, IconAndHelpFilesAreWritten) {
    // The window loads it through Qt's icon reader: transparent corners, an
    // opaque middle.
    QImage icon(QString::fromStdString((dir_ / "pachinko.ico").string()));
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(16, 16)), 255);
    EXPECT_EQ(QImage(QString::fromStdString((dir_ / "pachinko.png").string())).size(), QSize(32, 32));
    std::vector<uint8_t> pachi = readBytes(dir_ / "pachi.hlp"), error = readBytes(dir_ / "error.hlp");
    const std::string howTo(pachi.begin(), pachi.end()), trouble(error.begin(), error.end());
    EXPECT_NE(howTo.find("charset=\"utf-8\""), std::string::npos);
    for (const char* topic : {"換金所", "銀行", "発射ダイヤル", "発射停止", "3億円", "破産", "調整モード"})
        EXPECT_NE(howTo.find(topic), std::string::npos) << topic;
    for (const char* topic : {"tama.dat", "pachiko.dat", "DirectSound", "IPAGothic", "640"})
        EXPECT_NE(trouble.find(topic), std::string::npos) << topic;
}

// A second run writes the build's bytes again and leaves a saved game alone.
TEST(GeneratorRuns, ARunWritesTheBuildsBytesAgainAndLeavesTheSaveFileAlone) {
    const testing_support::ScratchDir scratch;
    const fs::path& a = scratch.path();
    const std::vector<uint8_t> save = {1, 2, 3, 4, 5, 6, 7, 8};
    testing_support::writeBytes(a / "pachiko.dat", save);
    ASSERT_TRUE(runGenerator(a));
    EXPECT_EQ(readBytes(a / "pachiko.dat"), save);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(a)) names.insert(e.path().filename().string());
    names.erase("pachiko.dat");
    for (const PictureFile& row : pictureFiles) EXPECT_TRUE(names.count(row.file)) << row.file;
    for (const std::string& name : names)
        EXPECT_EQ(readBytes(a / name), readBytes(fs::path(PACHINKO_GAME_DIR) / name)) << name;
}

}  // namespace

// The town's layout table, which the art and the town screen share. (That
// every place opens, seats and leaves is the town screen's tests'.)
namespace {

TEST(TownLayout, FlowerStandsFlankTheDoorAndSeatsStandSideBySide) {
    for (int n = 0; n < TOWN_PARLOURS; ++n) {
        SCOPED_TRACE(n);
        const TownRect door = PARLOUR_DOORS[n].baseTarget, left = flowerLeft(n), right = flowerRight(n);
        EXPECT_EQ(left.width(), FLOWER_SOURCE.width());
        EXPECT_EQ(right.height(), FLOWER_SOURCE.height());
        EXPECT_LE(left.right, door.left);
        EXPECT_GE(right.left, door.right);
        EXPECT_EQ(left.bottom, door.bottom) << "standing on the same pavement";
        // Left to right without sharing a pixel: each seat is its own machine.
        for (int s = 1; s < SEATS_PER_PARLOUR; ++s) EXPECT_GT(PARLOUR_SEATS[n][s].xMin, PARLOUR_SEATS[n][s - 1].xMax);
    }
}

}  // namespace
