// Start-up, closing time and the menu commands, on the headless backend.
// (Saving on the way out: the closing time's Yes below and the headless
// runner's menu exit.)
#include <gtest/gtest.h>

#include "machine/tables.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "shell/main_window.h"
#include "test_support.h"

using namespace testing_support;
using namespace platform;

namespace {

// The saved day's low byte, or -1 without a whole saved game.
int savedDayOnDisk() {
    std::vector<uint8_t> bytes = readBytes("pachiko.dat");
    return bytes.size() == 64 ? bytes[0] : -1;
}

// A game started in a folder with a course file and a save of day 4.
struct Started {
    GameDir dir;
    Started(const char* commandLine = "") {
        writeCourseFile("tama.dat");
        writeBytes("pachiko.dat", playerFileBytes(4, 777));
        clearEventLog();
        ok = startUp(commandLine, 1);
        boxesAtStart = headless::messageBoxes().size();
    }
    // The boxes opened since start-up (which reports the missing sounds).
    std::vector<headless::MessageBoxInfo> boxes() const {
        const auto& all = headless::messageBoxes();
        return {all.begin() + static_cast<std::ptrdiff_t>(boxesAtStart), all.end()};
    }
    bool ok = false;
    size_t boxesAtStart = 0;
};

}  // namespace

TEST(StartUp, OpensTheWindowAndLoadsTheNextDay) {
    Started s;
    ASSERT_TRUE(s.ok);
    // Centred on the 1920 × 1080 headless screen, 640 × 460.
    EXPECT_EQ(eventLog()[0], "window create \"PACHINKO ろもぺ Ver1.03\" at 640,310 size 640x460");
    EXPECT_EQ(headless::timerPeriod(TICK_TIMER), 100);
    EXPECT_EQ(game.player.day, 5);
    EXPECT_EQ(game.player.cash, 777);
    EXPECT_EQ(daySchedule[0].slotSetting[2], 6);  // schedule filled
}

// No window class and no display end silently; no "tama.dat" ends with its
// box, in tuning mode too: the load runs before the tuning letter is read.
TEST(StartUp, FailuresEndWithCodeZeroAndSaveNothing) {
    enum Failure { WINDOW_CLASS, NO_COURSES, NO_COURSES_TUNING, DISPLAY };
    for (Failure f : {WINDOW_CLASS, NO_COURSES, NO_COURSES_TUNING, DISPLAY}) {
        SCOPED_TRACE(f);
        GameDir dir;
        const bool noCourses = f == NO_COURSES || f == NO_COURSES_TUNING;
        if (!noCourses) writeCourseFile("tama.dat");
        if (f == WINDOW_CLASS) headless::failWindowClass();
        if (f == DISPLAY) failDisplayStep(DisplayStep::CreateDevice);
        EXPECT_EQ(winMain(f == NO_COURSES_TUNING ? "T" : "", 1), 0);
        // No sounds here either: the sound set-up comes before the load, so its boxes stand first.
        const std::vector<std::string> noCourseBoxes = {"Waveファイルのオープンに失敗", "セカンダリ・バッファの作成に失敗",
                                                        "設定ファイル読み出しに失敗"};
        EXPECT_EQ(boxTexts(), noCourses ? noCourseBoxes : std::vector<std::string>{});
        EXPECT_FALSE(std::filesystem::exists("pachiko.dat"));
    }
}

TEST(StartUp, TuningLetter) {
    struct Case {
        const char* commandLine;
        int32_t tuning;
    };
    for (Case c : {Case{"t", 1}, Case{"Tune me", 1}, Case{"xT", 0}, Case{"", 0}, Case{" T", 0}}) {
        Started s(c.commandLine);
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(game.tuningMode, c.tuning) << '"' << c.commandLine << '"';
    }
}

