#!/bin/sh
# Packs the Windows game: the portable zip and the NSIS installer.
#
#   package.sh --program FILE... --content DIR --courses FILE --version V --out DIR
#              [--icon FILE] [--time SECONDS] [--publisher NAME] [--compressor zlib|bzip2|lzma]
#
# --program names pachinko.exe, pachinko-sim.exe and pachinko-headless.exe,
# one each;
# --content is a game folder whose pictures (.bmp), sounds (.wav) and help
# (.hlp) go in; --courses the generated "tama.dat" (not one edited in tuning
# mode). Every file gets the time --time (seconds since 1970; default now),
# so that packing the same build twice gives the same zip, and so that a
# player's folder takes the files of a newer version (the game copies an
# installed file over the player's copy when the installed one is newer).
# Writes OUT/pachinko-V-windows-x64.zip (one folder pachinko-V/) and
# OUT/pachinko-V-windows-x64-setup.exe.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
programs= content= courses= version= out= icon= stamp=$(date +%s) publisher="pachinko maintainers" compressor=lzma
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || { echo "package.sh: $1 needs a value" >&2; exit 2; }
    case $1 in
    --program) programs="$programs
$2" ;;
    --content) content=$2 ;;
    --courses) courses=$2 ;;
    --version) version=$2 ;;
    --out) out=$2 ;;
    --icon) icon=$2 ;;
    --time) stamp=$2 ;;
    --publisher) publisher=$2 ;;
    --compressor) compressor=$2 ;;
    *) echo "package.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
for need in programs content courses version out; do
    eval "[ -n \"\$$need\" ]" || { echo "package.sh: --$need is missing" >&2; exit 2; }
done
icon=${icon:-$content/pachinko.ico}
fail() { echo "package.sh: $*" >&2; exit 1; }
# makensis reads the files from its script's folder: every path absolute.
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
content=$(absolute "$content") courses=$(absolute "$courses") icon=$(absolute "$icon")

names="pachinko.exe pachinko-sim.exe pachinko-headless.exe"
[ "$(printf '%s\n' "$programs" | grep -c .)" = 3 ] || fail "--program: three programs, $names"
for exe in $names; do
    [ "$(printf '%s\n' "$programs" | grep -c "\(^\|/\)$exe\$")" = 1 ] || fail "--program $exe: not given once"
done
[ -f "$courses" ] || fail "no course file $courses"
[ -f "$icon" ] || fail "no icon $icon"
ls "$content"/*.bmp "$content"/*.wav "$content"/*.hlp >/dev/null 2>&1 || fail "no pictures, sounds or help in $content"

name=pachinko-$version
zip=pachinko-$version-windows-x64.zip
setup=pachinko-$version-windows-x64-setup.exe
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$out/windows-package
rm -rf "$work"
stage=$work/$name
mkdir -p "$stage"

# The programs without their symbol tables; they are linked statically and
# carry no debugging information in a release build anyway.
printf '%s\n' "$programs" | while IFS= read -r exe; do
    [ -z "$exe" ] && continue
    [ -f "$exe" ] || fail "no program $exe"
    x86_64-w64-mingw32-strip -o "$stage/$(basename "$exe")" "$exe"
done
for file in "$content"/*.bmp "$content"/*.wav "$content"/*.hlp; do
    cp "$file" "$stage/"
done
cp "$courses" "$stage/tama.dat"
# Notepad reads UTF-8 for sure with a byte-order mark; lines end in CR LF.
{
    printf '\357\273\277'
    sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/README.txt.in"
} >"$stage/README.txt"
find "$stage" -exec touch -h -d "@$stamp" {} +

# The zip: names in a fixed order, times in UTC, no owners or extra fields.
rm -f "$out/$zip"
(cd "$work" && find "$name" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$out/$zip")

# The installer: its file list and the uninstaller's, from the same folder.
files=$work/files.nsh
unfiles=$work/unfiles.nsh
: >"$files"
: >"$unfiles"
for path in $(cd "$stage" && LC_ALL=C ls); do
    printf 'File "%s"\n' "$stage/$path" >>"$files"
    printf 'Delete "$INSTDIR\\%s"\n' "$path" >>"$unfiles"
done
major=${version%%.*}
minor=$(printf '%s' "${version#*.}" | sed 's/^0*\([0-9]\)/\1/')
makensis -V2 -INPUTCHARSET UTF8 \
    -DVERSION="$version" -DVERSION4="$major.$minor.0.0" -DPUBLISHER="$publisher" -DCOMPRESSOR="$compressor" \
    -DICON="$icon" -DFILES="$files" -DUNFILES="$unfiles" -DOUTFILE="$out/$setup" \
    "$here/pachinko.nsi" >"$work/makensis.log" 2>&1 || { cat "$work/makensis.log" >&2; fail "makensis failed"; }
rm -rf "$work"
echo "$out/$zip"
echo "$out/$setup"
