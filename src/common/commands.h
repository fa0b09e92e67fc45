// The table of commands: everything a player can ask of the game, each with
// its default keys. Keys become commands here and nowhere else: the main loop
// asks whether a command's keys are held, pressed or let go; the preferences'
// key binding table, the help's key lines and the key hints are made from
// this table; a rebinding changes a command's keys in one place.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class Command : uint8_t {
    none,
    // Play.
    walk_up,
    walk_down,
    walk_left,
    walk_right,
    wait,
    rest,
    character,
    inventory,
    pick_up,
    use_power,
    map,
    history,
    help,
    save_and_menu,
    quit,
    full_screen,
    test_picture,  // the fire flood picture (a demonstration, left out of the help)
    advance,       // the advancement picks left for later
    explore,       // walk on by itself towards the fields not yet seen
    travel_down,   // walk on by itself to the nearest way down seen
    travel_up,     // walk on by itself to the nearest way up or back seen
    look,          // a cursor over the view that describes what lies there
    // The screens.
    confirm,
    cancel,
    cursor_up,
    cursor_down,
    cursor_left,
    cursor_right,
    page_up,
    page_down,
    first,
    last,
    mark,
    hall_of_fame,  // the best runs, from the main menu
    count
};

// Where a command's keys act: the game's map view, or the screens over it
// (menus, grids, lists). A key may serve one command of each context.
enum class CommandContext : uint8_t { play, screen };

// One key, perhaps with Alt held.
struct KeyChord {
    int code = 0;  // DirectInput scan code
    bool alt = false;
    bool operator==(const KeyChord&) const = default;
};

struct CommandInfo {
    Command command = Command::none;
    const char* name = "";  // the command's name in the preferences file
    CommandContext context = CommandContext::play;
    std::vector<KeyChord> default_keys;
};

// Every command but none, in the order of the enum.
const std::vector<CommandInfo>& command_table();
const CommandInfo& command_info(Command command);
// The command of that name in the preferences file (Command::none for none).
Command command_named(const std::string& name);

// The keys of a command now (its defaults until rebound).
const std::vector<KeyChord>& command_keys(Command command);
// Binds the command to exactly these keys. Refused (false, nothing changed)
// when one of them serves another command of the same context, which is then
// named in taken_by.
bool bind_command(Command command, const std::vector<KeyChord>& keys, Command* taken_by = nullptr);
// Every command back to its default keys.
void reset_command_keys();
// Every command at its default keys but those given, which get the keys given,
// all at once (a swap of two commands' keys is one change). Refused (false,
// nothing changed) when a key would then serve two commands of one context.
bool bind_commands(const std::vector<std::pair<Command, std::vector<KeyChord>>>& keys);
// The commands of the context whose keys include the chord.
std::vector<Command> commands_of_key(CommandContext context, const KeyChord& chord);

// The name of a key as the help and the hints write it ("E", "Return",
// "Up", "F1", "Alt+X").
std::string key_name(const KeyChord& chord);
// The names of a command's keys joined by " / ".
std::string command_key_names(Command command);
// A text of the help or a key hint with its keys named from the table: every
// "[name]" of a command (its name in the preferences: "[wait]", "[confirm]",
// "[page up]") becomes the names of its keys; "[walk]" and "[arrows]" the four
// arrows of walking and of the cursor (one word while they are the arrows),
// "[up/down]" the cursor's Up and Down.
std::string with_key_names(const std::string& text);

// The keyboard asked through the table (the last snapshot of the keyboard):
// one of the command's keys is held (an Alt chord: Alt held with it), went down
// in this snapshot (an Alt chord: both held, one of them went down), or was let go in it.
bool command_held(Command command);
bool command_pressed(Command command);
bool command_released(Command command);
