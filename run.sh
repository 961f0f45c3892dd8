#!/usr/bin/env bash
# Plays the game: installs what is missing, builds, and starts it from its game folder.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target brikon3d -j"$(nproc)"
cd build/game
exec ./brikon3d
