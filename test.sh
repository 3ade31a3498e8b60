#!/usr/bin/env bash
# Installs what is missing, builds the tool and its tests in build/, and runs
# every test through CTest. Any failure fails the script.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/prepare.sh

# Tests also need an X server of their own and a second clipboard client.
spawnsmith_install "${SPAWNSMITH_PACKAGES[@]}" xvfb xauth xclip

spawnsmith_configure build
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
