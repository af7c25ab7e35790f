#!/usr/bin/env bash
# The whole test suite, twice: in the normal build and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build (where a soak of random
# play checks the game's rules every tick), with short fuzz runs in between.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

configure() {  # dir, extra args...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@"
  fi
}

configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

# Short fuzz runs of the WAV reader, the picture loader and the whole game
# state, about a minute in all, in a clang build of their own (build-fuzz).
tests/fuzz/run_short.sh

configure build-asan -DCMAKE_BUILD_TYPE=Debug -DPACHINKO_SANITIZE=ON -DPACHINKO_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")
