#include "character/character_state.h"

CharacterModelState g_character_model;

void reset_character_model_state() { g_character_model.character = CharacterRecord{}; }

void toggle_walk_frame() {
    CharacterRecord& character = g_character_model.character;
    const int frame = character.frame + 1;
    character.frame = static_cast<int8_t>(frame > 1 ? 0 : frame);
}
