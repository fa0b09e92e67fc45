#!/usr/bin/env bash
# The fuzz targets of the file readers, built with clang in build-fuzz.
#   scripts/fuzz.sh SECONDS   runs every target for that long (as many at once
#                             as there are cores) and prints what each found
#   scripts/fuzz.sh ci        the short run of the test suite (ctest, 10 s each)
# Without clang (and its libFuzzer runtime) a timed run is skipped with a
# message and ends successfully; the test suite's run (ci) fails instead, as
# scripts/install-deps.sh installs both and the suite must not lose its
# fuzzing to a broken installation. Findings stay in
# build-fuzz/fuzz-work/findings/READER; the corpora grow in build-fuzz/fuzz-work/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 1 ] || ! [[ $1 =~ ^([0-9]+|ci)$ ]]; then
    echo "usage: $0 SECONDS|ci" >&2
    exit 2
fi
skip() {  # the reason the targets cannot be built
    if [ "$1" = ci ]; then
        echo "fuzz: $2; scripts/install-deps.sh installs what the fuzz targets need" >&2
        exit 1
    fi
    echo "fuzz: $2; the fuzz targets are skipped"
    exit 0
}
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
    skip "$1" "clang is not installed"
fi
jobs=$(nproc)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DUMBRANE_FUZZ=ON -DUMBRANE_TESTS=OFF -DUMBRANE_FUZZ_SECONDS=10 >/dev/null
if ! grep -q '^UMBRANE_FUZZ_BUILT:INTERNAL=ON' build-fuzz/CMakeCache.txt; then
    skip "$1" "clang here has no libFuzzer runtime"
fi
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
if [ "$1" = ci ]; then
    cd build-fuzz && exec ctest --output-on-failure --no-tests=error -j"$jobs"
fi

seconds=$1
readers=$(sed -n 's/^set(FUZZ_READERS \(.*\))$/\1/p' CMakeLists.txt)
echo "fuzzing each reader for $seconds s"
status=0
printf '%s\n' $readers | xargs -P "$jobs" -I{} bash fuzz/run_target.sh build-fuzz/fuzz_{} {} "$seconds" \
    build-fuzz/fuzz-work || status=1
if [ "$status" -eq 0 ]; then echo "fuzz: nothing found"; else echo "fuzz: findings above (inputs kept in build-fuzz/fuzz-work/findings)"; fi
exit "$status"
