#!/usr/bin/env bash
# Builds the .deb and installs the tool the two ways a desktop gets it:
# `cmake --install` into a scratch root, and the package itself. Checks that
# every file is where a desktop looks for it and that the installed tool starts.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check_tree() { # root
    local root=$1
    test -x "$root/usr/bin/spawnsmith"
    test -f "$root/usr/share/icons/hicolor/32x32/apps/spawnsmith.png"
    local entry=$root/usr/share/applications/spawnsmith.desktop
    grep -qx 'Exec=spawnsmith' "$entry"
    grep -qx 'Icon=spawnsmith' "$entry"
    if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
}

# Starts the program the desktop entry names; it runs until stopped.
starts() { # program
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

# In CI (root on a throwaway machine) the package really is installed and removed.
if [ "${CI:-}" = "true" ] && [ "$(id -u)" -eq 0 ]; then
    dpkg -i "$deb" >/dev/null
    check_tree /
    program=$(sed -n 's/^Exec=//p' /usr/share/applications/spawnsmith.desktop)
    starts "$(command -v "$program")"
    dpkg -r spawnsmith >/dev/null
fi
echo "package test: 1 passed, 0 failed"
