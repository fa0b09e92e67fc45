// Preferences ("config\preferences.xml") and the built-in key bindings.
#pragma once
#include <string>

#include "common/common_state.h"

// Fills the key binding table with its built-in contents.
void set_default_key_bindings();
// Sets the defaults and the key bindings, then reads the file.
void load_preferences(Preferences& preferences, const std::string& file_name);
// Writes the record (root Umbrane_Preferences, six attributes).
void save_preferences(const Preferences& preferences, const std::string& file_name);
