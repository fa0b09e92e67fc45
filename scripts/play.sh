#!/usr/bin/env bash
# Builds the game alone (no tests, no benchmark) and starts it from its game
# folder (build/game). Installs only the Debian packages the game needs to be
# built and played; the tests' toolchain comes with scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --game
cmake -S . -B build -DUMBRANE_TESTS=OFF -DUMBRANE_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target umbrane
exec build/game/umbrane "$@"
