#include "character/character_state.h"

CharacterModelState g_character_model;

void reset_character_model_state() {
    for (AbilityRecord& record : g_character_model.abilities) record = AbilityRecord{};
    g_character_model.character = CharacterRecord{};
}
