#!/bin/bash
# New game keeps the saved game until the new character's first save: the real
# program killed (SIGKILL) in the menu after New game was chosen, on the
# advancement screen, or after Escape left it, finds the old game whole and
# offered by Continue at the next start; after the first save only the new game
# is there, without the old game's visited maps.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1"

game="$work/game"
make_game "$game"
press() {
    xdotool keydown --window "$window" "$1" keyup --window "$window" "$1" >/dev/null 2>&1
    sleep 0.4
}

# The old game: a new one saved, one step down, Escape saves; a visited map of a game long ago beside it.
start_game "$game"
sleep 1
for _ in 1 2 3 4; do press Return; done
press Down
press Escape
sleep 0.5
stop_game
[ -s "$game/savegame/character.xml" ] || fail "no old game was saved"
cp "$game/savegame/map_start.xml" "$game/savegame/old_cave_1.xml"
printf 'old_cave_1.xml\n' >>"$game/savegame/saved_files.list"
old="$(cat "$game/savegame/character.xml")"

for moment in chosen picks; do
    start_game "$game"
    sleep 1
    # The menu's first entry is Continue: Down to New game, Return chooses it.
    press Down
    press Return
    [ "$moment" = picks ] && press Return  # one pick made of three
    kill -9 "$game_pid"
    wait "$game_pid" 2>/dev/null
    game_pid=""
    [ "$(cat "$game/savegame/character.xml")" = "$old" ] || fail "$moment: the old game's character changed"
    [ -s "$game/savegame/old_cave_1.xml" ] || fail "$moment: the old game's visited map is gone"
done

# The new game's first save replaces the old game.
start_game "$game"
sleep 1
press Down
for _ in 1 2 3 4; do press Return; done
sleep 0.5
stop_game
[ "$(cat "$game/savegame/character.xml")" != "$old" ] || fail "the new game was not saved"
[ ! -e "$game/savegame/old_cave_1.xml" ] || fail "the old game's visited map stayed with the new game"
echo "desktop new game kill: ok"
exit 0
