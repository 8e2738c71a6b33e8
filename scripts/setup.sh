#!/usr/bin/env bash
# Installs what building and testing porvane needs, on Debian 12, when it is
# missing: the native toolchain and test libraries, mingw-w64 for the 32-bit
# DLL, Wine (with the i386 architecture), Xvfb and a Japanese font for the
# dialog. Runs as root, or through sudo otherwise.
set -euo pipefail

packages=(
    cmake make g++ googletest libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev valgrind
    g++-mingw-w64-i686 python3 python3-pefile
    wine wine32:i386 xvfb x11-utils x11-apps imagemagick fonts-ipafont-gothic locales
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi
as_root apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
