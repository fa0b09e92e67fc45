#include "screens/map_screen.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "common/word_lists.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "map/seen_fields.h"
#include "platform/media.h"
#include "screens/screen_stack.h"

namespace {

constexpr int AREA = VIEW_PIXELS;                 // the map view's square
constexpr int MAP_ROOM = AREA - 2 * 8;            // 400: 8 pixels a field for 50 fields
constexpr int MAX_SCALE = CELL;                   // never larger than the fields of the view
constexpr int PANEL_X = VIEW_PIXELS + 18;         // 434, as the status panel
constexpr int LEGEND_TOP = 86, LEGEND_STEP = 20, SWATCH = 12;
constexpr Colour TITLE_COLOUR = RGB(255, 100, 0);

enum class Marker { you, portal, level_exit, trap };

Colour marker_colour(Marker marker) {
    switch (marker) {
        case Marker::you: return RGB(255, 255, 0);
        case Marker::portal: return RGB(0, 255, 255);
        case Marker::level_exit: return RGB(255, 140, 0);
        case Marker::trap: return RGB(255, 0, 0);
    }
    return WHITE;
}

// A marker over the square of size pixels at (x, y): the character a filled
// square, portals and level exits a frame, traps a cross (drawing started).
void draw_marker(Marker marker, int x, int y, int size) {
    const Colour colour = marker_colour(marker);
    const int inset = size >= 8 ? size / 8 : 0;
    const int a = x + inset, b = y + inset, n = std::max(1, size - 2 * inset);
    const int thick = std::max(1, size / 8);
    switch (marker) {
        case Marker::you: {
            // Inside the frame of a portal or level exit the character stands on.
            const int inner = std::max(1, size - 2 * (size / 4));
            const int left = x + size / 4, top = y + size / 4;
            if (inner >= 6) draw_box(left - 1, top - 1, inner + 2, inner + 2, BLACK);
            draw_box(left, top, inner, inner, colour);
            break;
        }
        case Marker::portal:
        case Marker::level_exit:
            draw_box(a, b, n, thick, colour);
            draw_box(a, b + n - thick, n, thick, colour);
            draw_box(a, b, thick, n, colour);
            draw_box(a + n - thick, b, thick, n, colour);
            break;
        case Marker::trap:
            for (int k = 0; k < thick; ++k) {
                draw_line(a + k, b, a + n - 1, b + n - 1 - k, colour);
                draw_line(a + n - 1 - k, b, a, b + n - 1 - k, colour);
            }
            break;
    }
}

// The fields one can stand on or travel from mark out the part of the grid a map uses.
bool field_in_use(const GameMap& map, int x, int y) {
    return !field_blocked(map, x, y) || !read_map_portal_mapfilename(map, x, y).empty();
}

// The tile picture of a field scaled down to scale x scale colours, each the
// mean of the pixels it covers; a see-through tile stands on the background
// tile, as in the map view.
class TileMiniatures {
public:
    TileMiniatures(const GameMap& map, int scale) : map_(map), scale_(scale) {}

    const std::vector<Colour>& of(int tile) {
        auto found = std::find_if(made_.begin(), made_.end(), [tile](const auto& made) { return made.first == tile; });
        if (found != made_.end()) return found->second;
        made_.emplace_back(tile, make(tile));
        return made_.back().second;
    }

private:
    Colour tile_pixel(int tile, int x, int y) const {
        const int columns = std::max<int>(1, map_.tileset.tiles_wide);
        return sprite_pixel(map_.tileset.sprite, (tile % columns) * CELL + x, (tile / columns) * CELL + y);
    }

    bool see_through(int tile) const {
        return tile >= 0 && tile < kTileTypeCount && map_.tileset.tile_types[tile].transparent;
    }

    std::vector<Colour> make(int tile) const {
        std::vector<Colour> colours(static_cast<size_t>(scale_ * scale_));
        for (int py = 0; py < scale_; ++py)
            for (int px = 0; px < scale_; ++px) {
                const int x0 = px * CELL / scale_, x1 = std::max(x0 + 1, (px + 1) * CELL / scale_);
                const int y0 = py * CELL / scale_, y1 = std::max(y0 + 1, (py + 1) * CELL / scale_);
                long r = 0, g = 0, b = 0, n = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) {
                        Colour c = tile < 0 ? BLACK : tile_pixel(tile, x, y);
                        if (c == BLACK && see_through(tile)) c = tile_pixel(map_.background_tile, x, y);
                        r += c & 255;
                        g += (c >> 8) & 255;
                        b += (c >> 16) & 255;
                        ++n;
                    }
                colours[static_cast<size_t>(py * scale_ + px)] = RGB(static_cast<int>(r / n), static_cast<int>(g / n),
                                                                     static_cast<int>(b / n));
            }
        return colours;
    }

    const GameMap& map_;
    int scale_;
    std::vector<std::pair<int, std::vector<Colour>>> made_;
};

bool found_trap(const GameMap& map, int x, int y) {
    const MapField& f = map.fields[y][x];
    return !f.hidden && f.tile_type >= 0 && f.tile_type < kTileTypeCount &&
           lists_share_entry(map.tileset.tile_types[f.tile_type].cls, "trap", "|");
}

