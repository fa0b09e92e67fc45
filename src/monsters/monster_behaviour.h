// What the monsters of the current map do at the end of every used turn:
// those that have noticed the character walk towards it and stop beside it,
// all of them regenerate; and the search for hidden fields around the
// character after each of its steps.
#pragma once
#include <cstdint>
#include <string>

// Every monster in list order takes up to its speed in steps towards the
// character ("slowed": one step; "confused": a random free direction).
// Steps within 7 fields of the character are shown; others happen at once.
void move_monsters();
// Every wounded monster whose type regenerates regains 1..regeneration hit
// points, never above its type's hit points; shown when on the map view.
void regenerate_monsters();
// Gives each field around the character its one chance ever of being found
// when hidden; returns 1 when one was found.
int detect_hidden_fields();
// The character's perception against a tile class: the sum of the abilities
// whose perception class is "all" or shares a word with it.
int16_t perception_value(const std::string& tile_class);
