#include "map/vision.h"

#include <cstdint>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "common/database.h"
#include "map/map_grid.h"
#include "map/map_state.h"

int light_level() {
    int level = g_map.map.lighting;
    bool light_out = false;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        if (!g_db.abilities[id].lightradius) continue;
        level += attribute_current_val(static_cast<int16_t>(id), Cap::apply, PowerAdjustment::add, ItemBonus::add);
        if (g_character_model.character.abilities[id].adjustment_percentage == 0) light_out = true;
    }
    if (light_out) level = 0;
    if (level < 0) level = 0;
    if (level > 8) level = 8;
    return level;
}

bool light_reaches_view_cell(int light, int column, int row) {
    if (column < 0 || column >= VIEW_CELLS || row < 0 || row >= VIEW_CELLS) return false;
    if (light > 6) return true;
    if (light < 0) light = 0;
    // The darkness picture of level l is clear within the radius 22 + 30 l
    // pixels of the view's centre and thickens over a dithered band of
    // 22 + 4 l pixels beyond it; the darkest dither threshold (1/128 of the
    // band) is the one every cell's centre pixel meets, so a cell is lit
    // exactly when its centre lies within radius + band / 128. The centre
    // pixel (32 i + 16) is measured at its middle, half a pixel further on:
    // twice its distance is the root of (64 a + 1)^2 + (64 b + 1)^2, a and b
    // the cells from the character's. All in integers, squared.
    const int64_t a = column - VIEW_CENTRE, b = row - VIEW_CENTRE;
    const int64_t twice_squared = (64 * a + 1) * (64 * a + 1) + (64 * b + 1) * (64 * b + 1);
    const int64_t radius = 22 + 30 * light, band = 22 + 4 * light;
    const int64_t reach = 128 * radius + band;
    return 4096 * twice_squared <= reach * reach;
}

bool field_blocks_sight(const GameMap& map, int x, int y) {
    const int t = on_map(x, y) && read_map_hidden(map, x, y) ? map.background_tile : read_map_tile_type(map, x, y);
    return t >= 0 && t < kTileTypeCount && map.tileset.tile_types[t].solid != 0;
}

namespace {

// Symmetric shadowcasting. Each quarter is a cone around one direction from
// the character; its rows lie at a depth 1..6 from the character and its
// columns run across. A slope is the fraction column / depth of a line from
// the character's centre, kept as two integers.
struct Slope {
    int num, den;  // den > 0
};

int floor_div(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The first column of the row whose centre lies at or after the slope (ties up),
// and the last one at or before it (ties down).
int first_column(int depth, Slope s) { return floor_div(2 * depth * s.num + s.den, 2 * s.den); }
int last_column(int depth, Slope s) { return -floor_div(s.den - 2 * depth * s.num, 2 * s.den); }

// The field's centre lies within the cone between the two slopes.
bool centre_within(int depth, int column, Slope start, Slope end) {
    return column * start.den >= depth * start.num && column * end.den <= depth * end.num;
}

struct Quarter {
    int dx_of_depth, dy_of_depth, dx_of_column, dy_of_column;
};
constexpr Quarter QUARTERS[4] = {{0, -1, 1, 0}, {1, 0, 0, 1}, {0, 1, 1, 0}, {-1, 0, 0, 1}};

struct Caster {
    const GameMap& map;
    int x, y;
    const Quarter& q;
    ViewCells& seen;

    int cell_dx(int depth, int column) const { return depth * q.dx_of_depth + column * q.dx_of_column; }
    int cell_dy(int depth, int column) const { return depth * q.dy_of_depth + column * q.dy_of_column; }
    bool wall(int depth, int column) const {
        return field_blocks_sight(map, x + cell_dx(depth, column), y + cell_dy(depth, column));
    }
    void reveal(int depth, int column) {
        seen[VIEW_CENTRE + cell_dy(depth, column)][VIEW_CENTRE + cell_dx(depth, column)] = true;
    }

    void scan(int depth, Slope start, Slope end) {
        if (depth > VIEW_CENTRE) return;
        int previous = -1;  // -1 none yet, 0 floor, 1 wall
        for (int column = first_column(depth, start); column <= last_column(depth, end); ++column) {
            const bool is_wall = wall(depth, column);
            if (is_wall || centre_within(depth, column, start, end)) reveal(depth, column);
            if (previous == 1 && !is_wall) start = Slope{2 * column - 1, 2 * depth};
            if (previous == 0 && is_wall) scan(depth + 1, start, Slope{2 * column - 1, 2 * depth});
            previous = is_wall ? 1 : 0;
        }
        if (previous == 0) scan(depth + 1, start, end);
    }
};

}  // namespace

ViewCells clear_lines(const GameMap& map, int x, int y) {
    ViewCells seen{};
    seen[VIEW_CENTRE][VIEW_CENTRE] = true;
    for (const Quarter& q : QUARTERS) Caster{map, x, y, q, seen}.scan(1, Slope{-1, 1}, Slope{1, 1});
    return seen;
}

bool sight_reaches(const GameMap& map, int x, int y, int to_x, int to_y) {
    if (!map.walls_block_sight) return true;
    const int column = to_x - x + VIEW_CENTRE, row = to_y - y + VIEW_CENTRE;
    if (column < 0 || column >= VIEW_CELLS || row < 0 || row >= VIEW_CELLS) return false;
    return clear_lines(map, x, y)[row][column];
}

ViewCells view_sight(const GameMap& map, int x, int y, int light) {
    ViewCells sight{};
    for (int row = 0; row < VIEW_CELLS; ++row)
        for (int column = 0; column < VIEW_CELLS; ++column) sight[row][column] = light_reaches_view_cell(light, column, row);
    if (map.walls_block_sight) {
        const ViewCells lines = clear_lines(map, x, y);
        for (int row = 0; row < VIEW_CELLS; ++row)
            for (int column = 0; column < VIEW_CELLS; ++column) sight[row][column] = sight[row][column] && lines[row][column];
    }
    return sight;
}

ViewCells character_sight() {
    const CharacterRecord& c = g_character_model.character;
    return view_sight(g_map.map, c.x, c.y, light_level());
}

bool sight_shows_field(const ViewCells& sight, int x, int y) {
    const CharacterRecord& c = g_character_model.character;
    const int column = x - c.x + VIEW_CENTRE, row = y - c.y + VIEW_CENTRE;
    if (column < 0 || column >= VIEW_CELLS || row < 0 || row >= VIEW_CELLS) return false;
    return sight[row][column];
}
