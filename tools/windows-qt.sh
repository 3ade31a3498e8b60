#!/usr/bin/env bash
# Builds the Qt that the Windows tool links, once, into PREFIX:
#   tools/windows-qt.sh PREFIX
# The source is Debian's own qt6-base, the version the Linux build uses,
# fetched with apt's source download (apt checks it against the archive's
# signed index) through a private sources list and state folder, so the
# machine's apt configuration stays as it is. Debian's Qt serves as the host
# tools (moc, rcc, uic). Only what the tool and its tests use is built:
# Core, Gui, Widgets and Test, the windows and offscreen platforms and the
# Windows styles, as shared libraries.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=$(dpkg-query -W -f='${source:Version}' libqt6core6)

work=$(mktemp -d "${prefix%/*}/qt-work.XXXXXX")
trap 'rm -rf "$work"' EXIT

# deb-src entries for the Debian archives the machine already uses.
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/download"
apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' |
    sort -u | awk '$1 ~ /debian/ && $3 == "main" { print "deb-src", $1, $2, $3 }' \
    >"$work/apt/sources.list"
apt=(apt-get -q -o Dir::Etc::SourceList="$work/apt/sources.list"
     -o Dir::Etc::SourceParts=/nonexistent -o Dir::State="$work/apt"
     -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache"
     -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
"${apt[@]}" update
(cd "$work/download" && "${apt[@]}" source --download-only "qt6-base=$version")
# Unpacks and applies Debian's patches; the files were checked by apt above.
dpkg-source --no-check -x "$work/download/qt6-base_${version#*:}.dsc" "$work/src"

# Debian's repacked source has no tablet (Wintab) headers, hence no tablet events.
mkdir "$work/build"
cd "$work/build"
"$work/src/configure" -prefix "$prefix" -release -shared \
    -xplatform win32-g++ -qt-host-path /usr \
    -nomake examples -nomake tests \
    -no-opengl -no-dbus -no-icu -no-feature-vulkan \
    -qt-zlib -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
    -no-feature-tabletevent -no-feature-network -no-feature-sql -no-feature-xml \
    -no-feature-printsupport -no-feature-concurrent -no-feature-androiddeployqt \
    -no-feature-gif -no-feature-ico \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build . --parallel "$(nproc)"
cmake --install .
