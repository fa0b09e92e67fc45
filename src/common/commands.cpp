#include "common/commands.h"

#include <algorithm>
#include <array>

#include "common/common_state.h"
#include "common/message_ids.h"
#include "platform/media.h"
#include "platform/strings.h"

namespace {

// The keys of travelling and looking (scan codes): the period and comma keys
// (">" and "<" with Shift), the 102nd key of a European keyboard ("<"), K.
constexpr int PERIOD_KEY = 0x34, COMMA_KEY = 0x33, KEY_102ND = 0x56, K_KEY = 0x25;

constexpr KeyChord key_of(int code) { return {code, false}; }
constexpr KeyChord alt_key(int code) { return {code, true}; }

std::vector<CommandInfo> make_table() {
    using C = Command;
    using X = CommandContext;
    return {
        {C::walk_up, "move up", X::play, {key_of(key::up)}},
        {C::walk_down, "move down", X::play, {key_of(key::down)}},
        {C::walk_left, "move left", X::play, {key_of(key::left)}},
        {C::walk_right, "move right", X::play, {key_of(key::right)}},
        {C::wait, "wait", X::play, {key_of(key::e)}},
        {C::rest, "rest", X::play, {key_of(key::r)}},
        {C::character, "character", X::play, {key_of(key::c)}},
        {C::inventory, "inventory", X::play, {key_of(key::i)}},
        {C::pick_up, "pick up", X::play, {key_of(key::p)}},
        {C::use_power, "use power", X::play, {key_of(key::u)}},
        {C::map, "map", X::play, {key_of(key::m)}},
        {C::history, "history", X::play, {key_of(key::l)}},
        // "?" lies on the slash key of a US keyboard and on the sharp s key (the US minus) of a German one.
        {C::help, "help", X::play, {key_of(key::f1), key_of(key::slash), key_of(key::minus)}},
        {C::save_and_menu, "escape", X::play, {key_of(key::escape)}},
        {C::quit, "quit", X::play, {alt_key(key::x)}},
        {C::full_screen, "full screen", X::play, {alt_key(key::ret)}},
        {C::test_picture, "test", X::play, {key_of(key::t)}},
        {C::advance, "advance", X::play, {key_of(key::a)}},
        // X without Alt: Alt+X quits.
        {C::explore, "explore", X::play, {key_of(key::x)}},
        // ">" and "<" share the period and comma keys of a US keyboard; a German one has "<" on the 102nd key.
        {C::travel_down, "travel down", X::play, {key_of(PERIOD_KEY)}},
        {C::travel_up, "travel up", X::play, {key_of(COMMA_KEY), key_of(KEY_102ND)}},
        {C::look, "look", X::play, {key_of(K_KEY)}},
        {C::confirm, "confirm", X::screen, {key_of(key::ret)}},
        {C::cancel, "cancel", X::screen, {key_of(key::escape)}},
        {C::cursor_up, "cursor up", X::screen, {key_of(key::up)}},
        {C::cursor_down, "cursor down", X::screen, {key_of(key::down)}},
        {C::cursor_left, "cursor left", X::screen, {key_of(key::left)}},
        {C::cursor_right, "cursor right", X::screen, {key_of(key::right)}},
        {C::page_up, "page up", X::screen, {key_of(key::page_up)}},
        {C::page_down, "page down", X::screen, {key_of(key::page_down)}},
        {C::first, "first", X::screen, {key_of(key::home)}},
        {C::last, "last", X::screen, {key_of(key::end)}},
        {C::mark, "mark", X::screen, {key_of(key::space)}},
        {C::hall_of_fame, "hall of fame", X::screen, {key_of(key::h)}},
    };
}

const std::vector<CommandInfo>& table() {
    static const std::vector<CommandInfo> commands = make_table();
    return commands;
}

size_t index_of(Command command) { return static_cast<size_t>(command); }

// The keys in force, by command.
std::array<std::vector<KeyChord>, static_cast<size_t>(Command::count)>& bindings() {
    static std::array<std::vector<KeyChord>, static_cast<size_t>(Command::count)> keys = [] {
        std::array<std::vector<KeyChord>, static_cast<size_t>(Command::count)> defaults;
        for (const CommandInfo& info : table()) defaults[index_of(info.command)] = info.default_keys;
        return defaults;
    }();
    return keys;
}

// Alt (either one) held for a chord with Alt; a chord without Alt does not ask.
bool alt_as_asked(const KeyChord& chord) { return !chord.alt || key_held(key::left_alt); }

template <typename Test>
bool any_key(Command command, Test test) {
    for (const KeyChord& chord : command_keys(command))
        if (alt_as_asked(chord) && test(chord)) return true;
    return false;
}

struct NamedKey {
    int code;
    const char* name;  // the name when the messages file gives none
    int message;       // the name in the player's language (0: the same in every one)
};
constexpr NamedKey KEY_NAMES[] = {
    {key::escape, "Escape", msg::key_escape}, {key::ret, "Return", msg::key_return},
    {key::space, "Space", msg::key_space},    {key::up, "Up", msg::key_up},
    {key::down, "Down", msg::key_down},       {key::left, "Left", msg::key_left},
    {key::right, "Right", msg::key_right},    {key::home, "Home", msg::key_home},
    {key::end, "End", msg::key_end},          {key::page_up, "Page Up", msg::key_page_up},
    {key::page_down, "Page Down", msg::key_page_down}, {key::left_alt, "Alt", 0},
    {key::slash, "?", 0},  {key::minus, "?", 0},  {0x0F, "Tab", 0},  {0x0E, "Backspace", 0}, {0x1D, "Ctrl", 0},
    {0x2A, "Shift", 0},    {0x36, "Shift", 0},    {0xD2, "Insert", 0}, {0xD3, "Delete", 0},  {0x33, "<", 0},
    {0x34, ">", 0},        {0x27, ";", 0},        {0x28, "'", 0},      {0x1A, "[", 0},        {0x1B, "]", 0},
    {0x2B, "\\", 0},       {0x29, "`", 0},        {0x0D, "=", 0},  {0x56, "<", 0},
};
// The letters and digits of the main block, by scan code.
constexpr const char* MAIN_BLOCK = "\0\0" "1234567890\0\0\0\0" "QWERTYUIOP\0\0\0\0" "ASDFGHJKL\0\0\0\0\0" "ZXCVBNM";

std::string localized(const char* name, int message) {
    const std::string& text = message > 0 ? message_text(message) : std::string();
    return text.empty() ? std::string(name) : text;
}

// The keys of these commands are the four arrows (or Up and Down) as they come.
bool keys_are(std::initializer_list<Command> commands, std::initializer_list<int> codes) {
    auto code = codes.begin();
    for (Command command : commands) {
        const std::vector<KeyChord>& keys = command_keys(command);
        if (keys.size() != 1 || keys.front() != KeyChord{*code, false}) return false;
        ++code;
    }
    return true;
}

// The names of a group of commands: one word where they are the arrows, else each command's keys.
std::string group_names(std::initializer_list<Command> commands, std::initializer_list<int> arrows, const char* group,
                        int message) {
    if (keys_are(commands, arrows)) return localized(group, message);
    std::string names;
    for (Command command : commands) {
        if (!names.empty()) names += " / ";
        names += command_key_names(command);
    }
    return names;
}

}  // namespace

