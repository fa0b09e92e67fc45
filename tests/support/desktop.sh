# Shared by the desktop tests (sourced, not run): the real program in a real X
# window under Xvfb. Sets work, game_pid, xvfb_pid; cleans up on exit.
# Usage: desktop_begin EXECUTABLE TOOL... (skips the test when Xvfb is missing).

desktop_begin() {
    executable="$1"
    shift
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "skipped: Xvfb is not installed"
        exit 0
    fi
    local tool
    for tool in xdotool "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing"; exit 1; }
    done
    source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
    work="$(mktemp -d /tmp/umbrane-desktop-XXXXXX)"
    xvfb_pid=""
    game_pid=""
    trap desktop_cleanup EXIT
    start_xvfb
    export SDL_AUDIODRIVER=dummy
}

fail() {
    echo "FAIL: $*"
    exit 1
}

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

# Waits up to SECONDS (default 20: a busy machine's save takes its time) for
# FILE to exist and not be empty; returns 1 when it still does not.
await_file() {
    local file="$1" seconds="${2:-20}"
    for _ in $(seq 1 $((seconds * 10))); do
        [ -s "$file" ] && return 0
        sleep 0.1
    done
    return 1
}

# Waits up to SECONDS for the game to end by itself and sets game_status;
# fails (returns 1) when it still runs.
wait_game_end() {
    local seconds="$1"
    game_status=""
    for _ in $(seq 1 $((seconds * 10))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && return 1
    wait "$game_pid"
    game_status=$?
    game_pid=""
}

stop_xvfb() {
    [ -n "$xvfb_pid" ] || return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}

desktop_cleanup() {
    stop_game
    stop_xvfb
    rm -rf "$work"
}

# Xvfb on a display it picks itself (-displayfd), so tests running side by side
# never share or steal one another's display. -noreset: a server that resets
# when its last client leaves refuses the connections made meanwhile (a game
# started right after another one ended could not open its window). Further
# arguments go to Xvfb.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 300); do
        [ -s "$work/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    export DISPLAY=":$(head -n 1 "$work/display")"
    for _ in $(seq 1 200); do
        xdotool getmouselocation >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "Xvfb did not answer on $DISPLAY"
}

# A game folder: the executable beside copies of the shipped data, no saved game.
make_game() {
    local folder="$1" data
    mkdir -p "$folder"
    cp "$executable" "$folder/umbrane"
    for data in config data graphics maps sound tilesets; do
        if [ -d "$source_dir/game/$data" ]; then cp -r "$source_dir/game/$data" "$folder/$data"; fi
    done
}

# Starts the game of a folder and waits for its window; sets game_pid and window.
start_game() {
    local folder="$1"
    (cd / && exec "$folder/umbrane") >"$folder.out" 2>"$folder.err" &
    game_pid=$!
    window=""
    for _ in $(seq 1 300); do
        window="$(xdotool search --name "Umbrane 0.1.0" 2>/dev/null | head -n 1)"
        [ -n "$window" ] && return 0
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$folder.err"
    fail "no window named \"Umbrane 0.1.0\" appeared"
}
