#include "presentation/drawing_fixture.h"

#include "character/character_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "common/common_state.h"

namespace {

// A sheet of columns x rows cells of 32 x 32, cell k in cell_colour(sheet_id, k).
void make_sheet(int number, int sheet_id, int columns, int rows) {
    sprite_create(number, columns * 32, rows * 32);
    draw_start(number);
    for (int k = 0; k < columns * rows; ++k)
        draw_box((k % columns) * 32, (k / columns) * 32, 32, 32, cell_colour(sheet_id, k));
    draw_stop();
}

void make_filled(int number, int width, int height, Colour colour) {
    sprite_create(number, width, height);
    draw_start(number);
    draw_box(0, 0, width, height, colour);
    draw_stop();
}

}  // namespace

void DrawingTest::SetUp() {
    make_sheet(sprite::character, sheet::character, 8, 1);
    sprite_create(sprite::frame, 12 * 16, 16);
    draw_start(sprite::frame);
    for (int k = 0; k < 12; ++k) draw_box(k * 16, 0, 16, 16, piece_colour(k));
    draw_stop();
    make_filled(sprite::map_dark, 416, 416, RGB(1, 1, 1));
    make_filled(sprite::screen_dark, 640, 480, RGB(1, 1, 1));
    make_sheet(sprite::abilities, sheet::abilities, 8, 4);
    make_sheet(sprite::monster, sheet::monster, 8, 4);
    make_sheet(sprite::powers, sheet::powers, 8, 3);
    make_sheet(sprite::items, sheet::items, 8, 6);
    for (int n = 1; n <= 7; ++n) {
        // Dark everywhere but a see-through hole over the character's cell.
        make_filled(sprite::light_first + n - 1, 416, 416, light_colour(n));
        draw_start(sprite::light_first + n - 1);
        draw_box(192, 192, 32, 32, RGB(0, 0, 0));
        draw_stop();
    }
    g_common.abilities_sheet = {8, 4};
    g_common.monster_sheet = {8, 4};
    g_common.powers_sheet = {8, 3};
    g_common.items_sheet = {8, 6};
    g_common.preferences.fade_effect = 1;
    for (int f = 1; f <= 5; ++f) font_load(f, f >= 4 ? "Verdana" : "Arial", f == 1 ? 8 : 10, false, f == 5);

    // Tileset of 4 x 4 tiles; tile 3 is see-through in its left half.
    make_sheet(TILESET_SPRITE, sheet::tiles, TILES_WIDE, 4);
    draw_start(TILESET_SPRITE);
    draw_box(3 * 32, 0, 16, 32, RGB(0, 0, 0));
    draw_stop();
    Tileset& tileset = g_map.map.tileset;
    tileset.sprite = TILESET_SPRITE;
    tileset.sprite_loaded = 1;
    tileset.tiles_wide = TILES_WIDE;
    tileset.tiles_high = 4;
    tileset.tile_types[3].transparent = 1;
    tileset.tile_types[9].container = 1;
    g_map.map.lighting = 8;
    g_map.map.tile_outside_map = 5;
    g_map.map.background_tile = 2;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) set_map_tile_type(g_map.map, x, y, 1);

    CharacterRecord& c = g_character_model.character;
    c.x = 10;
    c.y = 10;
    c.facing = 0;
    c.frame = 0;
    for (AbilityState& state : c.abilities) state.adjustment_percentage = 100;
}

void DrawingTest::tile(int x, int y, int t) { set_map_tile_type(g_map.map, x, y, t); }
