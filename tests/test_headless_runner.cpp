// pachinko-headless end to end: scripts, logs, dumps and screenshots.
#include <gtest/gtest.h>

#include "image_reader.h"
#include "runner.h"
#include "script.h"
#include "test_support.h"

using namespace testing_support;

// (What the closing-time box does to the day is the shell tests'; here, that
// a script answers it, dumps, chooses from the menu and takes a screenshot.)
TEST(HeadlessRunner, AFullDayAnsweredNoThenExit) {
    GameDir dir;
    writeCourseFile("tama.dat");
    EXPECT_EQ(runScript(dir.path(),
                        "# start-up boxes: no sounds here, no saved game\n"
                        "answer ok\nanswer ok\n"
                        "menu 15   # inside the home the save item is grey\n"
                        "answer no after 25   # closing time\n"
                        "tick 72001\n"
                        "dump day1.json\nscreenshot shot.png\n"
                        "menu 11\n"),
              0);
    std::vector<uint8_t> save = readBytes(dir.path() / "pachiko.dat");
    ASSERT_EQ(save.size(), 64u);
    EXPECT_EQ(save[0], 1);
    std::string log = readText(dir.path() / "log.txt");
    EXPECT_NE(log.find("messagebox unanswered: default OK"), std::string::npos);
    EXPECT_NE(log.find("script: menu 15 is greyed; not chosen"), std::string::npos);
    EXPECT_NE(log.find("text=\"本日終了しました。終了しますか\""), std::string::npos);
    EXPECT_NE(log.find("messagebox answer=No"), std::string::npos);
    EXPECT_NE(log.find("exit 0"), std::string::npos);
    EXPECT_EQ(dumpField(readText(dir.path() / "day1.json"), "day"), 1);
    const TestImage shot = readImage(dir.path() / "shot.png");
    EXPECT_EQ(shot.width, 640);
    EXPECT_EQ(shot.height, 416);
}

TEST(HeadlessRunner, BadScriptsAreRefusedWithTheLine) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(parseScript("tick 3\nfly away\n", events, error));
    EXPECT_EQ(error, "line 2: unknown event 'fly'");
    for (const char* bad : {"tick -1\n", "answer maybe\n"}) EXPECT_FALSE(parseScript(bad, events, error)) << bad;
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
