// Dungeon levels made away from the game's own folders, for the tools of the
// people who make games: the content check tries every level of a dungeon
// with many seeds, and a level is drawn as a picture.
#pragma once
#include <string>

#include "map/map_state.h"

// A scratch game folder in memory (/dev/shm) or below the system's temporary folder, with a copy of
// the game's standard tileset (the tileset of every level) and an empty
// savegame. While it lives it is the game folder and the savegame is its own;
// afterwards the folders before it are back and it is removed.
class LevelScratch {
public:
    LevelScratch();
    ~LevelScratch();
    LevelScratch(const LevelScratch&) = delete;
    LevelScratch& operator=(const LevelScratch&) = delete;
    bool made() const { return !path_.empty(); }  // false when no folder could be made

private:
    std::string path_, game_, writable_;
};

// Makes, on the current map record, the level the record's entrance_to_level
// names as the character finds it coming from the record's field of the map
// map_name (with the random generator as it is). Fatal as create_level is.
void make_level_from(const std::string& map_name, const DungeonRecord& record);

// Every level of the dungeon from its entrance_to_level down, at most
// most_levels of them, each made with the seeds 1..seeds: what the first one
// that leaves the character no way on lacks (no path from the arrival field to
// the way down, or on the last level to the treasure and the bottom portal),
// or the game's message when making it ends the game; empty when every one
// has its way on. look_for_treasure: the item table is whole, so the last
// level must get its treasure.
std::string first_level_without_a_way_on(const std::string& map_name, const DungeonRecord& record, int seeds,
                                          int most_levels, bool look_for_treasure);
