#!/usr/bin/env bash
# Every test: set everything up, then one step per tool:
#   - the native unit tests (with fault injection), and again under valgrind;
#   - the fuzz targets, each for the seconds set below (FUZZ_SECONDS for
#     CreatePicture, FUZZ_BMP_SECONDS for the converter's BMP reader with
#     CreatePicture, FUZZ_LZH_, FUZZ_PSD_, FUZZ_KISS_ and FUZZ_NAMES_SECONDS
#     for the LZH reader and writer, the layered document reader, the KiSS
#     readers and check over whole dolls, and a doll's names and stacking
#     order): a check that each still holds, where long runs are by hand;
#   - the export benchmark, briefly, so that it keeps working;
#   - the checks of the built porvane.xpi and, in a throwaway Wine session,
#     the tests of the real DLL, its registry and its dialog, with a brief
#     run of its benchmark;
#   - the release: built twice from clones in different folders and
#     compared, then installed in a fresh Wine prefix as a user would.
# Each build tree is configured here with exactly what this script runs,
# whatever configured it before, and a step in which any test the tree
# defines did not run fails (scripts/run-tests.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
. scripts/build-tree.sh
fuzz_seconds=${FUZZ_SECONDS:-60}
fuzz_bmp_seconds=${FUZZ_BMP_SECONDS:-20}
fuzz_lzh_seconds=${FUZZ_LZH_SECONDS:-10}
fuzz_psd_seconds=${FUZZ_PSD_SECONDS:-10}
fuzz_kiss_seconds=${FUZZ_KISS_SECONDS:-10}
fuzz_names_seconds=${FUZZ_NAMES_SECONDS:-10}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

step() { printf '\n== %s\n' "$*"; }

step "Native unit tests"
echo "Building them first (under a minute the first time)."
configure_tree build/native native -DCMAKE_BUILD_TYPE=Debug \
    -DPORVANE_TESTS=ON -DPORVANE_FUZZ=OFF -DPORVANE_BENCHMARKS=OFF
cmake --build build/native -j2 >/dev/null
scripts/run-tests.sh build/native -j2

step "Native unit tests under valgrind"
# glibc's AVX2 wmemcmp reads whole vectors past a wide string's end, which
# valgrind reports as a use of uninitialised memory in every comparison of
# std::wstrings: the converter's own and the tests'. glibc's plain version
# is chosen for this run, so that only real faults are reported.
GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2_Usable,-AVX2,-EVEX,-AVX512F \
valgrind --quiet --error-exitcode=1 --leak-check=full --show-leak-kinds=definite,indirect,possible \
         --errors-for-leak-kinds=definite,indirect,possible \
         build/native/tests/native/porvane-native-tests --gtest_brief=1

# Runs one fuzz target for a number of seconds from its seed corpus. libFuzzer
# ends with a non-zero status when it finds a fault, and writes the input that
# shows it as crash-*, leak-*, timeout-* or oom-*. Each input starts from a
# clean native layer, so a target's memory is only the sanitizers' and
# libFuzzer's own, the input at hand (no block over 128 MB: CreatePicture's
# pictures are kept to 1 MB, the BMP reader's to 64 MB) and the freed blocks
# AddressSanitizer keeps in quarantine to catch their use after free. The
# allocator keeps the memory of every block size it has held, quarantined
# blocks included, so a large quarantine creeps as its mix of sizes changes:
# at 64 MB the BMP target went from 150 to 195 MB over 600 s. At 16 MB, still
# several inputs' worth, a target stays flat however long it runs (at most
# 85 MB for CreatePicture, 150 MB for the BMP reader when it reads a picture
# of 64 MB), and growth past the limit is a fault (oom-*), not the cost of a
# long run.
fuzz_rss_limit_mb=384
fuzz() {  # TARGET SECONDS SEED_CORPUS
    local findings="$scratch/$1" status=0
    mkdir -p "$findings"
    ASAN_OPTIONS="quarantine_size_mb=16${ASAN_OPTIONS:+:$ASAN_OPTIONS}" \
    build/fuzz/tests/fuzz/"$1" -max_total_time="$2" -rss_limit_mb="$fuzz_rss_limit_mb" -malloc_limit_mb=128 \
        -print_final_stats=1 \
        -artifact_prefix="$findings/" "$findings" "$3" >"$scratch/$1.log" 2>&1 || status=$?
    grep -a -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$scratch/$1.log" || true
    local faults
    faults=$(find "$findings" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \))
    if [ "$status" -ne 0 ] || [ -n "$faults" ]; then
        local kept
        kept=$(mktemp -d)
        cp "$scratch/$1.log" $faults "$kept"/
        grep -a -E 'ERROR|invariant|SUMMARY' "$scratch/$1.log" | head -20 >&2
        echo "The fuzz target $1 found a fault; its log and the input that shows it are in $kept" >&2
        exit 1
    fi
}

