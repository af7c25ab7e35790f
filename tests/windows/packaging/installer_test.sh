#!/bin/sh
# The Windows installer in a fresh Wine prefix: a silent install puts the
# game under Program Files with its menu entry and its entry in "Apps"; the
# game started from the menu entry opens its window and plays in the player's
# folder under %APPDATA%; a silent uninstall removes the program and keeps
# the player's folder.
#   installer_test.sh PACHINKO.EXE PACHINKO-HEADLESS.EXE PACHINKO-SIM.EXE
# Environment: CONTENT (a game folder with the pictures, sounds, help,
# tama.dat and pachinko.ico), SOURCE_DIR, VERSION, WORK (emptied first).
set -eu
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in makensis wine wineserver xvfb-run xdotool strings x86_64-w64-mingw32-strip; do
    command -v "$tool" >/dev/null 2>&1 || { echo "no $tool: skipped"; exit 77; }
done
rm -rf "$WORK"
mkdir -p "$WORK"
"$SOURCE_DIR/packaging/windows/package.sh" --program "$1" --program "$2" --program "$3" --content "$CONTENT" \
    --courses "$CONTENT/tama.dat" --version "$VERSION" --out "$WORK/dist" --compressor zlib >/dev/null
eval "$("$SOURCE_DIR/tests/windows/wine_prefix.sh" "$WORK/prefix")"
program="$WINEPREFIX/drive_c/Program Files/pachinko"
lnk="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/PACHINKO ろもぺ.lnk"
key='Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\pachinko'
exe='C:\Program Files\pachinko\pachinko.exe'

wine "$WORK/dist/pachinko-$VERSION-windows-x64-setup.exe" /S || fail "the installer ended with $?"
wineserver -w
for file in pachinko.exe pachinko-sim.exe pachinko-headless.exe uninstall.exe README.txt back1.bmp base1.wav pachi.hlp; do
    [ -f "$program/$file" ] || fail "not installed: $file"
done
cmp -s "$CONTENT/tama.dat" "$program/tama.dat" || fail "the installed tama.dat is not the build's"

# The uninstall entry as the server wrote it out (non-ASCII as \xNNNN).
sed -n "/^\[$key\]/,/^\$/p" "$WINEPREFIX/system.reg" >"$WORK/entry"
for line in '"DisplayName"="PACHINKO \x308d\x3082\x307a"' "\"DisplayVersion\"=\"$VERSION\"" \
    '"DisplayIcon"="C:\\Program Files\\pachinko\\pachinko.exe,0"' '"Publisher"="pachinko maintainers"' \
    '"QuietUninstallString"="\"C:\\Program Files\\pachinko\\uninstall.exe\" /S"'; do
    grep -qxF "$line" "$WORK/entry" || fail "no $line in the uninstall entry"
done
size=$(sed -n 's/^"EstimatedSize"=dword://p' "$WORK/entry")
[ $((0x${size:-0})) -gt 4096 ] || fail "EstimatedSize is '$size' KiB"

# The menu entry: the program as its target (a path in the link's ANSI part)
# and as its icon (in its UTF-16 part).
strings -a "$lnk" | grep -qxF "$exe" || fail "the menu entry does not start $exe"
strings -a -el "$lnk" | grep -qF "$exe" || fail "the menu entry's icon is not $exe's"

# The game started through the menu entry, its window, then close requests
# (WM_CLOSE, as the close box sends) until the window is gone: a box may
# stand over it at first start (the new game's note, no sound device).
cat >"$WORK/start.sh" <<'EOF'
wine start /unix "$LNK" >"$WORK/game.log" 2>&1
i=0
until xdotool search --onlyvisible --name PACHINKO >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -lt 120 ] || exit 1; sleep 0.5
done
i=0
while xdotool search --onlyvisible --name PACHINKO >/dev/null 2>&1 && [ $i -lt 30 ]; do
    wine taskkill /im pachinko.exe >/dev/null 2>&1 || true
    i=$((i + 1)); sleep 1
done
timeout 60 wineserver -w
EOF
LNK=$lnk WORK=$WORK timeout 300 xvfb-run -a sh "$WORK/start.sh" || { cat "$WORK/game.log" >&2; fail "no window, or it did not end"; }

player=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/pachinko 2>/dev/null | head -n1)
[ -n "$player" ] || fail "no player's folder under %APPDATA%"
cmp -s "$program/tama.dat" "$player/tama.dat" || fail "the player's tama.dat is not the installed one"
[ "$(ls "$player"/*.bmp | wc -l)" -eq "$(ls "$program"/*.bmp | wc -l)" ] || fail "the player's folder lacks pictures"
[ "$(wc -c <"$player/pachiko.dat")" = 64 ] || fail "no saved game in the player's folder"
[ ! -e "$program/pachiko.dat" ] || fail "the game saved into Program Files"

# The uninstaller runs from a copy of itself; the server's end means it is done.
wine "$program/uninstall.exe" /S || fail "the uninstaller ended with $?"
wineserver -w
[ ! -e "$program" ] || fail "left behind: $(ls "$program")"
[ ! -e "$lnk" ] || fail "the menu entry is left"
! grep -q "^\[$key\]" "$WINEPREFIX/system.reg" || fail "the uninstall entry is left"
[ -f "$player/pachiko.dat" ] && [ -f "$player/tama.dat" ] || fail "the player's folder was not kept"
rm -rf "$WORK"
echo "installer: install, menu entry, game window, player's folder, uninstall: as expected"
