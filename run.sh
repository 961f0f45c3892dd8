#!/usr/bin/env bash
# Plays the game: installs what is missing, builds, and starts it. Arguments go to the game
# (./run.sh --windowed --resolution 2; ./run.sh --help).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target brikon3d -j"$(nproc)"
exec build/game/brikon3d "$@"
