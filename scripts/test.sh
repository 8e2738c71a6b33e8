#!/usr/bin/env bash
# Every test: set everything up, then
#   1. the native unit tests (with fault injection), and again under valgrind;
#   2. the fuzz target, for a bounded time (FUZZ_SECONDS, default 60);
#   3. the export benchmark, briefly, so that it keeps working;
#   4. the checks of the built porvane.xpi and, in a throwaway Wine session,
#      the tests of the real DLL, its registry and its dialog (with a brief
#      run of its benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== Native unit tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j2 >/dev/null
ctest --test-dir build/native --output-on-failure -j2

echo "== Native unit tests under valgrind"
valgrind --quiet --error-exitcode=1 --leak-check=full --show-leak-kinds=definite,indirect,possible \
         --errors-for-leak-kinds=definite,indirect,possible \
         build/native/tests/native/porvane-native-tests --gtest_brief=1

echo "== Fuzzing CreatePicture for ${FUZZ_SECONDS:-60} s"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPORVANE_FUZZ=ON >/dev/null
cmake --build build/fuzz -j2 --target porvane-fuzz-export >/dev/null
findings=$(mktemp -d)
trap 'rm -rf "$findings"' EXIT
build/fuzz/tests/fuzz/porvane-fuzz-export -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$findings" tests/fuzz/corpus 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)|ERROR' || true
if ls "$findings"/crash-* "$findings"/leak-* "$findings"/timeout-* >/dev/null 2>&1; then
    echo "The fuzz target found a fault; the inputs are in $findings" >&2
    trap - EXIT
    exit 1
fi

echo "== Export benchmark, briefly (it must run; its timings are not judged)"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPORVANE_BENCHMARKS=ON >/dev/null
cmake --build build/bench -j2 --target porvane-benchmarks >/dev/null
build/bench/tests/benchmark/porvane-benchmarks --brief

echo "== The real porvane.xpi"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j2 >/dev/null
status=0
scripts/wine-session.sh ctest --test-dir build/windows --output-on-failure || status=$?
if [ "$status" -eq 77 ]; then
    echo "The tests of the real porvane.xpi cannot run: Wine cannot start here." >&2
    exit 1
fi
exit "$status"
