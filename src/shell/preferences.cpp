#include "shell/preferences.h"

#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"

namespace {

const char* yes_no(uint8_t flag) { return flag ? "yes" : "no"; }
uint8_t flag_of(const std::string& value) { return value == "yes" ? 1 : 0; }

}  // namespace

void set_default_key_bindings() {
    for (KeyBinding& binding : g_common.key_bindings) binding = KeyBinding{};
    g_common.key_bindings[KEY_BINDING_TEST] = {"test", 20};
    g_common.key_bindings[KEY_BINDING_ESCAPE] = {"escape", 1};
    g_common.key_bindings[KEY_BINDING_MOVE_UP] = {"move up", 200};
    g_common.key_bindings[KEY_BINDING_MOVE_DOWN] = {"move down", 208};
    g_common.key_bindings[KEY_BINDING_MOVE_LEFT] = {"move left", 203};
    g_common.key_bindings[KEY_BINDING_MOVE_RIGHT] = {"move right", 205};
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

    for (const auto& [name, value] : document.root()->attributes) {
        if (name == "Umbrane_version") continue;
        if (name == "fullscreen") preferences.fullscreen = flag_of(value);
        else if (name == "DDD_effects") preferences.DDD_effects = flag_of(value);
        else if (name == "fade_effect") preferences.fade_effect = flag_of(value);
        else if (name == "message_delay") preferences.message_delay = static_cast<int32_t>(text_to_int(value));
        else if (name == "language") preferences.language = value;
        else
            raise_error("load_preferences(): unknown attribute " + quoted(name) + " in preferences xml file " +
                        quoted(file_name));
    }
}

void save_preferences(const Preferences& preferences, const std::string& file_name) {
    XmlDocument document;
    XmlElement* root = document.create_root("Umbrane_Preferences");
    root->set_attribute("Umbrane_version", g_common.version);
    root->set_attribute("fullscreen", yes_no(preferences.fullscreen));
    root->set_attribute("message_delay", int_to_text(preferences.message_delay));
    root->set_attribute("DDD_effects", yes_no(preferences.DDD_effects));
    root->set_attribute("fade_effect", yes_no(preferences.fade_effect));
    root->set_attribute("language", preferences.language);
    if (!document.save(file_name))
        raise_error("save_preferences: could not save data into preferences xml file: " + quoted(file_name));
}
