// The game shell's own state: the flags of the main loop.
#pragma once
#include <cstdint>

// State of the main loop (all reset at start-up step 8).
struct MainLoopFlags {
    uint8_t quit = 0;         // 1 ends the main loop
    uint8_t redraw = 0;       // redraw the whole screen at the end of this pass
    uint8_t moved = 0;        // the character stepped onto a new field in this pass
    uint8_t overlay = 0;      // a full-screen overlay is showing; blocks moving and actions
    uint8_t turn_ended = 0;   // the player's turn is over
    uint8_t menu = 0;         // show the main menu at the start of the next pass
    uint8_t action_lock = 0;  // an action key was handled; wait for a key release
    uint8_t burnt_out = 0;    // an equipped item ran out of fuel in this turn
    uint8_t blocked = 0;      // the attempted step did not happen
};

// Facing codes of the character.
namespace facing {
constexpr int up = 0, right = 1, down = 2, left = 3;
}

struct ShellState {
    MainLoopFlags loop;
    uint32_t turns_ended = 0;  // turns played since start-up
};

extern ShellState g_shell;

void reset_shell_state();
