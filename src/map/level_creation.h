// Generated dungeon levels: the level change that takes the character down a
// dungeon (or into it from the map it stands on), and the maze levels made on
// the first visit, with what they hold: the ways up and down, side passages
// with items and special tiles, traps, monsters and the treasure at the bottom.
#pragma once
#include <string>
#include <vector>

#include "map/map_state.h"

// A field of the grid.
struct FieldPosition {
    int x = 0;
    int y = 0;
    bool operator==(const FieldPosition&) const = default;
};

// The field a level is entered on: the way up, (1, 1).
constexpr FieldPosition kLevelArrival{1, 1};

// The tileset of every generated level, and the tile types of it that levels use.
constexpr const char* kLevelTileset = "tiles_standard.xml";
constexpr const char* kLevelTilesheet = "tiles_standard.png";
constexpr int kTileWayDown = 2;
constexpr int kTileWayUp = 3;
constexpr int kTileTreasureSpot = 6;   // end of a side passage, with three items
constexpr int kTileSpecial = 9;        // end of a side passage, or hidden on the floor
constexpr int kTileOncePerLevel[] = {140, 141};
constexpr int kLevelTiles[] = {kTileWayDown, kTileWayUp, kTileTreasureSpot, kTileSpecial, 140, 141};

// The file of the level a dungeon record leads to: the file part of its
// map_filename, "_", the level number, ".xml" ("old_cave_3.xml"). Only the
// file part counts, so no map can make the game write outside "savegame\".
std::string level_file_name(const DungeonRecord& record);

// Reads a visited map from its saved copy ("savegame\..."), with its tileset.
// A copy that does not read is kept aside (keep_aside), the band says so, and
// false is returned: the caller reads the map afresh.
bool load_saved_copy(GameMap& map, const std::string& saved_copy);

// The character stands on a level exit that is no portal: the current map is
// saved and the level the (last) exit of this field names is loaded from its
// saved copy, or made when there is none (a level above 1 made now gives one
// advancement pick first). The character arrives at (1, 1).
void change_level();

// The fields the character can walk to from the arrival field of a level on
// the map (solid tiles block; a step never enters row or column 49), by index
// y * 50 + x.
std::vector<bool> reachable_from_arrival(const GameMap& map);
// The steps of the shortest walk from the arrival field to every field (the
// same ways as reachable_from_arrival), -1 where none leads; by index y * 50 + x.
std::vector<int> steps_from_arrival(const GameMap& map);

// Makes the level the record leads to on the map and saves it at once, with
// the record's level maker: the maze, rooms joined by corridors or caverns.
// The way up leads back to the character's current field and map.
void create_level(GameMap& map, DungeonRecord record);

// A random walk from start through the rock of the record's maze area, two
// fields at a time, until the first dead end; returns where it stopped. A
// start on floor is its own end.
FieldPosition carve_passage(GameMap& map, const DungeonRecord& record, FieldPosition start);

// Puts an item of a random type of that value (and class, empty: any) on
// (x, y); nothing when no type qualifies.
void add_random_item(int x, int y, int value, const std::string& item_class);

// A random item type that a draw of Random(value) beats on its price (of the
// class when one is given; artefacts only when asked), in at most 101 passes
// over the item types; 0 when none qualified.
int random_item_type(int value, const std::string& item_class, bool artefacts_only);

// The magic bonus of a new artefact piece: 1 with chance 1/2, 2 with 1/4, 3
// with 1/8 and so on, never above 999.
int random_magic_bonus();

// The monster types of the given level or below (and, when a class word is
// given, whose class list holds it), in id order.
std::vector<int> level_monster_types(int level, const std::string& monster_class);
// A random monster type of the given level or below (and, when a class word
// is given, whose class list holds it); 0 when there is none.
int random_monster_type(int level, const std::string& monster_class = "");

// Places a monster of a random type of the level or below on a random field it
// may stand on (never on the way up, where the character arrives); gives up
// when the 100th draw is needed or no type exists. 1 when placed.
int spawn_level_monster(GameMap& map, int level, const std::string& monster_class = "");
