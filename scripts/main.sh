#!/usr/bin/env bash
# The main job: set everything up, build porvane.xpi, and export the bundled
# sample pictures through it with the converter under Wine, as a host picture
# program would. The files go to out/; each replaces only the file of its
# own name there, and nothing else in out/ is touched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
. scripts/build-tree.sh

# The same configurations as the test command's, so that neither undoes
# the other; only the programs used here are built.
echo "Building porvane.xpi and the converter"
configure_tree build/windows windows -DCMAKE_BUILD_TYPE=Release \
    -DPORVANE_TESTS=ON -DPORVANE_FUZZ=OFF -DPORVANE_BENCHMARKS=OFF
cmake --build build/windows -j2 --target porvane porvane-host >/dev/null
echo "Built build/windows/porvane.xpi"
mkdir -p out

written=()
for picture in samples/*.bmp; do written+=("out/$(basename "$picture" .bmp).cel"); done
written+=(out/strip-256-colours.kcf)

echo "Starting Wine (about half a minute)"
status=0
scripts/wine-session.sh bash -c '
    set -e
    host="wine build/windows/porvane-host.exe"
    $host info
    $host palette-mode off
    $host export samples/*.bmp --to out
    $host palette-mode on
    $host export samples/strip-256-colours.bmp "out\\strip-256-colours.cel"
' || status=$?

if [ "$status" -eq 77 ]; then
    # No Wine here: show the same exports through the native build of the same sources.
    echo "Exporting through the native build instead."
    configure_tree build/native native -DCMAKE_BUILD_TYPE=Debug \
        -DPORVANE_TESTS=ON -DPORVANE_FUZZ=OFF -DPORVANE_BENCHMARKS=OFF
    cmake --build build/native -j2 --target porvane-host >/dev/null
    registry=$(mktemp -d)
    trap 'rm -rf "$registry"' EXIT
    export PORVANE_REGISTRY="$registry/registry"
    host=build/native/porvane-host
    $host info
    $host palette-mode off
    $host export samples/*.bmp --to out
    $host palette-mode on
    $host export samples/strip-256-colours.bmp out/strip-256-colours.cel
elif [ "$status" -ne 0 ]; then
    exit "$status"
fi

echo
echo "Files written:"
ls -l "${written[@]}"
