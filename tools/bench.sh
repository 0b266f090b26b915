#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Runs the benchmarks of the build folder (bench/kelvara_bench, which starts
# the program and the probe itself) on two private X servers and prints their
# table; the figures are also written as JSON to bench/bench.json there.
#
# Usage: tools/bench.sh BUILD_DIR [ARGS...]   (ARGS go to kelvara_bench,
#        for example --runs 1 for a quick look)
#
# Both Xvfb have 24 bits and 96 dpi, so that Qt sees a pixel ratio of
# exactly 1: the first 1920 x 1080, where everything runs; the second
# 3840 x 2160, for the pass at the largest screen. The X server's processor
# time is read by its process id.
set -euo pipefail

build=$(cd "${1:?usage: tools/bench.sh BUILD_DIR [ARGS...]}" && pwd)
shift
if [[ ! -x "$build/bench/kelvara_bench" ]]; then
    echo "bench: $build/bench/kelvara_bench is not built (are libxcb-damage0-dev and" \
        "libxcb-xtest0-dev installed?)" >&2
    exit 1
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Qt wants a private runtime folder; without one it warns on every start.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
# The program starts in the system's language; these figures and pictures
# are of the Russian window.
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# start_xvfb NAME WxH: an Xvfb on a display number it picks itself; sets
# $display and $pid.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "$2x24" -dpi 96 -nolisten tcp \
        3>"$work/$1.display" 2>"$work/$1.log" &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 100); do
        [ -s "$work/$1.display" ] && break
        sleep 0.05
    done
    if [ ! -s "$work/$1.display" ]; then
        echo "bench: Xvfb ($2) did not start" >&2
        cat "$work/$1.log" >&2
        exit 1
    fi
    display=":$(head -n1 "$work/$1.display")"
}

start_xvfb big 3840x2160
big=$display
start_xvfb main 1920x1080

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
DISPLAY=$display "$build/bench/kelvara_bench" --probe "$build/bench/kelvara_bench_probe" \
    --app "$build/app/kelvara" --xserver-pid "$pid" --big-display "$big" \
    --json "$build/bench/bench.json" "$@"
