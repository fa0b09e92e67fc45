#!/bin/bash
# The main menu driven by real key events in every state it can be in: fresh,
# back from the game after Escape, right after a switch to full screen and back.
# Once by taps (pressed and released in the same instant, as input tools and
# remote desktops send them, several in one go), once by held presses. The keys
# go to whichever window has the keyboard, as a player's do.
set -u

source "$(dirname "$0")/../support/desktop.sh"
desktop_begin "$1"

game="$work/game"
make_game "$game"
character="$game/savegame/character.xml"
screenshot="$game/savegame/screenshot.jpg"

tap() { xdotool key "$@" >/dev/null 2>&1; sleep 0.4; }
# Held presses: "alt:0.5" goes down and waits, "-alt" lets go, "0.5" waits.
# One xdotool for the whole press: a busy machine that is slow to start the
# next program must not stretch a hold into the keyboard's repeats.
press() {
    local step chain=()
    for step in "$@"; do
        case "$step" in
        -*) chain+=(keyup "${step#-}") ;;
        *:*) chain+=(keydown "${step%:*}" sleep "${step#*:}") ;;
        *) chain+=(sleep "$step") ;;
        esac
    done
    xdotool "${chain[@]}" >/dev/null 2>&1
    sleep 0.4
}
# The screen mode the game saved, once its window has the keyboard.
expect_screen() {
    for _ in $(seq 1 200); do
        grep -q "fullscreen=\"$1\"" "$game/config/preferences.xml" &&
            [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "Umbrane 0.1.0" ] && { sleep 0.2; return 0; }
        sleep 0.1
    done
    local running=no
    kill -0 "$game_pid" 2>/dev/null && running=yes
    fail "$2: the screen mode is not \"$1\" (saved: $(grep -o 'fullscreen="[a-z]*"' "$game/config/preferences.xml"), focus: \"$(xdotool getwindowfocus getwindowname 2>/dev/null)\", game running: $running; $(cat "$game.err"))"
}
expect_written() {
    for _ in $(seq 1 200); do
        [ "$1" -nt "$work/marker" ] && return 0
        sleep 0.1
    done
    fail "$2: $(basename "$1") was not written"
}
# Files written from now on are newer than the marker.
mark() { touch -d '-1 minute' "$work/marker"; touch -d '-2 minutes' "$game"/savegame/* 2>/dev/null; }
expect_quit() {
    wait_game_end 20 || fail "$1: the game did not end (not in the menu?)"
    [ "$game_status" -eq 0 ] || fail "$1: the game ended with status $game_status"
}

# 1. Fresh menu without a saved game ("New game", "Quit"): a tapped Alt+Return
#    switches to full screen and chooses nothing; there Down, Down, Up (on
#    "Quit") and Return typed in one go quit.
start_game "$game"
sleep 1
tap alt+Return
expect_screen yes "Alt+Return tapped in the fresh menu"
tap Down Down Up Return
expect_quit "Down Down Up Return after the switch"
[ -e "$character" ] && fail "a game was started from the menu"

# 2. From full screen back to the window, a new game (its three picks typed in
#    one go), a step, Escape to the menu; there the first Alt+Return switches,
#    and Escape right after quits.
start_game "$game"
sleep 1
tap alt+Return
expect_screen no "Alt+Return tapped in the full-screen menu"
mark
tap Return
tap Return Return Return
expect_written "$character" "a new game after the switch"
grep -q '<ability id="2"[^>]*attribute_max_value="6"' "$character" || fail "not all three picks were taken"
tap Right
mark
tap Escape
expect_written "$screenshot" "Escape tapped in the game"
grep -q 'xpos="3" ypos="4"' "$character" || fail "the step was not saved: $(cat "$character")"
tap alt+Return
expect_screen yes "the first Alt+Return after Escape from the game"
tap Escape
expect_quit "Escape tapped right after the switch"

# 3. Held presses with the saved game ("Continue", "New game", "Quit"):
#    Alt+Return held with Alt let go first switches once and chooses nothing;
#    Down, Up, Return continue; Escape saves and returns; Alt+Return held with
#    Return let go first switches once; Escape quits.
start_game "$game"
sleep 1
press alt:0.05 Return:1.0 -alt 0.5 -Return
expect_screen no "Alt+Return held in the full-screen menu"
press Down:0.3 -Down Up:0.3 -Up Return:0.3 -Return
mark
press Escape:0.3 -Escape
expect_written "$screenshot" "Escape held in the continued game"
grep -q 'xpos="3" ypos="4"' "$character" || fail "the saved game was not continued: $(cat "$character")"
press alt:0.05 Return:1.0 -Return 0.3 -alt
expect_screen yes "Alt+Return held in the menu after the game"
press Escape:0.3 -Escape
expect_quit "Escape held after the switch"

echo "desktop menu keys: ok"
exit 0
