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
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine runs 32-bit Windows programs as 32-bit Linux processes. Some virtual
# machines cannot execute 32-bit code at all; there they run under qemu's
# user-mode emulator instead (scripts/wine-session.sh arranges that). Debian
# 12's own qemu (7.2) cannot run Wine, the one in bookworm-backports (10.0)
# can: it is unpacked into build/tools, leaving the system's apt sources and
# binfmt settings as they are.
qemu_dir="$(cd "$(dirname "$0")/.." && pwd)/build/tools/qemu"
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1 && [ ! -x "$qemu_dir/usr/bin/qemu-i386" ]; then
    echo "This machine cannot run 32-bit code: fetching qemu-user from bookworm-backports for Wine."
    mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' | awk '$2 == "bookworm" { print $1; exit }')
    work=$(mktemp -d)
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-backports main" > "$work/sources.list"
    mkdir -p "$work/lists/partial"
    apt_options=(-o "Dir::Etc::sourcelist=$work/sources.list" -o Dir::Etc::sourceparts=/nonexistent -o "APT::Sandbox::User=$(id -un)"
                 -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work" -o "Dir::Cache::archives=$work")
    apt-get "${apt_options[@]}" update -qq
    (cd "$work" && apt-get "${apt_options[@]}" download -qq qemu-user/bookworm-backports 2>/dev/null)
    mkdir -p "$qemu_dir"
    dpkg-deb -x "$work"/qemu-user_*.deb "$qemu_dir"
    rm -rf "$work"
fi
