#!/usr/bin/env bash
# The whole test suite, twice: in the normal build and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build, with a short fuzz run
# in between.
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

# A short fuzz run of the WAV reader over its seed corpus.
tests/fuzz/run_short.sh

configure build-asan -DCMAKE_BUILD_TYPE=Debug -DPACHINKO_SANITIZE=ON -DPACHINKO_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")
