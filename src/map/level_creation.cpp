#include "map/level_creation.h"

#include <algorithm>
#include <vector>

#include "common/questions.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/events.h"
#include "common/message_ids.h"
#include "common/raise_error.h"
#include "common/word_lists.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/tileset.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace {

constexpr int kHighestMagicBonus = 999;
constexpr int kItemTypePasses = 101;
constexpr int kMonsterFieldDraws = 100;
constexpr uint8_t kBrightestLighting = 8;

constexpr int kMsgLevel = 25;
constexpr int kMsgEnterLevel = 28;

// The four directions of the maze walk: up, right, down, left.
constexpr FieldPosition kDirections[] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

// A step of two fields in direction d stays inside the record's maze area.
bool stays_in_maze(const DungeonRecord& record, FieldPosition at, int d) {
    switch (d) {
        case 0: return at.y > 1;
        case 1: return at.x < record.dimension_x - 2;
        case 2: return at.y < record.dimension_y - 2;
        default: return at.x > 1;
    }
}

// Tries the four directions, from a random one on, until try_direction
// accepts one. Returns false when none did.
template <typename TryDirection>
bool in_some_direction(TryDirection try_direction) {
    int d = Random(3);
    for (int tries = 0; tries < 4; ++tries, d = (d + 1) % 4)
        if (try_direction(d)) return true;
    return false;
}

bool holds(const GameMap& map, FieldPosition at, int tile_type) { return read_map_tile_type(map, at.x, at.y) == tile_type; }

void set_tile(GameMap& map, FieldPosition at, int tile_type) { set_map_tile_type(map, at.x, at.y, tile_type); }

// A side passage from a rock cell that some floor two fields away can reach:
// the wall between them opens, the passage is carved from the cell, and its end
// gets a trap, an item, a treasure spot with three items, or nothing.
void add_side_passage(GameMap& map, const DungeonRecord& record, FieldPosition cell, int item_value) {
    const bool connected = in_some_direction([&](int d) {
        const FieldPosition step = kDirections[d];
        if (!stays_in_maze(record, cell, d) || !holds(map, {cell.x + 2 * step.x, cell.y + 2 * step.y}, map.background_tile))
            return false;
        set_tile(map, {cell.x + step.x, cell.y + step.y}, map.background_tile);
        return true;
    });
    if (!connected) return;  // the cell stays rock
    const FieldPosition end = carve_passage(map, record, cell);
    switch (Random(3)) {
        case 0: set_tile(map, end, kTileSpecial); break;
        case 1: add_random_item(end.x, end.y, item_value, ""); break;
        case 2:
            set_tile(map, end, kTileTreasureSpot);
            for (int i = 0; i < 3; ++i) add_random_item(end.x, end.y, item_value, "");
            break;
        default: break;
    }
}

// A new piece of the item type on (x, y): one of it, its full fuel, a magic
// bonus when it is an artefact. A type the item table does not define (0: no
// candidate was found) is not placed: the map file would drop it on the next load.
void place_generated_item(int x, int y, int type) {
    if (type < kFirstItemId || type > kLastItemId || g_db.item_types[type].name.empty()) return;
    const ItemType& kind = g_db.item_types[type];
    MapItem& item = g_map.items.append();
    item.x = static_cast<int16_t>(x);
    item.y = static_cast<int16_t>(y);
    item.type = static_cast<int16_t>(type);
    item.amount = 1;
    item.fuel = kind.fuel;
    item.magic_bonus = static_cast<int16_t>(kind.artefact ? random_magic_bonus() : 0);
}

// A random floor field of the maze area gets the tile type; hidden when asked.
void put_on_random_floor(GameMap& map, const DungeonRecord& record, int tile_type, bool hidden) {
    int x = 0, y = 0;
    if (!find_random_field(map, -1, record.dimension_x, record.dimension_y, x, y)) return;
    set_map_tile_type(map, x, y, tile_type);
    if (hidden) set_map_hidden(map, x, y, 1);
}

void add_traps(GameMap& map, const DungeonRecord& record) {
    if (record.traps_per_level <= 0) return;
    std::vector<int> traps;
    for (int id = 0; id < kTileTypeCount; ++id)
        if (lists_share_entry(map.tileset.tile_types[id].cls, "trap", "|")) traps.push_back(id);
    if (traps.empty()) return;
    for (int i = 0; i < record.traps_per_level; ++i) {
        const int trap = traps[Random(static_cast<int>(traps.size()) - 1)];
        put_on_random_floor(map, record, trap, true);
    }
}

