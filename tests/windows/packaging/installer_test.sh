#!/bin/sh
# The Windows installer in a fresh Wine prefix: a silent install puts the
# game under Program Files with its menu entry and its entry in "Apps"; the
# game started from the menu entry's target opens its window and plays in the
# player's folder under %APPDATA%; a silent uninstall removes the program and
# keeps the player's folder.
#
#   installer_test.sh PACHINKO.EXE PACHINKO-HEADLESS.EXE PACHINKO-SIM.EXE
# Environment: CONTENT (a game folder with the pictures, sounds, help,
# tama.dat and pachinko.ico), SOURCE_DIR, VERSION, WORK (a folder of its own,
# emptied first).
set -eu

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in makensis wine wineserver xvfb-run xdotool python3 x86_64-w64-mingw32-strip; do
    command -v "$tool" >/dev/null 2>&1 || { echo "no $tool: skipped"; exit 77; }
done

rm -rf "$WORK"
mkdir -p "$WORK"
"$SOURCE_DIR/packaging/windows/package.sh" --program "$1" --program "$2" --program "$3" --content "$CONTENT" --courses "$CONTENT/tama.dat" \
    --version "$VERSION" --out "$WORK/dist" --compressor zlib >/dev/null
setup=$WORK/dist/pachinko-$VERSION-windows-x64-setup.exe

eval "$("$SOURCE_DIR/tests/windows/wine_prefix.sh" "$WORK/prefix")"
drive=$WINEPREFIX/drive_c
program="$drive/Program Files/pachinko"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\pachinko]'

# --- install --------------------------------------------------------------
wine "$setup" /S || fail "the installer ended with $?"
wineserver -w
for file in pachinko.exe pachinko-sim.exe pachinko-headless.exe uninstall.exe README.txt tama.dat back1.bmp base1.wav \
    pachi.hlp; do
    [ -f "$program/$file" ] || fail "not installed: $file"
done
cmp -s "$CONTENT/tama.dat" "$program/tama.dat" || fail "the installed tama.dat is not the build's"

# The uninstall entry, as the registry file holds it (the server has written
# it out on ending).
python3 - "$WINEPREFIX/system.reg" "$key" "$VERSION" <<'EOF' || fail "the uninstall entry"
import re, sys
text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
start = text.find(sys.argv[2] + " ")
if start < 0:
    sys.exit("no uninstall key")
block = text[start:text.find("\n\n", start)]
def value(name):
    m = re.search(r'^"%s"=(.*)$' % name, block, re.M)
    return m.group(1) if m else None
# Non-ASCII characters are written as \xNNNN.
name = re.sub(r"\\x([0-9a-f]{4})", lambda m: chr(int(m.group(1), 16)), value("DisplayName") or "")
expected = {
    "DisplayName": (name, '"PACHINKO ろもぺ"'),
    "DisplayVersion": (value("DisplayVersion"), '"%s"' % sys.argv[3]),
    "DisplayIcon": (value("DisplayIcon"), r'"C:\\Program Files\\pachinko\\pachinko.exe,0"'),
    "Publisher": (value("Publisher"), '"pachinko maintainers"'),
    "QuietUninstallString": (value("QuietUninstallString"), r'"\"C:\\Program Files\\pachinko\\uninstall.exe\" /S"'),
}
bad = ["%s is %s, not %s" % (k, got, want) for k, (got, want) in expected.items() if got != want]
size = value("EstimatedSize") or ""
# Size in KiB: the content alone is several megabytes.
if not size.startswith("dword:") or int(size[6:], 16) < 4096:
    bad.append("EstimatedSize is %s" % size)
if bad:
    sys.exit("\n".join(bad))
EOF

# The menu entry: its target, working folder and icon (the Shell Link
# format: header, target id list, link info with the local path, then the
# counted UTF-16 strings).
lnk="$menu/PACHINKO ろもぺ.lnk"
[ -f "$lnk" ] || fail "no menu entry"
python3 - "$lnk" >"$WORK/link" <<'EOF' || fail "the menu entry cannot be read"
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 20)[0]
at = 76
if flags & 0x1:
    at += 2 + struct.unpack_from("<H", data, at)[0]