step "Fuzzing"
echo "Building the fuzz targets (about a minute the first time). CreatePicture then runs for"
echo "$fuzz_seconds s and the converter's BMP reader for $fuzz_bmp_seconds s: set FUZZ_SECONDS and"
echo "FUZZ_BMP_SECONDS to change that (FUZZ_SECONDS=600 scripts/test.sh)."
configure_tree build/fuzz clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPORVANE_TESTS=ON -DPORVANE_FUZZ=ON -DPORVANE_BENCHMARKS=OFF
cmake --build build/fuzz -j2 --target porvane-fuzz-export porvane-fuzz-bmp porvane-fuzz-lzh porvane-fuzz-psd \
    porvane-fuzz-kiss porvane-fuzz-names >/dev/null
echo "CreatePicture:"
fuzz porvane-fuzz-export "$fuzz_seconds" tests/fuzz/corpus
echo "The converter's BMP reader with CreatePicture:"
fuzz porvane-fuzz-bmp "$fuzz_bmp_seconds" tests/fuzz/bmp-corpus
echo "The LZH reader over any bytes, and the writer read back ($fuzz_lzh_seconds s, FUZZ_LZH_SECONDS):"
fuzz porvane-fuzz-lzh "$fuzz_lzh_seconds" tests/fuzz/lzh-corpus
echo "The layered document reader (.psd), for $fuzz_psd_seconds s (FUZZ_PSD_SECONDS):"
fuzz porvane-fuzz-psd "$fuzz_psd_seconds" tests/fuzz/psd-corpus
echo "The KiSS readers and the check, over whole dolls ($fuzz_kiss_seconds s, FUZZ_KISS_SECONDS):"
fuzz porvane-fuzz-kiss "$fuzz_kiss_seconds" tests/fuzz/kiss-corpus
echo "A doll's names and stacking order, over any names ($fuzz_names_seconds s, FUZZ_NAMES_SECONDS):"
fuzz porvane-fuzz-names "$fuzz_names_seconds" tests/fuzz/names-corpus

step "The export benchmark, briefly (it must run; its timings are not judged)"
configure_tree build/bench native -DCMAKE_BUILD_TYPE=Release \
    -DPORVANE_TESTS=ON -DPORVANE_FUZZ=OFF -DPORVANE_BENCHMARKS=ON
cmake --build build/bench -j2 --target porvane-benchmarks >/dev/null
build/bench/tests/benchmark/porvane-benchmarks --brief

step "The real porvane.xpi under Wine"
echo "Building the DLL and its test programs, then starting Wine (about half a minute)."
configure_tree build/windows windows -DCMAKE_BUILD_TYPE=Release \
    -DPORVANE_TESTS=ON -DPORVANE_FUZZ=OFF -DPORVANE_BENCHMARKS=OFF
cmake --build build/windows -j2 >/dev/null
status=0
scripts/wine-session.sh scripts/run-tests.sh build/windows || status=$?
if [ "$status" -eq 77 ]; then
    echo "The tests of the real porvane.xpi cannot run: Wine cannot start here." >&2
    exit 1
fi
[ "$status" -eq 0 ] || exit "$status"

step "The release, built twice"
echo "Two clones of the last commit build the release in different folders (about a minute)."
tests/release/reproducible_build.sh "$scratch"

step "The release, installed"
echo "In a fresh Wine prefix (about half a minute to start Wine)."
scripts/wine-session.sh tests/release/install_test.sh "$scratch"/porvane-*-win32.zip
