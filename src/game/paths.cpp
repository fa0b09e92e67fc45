#include "game/paths.h"

#include <array>

#include "common/database.h"
#include "common/word_lists.h"
#include "map/map_grid.h"

namespace {

constexpr int kFields = kMapSize * kMapSize;
// The last row and column are never entered by a step.
// up, right, down, left
constexpr int kDx[4] = {0, 1, 0, -1};
constexpr int kDy[4] = {-1, 0, 1, 0};

const TileType* tile_type_at(const GameMap& map, int x, int y) {
    const int t = read_map_tile_type(map, x, y);
    if (t < 0 || t >= kTileTypeCount) return nullptr;
    return &map.tileset.tile_types[t];
}

bool tile_hurts(const TileType& tile) {
    for (const TileModifyAttribute& slot : tile.modify_attribute) {
        if (slot.attribute <= 0 || slot.attribute >= kAbilityTableSize || slot.amount >= 0) continue;
        if (g_db.abilities[slot.attribute].modify_per_point_of_damage != 0) return true;
    }
    return false;
}

bool portal_field(const GameMap& map, int x, int y) { return !map.fields[y][x].portal_mapfile.empty(); }

bool level_exit_field(const GameList<DungeonRecord>& level_exits, int x, int y) {
    for (const DungeonRecord& exit : level_exits)
        if (exit.xpos == x && exit.ypos == y) return true;
    return false;
}

bool portal_leads_down(const GameMap& map, int x, int y) {
    const TileType* tile = tile_type_at(map, x, y);
    return tile && lists_share_entry(tile->cls, "way_down", "|");
}

// What the tile types are to a walk, each worked out once per search: a
// search asks about every field, and a class list is read word by word.
class TileVerdicts {
public:
    // true: a step may enter a field of the type when it is seen (and, for a
    // harmful type, hidden: its harm is not known).
    bool open(const GameMap& map, int x, int y) {
        if (x < 0 || x > kLastStepField || y < 0 || y > kLastStepField) return false;
        const MapField& field = map.fields[y][x];
        if (!field.seen || field.tile_type < 0 || field.tile_type >= kTileTypeCount) return false;
        int8_t& verdict = verdicts_[field.tile_type];
        if (verdict == unknown) {
            const TileType& tile = map.tileset.tile_types[field.tile_type];
            verdict = tile.solid ? solid
                      : lists_share_entry(tile.cls, "trap", "|") || tile_hurts(tile) ? harmful
                                                                                      : ground;
        }
        return verdict == ground || (verdict == harmful && field.hidden);
    }

private:
    enum : int8_t { unknown, solid, harmful, ground };
    std::array<int8_t, kTileTypeCount> verdicts_{};
};

}  // namespace

bool known_harmful_field(const GameMap& map, int x, int y) {
    if (!on_map(x, y) || map.fields[y][x].hidden) return false;
    const TileType* tile = tile_type_at(map, x, y);
    return tile && (lists_share_entry(tile->cls, "trap", "|") || tile_hurts(*tile));
}

bool travel_field_open(const GameMap& map, int x, int y) { return TileVerdicts().open(map, x, y); }

std::vector<MapPoint> path_to_nearest(const GameMap& map, const PathObstacles& obstacles, MapPoint from,
                                      const std::function<bool(int x, int y)>& goal) {
    if (!on_map(from.x, from.y)) return {};
    std::array<bool, kFields> occupied{}, passage{};
    for (const Monster& monster : obstacles.monsters)
        if (on_map(monster.x, monster.y)) occupied[monster.y * kMapSize + monster.x] = true;
    for (const DungeonRecord& exit : obstacles.level_exits)
        if (on_map(exit.xpos, exit.ypos)) passage[exit.ypos * kMapSize + exit.xpos] = true;

    // Breadth first: each field remembers the field it was reached from.
    std::array<int16_t, kFields> came_from;
    came_from.fill(-1);
    std::array<int16_t, kFields> queue;
    int head = 0, tail = 0;
    const int start = from.y * kMapSize + from.x;
    came_from[start] = static_cast<int16_t>(start);
    queue[tail++] = static_cast<int16_t>(start);
    int found = -1;
    TileVerdicts tiles;
    while (head < tail && found < 0) {
        const int here = queue[head++];
        const int x = here % kMapSize, y = here / kMapSize;
        for (int d = 0; d < 4; ++d) {
            const int nx = x + kDx[d], ny = y + kDy[d];
            if (nx < 0 || nx > kLastStepField || ny < 0 || ny > kLastStepField) continue;
            const int next = ny * kMapSize + nx;
            if (came_from[next] >= 0 || occupied[next] || !tiles.open(map, nx, ny)) continue;
            came_from[next] = static_cast<int16_t>(here);
            if (goal(nx, ny)) {
                found = next;
                break;
            }
            if (!passage[next] && !portal_field(map, nx, ny)) queue[tail++] = static_cast<int16_t>(next);
        }
    }
    std::vector<MapPoint> path;
    if (found < 0) return path;
    for (int at = found; at != start; at = came_from[at]) path.push_back({at % kMapSize, at / kMapSize});
    return {path.rbegin(), path.rend()};
}

std::vector<MapPoint> path_to_field(const GameMap& map, const PathObstacles& obstacles, MapPoint from, MapPoint to) {
    return path_to_nearest(map, obstacles, from, [&](int x, int y) { return x == to.x && y == to.y; });
}

bool way_down_at(const GameMap& map, const GameList<DungeonRecord>& level_exits, int x, int y) {
    if (!on_map(x, y)) return false;
    // A portal goes first when a step lands on a field that is both.
    if (portal_field(map, x, y)) return portal_leads_down(map, x, y);
    return level_exit_field(level_exits, x, y);
}

bool way_up_at(const GameMap& map, int x, int y) {
    return on_map(x, y) && portal_field(map, x, y) && !portal_leads_down(map, x, y);
}

bool exploring_goal(const GameMap& map, const GameList<DungeonRecord>& level_exits, const std::vector<bool>& stood_on,
                    int x, int y) {
    // Most fields have nothing unseen beside them: that is asked first.
    bool unseen_beside = false;
    for (int d = 0; d < 4 && !unseen_beside; ++d) {
        const int nx = x + kDx[d], ny = y + kDy[d];
        unseen_beside = on_map(nx, ny) && !map.fields[ny][nx].seen;
    }
    if (!unseen_beside || !travel_field_open(map, x, y)) return false;
    if (!stood_on.empty() && stood_on[y * kMapSize + x]) return false;
    return !portal_field(map, x, y) && !level_exit_field(level_exits, x, y);
}
