// The character record of a new game.
#pragma once

#include "character/character_state.h"

// Only the record's own fields: position, facing, map, cursor, ability states
// from the start values of the ability table, cooldowns, death text.
void reset_character_record(CharacterRecord& character);
// A new character: the record above for the game's character, the derived
// adjustments rebuilt. (The inventory is the items' list; a new game empties it.)
void reset_character();
