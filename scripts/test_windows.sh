#!/usr/bin/env bash
# The Windows stage of the tests: the game cross-compiled with MinGW-w64 in
# build-win/, its unit suite and Windows tests run under Wine by ctest (in a
# Wine prefix of that folder, made on first use). The content the Windows
# tests read is the one the Linux build in build/ generated.
# JOBS sets the parallel jobs (default: one per processor).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs" --target pachinko_assets_files pachinko_courses_data pachinko-headless

[ -f build-win/build.ninja ] || cmake -S . -B build-win -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPACHINKO_CONTENT_FROM="$PWD/build/game" -DPACHINKO_LINUX_BUILD="$PWD/build"
cmake --build build-win -j"$jobs"
(cd build-win && ctest --output-on-failure -j"$jobs")
