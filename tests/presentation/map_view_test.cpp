#include "character/character_state.h"
#include "items/items_state.h"
#include "map/map_grid.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/headless.h"
#include "presentation/drawing_fixture.h"
#include "presentation/view.h"
#include "map/vision.h"
#include "common/common_state.h"

namespace {


// Top-left pixel of view cell (i, j) when the view is not scrolled.
int cell_px(int i) { return i * 32; }

}  // namespace

TEST_F(DrawingTest, MapViewShowsFieldsAroundTheCharacter) {
    tile(10, 10, 6);  // the character's field
    tile(11, 10, 7);  // right of it
    tile(4, 4, 8);    // top-left view cell
    tile(16, 16, 12);  // bottom-right view cell
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(cell_px(6) + 5, cell_px(6) + 5), cell_colour(sheet::tiles, 6));
    EXPECT_EQ(at(cell_px(7) + 31, cell_px(6) + 31), cell_colour(sheet::tiles, 7));
    EXPECT_EQ(at(0, 0), cell_colour(sheet::tiles, 8));
    EXPECT_EQ(at(415, 415), cell_colour(sheet::tiles, 12));
    EXPECT_EQ(at(cell_px(5) + 3, cell_px(6) + 3), cell_colour(sheet::tiles, 1));
    // The right panel and the bottom band stay black.
    EXPECT_EQ(at(416, 10), BLACK);
    EXPECT_EQ(at(639, 300), BLACK);
    EXPECT_EQ(at(10, 420), BLACK);
}

TEST_F(DrawingTest, FieldsOutsideTheGridShowTheOutsideTile) {
    g_character_model.character.x = 0;
    g_character_model.character.y = 0;
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(cell_px(5) + 1, cell_px(6) + 1), cell_colour(sheet::tiles, 5));  // (-1, 0)
    EXPECT_EQ(at(cell_px(6) + 1, cell_px(5) + 1), cell_colour(sheet::tiles, 5));  // (0, -1)
    EXPECT_EQ(at(0, 0), cell_colour(sheet::tiles, 5));
    EXPECT_EQ(at(cell_px(6) + 1, cell_px(6) + 1), cell_colour(sheet::tiles, 1));  // (0, 0)
}

TEST_F(DrawingTest, HiddenFieldShowsTheBackgroundTileButItsItems) {
    tile(11, 10, 9);  // a container, hidden
    set_map_hidden(g_map.map, 11, 10, 1);
    tile(12, 10, 7);
    set_map_hidden(g_map.map, 12, 10, 1);
    tile(10, 11, 9);  // a container in plain sight
    MapItem& on_hidden = g_map.items.add();
    on_hidden.x = 12;
    on_hidden.y = 10;
    on_hidden.type = 4;
    g_db.item_types[4].tile = 13;
    MapItem& in_chest = g_map.items.add();
    in_chest.x = 10;
    in_chest.y = 11;
    in_chest.type = 4;
    MapItem& hidden_chest = g_map.items.add();
    hidden_chest.x = 11;
    hidden_chest.y = 10;
    hidden_chest.type = 4;
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    // A hidden field looks like floor; its item shows, unless the true tile is a container.
    EXPECT_EQ(at(cell_px(8) + 2, cell_px(6) + 2), cell_colour(sheet::items, 13));
    EXPECT_EQ(at(cell_px(7) + 2, cell_px(6) + 2), cell_colour(sheet::tiles, 2));
    EXPECT_EQ(at(cell_px(6) + 2, cell_px(7) + 2), cell_colour(sheet::tiles, 9));
}

TEST_F(DrawingTest, TransparentTileLiesOverTheBackgroundTile) {
    tile(11, 10, 3);
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(cell_px(7) + 4, cell_px(6) + 4), cell_colour(sheet::tiles, 2));    // see-through half
    EXPECT_EQ(at(cell_px(7) + 20, cell_px(6) + 4), cell_colour(sheet::tiles, 3));   // drawn half
}

TEST_F(DrawingTest, MonstersAreShiftedByTheirOffsets) {
    g_db.monster_types[2].tile = 17;
    Monster& near = g_map.monsters.add();
    near.type = 2;
    near.x = 12;
    near.y = 12;
    near.offset_x = 5;
    near.offset_y = -3;
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(cell_px(8) + 5, cell_px(8) - 3), cell_colour(sheet::monster, 17));
    EXPECT_EQ(at(cell_px(8) + 3, cell_px(8) + 2), cell_colour(sheet::tiles, 1));
}

