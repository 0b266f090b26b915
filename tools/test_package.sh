#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Usage: tools/test_package.sh [PACKAGE_BUILD_DIR]   (run by `make test-package`)
# Checks the Debian package that `make package` built, then installs it on
# this machine: the files it installs pass desktop-file-validate, appstreamcli
# and lintian; the installed `kelvara`, started from PATH under Xvfb, shows a
# window titled "Kelvara" with an icon and ends with code 0 when the window is
# closed; removing the package leaves none of its files behind. Needs root or
# sudo, and lintian, desktop-file-utils, appstream, xvfb, xdotool, x11-utils
# and libx11-protocol-perl (the Makefile installs them).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-package}" && pwd)
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

fail() {
    echo "test-package: FAIL: $*" >&2
    exit 1
}
step() { echo "== $*"; }

debs=("$build"/kelvara_*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || fail "expected one kelvara_*.deb in $build"
deb=${debs[0]}
app_id=io.github.kelvara.Kelvara

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
installed=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    if [ -n "$installed" ]; then
        echo "test-package: removing the package after a failure" >&2
        $sudo apt-get remove -y -qq kelvara >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

step "package: $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Section Maintainer Depends

# --- The installed files, staged ---------------------------------------------
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
# The package holds exactly what `cmake --install` puts in place.
(cd "$stage" && find . -type f | sed 's|^\.||' | sort) >"$work/staged"
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./|/|; /[^/]$/p' | sort >"$work/packaged"
diff -u "$work/staged" "$work/packaged" || fail "the package and cmake --install differ"
cat "$work/packaged"

step "desktop-file-validate"
out=$(desktop-file-validate "$stage/usr/share/applications/$app_id.desktop" 2>&1) || fail "$out"
echo "${out:-(no messages)}"
# Hints are not findings; anything else is.
if grep -v ': hint: ' <<<"$out" | grep -q .; then fail "desktop-file-validate: $out"; fi

step "appstreamcli validate --no-net"
out=$(appstreamcli validate --no-net "$stage/usr/share/metainfo/$app_id.metainfo.xml" 2>&1) ||
    fail "$out"
echo "$out"
if grep -Eq '^[EW]:' <<<"$out"; then fail "appstreamcli reported errors or warnings"; fi
step "appstreamcli validate-tree --no-net"
out=$(appstreamcli validate-tree --no-net "$stage" 2>&1) || fail "$out"
echo "$out"
if grep -Eq '^[EW]:' <<<"$out"; then fail "appstreamcli reported errors or warnings"; fi

step "lintian"
out=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $out"
echo "${out:-(no tags)}"

# --- Installed for real --------------------------------------------------------
step "apt-get install $deb"
if dpkg-query -W -f='${Status}' kelvara 2>/dev/null | grep -q 'ok installed'; then
    fail "kelvara is already installed; remove it first"
fi
installed=yes
$sudo apt-get install -y -qq "$deb" >"$work/apt-install.log" 2>&1 ||
    { cat "$work/apt-install.log" >&2; fail "apt-get install"; }
dpkg-query -L kelvara | sort >"$work/files"
user_path=/usr/local/bin:/usr/bin:/bin
program=$(PATH=$user_path command -v kelvara) || fail "kelvara is not on PATH after installing"
[ "$program" = /usr/bin/kelvara ] || fail "kelvara on PATH is $program, not /usr/bin/kelvara"

step "the installed kelvara under Xvfb"
# Xvfb picks a free display number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x900x24 -dpi 96 -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
mkdir -m 700 "$work/runtime"
# A user's environment: no test settings, the X display only.
env -i PATH="$user_path" HOME="$work" XDG_RUNTIME_DIR="$work/runtime" \
    DISPLAY=":$(head -n1 "$work/display")" LANG=C.UTF-8 \
    kelvara >"$work/kelvara.log" 2>&1 &
app_pid=$!
export DISPLAY=":$(head -n1 "$work/display")"
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kelvara$' | head -n1) || true
[ -n "$wid" ] || fail "no window titled Kelvara within 20 s"
title=$(xprop -id "$wid" _NET_WM_NAME)
echo "$title"
[ "$title" = '_NET_WM_NAME(UTF8_STRING) = "Kelvara"' ] || fail "window title: $title"
xprop -id "$wid" WM_CLASS
icon=$(xprop -id "$wid" _NET_WM_ICON | head -n1)
echo "$icon"
grep -q 'Icon (32 x 32)' <<<"$icon" || fail "no 32 x 32 _NET_WM_ICON on the window"

# Close the window as a window manager does: WM_DELETE_WINDOW.
perl -MX11::Protocol -e '
    my $x = X11::Protocol->new();
    my $w = $ARGV[0];
    $x->SendEvent($w, 0, 0, $x->pack_event(
        name => "ClientMessage", window => $w, format => 32,
        type => $x->atom("WM_PROTOCOLS"),
        data => pack("L5", $x->atom("WM_DELETE_WINDOW"), 0, 0, 0, 0)));
    $x->GetInputFocus();
' "$wid"
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "kelvara still runs 5 s after its window was closed"
code=0
wait "$app_pid" || code=$?
app_pid=""
echo "exit code $code"
[ "$code" = 0 ] || fail "kelvara ended with code $code: $(cat "$work/kelvara.log")"
if [ -s "$work/kelvara.log" ]; then
    echo "kelvara wrote:" && cat "$work/kelvara.log"
fi

# --- Removed again -------------------------------------------------------------
step "apt-get remove kelvara"
$sudo apt-get remove -y -qq kelvara >"$work/apt-remove.log" 2>&1 ||
    { cat "$work/apt-remove.log" >&2; fail "apt-get remove"; }
installed=""
status=$(dpkg-query -W -f='${db:Status-Status}' kelvara 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "package status after remove: $status"
left=0
while read -r path; do
    [ -e "$path" ] || continue
    # A directory may stay when another package has files in it too.
    if [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
        continue
    fi
    echo "left behind: $path" >&2
    left=1
done <"$work/files"
[ "$left" = 0 ] || fail "files of the package are left behind"
echo "test-package: all checks passed"
