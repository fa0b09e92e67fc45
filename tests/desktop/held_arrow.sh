#!/bin/bash
# Keys act when pressed, in a real window with real key events: seven taps of
# 0.1 s within 0.7 s walk exactly seven fields; an arrow held for 2 s walks
# until it is let go and stops with the step under way (the keyboard's own
# repeats of the held key are not saved up as taps). Then the session's
# recording replays with every save the same. Everything is judged by what the
# game saved, with waits that leave a busy machine seconds of room.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1"

game="$work/game"
make_game "$game"
(cd / && exec "$game/umbrane" --seed 5) >"$game.out" 2>"$game.err" &
game_pid=$!
for _ in $(seq 1 300); do
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
# The character's column in the saved game (Escape saves and shows the menu, Return continues).
saved_x() {
    rm -f "$game/savegame/character.xml"
    tap Escape 0
    for _ in $(seq 1 200); do
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
# One xdotool for all of them: a busy machine that delays starting the next
# program must not stretch a tap into a hold.
taps=()
for _ in 1 2 3 4 5 6 7; do taps+=(keydown --window "$window" Right sleep 0.1 keyup --window "$window" Right); done
xdotool "${taps[@]}" >/dev/null 2>&1
sleep 1
tapped_x="$(saved_x)"
[ "$tapped_x" = 9 ] || fail "seven taps walked from 2 to $tapped_x, not to 9"

# The arrow held for 3 s walks until it is let go; then only the step under way
# ends it. Judged by the saved field, never by the picture (the river's tiles
# are animated: the screen never stands still). The keyboard's repeats of the
# held key (about 60 in 3 s) saved up as taps would walk on for dozens of fields
# after the release; a step shows 15 pictures at 60 a second at most (0.25 s),
# so the hold walks at most one field per 0.2 s however fast the machine, and
# on a busy one fewer (but two).
started="$(date +%s%N)"
down Right
sleep 3
up Right
held_for="$(awk -v a="$(date +%s%N)" -v b="$started" 'BEGIN { printf "%.2f", (a - b) / 1e9 }')"
# Anything saved up would act now: wait, then save twice, with time between, from a
# standing character (Return continues the game, Escape saves again).
sleep 2
held_x="$(saved_x)"
sleep 1
again_x="$(saved_x)"
echo "held ${held_for} s: walked from $tapped_x to $held_x; after the release and a second save: $again_x"
[ "$held_x" -ge $((tapped_x + 2)) ] || fail "the held arrow walked only from $tapped_x to $held_x"
steps_bound="$(awk -v t="$held_for" 'BEGIN { printf "%d", t / 0.2 + 1 }')"
[ "$held_x" -le $((tapped_x + steps_bound)) ] ||
    fail "the held arrow walked from $tapped_x to $held_x: more than ${held_for} s of steps (repeats saved up as taps?)"
[ "$again_x" = "$held_x" ] || fail "the character walked on from $held_x to $again_x after the release"

tap Escape 1
tap Escape 1
wait_game_end 20 || fail "the game did not end"
[ "$game_status" -eq 0 ] || fail "the game ended with status $game_status"

# The session was recorded; its replay makes every save as the game did.
recording="$(ls "$game"/savegame/recordings/*.umbrec 2>/dev/null | head -n 1)"
[ -n "$recording" ] || fail "the session left no recording"
"$game/umbrane" --replay "$recording" --verify || fail "the recording of the session does not replay"
echo "desktop held arrow: ok"
exit 0
