// Map files: one XML file per map, read from "maps\" or "savegame\" and
// written to "savegame\".
#pragma once
#include <string>

#include "map/map_state.h"

// Reads the map file at path into the map record with its events,
// transformations, monsters, items and level exits; loads its tileset when
// tileset_flag is 1. The map's filename becomes the file part of path.
void load_map(GameMap& map, const std::string& path, int tileset_flag = 1);
// Writes the current map (with default_tile recomputed) to path.
void save_map(GameMap& map, const std::string& path);

// The map event list: the first registration of a name wins. Returns 1 when added.
int add_map_event(const std::string& name, int triggered, int xp);
// 1 when an entry of that name has fired.
int map_event_triggered(const std::string& name);
// The xp of the entry of that name; 0 when there is none.
int map_event_xp(const std::string& name);
// Appends to the transformation list unless an entry with the same x, y and
// event exists. Returns 1 when added.
int add_transformation(const Transformation& record);
