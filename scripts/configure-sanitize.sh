#!/usr/bin/env bash
# Configures build-sanitize, the one clang build of the tests under
# AddressSanitizer and UndefinedBehaviorSanitizer and of the libFuzzer targets
# of the file readers (the whole game built with the fuzzer's coverage and both
# sanitizers). scripts/test.sh, scripts/fuzz.sh and scripts/soak.sh share it.
# Fails with a message when clang or its libFuzzer runtime is missing
# (scripts/install-deps.sh installs both).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
    echo "clang is not installed; scripts/install-deps.sh installs what the sanitizer build needs" >&2
    exit 1
fi
CC=clang CXX=clang++ cmake -S . -B build-sanitize -DUMBRANE_SANITIZE=ON -DUMBRANE_FUZZ=ON -DUMBRANE_TESTS=ON \
    -DUMBRANE_FUZZ_SECONDS=10 >/dev/null
if ! grep -q '^UMBRANE_FUZZ_BUILT:INTERNAL=ON' build-sanitize/CMakeCache.txt; then
    echo "clang here has no libFuzzer runtime; scripts/install-deps.sh installs what the fuzz targets need" >&2
    exit 1
fi
