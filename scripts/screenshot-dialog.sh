#!/usr/bin/env bash
# Takes a picture of the settings dialog as a user sees it:
#   scripts/screenshot-dialog.sh BUILD_DIR OUTPUT.png [checked]
#
# BUILD_DIR is a built Windows tree (porvane.xpi and host/porvane-host.exe).
# The reference host opens the dialog (`porvane-host --plugin porvane.xpi
# settings`) in a session of its own: a private Xvfb display, a throwaway
# WINEPREFIX in which Wine draws the windows itself (no window manager), and
# a Japanese locale so that the dialog's texts come through the ANSI code
# page. The picture is cropped to the dialog. With "checked", palette mode is
# switched on first, so the box shows checked.
#
# Needs Wine, Xvfb, xwininfo (x11-utils) and ImageMagick's import
# (scripts/setup.sh installs them); xdotool, when present, closes the dialog
# with Esc as a user would, otherwise the session is simply ended.
set -uo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ] || { [ $# -eq 3 ] && [ "$3" != checked ]; }; then
    echo "usage: $0 BUILD_DIR OUTPUT.png [checked]" >&2
    exit 2
fi
build=$(cd "$1" 2>/dev/null && pwd) || { echo "no such folder: $1" >&2; exit 2; }
output=$2
case "$output" in /*) ;; *) output="$PWD/$output" ;; esac
for file in porvane.xpi host/porvane-host.exe; do
    [ -f "$build/$file" ] || { echo "$build/$file is missing: build the Windows tree first" >&2; exit 2; }
done
for tool in wine wineserver Xvfb xwininfo localedef /usr/bin/import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 2; }
done

session=$(mktemp -d "${TMPDIR:-/tmp}/porvane-screenshot.XXXXXX")
xvfb_pid=""
host_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [ -n "$host_pid" ] && kill "$host_pid" >/dev/null 2>&1
    WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" >/dev/null 2>&1
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$session"
}
trap cleanup EXIT
fail() {
    echo "$*" >&2
    [ -s "$session/host.log" ] && sed 's/^/  host: /' "$session/host.log" >&2
    exit 1
}

# Our own display: the first free number from 95 (the test sessions start at 90).
display=95
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$session/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$display" ] || fail "Xvfb did not start on $DISPLAY"

# A Japanese locale without touching the system's.
mkdir -p "$session/locale"
localedef -i ja_JP -f UTF-8 "$session/locale/ja_JP.UTF-8" >/dev/null 2>&1
[ -d "$session/locale/ja_JP.UTF-8" ] || fail "localedef could not make the ja_JP.UTF-8 locale"

export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
# Wine takes the ANSI code page from the locale it starts in. Only the Wine
# processes get it: this shell cannot switch to a locale outside the system's.
japanese=(env LOCPATH="$session/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)

# The first command also creates the prefix. Without a window manager Wine
# must draw the caption itself ('Managed' N), and dialogs then close at once.
if ! timeout 180 "${japanese[@]}" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >"$session/wine.log" 2>&1; then
    fail "Wine cannot run here (creating the prefix failed or took more than 180 s)"
fi
wineserver -w

cd "$build" || exit 1
if [ $# -eq 3 ]; then
    timeout 60 "${japanese[@]}" wine host/porvane-host.exe palette-mode on </dev/null >>"$session/host.log" 2>&1 ||
        fail "the host could not switch palette mode on"
fi
"${japanese[@]}" wine host/porvane-host.exe --plugin porvane.xpi settings </dev/null >>"$session/host.log" 2>&1 &
host_pid=$!

# The dialog is the only mapped top-level window of a real size on our own
# display (Wine's helper windows stay unmapped or tiny).
dialog=""
for _ in $(seq 600); do
    kill -0 "$host_pid" 2>/dev/null || fail "the host ended before the dialog showed"
    for id in $(LC_ALL=C xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x[0-9a-f]+$/ { print $1 }'); do
        info=$(LC_ALL=C xwininfo -id "$id" 2>/dev/null) || continue
        width=$(awk '/^ *Width:/ { print $2 }' <<<"$info")
        height=$(awk '/^ *Height:/ { print $2 }' <<<"$info")
        if grep -q 'Map State: IsViewable' <<<"$info" && [ "${width:-0}" -ge 100 ] && [ "${height:-0}" -ge 60 ]; then
            dialog=$id
            left=$(awk '/Absolute upper-left X:/ { print $4 }' <<<"$info")
            top=$(awk '/Absolute upper-left Y:/ { print $4 }' <<<"$info")
            break 2
        fi
    done
    sleep 0.1
done
[ -n "$dialog" ] || fail "no dialog window was mapped within 60 s"

sleep 1  # let Wine paint the caption, the texts and the focus rectangle
mkdir -p "$(dirname "$output")"
/usr/bin/import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage "$output" ||
    fail "import could not take the screenshot"
echo "$output: the dialog, ${width}x${height} at ${left},${top}"

# Close it as a user would when we can; the answer is then the host's.
if command -v xdotool >/dev/null 2>&1; then
    # Keys go to the window under the pointer when nothing holds the focus.
    xdotool mousemove $((left + width / 2)) $((top + height / 2)) key Escape >/dev/null 2>&1
    for _ in $(seq 50); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.1; done
fi
if kill -0 "$host_pid" 2>/dev/null; then
    WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1
else
    wait "$host_pid"
    status=$?
    [ "$status" -eq 0 ] || fail "the host ended with status $status after Esc"
    sed 's/^/  host: /' "$session/host.log"
fi
host_pid=""
exit 0
