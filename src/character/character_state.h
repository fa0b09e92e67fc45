// The character model's global state: the character record (position, map,
// per-ability state, power cooldowns, death text). The ability table it
// describes is one of the database tables (common/database.h).
#pragma once
#include <cstdint>
#include <string>

#include "common/ability_table.h"

constexpr int kAbilityStateCount = 255;  // indices 0..254
constexpr int kCooldownCount = 255;      // indices 0..254, power ids 1..254 used

// The character's state of one ability.
struct AbilityState {
    int16_t ability_value = 0;
    int16_t attribute_max_value = 0;
    int16_t attribute_current_value = 0;
    int16_t power_adjustment = 0;
    int16_t adjustment_duration = 0;
    std::string adjustment_name;
    int16_t adjustment_power_id = 0;
    int16_t item_bonus = 0;
    bool activated = false;
    int16_t adjustment_other = 0;        // derived (recalculate_adjustments)
    int16_t adjustment_percentage = 100;  // derived; 100 = none
};

struct CharacterRecord {
    std::string name;
    int8_t x = 0;
    int8_t y = 0;
    int8_t facing = 0;  // 0 up, 1 right, 2 down, 3 left
    int8_t frame = 0;   // walking frame 0 or 1
    std::string map_file_name;  // file part only
    int8_t inventory_cursor_x = 0;
    int8_t inventory_cursor_y = 0;
    AbilityState abilities[kAbilityStateCount];
    int16_t cooldown[kCooldownCount] = {};
    std::string death_text;  // not saved
    // The run so far, for the hall of fame and the account of the run.
    int32_t turns = 0;             // turns ended since the character was made
    int32_t kills = 0;             // monsters killed
    int16_t deepest_level = 0;     // the deepest dungeon level entered (0: none)
    std::string deepest_dungeon;   // the name of its dungeon
    int16_t dungeon_levels = 0;    // how many levels that dungeon has
    int16_t dungeon_treasure = 0;  // the item type at its bottom (0: none known)
    uint8_t won = 0;               // the bottom's treasure was found, or the last foe fell
    int16_t final_foe = 0;         // the monster type whose fall wins the game (0: none known)
    // Advancement picks left for later with Escape (key A opens them).
    int16_t picks_waiting = 0;
    // The powers in the order of their cells on the power grid, as ids joined
    // by spaces: a power keeps its cell once it had one.
    std::string power_grid;
};

struct CharacterModelState {
    CharacterRecord character;
};

extern CharacterModelState g_character_model;

// A blank character record.
void reset_character_model_state();
// The character's walking frame 0 -> 1 -> 0.
void toggle_walk_frame();
