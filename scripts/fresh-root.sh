#!/usr/bin/env bash
# Proves that the README's two commands pass at the first try on a fresh
# Debian 12 machine, by running them in a fresh Debian 12 root as root:
#
#   scripts/fresh-root.sh [--broken-security] [--keep] COMMAND...
#
# COMMAND is main or test (scripts/main.sh, scripts/test.sh). Several run one
# after the other in the same root, as on one new machine; the first that
# fails ends the proof. Each prints what the command printed, then its exit
# status and how long it took; the script exits with the first failure's
# status, or 0.
#
# The first proof makes a root with debootstrap (minbase, plus git and
# ca-certificates, apt sources as Debian 12's installer writes them: bookworm,
# bookworm-updates and bookworm-security, from the mirrors this machine's apt
# uses), brings it up to date from them as the installer leaves a new machine
# (its package lists are kept), and keeps it as $PORVANE_ROOTS/bookworm-pristine
# (default /work/roots); every proof runs in a copy of it, which is deleted
# after a pass (kept after a failure, or with --keep). Delete the pristine
# root to make a new one. Into the copy go a clone of this checkout's last
# commit (/work/porvane: uncommitted changes are not part of the proof) and
# $PORVANE_SHARED (default /work/shared) beside it as ../shared.
#
# --broken-security serves the security suite through a local HTTP server that
# passes everything on to the real one except its i386 index, which it answers
# with 404, as a mirror in the middle of an update may. apt then leaves that
# suite out, and setup goes on without it and says so; but an up-to-date
# machine has libraries from that suite whose i386 halves are only there, and
# then setup can only say, in one sentence, to run the command again later.
#
# The command runs with a clean environment and no display
# (env -i HOME=/root PATH=... LANG=C.UTF-8), in mount and PID namespaces of its
# own: /proc, /sys and /dev are mounted there and vanish with it, and
# everything it started ends with it. The root is entered with pivot_root, not
# chroot: the kernel refuses a user namespace to a chrooted process, and
# scripts/wine-session.sh needs one where Wine runs under qemu.
#
# Needs root, debootstrap, the network and a few GB under the roots folder;
# a proof takes from ten minutes (main) to half an hour (main and test). Run
# it by hand, one at a time: it is never part of the test command.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
roots=${PORVANE_ROOTS:-/work/roots}
shared=${PORVANE_SHARED:-/work/shared}
pristine=$roots/bookworm-pristine

usage() { echo "Usage: scripts/fresh-root.sh [--broken-security] [--keep] main|test..." >&2; exit 2; }
broken=no keep=no commands=()
for arg; do
    case $arg in
        --broken-security) broken=yes ;;
        --keep) keep=yes ;;
        main|test) commands+=("$arg") ;;
        *) usage ;;
    esac
