// The monster database: data\monster.xml read once at start-up into
// g_db.monster_types.
#pragma once
#include <string>

#include "platform/xml_format.h"

// Clears the monster type table, reads the file (logical path) and resolves
// the affliction attribute names. Every fault in the file is fatal.
void load_monster_db(const std::string& file);

// Turns affliction attribute names into ability ids; file is only named in
// the error message.
void resolve_monster_type_db_names(const std::string& file);

// The monster file's elements and attributes, from the reader's tables.
const XmlFileFormat& monsters_file_format();
