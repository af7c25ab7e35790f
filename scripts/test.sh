#!/usr/bin/env bash
# The whole test suite, twice: in the normal build and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build; then a short fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
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

configure build-asan -DCMAKE_BUILD_TYPE=Debug -DPACHINKO_SANITIZE=ON -DPACHINKO_BENCH=OFF
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"$jobs")

if [ -x tests/fuzz/run_short.sh ]; then
  tests/fuzz/run_short.sh
fi
