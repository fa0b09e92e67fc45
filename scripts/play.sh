#!/usr/bin/env bash
# Builds the game and starts it from its game folder (build/game).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DUMBRANE_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target umbrane
exec build/game/umbrane