target = ""
if flags & 0x2:
    size, header, info_flags, _, local = struct.unpack_from("<5I", data, at)
    if info_flags & 0x1:
        target = data[at + local:data.index(b"\0", at + local)].decode("latin-1")
    at += size
strings = {}
for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "workdir"), (0x20, "args"), (0x40, "icon")):
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        strings[name] = data[at + 2:at + 2 + 2 * count].decode("utf-16-le")
        at += 2 + 2 * count
print(target)
print(strings.get("workdir", ""))
print(strings.get("icon", ""))
EOF
target=$(sed -n 1p "$WORK/link")
workdir=$(sed -n 2p "$WORK/link")
icon=$(sed -n 3p "$WORK/link")
exe='C:\Program Files\pachinko\pachinko.exe'
[ "$target" = "$exe" ] || fail "the menu entry starts '$target'"
[ "$icon" = "$exe" ] || fail "the menu entry's icon is '$icon'"

# --- the game, from the menu entry -----------------------------------------
cat >"$WORK/start.sh" <<'EOF'
# Runs inside xvfb-run: the target in the entry's working folder, its window,
# then a close request (WM_CLOSE, as the close box sends) until it has ended.
cd "$(winepath -u "$WORKDIR")"
wine "$TARGET" >"$WORK/game.log" 2>&1 &
game=$!
found=
i=0
while [ $i -lt 120 ]; do
    if xdotool search --onlyvisible --name 'PACHINKO' >"$WORK/windows" 2>/dev/null; then
        found=1
        break
    fi
    kill -0 $game 2>/dev/null || break
    sleep 0.5
    i=$((i + 1))
done
# A box may stand over the window at first start (the new game's note, no
# sound device): each request closes the topmost window, the last one the
# game's own, which saves.
i=0
while kill -0 $game 2>/dev/null && [ $i -lt 30 ]; do
    wine taskkill /im pachinko.exe >/dev/null 2>&1 || true
    sleep 1
    i=$((i + 1))
done
kill $game 2>/dev/null && echo "the game did not end on close requests" >&2
wait $game 2>/dev/null || true
[ -n "$found" ]
EOF
TARGET=$target WORKDIR=$workdir WORK=$WORK timeout 300 xvfb-run -a sh "$WORK/start.sh" ||
    { cat "$WORK/game.log" >&2; fail "no window named PACHINKO from '$target'"; }
wineserver -w

player=$(ls -d "$drive"/users/*/AppData/Roaming/pachinko 2>/dev/null | head -n1)
[ -n "$player" ] || fail "no player's folder under %APPDATA%"
cmp -s "$program/tama.dat" "$player/tama.dat" || fail "the player's tama.dat is not the installed one"
[ "$(ls "$player"/*.bmp | wc -l)" -eq "$(ls "$program"/*.bmp | wc -l)" ] || fail "the player's folder lacks pictures"
[ "$(wc -c <"$player/pachiko.dat" 2>/dev/null)" = 64 ] || fail "no saved game in the player's folder"
[ ! -e "$program/pachiko.dat" ] || fail "the game saved into Program Files"

# --- uninstall ------------------------------------------------------------
# The uninstaller runs from a copy of itself; the server's end means it is done.
wine "$program/uninstall.exe" /S || fail "the uninstaller ended with $?"
wineserver -w
[ ! -e "$program" ] || fail "left behind: $(ls "$program")"
[ ! -e "$lnk" ] || fail "the menu entry is left"
! grep -qF "$key" "$WINEPREFIX/system.reg" || fail "the uninstall entry is left"
[ -f "$player/pachiko.dat" ] && [ -f "$player/tama.dat" ] || fail "the player's folder was not kept"
rm -rf "$WORK"
echo "installer: install, menu entry, game window, player's folder, uninstall: all as expected"
