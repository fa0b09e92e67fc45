#!/bin/bash
# The real program in a real X window: it starts with the shipped data and
# opens its window; a copy with a broken preferences file ends at once with
# status 1 and the error line on standard error.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1" xwininfo

# 1. The game starts and opens its window.
make_game "$work/good"
start_game "$work/good"
# The start-up goes on after the window opened (sprites, databases): give it a
# moment, then it must still run without an error.
sleep 1.5
if [ -s "$work/good.err" ] && grep -q "^Error: " "$work/good.err"; then
    cat "$work/good.err"
    fail "the game reported a fatal error at start-up"
fi
if xwininfo -root -tree 2>/dev/null | grep -q '"Error": '; then fail "an Error message box is showing"; fi
kill -0 "$game_pid" 2>/dev/null || fail "the game ended by itself"
[ -d "$work/good/savegame" ] || fail "the savegame folder was not created"

# Escape ends the game; whatever happens, it is killed below.
xdotool windowactivate --sync "$window" >/dev/null 2>&1
xdotool key --window "$window" Escape >/dev/null 2>&1
for _ in $(seq 1 30); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
stop_game

# A broken copy of the game ends with status 1 and exactly one error line on
# standard error, after its "Error" message box was shown and answered. It runs
# with the machine's real sound set-up: whatever the sound libraries have to say
# (no sound card, say) must not reach standard error.
expect_fatal() {
    local folder="$1" expected="$2"
    (cd / && exec env -u SDL_AUDIODRIVER timeout 30 "$folder/umbrane") >"$folder.out" 2>"$folder.err" &
    game_pid=$!
    local box=""
    for _ in $(seq 1 300); do
        # The message box carries no window class, which xdotool's search needs.
        box="$(xwininfo -root -tree 2>/dev/null | awk '/"Error": /{print $1; exit}')"
        [ -n "$box" ] && break
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$box" ] || fail "$folder: no \"Error\" message box appeared"
    xdotool key --window "$box" Return >/dev/null 2>&1
    wait "$game_pid"
    local status=$?
    game_pid=""
    [ "$status" -eq 1 ] || fail "$folder: exit status $status, expected 1"
    local actual
    actual="$(cat "$folder.err")"
    if [ "$actual" != "$expected" ]; then
        echo "expected: $expected"
        echo "actual:   $actual"
        fail "$folder: wrong error output"
    fi
}

# 2. A broken preferences file: the error comes before any window opens.
make_game "$work/broken"
cat >"$work/broken/config/preferences.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Umbrane_Preferences Umbrane_version="0.1.0" fullscreen="no" volume="80" fade_effect="yes" language="English"/>
XML
expect_fatal "$work/broken" 'Error: load_preferences(): unknown attribute "volume" in preferences xml file "config\preferences.xml"'
[ -d "$work/broken/savegame" ] || fail "the savegame folder was not created before the error"

# 3. A missing sprite sheet: the error comes with the game's window open.
make_game "$work/nostars"
rm "$work/nostars/graphics/starsprites.png"
expect_fatal "$work/nostars" 'Error: load_sprites(): cannot star sprites!'

# 4. A desktop without the X core fonts that the message box draws with (a
#    server with nothing but its built-in fonts): no box can open, and the
#    game still ends at once with status 1 and the error line.
stop_xvfb
start_xvfb -fp built-ins
(cd / && exec env timeout 30 "$work/nostars/umbrane") >"$work/nostars.out" 2>"$work/nostars.err" &
game_pid=$!
wait_game_end 30 || fail "without X core fonts the game did not end (a message box waiting?)"
[ "$game_status" -eq 1 ] || fail "without X core fonts: exit status $game_status, expected 1"
actual="$(cat "$work/nostars.err")"
[ "$actual" = 'Error: load_sprites(): cannot star sprites!' ] || fail "without X core fonts: wrong error output: $actual"

echo "desktop start-up: ok"
exit 0
