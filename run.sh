#!/usr/bin/env bash
# Installs what is missing, builds the tool in build/ and starts it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/prepare.sh

spawnsmith_install "${SPAWNSMITH_PACKAGES[@]}"
spawnsmith_configure build
cmake --build build --target spawnsmith -j"$(nproc)"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "Spawnsmith is built (build/spawnsmith) but cannot start: this session has no graphical display." >&2
    exit 1
fi
exec ./build/spawnsmith
