#!/usr/bin/env bash
# Plays the shipped game with the bot over many seeds and prints the success
# rate, the turns of the games won and the causes of the failures.
#   scripts/bot.sh [FIRST-LAST] [umbrane_bot options, e.g. --careless]
# The seeds are shared among BOT_JOBS players at once (default: one per core).
set -euo pipefail
cd "$(dirname "$0")/.."
range=${1:-1-100}
shift || true
first=${range%-*}
last=${range#*-}
cmake -S . -B build -DUMBRANE_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target umbrane_bot >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
jobs=${BOT_JOBS:-$(nproc)}
for ((j = 0; j < jobs; j++)); do
    seeds=$(seq $((first + j)) "$jobs" "$last")
    [ -n "$seeds" ] && build/umbrane_bot --need 0 "$@" $seeds | grep '^seed' >"$out/$j" &
done
wait
sort -n -k2 "$out"/* | tee "$out/all"
awk '
    { ++games }
    /reached the bottom/ { ++won; turns += $7 }
    /failed/ { sub(/^[^:]*:[^:]*: /, ""); sub(/:.*/, ""); ++cause[$0] }
    END {
        printf "success rate: %d of %d seeds (%.0f %%)", won, games, games ? 100 * won / games : 0
        if (won) printf ", %d turns on average", turns / won
        printf "\n"
        for (c in cause) printf "  %s: %d\n", c, cause[c]
    }' "$out/all"
