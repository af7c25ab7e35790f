#!/usr/bin/env bash
# The browser build's journeys in headless Chromium (tests/web/test_web.py):
# builds the desktop program (its headless runner plays the same journeys)
# and the page (scripts/web.sh, incremental), then plays them.
#
#   scripts/test_web.sh [--screenshots DIR]
#
# PACHINKO_BUILD names the desktop build folder (default: build); the
# journeys' files go to $PACHINKO_BUILD/web-test. --screenshots DIR keeps the
# README's picture of the page there.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PACHINKO_BUILD:-build}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j"$(nproc)" --target pachinko-headless pachinko_assets_files pachinko_courses_data
scripts/web.sh

# Debian's Python: the one python3-selenium is installed for.
exec /usr/bin/python3 tests/web/test_web.py dist/web "$build/game" "$build/game/pachinko-headless" \
  "$build/web-test" "$@"