TEST_F(DrawingTest, ScrollOffsetShowsTheExtraRowAndColumn) {
    tile(3, 10, 11);  // column -1 of the view
    tile(4, 10, 12);  // column 0
    tile(10, 3, 13);  // row -1
    clear_screen(BLACK);
    draw_map_view(g_map.map, 30, 0, 0);
    EXPECT_EQ(at(0, cell_px(6) + 1), cell_colour(sheet::tiles, 11));
    EXPECT_EQ(at(29, cell_px(6) + 1), cell_colour(sheet::tiles, 11));
    EXPECT_EQ(at(30, cell_px(6) + 1), cell_colour(sheet::tiles, 12));
    // What the scroll pushed past x 415 is cleared with the panel.
    EXPECT_EQ(at(420, cell_px(6) + 1), BLACK);

    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 30, 0);
    EXPECT_EQ(at(cell_px(6) + 1, 29), cell_colour(sheet::tiles, 13));
    EXPECT_EQ(at(cell_px(6) + 1, 30), cell_colour(sheet::tiles, 1));
    EXPECT_EQ(at(cell_px(6) + 1, 420), BLACK);
}

TEST_F(DrawingTest, LightLevelAndOverlays) {
    g_db.abilities[7].lightradius = true;
    g_db.abilities[8].lightradius = true;
    g_character_model.character.abilities[7].attribute_current_value = 3;
    g_character_model.character.abilities[8].attribute_current_value = 2;
    g_map.map.lighting = 1;
    EXPECT_EQ(light_level(), 6);
    g_map.map.lighting = 5;
    EXPECT_EQ(light_level(), 8);  // limited to 8
    g_character_model.character.abilities[7].attribute_current_value = -20;
    EXPECT_EQ(light_level(), 0);  // and to 0

    // Level 7 and above are fully lit: no overlay.
    g_character_model.character.abilities[7].attribute_current_value = 1;
    g_map.map.lighting = 4;
    EXPECT_EQ(light_level(), 7);
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(3, 3), cell_colour(sheet::tiles, 1));

    // Level 3 shows overlay n = 4, fixed to the screen while the view scrolls.
    g_map.map.lighting = 0;
    EXPECT_EQ(light_level(), 3);
    clear_screen(BLACK);
    draw_map_view(g_map.map, 16, 0, 0);
    EXPECT_EQ(at(3, 3), light_colour(4));
    EXPECT_EQ(at(200, 200), cell_colour(sheet::tiles, 1));

    // A light whose percentage is 0 puts the light out: level 0, overlay n = 1.
    g_map.map.lighting = 8;
    g_character_model.character.abilities[8].adjustment_percentage = 0;
    EXPECT_EQ(light_level(), 0);
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(3, 3), light_colour(1));
}

TEST_F(DrawingTest, FadeDarkensTheViewOnlyWithTheFadeEffect) {
    const Colour tile_colour = cell_colour(sheet::tiles, 1);
    auto blended = [&](int channel, int intensity) { return (1 * intensity + channel * (255 - intensity)) / 255; };
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 100);
    Colour c = at(50, 50);
    EXPECT_EQ(c, RGB(blended(tile_colour & 255, 100), blended((tile_colour >> 8) & 255, 100),
                     blended((tile_colour >> 16) & 255, 100)));
    EXPECT_FALSE(pixels_locked());

    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
    EXPECT_EQ(at(50, 50), tile_colour);

    g_common.preferences.fade_effect = 0;
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 200);
    EXPECT_EQ(at(50, 50), tile_colour);
}

TEST_F(DrawingTest, FramePieces) {
    clear_screen(BLACK);
    draw_frame();
    // Bottom bar: piece 6, then 8, 9, 10, 11, 7, 8, ...
    EXPECT_EQ(at(0, 416), piece_colour(6));
    EXPECT_EQ(at(16, 431), piece_colour(8));
    EXPECT_EQ(at(64, 420), piece_colour(11));
    EXPECT_EQ(at(80, 420), piece_colour(7));
    EXPECT_EQ(at(96, 420), piece_colour(8));
    EXPECT_EQ(at(639, 420), piece_colour(7 + 39 % 5));
    // Right of the bar the pieces also rule the panel at y 18 and 66.
    EXPECT_EQ(at(440, 20), piece_colour(7 + 27 % 5));
    EXPECT_EQ(at(440, 70), piece_colour(7 + 27 % 5));
    EXPECT_EQ(at(440, 40), BLACK);
    EXPECT_EQ(at(400, 20), BLACK);
    // Right bar: piece 0, then 2, 3, 4, 5, 1, 2, ...; it lies over the rules.
    EXPECT_EQ(at(416, 0), piece_colour(0));
    EXPECT_EQ(at(431, 18), piece_colour(2));
    EXPECT_EQ(at(420, 80), piece_colour(1));
    EXPECT_EQ(at(420, 400), piece_colour(1 + 25 % 5));
    // The bottom bar's piece at x 416 remains below the right bar.
    EXPECT_EQ(at(420, 420), piece_colour(7 + 26 % 5));
}

