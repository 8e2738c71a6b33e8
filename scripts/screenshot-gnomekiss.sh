#!/usr/bin/env bash
# Takes a picture of a KiSS set as GnomeKiss (Debian's gnomekiss) shows it,
# to check a set by eye and for the README:
#   scripts/screenshot-gnomekiss.sh SET.cnf OUTPUT.png [SET_NUMBER]
#
# GnomeKiss runs on an Xvfb display of its own; it ignores files named on
# its command line, so the set is opened as a user opens it (File > Open,
# then the path typed into the file chooser), then the digit key shows the
# set asked for. The picture is of GnomeKiss's whole window. Not part of the
# test command: it needs gnomekiss and xdotool installed, and a pair of eyes.
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 SET.cnf OUTPUT.png [SET_NUMBER]" >&2
    exit 2
fi
for program in gnomekiss xdotool Xvfb import; do
    command -v "$program" >/dev/null || { echo "$0 needs $program (apt-get install gnomekiss xdotool xvfb imagemagick)" >&2; exit 2; }
done
cnf=$(readlink -f "$1")
output=$(readlink -f "$(dirname "$2")")/$(basename "$2")
set_number=${3:-0}

display=70
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
home=$(mktemp -d)
trap 'kill $gnomekiss $xvfb 2>/dev/null; rm -rf "$home"' EXIT
export DISPLAY=":$display" HOME="$home"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# Prints the id of the first visible window whose title has TITLE, waiting
# up to TENTHS/5 seconds for it; fails with WHAT said when none shows.
visible_window() {  # TITLE TENTHS WHAT
    local id=""
    for _ in $(seq "$2"); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || { echo "GnomeKiss did not open $3" >&2; return 1; }
    echo "$id"
}

gnomekiss >/dev/null 2>&1 &
gnomekiss=$!
window=$(visible_window 'GnomeKiss' 100 'a window')

# File > Open (Ctrl+O); in the file chooser, Ctrl+L takes a typed path.
# Without a window manager nothing gives a new window the focus: each is
# given it before the keys meant for it.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key ctrl+o
chooser=$(visible_window 'Open KiSS Set' 50 'its file chooser')
xdotool windowfocus --sync "$chooser" 2>/dev/null || true
xdotool key ctrl+l
sleep 0.5
xdotool type --delay 20 "$cnf"
sleep 1
# The first Return may only take the chooser's completion of the name.
for _ in 1 2 3; do
    xdotool search --onlyvisible --name 'Open KiSS Set' >/dev/null 2>&1 || break
    xdotool windowfocus --sync "$chooser" 2>/dev/null || true
    xdotool key Return
    sleep 2
done
sleep 2
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key "$set_number"
sleep 2
import -window "$window" "$output" 2>/dev/null
echo "GnomeKiss showed $cnf, set $set_number: $output"
