#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Runs every benchmark program that the build folder holds and prints their
# tables; each program also writes its figures as JSON next to itself.
#
# Usage: tools/bench.sh BUILD_DIR
#
# To add a benchmark, add one `bench` line below: the executable's
# path inside the build folder, then any command that must wrap it (for
# example a virtual display), then `--` and its arguments.
#
# The window benchmarks run once offscreen and once on a private Xvfb that
# this script starts (1920x1080, 24 bits, 96 dpi, so that Qt sees a pixel
# ratio of exactly 1). The frames benchmark, paced against unpaced, runs
# first on that display, while nothing else of ours does; it reads the X
# server's processor time by its process id.
set -euo pipefail

build=$(cd "${1:?usage: tools/bench.sh BUILD_DIR}" && pwd)

ran=0
missing=0
failed=0

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Qt wants a private runtime folder; without one it warns on every start.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# Starts Xvfb on a display number it picks itself and sets $display.
display=""
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -dpi 96 -nolisten tcp \
        3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    if [ ! -s "$work/display" ]; then
        echo "bench: Xvfb did not start" >&2
        cat "$work/xvfb.log" >&2
        return 1
    fi
    display=":$(head -n1 "$work/display")"
}

# bench EXE [WRAPPER... --] [ARGS...]
bench() {
    local exe=$1
    shift
    local wrapper=() args=()
    if [[ " $* " == *" -- "* ]]; then
        while [[ $1 != -- ]]; do
            wrapper+=("$1")
            shift
        done
        shift
    fi
    args=("$@")
    if [[ ! -x "$build/$exe" ]]; then
        echo "== $exe: not built, skipped"
        missing=$((missing + 1))
        return 0
    fi
    echo "== $exe${wrapper[*]:+ ${wrapper[*]:1}}"
    if ! "${wrapper[@]}" "$build/$exe" "${args[@]}"; then
        echo "== $exe: FAILED" >&2
        failed=$((failed + 1))
    fi
    echo
    ran=$((ran + 1))
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine shows in every figure)"
echo
started=$SECONDS

bench bench/kelvara_bench_core

start_xvfb
bench bench/kelvara_bench_frames env QT_QPA_PLATFORM=xcb DISPLAY="$display" -- \
    "$build/bench/kelvara_run_probe" --app "$build/app/kelvara" --xserver-pid "$xvfb_pid"
# The ten-minute memory run only under Xvfb, where the targets apply;
# offscreen, the timed runs alone.
bench bench/kelvara_bench_scale env QT_QPA_PLATFORM=xcb DISPLAY="$display" --
bench bench/kelvara_bench_window env QT_QPA_PLATFORM=offscreen -- --minutes 0
bench bench/kelvara_bench_window env QT_QPA_PLATFORM=xcb DISPLAY="$display" --
bench bench/kelvara_bench_first_frame env QT_QPA_PLATFORM=xcb DISPLAY="$display" -- \
    "$build/app/kelvara" --probe "$build/bench/kelvara_first_frame_probe" --launches 7

echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg); $((SECONDS - started)) s in all"

if ((ran == 0)); then
    echo "no benchmark program found in $build" >&2
    exit 1
fi
if ((failed > 0)); then
    echo "$failed benchmark program(s) failed" >&2
    exit 1
fi