TEST_F(DrawingTest, CharacterFigureCellsAndChecks) {
    CharacterRecord& c = g_character_model.character;
    c.facing = 3;
    c.frame = 1;
    clear_screen(BLACK);
    draw_character(0);
    EXPECT_EQ(at(192, 192), cell_colour(sheet::character, 7));
    EXPECT_EQ(at(223, 223), cell_colour(sheet::character, 7));
    EXPECT_EQ(at(224, 200), BLACK);

    c.facing = 1;
    c.frame = 0;
    clear_screen(BLACK);
    draw_character(-2);
    EXPECT_EQ(at(192, 190), cell_colour(sheet::character, 2));
    EXPECT_EQ(at(192, 222), BLACK);

    c.facing = 4;
    EXPECT_FATAL(draw_character(0), "draw_character: wrong facing: 4");
    c.facing = -1;
    EXPECT_FATAL(draw_character(0), "draw_character: wrong facing: -1");
    c.facing = 0;
    c.frame = 2;
    EXPECT_FATAL(draw_character(0), "draw_character: wrong frame: 2");
}

TEST_F(DrawingTest, RedrawScreenPutsTheFigureOnTopAndFlips) {
    int flips = headless::flip_count();
    redraw_screen(g_map.map, 0, 0, 0, 0);
    EXPECT_EQ(headless::flip_count(), flips + 1);
    EXPECT_EQ(shown_screen_pixel(200, 200), cell_colour(sheet::character, 0));
    EXPECT_EQ(shown_screen_pixel(150, 200), cell_colour(sheet::tiles, 1));
    EXPECT_EQ(shown_screen_pixel(0, 416), piece_colour(6));

    // A bad facing is found at the first redraw.
    g_character_model.character.facing = 4;
    EXPECT_FATAL(redraw_screen(g_map.map, 0, 0, 0, 0), "draw_character: wrong facing: 4");
}

TEST_F(DrawingTest, ClipProceduresPickTheCellByColumns) {
    g_db.monster_types[5].tile = 9;
    for (auto [clip, number, sheet_id] :
         {std::tuple{&clip_ability_icon, sprite::abilities, sheet::abilities},
          std::tuple{&clip_item_icon, sprite::items, sheet::items},
          std::tuple{&clip_monster_icon, sprite::monster, sheet::monster},
          std::tuple{&clip_power_icon, sprite::powers, sheet::powers}}) {
        clear_screen(BLACK);
        EXPECT_EQ(clip(10), number);
        sprite_display_opaque(number, 0, 0);
        EXPECT_EQ(at(0, 0), cell_colour(sheet_id, 10));
        EXPECT_EQ(at(31, 31), cell_colour(sheet_id, 10));
        EXPECT_EQ(at(32, 0), BLACK);
    }
    clear_screen(BLACK);
    sprite_display_opaque(clip_monster_type(5), 0, 0);
    EXPECT_EQ(at(0, 0), cell_colour(sheet::monster, 9));
    clear_screen(BLACK);
    sprite_display_opaque(clip_tile(6), 0, 0);  // row 1, column 2 of a 4-wide sheet
    EXPECT_EQ(at(0, 0), cell_colour(sheet::tiles, 6));
    // A sheet that was never measured does not divide by zero.
    g_common.fx_sheet = {0, 0};
    EXPECT_EQ(clip_fx_icon(3), sprite::fx);
}

