#!/usr/bin/env bash
# Takes a picture of the settings dialog as a user sees it:
#   scripts/screenshot-dialog.sh BUILD_DIR OUTPUT.png [checked]
#
# BUILD_DIR is a built Windows tree (porvane.xpi and porvane-host.exe beside it).
# The reference host opens the dialog as the host's menu would, in a Wine
# session of its own (scripts/wine-session.sh: a private Xvfb display, a
# throwaway prefix, a Japanese code page), and the picture is cropped to the
# dialog. With "checked", palette mode is switched on first.
set -uo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ] || { [ $# -eq 3 ] && [ "$3" != checked ]; }; then
    echo "usage: $0 BUILD_DIR OUTPUT.png [checked]" >&2
    exit 2
fi
if [ -z "${PORVANE_SCREENSHOT_SESSION:-}" ]; then
    exec "$(dirname "$0")/wine-session.sh" env PORVANE_SCREENSHOT_SESSION=1 "$0" "$@"
fi
output=$2
case "$output" in /*) ;; *) output="$PWD/$output" ;; esac
cd "$1" || exit 2

wine porvane-host.exe palette-mode "$([ $# -eq 3 ] && echo on || echo off)" >/dev/null
wine porvane-host.exe settings </dev/null >/dev/null 2>&1 &
host_pid=$!

# The dialog is the only mapped top-level window of a real size on the
# session's display (Wine's helper windows stay unmapped or tiny).
dialog=""
for _ in $(seq 600); do
    kill -0 "$host_pid" 2>/dev/null || { echo "the host ended before the dialog showed" >&2; exit 1; }
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
[ -n "$dialog" ] || { echo "no dialog window was mapped within 60 s" >&2; exit 1; }

sleep 1  # let Wine paint the caption, the texts and the focus rectangle
mkdir -p "$(dirname "$output")"
/usr/bin/import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage "$output" || exit 1
echo "$output: the dialog, ${width}x${height} at ${left},${top}"
kill "$host_pid" 2>/dev/null  # the session's end closes the rest
