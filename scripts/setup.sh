#!/usr/bin/env bash
# Installs the Debian packages the project needs when any is missing.
# Harmless and quick when everything is there already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libopenal-dev
  fonts-ipafont-gothic fontconfig
  googletest libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  xvfb xauth x11-apps x11-utils
  dpkg-dev desktop-file-utils appstream groff-base xdotool
  # The Windows build: cross-compiler, Wine to run it, NSIS for the installer.
  mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 nsis zip unzip libstb-dev
  # The browser build and its tests.
  emscripten node-acorn fonttools python3-brotli chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
    echo "setup: need root (or sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
