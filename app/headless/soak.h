// A soak: the whole game played for a long time by a random but plausible
// player (walking into every place, every bank counter with amounts, the
// booth, every seat, buying, launching, leaving, the menu), checking after
// every tick the rules the game state must keep. The player's choices come
// from a generator of their own, seeded by the caller, so the game's own
// random source runs exactly as in play and a seed replays exactly.
#pragma once

#include <cstdint>
#include <string>

// The rules of the run-time fields, which hold whatever the saved files say:
// visit states 0..44, the booth 0..10, the lender 0..32, dial 0..170, every
// ball slot's step 0..39 and course 0..99, the walker on the town picture.
// Empty when they hold, else what is broken.
std::string brokenStateRule();

// The rules of the player's record from a sound start (a new game or a file
// the game saved): cash, deposit and balls never negative, loanCount 0..3,
// the loans packed into the first loanCount slots.
std::string brokenPlayerRule();

struct SoakOptions {
    std::string workDir = ".";  // the game's pictures, sounds and "tama.dat" (copied, never changed)
    std::string outDir;         // log.txt and state.json when a rule breaks; empty: workDir
    int64_t ticks = 0;          // timer ticks to play, those under message boxes included
    uint64_t seed = 1;
};

struct SoakReport {
    int64_t ticks = 0;
    int64_t starts = 0;           // the game ended by the player ("Yes" at bedtime, Exit) starts again
    int64_t placeVisits[5] = {};  // doors opened: home, bank, parlours 0..2
    int64_t counterUses[4] = {};  // 決定 at the deposit, withdrawal, loan and repayment counters
    int64_t seatsTaken[21] = {};  // parlour p, machine m at p * 7 + m
    int64_t purchases = 0;        // balls bought at the lender
    int64_t refusals = 0;         // "not enough money" at the lender
    int64_t boothExchanges = 0;   // payments at the booth
    int64_t dayEnds = 0;          // closing time or bed answered
    int64_t menuChosen = 0;       // menu commands chosen (greyed ones are not)
    int64_t menuGreyed = 0;
    int64_t saves = 0;            // "pachiko.dat" written (menu, exit)
    int64_t loads = 0;            // loaded by the menu
    int64_t messageBoxes = 0;
    int32_t cashMin = INT32_MAX, cashMax = INT32_MIN;
    int32_t depositMin = INT32_MAX, depositMax = INT32_MIN;
    int32_t ballsMin = INT32_MAX, ballsMax = INT32_MIN;
    int32_t loanCountMax = 0;
    int32_t dayMax = 0;
    std::string broken;  // the first broken rule, with its tick; empty when none broke
};

// Plays a new game, in a scratch folder of its own, until options.ticks have
// run or a rule breaks. On a broken rule the
// game ends at once (it still saves) and log.txt and state.json are written
// to outDir. Returns false, with error set, when the folder cannot be entered.
bool runSoak(const SoakOptions& options, SoakReport& report, std::string& error);

// The report as lines of text.
std::string soakSummary(const SoakReport& report);
