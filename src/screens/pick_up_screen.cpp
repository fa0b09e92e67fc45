// The pick-up screen: the items lying on one field in a 6 x 6 grid, marked
// with Space and taken with Return.
#include <algorithm>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "items/inventory.h"
#include "screens/item_screen_view.h"
#include "screens/item_screens.h"
#include "map/map_state.h"
#include "platform/media.h"

namespace {

constexpr int GRID_ENTRIES = ITEM_GRID_CELLS * ITEM_GRID_CELLS;
constexpr int MSG_TITLE = 21, MSG_NOTHING_HERE = 22;

ItemView view_of(const MapItem& item) {
    return {item.type, item.amount, item.fuel, item.magic_bonus, item_type_of(item.type).tile, item.marked != 0};
}

// The first 36 items of the field, in list order.
std::vector<MapItem*> items_on_field(int x, int y) {
    std::vector<MapItem*> items;
    for (MapItem& item : g_map.items)
        if (item.x == x && item.y == y && static_cast<int>(items.size()) < GRID_ENTRIES) items.push_back(&item);
    return items;
}

void draw_pick_up(const std::vector<MapItem*>& items, int column, int row) {
    draw_panel_screen_behind(message_text(MSG_TITLE) + ":");
    MapItem* under_cursor = nullptr;
    for (size_t i = 0; i < items.size(); ++i) {
        draw_item_grid_cell(view_of(*items[i]), static_cast<int>(i) % ITEM_GRID_CELLS,
                            static_cast<int>(i) / ITEM_GRID_CELLS, 0);
        if (items[i]->under_cursor) under_cursor = items[i];
    }
    if (under_cursor) draw_item_info(view_of(*under_cursor), true, false);
    draw_item_grid_cursor(column, row);
    draw_key_hint(message_text(msg::hint_pick_up));
}

// Runs the grid until Return (true: take the marked items; with none marked,
// the item under the cursor is marked) or Escape and the window's close (false).
bool choose_items(const std::vector<MapItem*>& items) {
    // The cursor starts on the first item lying here.
    int column = 0, row = 0;
    // A key still held when the screen opens (the P itself) must be let go first.
    bool key_lock = key_held(key::any);
    while (true) {
        keyboard_poll();
        if (take_window_event() == WindowEvent::close_request) {
            g_common.close_requested = 1;
            return false;
        }
        if (key_released(key::escape)) return false;
        const size_t cursor = static_cast<size_t>(row * ITEM_GRID_CELLS + column);
        if (!key_lock) {
            key_lock = true;
            if (key_held(key::left)) column = std::max(0, column - 1);
            else if (key_held(key::right)) column = std::min(ITEM_GRID_CELLS - 1, column + 1);
            else if (key_held(key::up)) row = std::max(0, row - 1);
            else if (key_held(key::down)) row = std::min(ITEM_GRID_CELLS - 1, row + 1);
            else if (key_held(key::space)) {
                if (cursor < items.size()) items[cursor]->marked = items[cursor]->marked ? 0 : 1;
            } else if (key_held(key::ret)) {
                const bool none_marked =
                    std::none_of(items.begin(), items.end(), [](const MapItem* item) { return item->marked != 0; });
                if (none_marked && cursor < items.size()) items[cursor]->marked = 1;
                return true;
            } else {
                key_lock = false;  // no key of this screen
            }
        }
        if (key_released(key::any)) key_lock = false;
        const size_t now_under = static_cast<size_t>(row * ITEM_GRID_CELLS + column);
        for (size_t i = 0; i < items.size(); ++i) items[i]->under_cursor = (i == now_under) ? 1 : 0;
        draw_pick_up(items, column, row);
        flip();
    }
}

}  // namespace

int pick_up_screen(int x, int y) {
    int turn_used = 0;
    for (MapItem& item : g_map.items) {
        item.under_cursor = 0;
        item.marked = 0;
    }
    const std::vector<MapItem*> items = items_on_field(x, y);
    if (items.empty()) {
        show_status_message(message_text(MSG_NOTHING_HERE), "", WHITE, -1, 0, 2000);
        play_sound(sound_name::failure);
    } else {
        if (!choose_items(items)) return 0;  // nothing is taken
        turn_used = take_marked_items();
    }
    recompute_item_bonuses();
    clear_empty_container(g_map.map, x, y);
    return turn_used;
}
