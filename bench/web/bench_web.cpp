// The busiest parlour tick in the browser: the same picture as the native
// BM_ParlourTickBusiest (busiest_parlour.h), drawn by the page's own backend
// (the canvas, the page's font). The page (bench.html) runs it once;
// bench/web_tick_ratio.py reads the result beside the native benchmark's.
//
// Each of the REPETITIONS samples times BATCH ticks from the same state with
// the browser's clock; the page gets every sample in microseconds a tick.
#include <emscripten.h>

#include <cstdio>

#include "busiest_parlour.h"
#include "platform/window.h"
#include "save/save_files.h"
#include "shell/main_window.h"

namespace {

constexpr int WARM_UP = 50;
constexpr int REPETITIONS = 30;
constexpr int BATCH = 40;

// clang-format off
EM_JS(void, pachinko_bench_result, (const char* error, const double* samples, int count), {
    const out = [];
    for (let i = 0; i < count; ++i) out.push(HEAPF64[(samples >> 3) + i]);
    window.pachinkoBench = { error: error ? UTF8ToString(error) : null, microseconds: out };
});
// clang-format on

void tick() { mainWindowProc(game.mainWindow, platform::MSG_TIMER, TICK_TIMER, 0); }

}  // namespace

int main(int argc, char** argv) {
    platform::initApplication(argc, argv);
    // A saved game beside the content, so start-up opens no box to wait on.
    newGame();
    saveGame();
    const char* why = "the game did not start";
    if (!startUp("", 1) || !bench::setUpBusiestParlour(why)) {
        pachinko_bench_result(why, nullptr, 0);
        return 0;
    }
    const GameState start = game;
    for (int i = 0; i < WARM_UP; ++i) {
        game = start;
        tick();
    }
    double samples[REPETITIONS];
    for (double& sample : samples) {
        const double t0 = emscripten_get_now();
        for (int i = 0; i < BATCH; ++i) {
            game = start;
            tick();
        }
        sample = (emscripten_get_now() - t0) * 1000.0 / BATCH;
    }
    pachinko_bench_result(nullptr, samples, REPETITIONS);
    return 0;
}
