#!/bin/sh
# The installed game: the layout of "cmake --install", the launcher's player
# folder, and the Debian package (installed, started from its desktop entry
# and removed again when run as root).
#
#   install_test.sh layout|launcher|deb
#
# ctest passes BUILD_DIR, SOURCE_DIR, CMAKE, CPACK, APP_ID, SANITIZE and TOOLS
# (cmake/install.cmake). Exit 77 is a skip.
set -eu

part=$1
: "${BUILD_DIR:?}" "${SOURCE_DIR:?}" "${CMAKE:?}" "${CPACK:?}" "${APP_ID:?}" "${TOOLS:?}"

if [ "${SANITIZE:-0}" = 1 ]; then
    echo "skipped: the sanitizer build is not for installing"
    exit 77
fi

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "install $part: all checks passed"
    exit 0
}
# The checks so far passed but the rest cannot run here: a skip, with why.
skip_rest() {
    [ "$failures" -eq 0 ] || finish
    echo "skipped: $1"
    exit 77
}
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
    done
}

work=$(mktemp -d "${TMPDIR:-/tmp}/pachinko-install-$part.XXXXXX")
cleanup_extra=:
trap 'eval "$cleanup_extra"; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

# The names the game itself loads: the pictures of the asset list and the
# sounds of the sound set-up, read from the sources rather than from the
# build folder the install copies.
pictures=$(grep -o '"[A-Za-z0-9_]*\.bmp"' "$SOURCE_DIR/media/assets.h" | tr -d '"' | sort -u)
sounds=$(grep -o '"[A-Za-z0-9_]*\.wav"' "$SOURCE_DIR/media/sound.h" | tr -d '"' | sort -u)
content="$pictures $sounds tama.dat pachi.hlp error.hlp pachinko.png pachinko.ico"

# Width and height of a PNG from its header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'
}

install_into() {  # prefix
    "$CMAKE" --install "$BUILD_DIR" --prefix "$1" >"$work/install.log" 2>&1 || {
        cat "$work/install.log" >&2
        echo "FAIL: cmake --install" >&2
        exit 1
    }
}

