#!/usr/bin/env bash
# Plays the shipped game with the bot over many seeds, as a careful and as a
# careless player, and prints per seed whether it reached the bottom, the
# success rate, the median turns of the games won and the causes of failure.
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
    median=$(awk '/reached the bottom/ { print $7 }' "$out/$mode" | sort -n |
        awk '{ t[++n] = $1 } END { if (n) print n % 2 ? t[(n + 1) / 2] : int((t[n / 2] + t[n / 2 + 1]) / 2) }')
    awk -v mode="$mode" -v median="$median" '
        { ++games }
        /reached the bottom/ { ++won }
        /reached the bottom|, the bottom:/ { ++bottom }
        /failed/ { level = $9; sub(/[:,]$/, "", level); sub(/^[^:]*:[^:]*: /, ""); ++cause[$0 " (level " level ")"] }
        END {
            printf "%s success rate: %d of %d seeds (%.0f %%)", mode, won, games, games ? 100 * won / games : 0
            if (won) printf ", median %d turns", median
            printf "; the bottom level entered in %d\n", bottom
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
