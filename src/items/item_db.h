// The item database: every item type of the game, read once at start-up from
// "data\items.xml" into g_db.item_types (ids 1..254).
#pragma once
#include "platform/xml_format.h"

// Clears ids 1..254, reads "data\items.xml" into the item type table, then
// resolves ability names (item_db_resolve_names). Every error is fatal.
void load_item_db();

// Every bonus given by ability name only gets the id of the ability with exactly
// that internal name; when several abilities share the name the highest id wins.
// An unknown name is fatal.
void item_db_resolve_names();

// True when id lies in 1..254 and names a defined item type (non-empty name).
bool item_type_defined(int id);

// The item file's elements and attributes, from the reader's tables.
const XmlFileFormat& items_file_format();
