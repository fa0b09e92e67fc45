#!/usr/bin/env bash
# The fuzz targets of the file readers, built with clang in build-sanitize
# (scripts/configure-sanitize.sh: the same build runs the sanitizer tests).
#   scripts/fuzz.sh SECONDS   runs every target for that long (as many at once
#                             as there are cores) and prints what each found
#   scripts/fuzz.sh ci        the short run of the test suite (ctest, 10 s each)
# Without clang (and its libFuzzer runtime) a timed run is skipped with a
# message and ends successfully; the test suite's run (ci) fails instead, as
# scripts/install-deps.sh installs both and the suite must not lose its
# fuzzing to a broken installation. Findings stay in
# build-sanitize/fuzz-work/findings/READER; the corpora grow in build-sanitize/fuzz-work/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 1 ] || ! [[ $1 =~ ^([0-9]+|ci)$ ]]; then
    echo "usage: $0 SECONDS|ci" >&2
    exit 2
fi
if ! reason=$(scripts/configure-sanitize.sh 2>&1); then
    if [ "$1" = ci ]; then
        echo "fuzz: $reason" >&2
        exit 1
    fi
    echo "fuzz: $reason; the fuzz targets are skipped"
    exit 0
fi
jobs=$(nproc)
cmake --build build-sanitize -j"$jobs" --target fuzz_targets
if [ "$1" = ci ]; then
    cd build-sanitize && exec ctest --output-on-failure --no-tests=error -j"$jobs" -R '^fuzz_'
fi

seconds=$1
readers=$(sed -n 's/^set(FUZZ_READERS \(.*\))$/\1/p' CMakeLists.txt)
echo "fuzzing each reader for $seconds s"
status=0
printf '%s\n' $readers | xargs -P "$jobs" -I{} bash fuzz/run_target.sh build-sanitize/fuzz_{} {} "$seconds" \
    build-sanitize/fuzz-work || status=1
if [ "$status" -eq 0 ]; then echo "fuzz: nothing found"; else echo "fuzz: findings above (inputs kept in build-sanitize/fuzz-work/findings)"; fi
exit "$status"
