// The parlour screen in the started game: what each tick draws where, the
// sounds of sitting down, buying, paying out, the open gate and leaving, and
// the refusal box under which the machine plays on.
#include <algorithm>

#include "machine/parlour.h"
#include "platform/events.h"
#include "platform/headless.h"
#include "test_machine_fixture.h"
#include "town_fixture.h"
#include "wav_fixture.h"

using namespace machine_fixture;
using townfixture::colourOf;

namespace {

// slot.bmp with every row a colour of its own, so the shown row tells the
// reel's position.
uint32_t stripColour(int row) { return 0x00100000u + static_cast<uint32_t>(row); }

class ParlourScreen : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        townfixture::writePictures();
        ASSERT_TRUE(displaytest::writeBmp("slot.bmp", 34, 346, 24, [](int, int y) { return stripColour(y); }));
        using namespace wav_fixture;
        for (const char* name : {"base1.wav", "base2.wav", "open.wav", "tamade.wav"})
            save(name, pcmFile(ramp(400), 1, 8000, 8));
        writeCourseTable("tama.dat");
        ASSERT_TRUE(startUp("", 1));
        game.player.introDisabled = 1;
        boxesAtStart = headless::messageBoxes().size();
        platform::clearEventLog();
    }

    static uint32_t shown(int x, int y) {
        platform::ScreenPixels screen;
        if (!platform::primaryPixels(screen)) return 0xDEADBEEF;
        return screen.pixels[y * screen.stride + x] & 0x00FFFFFF;
    }
    static std::vector<std::string> sounds() { return testing_support::logLines("sound "); }

    size_t boxesAtStart = 0;
};

}  // namespace

TEST_F(ParlourScreen, TheTunesTheBallSoundsAndTheGateSound) {
    using Lines = std::vector<std::string>;
    seatAtMachine(0, 0, 2);
    EXPECT_EQ(sounds(), (Lines{"sound stop base1.wav", "sound play base2.wav loop"}));
    // A purchase sounds a ball once.
    game.player.cash = 1000;
    pressLender();
    platform::clearEventLog();
    headless::tick(5);
    Lines log = sounds();
    EXPECT_EQ(std::count(log.begin(), log.end(), "sound play tamade.wav#1 once"), 1);
    // So does a payout; the gate's tune plays while it is open. The device
    // logs changes only: a loop played again leaves no line.
    setMarker(50, 2, MARKER_TOP_POCKET);
    fly(0, 50, 2);
    game.slotPrizeLeft = 2;
    platform::clearEventLog();
    headless::tick(3);
    EXPECT_EQ(sounds(), (Lines{"sound play open.wav loop", "sound play tamade.wav#2 once", "sound stop open.wav"}));
    // Leaving with the gate open stops it and brings the town's tune back.
    game.slotPrizeLeft = 100;
    headless::tick();
    platform::clearEventLog();
    game.leaveParlour = 1;
    headless::tick();
    EXPECT_EQ(game.slotPrizeLeft, 0);
    EXPECT_EQ(sounds(), (Lines{"sound stop base2.wav", "sound stop open.wav", "sound play base1.wav loop"}));
}

TEST_F(ParlourScreen, TheRefusalBoxIsTheParloursAndTheMachinePlaysOnUnderIt) {
    seatAtMachine(0, 0, 2);
    game.player.cash = 100;
    fly(0, 30, 1);
    game.lenderState = LENDER_PRESSED;
    headless::queueAnswer(platform::IDOK, 4);
    headless::tick();
    const auto& boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), boxesAtStart + 1) << "one box, however many ticks ran under it";
    EXPECT_EQ(boxes.back().text, "お金が足りません。！");
    EXPECT_EQ(boxes.back().caption, "パチンコ店内");
    EXPECT_EQ(stepOf(0), 6) << "four ticks under the box and the one that opened it";
}

TEST_F(ParlourScreen, EachPictureLandsWhereTheTickPutsIt) {
    const uint32_t back = colourOf("back3.bmp");
    const uint32_t tama = colourOf("tama.bmp");
    seatAtMachine(0, 0, 0);
    MachineState& m = game.machine;
    fly(0, 30, 5);
    game.dialPower = 100;
    game.slotPrizeLeft = 5;
    m.wingTicks[0] = 3;
    m.spinStock = 2;
    m.reelState = 0;
    m.reelPos[1] = 58;
    game.lenderState = LENDER_PURCHASE;
    game.player.cash = 1234;
    headless::tick();

    // The ball at its fifth waypoint, in front of the playfield.
    EXPECT_EQ(shown(plainX(30, 5) + 8, plainY(5) + 8), tama);
    // The dial lever raised by its power.
    EXPECT_EQ(shown(574, 346 - 100 + 14), colourOf("dial.bmp"));
    // The open gate and its lamps (lit on the odd count 5); the small lamps
    // are stretched to five pixels.
    EXPECT_EQ(shown(248 + 45, 350 + 11), colourOf("gate.bmp"));
    EXPECT_EQ(shown(216 + 2, 348 + 2), colourOf("lamp3.bmp"));
    EXPECT_EQ(shown(200 + 4, 360 + 4), colourOf("lamp4.bmp"));
    // Wing 0 turning (odd: hane1).
    EXPECT_EQ(shown(160 + 17, 110 + 17), colourOf("hane1.bmp"));
    // Two hold lamps (the spin waits: the gate is open).
    EXPECT_EQ(shown(272 + 4, 135 + 4), colourOf("lamp1.bmp"));
    EXPECT_NE(shown(304 + 4, 135 + 4), colourOf("lamp1.bmp"));
    // The reels show their strip from their positions down.
    EXPECT_EQ(shown(274 + 5, 178 + 56), stripColour(58 + 56));
    // The tray's first row: three balls, the middle one squeezed to 15 pixels.
    EXPECT_EQ(shown(46 + 14, 353 + 8), tama);
    EXPECT_EQ(shown(46 + 15, 353 + 8), back);
    EXPECT_EQ(shown(15 + 8, 370 + 8), back) << "row 2 comes on the next tick";
}
