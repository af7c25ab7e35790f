#!/usr/bin/env bash
# The browser build: writes dist/web/ (index.html and what it loads), which
# any static web server can host (python3 -m http.server in that folder will
# do).
#
#   scripts/web.sh
#
# The pictures, courses and help come from the desktop build's game folder
# (PACHINKO_BUILD, default build; built here when it has none), the sounds
# from its generator at the browser's smaller size, the font from Debian's
# IPA Gothic cut down to the game's characters. The WebAssembly is built with
# Debian's emscripten in build-web (PACHINKO_WEB_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PACHINKO_BUILD:-build}
webbuild=${PACHINKO_WEB_BUILD:-build-web}
dist=dist/web

# Debian's emcc runs its JavaScript tools with Debian's node modules (acorn),
# whatever Node.js comes first on PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export PATH=/usr/bin:$PATH

# A desktop build's generated content is used as it is; only a missing one
# is built.
if [ ! -f "$build/game/tama.dat" ] || [ ! -x "$build/game/pachinko-assets" ]; then
  [ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build" -j"$(nproc)" --target pachinko_assets_files pachinko_courses_data pachinko-assets
fi

# The content the page packs: everything the game reads but the sounds,
# which come at the browser's size.
content=$webbuild/content
rm -rf "$content"
mkdir -p "$content"
cp "$build"/game/*.bmp "$build"/game/*.hlp "$build"/game/tama.dat "$content"/
"$build"/game/pachinko-assets --web-sounds "$content"

if [ ! -f "$webbuild/build.ninja" ]; then
  emcmake cmake -S . -B "$webbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPACHINKO_BENCH=OFF \
    -DPACHINKO_WEB_CONTENT="$PWD/$content"
fi
# The package is made at link time: a changed content folder means a new link.
rm -f "$webbuild"/game/pachinko.js
cmake --build "$webbuild" -j"$(nproc)" --target pachinko

rm -rf "$dist"
mkdir -p "$dist"
cp platform/web/index.html "$dist"/
cp "$webbuild"/game/pachinko.js "$webbuild"/game/pachinko.wasm "$webbuild"/game/pachinko.data "$dist"/
cp "$build"/game/pachinko.png "$dist"/
/usr/bin/python3 tools/web/subset_font.py "$dist"
echo "web.sh: $dist: $(du -cb "$dist"/* | tail -1 | cut -f1) bytes"
