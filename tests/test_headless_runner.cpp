// pachinko-headless end to end: scripts, logs, dumps and screenshots.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "image_reader.h"
#include "runner.h"
#include "script.h"
#include "test_support.h"

using namespace testing_support;

TEST(HeadlessRunner, AFullDayAnsweredNoThenExit) {
    GameDir dir;
    writeCourseFile("tama.dat");
    EXPECT_EQ(runScript(dir.path(),
                        "# start-up boxes: no sounds here, no saved game\n"
                        "answer ok\nanswer ok\nanswer ok\n"
                        "answer no after 25   # closing time\n"
                        "tick 72001\n"
                        "dump day1.json\n"
                        "menu 11\n"),
              0);
    std::vector<uint8_t> save = readBytes(dir.path() / "pachiko.dat");
    ASSERT_EQ(save.size(), 64u);
    EXPECT_EQ(save[0], 1);
    std::string log = readText(dir.path() / "log.txt");
    EXPECT_NE(log.find("text=\"本日終了しました。終了しますか\""), std::string::npos);
    EXPECT_NE(log.find("messagebox answer=No"), std::string::npos);
    EXPECT_EQ(log.find("unanswered"), std::string::npos);
    EXPECT_NE(log.find("exit 0"), std::string::npos);
    std::string dump = readText(dir.path() / "day1.json");
    EXPECT_NE(dump.find("\"day\":1,"), std::string::npos);
    EXPECT_NE(dump.find("\"dayTicks\":0,"), std::string::npos);
    EXPECT_NE(dump.find("\"MachineState\":{"), std::string::npos);
}

TEST(HeadlessRunner, UnansweredBoxesGetTheirDefaultAndGreyedItemsCannotBeChosen) {
    GameDir dir;
    writeCourseFile("tama.dat");
    EXPECT_EQ(runScript(dir.path(), "menu 15\ntick 2\nscreenshot shot.png\n"), 0);
    std::string log = readText(dir.path() / "log.txt");
    EXPECT_NE(log.find("messagebox unanswered: default OK"), std::string::npos);
    // Inside the home the save item is grey: the script cannot choose it.
    EXPECT_NE(log.find("script: menu 15 is greyed; not chosen"), std::string::npos);
    const TestImage shot = readImage(dir.path() / "shot.png");
    EXPECT_EQ(shot.width, 640);
    EXPECT_EQ(shot.height, 416);
}

TEST(HeadlessRunner, BadScriptsAreRefusedWithTheLine) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(parseScript("tick 3\nfly away\n", events, error));
    EXPECT_EQ(error, "line 2: unknown event 'fly'");
    events.clear();
    EXPECT_FALSE(parseScript("tick -1\n", events, error));
    events.clear();
    EXPECT_FALSE(parseScript("answer maybe\n", events, error));
    events.clear();
    ASSERT_TRUE(parseScript("key down 0x25\nmouse press 10 20\ndialog type 24 61 1000\nanswer yes after 3\n", events,
                            error));
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].a, 0x25);
    EXPECT_EQ(events[1].b, 20);
    EXPECT_EQ(events[2].text, "1000");
    EXPECT_EQ(events[3].count, 3);
    GameDir dir;
    RunOptions options;
    options.workDir = dir.path().string();
    options.script = "tick x\n";
    EXPECT_EQ(runHeadless(options, error), -1);
}
