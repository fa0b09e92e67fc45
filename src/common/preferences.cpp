#include "common/preferences.h"

#include "common/commands.h"
#include "common/common_state.h"
#include "common/raise_error.h"
#include "common/version_field.h"
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
};

}  // namespace

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

void load_preferences(Preferences& preferences, const std::string& file_name) {
    preferences = Preferences{};
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
}

void save_preferences(const Preferences& preferences, const std::string& file_name) {
    XmlDocument document;
    XmlElement* root = document.create_root("Umbrane_Preferences");
    write_fields<Preferences>(kPreferenceFields, preferences, *root);
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
            "switches between window and full screen.";
        f.written = true;
        f.elements = {{.name = "Umbrane_Preferences",
                       .about = "The settings (the game does not test the root element's name and skips its "
                                "children).",
                       .attributes = describe_fields<Preferences>(kPreferenceFields, true)}};
        return f;
    }();
    return format;
}
