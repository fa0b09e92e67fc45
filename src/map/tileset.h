// Tilesets: the tile sheet image and the tile type definition file of a map,
// both in "tilesets\".
#pragma once
#include "map/map_state.h"
#include "platform/xml_format.h"

// Loads the sheet image (load_image 1) and the definition file (load_definition 1).
// After a screen-mode switch only the image is loaded again: load_tileset(ts, 1, 0).
void load_tileset(Tileset& ts, int load_image = 1, int load_definition = 1);
// Reads the definition file into the 500 tile type entries and resolves ability names.
void load_tile_type_definition(Tileset& ts);
// Frees the sheet, clears both file names and the sheet size, and empties every entry.
void reset_tileset(Tileset& ts);
// Every tile type entry back to empty.
void reset_tile_types(Tileset& ts);
// Turns the ability names of the modify_attribute slots into ability ids.
void resolve_tile_type_names(Tileset& ts);
// The tile type definition file's elements and attributes, from the reader's tables.
const XmlFileFormat& tile_type_file_format();
