#!/bin/sh
# pachinko's command line: --help and --version answer on the terminal with no
# display at all (a window would need one); a bad option or value is refused
# with exit code 2 before any window opens, so an option can never be taken
# for the tuning letter.
# options_test.sh PACHINKO
pachinko=$1
failures=0
fail() { echo "options_test: $*"; failures=$((failures + 1)); }
game() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$pachinko" "$@"; }

out=$(game --help 2>&1); code=$?
[ $code -eq 0 ] || fail "--help exits with $code"
for words in "--scale N" "--record FILE" "--version" "tuning mode" "has no tama.dat" "folder the" "program lives in"; do
  echo "$out" | grep -q -- "$words" || fail "--help does not mention '$words'"
done

out=$(game --version 2>&1); code=$?
[ $code -eq 0 ] || fail "--version exits with $code"
echo "$out" | grep -qx "pachinko [0-9][0-9.]*" || fail "--version says '$out'"

for args in "-T" "-t" "--tuning" "--scale 0" "--scale 9" "--scale 2x" "--scale" "--record"; do
  # shellcheck disable=SC2086
  out=$(game $args 2>&1); code=$?
  [ $code -eq 2 ] || fail "'$args' exits with $code, not 2"
  echo "$out" | grep -q "pachinko --help" || fail "'$args' does not point to --help: $out"
done

if [ $failures -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; exit 1; fi
