#include "common/preferences.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/commands.h"
#include "common/common_state.h"
#include "common/raise_error.h"
#include "common/version_field.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

// The root element's attributes, in the order they are written.
const XmlField<Preferences> kPreferenceFields[] = {
    version_field<Preferences>(),
    {"fullscreen", &Preferences::fullscreen, FieldKind::yes_no},
    {"message_delay", &Preferences::message_delay},
    {"DDD_effects", &Preferences::DDD_effects, FieldKind::yes_no},
    {"fade_effect", &Preferences::fade_effect, FieldKind::yes_no},
    {"language", &Preferences::language, FieldKind::text},
    {"window_scale", &Preferences::window_scale, FieldKind::number, WriteRule::unless_default},
    {"sound_volume", &Preferences::sound_volume, FieldKind::number, WriteRule::unless_default,
     // A percent: a value beyond 0..100 is the nearer end.
     [](Preferences& p, const std::string& value, const std::string&) {
         p.sound_volume = static_cast<int16_t>(std::clamp<long long>(text_to_int(value), 0, 100));
     }},
    {"sound_mute", &Preferences::sound_mute, FieldKind::flag, WriteRule::unless_default},
};

// <key_binding command="wait" keys="19"/>: a command on other keys than at first.
struct KeyBindingElement {
    std::string command;
    std::string keys;
};
const XmlField<KeyBindingElement> kKeyBindingFields[] = {
    {"command", &KeyBindingElement::command, FieldKind::text},
    {"keys", &KeyBindingElement::keys, FieldKind::text},
};

// <gamepad_button control="x" command="wait"/>: a gamepad control serving another command.
struct GamepadButtonElement {
    std::string control;
    std::string command;
};
const XmlField<GamepadButtonElement> kGamepadButtonFields[] = {
    {"control", &GamepadButtonElement::control, FieldKind::text},
    {"command", &GamepadButtonElement::command, FieldKind::text},
};

constexpr const char* kPadControlNames[kPadControls] = {
    "a",           "b",          "x",        "y",          "back",        "guide",
    "start",       "left_stick", "right_stick", "left_shoulder", "right_shoulder", "dpad_up",
    "dpad_down",   "dpad_left",  "dpad_right", "stick_up",   "stick_down",  "stick_left",
    "stick_right",
};

std::array<Command, kPadControls> default_pad_commands() {
    std::array<Command, kPadControls> commands{};
    auto set = [&commands](PadControl control, Command command) { commands[static_cast<size_t>(control)] = command; };
    set(PadControl::dpad_up, Command::walk_up);
    set(PadControl::stick_up, Command::walk_up);
    set(PadControl::dpad_down, Command::walk_down);
    set(PadControl::stick_down, Command::walk_down);
    set(PadControl::dpad_left, Command::walk_left);
    set(PadControl::stick_left, Command::walk_left);
    set(PadControl::dpad_right, Command::walk_right);
    set(PadControl::stick_right, Command::walk_right);
    set(PadControl::a, Command::confirm);
    set(PadControl::b, Command::cancel);
    set(PadControl::start, Command::save_and_menu);
    set(PadControl::left_shoulder, Command::inventory);
    set(PadControl::right_shoulder, Command::use_power);
    return commands;
}

std::array<Command, kPadControls>& pad_commands() {
    static std::array<Command, kPadControls> commands = default_pad_commands();
    return commands;
}

PadControl pad_control_named(const std::string& name) {
    for (int c = 0; c < kPadControls; ++c)
        if (name == kPadControlNames[c]) return static_cast<PadControl>(c);
    return PadControl::count;
}

auto unknown_attribute(const char* where, const std::string& file_name) {
    return [where, &file_name](const std::string& name) {
        raise_error("load_preferences(): unknown attribute " + quoted(name) + where + "preferences xml file " +
                    quoted(file_name));
    };
}

