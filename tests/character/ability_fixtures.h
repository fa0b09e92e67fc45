// Small helpers of the character tests: name an ability and set the
// character's values for it directly.
#pragma once
#include <cstdint>
#include <string>

#include "character/character_state.h"
#include "common/database.h"

inline AbilityRecord& ability(int id, const std::string& name = "a") {
    g_db.abilities[id].name = name;
    return g_db.abilities[id];
}
inline AbilityState& state(int id) { return g_character_model.character.abilities[id]; }
inline void set_values(int id, int16_t current, int16_t max) {
    state(id).attribute_current_value = current;
    state(id).attribute_max_value = max;
}
