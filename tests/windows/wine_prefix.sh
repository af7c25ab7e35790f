#!/bin/sh
# Makes (once) a Wine prefix for the Windows tests and prints the variables
# that select it, for `eval "$(tests/windows/wine_prefix.sh DIR)"`.
# The prefix has no desktop integration and no Mono/Gecko prompts, and
# Debian's IPA Gothic answers for the Japanese fonts Windows ships, so text
# drawn by the game shows real glyphs.
set -eu
prefix=$(realpath -m "${1:?usage: wine_prefix.sh PREFIX_DIR}")
wine=${PACHINKO_WINE:-wine}
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
emit() {
  printf 'export WINEPREFIX=%s WINEDEBUG=-all WINEDLLOVERRIDES="%s"\n' "$prefix" "$WINEDLLOVERRIDES"
}

if [ -f "$prefix/.pachinko-ready" ]; then emit; exit 0; fi

# Several test programs may ask at once: one makes the prefix, the others wait.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.pachinko-ready" ]; then
  rm -rf "$prefix"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  [ -d "$prefix/drive_c/windows" ] || { echo "wine_prefix.sh: wineboot made no prefix" >&2; exit 1; }
  cp "$font" "$prefix/drive_c/windows/Fonts/ipag.ttf"
  # Registry files with non-ASCII names must be UTF-16.
  faces="MS Gothic|MS UI Gothic|MS PGothic|Meiryo|Meiryo UI|Yu Gothic|Yu Gothic UI|ＭＳ ゴシック|ＭＳ Ｐゴシック|メイリオ|游ゴシック"
  reg="$prefix/fonts.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n'
    printf '"IPAGothic (TrueType)"="ipag.ttf"\r\n\r\n'
    for key in 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
               'HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements'; do
      printf '[%s]\r\n' "$key"
      echo "$faces" | tr '|' '\n' | while read -r face; do printf '"%s"="IPAGothic"\r\n' "$face"; done
      printf '\r\n'
    done
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  "$wine" regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.pachinko-ready"
fi
emit
