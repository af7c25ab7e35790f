#include "town/day_cycle.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <limits>

#include "media/assets.h"
#include "platform/window.h"
#include "state/game_state.h"
#include "town/town_layout.h"
#include "town/town_screen.h"

namespace {

using namespace platform;

constexpr const char* BOOTH_CAPTION = "変換所Ｃ";

// The booth's states: 1 asks, 4 shows the count, 7 pays; 10 and above wait
// for the walker to step off.
constexpr int32_t BOOTH_ASK = 1;
constexpr int32_t BOOTH_COUNT = 4;
constexpr int32_t BOOTH_PAY = 7;
constexpr int32_t BOOTH_DONE = 10;

bool onBooth() { return EXCHANGE_BOOTH_AREA.contains(game.walkerX, game.walkerY); }

// A message box of the booth; no tick runs while it is open.
int32_t boothBox(Window* window, const char* text, uint32_t style) {
    game.ticksPaused = 1;
    int32_t answer = messageBox(window, text, BOOTH_CAPTION, style);
    game.ticksPaused = 0;
    return answer;
}

}  // namespace

int64_t exchangeBalls() {
    PlayerRecord& p = game.player;
    const int64_t room = int64_t{std::numeric_limits<int32_t>::max()} - p.cash;
    const int64_t paidBalls = std::clamp<int64_t>(p.balls, 0, room / EXCHANGE_RATE);
    const int64_t paid = paidBalls * EXCHANGE_RATE;
    p.cash = static_cast<int32_t>(p.cash + paid);
    p.balls = static_cast<int32_t>(p.balls - paidBalls);
    return paid;
}

void exchangeStep(Window* window) {
    int32_t& state = game.exchangeState;
    if (state == 0) {
        // The booth serves only a walker who is in no other place.
        if (onBooth() && isOutdoors()) state = BOOTH_ASK;
        return;
    }
    char text[64];
    if (state == BOOTH_ASK) {
        if (boothBox(window, "玉をお金に換えますか。？", MB_YESNO | MB_SETFOREGROUND) == IDNO) {
            state = BOOTH_DONE;
            stopWalker();
        }
    }
    if (state == BOOTH_COUNT) {
        std::snprintf(text, sizeof text, "玉は%d発あります", game.player.balls);
        boothBox(window, text, MB_OK);
    }
    if (state == BOOTH_PAY) {
        // The message names the yen paid, not the new cash total.
        std::snprintf(text, sizeof text, "お金は%" PRId64 "円になりました", exchangeBalls());
        boothBox(window, text, MB_OK);
        stopWalker();
    }
    if (state < BOOTH_DONE) ++state;
    if (state >= BOOTH_DONE && !onBooth()) state = 0;
}

void endPicturesStep() {
    if (!isOutdoors() || game.exchangeState != 0) return;
    if (isTycoon()) drawTownPicture(TYCOON_TARGET, surfSeiko, TYCOON_SOURCE, false);
    if (isBankrupt()) drawTownPicture(BANKRUPT_TARGET, surfHasan, BANKRUPT_SOURCE, false);
}

void endOfDayPrompt(Window* window) {
    game.promptGuard = 1;
    if (messageBox(nullptr, "終了しますか。？", "Ｈｏｍｅ", MB_YESNO | MB_SETFOREGROUND) == IDYES) {
        destroyWindow(window);
    } else {
        game.player.day = wrapAdd(game.player.day, 1);
        game.dayTicks = 0;
    }
    game.promptGuard = 0;
}
