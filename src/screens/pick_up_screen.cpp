// The pick-up screen: the items lying on one field in a 6 x 6 grid, marked
// with Space and taken with Return.
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "items/inventory.h"
#include "screens/item_screen_view.h"
#include "screens/item_screens.h"
#include "screens/screen_stack.h"
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

// The grid until Return (the marked items are taken; with none marked, the
// item under the cursor is marked) or Escape and the window's close (nothing is taken).
class PickUpScreen : public Screen {
public:
    PickUpScreen(int x, int y, std::vector<MapItem*> items) : x_(x), y_(y), items_(std::move(items)) {}
    void take(WindowEvent event) override;
    bool draw() override {
        draw_pick_up(items_, column_, row_);
        return true;
    }
    int turn_used() const { return turn_used_; }

private:
    void take_items();
    int x_, y_;
    std::vector<MapItem*> items_;
    // The cursor starts on the first item lying here.
    int column_ = 0, row_ = 0;
    // A key still held when the screen opens (the P itself) must be let go first.
    bool key_lock_ = key_held(key::any);
    int turn_used_ = 0;
};

void PickUpScreen::take(WindowEvent event) {
    if (event == WindowEvent::close_request) {
        window_close_asked();
        return close();
    }
    if (key_released(key::escape)) return close();
    const size_t cursor = static_cast<size_t>(row_ * ITEM_GRID_CELLS + column_);
    if (!key_lock_) {
        key_lock_ = true;
        if (key_held(key::left)) column_ = std::max(0, column_ - 1);
        else if (key_held(key::right)) column_ = std::min(ITEM_GRID_CELLS - 1, column_ + 1);
        else if (key_held(key::up)) row_ = std::max(0, row_ - 1);
        else if (key_held(key::down)) row_ = std::min(ITEM_GRID_CELLS - 1, row_ + 1);
        else if (key_held(key::space)) {
            if (cursor < items_.size()) items_[cursor]->marked = items_[cursor]->marked ? 0 : 1;
        } else if (key_held(key::ret)) {
            const bool none_marked =
                std::none_of(items_.begin(), items_.end(), [](const MapItem* item) { return item->marked != 0; });
            if (none_marked && cursor < items_.size()) items_[cursor]->marked = 1;
            take_items();
            return close();
        } else {
            key_lock_ = false;  // no key of this screen
        }
    }
    if (key_released(key::any)) key_lock_ = false;
    const size_t now_under = static_cast<size_t>(row_ * ITEM_GRID_CELLS + column_);
    for (size_t i = 0; i < items_.size(); ++i) items_[i]->under_cursor = (i == now_under) ? 1 : 0;
}

void PickUpScreen::take_items() {
    turn_used_ = take_marked_items();
    recompute_item_bonuses();
    clear_empty_container(g_map.map, x_, y_);
}

}  // namespace

void pick_up_screen(int x, int y, std::function<void(int turn_used)> then) {
    for (MapItem& item : g_map.items) {
        item.under_cursor = 0;
        item.marked = 0;
    }
    std::vector<MapItem*> items = items_on_field(x, y);
    if (items.empty()) {
        show_status_message(message_text(MSG_NOTHING_HERE), "", WHITE, -1, 0, 2000);
        play_sound(sound_name::failure);
        recompute_item_bonuses();
        clear_empty_container(g_map.map, x, y);
        return then(0);
    }
    screen_stack().push<PickUpScreen>(std::make_unique<PickUpScreen>(x, y, std::move(items)),
                                      [then](PickUpScreen& closed) { then(closed.turn_used()); });
}
