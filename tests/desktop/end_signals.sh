#!/bin/bash
# Every way to end saves: a closed terminal (SIGHUP), the terminal's quit key
# (SIGQUIT), SIGTERM and SIGINT, and the X server going away end the game as
# Escape would save it: the steps walked since the last save are in the
# savegame afterwards.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1"

game="$work/game"
make_game "$game"
for ending in HUP QUIT TERM INT display; do
    [ -n "$xvfb_pid" ] || start_xvfb
    rm -rf "$game/savegame"
    start_game "$game"
    sleep 1
    # No saved game: Return starts a new one; the three picks follow.
    for _ in 1 2 3 4; do
        xdotool keydown --window "$window" Return keyup --window "$window" Return >/dev/null 2>&1
        sleep 0.4
    done
    await_file "$game/savegame/character.xml" || fail "$ending: the new game saved no character"
    started="$(grep -o 'ypos="[0-9]*"' "$game/savegame/character.xml")"
    # The game has read a key once its recording (written as it reads input, at
    # least every second) grows after it: a busy machine may take seconds to
    # come to the keys, and an end asked before would be taken first. A step
    # read is a step taken before the end is looked at.
    recorded="$(ls "$game"/savegame/recordings/*.umbrec 2>/dev/null | head -n 1)"
    [ -n "$recorded" ] || fail "$ending: the session is not recorded"
    size="$(stat -c %s "$recorded")"
    # Down from the start field: a step the new game's save does not hold.
    for _ in 1 2; do
        xdotool keydown --window "$window" Down >/dev/null 2>&1
        sleep 0.1
        xdotool keyup --window "$window" Down >/dev/null 2>&1
        sleep 0.5
    done
    for _ in $(seq 1 200); do
        [ "$(stat -c %s "$recorded")" -gt "$size" ] && break
        sleep 0.1
    done
    if [ "$ending" = display ]; then
        stop_xvfb
    else
        kill -s "$ending" "$game_pid"
    fi
    wait_game_end 10 || fail "$ending: the game still runs 10 s later"
    grep -q "</character>\|/>" "$game/savegame/character.xml" || fail "$ending: the saved character was damaged"
    now="$(grep -o 'ypos="[0-9]*"' "$game/savegame/character.xml")"
    [ "$now" != "$started" ] || fail "$ending: the steps since the new game were not saved ($now): $(cat "$game.err")"
done
echo "desktop end signals: ok"
exit 0
