#!/usr/bin/env bash
# The main job: set everything up, build porvane.xpi, and export the bundled
# sample pictures through it with the reference host under Wine, as a host
# picture program would. The files written go to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
      -DPORVANE_TESTS=OFF >/dev/null
cmake --build build/windows -j2 >/dev/null
rm -rf out && mkdir -p out
echo "Built build/windows/porvane.xpi"

status=0
scripts/wine-session.sh bash -c '
    set -e
    host="wine build/windows/host/porvane-host.exe --plugin build/windows/porvane.xpi"
    $host info
    $host palette-mode off
    for picture in samples/*.bmp; do
        name=$(basename "$picture" .bmp)
        $host export "$picture" "out\\$name.cel"
    done
    $host palette-mode on
    $host export samples/strip-256-colours.bmp "out\\strip-256-colours.cel"
' || status=$?

if [ "$status" -eq 77 ]; then
    # No Wine here: show the same exports through the native build of the same sources.
    echo "Exporting through the native build instead."
    cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release -DPORVANE_TESTS=OFF >/dev/null
    cmake --build build/native -j2 >/dev/null
    export PORVANE_REGISTRY="$PWD/out/.registry"
    host=build/native/host/porvane-host
    $host info
    $host palette-mode off
    for picture in samples/*.bmp; do $host export "$picture" "out/$(basename "$picture" .bmp).cel"; done
    $host palette-mode on
    $host export samples/strip-256-colours.bmp out/strip-256-colours.cel
    rm -f "$PORVANE_REGISTRY"
elif [ "$status" -ne 0 ]; then
    exit "$status"
fi

echo
echo "Files written:"
ls -l out
