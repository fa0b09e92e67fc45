#!/usr/bin/env bash
# Builds and runs every test: once as the game is built, once with
# AddressSanitizer and UndefinedBehaviorSanitizer; in between a short run of
# each fuzz target (built with clang; skipped with a message without it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
# Tests on explicitly: scripts/play.sh configures the same build folder without them.
cmake -S . -B build -DUMBRANE_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")
scripts/fuzz.sh ci
cmake -S . -B build-sanitize -DUMBRANE_SANITIZE=ON -DUMBRANE_TESTS=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --no-tests=error -j"$jobs" -E '^desktop_')
