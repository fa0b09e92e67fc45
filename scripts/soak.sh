#!/usr/bin/env bash
# The long soak: the shipped game played with random keys under
# AddressSanitizer and UndefinedBehaviorSanitizer (the build-sanitize build of
# scripts/test.sh). Prints the turns played and what was found: the soak's own
# findings (saves that do not read or write back, a stuck or broken game) and
# any sanitizer report, which ends the run where it happens.
# Usage: scripts/soak.sh [TURNS [SEED]]   (10000 turns, seed 1)
set -uo pipefail
cd "$(dirname "$0")/.."
turns=${1:-10000}
seed=${2:-1}
jobs=$(nproc)
scripts/configure-sanitize.sh || exit 1
cmake --build build-sanitize -j"$jobs" --target soak >/dev/null || exit 1
log=build-sanitize/soak-$seed.log
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build-sanitize/soak --turns "$turns" --seed "$seed" --report-every 1000 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
played=$(grep -o "^soak [a-z]*: [0-9]* turns" "$log" | tail -1 | grep -o "[0-9]* turns")
counts=$(grep "^soak done: " "$log" | sed -n "s/.* turns, \(.*\), [0-9]* saves read back.*/\1/p")
findings=$(grep -c '^FINDING' "$log")
reports=$(grep -cE '^(SUMMARY: |.*runtime error: )' "$log")
echo "----"
echo "turns played: ${played:-0 turns} of $turns (seed $seed)"
echo "played: ${counts:-unknown (the soak did not finish)}"
echo "findings: $findings from the soak, $reports from the sanitizers (log: $log)"
grep -E '^FINDING|^SUMMARY: |runtime error: ' "$log" | head -20
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ] || [ "$reports" -ne 0 ]; then exit 1; fi
