// What the character sees: the fields of the map view that its light shows
// (and, where walls block sight, that lie on a clear line; see map/vision.h).
// The map remembers every field it has seen (saved with the map file) for the
// map screen.
#pragma once
#include "map/map_state.h"

// True when the field (x, y) lies in the map view around the character and the character sees it now.
bool field_in_sight(int x, int y);
// Marks every field the character sees now as seen on the map.
void mark_seen_fields(GameMap& map);
// True when a monster of the monster list stands on a field the character sees.
bool monster_in_sight();
