#!/usr/bin/env bash
# The whole test suite: the normal build, the Windows build under Wine, the
# browser build in Chromium, the sound's threads under ThreadSanitizer, short
# fuzz runs, and an AddressSanitizer +
# UndefinedBehaviorSanitizer build (where a soak of random play checks the
# game's rules every tick). docs/testing.md describes the layers.
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

# The other systems, each from its own script: the game cross-compiled for
# Windows with its suite under Wine (build-win), and the browser build played
# in headless Chromium (dist/web).
scripts/test_windows.sh
scripts/test_web.sh

# The sound's threads (the device opened as the program starts, the feeder of
# the tunes played from their files) under ThreadSanitizer: the real OpenAL
# output tests in a build of their own (build-tsan). Without address-space
# randomisation where the system lets us turn it off: some kernels set it too
# wide for ThreadSanitizer's map.
configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPACHINKO_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build build-tsan -j"$jobs" --target pachinko_openal_tests
tsan=(env TSAN_OPTIONS=halt_on_error=1)
if setarch "$(uname -m)" -R true 2>/dev/null; then tsan+=(setarch "$(uname -m)" -R); fi
"${tsan[@]}" build-tsan/tests/pachinko_openal_tests

# Short fuzz runs of the WAV reader, the picture loader and the whole game
# state, about a minute in all, in a clang build of their own (build-fuzz).
tests/fuzz/run_short.sh

configure build-asan -DCMAKE_BUILD_TYPE=Debug -DPACHINKO_SANITIZE=ON -DPACHINKO_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")
