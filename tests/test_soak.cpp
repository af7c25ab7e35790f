// The soak: a random player plays the real game with the generated content
// and every rule of the game state is checked after every tick. The long run
// (a million ticks) is made by hand, see docs/robustness.md; this one takes
// about a minute in the sanitizer build, where it matters most, and a quarter
// of its ticks in the plain build.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "game_content.h"
#include "soak.h"
#include "state/game_state.h"
#include "test_support.h"

using testing_support::GameDir;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t CI_SOAK_TICKS = 400000;
#else
constexpr int64_t CI_SOAK_TICKS = 100000;
#endif

SoakReport soak(const GameDir& dir, int64_t ticks, uint64_t seed) {
    gamecontent::copyInto(dir.path());
    SoakOptions options;
    options.workDir = dir.path().string();
    options.ticks = ticks;
    options.seed = seed;
    SoakReport report;
    std::string error;
    EXPECT_TRUE(runSoak(options, report, error)) << error;
    return report;
}

}  // namespace

TEST(Soak, ARandomPlayerGoesEverywhereAndEveryRuleHolds) {
    GameDir dir;
    const SoakReport r = soak(dir, CI_SOAK_TICKS, 20261206);
    SCOPED_TRACE(soakSummary(r));
    EXPECT_EQ(r.broken, "");  // a broken rule also ends the run early
    // The player really went everywhere: a soak that stands still proves nothing.
    for (int64_t visits : r.placeVisits) EXPECT_GT(visits, 0);
    for (int64_t uses : r.counterUses) EXPECT_GT(uses, 0);
    int seats = 0;
    for (int64_t taken : r.seatsTaken) seats += taken > 0;
    EXPECT_GE(seats, 15);
    const std::initializer_list<int64_t> done = {r.purchases, r.boothExchanges, r.dayEnds, r.menuChosen,
                                                 r.menuGreyed,  r.saves,          r.loanCountMax};
    for (int64_t n : done) EXPECT_GT(n, 0);
    EXPECT_GT(r.cashMax, 10000);
}

TEST(Soak, ASeedReplaysExactly) {
    GameDir dir;
    const SoakReport a = soak(dir, 4000, 99);
    EXPECT_EQ(soakSummary(a), soakSummary(soak(dir, 4000, 99)));
}

// Each rule catches the state that breaks it, and names it.
TEST(SoakRules, EachBrokenRuleIsCaught) {
    GameDir dir;
    struct Case {
        const char* name;
        std::function<void()> breakIt;
    };
    const Case cases[] = {
        {"homeState", [] { game.homeState = 45; }},
        {"dialPower", [] { game.dialPower = 171; }},
        {"walkerY", [] { game.walkerY = 388; }},
        {"cash", [] { game.player.cash = -1; }},
        {"loanCount", [] { game.player.loanCount = 4; }},
        {"not a loan", [] { game.player.loanCount = 1; }},
        {"not empty", [] { game.player.loans[2] = Loan{0, 0, 30}; }},
    };
    for (const Case& c : cases) {
        resetGameState();
        newGame();
        ASSERT_EQ(brokenStateRule() + brokenPlayerRule(), "");
        c.breakIt();
        const std::string broken = brokenStateRule() + brokenPlayerRule();
        EXPECT_NE(broken.find(c.name), std::string::npos) << c.name << ": " << broken;
    }
}
