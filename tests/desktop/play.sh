#!/bin/bash
# The real program in a real X window, played with real key events: a new
# game, a few steps, Escape back to the menu, quit. Checks the files the game
# wrote and reports how busy the idle game keeps the processor.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1" xprop

# Processor use of the game in percent of one core over the next few seconds.
cpu_percent() {
    local seconds="$1"
    local tick before after
    tick="$(getconf CLK_TCK)"
    before="$(awk '{print $14 + $15}' "/proc/$game_pid/stat")"
    sleep "$seconds"
    after="$(awk '{print $14 + $15}' "/proc/$game_pid/stat")"
    echo $(( (after - before) * 100 / (tick * seconds) ))
}

# The executable beside copies of the shipped data, without any saved game.
game="$work/game"
make_game "$game"
start_game "$game"
xdotool windowactivate --sync "$window" >/dev/null 2>&1
sleep 1
# The window carries the game's icon (graphics/icon.png) for the window system.
xprop -id "$window" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (48 x 48)' || fail "the window has no 48 x 48 icon"

press() { xdotool key --window "$window" "$1" >/dev/null 2>&1; sleep 0.5; }
hold_key() {
    xdotool keydown --window "$window" "$1" >/dev/null 2>&1
    sleep "$2"
    xdotool keyup --window "$window" "$1" >/dev/null 2>&1
    sleep 0.5
}

menu_cpu="$(cpu_percent 2)"

# No saved game: the menu's first entry is "new game"; the new character's
# three picks go to the first ability of the advancement screen (strength).
press Return
[ -s "$game/savegame/character.xml" ] && fail "the new game was saved before the advancement screen"
for _ in 1 2 3; do hold_key Return 0.1; done
await_file "$game/savegame/character.xml" || fail "a new game saved no character"
grep -q '<ability id="2"[^>]*attribute_max_value="6"' "$game/savegame/character.xml" ||
    fail "the three picks did not raise strength to 6"
hold_key Down 0.4
hold_key Right 0.4
map_cpu="$(cpu_percent 2)"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended during play"

# Escape: the game is saved and the menu returns; Escape there quits.
rm -f "$game/savegame/character.xml" "$game/savegame/map_start.xml"
press Escape
await_file "$game/savegame/character.xml" || fail "Escape saved no savegame/character.xml"
[ -s "$game/savegame/map_start.xml" ] || fail "Escape saved no savegame/map_start.xml"
[ -s "$game/savegame/screenshot.jpg" ] || fail "Escape saved no savegame/screenshot.jpg"
grep -q 'map_filename="map_start.xml"' "$game/savegame/character.xml" || fail "the character is not on the start map"
grep -q 'xpos="2"' "$game/savegame/character.xml" && fail "the character did not walk"
press Escape
wait_game_end 20 || fail "Escape in the menu did not end the game"
[ "$game_status" -eq 0 ] || fail "the game ended with status $game_status"

echo "idle processor use: menu ${menu_cpu}% of a core, map ${map_cpu}% of a core"
[ "$menu_cpu" -le 50 ] || fail "the idle menu keeps the processor busy (${menu_cpu}%)"
[ "$map_cpu" -le 50 ] || fail "the idle game keeps the processor busy (${map_cpu}%)"
echo "desktop play: ok"
exit 0
