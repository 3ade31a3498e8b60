#!/usr/bin/env bash
# The portable Windows zip as a user gets it: unpacked into an empty folder, it
# holds the tool, what it loads, the VS Code extension, a README naming them,
# and the licences of all, and nothing else; the
# program carries its icon, version information and manifest; and under Wine (with no DLL path of the build's) it starts, shows the
# menu, ends when the menu's frame is closed, and leaves the folder as it was.
#   tests/windows_package_test.sh ZIP BUILD_DIR      (needs an X server)
set -euo pipefail
zip=$(realpath "$1") build=$(realpath "$2") here=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && unzip -q "$zip")
folder=$work/spawnsmith-1.0-windows-x64
expected="libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
LICENSE.txt
platforms/qwindows.dll
Qt6Core.dll
Qt6Gui.dll
Qt6Widgets.dll
README.txt
spawnsmith-1.0.0.vsix
spawnsmith-check.exe
spawnsmith.exe
styles/qwindowsvistastyle.dll
THIRD-PARTY-NOTICES.txt"
listing() { (cd "$folder" && find . -type f -printf '%P\n' | LC_ALL=C sort -f); }
[ "$(listing)" = "$expected" ] || fail "the zip holds: $(listing)"
ico=$here/assets/spawnsmith.ico # the resource may carry padding after it
wrestool -x -t14 "$folder/spawnsmith.exe" >"$work/icon"
head -c "$(stat -c %s "$ico")" "$work/icon" | cmp -s - "$ico" || fail "spawnsmith.exe does not carry the icon"
wrestool -x --raw -t24 "$folder/spawnsmith.exe" | cmp -s - "$here/assets/spawnsmith.exe.manifest" ||
    fail "spawnsmith.exe does not carry its manifest"
notice=$(sed -n 's/^SPAWNSMITH_RIGHTS_NOTICE:STRING=//p' "$build/CMakeCache.txt")
version=$(wrestool -x --raw -t16 "$folder/spawnsmith.exe" | strings -el | paste -sd '|')
[ "$version" = "VS_VERSION_INFO|StringFileInfo|040904B0|CompanyName|Spawnsmith contributors|\
FileDescription|Spawnsmith - spawn script composer for MoH:AA|FileVersion|1.0.0.0|InternalName|\
spawnsmith|LegalCopyright|$notice|OriginalFilename|spawnsmith.exe|ProductName|Spawnsmith|\
ProductVersion|1.0.0.0|VarFileInfo|Translation" ] || fail "the version information reads $version"
notices=$folder/THIRD-PARTY-NOTICES.txt
for text in "qt6-base source package" libgcc_s_seh-1.dll "GCC RUNTIME LIBRARY EXCEPTION" \
    "GNU LESSER GENERAL PUBLIC LICENSE" "Files: mingw-w64-libraries/winpthreads/" \
    "github.com/openmoh/openmohaa" "github.com/eduzappa18/SublimeMOHAA" "Niels Lohmann" \
    "vscode-languageclient"; do
    grep -q -- "$text" "$notices" || fail "the notices lack: $text"
done
[ "$(grep -c $'\r$' "$notices")" = "$(wc -l <"$notices")" ] || fail "the notices lack CR LF line ends"
grep -q "spawnsmith-1.0.0.vsix" "$folder/README.txt" || fail "the README does not name the extension"
# (listings read whole first: grep -q or head ending a pipe early fails it under pipefail)
packed=$(unzip -l "$folder/spawnsmith-1.0.0.vsix")
grep -q "extension/extension.js" <<<"$packed" || fail "the extension holds no extension.js"

export SPAWNSMITH_WINE_DIR=$build/wine
unset SPAWNSMITH_WINE_PATH

# spawnsmith-check.exe: a console program that runs from the folder alone.
headers=$(objdump -p "$folder/spawnsmith-check.exe")
grep -q 'Subsystem.*(Windows CUI)' <<<"$headers" || fail "spawnsmith-check.exe is not a console program"
printf 'main:\r\nlocal.a = 1,5\r\nend\r\n' >"$work/bad.scr"
status=0
said=$(cd "$folder" && "$here/tools/wine-run.sh" spawnsmith-check.exe - <"$work/bad.scr") || status=$?
[ "$status" -eq 1 ] && [ "${said%$'\r'}" = "<stdin>:2:12: error: The game reads a comma as a word \
of its own and cannot load the line: write 1.5, not 1,5." ] ||
    fail "spawnsmith-check.exe said '$said' (exit $status)"
printf 'main:\r\nlocal.a = 1.5\r\nend\r\n' >"$work/good.scr"
"$here/tools/wine-run.sh" "$folder/spawnsmith-check.exe" "Z:$work/good.scr" ||
    fail "spawnsmith-check.exe does not load a good script"
"$here/tools/wine-run.sh" "$folder/spawnsmith.exe" &
tool=$!
trap 'kill "$tool" 2>/dev/null || true; rm -rf "$work"' EXIT
"$here/tools/wine-run.sh" "$build/win_helper.exe" close "MoH:AA - Spawnsmith V1.0" ||
    fail "the menu did not show"
status=0
timeout 10 tail --pid="$tool" -f /dev/null || fail "the tool did not end when its menu was closed"
wait "$tool" || status=$?
[ "$status" -eq 0 ] || fail "the tool ended with status $status"
[ "$(listing)" = "$expected" ] || fail "the folder changed: $(listing)"
echo "windows package test: 1 passed, 0 failed"