// The children of the root: key bindings and gamepad controls. Other children
// are skipped, as they always were; so is an entry naming a command or control
// this game does not know (a later version's), or keys that do not read. Key
// bindings that would give one key to two commands of one context are all
// left out: every command keeps its defaults.
void read_children(const XmlElement& root, const std::string& file_name) {
    std::vector<std::pair<Command, std::vector<KeyChord>>> keys;
    for (const XmlElement& child : children_of(root)) {
        if (child.name == "key_binding") {
            KeyBindingElement element;
            read_fields<KeyBindingElement>(kKeyBindingFields, element, child, file_name,
                                           unknown_attribute(" in key_binding tag in ", file_name));
            const Command command = command_named(element.command);
            std::vector<KeyChord> chords;
            if (command != Command::none && read_key_list(element.keys, chords)) keys.emplace_back(command, chords);
        } else if (child.name == "gamepad_button") {
            GamepadButtonElement element;
            read_fields<GamepadButtonElement>(kGamepadButtonFields, element, child, file_name,
                                              unknown_attribute(" in gamepad_button tag in ", file_name));
            const PadControl control = pad_control_named(element.control);
            const Command command = command_named(element.command);
            if (control != PadControl::count && (command != Command::none || element.command.empty()))
                set_gamepad_command(control, command);
        }
    }
    bind_commands(keys);
}

void write_children(XmlElement& root) {
    for (const CommandInfo& info : command_table()) {
        const std::vector<KeyChord>& keys = command_keys(info.command);
        if (keys == info.default_keys) continue;
        XmlElement* child = root.add_child("key_binding");
        write_fields<KeyBindingElement>(kKeyBindingFields, KeyBindingElement{info.name, key_list_text(keys)}, *child);
    }
    const std::array<Command, kPadControls> defaults = default_pad_commands();
    for (int c = 0; c < kPadControls; ++c) {
        const Command command = pad_commands()[static_cast<size_t>(c)];
        if (command == defaults[static_cast<size_t>(c)]) continue;
        XmlElement* child = root.add_child("gamepad_button");
        write_fields<GamepadButtonElement>(kGamepadButtonFields, GamepadButtonElement{kPadControlNames[c], command_info(command).name},
                                           *child);
    }
}

}  // namespace

Command gamepad_command(PadControl control) {
    return control < PadControl::count ? pad_commands()[static_cast<size_t>(control)] : Command::none;
}

void set_gamepad_command(PadControl control, Command command) {
    if (control < PadControl::count) pad_commands()[static_cast<size_t>(control)] = command;
}

void reset_gamepad_commands() { pad_commands() = default_pad_commands(); }

const char* pad_control_name(PadControl control) {
    return control < PadControl::count ? kPadControlNames[static_cast<size_t>(control)] : "";
}

std::string key_list_text(const std::vector<KeyChord>& keys) {
    std::string text;
    for (const KeyChord& chord : keys) {
        if (!text.empty()) text += ' ';
        text += (chord.alt ? "alt+" : "") + int_to_text(chord.code);
    }
    return text;
}

bool read_key_list(const std::string& text, std::vector<KeyChord>& keys) {
    keys.clear();
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(at, end - at);
        at = end;
        KeyChord chord;
        if (word.rfind("alt+", 0) == 0) {
            chord.alt = true;
            word.erase(0, 4);
        }
        if (word.empty() || word.size() > 3 || word.find_first_not_of("0123456789") != std::string::npos) return false;
        chord.code = std::stoi(word);
        if (chord.code < 1 || chord.code > 255) return false;
        keys.push_back(chord);
    }
    return true;
}

void set_default_key_bindings() {
    // The entries of the written table, each with its command's name and first key.
    struct Entry {
        int entry;
        Command command;
    };
    static constexpr Entry entries[] = {{KEY_BINDING_TEST, Command::test_picture},
                                        {KEY_BINDING_ESCAPE, Command::save_and_menu},
                                        {KEY_BINDING_MOVE_UP, Command::walk_up},
                                        {KEY_BINDING_MOVE_DOWN, Command::walk_down},
                                        {KEY_BINDING_MOVE_LEFT, Command::walk_left},
                                        {KEY_BINDING_MOVE_RIGHT, Command::walk_right}};
    for (KeyBinding& binding : g_common.key_bindings) binding = KeyBinding{};
    for (const Entry& e : entries) {
        const std::vector<KeyChord>& keys = command_keys(e.command);
        g_common.key_bindings[e.entry] = {command_info(e.command).name, keys.empty() ? 0 : keys.front().code};
    }
}