// The bottom level's portal, cut into a random rock field of the maze area
// that touches a field the character can reach: the draws go on past a field
// walled in, as long as the maze area has a field that would do.
void add_bottom_portal(GameMap& map, const DungeonRecord& record) {
    const std::vector<bool> reached = reachable_from_arrival(map);
    auto touches_reached = [&](int x, int y) {
        for (const FieldPosition step : kDirections) {
            const int nx = x + step.x, ny = y + step.y;
            if (nx >= 0 && ny >= 0 && nx < kMapSize && ny < kMapSize && reached[ny * kMapSize + nx]) return true;
        }
        return false;
    };
    bool some_field_would_do = false;
    for (int y = 0; y < std::min<int>(record.dimension_y, kMapSize) && !some_field_would_do; ++y)
        for (int x = 0; x < std::min<int>(record.dimension_x, kMapSize) && !some_field_would_do; ++x)
            some_field_would_do = holds(map, {x, y}, record.default_tile) && touches_reached(x, y);
    int x = 0, y = 0;
    do {
        if (!find_random_field(map, record.default_tile, record.dimension_x, record.dimension_y, x, y)) return;
    } while (some_field_would_do && !touches_reached(x, y));
    set_map_tile_type(map, x, y, record.bottom_portal_tile);
    set_map_portal(map, x, y, record.bottom_portal, record.bottom_portal_target_x, record.bottom_portal_target_y);
}

}  // namespace

std::vector<bool> reachable_from_arrival(const GameMap& map) {
    std::vector<bool> reached(kMapSize * kMapSize, false);
    auto walkable = [&](int x, int y) {
        const int t = read_map_tile_type(map, x, y);
        return x >= 0 && y >= 0 && x < kMapSize - 1 && y < kMapSize - 1 && t >= 0 && t < kTileTypeCount &&
               !map.tileset.tile_types[t].solid;
    };
    std::vector<FieldPosition> open{kLevelArrival};
    reached[kLevelArrival.y * kMapSize + kLevelArrival.x] = true;
    while (!open.empty()) {
        const FieldPosition at = open.back();
        open.pop_back();
        for (const FieldPosition step : kDirections) {
            const FieldPosition next{at.x + step.x, at.y + step.y};
            if (!walkable(next.x, next.y) || reached[next.y * kMapSize + next.x]) continue;
            reached[next.y * kMapSize + next.x] = true;
            open.push_back(next);
        }
    }
    return reached;
}

std::string level_file_name(const DungeonRecord& record) {
    return file_part(record.map_filename) + "_" + int_to_text(record.entrance_to_level) + ".xml";
}

void change_level() {
    GameMap& map = g_map.map;
    CharacterRecord& character = g_character_model.character;
    const DungeonRecord* found = nullptr;
    for (const DungeonRecord& exit : g_map.level_exits)
        if (exit.xpos == character.x && exit.ypos == character.y) found = &exit;  // the last one counts
    if (!found) return;
    const DungeonRecord entry = *found;  // the list goes with the map that is left
    const int tile = read_map_tile_type(map, character.x, character.y);
    std::string text = replace_all(message_text(kMsgEnterLevel), "[dungeon_name]", entry.name);
    text = replace_all(text, "[dungeon_level]", int_to_text(entry.entrance_to_level));
    show_status_message(text, "", WHITE, tile, icon_kind::tile, 2000);

    tell(event::Fade{false});
    save_map(map, map_file_path("savegame", map.filename));
    const std::string level_file = level_file_name(entry);
    const std::string saved_copy = map_file_path("savegame", level_file);
    const bool visited = file_size(saved_copy) > 0;
    if (!visited || !load_saved_copy(map, saved_copy)) {
        // Every level below the first is worth one pick, once: on the way down it is made.
        if (entry.entrance_to_level > 1 && !visited) ask_advancement(1, 0);
        create_level(map, entry);  // a damaged one is made anew
    }
    character.x = kLevelArrival.x;
    character.y = kLevelArrival.y;
    character.map_file_name = level_file;
    tell(event::Fade{true});
}

bool load_saved_copy(GameMap& map, const std::string& saved_copy) {
    try {
        load_map(map, saved_copy, 0);
    } catch (const FatalError&) {
        const std::string kept = keep_aside("savegame", {file_part(saved_copy)});
        const std::string text = replace_all(message_text(msg::map_damaged), "[file]", saved_copy);
        show_status_message(replace_all(text, "[kept]", kept), message_text(msg::map_read_afresh), WHITE, -1, 0, 2000);
        return false;
    }
    load_tileset(map.tileset);
    return true;
}

