#!/usr/bin/env bash
# Copies the extension's folder into another and installs its npm packages
# there, as package-lock.json pins them, unless they already are: the source
# folder stays clean, and a second run needs no npm ci.
#   stage.sh SRC DEST
set -euo pipefail
src=$1
dest=$2
mkdir -p "$dest"
find "$dest" -mindepth 1 -maxdepth 1 ! -name node_modules -exec rm -rf {} +
tar -C "$src" --exclude=./node_modules --exclude='*.vsix' -cf - . | tar -C "$dest" -xf -
stamp=$dest/node_modules/.spawnsmith-lock
if ! cmp -s "$dest/package-lock.json" "$stamp"; then
    (cd "$dest" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
    cp "$dest/package-lock.json" "$stamp"
fi
