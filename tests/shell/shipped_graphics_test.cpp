// The shipped pictures and sounds: every sheet loads through the media layer
// and has the size and cell layout the drawing code relies on.
#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/media.h"
#include "support/test_game.h"

namespace {

constexpr int kSheet = 4;  // any sprite number will do for measuring

// Pixels of a rectangle of a loaded sprite that are not pure black (the see-through colour).
int drawn_pixels(int sprite, int x, int y, int width, int height) {
    int count = 0;
    for (int j = y; j < y + height; ++j)
        for (int i = x; i < x + width; ++i)
            if (sprite_pixel(sprite, i, j) != 0) ++count;
    return count;
}

int drawn_in_cell(int sprite, int cell, int columns) {
    return drawn_pixels(sprite, (cell % columns) * 32, (cell / columns) * 32, 32, 32);
}

class ShippedArt : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.copy_shipped("graphics");
        folder_.copy_shipped("tilesets");
        folder_.copy_shipped("sound");
    }
    void TearDown() override {
        for (int n = 0; n <= 22; ++n)
            if (sprite_exists(n)) sprite_free(n);
    }
    // Loads a sheet and checks its pixel size.
    void load(const std::string& path, int width, int height, int number = kSheet) {
        ASSERT_TRUE(sprite_load(number, path)) << path;
        EXPECT_EQ(sprite_width(number), width) << path;
        EXPECT_EQ(sprite_height(number), height) << path;
    }
    TempGameFolder folder_;
};

TEST_F(ShippedArt, CharacterSheetHasEightDistinctFigures) {
    load("graphics\\characters.png", 256, 32);
    // cell of facing f and frame n at x = f * 64 + n * 32
    std::vector<std::vector<Colour>> cells;
    for (int cell = 0; cell < 8; ++cell) {
        EXPECT_GT(drawn_in_cell(kSheet, cell, 8), 150) << "cell " << cell;
        // the figure stands inside its cell, with see-through corners
        EXPECT_EQ(sprite_pixel(kSheet, cell * 32, 0), 0u) << "cell " << cell;
        std::vector<Colour> pixels;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) pixels.push_back(sprite_pixel(kSheet, cell * 32 + x, y));
        cells.push_back(pixels);
    }
    for (int a = 0; a < 8; ++a)
        for (int b = a + 1; b < 8; ++b) EXPECT_NE(cells[a], cells[b]) << "cells " << a << " and " << b << " are equal";
}

TEST_F(ShippedArt, FramePiecesLieAlongTheTopRowAndTheFirstColumn) {
    load("graphics\\frame.png", 192, 192);
    // The bars are drawn opaque: every piece is fully drawn, nothing see-through.
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(drawn_pixels(kSheet, k * 16, 0, 16, 16), 256) << "top row piece " << k;
        EXPECT_EQ(drawn_pixels(kSheet, 0, k * 16, 16, 16), 256) << "first column piece " << k;
    }
    // Bar pieces repeat one after another: the vertical pieces 1..5 share their
    // left rim, the horizontal pieces 7..11 their top rim, so the bars join.
    for (int k = 2; k <= 5; ++k)
        for (int y = 0; y < 16; ++y) EXPECT_EQ(sprite_pixel(kSheet, k * 16, y), sprite_pixel(kSheet, 16, y));
    for (int k = 8; k <= 11; ++k)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(sprite_pixel(kSheet, x, k * 16), sprite_pixel(kSheet, x, 7 * 16));
}