void create_level(GameMap& map, DungeonRecord record) {
    const std::string level_file = level_file_name(record);
    reset_map(map);
    fill_map(map, record.default_tile);
    map.name = record.name + " " + message_text(kMsgLevel) + " " + int_to_text(record.entrance_to_level);
    map.filename = level_file;
    map.tileset.definition_filename = kLevelTileset;
    map.tileset.image_filename = kLevelTilesheet;
    map.default_tile = record.default_tile;
    map.background_tile = record.background_tile;
    map.tile_outside_map = record.tile_outside_map;
    // A map file holds lighting 0..8 (the view shows no more light than 8 anyway): a
    // dungeon that asks for more makes levels that still load when the character comes back.
    map.lighting = std::min<uint8_t>(record.lighting, kBrightestLighting);
    load_tileset(map.tileset);

    const FieldPosition end = carve_passage(map, record, kLevelArrival);

    // The way up leads back to where the character stands now.
    const CharacterRecord& character = g_character_model.character;
    set_map_portal(map, kLevelArrival.x, kLevelArrival.y, character.map_file_name, character.x, character.y);
    set_tile(map, kLevelArrival, kTileWayUp);

    if (record.entrance_to_level < record.number_of_levels) {
        set_tile(map, end, kTileWayDown);
        DungeonRecord way_down = record;
        way_down.xpos = static_cast<int16_t>(end.x);
        way_down.ypos = static_cast<int16_t>(end.y);
        way_down.entrance_to_level = wrap16(record.entrance_to_level + 1);
        g_map.level_exits.append() = way_down;
    } else {
        const int treasure = record.main_treasure > 0 ? record.main_treasure
                                                      : random_item_type(record.difficulty_level * 1000, "", true);
        place_generated_item(end.x, end.y, treasure);
    }

    const int item_value = record.entrance_to_level + record.difficulty_level * 10;
    for (int y = 1; y <= record.dimension_y; y += 2)
        for (int x = 1; x <= record.dimension_x; x += 2)
            if (holds(map, {x, y}, map.default_tile)) add_side_passage(map, record, {x, y}, item_value);

    add_traps(map, record);

    const int dwellers = record.dimension_x * record.dimension_y / 25 + 1;
    for (int i = 0; i < dwellers; ++i) {
        spawn_level_monster(map, record.entrance_to_level + record.difficulty_level - 1);
        put_on_random_floor(map, record, kTileSpecial, true);
    }
    for (int tile : kTileOncePerLevel) put_on_random_floor(map, record, tile, false);

    if (record.entrance_to_level >= record.number_of_levels && !record.bottom_portal.empty())
        add_bottom_portal(map, record);

    save_map(map, map_file_path("savegame", level_file));
}

FieldPosition carve_passage(GameMap& map, const DungeonRecord& record, FieldPosition start) {
    const int floor = map.background_tile, rock = map.default_tile;
    FieldPosition at = start;
    if (holds(map, at, floor)) return at;
    set_tile(map, at, floor);
    // Never back: the walk ends at its first dead end.
    while (in_some_direction([&](int d) {
        const FieldPosition step = kDirections[d];
        const FieldPosition beyond{at.x + 2 * step.x, at.y + 2 * step.y};
        if (!stays_in_maze(record, at, d) || !holds(map, beyond, rock)) return false;
        set_tile(map, {at.x + step.x, at.y + step.y}, floor);
        set_tile(map, beyond, floor);
        at = beyond;
        return true;
    })) {
    }
    return at;
}

void add_random_item(int x, int y, int value, const std::string& item_class) {
    place_generated_item(x, y, random_item_type(value, item_class, false));
}

int random_item_type(int value, const std::string& item_class, bool artefacts_only) {
    std::vector<int> candidates;
    for (int pass = 0; pass < kItemTypePasses && candidates.empty(); ++pass)
        for (int id = kFirstItemId; id <= kLastItemId; ++id) {
            const ItemType& kind = g_db.item_types[id];
            if (kind.name.empty()) continue;
            const int draw = Random(value);
            if (draw > kind.price && (item_class.empty() || item_class == kind.item_class) &&
                (!artefacts_only || kind.artefact))
                candidates.push_back(id);
        }
    if (candidates.empty()) return 0;
    return candidates[Random(static_cast<int>(candidates.size()) - 1)];
}

int random_magic_bonus() {
    int n = 1;
    // One coin toss for every further point; the toss is drawn before the limit is tested.
    while (Random(1) == 0 && n < kHighestMagicBonus) ++n;
    return n;
}

int random_monster_type(int level) {
    std::vector<int> candidates;
    for (int id = 1; id <= kMaxMonsterTypeId; ++id)
        if (!g_db.monster_types[id].name.empty() && g_db.monster_types[id].level <= level) candidates.push_back(id);
    if (candidates.empty()) return 0;
    return candidates[Random(static_cast<int>(candidates.size()) - 1)];
}

int spawn_level_monster(GameMap& map, int level) {
    const int type = random_monster_type(level);
    if (type == 0) return 0;  // no monster of type 0: the map file would drop it on the next load
    // The character arrives on the way up: a monster there would hide under its figure.
    auto blocked = [&](int x, int y) {
        return field_blocked_for_monster(map, x, y, type) || FieldPosition{x, y} == kLevelArrival;
    };
    int x = 0, y = 0, draws = 0;
    do {
        x = Random(49);
        y = Random(49);
        ++draws;
    } while (blocked(x, y) && draws < kMonsterFieldDraws);
    if (draws >= kMonsterFieldDraws) return 0;
    Monster monster;
    monster.type = static_cast<int16_t>(type);
    monster.x = static_cast<int16_t>(x);
    monster.y = static_cast<int16_t>(y);
    monster.hitpoints = g_db.monster_types[type].hitpoints;
    return add_monster(monster);
}
