#!/bin/bash
# The main menu driven by real key events in a real X window, in every state it
# can be in: fresh at start-up, back from the game after Escape, and right
# after a switch of the screen mode (to full screen and back). Once by taps (a
# key pressed and released in the same instant, as input tools and remote
# desktops send them; several in one go), once by held presses. The keys go to
# whichever window has the keyboard, as a player's do, so they follow the game
# through its screen switches.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1"

game="$work/game"
make_game "$game"
prefs="$game/config/preferences.xml"
character="$game/savegame/character.xml"
screenshot="$game/savegame/screenshot.jpg"

# Taps: all keys of one call go out at once, chords as "alt+Return".
tap() { xdotool key --delay 12 "$@" >/dev/null 2>&1; sleep 0.4; }
# A held press: keydown and keyup as separate steps ("down:alt", "sleep:0.5", "up:alt").
press() {
    local step
    for step in "$@"; do
        case "$step" in
        down:*) xdotool keydown "${step#down:}" >/dev/null 2>&1 ;;
        up:*) xdotool keyup "${step#up:}" >/dev/null 2>&1 ;;
        sleep:*) sleep "${step#sleep:}" ;;
        esac
    done
    sleep 0.4
}
screen_mode() { grep -o 'fullscreen="[a-z]*"' "$prefs" | cut -d'"' -f2; }

# Waits until the game shows the screen mode (yes or no) and its window has the
# keyboard; a switch the other way and back again would show as no switch.
expect_screen() {
    local mode="$1" what="$2" focus
    for _ in $(seq 1 50); do
        focus="$(xdotool getwindowfocus getwindowname 2>/dev/null)"
        [ "$(screen_mode)" = "$mode" ] && [ "$focus" = "Umbrane 0.1.0" ] && { sleep 0.2; return 0; }
        sleep 0.1
    done
    fail "$what: the screen mode is \"$(screen_mode)\", expected \"$mode\""
}
# Waits until a file is newer than the marker file.
expect_written() {
    local file="$1" what="$2"
    for _ in $(seq 1 50); do
        [ -s "$file" ] && [ "$file" -nt "$work/marker" ] && return 0
        sleep 0.1
    done
    fail "$what: $(basename "$file") was not written"
}
mark() { touch -d '-1 minute' "$work/marker"; touch -d '-2 minutes' "$game"/savegame/* 2>/dev/null; }
expect_quit() {
    local what="$1"
    wait_game_end 5 || fail "$what: the game did not end (no longer in the menu?)"
    [ "$game_status" -eq 0 ] || fail "$what: the game ended with status $game_status"
}
start() {
    mark
    start_game "$game"
    sleep 1
}

# 1. Fresh menu, windowed, no saved game ("New game", "Quit"): a tapped
#    Alt+Return switches to full screen and chooses nothing; there, taps typed
#    in one go each move once: Down, Down, Up (on "Quit") and Return quits.
sed -i 's/fullscreen="yes"/fullscreen="no"/' "$prefs"
start
tap alt+Return
expect_screen yes "Alt+Return tapped in the fresh menu"
tap Down Down Up Return
expect_quit "Down Down Up Return after the switch"
[ -e "$character" ] && fail "a game was started from the menu"

# 2. Started in full screen: back to the window, a new game, a step, Escape
#    back to the menu; there the first tapped Alt+Return switches at once, and
#    Escape right after the switch quits.
start
tap alt+Return
expect_screen no "Alt+Return tapped in the full-screen menu"
tap Return
expect_written "$character" "Return tapped after the switch to the window"
tap Right
mark
tap Escape
expect_written "$screenshot" "Escape tapped in the game"
grep -q 'xpos="3" ypos="4"' "$character" || fail "the tapped step to the right was not saved: $(cat "$character")"
tap alt+Return
expect_screen yes "the first Alt+Return tapped after Escape from the game"
tap Escape
expect_quit "Escape tapped right after the switch to full screen"

# 3. Held presses in full screen with the saved game ("Continue", "New game",
#    "Quit"): Alt+Return held long with Alt let go first switches once and
#    chooses nothing; Down, Up, Return continue the game; Escape held saves
#    and returns; Alt+Return held with Return let go first switches once;
#    Escape quits.
start
press down:alt down:Return sleep:1.0 up:alt sleep:0.5 up:Return
expect_screen no "Alt+Return held in the full-screen menu"
press down:Down sleep:0.3 up:Down
press down:Up sleep:0.3 up:Up
press down:Return sleep:0.3 up:Return
mark
press down:Escape sleep:0.3 up:Escape
expect_written "$screenshot" "Escape held in the continued game"
grep -q 'xpos="3" ypos="4"' "$character" || fail "the saved game was not continued: $(cat "$character")"
press down:alt down:Return sleep:1.0 up:Return sleep:0.3 up:alt
expect_screen yes "Alt+Return held in the menu after the game"
press down:Escape sleep:0.3 up:Escape
expect_quit "Escape held after the switch to full screen"
[ -s "$character" ] || fail "the saved game is gone"

echo "desktop menu keys: ok"
exit 0
