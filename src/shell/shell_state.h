// The game shell's global state: preferences, built-in key bindings, the
// message table, the sound table, the measured sprite sheet sizes, the version
// and window title, and the flags of the main loop.
#pragma once
#include <array>
#include <cstdint>
#include <string>

// Settings that survive between runs ("config\preferences.xml").
struct Preferences {
    uint8_t fullscreen = 0;      // 1 = open the full screen at start-up
    int32_t message_delay = 0;   // carried through the file only
    uint8_t DDD_effects = 0;     // carried through the file only
    uint8_t fade_effect = 1;     // darken before the menu, map view fade
    std::string language = "English";
};

struct KeyBinding {
    std::string name;
    int32_t code = 0;  // DirectInput scan code
};

// Entries of the key binding table.
constexpr int KEY_BINDING_COUNT = 11;
constexpr int KEY_BINDING_TEST = 0, KEY_BINDING_ESCAPE = 2, KEY_BINDING_MOVE_UP = 3, KEY_BINDING_MOVE_DOWN = 4,
              KEY_BINDING_MOVE_LEFT = 5, KEY_BINDING_MOVE_RIGHT = 6;

// Message table: 56 texts, ids 1..53 used.
constexpr int MESSAGE_TABLE_SIZE = 56;
constexpr int MESSAGE_ID_FIRST = 1;
constexpr int MESSAGE_ID_LAST = 53;

// Sound table: 32 entries, 1..29 filled.
constexpr int SOUND_TABLE_SIZE = 32;
constexpr int SOUND_ENTRY_FIRST = 1;
constexpr int SOUND_ENTRY_LAST = 29;
struct SoundEntry {
    std::string name;
    int sound = 0;  // media layer sound number, 0 = none
};

// Fixed sprite numbers.
namespace sprite {
constexpr int character = 0, frame = 1, map_dark = 2, screen_dark = 3, abilities = 4, splash = 5, monster = 6,
              mouse_pointer = 7, blood = 8, screenshot = 9, powers = 10, cursor = 11, stars = 12, missiles = 13,
              light_first = 14, light_last = 20, items = 21, fx = 22;
}

// Columns and rows of a sprite sheet of 32 x 32 cells (measured after loading).
struct SheetSize {
    int columns = 0;
    int rows = 0;
};

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
    int8_t step_dx = 0;       // direction of the attempted step, -1..1
    int8_t step_dy = 0;
};

// Facing codes of the character.
namespace facing {
constexpr int up = 0, right = 1, down = 2, left = 3;
}

struct ShellState {
    std::string version = "0.1.0";
    std::string window_title = "Umbrane 0.1.0";
    Preferences preferences;
    std::array<KeyBinding, KEY_BINDING_COUNT> key_bindings;
    std::array<std::string, MESSAGE_TABLE_SIZE> messages;
    std::array<SoundEntry, SOUND_TABLE_SIZE> sounds;
    // Measured sheets (sprites 4, 6, 10, 13, 21, 22).
    SheetSize abilities_sheet, monster_sheet, powers_sheet, missiles_sheet, items_sheet, fx_sheet;
    MainLoopFlags loop;
};

extern ShellState g_shell;

// Back to the start-up contents (empty tables, default preferences).
void reset_shell_state();

// The text of message id (empty for ids outside the table).
const std::string& message_text(int id);
