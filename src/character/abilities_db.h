// The abilities database "data\abilities.xml": every ability of the game, read
// once at start-up into the ability table, names resolved into ids.
#pragma once

// Reads the file (texts in the language of the preferences), then resolves the names.
void load_abilities_db();
// Every reference given by name and not by id gets the id of the ability with
// that internal name (the last one when several have it).
void ability_db_resolve_names();
