#!/bin/bash
# The X server goes away under the game (the session ends, the server dies):
# the game ends at once with status 1 and Xlib's word on standard error, in
# the menu, in play and while an arrow is held, and the savegame it wrote
# before still reads. It must never wait on the dead connection for ever.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1"

game="$work/game"
make_game "$game"
round=0
for moment in menu play walking; do
    round=$((round + 1))
    [ "$round" -eq 1 ] || start_xvfb
    rm -rf "$game/savegame"
    start_game "$game"
    sleep 1
    if [ "$moment" != menu ]; then
        # No saved game: Return starts a new one; the three picks follow.
        for _ in 1 2 3 4; do
            xdotool keydown --window "$window" Return keyup --window "$window" Return >/dev/null 2>&1
            sleep 0.4
        done
        await_file "$game/savegame/character.xml" || fail "$moment: the new game saved no character"
    fi
    [ "$moment" = walking ] && xdotool keydown --window "$window" Right >/dev/null 2>&1 && sleep 0.3
    stop_xvfb
    wait_game_end 20 || fail "$moment: the game still runs 20 s after the X server went away"
    [ "$game_status" -eq 1 ] || fail "$moment: exit status $game_status, expected 1"
    # Xlib words the loss by what the failed call met: a broken connection,
    # or (when the server went while a read was under way) a fatal IO error.
    grep -Eq "X connection to .* broken|XIO: +fatal IO error" "$game.err" || fail "$moment: no word of the lost display: $(cat "$game.err")"
    if [ "$moment" != menu ]; then
        grep -q "</character>" "$game/savegame/character.xml" || fail "$moment: the saved character was damaged"
    fi
done
echo "desktop display lost: ok"
exit 0
