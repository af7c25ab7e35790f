// Whole ticks of the screens, with the generated pictures of the game folder:
// what one 100 ms timer message costs from dispatch to present.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "media/display.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "state/game_state.h"
#include "shell/main_window.h"

namespace {

// Starts the game in the game folder (its pictures and courses); nothing is
// written there, since the game is never shut down here.
bool startInGameFolder(const char* commandLine) {
    std::error_code ec;
    std::filesystem::current_path(PACHINKO_GAME_DIR, ec);
    if (ec) return false;
    releasePresentation();  // whatever another benchmark set up
    headless::reset();
    resetGameState();
    return startUp(commandLine, 1);
}

void BM_TownTick(benchmark::State& state) {
    if (!startInGameFolder("")) {
        state.SkipWithError("the game folder is not built");
        return;
    }
    game.homeState = 0;
    game.moveX = 2;
    for (auto _ : state) {
        headless::tick();
        if (game.walkerX >= 600) game.walkerX = 0;
    }
}
BENCHMARK(BM_TownTick);

void BM_TuningTick(benchmark::State& state) {
    if (!startInGameFolder("T")) {
        state.SkipWithError("the game folder is not built");
        return;
    }
    for (auto _ : state) headless::tick();
}
BENCHMARK(BM_TuningTick);

}  // namespace
