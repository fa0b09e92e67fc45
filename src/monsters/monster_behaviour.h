// The monsters standing on the current map, and the word-list matcher that
// classes, status words and power lists use.
#pragma once
#include <string>

#include "map/map_state.h"
#include "monsters/monsters_state.h"

// 1 when two word lists split at the separator have a word in common. Each
// piece before a separator is a word (also an empty one); the rest after the
// last separator is a word only when it is not empty.
int lists_share_entry(const std::string& list_a, const std::string& list_b, const std::string& separator);

// Appends a monster with the record's type, position, hit points, alerted flag
// and offset_y when its field lies on the grid and no monster stands there;
// offset_x starts at 0 and the status words empty. Returns 1 when added.
int add_monster(GameMap& map, const Monster& record);
