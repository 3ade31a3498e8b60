#!/usr/bin/env bash
# CTest's test of the package: tools/vsix.sh builds it in one command; it holds
# the extension and its runtime dependencies only, and they load.
#   vsix_test.sh OUT
set -euo pipefail
out=$1
"$(dirname "$0")/../../../tools/vsix.sh" --out "$out" >/dev/null
rm -rf "$out/unpacked" && mkdir "$out/unpacked" && cd "$out/unpacked"
cmake -E tar xf "$out/spawnsmith-1.0.0.vsix"
cd extension
fail() { echo "vsix_test: $*" >&2; exit 1; }

files=$(find . -path ./node_modules -prune -o -type f -print | LC_ALL=C sort | xargs)
[ "$files" = "./LICENSE.txt ./extension.js ./language-configuration.json ./package.json ./readme.md \
./server.js ./syntaxes/morpheus.tmLanguage.json" ] || fail "the extension's files are $files"
packages=$(LC_ALL=C ls node_modules | xargs)
[ "$packages" = "semver vscode-jsonrpc vscode-languageclient vscode-languageserver-protocol \
vscode-languageserver-types" ] || fail "its node_modules hold $packages"
grep -q 'code --install-extension spawnsmith-1.0.0.vsix' readme.md || fail "its README names no package"

# VS Code hands an extension its API as the module "vscode": a stand-in that
# answers every name will do for loading.
node -e '
const Module = require("module"), load = Module._load;
const any = new Proxy(function () {}, { get: (_, key) => (key === "then" ? undefined : any) });
Module._load = (request, ...rest) => (request === "vscode" ? any : load(request, ...rest));
if (typeof require("./extension").activate !== "function") process.exit(1);
require("vscode-languageclient/node").LanguageClient.name;
' || fail "the packed extension does not load its client"