void apply_preferences(const Preferences& preferences) {
    sound_set_master_volume(preferences.sound_mute ? 0 : preferences.sound_volume);
    set_window_scale(preferences.window_scale);
    GamepadMapping mapping = gamepad_mapping();
    for (int c = 0; c < kPadControls; ++c) {
        int code = 0;
        for (const KeyChord& chord : command_keys(pad_commands()[static_cast<size_t>(c)]))
            if (!chord.alt) {
                code = chord.code;
                break;
            }
        mapping.keys[static_cast<size_t>(c)] = code;
    }
    set_gamepad_mapping(mapping);
}

void load_preferences(Preferences& preferences, const std::string& file_name) {
    preferences = Preferences{};
    reset_command_keys();
    reset_gamepad_commands();
    set_default_key_bindings();

    XmlDocument document;
    if (!document.load(file_name))
        raise_error("load_preferences(): could not open preferences xml file: " + quoted(file_name));
    // The message names a map file; it has always read this way.
    if (document.status() != 0 || !document.root())
        raise_error("load_preferences(): error in xml structure of map file: " + document.error_text());

    read_fields<Preferences>(kPreferenceFields, preferences, *document.root(), file_name, [&](const std::string& name) {
        raise_error("load_preferences(): unknown attribute " + quoted(name) + " in preferences xml file " +
                    quoted(file_name));
    });
    read_children(*document.root(), file_name);
    set_default_key_bindings();
    apply_preferences(preferences);
}

void save_preferences(const Preferences& preferences, const std::string& file_name) {
    XmlDocument document;
    XmlElement* root = document.create_root("Umbrane_Preferences");
    write_fields<Preferences>(kPreferenceFields, preferences, *root);
    write_children(*root);
    if (!document.save(file_name))
        raise_error("save_preferences: could not save data into preferences xml file: " + quoted(file_name));
}

const XmlFileFormat& preferences_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "preferences";
        f.title = "The preferences";
        f.files = "config\\preferences.xml";
        f.about =
            "The settings that survive between runs; the file must exist. The game writes it when the player "
            "switches between window and full screen and when the options screen closes.";
        f.written = true;
        f.elements = {
            {.name = "Umbrane_Preferences",
             .about = "The settings (the game does not test the root element's name and skips children of other "
                      "names). sound_volume is the volume of every sound in percent (0..100; a value beyond is the nearer "
                      "end), sound_mute=\"yes\" silences them.",
             .attributes = describe_fields<Preferences>(kPreferenceFields, true),
             .children = {"key_binding", "gamepad_button"}},
            {.name = "key_binding",
             .about = "A command on other keys than its defaults: command is the command's name, keys its keys' "
                      "scan codes apart by spaces, an Alt chord as alt+ and the code (\"alt+45\"). One that names "
                      "no command of this game or keys that do not read is skipped; when the bindings give a key "
                      "to two commands of one context, every command keeps its defaults.",
             .attributes = describe_fields<KeyBindingElement>(kKeyBindingFields, true)},
            {.name = "gamepad_button",
             .about = "A gamepad control serving another command than at first (an empty command: none); it acts "
                      "as the command's first key without Alt. Controls: a, b, x, y, back, guide, start, "
                      "left_stick, right_stick, left_shoulder, right_shoulder, dpad_up, dpad_down, dpad_left, "
                      "dpad_right, stick_up, stick_down, stick_left, stick_right.",
             .attributes = describe_fields<GamepadButtonElement>(kGamepadButtonFields, true)},
        };
        return f;
    }();
    return format;
}
