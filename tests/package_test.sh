#!/usr/bin/env bash
# Installs the tool as a desktop gets it, by `cmake --install` into a scratch
# root and from the .deb: every file where a desktop looks for it, each passing
# its own validator, the right dependencies, a .deb that lintian finds nothing
# in, and the installed program starts and keeps running.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check_tree() { # root
    test -x "$1/usr/bin/spawnsmith"
    for size in 32 48 64 128 256; do
        [[ $(file -b "$1/usr/share/icons/hicolor/${size}x$size/apps/spawnsmith.png") == \
            *"$size x $size"* ]]
    done
    grep -qx 'Exec=spawnsmith' "$1/usr/share/applications/spawnsmith.desktop"
    grep -qx 'Icon=spawnsmith' "$1/usr/share/applications/spawnsmith.desktop"
    desktop-file-validate "$1/usr/share/applications/spawnsmith.desktop"
    appstreamcli validate --no-net --pedantic "$1"/usr/share/metainfo/*.metainfo.xml >/dev/null
    [[ $(man -l "$1/usr/share/man/man1/spawnsmith.1.gz") =~ spawnsmith\ +-\ +compose\ spawn ]]
    [[ $(man -l "$1/usr/share/man/man1/spawnsmith-check.1.gz") =~ spawnsmith-check\ +-\ +tell ]]
    # The check runs on its own: a script that loads, one that does not.
    printf 'main:\r\nlocal.a = 1\r\nend\r\n' | "$1/usr/bin/spawnsmith-check"
    local out status=0
    out=$(printf 'main:\r\nlocal.a = 1,5\r\n' | "$1/usr/bin/spawnsmith-check") || status=$?
    [ "$status" -eq 1 ] && [[ $out == "<stdin>:2:12: error: "* ]] ||
        { echo "FAIL: installed spawnsmith-check said '$out' (exit $status)"; return 1; }
}
starts() { # program: still running after 3 s
    local status=0
    QT_QPA_PLATFORM=offscreen timeout 3 "$1" >/dev/null 2>&1 || status=$?
    [ "$status" -eq 124 ] || { echo "FAIL: $1 did not keep running (exit $status)"; return 1; }
}

DESTDIR="$work/destdir" cmake --install "$build" --prefix /usr >/dev/null
check_tree "$work/destdir"
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
deb=$(ls "$work"/package/*.deb)
dpkg-deb -x "$deb" "$work/root"
check_tree "$work/root"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-qpa-plugins fonts-liberation; do
    grep -q "$needed" <<<"$depends" || { echo "FAIL: Depends lacks $needed: $depends"; exit 1; }
done
starts "$work/root/usr/bin/spawnsmith"
tags=$(lintian -I -E --pedantic "$deb" 2>&1 | grep -v '^running with root privileges') || true
[ -z "$tags" ] || { echo "FAIL: lintian: $tags"; exit 1; }

# In CI (root on a throwaway machine) the package really is installed and removed.
if [ "${CI:-}" = "true" ] && [ "$(id -u)" -eq 0 ]; then
    dpkg -i "$deb" >/dev/null
    check_tree /
    starts "$(command -v spawnsmith)"
    dpkg -r spawnsmith >/dev/null
fi
echo "package test: 1 passed, 0 failed"
