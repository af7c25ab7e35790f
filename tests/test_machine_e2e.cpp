// The machine end to end through pachinko-headless: out of the home, into
// the first parlour, onto a seat, buy balls, set the dial, launch until the
// pocket pays, stop, leave; checked in the state dumps.
#include <fstream>
#include <sstream>

#include "runner.h"
#include "test_machine_fixture.h"

using namespace machine_fixture;
using testing_support::dumpField;
using testing_support::readText;

TEST_F(MachineTest, APlayerWalksToASeatBuysBallsPlaysUntilThePocketPaysAndLeaves) {
    // Every course of the dial's band 78..90 (patterns 35..44) ends in the
    // bottom pocket at its sixth waypoint; the rest run off the board.
    for (int32_t p = 35; p <= 44; ++p) setMarker(p, 6, MARKER_START_POCKET);
    writeCourseTable("tama.dat");
    RunOptions options;
    options.workDir = dir.path().string();
    options.script =
        "answer ok\nanswer ok\nanswer ok   # no sounds, no saved game: a new game\n"
        "tick 3\n"
        "mouse press 252 376   # onto the home's door\n"
        "tick 40\n"
        "mouse press 252 316\n"
        "tick 2\n"
        "mouse press 116 164   # the first parlour's door\n"
        "tick 40\n"
        "mouse press 116 124   # seat 2: slot setting 6, nail setting 3 on day 0\n"
        "tick 2\n"
        "dump seated.json\n"
        "mouse move 30 120\n"
        "mouse press 30 120    # the ball lender\n"
        "mouse release 30 120\n"
        "tick 6\n"
        "dump bought.json\n"
        "mouse move 300 200\n"
        "mouse press 570 300   # the dial, up by 80\n"
        "mouse move 570 220\n"
        "mouse release 570 220\n"
        "tick 60\n"
        "mouse press 570 400   # launch stop\n"
        "tick 20\n"
        "dump played.json\n"
        "key 0x1B              # Esc: leave the machine\n"
        "tick 2\n"
        "dump left.json\n";
    std::string error;
    ASSERT_EQ(runHeadless(options, error), 0) << error;

    std::string seated = readText(dir.path() / "seated.json");
    EXPECT_EQ(dumpField(seated, "inParlour"), 1);
    EXPECT_EQ(dumpField(seated, "slotSetting"), 6);
    EXPECT_EQ(dumpField(seated, "nailSetting"), 3);

    std::string bought = readText(dir.path() / "bought.json");
    EXPECT_EQ(dumpField(bought, "cash"), 9900);
    EXPECT_EQ(dumpField(bought, "balls"), 20);

    // Every ball launched came back as six: the count grew by five per ball.
    std::string played = readText(dir.path() / "played.json");
    EXPECT_EQ(dumpField(played, "dialPower"), 80);
    EXPECT_EQ(dumpField(played, "launchStopped"), 1);
    int64_t balls = dumpField(played, "balls");
    EXPECT_GT(balls, 20 + 5 * 5) << "at least six balls went into the pocket";
    EXPECT_EQ((balls - 20) % 5, 0);
    size_t idle = 0;
    for (size_t at = played.find("\"step\":0}"); at != std::string::npos; at = played.find("\"step\":0}", at + 1))
        ++idle;
    EXPECT_EQ(idle, 40u) << "nothing left in flight";

    std::string left = readText(dir.path() / "left.json");
    EXPECT_EQ(dumpField(left, "inParlour"), 0);
    EXPECT_EQ(dumpField(left, "dialPower"), 0);
    EXPECT_EQ(dumpField(left, "balls"), balls);
    EXPECT_EQ(dumpField(left, "cash"), 9900);
    EXPECT_EQ(dumpField(left, "slotPrizeLeft"), 0);
    // The log shows no box beyond the three of start-up.
    std::string log = readText(dir.path() / "log.txt");
    size_t boxes = 0;
    for (size_t at = log.find("messagebox owner"); at != std::string::npos; at = log.find("messagebox owner", at + 1))
        ++boxes;
    EXPECT_EQ(boxes, 3u);
}
