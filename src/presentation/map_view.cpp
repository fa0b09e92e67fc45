#include "presentation/view.h"

#include "character/ability_model.h"
#include "character/character_state.h"
#include "items/items_state.h"
#include "map/map_grid.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/media.h"
#include "map/map_lists.h"
#include "map/vision.h"
#include "presentation/travel_path.h"
#include "presentation/message_line.h"
#include "presentation/presentation_state.h"
#include "presentation/sprite_cells.h"
#include "common/common_state.h"

namespace {


bool valid_tile_type(int t) { return t >= 0 && t < kTileTypeCount; }

// Inside the window of fields that can show in the view, scroll row and column included.
bool in_view_window(int x, int y) {
    const CharacterRecord& c = g_character_model.character;
    return x >= c.x - 7 && x <= c.x + 6 && y >= c.y - 7 && y <= c.y + 6;
}

constexpr Colour POINTER_TEXT_COLOUR = RGB(255, 220, 130);
constexpr int POINTER_TEXT_RIGHT = SCREEN_WIDTH - 8, POINTER_TEXT_Y = 448;

// The name of what the map view shows under the pointer: a monster, else the
// items lying there (not those inside a container), else the field as it is
// drawn (a hidden field by the floor it shows). Empty when the pointer is not
// over the map view or over a field the darkness hides.
std::string pointer_text() {
    const PresentationState& p = g_presentation;
    if (!p.pointer_over || p.pointer_x < 0 || p.pointer_y < 0 || p.pointer_x >= VIEW_PIXELS ||
        p.pointer_y >= VIEW_PIXELS)
        return "";
    const int i = p.pointer_x / CELL, j = p.pointer_y / CELL;
    if (!character_sight()[j][i]) return "";
    const CharacterRecord& c = g_character_model.character;
    const GameMap& map = g_map.map;
    const int x = c.x + i - VIEW_CENTRE, y = c.y + j - VIEW_CENTRE;
    if (const Monster* monster = last_monster_at(x, y))
        return monster->type >= 0 && monster->type < kMonsterTypeTableSize ? g_db.monster_types[monster->type].name
                                                                          : "";
    const int t = read_map_tile_type(map, x, y);
    std::string names;
    if (!(valid_tile_type(t) && map.tileset.tile_types[t].container != 0)) {
        for (const MapItem& item : g_map.items) {
            if (item.x != x || item.y != y || item.type < 0 || item.type >= kItemTypeTableSize) continue;
            if (!names.empty()) names += ", ";
            names += g_db.item_types[item.type].name;
        }
    }
    if (!names.empty()) return names;
    const int shown = read_map_hidden(map, x, y) ? map.background_tile : t;
    return valid_tile_type(shown) ? map.tileset.tile_types[shown].name : "";
}

// The name under the pointer at the right end of the band (drawing started).
void draw_pointer_text() {
    const std::string text = pointer_text();
    g_presentation.pointer_text_drawn = text;
    if (text.empty()) return;
    draw_select_font(FONT_DEFAULT);
    draw_text_on_black(POINTER_TEXT_RIGHT - text_width(text), POINTER_TEXT_Y, text, POINTER_TEXT_COLOUR);
}

// The darkness of the overlays over each view cell the sight leaves out.
void draw_unseen_fields_dark(const ViewCells& sight) {
    constexpr Colour DARKNESS = RGB(2, 2, 6);
    draw_start();
    for (int row = 0; row < VIEW_CELLS; ++row)
        for (int column = 0; column < VIEW_CELLS; ++column)
            if (!sight[row][column]) draw_box(column * CELL, row * CELL, CELL, CELL, DARKNESS);
    draw_stop();
}

}  // namespace

void set_map_pointer(bool over_window, int x, int y) {
    g_presentation.pointer_over = over_window;
    g_presentation.pointer_x = x;
    g_presentation.pointer_y = y;
}

bool map_pointer_text_changed() { return pointer_text() != g_presentation.pointer_text_drawn; }