const std::vector<CommandInfo>& command_table() { return table(); }

const CommandInfo& command_info(Command command) {
    static const CommandInfo none;
    for (const CommandInfo& info : table())
        if (info.command == command) return info;
    return none;
}

Command command_named(const std::string& name) {
    for (const CommandInfo& info : table())
        if (name == info.name) return info.command;
    return Command::none;
}

const std::vector<KeyChord>& command_keys(Command command) {
    static const std::vector<KeyChord> none;
    if (command == Command::none || command >= Command::count) return none;
    return bindings()[index_of(command)];
}

bool bind_command(Command command, const std::vector<KeyChord>& keys, Command* taken_by) {
    if (command == Command::none || command >= Command::count) return false;
    const CommandContext context = command_info(command).context;
    for (const KeyChord& chord : keys)
        for (Command other : commands_of_key(context, chord))
            if (other != command) {
                if (taken_by) *taken_by = other;
                return false;
            }
    bindings()[index_of(command)] = keys;
    return true;
}

void reset_command_keys() {
    for (const CommandInfo& info : table()) bindings()[index_of(info.command)] = info.default_keys;
}

bool bind_commands(const std::vector<std::pair<Command, std::vector<KeyChord>>>& keys) {
    auto wanted = bindings();
    for (const CommandInfo& info : table()) wanted[index_of(info.command)] = info.default_keys;
    for (const auto& [command, chords] : keys)
        if (command != Command::none && command < Command::count) wanted[index_of(command)] = chords;
    for (const CommandInfo& a : table())
        for (const CommandInfo& b : table()) {
            if (a.command >= b.command || a.context != b.context) continue;
            for (const KeyChord& chord : wanted[index_of(a.command)]) {
                const std::vector<KeyChord>& other = wanted[index_of(b.command)];
                if (std::find(other.begin(), other.end(), chord) != other.end()) return false;
            }
        }
    bindings() = wanted;
    return true;
}

