// The current map: its 50 x 50 fields, its tileset with the 500 tile type
// entries, and the five lists that belong to it (map events, transformations,
// the monsters standing on it, the items lying on it, level exits).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/game_list.h"

constexpr int kMapSize = 50;          // fields per row and per column, x and y 0..49
// The last row and column a step enters: row and column 49 are never entered.
constexpr int kLastStepField = kMapSize - 2;
constexpr int kTileTypeCount = 500;   // tile type ids 0..499
constexpr int kTileEffectSlots = 3;   // modify_attribute slots of one tile type

// One modify_attribute slot of a tile type: what entering the field does to an ability.
struct TileModifyAttribute {
    int16_t attribute = 0;                        // ability id; 0 = the slot is empty
    std::string attribute_name;                   // internal ability name; overrides the id when it resolves
    int16_t amount = 0;                           // change per entering; negative lowers
    int8_t amount_randomized = 0;                 // 1 = change drawn from 1..abs(amount), sign kept
    int16_t amount_reduced_by_ability = 0;        // ability id whose current value shrinks the change
    std::string amount_reduced_by_ability_name;   // internal name of that ability
    int8_t replenish = 0;                         // 1 = also restore the attribute
    int8_t trigger_hidden = 0;                    // 1 = acts while the field is still hidden
    int8_t turn_ends = 0;                         // 1 = entering ends the character's turn
    bool operator==(const TileModifyAttribute&) const = default;
};

// What one tile type id means in play.
struct TileType {
    std::string name;
    int8_t solid = 0;                  // blocks everything that does not fly
    int8_t blocks_flight = 0;          // blocks flying monsters
    int8_t transparent = 0;            // drawn over the background tile
    std::string message;               // shown when a slot applied on entering
    int8_t remove_after_entering = 0;  // becomes the background tile after it applied
    std::string sound;
    std::string cls;                   // "class": "|"-separated words ("trap", ...)
    int16_t transforms_into = 0;       // tile put in its place by a transform-field power
    int8_t container = 0;              // above 0: items here are inside (not drawn)
    int8_t hidden = 0;                 // stored only
    std::string detection_message;     // shown when a hidden field of this type is found
    std::string detection_sound;
    std::string animation_enter;
    TileModifyAttribute modify_attribute[kTileEffectSlots];
    bool operator==(const TileType&) const = default;  // a tile type the definition file left empty equals TileType{}
};

// The tile sheet and the tile type definitions of a map.
struct Tileset {
    std::string image_filename;        // tileset_image_filename of the map
    int sprite = 0;                    // sprite number of the loaded sheet; -1 when the file held no picture
    int8_t sprite_loaded = 0;          // 1 while the sheet sprite is held
    int16_t tiles_high = 0;            // sheet height / 32
    int16_t tiles_wide = 0;            // sheet width / 32
    std::string definition_filename;   // tileset_definition_filename of the map
    TileType tile_types[kTileTypeCount];
};

// One field of the grid.
struct MapField {
    int16_t tile_type = 0;
    std::string portal_mapfile;        // empty = no portal
    int8_t portal_x = 0;
    int8_t portal_y = 0;
    std::string message_line1;
    std::string message_line2;
    int16_t message_tile = 0;
    std::string event;                 // empty = no event
    int8_t event_xp = 0;               // as written in the map file
    std::string power_used;            // "|"-separated names of powers used here
    int8_t hidden = 0;                 // true tile concealed until found
    int8_t visited = 0;                // had its one chance of being found
    int8_t seen = 0;                   // the character has seen it lit (the map screen shows it)
};