# The checks of an installed tree under $1 that a package and a plain install
# share. $2 is the prefix the files name (the package's is /usr).
check_tree() {
    root=$1 named=$2
    [ "$(echo "$pictures" | wc -w)" -eq 37 ] || fail "the asset list names $(echo "$pictures" | wc -w) pictures, not 37"
    [ "$(echo "$sounds" | wc -w)" -eq 4 ] || fail "the sound set-up names $(echo "$sounds" | wc -w) sounds, not 4"
    for f in $content; do
        [ -f "$root/share/pachinko/$f" ] || fail "share/pachinko/$f missing"
    done
    extra=$(ls "$root/share/pachinko" | grep -vxF "$(echo $content | tr ' ' '\n')" || true)
    [ -z "$extra" ] || fail "share/pachinko holds more than the content: $extra"
    [ -x "$root/bin/pachinko" ] || fail "bin/pachinko is no executable"
    head -n1 "$root/bin/pachinko" | grep -qx '#!/bin/sh' || fail "bin/pachinko is not the launcher script"
    [ -x "$root/libexec/pachinko/pachinko" ] || fail "libexec/pachinko/pachinko missing"
    for tool in $TOOLS; do
        [ -x "$root/bin/$tool" ] || fail "bin/$tool missing"
    done
    for size in 32 64 128 256; do
        icon=$root/share/icons/hicolor/${size}x$size/apps/pachinko.png
        if [ -f "$icon" ]; then
            [ "$(png_size "$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$icon")"
        else
            fail "icon ${size}x$size missing"
        fi
    done
    desktop=$root/share/applications/$APP_ID.desktop
    metainfo=$root/share/metainfo/$APP_ID.metainfo.xml
    if desktop-file-validate "$desktop" >"$work/validate.log" 2>&1; then :; else
        cat "$work/validate.log" >&2
        fail "desktop-file-validate $desktop"
    fi
    # Hints count as failures too: a hint today is a warning tomorrow.
    if [ -s "$work/validate.log" ]; then
        cat "$work/validate.log" >&2
        fail "desktop-file-validate has remarks"
    fi
    grep -qx 'Exec=pachinko' "$desktop" || fail "the desktop entry does not start the launcher"
    grep -qx 'Icon=pachinko' "$desktop" || fail "the desktop entry names another icon"
    if ! appstreamcli validate --no-net --explain "$metainfo" >"$work/validate.log" 2>&1; then
        cat "$work/validate.log" >&2
        fail "appstreamcli validate $metainfo"
    fi
    grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" ||
        fail "the metainfo names another desktop entry"
    for tool in pachinko $TOOLS; do
        page=$root/share/man/man1/$tool.1.gz
        if [ ! -f "$page" ]; then
            fail "man page $tool.1.gz missing"
            continue
        fi
        gzip -t "$page" || fail "$page is no gzip file"
        # Every placeholder filled in with the installed paths.
        if gzip -dc "$page" | grep -q '@[A-Z_]*@'; then fail "$page has an unfilled placeholder"; fi
        if [ "$tool" = pachinko ]; then
            gzip -dc "$page" | grep -qF "$named/share/pachinko" || fail "$page does not name $named/share/pachinko"
        fi
        # groff's warnings: a broken request or font change shows here.
        gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>"$work/groff.log" || fail "groff on $page"
        if [ -s "$work/groff.log" ]; then
            cat "$work/groff.log" >&2
            fail "groff warns about $page"
        fi
    done
}

case $part in
layout)
    need desktop-file-validate appstreamcli groff
    prefix=$work/prefix
    install_into "$prefix"
    check_tree "$prefix" "$prefix"
    # The content is the generated content, byte for byte; "tama.dat" is the
    # generator's, whatever tuning mode did to the build's game folder.
    for f in $pictures $sounds pachi.hlp error.hlp pachinko.png pachinko.ico; do
        cmp -s "$BUILD_DIR/game/$f" "$prefix/share/pachinko/$f" || fail "share/pachinko/$f differs from the build's"
    done
    cmp -s "$BUILD_DIR/tools/courses/tama.dat" "$prefix/share/pachinko/tama.dat" || fail "tama.dat is not the generated one"
    # A developer's saved game in the build's folder stays out.
    [ ! -e "$prefix/share/pachinko/pachiko.dat" ] || fail "a saved game was installed"
    # The 32 px icon is the program's own.
    cmp -s "$BUILD_DIR/game/pachinko.png" "$prefix/share/icons/hicolor/32x32/apps/pachinko.png" ||
        fail "the 32 px desktop icon differs from the program's icon"
    finish
    ;;

