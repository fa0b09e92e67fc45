#include "presentation/sprite_cells.h"

#include "common/common_state.h"
#include "common/database.h"
#include "presentation/view.h"
#include "map/map_state.h"

int clip_cell(int sprite_number, int columns, int cell) { return clip_cell_rows(sprite_number, columns, cell, 0, CELL); }

int clip_cell_rows(int sprite_number, int columns, int cell, int first_row, int rows) {
    if (columns < 1) columns = 1;
    int row = cell / columns;
    int column = cell - row * columns;
    sprite_clip(sprite_number, column * CELL, row * CELL + first_row, CELL, rows);
    return sprite_number;
}

int clip_ability_icon(int cell) { return clip_cell(sprite::abilities, g_common.abilities_sheet.columns, cell); }
int clip_fx_icon(int cell) { return clip_cell(sprite::fx, g_common.fx_sheet.columns, cell); }
int clip_item_icon(int cell) { return clip_cell(sprite::items, g_common.items_sheet.columns, cell); }
int clip_item_icon_rows(int cell, int first_row, int rows) {
    return clip_cell_rows(sprite::items, g_common.items_sheet.columns, cell, first_row, rows);
}
int clip_missile(int cell) { return clip_cell(sprite::missiles, g_common.missiles_sheet.columns, cell); }
int clip_monster_icon(int cell) { return clip_cell(sprite::monster, g_common.monster_sheet.columns, cell); }
int clip_power_icon(int cell) { return clip_cell(sprite::powers, g_common.powers_sheet.columns, cell); }

int clip_frame_piece(int piece) {
    sprite_clip(sprite::frame, piece * FRAME_PIECE, 0, FRAME_PIECE, FRAME_PIECE);
    return sprite::frame;
}

int clip_monster_type(int type_id) {
    int tile = (type_id >= 0 && type_id < kMonsterTypeTableSize) ? g_db.monster_types[type_id].tile : 0;
    return clip_monster_icon(tile);
}

void draw_blinking_cursor(int x, int y) {
    constexpr int PHASE_MS = 80;
    const int step = static_cast<int>(tick_ms() / PHASE_MS % 8);  // 0 1 2 3 4 3 2 1
    const int phase = step <= 4 ? step : 8 - step;
    sprite_clip(sprite::cursor, 0, 0, sprite_width(sprite::cursor), sprite_height(sprite::cursor));
    sprite_display_translucent(sprite::cursor, x, y, 255 * (phase + 1) / 5);
}

int clip_tile(int tile) {
    const Tileset& tileset = g_map.map.tileset;
    return clip_cell(tileset.sprite, tileset.tiles_wide, tile);
}
