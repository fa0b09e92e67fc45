// The character file ("savegame\character.xml"): the character record, the
// power cooldowns and the inventory.
#pragma once
#include <string>

#include "platform/xml_format.h"

#include "character/character_state.h"

// The game passes its one character record, g_character_model.character.
void save_character(const CharacterRecord& character, const std::string& file_name);
// Starts from a new character (reset_character) and reads the file over it.
void load_character(CharacterRecord& character, const std::string& file_name);

// The character file's elements and attributes, from the tables it is read and written with.
const XmlFileFormat& character_file_format();
// Deletes the files the game saved into "savegame\" (the screenshot stays), the character first.
void delete_savegame();
