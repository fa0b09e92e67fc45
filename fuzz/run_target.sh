#!/usr/bin/env bash
# Runs one fuzz target for a given time. Its corpus (in the work folder, kept
# between runs) starts from the shipped file of its format and the seeds kept
# in fuzz/seeds/READER; the dictionary fuzz/dict/READER.dict names the
# format's elements and attributes. Prints one line with the executions and
# the findings; a finding (crash, sanitizer report, hang, memory blow-up, a
# save file that does not write back as read) is kept in the work folder's
# findings/READER and makes the exit status 1.
# Usage: run_target.sh TARGET_PROGRAM READER SECONDS WORK_FOLDER
set -uo pipefail
if [ $# -ne 4 ]; then
    echo "usage: $0 TARGET_PROGRAM READER SECONDS WORK_FOLDER" >&2
    exit 2
fi
program=$1 reader=$2 seconds=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
game=$here/../game
corpus=$work/corpus/$reader
findings=$work/findings/$reader
log=$work/$reader.log
mkdir -p "$corpus" "$findings"

find_fuzz_shipped() {  # the shipped seeds of the reader, from shipped_seeds.txt
    local name pattern
    while read -r name pattern; do
        [ "$name" = "$reader" ] && compgen -G "$game/$pattern"
    done < <(grep -v '^#' "$here/shipped_seeds.txt")
}
mapfile -t shipped < <(find_fuzz_shipped)
for seed in "${shipped[@]}" "$here/seeds/$reader"/* "$here/regressions/$reader"/*; do
    [ -f "$seed" ] && [[ $seed != *.expected ]] && cp -f "$seed" "$corpus/"
done

known=$(find "$findings" -type f | sort)
before=$(printf "%s" "$known" | grep -c .)
"$program" "$corpus" -dict="$here/dict/$reader.dict" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
status=$?
after=$(find "$findings" -type f | wc -l)

runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
[ -n "$runs" ] || runs=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')
printf '%-12s %4ss  %9s executions  corpus %5s  findings %s\n' "$reader" "$seconds" "${runs:-?}" \
    "$(find "$corpus" -type f | wc -l)" "$((after - before))"
if [ "$status" -ne 0 ] || [ "$after" -gt "$before" ]; then
    echo "---- $reader: finding (exit $status), full log $log"
    grep -E 'ERROR|SUMMARY|runtime error|does not write back|Test unit written|deadly signal|timeout|out-of-memory' "$log" | head -20
    comm -13 <(printf "%s\n" "$known") <(find "$findings" -type f | sort) | sed "s/^/kept: /"
    exit 1
fi
exit 0
