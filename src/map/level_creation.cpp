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

// The end of a side passage (or a room's or a cavern's nook) gets a trap, an
// item, a treasure spot with three items, or nothing.
void furnish_nook(GameMap& map, FieldPosition end, int item_value) {
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
    furnish_nook(map, carve_passage(map, record, cell), item_value);
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

// The traps of a level: traps_per_level, and traps_per_level_step more for
// every level below the first (never fewer than none).
int traps_on_level(const DungeonRecord& record) {
    return std::max(0, record.traps_per_level + (record.entrance_to_level - 1) * record.traps_per_level_step);
}

void add_traps(GameMap& map, const DungeonRecord& record) {
    const int count = traps_on_level(record);
    if (count <= 0) return;
    std::vector<int> traps;
    for (int id = 0; id < kTileTypeCount; ++id)
        if (lists_share_entry(map.tileset.tile_types[id].cls, "trap", "|")) traps.push_back(id);
    if (traps.empty()) return;
    for (int i = 0; i < count; ++i) {
        const int trap = traps[Random(static_cast<int>(traps.size()) - 1)];
        put_on_random_floor(map, record, trap, true);
    }
}

// The bottom level's portal, cut into a random rock field of the maze area
// that touches a field the character can reach: the draws go on past a field
// walled in, as long as the maze area has a field that would do. The way up
// does not count: beside it alone, the portal could be reached only on the
// step off the arrival, since every later step onto the way up leads away.
void add_bottom_portal(GameMap& map, const DungeonRecord& record) {
    const std::vector<bool> reached = reachable_from_arrival(map);
    auto touches_reached = [&](int x, int y) {
        for (const FieldPosition step : kDirections) {
            const int nx = x + step.x, ny = y + step.y;
            if (FieldPosition{nx, ny} == kLevelArrival) continue;
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

// The bottom monster stands guard on the free field nearest to walk to from
// the treasure (never the treasure's own field, never the arrival); nothing
// when no field is free for it.
void add_bottom_monster(GameMap& map, const DungeonRecord& record, FieldPosition treasure) {
    const int type = record.bottom_monster;
    if (type < 1 || type > kMaxMonsterTypeId || g_db.monster_types[type].name.empty()) return;
    std::vector<bool> seen(kMapSize * kMapSize);
    std::vector<FieldPosition> open{treasure};
    seen[treasure.y * kMapSize + treasure.x] = true;
    for (size_t next = 0; next < open.size(); ++next) {
        const FieldPosition at = open[next];
        if (at != treasure && at != kLevelArrival && !field_blocked_for_monster(map, at.x, at.y, type)) {
            Monster monster;
            monster.type = static_cast<int16_t>(type);
            monster.x = static_cast<int16_t>(at.x);
            monster.y = static_cast<int16_t>(at.y);
            monster.hitpoints = g_db.monster_types[type].hitpoints;
            add_monster(monster);
            return;
        }
        for (const FieldPosition step : kDirections) {
            const FieldPosition n{at.x + step.x, at.y + step.y};
            if (n.x < 0 || n.y < 0 || n.x > kLastStepField || n.y > kLastStepField || seen[n.y * kMapSize + n.x] ||
                field_blocked(map, n.x, n.y))
                continue;
            seen[n.y * kMapSize + n.x] = true;
            open.push_back(n);
        }
    }
}

// ---- Levels of rooms and of caverns ----

// The fields a room or cavern level may open: x 1 .. last_x, y 1 .. last_y,
// inside the record's area and never on row or column 49 (no step enters them).
struct LevelArea {
    int last_x, last_y;
};
LevelArea level_area(const DungeonRecord& record) {
    return {std::clamp(record.dimension_x - 2, 1, kMapSize - 2), std::clamp(record.dimension_y - 2, 1, kMapSize - 2)};
}

struct Room {
    int x, y, width, height;
    FieldPosition centre() const { return {x + width / 2, y + height / 2}; }
};

void open_floor(GameMap& map, int x, int y) { set_map_tile_type(map, x, y, map.background_tile); }

// A corridor from a to b: along x first or along y first, at random.
void dig_corridor(GameMap& map, FieldPosition a, FieldPosition b) {
    const bool x_first = Random(1) == 0;
    const FieldPosition bend = x_first ? FieldPosition{b.x, a.y} : FieldPosition{a.x, b.y};
    for (const auto& [from, to] : {std::pair{a, bend}, std::pair{bend, b}}) {
        for (int x = std::min(from.x, to.x); x <= std::max(from.x, to.x); ++x) open_floor(map, x, from.y);
        for (int y = std::min(from.y, to.y); y <= std::max(from.y, to.y); ++y) open_floor(map, from.x, y);
    }
}

// Rooms joined by corridors, each to the one made before it: the first room
// holds the arrival; the others lie apart, a wall's width at least between
// them. Their nooks: one field of every room but the first.
// At least a third of the level area (in x plus y) away from the arrival.
bool far_from_arrival(const DungeonRecord& record, FieldPosition at) {
    const LevelArea area = level_area(record);
    const int away = std::abs(at.x - kLevelArrival.x) + std::abs(at.y - kLevelArrival.y);
    return 3 * away >= area.last_x + area.last_y;
}

std::vector<FieldPosition> make_rooms(GameMap& map, const DungeonRecord& record) {
    const LevelArea area = level_area(record);
    std::vector<Room> rooms;
    auto fits = [&](const Room& r) {
        if (r.x < 1 || r.y < 1 || r.x + r.width - 1 > area.last_x || r.y + r.height - 1 > area.last_y) return false;
        for (const Room& o : rooms)
            if (r.x <= o.x + o.width && o.x <= r.x + r.width && r.y <= o.y + o.height && o.y <= r.y + r.height)
                return false;
        return true;
    };
    // The arrival's room, and a room in the far corner, so that even a small level leads somewhere.
    rooms.push_back({1, 1, std::clamp(3 + Random(3), 1, std::max(1, area.last_x / 2)),
                     std::clamp(3 + Random(2), 1, std::max(1, area.last_y / 2))});
    for (int side = 3; side >= 1; --side) {
        const Room corner{area.last_x - side + 1, area.last_y - side + 1, side, side};
        if (fits(corner)) {
            rooms.push_back(corner);
            break;
        }
    }
    const int wanted = record.dimension_x * record.dimension_y / 120 + 2;
    for (int attempt = 0; attempt < wanted * 12 && static_cast<int>(rooms.size()) < wanted; ++attempt) {
        Room r{0, 0, 3 + Random(5), 3 + Random(3)};
        if (r.width > area.last_x || r.height > area.last_y) continue;
        r.x = 1 + Random(area.last_x - r.width);
        r.y = 1 + Random(area.last_y - r.height);
        if (fits(r)) rooms.push_back(r);
    }
    std::vector<FieldPosition> nooks;
    for (size_t i = 0; i < rooms.size(); ++i) {
        const Room& r = rooms[i];
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) open_floor(map, x, y);
        if (i == 0) continue;
        dig_corridor(map, rooms[i - 1].centre(), r.centre());
        nooks.push_back({r.x + Random(r.width - 1), r.y + Random(r.height - 1)});
    }
    return nooks;
}

// Caverns: walkers wander from the arrival and then from floor opened before,
// each drawn towards a spot of its own, opening every field they pass, until
// two fifths of the area are open (or their steps run out). Their nooks:
// random open fields, one for every 40 of the area.
std::vector<FieldPosition> make_caverns(GameMap& map, const DungeonRecord& record) {
    const LevelArea area = level_area(record);
    const int fields = area.last_x * area.last_y;
    const int wanted = std::max(1, fields * 2 / 5);
    std::vector<FieldPosition> open{kLevelArrival};
    open_floor(map, kLevelArrival.x, kLevelArrival.y);
    FieldPosition at = kLevelArrival, spot = kLevelArrival;
    for (int step = 0; static_cast<int>(open.size()) < wanted && step < fields * 40; ++step) {
        if (at == spot || step % 80 == 0) {
            // A new walker: from some open field towards a spot anywhere in the area.
            at = open[Random(static_cast<int>(open.size()) - 1)];
            spot = {1 + Random(area.last_x - 1), 1 + Random(area.last_y - 1)};
        }
        FieldPosition d = kDirections[Random(3)];
        if (Random(1) == 0) {  // half the steps head for the spot
            if (std::abs(spot.x - at.x) >= std::abs(spot.y - at.y)) d = {(spot.x > at.x) - (spot.x < at.x), 0};
            else d = {0, (spot.y > at.y) - (spot.y < at.y)};
        }
        const FieldPosition next{at.x + d.x, at.y + d.y};
        if (next.x < 1 || next.y < 1 || next.x > area.last_x || next.y > area.last_y) continue;
        at = next;
        if (holds(map, at, map.background_tile)) continue;
        open_floor(map, at.x, at.y);
        open.push_back(at);
    }
    std::vector<FieldPosition> nooks;
    for (int i = 0; i < fields / 40 + 1; ++i) nooks.push_back(open[Random(static_cast<int>(open.size()) - 1)]);
    return nooks;
}

// The way on of a level of rooms or caverns: of the open fields at least a
// third of the area away from the arrival (in x plus y), the one furthest to
// walk to; when none lies so far, the one furthest in x plus y (the first of
// them row by row). The arrival itself when nothing else is open.
FieldPosition way_on_field(const GameMap& map, const DungeonRecord& record) {
    const std::vector<int> steps = steps_from_arrival(map);
    auto away = [](int i) { return std::abs(i % kMapSize - kLevelArrival.x) + std::abs(i / kMapSize - kLevelArrival.y); };
    auto far_enough = [&](int i) { return far_from_arrival(record, {i % kMapSize, i / kMapSize}); };
    int best = kLevelArrival.y * kMapSize + kLevelArrival.x;
    for (int i = 0; i < kMapSize * kMapSize; ++i) {
        if (steps[i] < 0) continue;
        const bool better = far_enough(best) ? far_enough(i) && steps[i] > steps[best]
                                             : far_enough(i) || away(i) > away(best);
        if (better) best = i;
    }
    return {best % kMapSize, best / kMapSize};
}

// The way down to the next level on the field, with its level exit; on the
// bottom level the treasure instead, first of the level's items.
void place_way_on(GameMap& map, const DungeonRecord& record, FieldPosition end) {
    if (record.entrance_to_level < record.number_of_levels) {
        set_tile(map, end, kTileWayDown);
        DungeonRecord way_down = record;
        way_down.xpos = static_cast<int16_t>(end.x);
        way_down.ypos = static_cast<int16_t>(end.y);
        way_down.entrance_to_level = wrap16(record.entrance_to_level + 1);
        g_map.level_exits.append() = way_down;
        return;
    }
    const int treasure = record.main_treasure > 0 ? record.main_treasure
                                                  : random_item_type(record.difficulty_level * 1000, "", true);
    const int before = g_map.items.count();
    place_generated_item(end.x, end.y, treasure);
    if (g_map.items.count() == before || before == 0) return;
    const MapItem placed = *std::prev(g_map.items.end());
    g_map.items.select(before);
    g_map.items.remove_current();
    g_map.items.reset();
    g_map.items.add() = placed;
}

// The plain floor (no items on it, no special tile) furthest to walk to from
// the arrival among the fields a third of the area or more away; the way on
// of the level's own choice when there is none.
FieldPosition furthest_free_floor(const GameMap& map, const DungeonRecord& record) {
    const std::vector<int> steps = steps_from_arrival(map);
    std::vector<bool> has_items(kMapSize * kMapSize);
    for (const MapItem& item : g_map.items)
        if (item.x >= 0 && item.y >= 0 && item.x < kMapSize && item.y < kMapSize) has_items[item.y * kMapSize + item.x] = true;
    int best = -1;
    for (int i = 0; i < kMapSize * kMapSize; ++i) {
        const FieldPosition at{i % kMapSize, i / kMapSize};
        if (steps[i] < 0 || has_items[i] || !holds(map, at, map.background_tile) || !far_from_arrival(record, at)) continue;
        if (best < 0 || steps[i] > steps[best]) best = i;
    }
    if (best < 0) return way_on_field(map, record);
    return {best % kMapSize, best / kMapSize};
}

}  // namespace

std::vector<int> steps_from_arrival(const GameMap& map) {
    std::vector<int> steps(kMapSize * kMapSize, -1);
    auto walkable = [&](int x, int y) {
        return x >= 0 && y >= 0 && x <= kLastStepField && y <= kLastStepField && !field_blocked(map, x, y);
    };
    // Breadth first: every field is reached first by a shortest walk.
    std::vector<FieldPosition> open{kLevelArrival};
    steps[kLevelArrival.y * kMapSize + kLevelArrival.x] = 0;
    for (size_t next_open = 0; next_open < open.size(); ++next_open) {
        const FieldPosition at = open[next_open];
        for (const FieldPosition step : kDirections) {
            const FieldPosition next{at.x + step.x, at.y + step.y};
            if (!walkable(next.x, next.y) || steps[next.y * kMapSize + next.x] >= 0) continue;
            steps[next.y * kMapSize + next.x] = steps[at.y * kMapSize + at.x] + 1;
            open.push_back(next);
        }
    }
    return steps;
}

std::vector<bool> reachable_from_arrival(const GameMap& map) {
    const std::vector<int> steps = steps_from_arrival(map);
    std::vector<bool> reached(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) reached[i] = steps[i] >= 0;
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
    map.walls_block_sight = record.walls_block_sight;
    load_tileset(map.tileset);

    // The written maze, or rooms, or caverns; the way down (or the treasure)
    // where the main passage ends, or on the field furthest from the arrival.
    const bool maze = record.level_maker != "rooms" && record.level_maker != "caverns";
    std::vector<FieldPosition> nooks;
    if (record.level_maker == "rooms") nooks = make_rooms(map, record);
    else if (record.level_maker == "caverns") nooks = make_caverns(map, record);
    FieldPosition end = maze ? carve_passage(map, record, kLevelArrival) : way_on_field(map, record);
    // A maze asked to keep its way down far, whose main passage ends near the
    // arrival: the way on goes, once the side passages are made, to the free
    // floor furthest to walk to.
    const bool way_on_later = maze && record.way_down_far && !far_from_arrival(record, end);

    // The way up leads back to where the character stands now.
    const CharacterRecord& character = g_character_model.character;
    set_map_portal(map, kLevelArrival.x, kLevelArrival.y, character.map_file_name, character.x, character.y);
    set_tile(map, kLevelArrival, kTileWayUp);

    if (!way_on_later) place_way_on(map, record, end);

    const int item_value = record.entrance_to_level + record.difficulty_level * 10;
    if (maze) {
        for (int y = 1; y <= record.dimension_y; y += 2)
            for (int x = 1; x <= record.dimension_x; x += 2)
                if (holds(map, {x, y}, map.default_tile)) add_side_passage(map, record, {x, y}, item_value);
    }
    for (const FieldPosition nook : nooks)
        if (nook != end && nook != kLevelArrival && holds(map, nook, map.background_tile)) furnish_nook(map, nook, item_value);
    if (way_on_later) {
        end = furthest_free_floor(map, record);
        place_way_on(map, record, end);
    }

    add_traps(map, record);

    if (record.entrance_to_level >= record.number_of_levels) add_bottom_monster(map, record, end);
    const int dwellers = record.dimension_x * record.dimension_y / 25 + 1;
    for (int i = 0; i < dwellers; ++i) {
        spawn_level_monster(map, record.entrance_to_level + record.difficulty_level - 1, record.monster_class);
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

std::vector<int> level_monster_types(int level, const std::string& monster_class) {
    std::vector<int> candidates;
    for (int id = 1; id <= kMaxMonsterTypeId; ++id) {
        const MonsterType& kind = g_db.monster_types[id];
        if (!kind.name.empty() && kind.level <= level &&
            (monster_class.empty() || lists_share_entry(kind.cls, monster_class, "|")))
            candidates.push_back(id);
    }
    return candidates;
}

int random_monster_type(int level, const std::string& monster_class) {
    const std::vector<int> candidates = level_monster_types(level, monster_class);
    if (candidates.empty()) return 0;
    return candidates[Random(static_cast<int>(candidates.size()) - 1)];
}

int spawn_level_monster(GameMap& map, int level, const std::string& monster_class) {
    const int type = random_monster_type(level, monster_class);
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
