#!/usr/bin/env bash
# The floors hold for calls too: every symbol a floor's library needs from the
# game is defined in that floor or in one below it (never above). Each floor's
# library is read with nm; a symbol needed by a floor and defined only above
# it is a call that runs back up, and is named with both floors.
# usage: check_floors.sh LIBRARY_FOLDER FLOOR... (from the bottom up)
set -euo pipefail
folder=$1
shift
floors=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for floor in "${floors[@]}"; do
    lib="$folder/libumbrane_$floor.a"
    [[ -f $lib ]] || { echo "check_floors: no library $lib" >&2; exit 2; }
    nm --defined-only -g "$lib" 2>/dev/null | awk 'NF == 3 && $2 != "U" { print $3 }' | sort -u >"$work/$floor.defined"
    nm -u "$lib" 2>/dev/null | awk '{ print $NF }' | sort -u >"$work/$floor.needed"
done
faults=0
for ((k = 0; k < ${#floors[@]}; ++k)); do
    floor=${floors[k]}
    : >"$work/below"
    for ((j = 0; j <= k; ++j)); do cat "$work/${floors[j]}.defined" >>"$work/below"; done
    sort -u -o "$work/below" "$work/below"
    for ((j = k + 1; j < ${#floors[@]}; ++j)); do
        above=${floors[j]}
        # Needed here, defined above, and not defined here or below (inline copies are).
        comm -12 "$work/$floor.needed" "$work/$above.defined" | comm -23 - "$work/below" >"$work/up" || true
        while read -r symbol; do
            [[ -n $symbol ]] || continue
            echo "src/$floor calls up into src/$above: $(echo "$symbol" | c++filt)" >&2
            faults=$((faults + 1))
        done <"$work/up"
    done
done
if ((faults > 0)); then
    echo "check_floors: $faults call(s) run back up" >&2
    exit 1
fi
echo "check_floors: ${#floors[@]} floors, no call runs back up"
