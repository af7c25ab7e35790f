// The day cycle in the town: the exchange booth, the bed's question, and the
// pictures and flowers that follow the money.
#include <gtest/gtest.h>

#include <climits>

#include "platform/window.h"
#include "town/day_cycle.h"
#include "town/town_layout.h"
#include "town_fixture.h"

using namespace townfixture;
using namespace platform;

namespace {

class DayCycle : public TownTest {
protected:
    void standOnBooth() { walkTo(EXCHANGE_BOOTH_AREA.xMin, EXCHANGE_BOOTH_AREA.yMax); }
};

int centreX(const TownRect& r) { return (r.left + r.right) / 2; }
int centreY(const TownRect& r) { return (r.top + r.bottom) / 2; }

}  // namespace

TEST_F(DayCycle, TheBoothAsksOncePerVisitAndYesShowsTheCountThenPaysWithTicksPaused) {
    game.player.balls = 25;
    game.player.cash = 100;
    standOnBooth();
    headless::queueAnswer(IDYES, 3);  // three timer ticks arrive under the question
    headless::queueAnswer(IDOK);
    headless::queueAnswer(IDOK);
    headless::tick();
    const int32_t dayTicks = game.dayTicks;
    headless::tick();
    EXPECT_EQ(game.dayTicks, dayTicks + 1);  // none of the three ran
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "玉をお金に換えますか。？");
    EXPECT_EQ(boxes()[0].caption, "変換所Ｃ");
    EXPECT_EQ(boxes()[0].style, MB_YESNO | MB_SETFOREGROUND);
    headless::tick(3);
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].text, "玉は25発あります");
    EXPECT_EQ(game.player.cash, 100);  // nothing paid before the count was shown
    headless::tick(3);
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[2].text, "お金は100円になりました");
    EXPECT_EQ(game.player.cash, 200);
    // Done: standing still asks nothing more; stepping off and on asks again.
    headless::tick(6);
    EXPECT_EQ(boxes().size(), 3u);
    walkTo(100, 300);
    headless::tick();
    standOnBooth();
    game.player.balls = 40;
    headless::queueAnswer(IDNO);
    headless::tick();
    game.moveX = 2;
    headless::tick();
    // No stops the walker, pays nothing and waits for him to step off.
    EXPECT_EQ(game.moveX, 0);
    headless::tick(10);
    EXPECT_EQ(boxes().size(), 4u);
    EXPECT_EQ(game.player.balls, 40);
}

// Four yen a ball, as many balls as the cash can still hold (the rest stay);
// the message names what was paid.
TEST_F(DayCycle, TheBoothPaysOnlyWhatCashCanHold) {
    struct Case {
        int32_t cash, balls;
        const char *countText, *paidText;
        int32_t cashAfter, ballsAfter;
    };
    const Case cases[] = {
        {INT32_MAX - 10, 5, "玉は5発あります", "お金は8円になりました", INT32_MAX - 2, 3},
        {INT32_MAX - 2, 3, "玉は3発あります", "お金は0円になりました", INT32_MAX - 2, 3},
    };
    PlayerRecord& p = game.player;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.countText);
        const size_t before = boxes().size();
        p.cash = c.cash;
        p.balls = c.balls;
        standOnBooth();
        headless::tick(12);
        ASSERT_EQ(boxes().size(), before + 3);
        EXPECT_EQ(boxes()[before + 1].text, c.countText);
        EXPECT_EQ(boxes()[before + 2].text, c.paidText);
        EXPECT_EQ(p.cash, c.cashAfter);
        EXPECT_EQ(p.balls, c.ballsAfter);
        walkTo(100, 300);
        headless::tick();
    }
}

TEST_F(DayCycle, TheBedAsksOnceNoStartsTheNextDayEvenPastClosingTimeYesEndsTheGame) {
    game.homeState = 20;
    game.player.day = 7;
    game.dayTicks = 72000;  // closing time would come under the question
    walkTo(HOME_BED_SPOT.xMin, HOME_BED_SPOT.yMin);
    headless::queueAnswer(IDNO, 4);
    headless::tick();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "終了しますか。？");
    EXPECT_EQ(boxes()[0].caption, "Ｈｏｍｅ");
    EXPECT_EQ(game.player.day, 8);
    EXPECT_EQ(game.dayTicks, 1);
    headless::tick(5);
    EXPECT_EQ(boxes().size(), 1u);

    walkTo(150, 300);
    headless::tick();
    walkTo(HOME_BED_SPOT.xMin, HOME_BED_SPOT.yMax);
    headless::queueAnswer(IDYES);
    headless::tick();
    EXPECT_EQ(headless::mainWindow(), nullptr);  // the game ends (and saves on the way out)
    EXPECT_EQ(game.player.day, 8);
}

TEST_F(DayCycle, TheTycoonPictureNeedsMoreThanThreeHundredMillionAndEndsTheFlowers) {
    const uint32_t seiko = colourOf("seiko.bmp"), hana = colourOf("hana.bmp");
    const TownRect flowers = flowerLeft(1);
    game.player.day = 6;  // an event day of parlour 1 only
    game.player.cash = 200000000;
    game.player.deposit = 100000000;
    headless::tick();
    EXPECT_NE(shown(320, 300), seiko);
    EXPECT_EQ(shown(centreX(flowers), centreY(flowers)), hana);
    game.player.deposit += 1;
    headless::tick();
    EXPECT_EQ(shown(320, 300), seiko);
    EXPECT_EQ(shown(centreX(flowers), centreY(flowers)), seiko);
}

TEST_F(DayCycle, BankruptcyShowsOnlyWhileEveryPlaceIsIdle) {
    const uint32_t hasan = colourOf("hasan.bmp");
    PlayerRecord& p = game.player;
    p.day = 6;
    p.loanCount = 3;
    p.cash = p.deposit = p.balls = 0;
    headless::tick();
    EXPECT_EQ(shown(320, 300), hasan);
    game.parlourState[2] = 42;
    headless::tick();
    EXPECT_NE(shown(320, 300), hasan);
}