// The one map the character is on.
struct GameMap {
    std::string name;
    std::string filename;              // file name only, saved as "savegame\" + filename
    Tileset tileset;
    MapField fields[kMapSize][kMapSize];  // addressed fields[y][x]: x runs fastest
    int16_t tile_outside_map = 0;
    int16_t default_tile = 0;
    int16_t background_tile = 0;
    int16_t spawn_monster_level = 0;
    int16_t spawn_monster_chance = 0;
    int8_t visited = 0;
    uint8_t lighting = 0;              // 0..8
    int8_t walls_block_sight = 0;      // 1: solid fields stop light and sight
};

// A named event of the current map; fires once.
struct MapEvent {
    std::string name;
    int8_t xp = 0;
    int8_t triggered = 0;
};

// A rewrite of one field, applied when its event fires.
struct Transformation {
    std::string event;
    int8_t x = 0;
    int8_t y = 0;
    int16_t tile_type = 0;
    std::string portal_mapfile;
    int8_t portal_x = 0;
    int8_t portal_y = 0;
    std::string message_line1;
    std::string message_line2;
    int16_t message_tile = 0;
    std::string new_event;             // empty = keep the field's event
    int8_t triggered = 0;              // set: never applied
};

// A level exit: the field that leads into a dungeon level (the map file's dungeon element).
struct DungeonRecord {
    int16_t xpos = -1;
    int16_t ypos = -1;
    std::string name;
    std::string map_filename;          // base of the level file names
    int16_t number_of_levels = 0;
    uint8_t dimension_x = 0;
    uint8_t dimension_y = 0;
    int16_t entrance_to_level = 1;
    int16_t difficulty_level = 1;
    uint8_t lighting = 0;
    int16_t default_tile = 1;          // rock of the levels
    int16_t background_tile = 4;       // floor of the levels
    int16_t tile_outside_map = 1;
    int16_t main_treasure = 0;         // item type on the bottom level; 0 = random
    std::string bottom_portal;
    int16_t bottom_portal_target_x = 0;
    int16_t bottom_portal_target_y = 0;
    int16_t bottom_portal_tile = 0;
    int16_t traps_per_level = 0;
    int8_t walls_block_sight = 0;      // 1: the levels' solid fields stop light and sight
    std::string level_maker = "maze";  // how the levels are made: "maze", "rooms" or "caverns"
    std::string monster_class;         // only monster types of this class word live in the levels; empty = any
    int16_t bottom_monster = 0;        // monster type put beside the bottom level's treasure; 0 = none
    int8_t is_final = 0;               // 1: the fall of the bottom monster wins the game
    int16_t traps_per_level_step = 0;  // traps added for every level below the first
    int8_t way_down_far = 0;           // 1: a maze's way down lies a third of the maze or more from the arrival
};

// An item lying on a field of the current map.
struct MapItem {
    int16_t x = 0;
    int16_t y = 0;
    int16_t type = 0;
    int16_t amount = 0;       // 1 for dropped and generated items, 0 from a map file that leaves it out (one piece)
    int16_t fuel = 0;
    int8_t under_cursor = 0;  // pick-up screen cursor
    int8_t marked = 0;        // marked for taking in the pick-up screen
    int16_t magic_bonus = 0;
};


// One monster standing on the current map.
struct Monster {
    int16_t type = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t hitpoints = 0;
    int8_t alerted = 0;
    int8_t offset_x = 0;
    int8_t offset_y = 0;
    std::string status;  // "|"-separated status words ("slowed", "confused")
};

struct MapState {
    GameMap map;
    GameList<MapEvent> events;
    GameList<Transformation> transformations;
    GameList<Monster> monsters;       // in acting order
    GameList<MapItem> items;
    GameList<DungeonRecord> level_exits;
    // The monster the character fought last (see monster_in_front); only
    // compared with the monsters of the list, never followed by itself.
    const Monster* fought_last = nullptr;
    // The types of the monsters that fell since the game last looked (the
    // run's account takes them after every pass).
    std::vector<int16_t> fallen;
};

extern MapState g_map;

// Empties the current map and its five lists (as reset_map does), and forgets the fallen monsters.
void reset_map_state();
