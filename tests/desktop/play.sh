#!/bin/bash
# The real program in a real X window, played with real key events: a new
# game, a few steps, Escape back to the menu, quit. Checks the files the game
# wrote and reports how busy the idle game keeps the processor.
set -u

executable="$1"
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "skipped: Xvfb is not installed"
    exit 0
fi
command -v xdotool >/dev/null 2>&1 || { echo "FAIL: xdotool is missing"; exit 1; }

source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/umbrane-play-XXXXXX)"
xvfb_pid=""
game_pid=""

cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$work/game.err" ] && cat "$work/game.err"
    exit 1
}

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
mkdir -p "$game"
cp "$executable" "$game/umbrane"
for data in config data graphics maps sound tilesets; do
    [ -d "$source_dir/game/$data" ] && cp -r "$source_dir/game/$data" "$game/$data"
done
rm -rf "$game/savegame"

# Xvfb on a free display; another one is tried when it does not come up.
started=""
for n in $(seq 141 190); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
        kill -0 "$xvfb_pid" 2>/dev/null || break
        xdotool getmouselocation >/dev/null 2>&1 && { started=yes; break; }
        sleep 0.1
    done
    [ -n "$started" ] && break
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
done
[ -n "$started" ] || fail "Xvfb did not start"
export SDL_AUDIODRIVER=dummy

(cd / && exec "$game/umbrane") >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
window=""
for _ in $(seq 1 100); do
    window="$(xdotool search --name "Umbrane 0.1.0" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$window" ] || fail "no window named \"Umbrane 0.1.0\" appeared"
xdotool windowactivate --sync "$window" >/dev/null 2>&1
sleep 1

press() { xdotool key --window "$window" "$1" >/dev/null 2>&1; sleep 0.5; }
hold_key() {
    xdotool keydown --window "$window" "$1" >/dev/null 2>&1
    sleep "$2"
    xdotool keyup --window "$window" "$1" >/dev/null 2>&1
    sleep 0.5
}

menu_cpu="$(cpu_percent 5)"

# No saved game: the menu's first entry is "new game".
press Return
[ -s "$game/savegame/character.xml" ] || fail "a new game saved no character"
hold_key Down 0.4
hold_key Right 0.4
map_cpu="$(cpu_percent 5)"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended during play"

# Escape: the game is saved and the menu returns; Escape there quits.
rm -f "$game/savegame/character.xml" "$game/savegame/map_start.xml"
press Escape
[ -s "$game/savegame/character.xml" ] || fail "Escape saved no savegame/character.xml"
[ -s "$game/savegame/map_start.xml" ] || fail "Escape saved no savegame/map_start.xml"
[ -s "$game/savegame/screenshot.jpg" ] || fail "Escape saved no savegame/screenshot.jpg"
grep -q 'map_filename="map_start.xml"' "$game/savegame/character.xml" || fail "the character is not on the start map"
grep -q 'xpos="2"' "$game/savegame/character.xml" && fail "the character did not walk"
press Escape
for _ in $(seq 1 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "Escape in the menu did not end the game"
wait "$game_pid"
status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game ended with status $status"

echo "idle processor use: menu ${menu_cpu}% of a core, map ${map_cpu}% of a core"
[ "$menu_cpu" -le 50 ] || fail "the idle menu keeps the processor busy (${menu_cpu}%)"
[ "$map_cpu" -le 50 ] || fail "the idle game keeps the processor busy (${map_cpu}%)"
echo "desktop play: ok"
exit 0
