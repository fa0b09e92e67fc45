#!/usr/bin/env bash
# Plays the shipped game with the bot over many seeds, as a careful and as a
# careless player, and prints per seed whether it reached the end (the last
# foe fallen; for the exploring player the first dungeon's bottom), the
# success rate, the median turns of the games won, the dungeons' bottoms
# entered and the causes of failure (by the level, counted down through the
# dungeons in their order).
#   scripts/bot.sh [N | FIRST-LAST] [umbrane_bot options]
# N alone means seeds 1-N (default 1-100). With --careless among the options
# only the careless player plays, with --explore only the exploring one (X, ">", clicks
# on finds and fighting); without either the exploring player plays after the other two. The seeds are shared among BOT_JOBS players
# at once (default: one per core); the players run under nice.
set -euo pipefail
cd "$(dirname "$0")/.."
range=${1:-100}
shift || true
case $range in
    *-*) first=${range%-*} last=${range#*-} ;;
    *) first=1 last=$range ;;
esac
cmake -S . -B build -DUMBRANE_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target umbrane_bot >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
jobs=${BOT_JOBS:-$(nproc)}

# play MODE-NAME OPTIONS...: all seeds in one mode, then its summary.
play() {
    local mode=$1
    shift
    for ((j = 0; j < jobs; j++)); do
        seeds=$(seq $((first + j)) "$jobs" "$last")
        [ -n "$seeds" ] && nice -n 10 build/umbrane_bot --need 0 "$@" $seeds | grep '^seed' >"$out/$mode.$j" &
    done
    wait
    echo "== $mode player, seeds $first-$last"
    sort -n -k2 "$out/$mode".* | tee "$out/$mode"
    local median
    median=$(awk '/reached the (end|bottom) in/ { print $7 }' "$out/$mode" | sort -n |
        awk '{ t[++n] = $1 } END { if (n) print n % 2 ? t[(n + 1) / 2] : int((t[n / 2] + t[n / 2 + 1]) / 2) }')
    awk -v mode="$mode" -v median="$median" '
        { ++games }
        /reached the (end|bottom) in/ { ++won }
        /reached the (end|bottom) in|, the bottom:/ { ++bottom }
        { for (i = 1; i < NF; ++i) if ($i == "bottoms") { b = $(i + 1); sub(/[:,]$/, "", b); if (b + 0 >= 1) ++b1; if (b + 0 >= 2) ++b2; if (b + 0 >= 3) ++b3 } }
        /failed/ { level = $9; sub(/[:,]$/, "", level); sub(/^[^:]*:[^:]*: /, ""); ++cause[$0 " (level " level ")"] }
        END {
            printf "%s success rate: %d of %d seeds (%.0f %%)", mode, won, games, games ? 100 * won / games : 0
            if (won) printf ", median %d turns", median
            printf "; the first dungeon'"'"'s bottom entered in %d; bottoms of the first, second, third dungeon: %d, %d, %d\n", bottom, b1, b2, b3
            for (c in cause) printf "  %s: %d\n", c, cause[c]
        }' "$out/$mode"
}

if [[ " $* " == *" --careless "* ]]; then
    play careless "$@"
elif [[ " $* " == *" --explore "* ]]; then
    play exploring "$@"
else
    play careful "$@"
    play careless --careless "$@"
    play exploring --explore "$@"
fi
