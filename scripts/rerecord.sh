#!/usr/bin/env bash
# Renews the recorded games of tests/recordings after a change of behaviour
# that is meant (new save contents, tuned data): each recording's input is
# given to the game as it is now, and what the game reads and saves is
# recorded anew in its place. Say in the commit why they changed.
#   scripts/rerecord.sh [RECORDING...]   (default: every one of tests/recordings)
# A recording whose input no longer carries the game to the end of its session
# (the game now wants other keys, or more of them) is kept as it was and named
# at the end: play that one anew. The exit status is 1 when one was kept.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DUMBRANE_TESTS=ON >/dev/null
cmake --build build -j2 --target umbrane >/dev/null
game=build/game/umbrane
recordings=("$@")
[ ${#recordings[@]} -gt 0 ] || recordings=(tests/recordings/*.umbrec)
kept=()
for recording in "${recordings[@]}"; do
    if "$game" --replay "$recording" --verify >/dev/null 2>&1; then
        echo "unchanged: $recording"
        continue
    fi
    renewed="$(mktemp "${TMPDIR:-/tmp}/umbrane-rerecord-XXXXXX.umbrec")"
    if "$game" --replay "$recording" --rerecord "$renewed" >"$renewed.log" 2>&1 &&
        "$game" --replay "$renewed" --verify >>"$renewed.log" 2>&1; then
        cp "$renewed" "$recording"
        echo "renewed:   $recording"
    else
        echo "KEPT:      $recording ($(grep -v '^no new recording' "$renewed.log" | tail -n 1))"
        kept+=("$recording")
    fi
    rm -f "$renewed" "$renewed.log"
done
if [ ${#kept[@]} -gt 0 ]; then
    echo "play these anew (umbrane --seed N, then copy the session from savegame/recordings): ${kept[*]}"
    exit 1
fi
