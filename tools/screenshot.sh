#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Usage: tools/screenshot.sh [BUILD_DIR] [OUTPUT.png]
# Starts the real kelvara binary on a private virtual X server, waits for its
# window and saves the window's contents at rest (default:
# docs/screenshot.png), then switches it on, lifts the graphs screen and saves
# the running demonstration beside it (OUTPUT-running.png), then shows the
# values, freezes the run and rests the pointer over the graphs, where the
# cursor reads them (OUTPUT-frozen.png). Then, under
# openbox on a 1920 x 1080 screen, it presses F11 and saves the whole screen
# as a projector shows it (OUTPUT-fullscreen.png), then presses C and saves
# the projector view (OUTPUT-projector.png). Last, the English window,
# running with the values shown and frozen (OUTPUT-english.png).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/screenshot.png}
mkdir -p "$(dirname "$out")"

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
wm_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to fd 3. 96 dpi so
# that Qt sees a pixel ratio of exactly 1.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "screenshot: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
# The program starts in the system's language; these figures and pictures
# are of the Russian window.
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

"$build/app/kelvara" &
app_pid=$!

wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kelvara$' | head -n1)
[ -n "$wid" ] || { echo "screenshot: no Kelvara window" >&2; exit 1; }
# Let the first paint, and the needles drawn after it, reach the screen.
sleep 1

"$build/app/kelvara_grab" "$wid" "$out"
echo "screenshot: $out"

# Client-area pixels of the switch and the Graphs button (twips / 15).
click() {
    xdotool mousemove --window "$wid" "$(($1 - 5))" "$(($2 - 5))" sleep 0.05 \
        mousemove --window "$wid" "$1" "$2" sleep 0.05 click 1
}
click 500 290
click 788 96
sleep 3.3
running=${out%.png}-running.png
"$build/app/kelvara_grab" "$wid" "$running"
echo "screenshot: $running"

# The values shown, then the run frozen, as a teacher explains a moment,
# and the pointer on the voltage graph, 1.5 s into the sweep (twips / 15).
xdotool windowfocus --sync "$wid" key v
sleep 0.9
xdotool key p
sleep 0.3
xdotool mousemove --window "$wid" 630 170 sleep 0.1 mousemove --window "$wid" 630 160
sleep 0.5
frozen=${out%.png}-frozen.png
"$build/app/kelvara_grab" "$wid" "$frozen"
echo "screenshot: $frozen"

# Fullscreen, as on a projector: a window manager grants it.
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
openbox --sm-disable 2>"$work/openbox.log" &
wm_pid=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
"$build/app/kelvara" &
app_pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kelvara$' | head -n1)
[ -n "$wid" ] || { echo "screenshot: no Kelvara window under openbox" >&2; exit 1; }
sleep 1
click 500 290
click 788 96
sleep 0.3
xdotool windowfocus --sync "$wid" key F11
sleep 3.3
fullscreen=${out%.png}-fullscreen.png
"$build/app/kelvara_grab" 0 "$fullscreen" # 0: the whole screen
echo "screenshot: $fullscreen"

xdotool windowfocus --sync "$wid" key c
sleep 1
projector=${out%.png}-projector.png
"$build/app/kelvara_grab" 0 "$projector"
echo "screenshot: $projector"

# The English window, running with the values shown, then frozen.
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
LANG=en_US.UTF-8 "$build/app/kelvara" &
app_pid=$!
sleep 0.5
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kelvara$' | head -n1)
[ -n "$wid" ] || { echo "screenshot: no English Kelvara window" >&2; exit 1; }
sleep 1
click 500 290
click 788 96
sleep 3.3
xdotool windowfocus --sync "$wid" key v
sleep 0.9
xdotool key p
sleep 0.5
english=${out%.png}-english.png
"$build/app/kelvara_grab" "$wid" "$english"
echo "screenshot: $english"
