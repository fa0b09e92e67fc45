// Finding the way: shortest walks over seen fields around walls, found traps,
// hurting ground, monsters, portals and level exits; the goals of travelling
// and exploring.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/database.h"
#include "game/paths.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "support/test_game.h"

namespace {

constexpr int FLOOR = 1, WALL = 4, TRAP = 5, LAVA = 6, STAIRS = 7;

// A map drawn in rows from (0, 0); every field outside the drawing is unseen
// floor. '.' seen floor, '?' unseen floor, '#' wall, '^' a found trap, 'h' a
// hidden trap, '~' lava (lowers hit points), 'm' a monster, '>' a level exit,
// '<' a portal, 'D' a portal of the class "way_down", '@' the start.
struct Drawn {
    MapPoint start;
};

Drawn draw(const std::vector<std::string>& rows) {
    GameMap& map = g_map.map;
    fill_map(map, FLOOR);
    TileType* types = map.tileset.tile_types;
    types[WALL].solid = 1;
    types[TRAP].cls = "trap";
    types[LAVA].modify_attribute[0].attribute = 1;
    types[LAVA].modify_attribute[0].amount = -3;
    types[STAIRS].cls = "stairs|way_down";
    g_db.abilities[1].name = "hit_points";
    g_db.abilities[1].modify_per_point_of_damage = 1;
    Drawn drawn;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
            const char c = rows[y][x];
            set_map_seen(map, x, y, c != '?');
            if (c == '#') set_map_tile_type(map, x, y, WALL);
            if (c == '^' || c == 'h') set_map_tile_type(map, x, y, TRAP);
            if (c == 'h') set_map_hidden(map, x, y, 1);
            if (c == '~') set_map_tile_type(map, x, y, LAVA);
            if (c == 'm') {
                Monster& m = g_map.monsters.append();
                m.x = static_cast<int16_t>(x);
                m.y = static_cast<int16_t>(y);
            }
            if (c == '>') {
                DungeonRecord& exit = g_map.level_exits.append();
                exit.xpos = static_cast<int16_t>(x);
                exit.ypos = static_cast<int16_t>(y);
            }
            if (c == '<' || c == 'D') set_map_portal(map, x, y, "other.xml", 1, 1);
            if (c == 'D') set_map_tile_type(map, x, y, STAIRS);
            if (c == '@') drawn.start = {x, y};
        }
    }
    return drawn;
}

PathObstacles obstacles() { return {g_map.monsters, g_map.level_exits}; }

// The path as the letters of its directions (u, r, d, l).
std::string directions(MapPoint from, const std::vector<MapPoint>& path) {
    std::string text;
    for (const MapPoint& p : path) {
        text += p.x > from.x ? 'r' : p.x < from.x ? 'l' : p.y > from.y ? 'd' : 'u';
        from = p;
    }
    return text;
}

}  // namespace

TEST(Paths, ShortestWalksGoAroundWhatTheCharacterMustNotEnter) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        MapPoint to;
        std::string expected;  // the directions; "" for no way
    };
    const std::vector<Case> cases = {
        {"straight", {"@...."}, {4, 0}, "rrrr"},
        {"around a wall", {"@#..", "...."}, {2, 0}, "drru"},
        {"a found trap is gone round", {"@^..", "...."}, {3, 0}, "drrur"},
        {"a hidden trap is not known", {"@h.."}, {3, 0}, "rrr"},
        {"hurting ground is gone round", {"@~..", "...."}, {3, 0}, "drrur"},
        {"a monster blocks", {"@m..", "#..."}, {3, 0}, ""},
        {"unseen fields are not walked", {"@?..", "#..."}, {3, 0}, ""},
        {"no walk through a portal", {"@<..", "#..."}, {3, 0}, ""},
        {"no walk through a level exit", {"@>..", "#..."}, {3, 0}, ""},
        {"a portal may be the goal", {"@.<"}, {2, 0}, "rr"},
        {"the target itself a wall", {"@.#"}, {2, 0}, ""},
        {"the own field is no walk", {"@."}, {0, 0}, ""},
        {"outside the grid", {"@."}, {-1, 0}, ""},
    };
    for (const Case& c : cases) {
        TempGameFolder folder;
        const Drawn drawn = draw(c.rows);
        EXPECT_EQ(directions(drawn.start, path_to_field(g_map.map, obstacles(), drawn.start, c.to)), c.expected)
            << c.what;
    }
}

TEST(Paths, TheLastRowAndColumnAreNeverEntered) {
    TempGameFolder folder;
    std::vector<std::string> rows(50, std::string(50, '.'));
    for (int y = 0; y < 49; ++y) rows[y][47] = '#';  // the way round lies in row and column 49 only
    rows[0][46] = '@';
    draw(rows);
    const MapPoint start{46, 0};
    EXPECT_TRUE(path_to_field(g_map.map, obstacles(), start, {48, 0}).empty());
    EXPECT_TRUE(path_to_field(g_map.map, obstacles(), start, {49, 49}).empty());
    EXPECT_FALSE(travel_field_open(g_map.map, 10, 49));
    EXPECT_FALSE(travel_field_open(g_map.map, 49, 10));
    rows[48][47] = '.';
    draw(rows);
    EXPECT_EQ(path_to_field(g_map.map, obstacles(), start, {48, 0}).size(), 98u);
}

TEST(Paths, TheNearestWayDownUpAndUnexploredField) {
    TempGameFolder folder;
    const Drawn drawn = draw({
        "<.....@..>",
        "#####.####",
        "D.........",
        "??????????",
    });
    const GameMap& map = g_map.map;
    auto nearest = [&](auto goal) { return path_to_nearest(map, obstacles(), drawn.start, goal); };
    auto down = [&](int x, int y) { return way_down_at(map, g_map.level_exits, x, y); };
    auto up = [&](int x, int y) { return way_up_at(map, x, y); };
    // The level exit is three to the right; the stairs portal below lie further.
    EXPECT_EQ(directions(drawn.start, nearest(down)), "rrr");
    EXPECT_EQ(directions(drawn.start, nearest(up)), "llllll");
    EXPECT_TRUE(way_down_at(map, g_map.level_exits, 0, 2));
    EXPECT_FALSE(way_up_at(map, 0, 2));
    EXPECT_FALSE(way_down_at(map, g_map.level_exits, 0, 0));
    // Exploring: the nearest open field beside an unseen one, (5, 2) below the
    // gap; the level exit beside the unseen (10, 0) is no place to look from.
    std::vector<bool> stood_on(kMapSize * kMapSize, false);
    auto unexplored = [&](int x, int y) { return exploring_goal(map, g_map.level_exits, stood_on, x, y); };
    EXPECT_EQ(directions(drawn.start, nearest(unexplored)), "ldd");
    // Stood on already: the next one along the row.
    stood_on[2 * kMapSize + 5] = true;
    EXPECT_EQ(directions(drawn.start, nearest(unexplored)), "lddr");
    // Found traps count as known harm; hidden ones do not.
    set_map_tile_type(g_map.map, 3, 2, TRAP);
    EXPECT_TRUE(known_harmful_field(map, 3, 2));
    set_map_hidden(g_map.map, 3, 2, 1);
    EXPECT_FALSE(known_harmful_field(map, 3, 2));
}
