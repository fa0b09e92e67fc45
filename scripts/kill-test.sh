#!/usr/bin/env bash
# Kills the game's save code with SIGKILL at random moments, many times over
# (default 2000, or the number given), and checks after every kill that the
# savegame loads as a consistent pair. The test suite runs a short version.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-2000}"
scripts/install-deps.sh
cmake -S . -B build -DUMBRANE_TESTS=ON -DUMBRANE_UNIT_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target test_scenario
UMBRANE_KILL_RUNS="$runs" UMBRANE_KILL_SEED="${UMBRANE_KILL_SEED:-$(date +%s)}" \
    build/test_scenario --gtest_filter='SaveKill.*'
