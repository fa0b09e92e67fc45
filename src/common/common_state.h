// The tables every subsystem reads beside the databases: the version and the
// window title, the preferences with the built-in key bindings, the message
// table, the sound table, the fixed sprite numbers with the measured sheet
// sizes, and the status message of the bottom band.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/media.h"

#ifndef UMBRANE_VERSION
#error "The build defines UMBRANE_VERSION, the one place the version is written."
#endif

// Settings that survive between runs ("config\preferences.xml").
struct Preferences {
    uint8_t fullscreen = 0;      // 1 = open the full screen at start-up
    int32_t message_delay = 0;   // carried through the file only
    uint8_t DDD_effects = 0;     // carried through the file only
    uint8_t fade_effect = 1;     // darken before the menu, map view fade
    std::string language = "English";
    int16_t window_scale = 0;    // the window's size in whole factors of 640 x 480; 0 = as the desktop allows
    int16_t sound_volume = 100;  // of every sound, in percent (0..100)
    uint8_t sound_mute = 0;      // 1 = no sound at all
};

struct KeyBinding {
    std::string name;
    int32_t code = 0;  // DirectInput scan code
};

// Entries of the key binding table.
constexpr int KEY_BINDING_COUNT = 11;
constexpr int KEY_BINDING_TEST = 0, KEY_BINDING_ESCAPE = 2, KEY_BINDING_MOVE_UP = 3, KEY_BINDING_MOVE_DOWN = 4,
              KEY_BINDING_MOVE_LEFT = 5, KEY_BINDING_MOVE_RIGHT = 6;

// Message table: ids 1..53 are the game's first texts; ids 100..639 are the
// texts added since (fight reports, help, map, ...), named in
// common/message_ids.h. Ids 54..99 stay unused, and wrong in a messages file.
constexpr int MESSAGE_TABLE_SIZE = 640;
constexpr int MESSAGE_ID_FIRST = 1;
constexpr int MESSAGE_ID_LAST = 53;
constexpr int MESSAGE_ADDED_FIRST = 100;
constexpr int MESSAGE_ADDED_LAST = 639;
// True for the ids a messages file may carry.
constexpr bool valid_message_id(long long id) {
    return (id >= MESSAGE_ID_FIRST && id <= MESSAGE_ID_LAST) || (id >= MESSAGE_ADDED_FIRST && id <= MESSAGE_ADDED_LAST);
}

// Sound table: the files of sound\ by name fill entries 1..125 (the first
// game had room for 29; a game with more sounds lost the rest in silence).
constexpr int SOUND_TABLE_SIZE = 128;
constexpr int SOUND_ENTRY_FIRST = 1;
constexpr int SOUND_ENTRY_LAST = 125;
struct SoundEntry {
    std::string name;
    int sound = 0;  // media layer sound number, 0 = none
};

// The sounds the game plays itself, beside those the data files name: the sound
// folder needs a file of each name.
namespace sound_name {
inline constexpr const char* hit = "hit";
inline constexpr const char* evasion = "evasion";
inline constexpr const char* oh_no = "oh_no";
inline constexpr const char* deathcry = "deathcry";
inline constexpr const char* failure = "failure";
inline constexpr const char* all[] = {hit, evasion, oh_no, deathcry, failure};
}  // namespace sound_name

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

// Icon kinds of a status message: which sheet its icon number refers to.
namespace icon_kind {
constexpr int tile = 0, item = 1, power = 2, monster = 3, ability = 4;
}

// The message shown in the bottom band for a while.
struct StatusMessage {
    Colour colour = RGB(255, 255, 255);
    std::string text;
    std::string second_text;
    int16_t icon_number = -1;  // below 0: no icon
    uint8_t icon_kind = 0;     // see icon_kind
    uint32_t time_stamp = 0;   // tick when it was set
    uint32_t duration = 0;     // milliseconds it stays visible
    // A report that followed another message still on show keeps that one's
    // text here, drawn above it (see show_play_report); empty otherwise.
    std::string earlier;
};

// The texts the bottom band showed, kept for the history screen (key L).
constexpr size_t MESSAGE_HISTORY_SIZE = 500;
struct ShownText {
    std::string text;  // both lines of the message as one
    Colour colour = WHITE;
    uint32_t count = 1;  // the same text shown this many times in a row
};
struct MessageHistory {
    std::deque<ShownText> texts;  // oldest first; the last MESSAGE_HISTORY_SIZE
    uint32_t shown = 0;             // messages shown since start-up, also those the history no longer holds
};

struct CommonState {
    std::string version = UMBRANE_VERSION;
    std::string window_title = std::string("Umbrane ") + UMBRANE_VERSION;
    Preferences preferences;
    std::array<KeyBinding, KEY_BINDING_COUNT> key_bindings;
    std::array<std::string, MESSAGE_TABLE_SIZE> messages;
    std::array<SoundEntry, SOUND_TABLE_SIZE> sounds;
    // Measured sheets (sprites 4, 6, 10, 13, 21, 22).
    SheetSize abilities_sheet, monster_sheet, powers_sheet, missiles_sheet, items_sheet, fx_sheet;
    StatusMessage status_message;
    MessageHistory message_history;
};

extern CommonState g_common;

// Back to the start-up contents (empty tables, default preferences).
void reset_common_state();

// The text of message id (empty for ids outside the table).
const std::string& message_text(int id);
// Plays every sound table entry whose name equals the name exactly.
void play_sound(const std::string& name);
// Sets the status message; it shows for duration_ms from now (2000 is usual).
// icon_number below 0: no icon; icon_kind: see icon_kind. The history keeps
// its texts (both lines as one, joined by a space); a text that repeats the
// last one only counts it once more.
void show_status_message(const std::string& text, const std::string& second_text, Colour colour, int icon_number,
                         int icon_kind, uint32_t duration_ms);
// A report of what just happened in play (a blow, a regeneration, a light
// going out): a one-line status message in white for 2000 ms. Several come in
// one turn, each shown while its blow is held, so the message still on show
// moves up to the band's upper line and the report takes the lower one: every
// report stays readable through the next one.
void show_play_report(const std::string& text, int icon_number = -1, int icon_kind = 0);
// A word about the message on show (the level just entered gives a pick): it
// becomes that message's second line, in the band and in its history line,
// while the band shows one line; otherwise it is a message of its own.
void add_to_status_message(const std::string& text);
// The text of message id with every placeholder given replaced by its value.
std::string message_with(int id, std::initializer_list<std::pair<const char*, std::string>> values);
// Forgets every text of the message history (a new game starts without it).
void clear_message_history();
// A history line as the history screen shows it: the text, with the count of
// its repeats behind it when it came more than once in a row ("... (x3)").
std::string history_line(const ShownText& shown);
