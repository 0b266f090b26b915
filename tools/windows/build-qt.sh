#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# tools/windows/build-qt.sh: a static Qt for 64-bit Windows, cross-built
# with Debian's mingw-w64 from Debian's own qt6-base source, the same
# version as the Linux build's Qt. Prints the folder it is installed in.
#
# It builds into a cache outside the repository
# ($KELVARA_CACHE, else ~/.cache/kelvara) and is built again only when this
# recipe (this script or the toolchain file) or Debian's qt6-base version
# changes. Only what the program uses is built: Core, Gui, Widgets, the
# Windows platform plugin with its UI Automation accessibility, PNG and
# FreeType. The host tools (moc, rcc, uic) are Debian's own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${KELVARA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvara}
SUDO=$([ "$(id -u)" = 0 ] || echo sudo)

# The source of the qt6-base that the Linux build uses, so that both
# programs run on one version of Qt.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
recipe=$(cat "$0" "$here/mingw-toolchain.cmake" | sha256sum | cut -c1-16)
prefix="$cache/qt-$version-mingw-$recipe"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "build-qt: $*" >&2; }
log "building a static Qt $version for Windows into $prefix (about half an hour on 2 cores)"
start=$(date +%s)

# apt-get source needs a deb-src entry for the suite this machine runs.
src_dir="$cache/src"
if [ ! -d "$src_dir/qtbase-$version" ]; then
    if ! apt-cache showsrc qt6-base 2>/dev/null | grep -qx "Version: $version"; then
        suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
        log "adding a deb-src entry for Debian $suite"
        $SUDO tee /etc/apt/sources.list.d/kelvara-deb-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    fi
    rm -rf "$src_dir.part"
    mkdir -p "$src_dir.part"
    (cd "$src_dir.part" && apt-get source -qq "qt6-base=$version" >&2)
    mkdir -p "$src_dir"
    tree=$(find "$src_dir.part" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    mv "$tree" "$src_dir/qtbase-$version"
    rm -rf "$src_dir.part"
fi

build="$cache/build-qt-$recipe"
rm -rf "$build" "$prefix"
mkdir -p "$cache"
# The toolchain file is kept beside the installed Qt: Qt's own toolchain
# file loads it again for every program built against this Qt.
install -D -m 644 "$here/mingw-toolchain.cmake" "$prefix/mingw-toolchain.cmake"

# Features off: what the program does not use (network, SQL, D-Bus, OpenGL,
# printing, ...), and tablet input, whose Windows support needs the Wintab
# header that Debian's source leaves out (a pen then arrives as a mouse).
# The third-party libraries are Qt's bundled ones, linked in statically.
cmake -S "$src_dir/qtbase-$version" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-toolchain.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_static_runtime=ON \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_testlib=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_opengles2=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_icu=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_sessionmanager=ON \
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF \
    -DFEATURE_png=ON -DFEATURE_system_png=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_accessibility=ON \
    >"$cache/configure-qt.log" 2>&1 || {
    tail -n 40 "$cache/configure-qt.log" >&2
    exit 1
}
cmake --build "$build" --parallel "$(nproc)" >"$cache/build-qt.log" 2>&1 || {
    grep -B2 -A12 -m3 'error' "$cache/build-qt.log" >&2 || tail -n 40 "$cache/build-qt.log" >&2
    exit 1
}
cmake --install "$build" >/dev/null
rm -rf "$build"
touch "$prefix/.complete"
# A Qt of an earlier recipe is no longer used.
for old in "$cache"/qt-*-mingw-*; do
    [ "$old" = "$prefix" ] || rm -rf "$old"
done
log "done in $(($(date +%s) - start)) s"
echo "$prefix"
