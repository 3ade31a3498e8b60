#!/usr/bin/env bash
# Installs what is missing, builds the tool and its tests in build/, and runs
# every test through CTest. Any failure fails the script.
#   ./test.sh --sanitize   the same suite built with AddressSanitizer and
#                          UndefinedBehaviorSanitizer, in build-sanitize/
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/prepare.sh

dir=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPAWNSMITH_SANITIZE=ON)
    # Any report fails the test that caused it.
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
fi

# Tests also need an X server of their own, a second clipboard client, the
# tools that build and check a .deb and its desktop files, and Neovim as the
# language server's client.
spawnsmith_install "${SPAWNSMITH_PACKAGES[@]}" xvfb xauth xclip dpkg-dev file man-db \
    desktop-file-utils appstream lintian neovim

spawnsmith_configure "$dir" "${options[@]}"
cmake "$dir" >/dev/null # again: what the tests need (Neovim, Node.js) may be new since
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
