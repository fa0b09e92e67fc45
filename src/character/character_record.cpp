#include "character/character_record.h"

#include "character/attribute_changes.h"
#include "common/database.h"
#include "character/character_state.h"

void reset_character_record(CharacterRecord& character) {
    character.x = 2;
    character.y = 4;
    character.facing = 0;
    character.frame = 0;
    character.map_file_name = "map_start.xml";
    character.inventory_cursor_x = 0;
    character.inventory_cursor_y = 0;
    for (int i = 0; i < kAbilityStateCount; ++i) {
        AbilityState state;
        state.attribute_max_value = g_db.abilities[i].attribute_start_value;
        state.attribute_current_value = g_db.abilities[i].attribute_start_value;
        character.abilities[i] = state;
    }
    for (int16_t& cooldown : character.cooldown) cooldown = 0;
    character.death_text.clear();
    character.turns = 0;
    character.kills = 0;
    character.deepest_level = 0;
    character.deepest_dungeon.clear();
    character.dungeon_levels = 0;
    character.dungeon_treasure = 0;
    character.won = 0;
    character.final_foe = 0;
    character.picks_waiting = 0;
    character.power_grid.clear();
}

void reset_character() {
    reset_character_record(g_character_model.character);
    recalculate_adjustments();
}
