// The town end to end with pachinko-headless and the generated pictures: a
// day of banking, and screenshots of the three interiors compared with their
// picture files. (The booth is played by the soak, which exchanges at it with
// every rule of the state checked, and by the day cycle tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "image_reader.h"
#include "runner.h"
#include "test_support.h"
#include "town/town_layout.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// The generated pictures and a course file in the test's folder.
void copyGamePictures(const fs::path& to) {
    for (const auto& entry : fs::directory_iterator(PACHINKO_GAME_DIR))
        if (entry.path().extension() == ".bmp") fs::copy_file(entry.path(), to / entry.path().filename());
    writeCourseFile(to / "tama.dat");
}

// Walking the town from the home's door: out of the home (down onto its
// door), and the closing door left behind.
const char* LEAVE_HOME =
    "key down 0x28\ntick 6\nkey up 0x28\n";

}  // namespace

TEST(TownEndToEnd, ADayOfBankingEndsInBedAndAnsweringNoStartsTheNextDay) {
    GameDir dir;
    copyGamePictures(dir.path());
    const std::string script = std::string(
        "answer ok\nanswer ok\nanswer ok   # no sounds, no saved game\n"
        "tick 2\ndialog click 25 41        # the introduction\n") + LEAVE_HOME +
        "tick 20\n"
        "key down 0x27\ntick 50\nkey up 0x27   # along the street into the bank's door\n"
        "tick 20\n"
        "key down 0x25\ntick 26\nkey up 0x25\n"
        "key down 0x26\ntick 15\nkey up 0x26   # up onto the deposit counter\n"
        "dialog type 24 61 5000\ndialog click 24 42\ndialog click 24 41\n"
        "key down 0x28\ntick 2\nkey up 0x28\nkey down 0x27\ntick 38\nkey up 0x27\n"
        "key down 0x26\ntick 4\nkey up 0x26   # the loan counter\n"
        "dialog type 24 61 50000\ndialog click 24 42\ndialog click 24 41\n"
        "key down 0x28\ntick 2\nkey up 0x28\nkey down 0x27\ntick 19\nkey up 0x27\n"
        "key down 0x26\ntick 4\nkey up 0x26   # the repayment counter\n"
        "dialog click 24 42\ndialog click 24 41\n"
        "key down 0x28\ntick 12\nkey up 0x28\nkey down 0x25\ntick 40\nkey up 0x25   # out of the bank\n"
        "tick 25\nkey down 0x25\ntick 55\nkey up 0x25   # home\n"
        "tick 20\nkey down 0x27\ntick 9\nkey up 0x27\n"
        "answer no\nkey down 0x26\ntick 22\nkey up 0x26   # to bed\n"
        "tick 2\ndump evening.json\n";
    EXPECT_EQ(runScript(dir.path(), script), 0);
    const std::string log = readText(dir.path() / "log.txt");
    EXPECT_EQ(log.find("unanswered"), std::string::npos) << log;
    EXPECT_EQ(log.find("script: line"), std::string::npos) << "a dialog was not open";
    const std::string dump = readText(dir.path() / "evening.json");
    EXPECT_EQ(dumpField(dump, "day"), 1);
    EXPECT_EQ(dumpField(dump, "cash"), 3501);  // 10000 - 5000 + 50000 - 51499
    EXPECT_EQ(dumpField(dump, "deposit"), 5000);
    EXPECT_EQ(dumpField(dump, "creditLimit"), 80000);  // the oldest loan repaid
    EXPECT_LT(dumpField(dump, "dayTicks"), 10);  // the day started again at the bed
}

// Each interior at full size lies 1:1 over the town: every sampled pixel of
// the screenshot off the walker and the status lines is the picture's own.
TEST(TownEndToEnd, ScreenshotsOfTheInteriorsShowTheirPictures) {
    GameDir dir;
    copyGamePictures(dir.path());
    writeBytes(dir.path() / "pachiko.dat", playerFileBytes(0, 10000, 0));
    const std::string script = std::string("answer ok\nanswer ok\ntick 3\nscreenshot home.png\ndump home.json\n") +
                               LEAVE_HOME +
                               "tick 20\nkey down 0x27\ntick 50\nkey up 0x27\ntick 20\n"
                               "screenshot bank.png\ndump bank.json\n"
                               "key down 0x25\ntick 2\nkey up 0x25\nkey down 0x27\ntick 2\nkey up 0x27\n"
                               "tick 1   # off the bank's door and back on: out\n"
                               "key down 0x26\ntick 39\nkey up 0x26\nkey down 0x25\ntick 84\nkey up 0x25\n"
                               "key down 0x26\ntick 13\nkey up 0x26   # into the first parlour\n"
                               "tick 20\nkey down 0x26\ntick 5\nkey up 0x26\ntick 2   # off its door\n"
                               "screenshot parlour.png\ndump parlour.json\n";
    EXPECT_EQ(runScript(dir.path(), script), 0);
    struct Interior {
        std::string name;
        const char* picture;
        TownRect full;
    };
    const Interior interiors[] = {
        {"home", "home1.bmp", HOME_INTERIOR.full},
        {"bank", "ginko1.bmp", BANK_INTERIOR.full},
        {"parlour", "tennai1.bmp", PARLOUR_INTERIORS[0].full},
    };
    for (const Interior& in : interiors) {
        SCOPED_TRACE(in.name);
        // (Taken anywhere but inside, the interior would not cover all of it.)
        const std::string dump = readText(dir.path() / (in.name + ".json"));
        const int64_t wx = dumpField(dump, "walkerX"), wy = dumpField(dump, "walkerY");
        const TestImage shot = readImage(dir.path() / (in.name + ".png"));
        const TestImage picture = readImage(dir.path() / in.picture);
        ASSERT_EQ(shot.width, 640);
        ASSERT_FALSE(picture.isNull());
        int compared = 0;
        for (int y = in.full.top; y < in.full.bottom; y += 7) {
            for (int x = in.full.left; x < in.full.right; x += 11) {
                const bool onWalker = x >= wx && x < wx + WALKER_SIZE && y >= wy && y < wy + WALKER_SIZE;
                const bool onStatus = x < STATUS_TEXT_AREA.right && y < STATUS_TEXT_AREA.bottom;
                if (onWalker || onStatus) continue;
                ASSERT_EQ(shot.pixel(x, y), picture.pixel(x - in.full.left, y - in.full.top))
                    << x << "," << y;
                ++compared;
            }
        }
        EXPECT_GT(compared, 500);
    }
}
