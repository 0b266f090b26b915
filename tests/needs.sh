#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Usage: tests/needs.sh PROGRAM... -- COMMAND [ARG...]
# Runs COMMAND when every PROGRAM is on PATH. Otherwise it fails at once and
# names the Debian package of each missing one (from tools/debian-packages),
# instead of a test that waits out its time for a program that never
# started.
set -euo pipefail

list=$(dirname "$0")/../tools/debian-packages
missing=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    if ! command -v "$1" >/dev/null; then
        package=$(awk -v program="$1" \
            '!/^#/ { for (i = 2; i <= NF; ++i) if ($i == program) print $1 }' "$list")
        missing+=("$1 (Debian package ${package:-unknown: add it to tools/debian-packages})")
    fi
    shift
done
[ $# -gt 0 ] && shift # the --
if [ ${#missing[@]} -gt 0 ]; then
    echo "missing programs, which \`make deps\` installs:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
fi
exec "$@"
