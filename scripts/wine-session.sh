#!/usr/bin/env bash
# Runs a command in a throwaway Wine session and removes the session after:
#   scripts/wine-session.sh COMMAND [ARG...]
# The session is a fresh WINEPREFIX, our own Xvfb display, and a Japanese
# locale (the dialog's texts go through the ANSI code page, which must be 932
# for them to show). Windows are drawn by Wine itself (no window manager),
# which also spares the 2 s wait Wine makes on every dialog close otherwise.
#
# Exits 77 without running COMMAND when this machine cannot run 32-bit
# Windows programs under Wine (some virtual machines cannot execute 32-bit
# code at all).
set -uo pipefail

# Where this machine cannot execute 32-bit code, the session runs in a user
# and mount namespace of its own whose private binfmt_misc hands every 32-bit
# program (Wine, wineserver and all they start) to the qemu that setup.sh
# unpacked. Nothing outside the namespace changes.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    qemu="$(cd "$(dirname "$0")/.." && pwd)/build/tools/qemu/usr/bin/qemu-i386"
    if [ -z "${PORVANE_I386_NAMESPACE:-}" ]; then
        if [ ! -x "$qemu" ] || ! unshare --user --map-root-user --mount true 2>/dev/null; then
            echo "Wine cannot run 32-bit Windows programs on this machine." >&2
            exit 77
        fi
        exec unshare --user --map-root-user --mount --fork env PORVANE_I386_NAMESPACE=1 "$0" "$@"
    fi
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc &&
    printf '%s' ":porvane-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
        > /proc/sys/fs/binfmt_misc/register || exit 77
fi

session=$(mktemp -d "${TMPDIR:-/tmp}/porvane-wine.XXXXXX")
xvfb_pid=""
cleanup() {
    WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$session"
}
trap cleanup EXIT

export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32

# Our own display, whose number Xvfb chooses itself (-displayfd): a number
# is free only when no X server has its socket, and X servers of other
# roots or containers on the same network, whose files in /tmp are not
# ours to see, listen on the same abstract socket names; a client would
# connect to theirs. Xvfb tells the number once it is listening.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" >"$session/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$session/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null && break
    sleep 0.1
done
if [ ! -s "$session/display" ]; then
    grep -a -E 'EE|rror' "$session/xvfb.log" | head -5 | sed 's/^/    /' >&2
    echo "Xvfb, the Wine session's display, did not start." >&2
    exit 1
fi
export DISPLAY=":$(cat "$session/display")"

# A Japanese locale without touching the system's.
mkdir -p "$session/locale"
localedef -i ja_JP -f UTF-8 "$session/locale/ja_JP.UTF-8" >/dev/null 2>&1 || true
export LOCPATH="$session/locale"
{ export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null  # this shell itself cannot load it: only its children

if ! timeout 180 wine cmd /c exit </dev/null >/dev/null 2>&1; then
    echo "Wine cannot run 32-bit Windows programs on this machine." >&2
    exit 77
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
# A program that crashes gets Wine's debugger, which prints the backtrace
# and ends it; left alone it also opens a dialog on the display and waits
# there for a click that never comes.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
# Wine's own fonts, Marlett among them (it draws the caption's buttons):
# Debian's fonts-wine puts them where Debian's Wine 8 does not look.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -w
# A persistent server spares each Wine process the server's start-up.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
# Wine's desktop (explorer.exe /desktop) is started by the first program
# that needs it, keeps that program's standard error open, and ends a second
# after the last program using it. A test that reads a program's output to
# its end (the converter's, through a pipe) then waits for ever whenever
# that program was the one to start it. So the desktop is started here, by a
# program whose output goes nowhere (rundll32 with nothing to run opens a
# window and ends), and kept for the whole session by a user that never ends
# by itself: a console program waiting for input on a pipe that this script
# holds open until wineserver -k ends it.
exec {desktop_user}> >(exec wine cmd /c pause >/dev/null 2>&1)
timeout 180 wine rundll32.exe </dev/null >/dev/null 2>&1

"$@" {desktop_user}>&-
