#!/usr/bin/env bash
# Builds and runs every test, each once, in two builds:
# - build/ (the game's own, gcc): the tests of the real program: the desktop
#   tests under Xvfb, the package test, the recorded games, the content check
#   of the shipped game, the player program and the benchmark's smoke run;
# - build-sanitize/ (clang, scripts/configure-sanitize.sh): the test programs
#   of every folder, the soak, the recorded games, the check and the player
#   program under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
#   run of every fuzz target. The folders' test programs are built there only
#   (UMBRANE_UNIT_TESTS=OFF in build/): a fault they can find shows there too.
# The sanitizer build compiles (under nice) while the plain tests run: most of
# those wait for windows, keys and pictures. ccache keeps what was compiled,
# for other clones of the repository too (paths below the clone count relative
# to it). Each stage prints its wall and processor time.
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
stage "plain build" eval 'cmake -S . -B build -DUMBRANE_TESTS=ON -DUMBRANE_UNIT_TESTS=OFF >/dev/null && cmake --build build -j"$jobs"'
scripts/configure-sanitize.sh
log=build-sanitize/build.log
stage "sanitizer build (beside the plain tests)" nice cmake --build build-sanitize -j"$jobs" >"$log" 2>&1 &
sanitizer_build=$!
plain=0
# Twice as many tests as cores at once: the desktop, package and benchmark tests mostly wait.
stage "plain tests" eval '(cd build && ctest --output-on-failure --no-tests=error -j"$((2 * jobs))")' || plain=$?
if ! wait "$sanitizer_build"; then
    cat "$log"
    echo "test.sh: the sanitizer build failed" >&2
    exit 1
fi
tail -n 1 "$log"
[ "$plain" -eq 0 ] || exit "$plain"
stage "sanitizer tests and fuzzing" eval '(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --no-tests=error -j"$jobs" -E "^desktop_")'
