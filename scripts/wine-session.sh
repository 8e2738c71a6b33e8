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

session=$(mktemp -d "${TMPDIR:-/tmp}/porvane-wine.XXXXXX")
xvfb_pid=""
cleanup() {
    WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$session"
}
trap cleanup EXIT

export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32

# Our own display: the first free number from 90.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# A Japanese locale without touching the system's.
mkdir -p "$session/locale"
localedef -i ja_JP -f UTF-8 "$session/locale/ja_JP.UTF-8" >/dev/null 2>&1 || true
export LOCPATH="$session/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

if ! timeout 180 wine cmd /c exit </dev/null >/dev/null 2>&1; then
    echo "Wine cannot run 32-bit Windows programs on this machine." >&2
    exit 77
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
wineserver -w

"$@"