launcher)
    need readlink
    prefix=$work/prefix
    install_into "$prefix"
    headless=$prefix/bin/pachinko-headless
    home=$work/home
    mkdir -p "$home"
    # A script for the headless runner: the start-up box of the missing saved
    # game, a few ticks, then the runner closes the window and the game saves.
    printf 'answer ok\ntick 5\n' >"$work/first.txt"
    printf 'tick 5\n' >"$work/again.txt"

    # Started through a link from another folder, as a menu or a file manager
    # would; the runner's output goes to a folder whose name has a space.
    mkdir -p "$work/links" "$work/out 1" "$work/elsewhere"
    ln -s "$prefix/bin/pachinko" "$work/links/pachinko"
    if ! (cd "$work/elsewhere" && env -u XDG_DATA_HOME HOME="$home" PACHINKO_EXEC="$headless" \
        "$work/links/pachinko" --out "$work/out 1" --script "$work/first.txt") >"$work/run.log" 2>&1; then
        cat "$work/run.log" >&2
        fail "the first start failed"
    fi
    folder=$home/.local/share/pachinko
    content_dir=$(cd -P "$prefix/share/pachinko" && pwd)
    for f in $content; do
        [ "$f" = tama.dat ] && continue
        if [ ! -L "$folder/$f" ]; then
            fail "$f is not linked into the player's folder"
        elif [ "$(readlink "$folder/$f")" != "$content_dir/$f" ]; then
            fail "$f links to $(readlink "$folder/$f")"
        fi
    done
    if [ -L "$folder/tama.dat" ] || [ ! -f "$folder/tama.dat" ]; then
        fail "tama.dat is not a file of the player's own"
    else
        cmp -s "$folder/tama.dat" "$prefix/share/pachinko/tama.dat" || fail "the copied tama.dat differs"
        [ -w "$folder/tama.dat" ] || fail "the copied tama.dat is not writable"
    fi
    # The game ran in that folder: it started without a box but the one of
    # the missing saved game, and saved there at the end.
    grep -q '^exit 0' "$work/out 1/log.txt" 2>/dev/null || fail "the game did not end normally (no 'exit 0' in its log)"
    boxes=$(grep -c '^messagebox owner' "$work/out 1/log.txt" 2>/dev/null || true)
    [ "$boxes" = 1 ] || fail "$boxes message boxes at start-up, expected only the missing saved game's"
    if [ -f "$folder/pachiko.dat" ]; then
        [ "$(wc -c <"$folder/pachiko.dat")" -eq 64 ] || fail "pachiko.dat is not 64 bytes"
    else
        fail "the game did not save pachiko.dat in the player's folder"
    fi
    [ -z "$(ls -A "$work/elsewhere")" ] || fail "the game wrote into the folder it was started from"
    grep -o '"day":[0-9-]*' "$work/out 1/state.json" | head -n1 >"$work/day1"

    # The player's own files survive a later start: an edited tama.dat, a
    # picture of his own in place of a link, his saved game. Links gone
    # stale (an installation moved away) or missing are made anew.
    printf 'X' | dd of="$folder/tama.dat" bs=1 seek=31999 conv=notrunc 2>/dev/null
    cp "$folder/tama.dat" "$work/edited.dat"
    rm "$folder/t1.bmp"
    printf 'mine' >"$folder/t1.bmp"
    rm "$folder/back1.bmp"
    ln -s /nonexistent/share/pachinko/back2.bmp "$folder/back2.bmp.tmp"
    rm "$folder/back2.bmp"
    mv "$folder/back2.bmp.tmp" "$folder/back2.bmp"
    if ! env -u XDG_DATA_HOME HOME="$home" PACHINKO_EXEC="$headless" \
        "$prefix/bin/pachinko" --out "$work/out 2" --script "$work/again.txt" >"$work/run.log" 2>&1; then
        cat "$work/run.log" >&2
        fail "the second start failed"
    fi
    cmp -s "$folder/tama.dat" "$work/edited.dat" || fail "the player's tama.dat was replaced"
    [ "$(cat "$folder/t1.bmp")" = mine ] || fail "the player's own t1.bmp was replaced"
    [ "$(readlink "$folder/back1.bmp")" = "$content_dir/back1.bmp" ] || fail "a missing link was not made again"
    [ "$(readlink "$folder/back2.bmp")" = "$content_dir/back2.bmp" ] || fail "a stale link was not renewed"
    # The saved game was loaded: no box this time, and the day moved on.
    boxes=$(grep -c '^messagebox owner' "$work/out 2/log.txt" 2>/dev/null || true)
    [ "$boxes" = 0 ] || fail "$boxes message boxes on the second start (the saved game was not found?)"
    day1=$(sed 's/.*://' "$work/day1")
    day2=$(grep -o '"day":[0-9-]*' "$work/out 2/state.json" | head -n1 | sed 's/.*://')
    case $day1 in
    '' | *[!0-9]*) fail "no day in the first run's state.json" ;;
    *) [ "$day2" = $((day1 + 1)) ] || fail "the second start is on day '$day2' after day $day1" ;;
    esac

    # XDG_DATA_HOME decides where the folder goes when it is absolute, and is
    # ignored when it is not.
    if ! (cd "$work/elsewhere" && env HOME="$work/home2" XDG_DATA_HOME="$work/data" PACHINKO_EXEC="$headless" \
        "$prefix/bin/pachinko" --out "$work/out 3" --script "$work/first.txt") >"$work/run.log" 2>&1; then
        cat "$work/run.log" >&2
        fail "the start with XDG_DATA_HOME failed"
    fi
    [ -f "$work/data/pachinko/pachiko.dat" ] || fail "XDG_DATA_HOME was not used"
    [ ! -e "$work/home2/.local/share/pachinko" ] || fail "a folder was made in HOME despite XDG_DATA_HOME"
    (cd "$work/elsewhere" && env HOME="$work/home3" XDG_DATA_HOME="relative" PACHINKO_EXEC="$headless" \
        "$prefix/bin/pachinko" --out "$work/out 4" --script "$work/first.txt") >"$work/run.log" 2>&1 ||
        fail "the start with a relative XDG_DATA_HOME failed"
    [ -f "$work/home3/.local/share/pachinko/pachiko.dat" ] || fail "a relative XDG_DATA_HOME was not ignored"
    [ ! -e "$work/elsewhere/relative" ] || fail "a relative XDG_DATA_HOME made a folder"

    # The arguments reach the game unchanged, spaces and all, except that a
    # relative file for --record is made absolute from where the player
    # started, since the game runs in its own folder.
    cat >"$work/show-args" <<'EOF'
