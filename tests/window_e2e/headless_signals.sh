#!/bin/sh
# pachinko-headless ended from outside (SIGTERM, SIGHUP, SIGINT: a terminal's
# Ctrl+C, kill) ends its game as the close box does: the game saves, the run
# writes its log and state, the exit code is the game's own. A soak stopped
# so prints its figures and removes its scratch folder.
# headless_signals.sh PACHINKO-HEADLESS GAME-DIR WORK-DIR
headless=$1
game=$2
work=$3
failures=0
fail() { echo "headless_signals: $*"; failures=$((failures + 1)); }
rm -rf "$work" && mkdir -p "$work" || exit 1

# Waits until the process has its handlers for SIGHUP, SIGINT and SIGTERM.
handled() {
  for _ in $(seq 1 300); do
    mask=$(awk '/^SigCgt/ {print $2}' "/proc/$1/status" 2>/dev/null)
    [ -n "$mask" ] && [ $((0x$mask & 0x4003)) -eq $((0x4003)) ] && return 0
    sleep 0.1
  done
  return 1
}

for sig in TERM HUP INT; do
  dir=$work/$sig
  mkdir -p "$dir"
  cp "$game"/*.bmp "$game"/*.wav "$game"/tama.dat "$dir"/
  # Longer than any machine plays in the time the signal takes to arrive.
  echo "tick 70000" > "$dir/script.txt"
  "$headless" --dir "$dir" --script "$dir/script.txt" > "$dir/out.txt" 2>&1 &
  pid=$!
  handled $pid || fail "$sig: no handlers"
  kill -$sig $pid
  wait $pid
  code=$?
  [ $code -eq 0 ] || fail "$sig: exit code $code"
  [ "$(stat -c %s "$dir/pachiko.dat" 2>/dev/null)" = 64 ] || fail "$sig: no saved game"
  grep -q "^session end$" "$dir/log.txt" || fail "$sig: the log has no session end"
  [ "$(tail -n 1 "$dir/log.txt")" = "exit 0" ] || fail "$sig: the log does not end with exit 0"
  [ -s "$dir/state.json" ] || fail "$sig: no state.json"
done

# A soak runs until Ctrl+C.
mkdir -p "$work/tmp"
TMPDIR=$work/tmp "$headless" --soak 1000000000 --dir "$game" > "$work/soak.txt" 2>&1 &
pid=$!
handled $pid || fail "soak: no handlers"
sleep 1
kill -INT $pid
wait $pid
code=$?
[ $code -eq 0 ] || fail "soak: exit code $code"
grep -q "every rule held" "$work/soak.txt" || fail "soak: no figures: $(cat "$work/soak.txt")"
grep -q "stopped by a signal" "$work/soak.txt" || fail "soak: does not say it was stopped"
! ls -d "$work"/tmp/pachinko-soak-* 2>/dev/null || fail "soak: left its scratch folder"

if [ $failures -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; exit 1; fi
