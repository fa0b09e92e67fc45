#include "map/map_grid.h"

#include "common/word_lists.h"
#include "map/tileset.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "common/raise_error.h"
#include "map/map_state.h"

bool on_map(int x, int y) { return x >= 0 && x < kMapSize && y >= 0 && y < kMapSize; }

namespace {

// "<what>wrong parameters: x=<x>; y=<y>" for the checked accessors.
[[noreturn]] void wrong_position(const std::string& what, int x, int y) {
    raise_error(what + "wrong parameters: x=" + int_to_text(x) + "; y=" + int_to_text(y));
}

const MapField& checked_field(const GameMap& map, int x, int y, const char* what) {
    if (!on_map(x, y)) wrong_position(what, x, y);
    return map.fields[y][x];
}

}  // namespace

int16_t read_map_tile_type(const GameMap& map, int x, int y) {
    if (!on_map(x, y)) return map.tile_outside_map;
    return map.fields[y][x].tile_type;
}

int read_map_hidden(const GameMap& map, int x, int y) { return on_map(x, y) ? map.fields[y][x].hidden : 0; }

int read_map_visited(const GameMap& map, int x, int y) { return on_map(x, y) ? map.fields[y][x].visited : 0; }
int read_map_seen(const GameMap& map, int x, int y) { return on_map(x, y) ? map.fields[y][x].seen : 0; }

std::string read_map_power_used(const GameMap& map, int x, int y) {
    return on_map(x, y) ? map.fields[y][x].power_used : std::string();
}

std::string read_map_event(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_event(): ").event;
}

int8_t read_map_event_xp(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_event_xp(): ").event_xp;
}

std::string read_map_message_line1(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_message_line1: ").message_line1;
}

std::string read_map_message_line2(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_message_line2: ").message_line2;
}

int16_t read_map_message_tile(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_message_tile: ").message_tile;
}

std::string read_map_portal_mapfilename(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_portal_mapfilename: ").portal_mapfile;
}

int8_t read_map_portal_target_x(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_portal_target_x: ").portal_x;
}

int8_t read_map_portal_target_y(const GameMap& map, int x, int y) {
    return checked_field(map, x, y, "read_map_portal_target_y: ").portal_y;
}

void set_map_tile_type(GameMap& map, int x, int y, int tile_type) {
    if (tile_type < 0 || tile_type >= kTileTypeCount)
        raise_error("set_map_tile_type: wrong tile_type: " + int_to_text(tile_type));
    if (!on_map(x, y)) wrong_position("set_map_tile_type: ", x, y);
    map.fields[y][x].tile_type = static_cast<int16_t>(tile_type);
}

void set_map_portal(GameMap& map, int x, int y, const std::string& mapfile, int target_x, int target_y) {
    if (!on_map(x, y)) wrong_position("set_map_portal: ", x, y);
    if (!on_map(target_x, target_y))
        raise_error("set_map_portal: wrong parameters: target_x=" + int_to_text(target_x) +
                    "; target_y=" + int_to_text(target_y));
    MapField& field = map.fields[y][x];
    field.portal_mapfile = mapfile;
    field.portal_x = static_cast<int8_t>(target_x);
    field.portal_y = static_cast<int8_t>(target_y);
}

void set_map_message(GameMap& map, int x, int y, const std::string& line1, const std::string& line2,
                     int message_tile) {
    if (!on_map(x, y)) return;
    MapField& field = map.fields[y][x];
    field.message_line1 = line1;
    field.message_line2 = line2;
    field.message_tile = wrap16(message_tile);
}

void set_map_event(GameMap& map, int x, int y, const std::string& event, int event_xp) {
    if (!on_map(x, y)) return;
    map.fields[y][x].event = event;
    map.fields[y][x].event_xp = wrap8(event_xp);
}

void set_map_power_used(GameMap& map, int x, int y, const std::string& list) {
    if (on_map(x, y)) map.fields[y][x].power_used = list;
}

void set_map_hidden(GameMap& map, int x, int y, int flag) {
    if (on_map(x, y)) map.fields[y][x].hidden = wrap8(flag);
}

void set_map_visited(GameMap& map, int x, int y, int flag) {
    if (on_map(x, y)) map.fields[y][x].visited = wrap8(flag);
}

void set_map_seen(GameMap& map, int x, int y, int flag) {
    if (on_map(x, y)) map.fields[y][x].seen = flag ? 1 : 0;
}

void add_power_used(GameMap& map, int x, int y, const std::string& power_name) {
    if (!on_map(x, y)) return;
    if (field_power_used(map, x, y, power_name)) return;
    std::string& list = map.fields[y][x].power_used;
    if (!list.empty()) list += "|";
    list += power_name;
}

int field_power_used(const GameMap& map, int x, int y, const std::string& power_name) {
    if (!on_map(x, y)) return 0;
    return lists_share_entry(map.fields[y][x].power_used, power_name, "|");
}

void reset_map(GameMap& map) {
    map.name.clear();
    map.filename.clear();
    g_map.events.clear();
    g_map.transformations.clear();
    g_map.monsters.clear();
    g_map.items.clear();
    g_map.level_exits.clear();
    g_map.fought_last = nullptr;
    reset_tileset(map.tileset);
    for (auto& row : map.fields)
        for (MapField& field : row) field = MapField{};
    map.tile_outside_map = 0;
    map.default_tile = 0;
    map.background_tile = 0;
    map.spawn_monster_level = 0;
    map.spawn_monster_chance = 0;
    map.visited = 0;
    map.lighting = 0;
    map.walls_block_sight = 0;
}

void fill_map(GameMap& map, int tile_type) {
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            set_map_tile_type(map, x, y, tile_type);
            set_map_portal(map, x, y, "", 0, 0);
            set_map_message(map, x, y, "", "", 0);
        }
}

int most_common_tile_type(const GameMap& map) {
    int counts[kTileTypeCount] = {};
    for (const auto& row : map.fields)
        for (const MapField& field : row)
            if (field.tile_type >= 0 && field.tile_type < kTileTypeCount) ++counts[field.tile_type];
    int best = 0;
    for (int id = 1; id < kTileTypeCount; ++id)
        if (counts[id] > counts[best]) best = id;
    return best;
}

int find_random_field(const GameMap& map, int t, int width, int height, int& x, int& y) {
    if (t == -1) t = map.background_tile;
    int tries = 0;
    int try_x = 0, try_y = 0;
    do {
        try_x = Random(width - 1);
        try_y = Random(height - 1);
        ++tries;
    } while (read_map_tile_type(map, try_x, try_y) != t && tries <= 100);
    if (tries > 100) return 0;
    x = try_x;
    y = try_y;
    return 1;
}

int field_blocked(const GameMap& map, int x, int y) {
    int t = read_map_tile_type(map, x, y);
    // A tile type the tileset cannot hold is no ground to stand on.
    if (t < 0 || t >= kTileTypeCount) return 1;
    return map.tileset.tile_types[t].solid ? 1 : 0;
}
