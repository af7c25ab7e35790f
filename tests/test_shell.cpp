// Start-up, the tick and its dispatch, closing time, the menu commands and
// shutdown, on the headless backend.
#include <gtest/gtest.h>

#include <algorithm>

#include "machine/tables.h"
#include "media/display.h"
#include "platform/display.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "resources/resources.h"
#include "save/save_files.h"
#include "state/game_state.h"
#include "shell/main_window.h"
#include "platform/sound.h"
#include "test_support.h"
#include "wav_fixture.h"

using namespace testing_support;
using namespace platform;

namespace {

// The saved day's low byte, or -1 without a whole saved game.
int savedDayOnDisk() {
    std::vector<uint8_t> bytes = readBytes("pachiko.dat");
    return bytes.size() == 64 ? bytes[0] : -1;
}

// Index of the first log line starting with prefix, or -1.
int logIndex(const std::string& prefix) {
    const auto& log = eventLog();
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
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

TEST(StartUp, RunsInOrderAndLoadsTheNextDay) {
    Started s;
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(game.mainWindow, headless::mainWindow());
    // Centred on the 1920 × 1080 headless screen, 640 × 460.
    EXPECT_EQ(eventLog()[0], "window create \"PACHINKO ろもぺ Ver1.03\" at 640,310 size 640x460");
    EXPECT_EQ(headless::timerPeriod(TICK_TIMER), 100);
    // The timer starts with the window; sound set-up comes after the display.
    EXPECT_LT(logIndex("window create"), logIndex("timer 1"));
    EXPECT_EQ(game.player.day, 5);
    EXPECT_EQ(game.player.cash, 777);
    EXPECT_EQ(daySchedule[0].slotSetting[2], 6);  // schedule filled
    EXPECT_EQ(game.notMinimized, 1);              // the shown window was activated
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
        const std::vector<std::string> texts = boxTexts();
        EXPECT_EQ(texts.empty() ? "" : texts.back(), noCourses ? "設定ファイル読み出しに失敗" : "");
        EXPECT_FALSE(std::filesystem::exists("pachiko.dat"));
        if (f == DISPLAY) EXPECT_EQ(frameSurface, nullptr);
    }
}

TEST(StartUp, SoundIsSetUpBeforeTheGameIsLoaded) {
    GameDir dir;
    writeCourseFile("tama.dat");  // no sounds, no saved game
    ASSERT_TRUE(startUp("", 1));
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Waveファイルのオープンに失敗", "セカンダリ・バッファの作成に失敗",
                                                    "記憶ファイル読出失敗 新規作成"}));
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

// (The menu's exit, which saves too, is the headless runner's.)
TEST(Shutdown, StopsTheSoundsThenSavesThenReleases) {
    GameDir dir;
    writeCourseFile("tama.dat");
    writeBytes("pachiko.dat", playerFileBytes(4, 777));
    wav_fixture::Bytes tune = wav_fixture::pcmFile(wav_fixture::square16(4410, 2, 100, 3000));
    for (const char* name : {"base1.wav", "base2.wav", "open.wav", "tamade.wav"}) wav_fixture::save(name, tune);
    clearEventLog();
    ASSERT_TRUE(startUp("", 1));
    EXPECT_EQ(logIndex("sound play base1.wav loop"), static_cast<int>(eventLog().size()) - 1);  // the last step
    headless::post(MSG_CLOSE, 0, 0);
    EXPECT_EQ(shutDown(messageLoop()), 0);
    int stop = logIndex("sound stop base1.wav");
    int save = logIndex("save pachiko.dat");
    EXPECT_LT(logIndex("window destroy"), stop);
    EXPECT_LT(stop, save);
    EXPECT_EQ(liveSoundObjects(), 0);  // released after the save
    EXPECT_EQ(frameSurface, nullptr);
    EXPECT_EQ(headless::mainWindow(), nullptr);
    EXPECT_EQ(savedDayOnDisk(), 5);
}

TEST(Tick, DispatchesToTheScreenAndCountsTheDay) {
    Started s;
    headless::tick(3);
    EXPECT_EQ(game.dayTicks, 3);
    game.ticksPaused = 1;
    headless::tick(5);
    EXPECT_EQ(game.dayTicks, 3);  // no tick at all while paused
    game.ticksPaused = 0;
    // Without a frame surface the screens draw nothing, yet the day counts.
    // (The parlour's own tick is the closing-time case's below.)
    releasePresentation();
    headless::tick();
    EXPECT_EQ(game.dayTicks, 4);
}

