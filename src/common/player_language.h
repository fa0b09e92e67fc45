// Texts given once per language: a child element ("name", "description",
// "message", ...) whose "language" attribute is the player's replaces the text.
#pragma once
#include <string>

#include "common/common_state.h"
#include "platform/xml.h"

// True when the language is the one chosen in the preferences.
inline bool is_player_language(const std::string& language) { return language == g_common.preferences.language; }

// The child's text replaces the field when its "language" is the player's; a
// child without one, or in another language, changes nothing. unknown(name) is
// called for any other attribute and ends the program with the caller's message.
template <typename Unknown>
void read_language_text(const XmlElement& child, std::string& field, Unknown&& unknown) {
    bool matches = false;
    for (const auto& [name, value] : child.attributes) {
        if (name == "language") matches = is_player_language(value);
        else unknown(name);
    }
    if (matches) field = child.text;
}
