#!/bin/sh
# A short run of the WAV reader fuzzer over the committed seed corpus, for the
# test suite. Usage: run_short.sh [fuzzer-binary]
# Without an argument the fuzzer is compiled here with clang++-14 (the reader
# alone; it needs nothing else from the tree). New inputs go to a temporary
# folder, so the committed corpus is only read. Fails when the fuzzer finds a
# crash, a sanitizer report or a broken invariant.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
if [ $# -ge 1 ]; then
    fuzzer=$1
else
    fuzzer=$work/wav_reader_fuzz
    clang++-14 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I "$root" -I "$root/platform/include" \
        "$here/fuzz_wav_reader.cpp" "$root/media/wav_reader.cpp" -o "$fuzzer"
fi
mkdir "$work/new"
"$fuzzer" -runs=20000 -max_total_time=60 -seed=1 -max_len=4096 \
    -artifact_prefix="$work/" "$work/new" "$here/corpus"
