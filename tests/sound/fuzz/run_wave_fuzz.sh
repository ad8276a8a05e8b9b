#!/bin/sh
# Builds the wave walk natively with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it for a bounded time from the walk
# table's images. Fails on any finding; exits 4 (a skip) when the compiler
# or its fuzzer runtime is missing.
# usage: run_wave_fuzz.sh <source folder> <work folder> <seconds>
set -u
source=$1
work=$2
seconds=$3
cxx=/usr/bin/clang++

if [ ! -x "$cxx" ]; then
    echo "SKIP: $cxx is missing"
    exit 4
fi
mkdir -p "$work/seeds" "$work/corpus"
flags="-std=c++20 -O1 -g -fno-omit-frame-pointer"
sanitizers="-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all"

if ! $cxx $flags $sanitizers -I"$source/gauges/switch" \
        "$source/gauges/switch/wave_image.cpp" "$source/tests/sound/fuzz/wave_walk_fuzz.cpp" \
        -o "$work/wave_walk_fuzz" 2> "$work/build.log"; then
    if grep -q "libclang_rt.fuzzer" "$work/build.log"; then
        echo "SKIP: clang's fuzzer runtime is missing (Debian: libclang-rt-14-dev)"
        exit 4
    fi
    cat "$work/build.log"
    exit 1
fi
$cxx $flags -I"$source/tests/sound" "$source/tests/sound/fuzz/write_wave_seeds.cpp" -o "$work/write_wave_seeds" || exit 1
rm -f "$work/seeds"/*
"$work/write_wave_seeds" "$source/gauges/switch/klick.wav" "$work/seeds" || exit 1

cd "$work" || exit 1
./wave_walk_fuzz -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
    corpus seeds > fuzz.log 2>&1
status=$?
tail -n 25 fuzz.log
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' fuzz.log)
echo "wave walk fuzz: ${runs:-?} executions in $seconds seconds, exit status $status"
[ "$status" -eq 0 ] && [ -n "$runs" ]
