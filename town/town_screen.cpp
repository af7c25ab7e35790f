#include "town/town_screen.h"

#include <cstdio>

#include "media/assets.h"
#include "media/display.h"
#include "platform/window.h"
#include "state/game_state.h"
#include "town/town_layout.h"

namespace {

constexpr uint32_t STATUS_TEXT_YELLOW = 0x00FFFF;
constexpr uint32_t STATUS_BACK_BLUE = 0xFF0000;

// Step 1: the backdrop alternates between its two frames every three ticks;
// every seventh tick nothing is copied and the last frame stays underneath.
void drawBackdrop() {
    if (game.backdropTick <= 2) {
        drawBackground(surfBack1);
        ++game.backdropTick;
    } else if (game.backdropTick <= 5) {
        drawBackground(surfBack2);
        ++game.backdropTick;
    } else {
        game.backdropTick = 0;
    }
}

// Moves the walker 4 pixels a tick in each held direction, within the box.
void applyBox(const WalkerArea& box) {
    if (game.moveX == 1 && game.walkerX > box.xMin) game.walkerX -= 4;
    if (game.moveX == 2 && game.walkerX < box.xMax) game.walkerX += 4;
    if (game.moveY == 1 && game.walkerY > box.yMin) game.walkerY -= 4;
    if (game.moveY == 2 && game.walkerY < box.yMax) game.walkerY += 4;
}

bool inside(int32_t state) { return state >= 19 && state <= 24; }

// Every place the walker is inside limits him; outdoors the town does.
void moveWalker() {
    bool boxed = false;
    auto boxIfInside = [&boxed](int32_t state, const WalkerArea& box) {
        if (!inside(state)) return;
        applyBox(box);
        boxed = true;
    };
    boxIfInside(game.homeState, HOME_BOX);
    boxIfInside(game.bankState, BANK_BOX);
    for (int p = 0; p < TOWN_PARLOURS; ++p) boxIfInside(game.parlourState[p], PARLOUR_BOXES[p]);
    if (!boxed) applyBox(TOWN_BOX);
}

void drawWalker() {
    platform::Surface* picture = game.walkerFrame == 0 ? surfMy1 : surfMy2;
    game.walkerFrame = game.walkerFrame == 0 ? 1 : 0;
    platform::Rect target = {game.walkerX, game.walkerY, game.walkerX + WALKER_SIZE, game.walkerY + WALKER_SIZE};
    blitToFrame(target, picture, platform::Rect{0, 0, WALKER_SIZE, WALKER_SIZE}, true);
}

void drawStatus() {
    if (!beginFrameText(STATUS_TEXT_YELLOW, STATUS_BACK_BLUE)) return;
    char line[64];
    std::snprintf(line, sizeof line, "持ち金:%d円", game.player.cash);
    drawFrameText(0, 0, line);
    std::snprintf(line, sizeof line, "持ち玉:%d発", game.player.balls);
    drawFrameText(0, 18, line);
    std::snprintf(line, sizeof line, "日数:%d日め", game.player.day);
    drawFrameText(0, 36, line);
    endFrameText();
}

}  // namespace

void townTick(platform::Window* window) {
    platform::beginPaint(window);
    if (frameSurface) {
        drawBackdrop();
        moveWalker();
        drawWalker();
        drawStatus();
        presentFrame(window);
    }
    platform::endPaint(window);
}