TEST(ClosingTime, ComesOnTick72001) {
    Started s;
    headless::queueAnswer(IDNO);
    game.dayTicks = 71999;
    headless::tick();
    EXPECT_EQ(game.dayTicks, CLOSING_TICKS);
    EXPECT_TRUE(s.boxes().empty());
    headless::tick();
    ASSERT_EQ(s.boxes().size(), 1u);
    const headless::MessageBoxInfo box = s.boxes()[0];
    EXPECT_EQ(box.text, "本日終了しました。終了しますか");
    EXPECT_EQ(box.caption, "はようでてや");
    EXPECT_EQ(box.style, MB_YESNO | MB_ICONWARNING | MB_SETFOREGROUND);
    EXPECT_FALSE(box.owned);
}

TEST(ClosingTime, TicksGoOnUnderTheBoxAndNoAdvancesOneDay) {
    Started s;
    game.homeState = 0;
    game.bankState = 23;
    game.parlourState[1] = 30;
    game.walkerX = 10;
    game.walkerY = 20;
    game.dayTicks = CLOSING_TICKS;
    int nestedBoxes = 0;
    headless::setMessageBoxHandler([&](const headless::MessageBoxInfo&) {
        EXPECT_EQ(game.promptGuard, 1);
        // The player is home already while the box is open.
        EXPECT_EQ(game.homeState, PLACE_INSIDE);
        EXPECT_EQ(game.bankState, 0);
        EXPECT_EQ(game.parlourState[1], 0);
        EXPECT_EQ(game.walkerX, 236);
        EXPECT_EQ(game.walkerY, 336);
        size_t before = headless::messageBoxes().size();
        headless::tick(40);
        nestedBoxes += static_cast<int>(headless::messageBoxes().size() - before);
        EXPECT_EQ(game.dayTicks, CLOSING_TICKS + 41);
        return IDNO;
    });
    headless::tick();
    EXPECT_EQ(nestedBoxes, 0);  // the guard kept a second box away
    EXPECT_EQ(game.player.day, 6);
    EXPECT_EQ(game.dayTicks, 0);
    EXPECT_EQ(game.promptGuard, 0);
    EXPECT_NE(headless::mainWindow(), nullptr);
}

TEST(ClosingTime, SeatedPlayerIsTakenHomeByTheNextParlourTick) {
    Started s;
    game.inParlour = 1;
    game.dayTicks = CLOSING_TICKS;
    headless::queueAnswer(IDNO);
    headless::tick();
    EXPECT_EQ(game.leaveParlour, 1);
    EXPECT_EQ(game.inParlour, 1);
    headless::tick();
    EXPECT_EQ(game.inParlour, 0);
    EXPECT_EQ(game.leaveParlour, 0);
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
    game.player.cash = 5;
    headless::send(MSG_COMMAND, CMD_NEW, 0);
    EXPECT_EQ(game.player.cash, 10000);
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
    auto boxes = s.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "設定ファイル読み出しに失敗");
    EXPECT_EQ(boxes[1].text, "ファイル読み出しに失敗");
    EXPECT_EQ(boxes[1].caption, "Error");
}

TEST(Menu, HelpAndDialogs) {
    Started s;
    headless::send(MSG_COMMAND, CMD_HELP, 0);
    headless::send(MSG_COMMAND, CMD_TROUBLE, 0);
    EXPECT_EQ(logLines("help"), (std::vector<std::string>{"help pachi.hlp command 9", "help error.hlp command 9"}));
    headless::send(MSG_COMMAND, CMD_SOUND, 0);
    headless::send(MSG_COMMAND, CMD_ABOUT, 0);
    headless::send(MSG_COMMAND, CMD_INTRO, 0);
    headless::send(MSG_COMMAND, CMD_INTRO, 0);  // nothing stops a second one
    auto dialogs = headless::dialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    const int expected[] = {DIALOG_SOUND, DIALOG_ABOUT, DIALOG_INTRO, DIALOG_INTRO};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dialogs[i].templateId, expected[i]);
        EXPECT_TRUE(dialogs[i].visible);
    }
    EXPECT_EQ(game.openDialog, dialogs[3].window);
    headless::send(MSG_COMMAND, 99, 0);  // unknown ids are ignored
    EXPECT_EQ(headless::dialogs().size(), 4u);
}

// (Which items are grey when is the game state tests'.)
TEST(Menu, GreyingAppliesToThePopUpAboutToOpenAndMinimisingIsTracked) {
    Started s;  // day 5, inside the home
    headless::send(MSG_INITMENUPOPUP, 0, 0);
    EXPECT_EQ(headless::menuItemState(CMD_NEW), MF_GRAYED);
    headless::send(MSG_ACTIVATE, 1u << 16, 0);
    EXPECT_EQ(game.notMinimized, 0);
    headless::send(MSG_ACTIVATE, 1, 0);
    EXPECT_EQ(game.notMinimized, 1);
}
