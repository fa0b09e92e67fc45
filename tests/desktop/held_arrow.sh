#!/bin/bash
# Keys act when pressed, in a real window with real key events: seven taps of
# 0.1 s within 0.7 s walk exactly seven fields; an arrow held for 2 s walks
# until it is let go and stops with the step under way (the keyboard's own
# repeats of the held key are not saved up as taps). Then the session's
# recording replays with every save the same.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1" xwd md5sum

game="$work/game"
make_game "$game"
(cd / && exec "$game/umbrane" --seed 5) >"$game.out" 2>"$game.err" &
game_pid=$!
for _ in $(seq 1 100); do
    window="$(xdotool search --name "Umbrane 0.1.0" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no game window"
xdotool windowactivate --sync "$window" >/dev/null 2>&1
sleep 1

down() { xdotool keydown --window "$window" "$1" >/dev/null 2>&1; }
up() { xdotool keyup --window "$window" "$1" >/dev/null 2>&1; }
tap() { down "$1"; sleep 0.1; up "$1"; sleep "${2:-0.4}"; }
picture() { xwd -root -silent | md5sum; }
# The character's column in the saved game (Escape saves and shows the menu, Return continues).
saved_x() {
    rm -f "$game/savegame/character.xml"
    tap Escape 0
    for _ in $(seq 1 50); do
        [ -s "$game/savegame/character.xml" ] && break
        sleep 0.1
    done
    grep -o 'xpos="[0-9]*"' "$game/savegame/character.xml" | grep -o '[0-9]*'
    tap Return 0.5
}

# A new game on the start map; the three picks.
tap Return 0.8
for _ in 1 2 3; do tap Return; done
sleep 0.5
# Seven taps within 0.7 s along the path: seven fields.
for _ in 1 2 3 4 5 6 7; do tap Right 0; done
sleep 1
tapped_x="$(saved_x)"
[ "$tapped_x" = 9 ] || fail "seven taps walked from 2 to $tapped_x, not to 9"

# The arrow held for 2 s: the picture stops changing within about one step of the release.
down Right
# While it walks the picture changes (the watch below sees pictures).
changes=0
before="$(picture)"
end=$(( $(date +%s%N) + 2000000000 ))
while [ "$(date +%s%N)" -lt "$end" ]; do
    now="$(picture)"
    [ "$now" != "$before" ] && changes=$((changes + 1))
    before="$now"
    sleep 0.05
done
up Right
released="$(date +%s%N)"
last="$(picture)"
last_change="$released"
for _ in $(seq 1 40); do
    sleep 0.05
    now="$(picture)"
    if [ "$now" != "$last" ]; then
        last="$now"
        last_change="$(date +%s%N)"
    fi
done
walked_on="$(awk -v a="$last_change" -v b="$released" 'BEGIN { printf "%.2f", (a - b) / 1e9 }')"
held_x="$(saved_x)"
echo "held 2 s: walked from $tapped_x to $held_x (the picture changed $changes times); it changed for ${walked_on} s after the release"
[ "$changes" -gt 2 ] || fail "the picture did not change while the arrow was held"
[ "$held_x" -gt $((tapped_x + 2)) ] || fail "the held arrow walked only from $tapped_x to $held_x"
[ "$held_x" -le $((tapped_x + 10)) ] || fail "the held arrow walked from $tapped_x to $held_x: more than 2 s of steps"
# At most the step under way: about one step's time (as the hold measured it: on a busy machine
# a step takes longer, and the last one may be starved more) with a margin. Repeats of the held
# key saved up as taps would walk on for seconds.
awk -v t="$walked_on" -v steps=$((held_x - tapped_x)) 'BEGIN { exit !(t < 2 * 2.0 / steps + 1.0) }' ||
    fail "the character walked on for ${walked_on} s after the release"

tap Escape 1
tap Escape 1
wait_game_end 5 || fail "the game did not end"
[ "$game_status" -eq 0 ] || fail "the game ended with status $game_status"

# The session was recorded; its replay makes every save as the game did.
recording="$(ls "$game"/savegame/recordings/*.umbrec 2>/dev/null | head -n 1)"
[ -n "$recording" ] || fail "the session left no recording"
"$game/umbrane" --replay "$recording" --verify || fail "the recording of the session does not replay"
echo "desktop held arrow: ok"
exit 0
