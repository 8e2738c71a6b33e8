#!/usr/bin/env bash
# Installs what building and testing porvane needs, on Debian 12, when it is
# missing: the native toolchain and test libraries, mingw-w64 for the 32-bit
# DLL, Wine (with the i386 architecture) and Wine's own fonts, Xvfb and a
# Japanese font for the dialog. Runs as root, or through sudo otherwise.
#
#   scripts/setup.sh            everything
#   scripts/setup.sh packages   the Debian packages only (enough to build)
set -euo pipefail

packages=(
    cmake make g++ git googletest libgtest-dev libbenchmark-dev zlib1g-dev
    clang libclang-rt-14-dev valgrind
    g++-mingw-w64-i686 libz-mingw-w64-dev python3 python3-pefile unzip
    wine wine32:i386 fonts-wine xvfb x11-utils x11-apps imagemagick fonts-ipafont-gothic locales
)
update_tries=3 update_pause=15

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get update, a few times: a mirror in the middle of a sync serves index
# files that do not match their release file for a while. Returns 1 when
# every try failed; apt's lists are then as the last try left them.
update_package_lists() {  # [APT OPTION...]
    local try
    for try in $(seq "$update_tries"); do
        if apt_log=$("$@" update -qq 2>&1); then
            return 0
        fi
        if [ "$try" -lt "$update_tries" ]; then
            echo "The package lists could not be updated (try $try of $update_tries); trying again in $update_pause s."
            sleep "$update_pause"
        fi
    done
    grep '^E:' <<<"$apt_log" | sed 's/^/    /' >&2 || true
    return 1
}

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
        echo "Installing them needs root: run this command as root (sudo, which it uses otherwise, is not installed)." >&2
        exit 1
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    lists_updated=yes
    if ! update_package_lists as_root apt-get; then
        lists_updated=no
        echo "Going on with the package lists as they are."
    fi
    update_log=${apt_log:-}
    install() { as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" 2>&1; }
    # Installs the missing packages with SUITEs also taken from Debian's own
    # address (for a -security suite, the security archive), beside the
    # machine's sources, which stay as they are. Returns 1 at once when there
    # is no other address to take them from.
    install_from_debian() {  # SUITE...
        local parts suite address status=0
        parts=$(mktemp -d)
        cp /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources "$parts" 2>/dev/null || true
        for suite; do
            case $suite in
                *-security) address=http://deb.debian.org/debian-security/ ;;
                *) address=http://deb.debian.org/debian/ ;;
            esac
            # If that is the address that failed, the security archive has
            # a second one.
            if grep -qF "Failed to fetch $address" <<<"$update_log"; then
                [ "$address" = http://deb.debian.org/debian-security/ ] || continue
                address=http://security.debian.org/debian-security/
            fi
            echo "The mirror could not serve the index of $suite: taking it from Debian's own address, $address." >&2
            echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $address $suite main"
        done > "$parts/porvane-debian-address.list"
        if [ ! -s "$parts/porvane-debian-address.list" ]; then rm -rf "$parts"; return 1; fi
        # The machine's own failing source fails this update again; what
        # counts is whether the install then finds everything.
        as_root apt-get -o "Dir::Etc::sourceparts=$parts" update -qq >/dev/null 2>&1 || true
        install -o "Dir::Etc::sourceparts=$parts" "${missing[@]}" || status=$?
        rm -rf "$parts"
        return $status
    }
    installed=yes
    apt_log=$(install "${missing[@]}") || installed=no
    # A suite whose index for one architecture could not be fetched (the
    # security updates' i386 index, say) leaves apt knowing newer versions
    # of the other architecture's libraries than of i386's, and the two
    # halves of a library must match. Fetch that suite from Debian's own
    # address instead, for this install only; failing that, install from
    # the remaining suites alone, which is enough where the machine has
    # nothing from that suite yet.
    # grep finds nothing when every index was fetched: that is no failure.
    failed_suites=$({ grep -o 'Failed to fetch [^ ]*/dists/[^/ ]*/' <<<"$update_log" || true; } |
                    sed 's|.*/dists/||; s|/$||' | sort -u)
    if [ $installed = no ] && [ $lists_updated = no ] && [ -n "$failed_suites" ]; then
        apt_log=$(install_from_debian $failed_suites) && installed=yes
    fi
    if [ $installed = no ] && [ $lists_updated = no ] && [ -n "$failed_suites" ]; then
        echo "Installing without the packages of $(echo $failed_suites), whose index this mirror could not serve."
        pins=$(mktemp -d)
        for suite in $failed_suites; do
            printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\n' "$suite"
        done > "$pins/preferences"
        apt_log=$(install -o "Dir::Etc::preferences=$pins/preferences" -o "Dir::Etc::PreferencesParts=$pins" \
                  "${missing[@]}") && installed=yes
        rm -rf "$pins"
    fi
    if [ $installed = no ]; then
        grep -E '^(E:| )' <<<"$apt_log" | sed 's/^/    /' >&2 || true
        if [ $lists_updated = no ] && [ -n "$failed_suites" ]; then
            # An up-to-date machine has libraries from that suite whose i386
            # halves, of the same version, are only there.
            echo "Could not install ${missing[*]}: the package mirror could not serve the index of $(echo $failed_suites), which they also need, probably in the middle of an update; please run this command again later." >&2
        elif [ $lists_updated = no ]; then
            echo "Could not install ${missing[*]}: the package mirror looked inconsistent, probably in the middle of an update; please run this command again later." >&2
        else
            echo "Could not install ${missing[*]}: apt's reasons are above." >&2
        fi
        exit 1
    fi
fi
[ "${1:-}" = packages ] && exit 0

# Wine runs 32-bit Windows programs as 32-bit Linux processes. Some virtual
# machines cannot execute 32-bit code at all; there they run under qemu's
# user-mode emulator instead (scripts/wine-session.sh arranges that). Debian
# 12's own qemu (7.2) cannot run Wine, the one in bookworm-backports (10.0)
# can: it is unpacked into build/tools, leaving the system's apt sources and
# binfmt settings as they are.
qemu_dir="$(cd "$(dirname "$0")/.." && pwd)/build/tools/qemu"
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1 && [ ! -x "$qemu_dir/usr/bin/qemu-i386" ]; then
    echo "This machine cannot run 32-bit code: fetching qemu-user from bookworm-backports for Wine."
    # The mirror apt takes bookworm from (awk reads to the end: had it left
    # early, apt-get's next line could end it by SIGPIPE, and pipefail the
    # script, without a word), else Debian's own.
    mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' | awk '$2 == "bookworm" && !m { m = $1 } END { print m }')
    mirror=${mirror:-http://deb.debian.org/debian/}
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-backports main" > "$work/sources.list"
    mkdir -p "$work/lists/partial"
    apt_options=(-o "Dir::Etc::sourcelist=$work/sources.list" -o Dir::Etc::sourceparts=/nonexistent -o "APT::Sandbox::User=$(id -un)"
                 -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work" -o "Dir::Cache::archives=$work")
    if ! update_package_lists apt-get "${apt_options[@]}" ||
       ! (cd "$work" && apt-get "${apt_options[@]}" download -qq qemu-user/bookworm-backports 2>/dev/null); then
        echo "Could not fetch qemu-user from bookworm-backports ($mirror), which Wine needs on this machine; please run this command again later." >&2
        exit 1
    fi
    mkdir -p "$qemu_dir"
    dpkg-deb -x "$work"/qemu-user_*.deb "$qemu_dir"
fi
