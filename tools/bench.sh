#!/usr/bin/env bash
# Runs every benchmark program that the build folder holds and prints their
# tables; each program also writes its figures as JSON next to itself.
#
# Usage: tools/bench.sh BUILD_DIR
#
# To add a benchmark, append one `bench` line at the end: the executable's
# path inside the build folder, then any command that must wrap it (for
# example a virtual display), then `--` and its arguments.
set -euo pipefail

build=${1:?usage: tools/bench.sh BUILD_DIR}

ran=0
missing=0

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
    echo "== $exe"
    "${wrapper[@]}" "$build/$exe" "${args[@]}"
    echo
    ran=$((ran + 1))
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo

bench bench/kelvara_bench_core

if ((ran == 0)); then
    echo "no benchmark program found in $build" >&2
    exit 1
fi
