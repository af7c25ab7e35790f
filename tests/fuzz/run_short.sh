#!/bin/sh
# Short runs of the three fuzzers over their committed seed corpora, about a
# minute in all, for the test suite. Usage: run_short.sh [build-dir]
# The build folder (default: build-fuzz at the top of the tree) is configured
# with clang++-14 and PACHINKO_FUZZ=ON when it has not been yet. New inputs go
# to a temporary folder, so the committed corpora are only read. Fails when a
# fuzzer finds a crash, a sanitizer report, a leak or a broken invariant; the
# input that did it is kept in the folder the failure names.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-fuzz}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPACHINKO_FUZZ=ON -DPACHINKO_BENCH=OFF
fi
cmake --build "$build" --target pachinko_fuzzers

work=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"

# target, seconds, longest input
run() {
    mkdir "$work/$1"
    if ! "$build/tests/fuzz/$1_fuzz" -max_total_time="$2" -seed=1 -max_len="$3" \
        -artifact_prefix="$work/$1-" "$work/$1" "$here/corpus/$1"; then
        echo "run_short.sh: the $1 fuzzer failed; its input is in $work" >&2
        exit 1
    fi
}
run wav_reader 15 4096
run bitmap 20 4096
run game_state 25 40000
rm -rf "$work"