void draw_map_view(GameMap& map, int offset_x, int offset_y, int fade) {
    const CharacterRecord& c = g_character_model.character;
    const bool darken = fade > 0 && g_common.preferences.fade_effect;
    if (darken) lock_pixels();

    // Tiles, with one extra row and column above and left for the scroll.
    const int tile_sprite = map.tileset.sprite;
    for (int j = -1; j <= VIEW_CELLS - 1; ++j) {
        for (int i = -1; i <= VIEW_CELLS - 1; ++i) {
            int fx = c.x + i - VIEW_CENTRE;
            int fy = c.y + j - VIEW_CENTRE;
            int t = read_map_tile_type(map, fx, fy);
            if (read_map_hidden(map, fx, fy)) t = map.background_tile;
            int px = i * CELL + offset_x;
            int py = j * CELL + offset_y;
            if (valid_tile_type(t) && map.tileset.tile_types[t].transparent) {
                clip_cell(tile_sprite, map.tileset.tiles_wide, map.background_tile);
                sprite_display_opaque(tile_sprite, px, py);
                clip_cell(tile_sprite, map.tileset.tiles_wide, t);
                sprite_display_transparent(tile_sprite, px, py);
            } else {
                clip_cell(tile_sprite, map.tileset.tiles_wide, t);
                sprite_display_opaque(tile_sprite, px, py);
            }
        }
    }

    // Items lying on the map; those inside a container stay unseen.
    for (const MapItem& item : g_map.items) {
        if (!in_view_window(item.x, item.y)) continue;
        int t = read_map_tile_type(map, item.x, item.y);
        if (valid_tile_type(t) && map.tileset.tile_types[t].container != 0) continue;
        int tile = (item.type >= 0 && item.type < kItemTypeTableSize) ? g_db.item_types[item.type].tile : 0;
        clip_item_icon(tile);
        sprite_display_transparent(sprite::items, (item.x - c.x + VIEW_CENTRE) * CELL + offset_x,
                                   (item.y - c.y + VIEW_CENTRE) * CELL + offset_y);
    }

    // Monsters, each shifted by its own pixel offset while it moves or strikes.
    for (const Monster& monster : g_map.monsters) {
        if (!in_view_window(monster.x, monster.y)) continue;
        clip_monster_type(monster.type);
        sprite_display_transparent(sprite::monster, (monster.x - c.x + VIEW_CENTRE) * CELL + offset_x + monster.offset_x,
                                   (monster.y - c.y + VIEW_CENTRE) * CELL + offset_y + monster.offset_y);
    }

    // Darkness around the light: it stays centred on the character while the view scrolls.
    int level = light_level();
    if (level >= 0 && level <= 6) sprite_display_transparent(sprite::light_first + level, 0, 0);
    // Where walls block sight, every field the character does not see is dark as well.
    if (map.walls_block_sight) draw_unseen_fields_dark(view_sight(map, c.x, c.y, level));
    // The way a travelling character still has ahead.
    draw_travel_path(offset_x, offset_y);

    if (darken) {
        sprite_display_translucent(sprite::map_dark, 0, 0, fade > 255 ? 255 : fade);
        unlock_pixels();
    }

    // The panels are cleared over whatever the scroll pushed into them.
    draw_start();
    draw_box(0, VIEW_PIXELS, SCREEN_WIDTH, 48, BLACK);
    draw_box(VIEW_PIXELS, 0, SCREEN_WIDTH - VIEW_PIXELS, SCREEN_HEIGHT, BLACK);
    bool shown = draw_message_lines();
    // Not while the view scrolls: the pointer then passes from field to field.
    if (offset_x == 0 && offset_y == 0) draw_pointer_text();
    draw_stop();
    if (shown) draw_message_icon();
}

void draw_frame() {
    constexpr int PIECE = FRAME_PIECE;
    auto piece = [](int k, int x, int y) { sprite_display_opaque(clip_frame_piece(k), x, y); };
    // Bottom bar; beyond the map view its pieces also rule the right panel twice.
    piece(6, 0, VIEW_PIXELS);
    int c = 1;
    for (int n = 1; n <= 39; ++n) {
        piece(7 + c, n * PIECE, VIEW_PIXELS);
        if (n > 25) {
            piece(7 + c, n * PIECE, 18);
            piece(7 + c, n * PIECE, 66);
        }
        c = (c + 1) % 5;
    }
    // Right bar.
    piece(0, VIEW_PIXELS, 0);
    c = 1;
    for (int n = 1; n <= 25; ++n) {
        piece(1 + c, VIEW_PIXELS, n * PIECE);
        c = (c + 1) % 5;
    }
}
