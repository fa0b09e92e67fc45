#!/usr/bin/env bash
# Builds and runs every test in two builds:
# - build/ (the game's own, gcc): the plain tests, the desktop tests under Xvfb,
#   the package test and the benchmark's smoke run;
# - build-sanitize/ (clang, scripts/configure-sanitize.sh): the same tests
#   (the desktop ones aside) under AddressSanitizer and
#   UndefinedBehaviorSanitizer, and a short run of every fuzz target.
# ccache keeps what was compiled, for other clones of the repository too
# (paths below the clone count relative to it). Each stage prints its wall
# and processor time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

stage() {  # stage NAME COMMAND...: runs it, then prints its times
    local name=$1
    shift
    local TIMEFORMAT="test.sh: $name: %0R s wall, %0U s user + %0S s system"
    time "$@"
}
# Tests on explicitly: scripts/play.sh configures the same build folder without them.
stage "plain build" eval 'cmake -S . -B build -DUMBRANE_TESTS=ON >/dev/null && cmake --build build -j"$jobs"'
stage "plain tests" eval '(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")'
stage "sanitizer build" eval 'scripts/configure-sanitize.sh && cmake --build build-sanitize -j"$jobs"'
stage "sanitizer tests and fuzzing" eval '(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --no-tests=error -j"$jobs" -E "^desktop_")'
