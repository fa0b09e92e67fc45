#!/bin/bash
# The real program in a real X window: it starts with the shipped data and
# opens its window; a copy with a broken preferences file ends at once with
# status 1 and the error line on standard error.
set -u

executable="$1"
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "skipped: Xvfb is not installed"
    exit 0
fi
for tool in xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "FAIL: $tool is missing"
        exit 1
    fi
done

source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/umbrane-desktop-XXXXXX)"
xvfb_pid=""
game_pid=""

# Ends the game: TERM first, KILL when it does not go (a message box may hold it).
stop_game() {
    [ -n "$game_pid" ] || return 0
    kill "$game_pid" 2>/dev/null
    for _ in $(seq 1 20); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_pid=""
}

cleanup() {
    stop_game
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

# A game folder: the executable beside copies of the shipped data.
make_game() {
    local folder="$1"
    mkdir -p "$folder"
    cp "$executable" "$folder/umbrane"
    for data in config data graphics maps sound tilesets; do
        if [ -d "$source_dir/game/$data" ]; then cp -r "$source_dir/game/$data" "$folder/$data"; fi
    done
}

# Xvfb on a free display; the next one is tried when ours does not come up
# (another server may take a number between the look and the start).
started=""
for n in $(seq 90 140); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
        kill -0 "$xvfb_pid" 2>/dev/null || break
        xdotool getmouselocation >/dev/null 2>&1 && { started=yes; break; }
        sleep 0.1
    done
    # Connected, and still our own server (not one that won the number).
    if [ -n "$started" ] && kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    started=""
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
done
[ -n "$started" ] || fail "Xvfb did not start"
export SDL_AUDIODRIVER=dummy

# 1. The game starts and opens its window.
make_game "$work/good"
(cd / && exec "$work/good/umbrane") >"$work/good.out" 2>"$work/good.err" &
game_pid=$!
window=""
for _ in $(seq 1 100); do
    window="$(xdotool search --name "Umbrane 0.1.0" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$window" ]; then
    cat "$work/good.err"
    fail "no window named \"Umbrane 0.1.0\" appeared"
fi
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
# standard error, after its "Error" message box was shown and answered.
expect_fatal() {
    local folder="$1" expected="$2"
    (cd / && exec timeout 30 "$folder/umbrane") >"$folder.out" 2>"$folder.err" &
    game_pid=$!
    local box=""
    for _ in $(seq 1 100); do
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

echo "desktop start-up: ok"
exit 0
