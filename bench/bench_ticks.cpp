// Whole ticks of the screens, with the generated pictures of the game folder:
// what one 100 ms timer message costs from dispatch to present.
//
// The busiest parlour and town ticks are compared with BM_FrameMemcpy, one
// plain copy of a 640 × 416 × 4-byte frame: bench/tick_ratios.py runs them
// together and reports the ratios.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "busiest_parlour.h"
#include "machine/machine_logic.h"
#include "machine/parlour.h"
#include "media/display.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "shell/main_window.h"
#include "state/game_state.h"
#include "state/machine_records.h"

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

void BM_FrameMemcpy(benchmark::State& state) {
    constexpr std::size_t pixels = std::size_t{640} * 416;
    std::vector<uint32_t> from(pixels, 0x00336699u), to(pixels, 0u);
    for (auto _ : state) {
        benchmark::DoNotOptimize(from.data());
        std::memcpy(to.data(), from.data(), pixels * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(pixels * 4));
}
BENCHMARK(BM_FrameMemcpy);

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

// A town tick with a door zooming: both backdrops' copy, flowers at all
// three parlours, the bank's interior at the largest step of its zoom
// (stretched from 300 × 200 to 270 × 180), the walker walking, the status
// lines and the present. `bankState` picks the step: 25 is the first step
// of the closing zoom; 18 is the last of the opening one, which in the same
// tick goes on to draw the whole interior as the walker arrives inside, the
// busiest town tick there is. Every iteration starts from the same state, so
// every tick draws all of it.
void townZoomTick(benchmark::State& state, int32_t bankState) {
    if (!startInGameFolder("")) {
        state.SkipWithError("the game folder is not built");
        return;
    }
    game.introShown = 1;
    game.homeState = 0;
    game.player.day = 3;
    for (int32_t& flag : daySchedule[game.player.day].eventFlag) flag = 1;
    game.walkerX = 200;
    game.walkerY = 240;
    game.moveX = 2;
    game.backdropTick = 0;
    game.bankState = bankState;
    const GameState start = game;
    for (auto _ : state) {
        game = start;
        headless::tick();
    }
}
void BM_TownTickZooming(benchmark::State& state) { townZoomTick(state, 25); }
BENCHMARK(BM_TownTickZooming);
void BM_TownTickZoomIntoRoom(benchmark::State& state) { townZoomTick(state, 18); }
BENCHMARK(BM_TownTickZoomIntoRoom);

// The busiest parlour picture (busiest_parlour.h) in the started game.
bool setUpBusiestParlour(const char*& why) {
    why = "the game folder is not built";
    if (!startInGameFolder("")) return false;
    return bench::setUpBusiestParlour(why);
}

void BM_ParlourTickBusiest(benchmark::State& state) {
    const char* why = nullptr;
    if (!setUpBusiestParlour(why)) {
        state.SkipWithError(why);
        return;
    }
    const GameState start = game;
    for (auto _ : state) {
        game = start;
        headless::tick();
    }
}
BENCHMARK(BM_ParlourTickBusiest);

}  // namespace
