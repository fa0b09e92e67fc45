// The power database: data\powers.xml read once at start-up into g_db.powers.
// Whether the character may use a power is power_available
// (character/ability_model.h).
#pragma once
#include "platform/xml_format.h"

// Resets the power table, reads "data\powers.xml" and resolves the ability
// names. Every fault in the file is fatal.
void load_power_db();

// Turns every ability reference given as a name (with id 0) into the id of the
// ability with that internal name.
void powers_db_resolve_names();

// The power file's elements and attributes, from the reader's tables.
const XmlFileFormat& powers_file_format();
