#!/usr/bin/env bash
# Packs the VS Code extension (editors/vscode) into spawnsmith-VERSION.vsix.
#   tools/vsix.sh [--out DIR] [--bundle-server PATH]
#     --out DIR             where the .vsix goes (build/ unless told); its
#                           folder vscode-stage/ holds the copy that is packed
#     --bundle-server PATH  a built spawnsmith-check(.exe), packed into the
#                           extension's bin/, where the extension looks first
# It needs Node.js and npm, and the npm registry on the first run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

out=build
server=
while [ $# -gt 0 ]; do
    case "$1" in
    --out) out=$2; shift 2 ;;
    --bundle-server) server=$2; shift 2 ;;
    *) echo "usage: tools/vsix.sh [--out DIR] [--bundle-server PATH]" >&2; exit 2 ;;
    esac
done
[ -z "$server" ] || [ -f "$server" ] || { echo "tools/vsix.sh: no file $server" >&2; exit 2; }

# A copy, so that the clone gets no node_modules, LICENSE or bin/ of its own.
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$out/vscode-stage
editors/vscode/stage.sh editors/vscode "$stage"
cp LICENSE "$stage/LICENSE"
if [ -n "$server" ]; then
    mkdir -p "$stage/bin"
    install -m 755 "$server" "$stage/bin/"
fi

version=$(node -p 'require(process.argv[1]).version' "$stage/package.json")
vsix=$out/spawnsmith-$version.vsix
rm -f "$vsix"
(cd "$stage" && npx --no-install vsce package --allow-missing-repository --out "$vsix")