#!/bin/sh
pwd >"$ARGS_OUT"
for a in "$@"; do printf '[%s]\n' "$a"; done >>"$ARGS_OUT"
EOF
    chmod +x "$work/show-args"
    (cd "$work/elsewhere" && env -u XDG_DATA_HOME HOME="$home" PACHINKO_EXEC="$work/show-args" ARGS_OUT="$work/args" \
        "$prefix/bin/pachinko" --scale 2 --record "my session.txt" --record /abs/rec T "two words" --record x) ||
        fail "the start with arguments failed"
    printf '%s\n' "$folder" '[--scale]' '[2]' '[--record]' "[$work/elsewhere/my session.txt]" '[--record]' '[/abs/rec]' \
        '[T]' '[two words]' '[--record]' '[x]' >"$work/args.expected"
    cmp -s "$work/args" "$work/args.expected" || { diff "$work/args.expected" "$work/args" >&2; fail "arguments changed on the way"; }
    (cd "$work/elsewhere" && env -u XDG_DATA_HOME HOME="$home" PACHINKO_EXEC="$work/show-args" ARGS_OUT="$work/args" \
        "$prefix/bin/pachinko" -- --record rel --record) || fail "the start with -- failed"
    printf '%s\n' "$folder" '[--]' '[--record]' '[rel]' '[--record]' >"$work/args.expected"
    cmp -s "$work/args" "$work/args.expected" || { diff "$work/args.expected" "$work/args" >&2; fail "arguments after -- changed"; }

    # Installed for one user under ~/.local, the content folder is the very
    # folder the player's would be: his files go into a folder inside it and
    # the installed files stay as they are.
    home4=$work/home4
    install_into "$home4/.local"
    shared=$home4/.local/share/pachinko
    if ! (cd "$work/elsewhere" && env -u XDG_DATA_HOME HOME="$home4" PACHINKO_EXEC="$home4/.local/bin/pachinko-headless" \
        "$home4/.local/bin/pachinko" --out "$work/out 5" --script "$work/first.txt") >"$work/run.log" 2>&1; then
        cat "$work/run.log" >&2
        fail "the start of a ~/.local installation failed"
    fi
    [ -f "$shared/player/pachiko.dat" ] || fail "the ~/.local installation's game did not save in share/pachinko/player"
    [ -L "$shared/player/back1.bmp" ] && [ -f "$shared/player/tama.dat" ] && [ ! -L "$shared/player/tama.dat" ] ||
        fail "the ~/.local installation's player folder was not prepared"
    [ ! -e "$shared/pachiko.dat" ] || fail "the game saved into the installed content"
    [ ! -e "$shared/player/player" ] || fail "the player folder was linked into itself"
    for f in $content; do
        [ -f "$shared/$f" ] && [ ! -L "$shared/$f" ] || fail "installed $f was changed"
    done

    # Nowhere to go: a clear refusal, and the game is not started.
    if env -u HOME -u XDG_DATA_HOME PACHINKO_EXEC=false "$prefix/bin/pachinko" >"$work/run.log" 2>&1; then
        fail "the launcher went on without HOME"
    fi
    grep -q 'HOME' "$work/run.log" || fail "the launcher did not say why it stopped"
    printf 'a file' >"$work/blocked"
    if env HOME="$work/blocked" XDG_DATA_HOME= PACHINKO_EXEC=true "$prefix/bin/pachinko" >"$work/run.log" 2>&1; then
        fail "the launcher went on without a folder"
    fi
    grep -q 'cannot make' "$work/run.log" || fail "the launcher did not say it cannot make the folder"
    finish
    ;;

