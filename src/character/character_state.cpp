#include "character/character_state.h"

CharacterModelState g_character_model;

void reset_character_model_state() { g_character_model.character = CharacterRecord{}; }