void draw_seen_fields(const GameMap& map, const MapScreenLayout& layout) {
    TileMiniatures miniatures(map, layout.scale);
    const int s = layout.scale;
    auto left_of = [&](int x) { return layout.left + s * (x - layout.first_x); };
    auto top_of = [&](int y) { return layout.top + s * (y - layout.first_y); };
    for (int y = layout.first_y; y < layout.first_y + layout.rows; ++y)
        for (int x = layout.first_x; x < layout.first_x + layout.columns; ++x) {
            if (!read_map_seen(map, x, y)) continue;
            // A hidden field shows its cover, as in the map view.
            const int tile = read_map_hidden(map, x, y) ? map.background_tile : read_map_tile_type(map, x, y);
            const std::vector<Colour>& picture = miniatures.of(tile);
            for (int py = 0; py < s; ++py)
                for (int px = 0; px < s; ++px)
                    draw_box(left_of(x) + px, top_of(y) + py, 1, 1, picture[static_cast<size_t>(py * s + px)]);
        }
    for (int y = layout.first_y; y < layout.first_y + layout.rows; ++y)
        for (int x = layout.first_x; x < layout.first_x + layout.columns; ++x) {
            if (!read_map_seen(map, x, y)) continue;
            if (found_trap(map, x, y)) draw_marker(Marker::trap, left_of(x), top_of(y), s);
            if (!read_map_portal_mapfilename(map, x, y).empty()) draw_marker(Marker::portal, left_of(x), top_of(y), s);
        }
    for (const DungeonRecord& exit : g_map.level_exits)
        if (read_map_seen(map, exit.xpos, exit.ypos) && exit.xpos >= layout.first_x && exit.ypos >= layout.first_y &&
            exit.xpos < layout.first_x + layout.columns && exit.ypos < layout.first_y + layout.rows)
            draw_marker(Marker::level_exit, left_of(exit.xpos), top_of(exit.ypos), s);
    const CharacterRecord& c = g_character_model.character;
    draw_marker(Marker::you, left_of(c.x), top_of(c.y), s);
}

void draw_legend() {
    draw_select_font(FONT_TITLE);
    draw_text_on_black(PANEL_X, 0, message_text(msg::map_title), TITLE_COLOUR);
    draw_wrapped_text(PANEL_X, 34, g_map.map.name, SCREEN_WIDTH - PANEL_X, 16, WHITE);
    draw_select_font(FONT_PANEL);
    const std::array<std::pair<Marker, int>, 4> entries = {{{Marker::you, msg::map_you},
                                                             {Marker::portal, msg::map_portal},
                                                             {Marker::level_exit, msg::map_level_exit},
                                                             {Marker::trap, msg::map_trap}}};
    int y = LEGEND_TOP;
    for (const auto& [marker, text] : entries) {
        draw_box(PANEL_X, y, SWATCH, SWATCH, RGB(60, 60, 60));
        draw_marker(marker, PANEL_X, y, SWATCH);
        draw_text_on_black(PANEL_X + SWATCH + 8, y, message_text(text), WHITE);
        y += LEGEND_STEP;
    }
    draw_text_on_black(PANEL_X, y, message_text(msg::map_unseen), WHITE);
}

}  // namespace

MapScreenLayout map_screen_layout() {
    const GameMap& map = g_map.map;
    int x0 = kMapSize, y0 = kMapSize, x1 = -1, y1 = -1;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x)
            if (field_in_use(map, x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    MapScreenLayout layout;
    if (x1 < 0) {
        x0 = y0 = 0;
        x1 = y1 = kMapSize - 1;
    }
    const CharacterRecord& c = g_character_model.character;
    if (on_map(c.x, c.y)) {
        x0 = std::min<int>(x0, c.x);
        y0 = std::min<int>(y0, c.y);
        x1 = std::max<int>(x1, c.x);
        y1 = std::max<int>(y1, c.y);
    }
    layout.first_x = std::max(0, x0 - 1);
    layout.first_y = std::max(0, y0 - 1);
    layout.columns = std::min(kMapSize - 1, x1 + 1) - layout.first_x + 1;
    layout.rows = std::min(kMapSize - 1, y1 + 1) - layout.first_y + 1;
    layout.scale = std::clamp(MAP_ROOM / std::max(layout.columns, layout.rows), 1, MAX_SCALE);
    layout.left = (AREA - layout.scale * layout.columns) / 2;
    layout.top = (AREA - layout.scale * layout.rows) / 2;
    return layout;
}

void draw_map_screen() {
    GameMap& map = g_map.map;
    // The game picture's frame and message band; the map takes the view's place, its legend the panel's.
    clear_screen(BLACK);
    draw_map_view(map, 0, 0, 0);
    draw_frame();
    draw_start();
    draw_box(0, 0, AREA, AREA, BLACK);
    draw_seen_fields(map, map_screen_layout());
    draw_legend();
    draw_stop();
    draw_key_hint(message_text(msg::map_hint));
}

bool map_screen_field_at(int px, int py, int& x, int& y) {
    const MapScreenLayout layout = map_screen_layout();
    if (layout.scale <= 0 || px < layout.left || py < layout.top) return false;
    const int column = (px - layout.left) / layout.scale, row = (py - layout.top) / layout.scale;
    if (column >= layout.columns || row >= layout.rows) return false;
    x = layout.first_x + column;
    y = layout.first_y + row;
    return true;
}

bool MapScreen::open() {
    mark_seen_fields(g_map.map);  // what the character sees at this moment belongs on the map
    draw_map_screen();
    return true;
}

void MapScreen::take(WindowEvent event) {
    if (event == WindowEvent::close_request) {
        window_close_asked();
        return close();
    }
    int px = 0, py = 0, x = 0, y = 0;
    if (event == WindowEvent::left_button_down && take_clicks_) {
        window_mouse_position(px, py);
        if (map_screen_field_at(px, py, x, y) && read_map_seen(g_map.map, x, y)) {
            clicked_ = true;
            x_ = x;
            y_ = y;
            return close();
        }
    }
    // Escape when let go, so that its release does not reach the game (which would save and leave).
    if (key_released(key::escape) || key_pressed(key::m)) close();
}
