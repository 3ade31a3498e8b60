#!/usr/bin/env bash
# The Windows build, made on Debian 12 from this clone in one command:
#   tools/windows.sh
# Installs what is missing; builds Qt for 64-bit Windows once (from Debian's
# own qt6-base source, into a cache outside the clone; later runs reuse it);
# cross-builds spawnsmith.exe and the tests with MinGW-w64 in build-windows/;
# writes the portable zip build-windows/spawnsmith-1.0-windows-x64.zip; and
# runs the tests under Wine on an X server of their own, then unpacks the zip
# into an empty folder and starts the tool from there.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source tools/prepare.sh

spawnsmith_install "${SPAWNSMITH_PACKAGES[@]}" g++-mingw-w64-x86-64-posix ninja-build dpkg-dev \
    wine wine64 fonts-wine xvfb xauth zip unzip icoutils nlohmann-json3-dev

cache=${XDG_CACHE_HOME:-$HOME/.cache}/spawnsmith
recipe=$(cat tools/windows-qt.sh cmake/mingw-w64.cmake | sha256sum | cut -c1-12) # a new recipe, a new Qt
qt=$cache/qt-$(dpkg-query -W -f='${source:Version}' libqt6core6)-mingw64-$recipe
if [ -f "$qt/.complete" ]; then
    echo "Qt for Windows: $qt"
else
    echo "Building Qt for Windows into $qt (once; about half an hour on two cores)"
    rm -rf "$qt"
    mkdir -p "$cache"
    tools/windows-qt.sh "$qt" >"$cache/qt-build.log" 2>&1 ||
        { tail -n 40 "$cache/qt-build.log"; echo "Qt build failed: $cache/qt-build.log"; exit 1; }
    touch "$qt/.complete"
fi

dir=build-windows
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/tools/wine-run.sh"
fi
cmake --build "$dir" --parallel "$(nproc)"

# The portable folder: the tool and spawnsmith-check, the DLLs they load and
# the plugins Qt loads from beside it, stripped; nothing else.
name=spawnsmith-1.0-windows-x64
folder=$dir/package/$name
rm -rf "$dir/package" "$dir/$name.zip"
mkdir -p "$folder/platforms" "$folder/styles"
cp "$dir/spawnsmith.exe" "$dir/spawnsmith-check.exe" "$qt"/bin/Qt6{Core,Gui,Widgets}.dll \
    "$folder/"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)" "$folder/"
done
cp "$qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
x86_64-w64-mingw32-strip --strip-unneeded "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll
# Our licence, and the notices of every library beside the program, with the
# full texts of their licences (as Debian ships them for the very sources built),
# with Windows line ends so that any editor there shows them.
version() { dpkg-query -W -f='${Version}' "$1"; }
qt_version=$(version libqt6core6)
gcc_version=$(version gcc-mingw-w64-x86-64-posix)
mingw_version=$(version mingw-w64-common)
json_version=$(version nlohmann-json3-dev)
section() { printf '\n\n%s\n%s\n\n' "$1" "$(printf '%*s' ${#1} '' | tr ' ' =)"; cat "$2"; }
{
    sed -e "s/@QT_VERSION@/${qt_version%%+*}/g" -e "s/@QT_DEBIAN_VERSION@/$qt_version/g" \
        -e "s/@GCC_VERSION@/${gcc_version%%-*}/g" -e "s/@GCC_DEBIAN_VERSION@/$gcc_version/g" \
        -e "s/@MINGW_VERSION@/${mingw_version%%-*}/g" \
        -e "s/@MINGW_DEBIAN_VERSION@/$mingw_version/g" \
        -e "s/@JSON_VERSION@/${json_version%%-*}/g" -e "s/@JSON_DEBIAN_VERSION@/$json_version/g" \
        packaging/windows-notices.txt
    section "A. Copyright and licences of Qt" /usr/share/doc/libqt6core6/copyright
    section "B. Copyright and licences of GCC" /usr/share/doc/gcc-mingw-w64-base/copyright
    section "C. Copyright and licences of MinGW-w64" /usr/share/doc/mingw-w64-common/copyright
    section "D. GNU General Public License, version 3" /usr/share/common-licenses/GPL-3
    section "E. GNU Lesser General Public License, version 3" /usr/share/common-licenses/LGPL-3
    section "F. How Qt was built: tools/windows-qt.sh" tools/windows-qt.sh
    section "G. Copyright and licence of nlohmann/json" /usr/share/doc/nlohmann-json3-dev/copyright
} | sed 's/$/\r/' >"$folder/THIRD-PARTY-NOTICES.txt"
sed 's/$/\r/' LICENSE >"$folder/LICENSE.txt"
sed 's/$/\r/' packaging/windows-readme.txt >"$folder/README.txt"
# The VS Code extension, which finds spawnsmith-check.exe beside it once told where.
tools/vsix.sh --out "$dir" >"$dir/vsix.log" 2>&1 || { cat "$dir/vsix.log"; exit 1; }
cp "$dir/spawnsmith-1.0.0.vsix" "$folder/"
(cd "$dir/package" && zip -qr9 "../$name.zip" "$name")

# The tests, then the zip as a user unpacks it, under Wine on one X server of
# their own (Wine needs one even for programs that show nothing).
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    ctest --test-dir "$1" --output-on-failure --parallel "$(nproc)" &&
    tests/windows_package_test.sh "$1/$2.zip" "$1"' tests "$dir" "$name"
ls -l "$dir/$name.zip"
