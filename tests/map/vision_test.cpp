// What the character sees: the light's circle against the shipped darkness
// pictures, the clear lines of the field of view, and the seen fields where
// walls block sight.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "map/seen_fields.h"
#include "map/vision.h"
#include "platform/surface.h"
#include "support/test_game.h"

namespace {

constexpr int FLOOR = 1, WALL = 4;

// The light reaches a cell exactly where the shipped darkness picture of the
// level leaves the cell's centre pixel black: the pictures and the rule can
// never tell two different stories about what the character sees.
TEST(LightRule, EqualsTheCentrePixelsOfTheShippedDarknessPictures) {
    for (int level = 0; level <= 6; ++level) {
        Surface picture;
        const std::string file = std::string(UMBRANE_SOURCE_DIR) + "/game/graphics/light" + std::to_string(level + 1) + ".png";
        ASSERT_TRUE(decode_image_file(file, picture)) << file;
        ASSERT_EQ(picture.width, VIEW_CELLS * 32);
        int lit = 0;
        for (int row = 0; row < VIEW_CELLS; ++row)
            for (int column = 0; column < VIEW_CELLS; ++column) {
                const bool black = picture.at(column * 32 + 16, row * 32 + 16) == 0;
                EXPECT_EQ(light_reaches_view_cell(level, column, row), black)
                    << "level " << level << " cell " << column << ", " << row;
                lit += black;
            }
        EXPECT_GT(lit, 0);
        EXPECT_LT(lit, VIEW_CELLS * VIEW_CELLS);
    }
    for (int level : {7, 8}) EXPECT_TRUE(light_reaches_view_cell(level, 0, 0));
    for (int level : {0, 8}) {
        EXPECT_FALSE(light_reaches_view_cell(level, -1, 6));
        EXPECT_FALSE(light_reaches_view_cell(level, 6, VIEW_CELLS));
    }
}

class Sight : public ::testing::Test {
protected:
    void SetUp() override {
        reset_map(map);
        map.tileset.tile_types[WALL].solid = 1;
        map.tile_outside_map = WALL;
        map.background_tile = FLOOR;
        fill_map(map, FLOOR);
        hero.x = 20;
        hero.y = 20;
    }
    // Walls given as lines of the 13 x 13 view around the character ('#': wall, '@' the character).
    void draw_walls(const std::vector<std::string>& rows) {
        for (int row = 0; row < VIEW_CELLS; ++row)
            for (int column = 0; column < VIEW_CELLS; ++column)
                if (rows[row][column] == '#')
                    set_map_tile_type(map, hero.x + column - VIEW_CENTRE, hero.y + row - VIEW_CENTRE, WALL);
    }
    static std::vector<std::string> picture(const ViewCells& cells) {
        std::vector<std::string> rows;
        for (int row = 0; row < VIEW_CELLS; ++row) {
            std::string line;
            for (int column = 0; column < VIEW_CELLS; ++column) line += cells[row][column] ? '+' : '.';
            rows.push_back(line);
        }
        return rows;
    }
    TempGameFolder game;  // every subsystem's state fresh
    GameMap& map = g_map.map;
    CharacterRecord& hero = g_character_model.character;
};

// The field of view as pictures: walls given, then what has a clear line ('+').
TEST_F(Sight, ClearLinesAroundWallsAndCorners) {
    struct Case {
        const char* what;
        std::vector<std::string> walls, seen;
    };
    const std::vector<std::string> open(VIEW_CELLS, std::string(VIEW_CELLS, '.'));
    const Case cases[] = {
        {"a pillar two fields east casts a shadow that widens behind it",
         {".............", ".............", ".............", ".............", ".............", ".............",
          "......@.#....", ".............", ".............", ".............", ".............", ".............",
          "............."},
         {"+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++..",
          "+++++++++....", "+++++++++++..", "+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++++",
          "+++++++++++++"}},
        {"a corridor: its walls are seen, nothing beyond them",
         {".............", ".............", ".............", ".............", ".............", "#############",
          "......@......", "#############", ".............", ".............", ".............", ".............",
          "............."},
         {".............", ".............", ".............", ".............", ".............", "+++++++++++++",
          "+++++++++++++", "+++++++++++++", ".............", ".............", ".............", ".............",
          "............."}},
        {"a room's corner: the walls seen from inside, the rock behind them not",
         {".............", ".............", ".............", ".............", "....#######..", "....#.....#..",
          "....#.@...#..", "....#.....#..", "....#######..", ".............", ".............", ".............",
          "............."},
         {".............", ".............", ".............", ".............", "....+++++++..", "....+++++++..",
          "....+++++++..", "....+++++++..", "....+++++++..", ".............", ".............", ".............",
          "............."}},
        {"a doorway opens a cone that widens beyond it",
         {".............", ".............", ".............", ".............", ".............", "######.######",
          "......@......", ".............", ".............", ".............", ".............", ".............",
          "............."},
         {"...+++++++...", "....+++++....", "....+++++....", ".....+++.....", ".....+++.....", "+++++++++++++",
          "+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++++", "+++++++++++++",
          "+++++++++++++"}},
    };
    for (const Case& c : cases) {
        SetUp();
        draw_walls(c.walls);
        EXPECT_EQ(picture(clear_lines(map, hero.x, hero.y)), c.seen) << c.what;
    }
    SetUp();
    EXPECT_EQ(picture(clear_lines(map, hero.x, hero.y)), std::vector<std::string>(VIEW_CELLS, std::string(VIEW_CELLS, '+')))
        << "open floor";
}

// Whoever the character sees from a floor field sees it from there: over many
// random caves, every pair of floor fields within the view agrees.
TEST_F(Sight, EveryClearLineRunsBothWays) {
    std::mt19937 draw(7);
    int pairs_seen = 0, pairs_hidden = 0;
    for (int trial = 0; trial < 40; ++trial) {
        fill_map(map, FLOOR);
        for (int y = 0; y < kMapSize; ++y)
            for (int x = 0; x < kMapSize; ++x)
                if (draw() % 100 < 30) set_map_tile_type(map, x, y, WALL);
        const int ax = 15 + static_cast<int>(draw() % 20), ay = 15 + static_cast<int>(draw() % 20);
        set_map_tile_type(map, ax, ay, FLOOR);
        const ViewCells from_a = clear_lines(map, ax, ay);
        for (int row = 0; row < VIEW_CELLS; ++row)
            for (int column = 0; column < VIEW_CELLS; ++column) {
                const int bx = ax + column - VIEW_CENTRE, by = ay + row - VIEW_CENTRE;
                if (read_map_tile_type(map, bx, by) != FLOOR) continue;
                const bool back = clear_lines(map, bx, by)[VIEW_CENTRE - (row - VIEW_CENTRE)][VIEW_CENTRE - (column - VIEW_CENTRE)];
                EXPECT_EQ(from_a[row][column], back) << "from " << ax << "," << ay << " to " << bx << "," << by;
                (back ? pairs_seen : pairs_hidden)++;
            }
    }
    EXPECT_GT(pairs_seen, 1000);
    EXPECT_GT(pairs_hidden, 1000);
}

// The option decides: without it walls stop nothing (the written rule); with
// it the light's circle and the clear lines must both allow a field, and the
// seen fields, a monster in sight and the fields in sight follow.
TEST_F(Sight, WallsBlockSightOnlyWhereTheMapSaysSo) {
    draw_walls({".............", ".............", ".............", ".............", ".............", "#############",
                "......@......", "#############", ".............", ".............", ".............", ".............",
                "............."});
    // A hidden wall looks like floor: it does not give itself away by its shadow.
    set_map_hidden(map, 19, 21, 1);
    map.lighting = 4;
    Monster behind;
    behind.type = 1;
    behind.x = 22;
    behind.y = 17;
    g_map.monsters.append() = behind;

    const ViewCells lit = view_sight(map, hero.x, hero.y, light_level());
    EXPECT_EQ(light_level(), 4);
    EXPECT_TRUE(field_in_sight(22, 17));
    EXPECT_TRUE(monster_in_sight());
    map.walls_block_sight = 1;
    const ViewCells sight = character_sight();
    EXPECT_FALSE(field_in_sight(22, 17));
    EXPECT_FALSE(monster_in_sight());
    EXPECT_TRUE(field_in_sight(19, 22));  // seen through the hidden wall
    const ViewCells lines = clear_lines(map, hero.x, hero.y);
    for (int row = 0; row < VIEW_CELLS; ++row)
        for (int column = 0; column < VIEW_CELLS; ++column)
            EXPECT_EQ(sight[row][column], lit[row][column] && lines[row][column]) << column << ", " << row;

    mark_seen_fields(map);
    int seen = 0;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            seen += map.fields[y][x].seen;
            if (map.fields[y][x].seen) {
                EXPECT_TRUE(sight_shows_field(sight, x, y)) << x << ", " << y;
            }
        }
    EXPECT_GT(seen, 6);
    EXPECT_EQ(map.fields[17][22].seen, 0);
}

}  // namespace
