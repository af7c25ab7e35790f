#include "shell/tuning.h"

#include <cstdio>

#include "media/assets.h"
#include "media/display.h"
#include "platform/window.h"
#include "state/game_state.h"

namespace {

constexpr uint32_t TEXT_BLACK = 0x000000;
constexpr uint32_t TEXT_PALE_YELLOW = 0x80FFFF;

}  // namespace

// Labels of the markers stored as a waypoint's x; the trailing spaces wipe
// what a longer label left beside them.
const char* tuningMarkerLabel(int32_t x) {
    switch (x) {
        case 981: return "羽回転１       ";
        case 982: return "羽回転２       ";
        case 983: return "羽回転３       ";
        case 984: return "羽回転４       ";
        case 985: return "ﾁｭ-ﾘｯﾌﾟ付近１";
        case 986: return "ﾁｭ-ﾘｯﾌﾟ付近２";
        case 987: return "下バー付近     ";
        case 991: return "出戻り         ";
        case 992: return "天ＩＮ         ";
        case 993: return "左ﾁｭｰﾘｯﾌﾟＩＮ";
        case 994: return "右ＩＮ         ";
        case 995: return "右ﾁｭｰﾘｯﾌﾟＩＮ";
        case 996: return "下ＩＮ         ";
        case 999: return "ＯＵＴ         ";
        default: return nullptr;
    }
}

namespace {

platform::Rect ballAt(int32_t x, int32_t y) {
    // A marker's x (981 and up) puts the rectangle off the frame: no ball.
    return platform::Rect{x, y, wrapAdd(x, 17), wrapAdd(y, 17)};
}

}  // namespace

void copyPattern(int pattern) {
    const BallPattern& source = BallPathTable.pattern[pattern];
    for (int i = 0; i < STEPS; ++i) {
        game.rowClipboard[i] = source.xs[i];
        game.rowClipboard[STEPS + i] = source.ys[i];
    }
}

void pastePattern(int pattern) {
    BallPattern& target = BallPathTable.pattern[pattern];
    for (int i = 0; i < STEPS; ++i) {
        target.xs[i] = game.rowClipboard[i];
        target.ys[i] = game.rowClipboard[STEPS + i];
    }
}

void tuningTick(platform::Window* window) {
    platform::beginPaint(window);
    if (frameSurface) {
        drawBackground(surfBack3);
        const BallPattern& pattern = BallPathTable.pattern[game.editPattern];
        const platform::Rect ball = {0, 0, 17, 17};
        for (int i = 0; i < STEPS; ++i) blitToFrame(ballAt(pattern.xs[i], pattern.ys[i]), surfTama, ball, true);
        int32_t x = pattern.xs[game.editStep];
        blitToFrame(ballAt(x, pattern.ys[game.editStep]), surfTama, ball, false);
        if (beginFrameText(TEXT_BLACK, TEXT_PALE_YELLOW)) {
            char text[64];
            std::snprintf(text, sizeof text, "Patan:%d    ", game.editPattern);
            drawFrameText(530, 70, text);
            std::snprintf(text, sizeof text, "Idou:%d    ", game.editStep);
            drawFrameText(530, 120, text);
            if (const char* label = tuningMarkerLabel(x)) drawFrameText(430, 10, label);
            if (game.copySource != -1) {
                std::snprintf(text, sizeof text, "Copy:%d", game.copySource);
                drawFrameText(560, 150, text);
            }
            endFrameText();
        }
        presentFrame(window);
    }
    platform::endPaint(window);
}