TEST(ClosingTime, ComesOnTick72001AndNoAdvancesOneDayWhileTicksGoOn) {
    Started s;
    game.homeState = 0;
    game.bankState = 23;
    game.dayTicks = 71999;
    headless::tick();
    EXPECT_TRUE(s.boxes().empty());
    int nestedBoxes = 0;
    headless::setMessageBoxHandler([&](const headless::MessageBoxInfo& box) {
        EXPECT_EQ(box.text, "本日終了しました。終了しますか");
        EXPECT_EQ(box.caption, "はようでてや");
        EXPECT_EQ(box.style, MB_YESNO | MB_ICONWARNING | MB_SETFOREGROUND);
        // The player is home already while the box is open.
        EXPECT_EQ(game.homeState, PLACE_INSIDE);
        EXPECT_EQ(game.bankState, 0);
        size_t before = headless::messageBoxes().size();
        headless::tick(40);
        nestedBoxes += static_cast<int>(headless::messageBoxes().size() - before);
        EXPECT_EQ(game.dayTicks, CLOSING_TICKS + 41);
        return IDNO;
    });
    headless::tick();
    EXPECT_EQ(s.boxes().size(), 1u);
    EXPECT_EQ(nestedBoxes, 0);  // the guard kept a second box away
    EXPECT_EQ(game.player.day, 6);
    EXPECT_EQ(game.dayTicks, 0);
    EXPECT_EQ(game.promptGuard, 0);
}

TEST(ClosingTime, SeatedPlayerIsTakenHomeByTheNextParlourTick) {
    Started s;
    game.inParlour = 1;
    game.dayTicks = CLOSING_TICKS;
    headless::queueAnswer(IDNO);
    headless::tick(2);
    EXPECT_EQ(game.inParlour, 0);
}

TEST(ClosingTime, YesEndsTheProgramAndSaves) {
    Started s;
    game.dayTicks = CLOSING_TICKS;
    headless::queueAnswer(IDYES);
    headless::post(MSG_TIMER, 1, 0);
    EXPECT_EQ(shutDown(messageLoop()), 0);
    EXPECT_EQ(savedDayOnDisk(), 5);
}

TEST(ClosingTime, NeverInTuningMode) {
    Started s("T");
    game.dayTicks = CLOSING_TICKS;
    headless::tick(10);
    EXPECT_EQ(game.dayTicks, CLOSING_TICKS);
    EXPECT_TRUE(s.boxes().empty());
}

TEST(Menu, CommandsOfTheGamePopUp) {
    Started s;
    headless::send(MSG_COMMAND, CMD_NEW, 0);
    EXPECT_EQ(game.player.day, 0);
    game.player.cash = 8888;
    headless::send(MSG_COMMAND, CMD_SAVE, 0);
    EXPECT_EQ(savedDayOnDisk(), 0);
    game.player.cash = 1;
    headless::send(MSG_COMMAND, CMD_LOAD, 0);
    EXPECT_EQ(game.player.cash, 8888);
    EXPECT_EQ(game.player.day, 1);
    // A load that cannot find the course file changes nothing.
    std::filesystem::remove("tama.dat");
    game.player.cash = 2;
    headless::send(MSG_COMMAND, CMD_LOAD, 0);
    EXPECT_EQ(game.player.cash, 2);
    EXPECT_EQ(boxTexts().back(), "ファイル読み出しに失敗");
}

TEST(Menu, HelpAndDialogs) {
    Started s;
    headless::send(MSG_COMMAND, CMD_HELP, 0);
    headless::send(MSG_COMMAND, CMD_TROUBLE, 0);
    EXPECT_EQ(logLines("help"), (std::vector<std::string>{"help pachi.hlp command 9", "help error.hlp command 9"}));
    headless::send(MSG_COMMAND, CMD_SOUND, 0);
    headless::send(MSG_COMMAND, CMD_ABOUT, 0);
    headless::send(MSG_COMMAND, CMD_INTRO, 0);
    headless::send(MSG_COMMAND, 99, 0);  // unknown ids are ignored
    std::vector<int> made;
    for (const headless::DialogInfo& d : headless::dialogs()) made.push_back(d.visible ? d.templateId : -1);
    EXPECT_EQ(made, (std::vector<int>{DIALOG_SOUND, DIALOG_ABOUT, DIALOG_INTRO}));
}
