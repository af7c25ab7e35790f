#!/bin/sh
# cross_save.sh LINUX_HEADLESS WINDOWS_HEADLESS CONTENT_DIR WORK_DIR
# Plays journey.txt with the Linux and the Windows pachinko-headless (the
# latter under Wine, in the prefix the caller chose) from the same content,
# and checks that both leave the same save, state dumps and event log, and
# screenshots with the same pixels.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
linux=$1 windows=$2 content=$3 work=$4
rm -rf "$work"
for side in linux windows; do
  mkdir -p "$work/$side"
  cp "$content"/*.bmp "$content"/*.wav "$content/tama.dat" "$work/$side/"
done
"$linux" --dir "$work/linux" --script "$here/journey.txt" >"$work/linux.out" 2>&1 || { cat "$work/linux.out"; exit 1; }
${PACHINKO_WINE:-wine} "$windows" --dir "$work/windows" --script "$here/journey.txt" >"$work/windows.out" 2>&1 ||
  { cat "$work/windows.out"; exit 1; }

status=0
for file in pachiko.dat state.json town.json playing.json left.json log.txt; do
  if ! cmp -s "$work/linux/$file" "$work/windows/$file"; then
    echo "$file differs:"; diff "$work/linux/$file" "$work/windows/$file" | head -20 || true
    status=1
  fi
done
for shot in home town parlour machine left; do
  python3 "$here/compare_shots.py" "$work/linux/$shot.png" "$work/windows/$shot.png" || status=1
done
[ "$status" = 0 ] && echo "the same save, dumps, log and screenshots"
exit "$status"
