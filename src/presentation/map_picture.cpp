// The whole current map as one picture, for the people who make maps: every
// field fully lit, what lies and stands on it, and small signs on what the
// view does not show (portals, level exits, events, messages, hidden fields).
#include "common/common_state.h"
#include "common/database.h"
#include "presentation/view.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/media.h"
#include "presentation/sprite_cells.h"

namespace {

constexpr int SIGN = 7;  // side of a sign's square

bool valid_tile_type(int t) { return t >= 0 && t < kTileTypeCount; }

// A square sign with a black rim in a corner of the field at (left, top):
// corner 0 top left, 1 top right, 2 bottom left, 3 bottom right.
void corner_sign(int left, int top, int corner, Colour colour) {
    const int x = left + (corner % 2 ? CELL - SIGN - 1 : 1);
    const int y = top + (corner / 2 ? CELL - SIGN - 1 : 1);
    draw_box(x, y, SIGN, SIGN, BLACK);
    draw_box(x + 1, y + 1, SIGN - 2, SIGN - 2, colour);
}

// A frame two pixels wide just inside the field.
void field_frame(int left, int top, Colour colour) {
    draw_box(left, top, CELL, 2, colour);
    draw_box(left, top + CELL - 2, CELL, 2, colour);
    draw_box(left, top, 2, CELL, colour);
    draw_box(left + CELL - 2, top, 2, CELL, colour);
}

// An arrow pointing down in the middle of the field (the way into a dungeon).
void down_arrow(int left, int top, Colour colour) {
    const int cx = left + CELL / 2;
    for (int row = 0; row < 6; ++row) draw_box(cx - 6 + row, top + 18 + row, 13 - 2 * row, 1, colour);
    draw_box(cx - 1, top + 8, 3, 10, colour);
}

}  // namespace

void draw_map_picture(GameMap& map, int picture) {
    sprite_create(picture, MAP_PICTURE_PIXELS, MAP_PICTURE_PIXELS);
    set_display_target(picture);
    const int sheet = map.tileset.sprite;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            const int t = read_map_tile_type(map, x, y);  // a hidden field shows what it hides
            if (valid_tile_type(t) && map.tileset.tile_types[t].transparent) {
                clip_cell(sheet, map.tileset.tiles_wide, map.background_tile);
                sprite_display_opaque(sheet, x * CELL, y * CELL);
                clip_cell(sheet, map.tileset.tiles_wide, t);
                sprite_display_transparent(sheet, x * CELL, y * CELL);
            } else {
                clip_cell(sheet, map.tileset.tiles_wide, t);
                sprite_display_opaque(sheet, x * CELL, y * CELL);
            }
        }
    // Items in containers too: the picture shows what the view hides.
    for (const MapItem& item : g_map.items) {
        const int tile = item.type >= 0 && item.type < kItemTypeTableSize ? g_db.item_types[item.type].tile : 0;
        clip_item_icon(tile);
        sprite_display_transparent(sprite::items, item.x * CELL, item.y * CELL);
    }
    for (const Monster& monster : g_map.monsters) {
        clip_monster_type(monster.type);
        sprite_display_transparent(sprite::monster, monster.x * CELL, monster.y * CELL);
    }
    set_display_target(SCREEN_TARGET);

    draw_start(picture);
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            const MapField& field = map.fields[y][x];
            const int left = x * CELL, top = y * CELL;
            if (!field.portal_mapfile.empty()) field_frame(left, top, RGB(0, 220, 255));
            if (!field.message_line1.empty() || !field.message_line2.empty()) corner_sign(left, top, 0, WHITE);
            if (!field.event.empty()) corner_sign(left, top, 1, RGB(255, 0, 255));
            if (field.hidden) corner_sign(left, top, 2, RGB(255, 140, 0));
        }
    for (const DungeonRecord& exit : g_map.level_exits) {
        if (exit.xpos < 0 || exit.xpos >= kMapSize || exit.ypos < 0 || exit.ypos >= kMapSize) continue;
        field_frame(exit.xpos * CELL, exit.ypos * CELL, RGB(255, 230, 0));
        down_arrow(exit.xpos * CELL, exit.ypos * CELL, RGB(255, 230, 0));
    }
    draw_stop();
}
