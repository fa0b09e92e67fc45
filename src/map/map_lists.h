// The lists of the current map: its events, the transformations waiting for
// them, and the monsters standing on it.
#pragma once
#include <string>

#include "map/map_state.h"

// The map event list: the first registration of a name wins. Returns 1 when added.
int add_map_event(const std::string& name, int triggered, int xp);
// 1 when an entry of that name has fired.
int map_event_triggered(const std::string& name);
// The xp of the entry of that name; 0 when there is none.
int map_event_xp(const std::string& name);
// Appends to the transformation list unless an entry with the same x, y and
// event exists. Returns 1 when added.
int add_transformation(const Transformation& record);
// Appends a monster with the record's type, position, hit points, alerted flag
// and offset_y when its field lies on the grid and no monster stands there;
// offset_x starts at 0 and the status words empty. Returns 1 when added.
int add_monster(const Monster& record);
