#!/usr/bin/env bash
# Builds and runs every test: once normally, once with AddressSanitizer and
# UndefinedBehaviorSanitizer; then kills card writes at random moments, and
# runs each fuzz target for a short fixed time. Exits non-zero on any failure.
#
# usage: ./test.sh [--fuzz SECONDS]   (each fuzz target's time, 60 by default)
set -euo pipefail
cd "$(dirname "$0")"
seconds=${BORVESSA_FUZZ_SECONDS:-60}
while [ $# -gt 0 ]; do
    case $1 in
        --fuzz) [ $# -ge 2 ] && [[ $2 =~ ^[0-9]+$ ]] || { echo "usage: ./test.sh [--fuzz SECONDS]" >&2; exit 2; }
                seconds=$2; shift 2 ;;
        *) echo "usage: ./test.sh [--fuzz SECONDS]" >&2; exit 2 ;;
    esac
done
source scripts/deps.sh
borvessa_install_deps "${BORVESSA_TEST_DEPS[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "== Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBORVESSA_SANITIZE=ON -DBORVESSA_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Card writes killed at random moments"
tests/fuzz/kill-during-set.sh build/bin/borvessa-card cards/Canada.qcf 200

echo "== Fuzz targets"
if command -v clang++-14 >/dev/null; then
    CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBORVESSA_FUZZ=ON
    cmake --build build-fuzz -j "$jobs" --target fuzz_card fuzz_envelope fuzz_cardform fuzz_peoplecsv
    for run in card:cards envelope:envelope cardform:cards peoplecsv:people; do
        target=fuzz_${run%%:*}
        # New inputs go to a scratch corpus; the seeds in the repository stay.
        rm -rf "build-fuzz/corpus/$target"
        mkdir -p "build-fuzz/corpus/$target" build-fuzz/artifacts
        echo "-- $target for $seconds s"
        "build-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
            "build-fuzz/corpus/$target" "tests/fuzz/corpus/${run#*:}" 2>"build-fuzz/$target.log" \
            || { tail -n 60 "build-fuzz/$target.log"; echo "$target failed; the input is in build-fuzz/artifacts" >&2; exit 1; }
        grep -E "^stat::number_of_executed_units|^Done" "build-fuzz/$target.log" || true
    done
else
    echo "clang++-14 is missing: the fuzz targets were not built" >&2
    exit 1
fi
