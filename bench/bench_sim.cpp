// The machine's logic alone, as pachinko-sim plays it: machine ticks per
// second on one core, with the generated courses of the game folder.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "course_sim.h"
#include "sim.h"

namespace {

bool loadGameCourses(BallPathTableData& table) {
    std::ifstream in(std::string(PACHINKO_GAME_DIR) + "/tama.dat", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return courses::tableFromBytes(bytes, table);
}

// One run of 200,000 ticks (about 40,000 launches) per iteration, from a
// fresh seat: args are the slot and nail settings and the dial.
void BM_MachineTicks(benchmark::State& state) {
    BallPathTableData table;
    if (!loadGameCourses(table)) {
        state.SkipWithError("the game folder has no course table");
        return;
    }
    sim::RunSpec spec;
    spec.seat.slotSetting = static_cast<int32_t>(state.range(0));
    spec.seat.nailSetting = static_cast<int32_t>(state.range(1));
    spec.dial = static_cast<int32_t>(state.range(2));
    spec.launches = 0;
    spec.ticks = 200000;
    int64_t ticks = 0;
    for (auto _ : state) {
        sim::RunCounts r = sim::runSeat(table, spec);
        benchmark::DoNotOptimize(r.paid);
        ticks += r.ticks;
    }
    state.SetItemsProcessed(ticks);
    state.counters["ticks/s"] = benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
}
// A tight machine at the best band, a loose slot-6 machine at the best band
// (busy reels and gate), and the weak dial (every ball returns).
BENCHMARK(BM_MachineTicks)->Args({0, 0, 78})->Args({6, 6, 78})->Args({1, 3, 20})->Unit(benchmark::kMillisecond);

}  // namespace
