// The one entry point of the benchmark program; each bench_*.cpp only
// registers its benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
