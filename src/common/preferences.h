// Preferences ("config\preferences.xml") and the built-in key bindings.
#pragma once
#include <string>

#include "platform/xml_format.h"

#include "common/common_state.h"

// Fills the key binding table with its built-in contents.
void set_default_key_bindings();
// Sets the defaults and the key bindings, then reads the file.
void load_preferences(Preferences& preferences, const std::string& file_name);
// Writes the record (root Umbrane_Preferences, six attributes).
void save_preferences(const Preferences& preferences, const std::string& file_name);

// The preferences file's attributes, from the table it is read and written with.
const XmlFileFormat& preferences_file_format();
