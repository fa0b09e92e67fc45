// The abilities database "data\abilities.xml": every ability of the game, read
// once at start-up into the ability table, names resolved into ids.
#pragma once
#include <cstdint>
#include <string>

#include "platform/xml_format.h"

// Reads the file (texts in the language of the preferences), then resolves the names.
void load_abilities_db();
// Every reference given by name and not by id gets the id of the ability with
// that internal name (the last one when several have it).
void ability_db_resolve_names();

// The id of the ability whose internal name is exactly name (the highest id
// when several share it); 0 when none has it or the name is empty.
int16_t find_ability(const std::string& name);
// A reference given by name: when id is 0 and a name is given, id becomes the
// id of the ability of that name. False when no ability has it (the caller
// reports that with its own message).
bool resolve_ability_name(int16_t& id, const std::string& name);

// The abilities file's elements and attributes, from the reader's tables.
const XmlFileFormat& abilities_file_format();
