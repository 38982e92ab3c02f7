#!/usr/bin/env bash
# Builds the game folder build/game/ and starts the game from it.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/scripts/install-deps.sh play
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLAMBRISK_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
cd build/game
exec ./lambrisk