deb)
    need dpkg-deb dpkg-shlibdeps readelf desktop-file-validate appstreamcli groff
    if ! "$CPACK" --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1; then
        cat "$work/cpack.log" >&2
        echo "FAIL: cpack" >&2
        exit 1
    fi
    deb=$(ls "$work"/cpack/pachinko_*.deb)
    dpkg-deb -I "$deb" >"$work/info"
    grep -q '^ Package: pachinko$' "$work/info" || fail "the package is not named pachinko"
    grep -q '^ Section: games$' "$work/info" || fail "the package is not in section games"
    depends=$(sed -n 's/^ Depends: //p' "$work/info")
    for dep in libqt6widgets6 libqt6gui6 libopenal1 fonts-ipafont-gothic libc6; do
        echo "$depends" | grep -q "\\b$dep\\b" || fail "the package does not depend on $dep: $depends"
    done
    dpkg-deb -c "$deb" >"$work/contents"
    grep -q ' \./usr/local/' "$work/contents" && fail "the package installs into /usr/local"
    for f in bin/pachinko libexec/pachinko/pachinko share/man/man1/pachinko.1.gz \
        share/applications/$APP_ID.desktop share/metainfo/$APP_ID.metainfo.xml; do
        grep -q " \./usr/$f\$" "$work/contents" || fail "the package lacks /usr/$f"
    done
    # The same tree as a plain install, with the package's own paths.
    dpkg-deb -x "$deb" "$work/root"
    check_tree "$work/root/usr" /usr
    # Stripped executables: no debugging sections in the package.
    if readelf -S "$work/root/usr/libexec/pachinko/pachinko" 2>/dev/null | grep -q '\.debug_info'; then
        fail "the game is not stripped"
    fi

    # Installing it needs root, and a machine without a pachinko of its own;
    # without them the install is not tested, and ctest shows a skip.
    if [ "$(id -u)" -ne 0 ]; then
        skip_rest "not root: the package was built and inspected, not installed"
    fi
    if dpkg-query -W -f='${Status}' pachinko 2>/dev/null | grep -q 'install ok installed'; then
        skip_rest "a pachinko package is installed already: it is left alone, this one not installed"
    fi
    need xvfb-run xdotool
    # Another dpkg run holds the lock now and then; wait for it a while.
    tries=0
    until dpkg -i "$deb" >"$work/dpkg.log" 2>&1; do
        tries=$((tries + 1))
        if ! grep -q 'lock' "$work/dpkg.log" || [ "$tries" -ge 30 ]; then
            cat "$work/dpkg.log" >&2
            dpkg -r pachinko >/dev/null 2>&1 || true
            echo "FAIL: dpkg -i" >&2
            exit 1
        fi
        sleep 2
    done
    cleanup_extra='dpkg -r pachinko >/dev/null 2>&1 || echo "FAIL: dpkg -r left pachinko installed" >&2'

    # The desktop entry's Exec line in a fresh home, under a virtual screen:
    # the player's folder appears and so does the game's window.
    exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$APP_ID.desktop" | head -n1)
    home=$work/home
    mkdir -p "$home"
    cat >"$work/start.sh" <<'EOF'
# Runs inside xvfb-run: start the game as the desktop would, wait for its
# window, then end it.
cd /
$EXEC_LINE >"$WORK/game.log" 2>&1 &
game=$!
found=
i=0
while [ $i -lt 60 ]; do
    if xdotool search --onlyvisible --name 'PACHINKO' >"$WORK/windows" 2>/dev/null; then
        found=1
        break
    fi
    kill -0 $game 2>/dev/null || break
    sleep 0.5
    i=$((i + 1))
done
kill $game 2>/dev/null
wait $game 2>/dev/null
[ -n "$found" ]
EOF
    if ! env -u XDG_DATA_HOME HOME="$home" EXEC_LINE="$exec_line" WORK="$work" \
        timeout 90 xvfb-run -a sh "$work/start.sh"; then
        cat "$work/game.log" >&2 2>/dev/null || true
        fail "no window named PACHINKO appeared after '$exec_line'"
    fi
    folder=$home/.local/share/pachinko
    [ -f "$folder/tama.dat" ] && [ ! -L "$folder/tama.dat" ] || fail "the installed launcher made no tama.dat copy"
    [ "$(readlink "$folder/back1.bmp")" = /usr/share/pachinko/back1.bmp ] || fail "the pictures are not linked from /usr/share/pachinko"

    dpkg -r pachinko >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -r"; }
    cleanup_extra=:
    [ ! -e /usr/bin/pachinko ] && [ ! -e /usr/share/pachinko ] || fail "dpkg -r left files behind"
    finish
    ;;

*)
    echo "usage: install_test.sh layout|launcher|deb" >&2
    exit 2
    ;;
esac
