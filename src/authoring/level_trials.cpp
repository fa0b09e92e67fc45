#include "authoring/level_trials.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "character/character_state.h"
#include "common/database.h"
#include "common/raise_error.h"
#include "map/level_creation.h"
#include "map/map_grid.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace fs = std::filesystem;

LevelScratch::LevelScratch() : game_(game_folder()), writable_(writable_folder()) {
    // In memory where the machine offers it: every level made is saved there.
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "umbrane-check-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    path_ = pattern;
    // The tileset comes along as its bytes: a link to it would lead out of the scratch folder.
    std::vector<std::pair<std::string, std::string>> files;
    for (const char* file : {kLevelTileset, kLevelTilesheet}) {
        std::string content;
        if (read_whole_file(std::string("tilesets\\") + file, content)) files.emplace_back(file, content);
    }
    set_game_folder(path_);
    set_writable_folder("");
    for (const auto& [file, content] : files) write_file_atomically(std::string("tilesets\\") + file, content);
    make_folder("savegame");
}

LevelScratch::~LevelScratch() {
    if (path_.empty()) return;
    set_game_folder(game_);
    set_writable_folder(writable_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void make_level_from(const std::string& map_name, const DungeonRecord& record) {
    CharacterRecord& character = g_character_model.character;
    character.map_file_name = map_name;
    character.x = static_cast<int8_t>(record.xpos);
    character.y = static_cast<int8_t>(record.ypos);
    create_level(g_map.map, record);
}

namespace {

std::string position(int x, int y) { return int_to_text(x) + ", " + int_to_text(y); }

// What keeps the character from going on in the level just made; empty when nothing does.
std::string missing_way_on(const DungeonRecord& record, bool look_for_treasure) {
    const std::vector<bool> reached = reachable_from_arrival(g_map.map);
    auto reachable = [&](int x, int y) { return on_map(x, y) && reached[y * kMapSize + x]; };
    const std::string from = "no path from the arrival field at " + position(kLevelArrival.x, kLevelArrival.y);
    if (record.entrance_to_level < record.number_of_levels) {
        if (g_map.level_exits.empty()) return "it has no way down";
        const DungeonRecord& down = *std::prev(g_map.level_exits.end());
        if (FieldPosition{down.xpos, down.ypos} == kLevelArrival) return "its way down lies on the arrival field";
        if (!reachable(down.xpos, down.ypos)) return from + " to the way down at " + position(down.xpos, down.ypos);
        return "";
    }
    // The bottom level: the treasure lies at the end of the main passage, the first item placed.
    if (look_for_treasure) {
        if (g_map.items.empty())
            return "it gets no treasure (main_treasure " + int_to_text(record.main_treasure) +
                   (record.main_treasure > 0 ? " is no item type" : ": no item type is an artefact") + ")";
        const MapItem& treasure = *g_map.items.begin();
        if (!reachable(treasure.x, treasure.y)) return from + " to the treasure at " + position(treasure.x, treasure.y);
    }
    if (record.bottom_monster > 0 && record.bottom_monster <= kMaxMonsterTypeId &&
        !g_db.monster_types[record.bottom_monster].name.empty()) {
        bool guarded = false;
        for (const Monster& monster : g_map.monsters) guarded = guarded || monster.type == record.bottom_monster;
        if (!guarded) return "its bottom monster " + int_to_text(record.bottom_monster) + " found no field to stand on";
    }
    if (record.bottom_portal.empty()) return "";
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            if (FieldPosition{x, y} == kLevelArrival || g_map.map.fields[y][x].portal_mapfile.empty()) continue;
            return reachable(x, y) ? "" : from + " to the bottom portal at " + position(x, y);
        }
    return "it has no bottom portal (no rock field was found for it)";
}

}  // namespace

std::string first_level_without_a_way_on(const std::string& map_name, const DungeonRecord& record, int seeds,
                                          int most_levels, bool look_for_treasure) {
    const int first = record.entrance_to_level;
    const int last = std::min(std::max<int>(first, record.number_of_levels), first + most_levels - 1);
    for (int level = first; level <= last; ++level)
        for (int seed = 1; seed <= seeds; ++seed) {
            DungeonRecord trial = record;
            trial.entrance_to_level = static_cast<int16_t>(level);
            seed_random(static_cast<uint32_t>(seed));
            std::string missing;
            try {
                make_level_from(map_name, trial);
                missing = missing_way_on(trial, look_for_treasure);
            } catch (const FatalError& error) {
                return error.what();  // the game ends with this when it makes the level
            }
            if (!missing.empty())
                return "dungeon " + quoted(record.name) + ", level " + int_to_text(level) + " made with seed " +
                       int_to_text(seed) + ": " + missing;
        }
    return "";
}
