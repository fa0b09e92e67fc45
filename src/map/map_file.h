// Map files: one XML file per map, read from "maps\" or "savegame\" and
// written to "savegame\".
#pragma once
#include <string>

#include "map/map_state.h"
#include "platform/xml_format.h"

// Reads the map file at path into the map record with its events,
// transformations, monsters, items and level exits; loads its tileset when
// tileset_flag is 1. The map's filename becomes the file part of path.
void load_map(GameMap& map, const std::string& path, int tileset_flag = 1);
// Writes the current map (with default_tile recomputed) to path.
void save_map(GameMap& map, const std::string& path);
// The path of a map file in "maps" or "savegame". Map files are named by map
// data (portal targets, a map's filename, a dungeon's level files): only their
// file part counts, so no map can make the game read or write outside its folders.
std::string map_file_path(const std::string& folder, const std::string& map_file);
// One transformation or dungeon element as load_map reads it (path is named
// in its messages); the content check reads them with their lines.
Transformation read_transformation_element(const XmlElement& element, const std::string& path);
DungeonRecord read_dungeon_element(const XmlElement& element, const std::string& path);
// The map file's elements and attributes, from the tables the reader reads them with.
const XmlFileFormat& map_file_format();
