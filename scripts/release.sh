#!/usr/bin/env bash
# Builds the release people download, dist/porvane-VERSION-win32.zip: one
# folder holding porvane.xpi, the converter porvane-host.exe, the readmes in
# Japanese and English, the licence and the two programs' SHA-256 sums.
# Built from the same commit, it is the same bytes whoever builds it, in
# whatever folder and at whatever time (scripts/test.sh proves it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh packages
. scripts/build-tree.sh

if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "This tree has uncommitted changes: the zip holds them, but is dated and named as the last commit." >&2
fi
echo "Building porvane.xpi and porvane-host.exe in build/release"
configure_tree build/release windows -DCMAKE_BUILD_TYPE=Release \
    -DPORVANE_TESTS=OFF -DPORVANE_FUZZ=OFF -DPORVANE_BENCHMARKS=OFF
cmake --build build/release -j2 --target porvane porvane-host >/dev/null
/usr/bin/python3 scripts/release_zip.py build/release "$(git log -1 --format=%ct)" dist