std::vector<Command> commands_of_key(CommandContext context, const KeyChord& chord) {
    std::vector<Command> found;
    for (const CommandInfo& info : table()) {
        if (info.context != context) continue;
        const std::vector<KeyChord>& keys = command_keys(info.command);
        if (std::find(keys.begin(), keys.end(), chord) != keys.end()) found.push_back(info.command);
    }
    return found;
}

std::string key_name(const KeyChord& chord) {
    std::string name;
    for (const NamedKey& named : KEY_NAMES)
        if (named.code == chord.code) name = localized(named.name, named.message);
    if (name.empty() && chord.code >= key::f1 && chord.code < key::f1 + 10)
        name = "F" + std::to_string(chord.code - key::f1 + 1);
    if (name.empty() && chord.code > 0 && chord.code <= 0x32 && MAIN_BLOCK[chord.code] != '\0')
        name = std::string(1, MAIN_BLOCK[chord.code]);
    if (name.empty()) name = "#" + std::to_string(chord.code);
    return chord.alt ? "Alt+" + name : name;
}

std::string command_key_names(Command command) {
    std::string names;
    for (const KeyChord& chord : command_keys(command)) {
        const std::string name = key_name(chord);
        if (names.find(name) != std::string::npos) continue;  // "?" on two keys is named once
        if (!names.empty()) names += " / ";
        names += name;
    }
    return names;
}

bool command_held(Command command) {
    return any_key(command, [](const KeyChord& chord) { return key_held(chord.code); });
}

bool command_pressed(Command command) {
    // An Alt chord is pressed when both are held and one of them went down just now.
    return any_key(command, [](const KeyChord& chord) {
        return chord.alt ? key_held(chord.code) && (key_pressed(chord.code) || key_pressed(key::left_alt))
                         : key_pressed(chord.code);
    });
}

bool command_released(Command command) {
    return any_key(command, [](const KeyChord& chord) { return key_released(chord.code); });
}

std::string with_key_names(const std::string& text) {
    if (text.find('[') == std::string::npos) return text;
    using C = Command;
    std::string out = text;
    const int arrows[] = {key::up, key::down, key::left, key::right};
    out = replace_all(out, "[walk]",
                      group_names({C::walk_up, C::walk_down, C::walk_left, C::walk_right},
                                  {arrows[0], arrows[1], arrows[2], arrows[3]}, "Arrows", msg::key_arrows));
    out = replace_all(out, "[arrows]",
                      group_names({C::cursor_up, C::cursor_down, C::cursor_left, C::cursor_right},
                                  {arrows[0], arrows[1], arrows[2], arrows[3]}, "Arrows", msg::key_arrows));
    out = replace_all(out, "[up/down]",
                      group_names({C::cursor_up, C::cursor_down}, {arrows[0], arrows[1]}, "Up/Down", msg::key_up_down));
    for (const CommandInfo& info : table())
        out = replace_all(out, std::string("[") + info.name + "]", command_key_names(info.command));
    return out;
}
