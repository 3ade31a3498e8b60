#!/usr/bin/env bash
# CTest's test of the extension: its npm packages installed into a copy in
# the build folder, then its own tests there.
#   ctest.sh SRC DEST
set -euo pipefail
"$(dirname "$0")/../stage.sh" "$1" "$2"
cd "$2"
npm test --silent