done
[ ${#commands[@]} -gt 0 ] || usage
if [ "$(id -u)" -ne 0 ]; then echo "A fresh root is made and entered as root: run this as root." >&2; exit 1; fi
if ! command -v debootstrap >/dev/null; then echo "debootstrap is missing: apt-get install debootstrap." >&2; exit 1; fi

mkdir -p "$roots"
exec 9>"$roots/.lock"
if ! flock -n 9; then echo "Another proof is running in $roots: one at a time." >&2; exit 1; fi

mirror_of() {  # SUITE DEFAULT: the mirror from which this machine's apt takes SUITE
    local uri
    uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null | awk -v s="$1" '$2 == s && !m { m = $1 } END { print m }')
    echo "${uri:-$2}"
}

# Runs COMMAND in ROOT, from its folder DIR, as root with a clean environment
# and no display, in new mount and PID namespaces.
in_root() {  # ROOT DIR COMMAND...
    unshare --mount --propagation private --pid --fork --kill-child bash -c '
        root=$1 dir=$2
        shift 2
        mount --bind "$root" "$root"
        mount -t proc proc "$root/proc"
        mount -t sysfs sysfs "$root/sys"
        mount --rbind /dev "$root/dev"
        mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
        cd "$root"
        pivot_root . .
        umount -l .
        cd "$dir"
        exec env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
            "$@" </dev/null' in_root "$@"
}

if [ ! -d "$pristine" ]; then
    mirror=$(mirror_of bookworm http://deb.debian.org/debian/)
    security=$(mirror_of bookworm-security http://deb.debian.org/debian-security/)
    echo "Making the pristine root $pristine with debootstrap from $mirror (a few minutes)"
    rm -rf "$pristine.partial"
    if ! debootstrap --variant=minbase --include=ca-certificates,git bookworm "$pristine.partial" "$mirror" \
            >"$roots/debootstrap.log" 2>&1; then
        tail -5 "$roots/debootstrap.log" | sed 's/^/    /' >&2
        echo "debootstrap failed; its log is $roots/debootstrap.log." >&2
        exit 1
    fi
    printf 'deb %s bookworm main\ndeb %s bookworm-updates main\ndeb %s bookworm-security main\n' \
        "$mirror" "$mirror" "$security" > "$pristine.partial/etc/apt/sources.list"
    echo "Bringing it up to date, security updates included, as Debian's installer does"
    if ! in_root "$pristine.partial" / sh -c 'export DEBIAN_FRONTEND=noninteractive; apt-get update -qq && apt-get upgrade -y -qq' \
            >>"$roots/debootstrap.log" 2>&1; then
        echo "The new root could not be brought up to date; the log is $roots/debootstrap.log." >&2
        exit 1
    fi
    mv "$pristine.partial" "$pristine"
fi

run=$(mktemp -d "$roots/run.XXXXXX")
proxy_pid=""
finish() {
    [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null
    # The namespaces' mounts are gone with them; never delete through a mount.
    if [ "$keep" = no ] && [ "${passed:-no}" = yes ] && ! findmnt -rn -o TARGET | grep -qF "$run"; then
        rm -rf "$run" "$run.port" "$run.proxy.log"
    else
        echo "The root of this proof is kept: $run"
    fi
}
trap finish EXIT
echo "Copying the pristine root to $run"
cp -a "$pristine/." "$run/"
rm -f "$run/etc/resolv.conf"
cp -L /etc/resolv.conf "$run/etc/resolv.conf"

commit=$(git -C "$top" rev-parse HEAD)
git clone -q "$top" "$run/work/porvane"
git -C "$run/work/porvane" checkout -q --detach "$commit"
git -C "$run/work/porvane" remote remove origin
echo "The checkout: commit $(git -C "$top" log -1 --format='%h %s' | cut -c1-100)"
[ -z "$(git -C "$top" status --porcelain)" ] || echo "(uncommitted changes in $top are not part of it)"
[ -d "$shared" ] && cp -a "$shared" "$run/work/shared"

if [ $broken = yes ]; then
    security=$(awk '$3 == "bookworm-security" { print $2 }' "$run/etc/apt/sources.list")
    port_file=$run.port
    # A mirror whose security suite has lost its i386 index: every other
    # file is fetched from the real mirror and passed on as it came.
    /usr/bin/python3 - "$security" "$port_file" >"$run.proxy.log" 2>&1 <<'EOF' &
import http.server, re, shutil, sys, urllib.error, urllib.request
upstream, port_file = sys.argv[1].rstrip('/'), sys.argv[2]
class Mirror(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if re.search(r'/dists/bookworm-security/.*binary-i386/', self.path):
            self.send_error(404)
            return
        try:
            reply = urllib.request.urlopen(upstream + self.path, timeout=60)
        except urllib.error.HTTPError as error:
            self.send_error(error.code)
            return
        self.send_response(200)
        for name in ('Content-Length', 'Content-Type', 'Last-Modified'):
            if reply.headers.get(name):
                self.send_header(name, reply.headers[name])
        self.end_headers()
        shutil.copyfileobj(reply, self.wfile)
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Mirror)
open(port_file, 'w').write(str(server.server_port))
server.serve_forever()
EOF
    proxy_pid=$!
    for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
    if [ ! -s "$port_file" ]; then cat "$run.proxy.log" >&2; echo "The broken mirror did not start." >&2; exit 1; fi
    sed -i "s|^deb [^ ]* bookworm-security|deb http://127.0.0.1:$(cat "$port_file")/ bookworm-security|" \
        "$run/etc/apt/sources.list"
    echo "The security suite comes from a mirror that answers 404 for its i386 index (log: $run.proxy.log)"
fi
echo "apt sources in the root:"
sed 's/^/    /' "$run/etc/apt/sources.list"

for command in "${commands[@]}"; do
    echo
    echo "== scripts/$command.sh in the fresh root, $(date -u '+%Y-%m-%d %H:%M UTC')"
    start=$(date +%s) status=0
    in_root "$run" /work/porvane "scripts/$command.sh" 2>&1 || status=$?
    seconds=$(($(date +%s) - start))
    echo "== scripts/$command.sh exited with status $status after $((seconds / 60)) min $((seconds % 60)) s"
    [ "$status" -eq 0 ] || exit "$status"
done
passed=yes