// The game picture is the same with its text lines made fresh by the fonts
// and taken from the cache, and flip shows exactly the picture drawn.
TEST_F(DrawingTest, GamePictureIsTheSameFromTheTextCache) {
    g_map.map.name = "The Long Hall Below The Old Mill Of Thornwick";
    show_status_message("A lever moves.", "Somewhere a gate opens.", RGB(255, 255, 0), 2, icon_kind::tile, 2000);
    auto picture = [](Colour (*pixel)(int, int)) {
        std::vector<Colour> pixels;
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            for (int x = 0; x < SCREEN_WIDTH; ++x) pixels.push_back(pixel(x, y));
        return pixels;
    };
    draw_game_picture(g_map.map, 0, 0, 0, 0);
    const std::vector<Colour> fresh = picture(screen_pixel);
    int message_ink = 0;  // the message lines show
    for (int y = 440; y < 470; ++y)
        for (int x = 36; x < 300; ++x) message_ink += fresh[static_cast<size_t>(y * SCREEN_WIDTH + x)] != RGB(0, 0, 0);
    EXPECT_GT(message_ink, 50);
    redraw_screen(g_map.map, 0, 0, 0, 0);
    EXPECT_EQ(picture(shown_screen_pixel), fresh);
    for (int f = 1; f <= 5; ++f) font_load(f, f >= 4 ? "Verdana" : "Arial", f == 1 ? 8 : 10, false, f == 5);
    draw_game_picture(g_map.map, 0, 0, 0, 0);
    EXPECT_EQ(picture(screen_pixel), fresh);
}

// The game picture clears only the map view before drawing: over back buffers
// full of an old picture it is the picture drawn on a screen cleared whole,
// scrolled either way, faded, and with a monster striking into the panel.
TEST_F(DrawingTest, GamePictureCoversEveryPixelOfAnOldPicture) {
    g_db.monster_types[2].tile = 17;
    Monster& striker = g_map.monsters.add();
    striker.type = 2;
    striker.x = g_character_model.character.x + 6;  // the view's last column
    striker.y = g_character_model.character.y + 6;
    striker.offset_x = 25;
    striker.offset_y = 20;
    tile(12, 8, 60);  // no such cell in the sheet: the field stays black
    auto picture = [] {
        std::vector<Colour> pixels;
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            for (int x = 0; x < SCREEN_WIDTH; ++x) pixels.push_back(screen_pixel(x, y));
        return pixels;
    };
    const struct {
        int offset_x, offset_y, fade;
    } views[] = {{0, 0, 0}, {-31, 0, 0}, {0, -17, 0}, {30, -5, 0}, {12, 32, 100}, {-32, -32, 255}};
    for (const auto& view : views) {
        clear_screen(RGB(200, 100, 50));
        flip();
        clear_screen(RGB(50, 100, 200));
        flip();
        draw_game_picture(g_map.map, view.offset_x, view.offset_y, view.fade, 0);
        const std::vector<Colour> drawn = picture();
        clear_screen(BLACK);
        draw_map_view(g_map.map, view.offset_x, view.offset_y, view.fade);
        draw_frame();
        draw_status_panel();
        draw_character(0);
        EXPECT_EQ(drawn, picture()) << view.offset_x << " " << view.offset_y << " " << view.fade;
    }
}

// Where walls block sight, the fields without a clear line are dark over the
// overlay; without the option the same walls darken nothing.
TEST_F(DrawingTest, WallsThatBlockSightDarkenTheFieldsBehindThem) {
    constexpr Colour DARKNESS = RGB(2, 2, 6);
    g_map.map.tileset.tile_types[7].solid = 1;
    tile(12, 10, 7);  // a pillar two fields east of the character
    g_map.map.lighting = 8;
    for (int blocks : {0, 1}) {
        g_map.map.walls_block_sight = static_cast<int8_t>(blocks);
        clear_screen(BLACK);
        draw_map_view(g_map.map, 0, 0, 0);
        EXPECT_EQ(at(cell_px(8) + 5, cell_px(6) + 5), cell_colour(sheet::tiles, 7)) << "the pillar is seen";
        EXPECT_EQ(at(cell_px(9) + 5, cell_px(6) + 5), blocks ? DARKNESS : cell_colour(sheet::tiles, 1));
        EXPECT_EQ(at(cell_px(12) + 31, cell_px(5) + 31), blocks ? DARKNESS : cell_colour(sheet::tiles, 1));
        EXPECT_EQ(at(cell_px(12) + 5, cell_px(3) + 5), cell_colour(sheet::tiles, 1)) << "beside the shadow";
        EXPECT_EQ(at(cell_px(2) + 5, cell_px(6) + 5), cell_colour(sheet::tiles, 1));
    }
}
