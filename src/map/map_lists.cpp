#include "map/map_lists.h"

#include <cstdlib>

#include "character/character_state.h"
#include "common/database.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/strings.h"

namespace {

void append_map_event(const std::string& name, int triggered, int xp) {
    MapEvent& added = g_map.events.append();
    added.name = name;
    added.triggered = triggered ? 1 : 0;
    added.xp = wrap8(xp);
}

bool on_grid(const Monster& record) {
    return record.x >= 0 && record.x < kMapSize && record.y >= 0 && record.y < kMapSize;
}

void append_monster(const Monster& record) {
    Monster& added = g_map.monsters.append();
    added.type = record.type;
    added.x = record.x;
    added.y = record.y;
    added.hitpoints = record.hitpoints;
    added.alerted = record.alerted;
    added.offset_y = record.offset_y;
}

}  // namespace

int add_map_event(const std::string& name, int triggered, int xp) {
    for (const MapEvent& event : g_map.events)
        if (event.name == name) return 0;
    append_map_event(name, triggered, xp);
    return 1;
}

int map_event_triggered(const std::string& name) {
    for (const MapEvent& event : g_map.events)
        if (event.name == name && event.triggered) return 1;
    return 0;
}

int map_event_xp(const std::string& name) {
    for (const MapEvent& event : g_map.events)
        if (event.name == name) return event.xp;
    return 0;
}

int add_transformation(const Transformation& record) {
    for (const Transformation& existing : g_map.transformations)
        if (existing.x == record.x && existing.y == record.y && existing.event == record.event) return 0;
    g_map.transformations.append() = record;
    return 1;
}

int add_monster(const Monster& record) {
    if (!on_grid(record)) return 0;
    for (const Monster& monster : g_map.monsters)
        if (monster.x == record.x && monster.y == record.y) return 0;
    append_monster(record);
    return 1;
}

int MapListIndex::add_map_event(const std::string& name, int triggered, int xp) {
    if (!events_.insert(name).second) return 0;
    append_map_event(name, triggered, xp);
    return 1;
}

int MapListIndex::add_transformation(const Transformation& record) {
    std::string key = record.event;
    key += static_cast<char>(record.x);
    key += static_cast<char>(record.y);
    if (!transformations_.insert(std::move(key)).second) return 0;
    g_map.transformations.append() = record;
    return 1;
}

int MapListIndex::add_monster(const Monster& record) {
    if (!on_grid(record)) return 0;
    const size_t field = static_cast<size_t>(record.y * kMapSize + record.x);
    if (monster_fields_.test(field)) return 0;
    monster_fields_.set(field);
    append_monster(record);
    return 1;
}

namespace {

// The monster fought last, while it is still on the list and on the map view.
const Monster* foe_in_sight() {
    constexpr int VIEW_REACH = 6;  // fields from the character in x and in y
    const CharacterRecord& c = g_character_model.character;
    for (const Monster& monster : g_map.monsters)
        if (&monster == g_map.fought_last)
            return std::abs(monster.x - c.x) <= VIEW_REACH && std::abs(monster.y - c.y) <= VIEW_REACH ? &monster
                                                                                                        : nullptr;
    return nullptr;
}

}  // namespace

const Monster* monster_in_front() {
    if (const Monster* foe = foe_in_sight()) return foe;
    // The neighbour fields in the order they are looked at, by (dy + 1) * 3 + dx + 1.
    static constexpr int RANK[9] = {7, 0, 4, 3, 8, 1, 6, 2, 5};
    const CharacterRecord& c = g_character_model.character;
    const Monster* found = nullptr;
    int best = 8;  // the character's own field is not next to it
    for (const Monster& monster : g_map.monsters) {
        const int dx = monster.x - c.x, dy = monster.y - c.y;
        if (std::abs(dx) > 1 || std::abs(dy) > 1) continue;
        // Of two on one field the later one, as on every look-up by field.
        const int rank = RANK[(dy + 1) * 3 + dx + 1];
        if (rank <= best) {
            best = rank;
            found = &monster;
        }
    }
    return best < 8 ? found : nullptr;
}

void note_monster_fought(const Monster& monster) { g_map.fought_last = &monster; }

void note_monster_striking(const Monster& monster) {
    if (!foe_in_sight()) g_map.fought_last = &monster;
}

Monster* last_monster_at(int x, int y) {
    Monster* found = nullptr;
    for (Monster& monster : g_map.monsters)
        if (monster.x == x && monster.y == y) found = &monster;
    return found;
}

int field_blocked_for_monster(const GameMap& map, int x, int y, int type) {
    // No monster leaves the grid, whatever lies outside it: a monster off the
    // grid could never be reached, and the map file would lose it.
    if (!on_map(x, y)) return 1;
    const int t = read_map_tile_type(map, x, y);
    // A tile type the tileset cannot hold is no ground for anyone.
    if (t < 0 || t >= kTileTypeCount) return 1;
    const TileType& tile = map.tileset.tile_types[t];
    const bool flies = type >= 0 && type <= kMaxMonsterTypeId && g_db.monster_types[type].flying;
    if (tile.solid && !flies) return 1;
    if (tile.blocks_flight && flies) return 1;
    return last_monster_at(x, y) ? 1 : 0;
}