TEST_F(ShippedArt, IconSheetsHaveEightColumnsAndTheCataloguedCells) {
    struct Sheet {
        const char* path;
        int rows;
        std::vector<int> filled;
    };
    std::vector<int> abilities, monsters, items, powers;
    for (int i = 0; i < 32; ++i) abilities.push_back(i);
    for (int i = 0; i < 48; ++i) monsters.push_back(i);
    for (int i = 0; i <= 64; ++i) items.push_back(i);  // 47 is the mark of equipped and chosen items
    for (int i = 0; i <= 25; ++i) powers.push_back(i);
    const std::vector<Sheet> sheets = {
        {"graphics\\abilities.png", 4, abilities},
        {"graphics\\monster.png", 6, monsters},
        {"graphics\\items.png", 9, items},
        {"graphics\\powers.png", 4, powers},
        {"graphics\\fx.png", 2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const auto& sheet : sheets) {
        SCOPED_TRACE(sheet.path);
        load(sheet.path, 256, sheet.rows * 32);
        for (int cell : sheet.filled) EXPECT_GT(drawn_in_cell(kSheet, cell, 8), 40) << "cell " << cell;
    }
    // Item cell 47 is the background of marked and equipped cells: fully covered.
    load("graphics\\items.png", 256, 288);
    EXPECT_EQ(drawn_in_cell(kSheet, 47, 8), 32 * 32);
    // Power cell 0 is the empty grid cell: a dark slot without a bright picture in it.
    load("graphics\\powers.png", 256, 128);
    for (int y = 6; y < 26; ++y)
        for (int x = 6; x < 26; ++x) {
            Colour c = sprite_pixel(kSheet, x, y);
            EXPECT_LT((c & 255) + ((c >> 8) & 255) + ((c >> 16) & 255), 3u * 80u) << x << "," << y;
        }
}

TEST_F(ShippedArt, MissilesAndSparkles) {
    load("graphics\\missiles.png", 192, 32);
    for (int m = 0; m < 6; ++m) EXPECT_GT(drawn_in_cell(kSheet, m, 6), 60) << "missile " << m;
    // 9 x 9 sparkles: frame f at x = f * 9, colour c at y = c * 9, growing from frame 0 to 4
    load("graphics\\starsprites.png", 45, 72);
    for (int colour = 0; colour < 8; ++colour) {
        int previous = 0;
        for (int frame = 0; frame < 5; ++frame) {
            int n = drawn_pixels(kSheet, frame * 9, colour * 9, 9, 9);
            EXPECT_GT(n, 0) << "colour " << colour << " frame " << frame;
            EXPECT_GE(n, previous) << "colour " << colour << " frame " << frame;
            previous = n;
        }
        EXPECT_GT(previous, drawn_pixels(kSheet, 0, colour * 9, 9, 9)) << "colour " << colour;
    }
}

TEST_F(ShippedArt, LightOverlaysOpenAGrowingCircleAroundTheCharacter) {
    int previous_open = -1;
    for (int n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        const int number = 13 + n;
        load("graphics\\light" + std::to_string(n) + ".png", 416, 416, number);
        // The character's cell (view cell 6, 6) is lit; the far corners are dark but drawn.
        for (int y = 200; y < 216; ++y)
            for (int x = 200; x < 216; ++x) ASSERT_EQ(sprite_pixel(number, x, y), 0u);
        for (auto [x, y] : std::array<std::pair<int, int>, 4>{{{0, 0}, {415, 0}, {0, 415}, {415, 415}}}) {
            Colour c = sprite_pixel(number, x, y);
            EXPECT_NE(c, 0u);
            EXPECT_LE(c & 255, 8u);
            EXPECT_LE((c >> 8) & 255, 8u);
            EXPECT_LE((c >> 16) & 255, 8u);
        }
        int open = 416 * 416 - drawn_pixels(number, 0, 0, 416, 416);
        EXPECT_GT(open, previous_open);
        previous_open = open;
        // the circle is centred: as much open left as right of the middle, above as below
        int left = 208 * 416 - drawn_pixels(number, 0, 0, 208, 416);
        int right = 208 * 416 - drawn_pixels(number, 208, 0, 208, 416);
        int top = 208 * 416 - drawn_pixels(number, 0, 0, 416, 208);
        int bottom = 208 * 416 - drawn_pixels(number, 0, 208, 416, 208);
        EXPECT_NEAR(left, right, open / 50 + 4);
        EXPECT_NEAR(top, bottom, open / 50 + 4);
    }
}

TEST_F(ShippedArt, SmallPicturesAndTheTitle) {
    load("graphics\\cursor.png", 32, 32);
    EXPECT_NE(sprite_pixel(kSheet, 0, 0), 0u);
    EXPECT_NE(sprite_pixel(kSheet, 31, 31), 0u);
    EXPECT_EQ(drawn_pixels(kSheet, 6, 6, 20, 20), 0);  // the item under it stays visible
    load("graphics\\blood.png", 32, 32);
    EXPECT_GT(drawn_pixels(kSheet, 0, 0, 32, 32), 200);
    load("graphics\\mousepointer.png", 32, 32);
    EXPECT_NE(sprite_pixel(kSheet, 0, 0), 0u);  // the tip is the mouse position
    // The title, drawn centred on the screen, is as wide as the screen: its name lies over the map
    // view and leaves the status panel (from x 416) and its "Location" line free.
    load("graphics\\splash.png", 640, 160);
    EXPECT_EQ(sprite_pixel(kSheet, 0, 0), 0u);
    EXPECT_EQ(sprite_pixel(kSheet, 639, 159), 0u);
    EXPECT_GT(drawn_pixels(kSheet, 0, 0, 416, 160), 10000);
    EXPECT_EQ(drawn_pixels(kSheet, 416, 0, 224, 160), 0);
}

TEST_F(ShippedArt, StandardTilesetCellsAreOpaqueWhereTilesAreDefined) {
    int tileset = sprite_load_any("tilesets\\tiles_standard.png");
    ASSERT_NE(tileset, 0);
    EXPECT_EQ(sprite_width(tileset), 20 * 32);
    EXPECT_EQ(sprite_height(tileset), 8 * 32);
    for (int cell = 0; cell < 160; ++cell) {
        bool defined = cell <= 58 || cell == 140 || cell == 141;
        int n = drawn_in_cell(tileset, cell, 20);
        if (defined)
            EXPECT_EQ(n, 32 * 32) << "tile " << cell << " has see-through pixels";
        else
            EXPECT_EQ(n, 0) << "tile " << cell << " should be empty";
    }
    // the secret door passes for a wall: most of its pixels are the wall's
    int same = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (sprite_pixel(tileset, 4 * 32 + x, y) == sprite_pixel(tileset, 10 * 32 + x, 2 * 32 + y)) ++same;
    EXPECT_GT(same, 32 * 32 * 9 / 10);
    sprite_free(tileset);
}

TEST_F(ShippedArt, EverySoundNameLoads) {
    const char* names[] = {"oh_no", "evasion", "deathcry", "hit",     "failure", "fireball",    "frost",
                           "lightning", "heal", "magic", "shield",   "door",    "lever",       "splash",
                           "burn",  "pickup",  "drink",    "eat",     "levelup", "portal",      "stairs",
                           "trap",  "monster_die", "growl", "hiss",   "poison",  "teleport",    "sleep", "roar"};
    for (const char* name : names) EXPECT_NE(sound_load(std::string("sound\\") + name + ".ogg"), 0) << name;
}

}  // namespace
