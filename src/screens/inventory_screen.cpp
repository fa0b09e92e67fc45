// The inventory screen: the carried stacks in a 6 x 6 grid that scrolls by
// rows, the info panel of the stack under the cursor, and the item menu.
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
#include "platform/media.h"
#include "platform/strings.h"

namespace {

constexpr Colour BAR_GREY = RGB(119, 119, 119), BAR_LIGHT = RGB(221, 221, 221), BAR_DARK = RGB(34, 34, 34);
constexpr int SLIDE_STEP = 2, SLIDE_END = 30;  // 15 frames of 2 pixels before the rows change
constexpr int GRID_ENTRIES = ITEM_GRID_CELLS * ITEM_GRID_CELLS;

// Message numbers of the screen and its menu.
constexpr int MSG_TITLE = 13, MSG_ENTRIES = 14, MSG_DROP = 18, MSG_CANCEL = 19, MSG_UNEQUIP = 32, MSG_EQUIP = 33,
              MSG_KEEP_STACK = 34;

enum class MenuAction { use, unequip, equip, drop, close };

struct InventoryScreen {
    int column = 0, row = 0;
    int scroll = 0;  // rows scrolled
    bool menu_open = false;
    Menu menu;
    std::vector<MenuAction> actions;  // what each menu entry does
};

int entry_count() { return g_items.inventory.count(); }

// The furthest the grid scrolls: the last entries then fill its bottom rows.
int scroll_limit() { return (entry_count() - 31) / ITEM_GRID_CELLS; }

ItemView view_of(const InventoryEntry& entry) {
    const ItemType& kind = item_type_of(entry.type);
    return {entry.type, entry.amount, entry.fuel, entry.magic_bonus, entry.equipped ? kind.tile_equipped : kind.tile,
            entry.equipped != 0, entry.equipped != 0};
}

// The entry under the cursor becomes the selected one (and the only one).
void mark_selected(const InventoryScreen& screen) {
    const int under_cursor = (screen.scroll + screen.row) * ITEM_GRID_CELLS + screen.column;
    int index = 0;
    for (InventoryEntry& entry : g_items.inventory) entry.selected = (index++ == under_cursor) ? 1 : 0;
}

void draw_scroll_bar(int scroll) {
    // One step of the thumb per row (at least a pixel, however long the list).
    const int h = std::max(1, 192 / ((entry_count() + 5) / ITEM_GRID_CELLS));
    const int top = 34 + scroll * h, height = h * ITEM_GRID_CELLS - 1;
    const int left = 628, right = left + 9, bottom = top + height - 1;
    draw_start();
    draw_box(626, ITEM_GRID_Y, 14, 192, BAR_GREY);
    draw_box(627, ITEM_GRID_Y + 1, 12, 190, BLACK);
    draw_box(left, top, 10, height, BAR_GREY);
    draw_line(left, top, right, top, BAR_LIGHT);
    draw_line(left, top, left, bottom, BAR_LIGHT);
    draw_line(right, top + 1, right, bottom, BAR_DARK);
    draw_line(left + 1, bottom, right, bottom, BAR_DARK);
    draw_stop();
}

// The item menu on its panel beside the cursor's cell, the panel kept
// within the right panel above the bottom bar.
void place_menu(Menu& menu, int column, int row) {
    const int b = MENU_PANEL_BORDER;
    menu.x = static_cast<int16_t>(std::min(ITEM_GRID_X + CELL * column + CELL / 2 + b, SCREEN_WIDTH - menu.entry_width - b));
    menu.y = static_cast<int16_t>(
        std::min(ITEM_GRID_Y + CELL * row + CELL / 2 + b, VIEW_PIXELS - menu_list_height(menu) - b));
}

void open_item_menu(InventoryScreen& screen, const InventoryEntry& entry) {
    Menu& menu = screen.menu;
    menu_reset(menu);
    menu.font = FONT_PANEL;
    menu.inset = 3;
    screen.actions.clear();
    auto add = [&](const std::string& text, MenuAction action) {
        // A menu shows no entry for an empty text: its action goes with it, so
        // each shown entry keeps its own.
        if (text.empty()) return;
        menu_add(menu, text);
        screen.actions.push_back(action);
    };
    if (entry_can_be_used(entry)) add(item_type_of(entry.type).use_name, MenuAction::use);
    if (entry_can_be_equipped(entry)) {
        if (entry.equipped) add(message_text(MSG_UNEQUIP), MenuAction::unequip);
        else add(message_text(MSG_EQUIP), MenuAction::equip);
    }
    add(message_text(MSG_DROP), MenuAction::drop);
    if (entry.amount > 1) add(message_text(MSG_KEEP_STACK), MenuAction::close);
    add(message_text(MSG_CANCEL), MenuAction::close);
    menu_measure(menu, 1);
    place_menu(menu, screen.column, screen.row);
    screen.menu_open = true;
}

void draw_inventory(InventoryScreen& screen, int slide) {
    draw_panel_screen_behind(message_text(MSG_TITLE) + " (" + int_to_text(entry_count()) + " " +
                             message_text(MSG_ENTRIES) + ")");
    // Rows -1 and 6 come into the grid while it slides.
    int index = 0;
    const InventoryEntry* selected = nullptr;
    for (const InventoryEntry& entry : g_items.inventory) {
        const int row = index / ITEM_GRID_CELLS - screen.scroll;
        if (row >= -1 && row <= ITEM_GRID_CELLS)
            draw_item_grid_cell(view_of(entry), index % ITEM_GRID_CELLS, row, slide);
        if (entry.selected) selected = &entry;
        ++index;
    }
    if (entry_count() > GRID_ENTRIES) draw_scroll_bar(screen.scroll);
    if (selected) draw_item_info(view_of(*selected), false, true);
    draw_item_grid_cursor(screen.column, screen.row);
    if (screen.menu_open) menu_draw_on_panel(screen.menu, 1);
    draw_key_hint(message_text(screen.menu_open ? msg::hint_item_menu : msg::hint_inventory));
}

// The grid slides one row (direction -1: the rows move up, +1: down) in 15 frames.
void slide_grid(InventoryScreen& screen, int direction) {
    for (int shift = SLIDE_STEP; shift <= SLIDE_END; shift += SLIDE_STEP) {
        draw_inventory(screen, direction * shift);
        flip();
    }
    screen.scroll -= direction;
}

void move_cursor(InventoryScreen& screen) {
    if (key_held(key::left)) screen.column = std::max(0, screen.column - 1);
    else if (key_held(key::right)) screen.column = std::min(ITEM_GRID_CELLS - 1, screen.column + 1);
    else if (key_held(key::up)) {
        if (screen.row > 0) --screen.row;
        else if (screen.scroll > 0) slide_grid(screen, +1);
    } else if (key_held(key::down)) {
        if (screen.row < ITEM_GRID_CELLS - 1) ++screen.row;
        else if (screen.scroll < scroll_limit()) slide_grid(screen, -1);
    }
}

bool arrow_held() {
    return key_held(key::left) || key_held(key::right) || key_held(key::up) || key_held(key::down);
}

// Carries out the highlighted menu entry; returns 1 when the screen is to close.
int carry_out(InventoryScreen& screen, int& turn_used) {
    const MenuAction action = screen.actions[std::min<size_t>(screen.menu.selected, screen.actions.size() - 1)];
    screen.menu_open = false;
    InventoryEntry* entry = selected_entry();
    if (!entry) return 0;
    switch (action) {
        case MenuAction::use:
            if (use_selected()) {
                turn_used = 1;
                return 1;
            }
            break;
        case MenuAction::unequip: entry->equipped = 0; break;
        case MenuAction::equip:
            if (equip_selected()) turn_used = 1;
            break;
        case MenuAction::drop: {
            const CharacterRecord& character = g_character_model.character;
            drop_selected(character.x, character.y);
            break;
        }
        case MenuAction::close: break;
    }
    return 0;
}

// The grid, and the item menu over it while it is open.
class InventoryDialog : public Screen {
public:
    InventoryDialog() {
        const CharacterRecord& character = g_character_model.character;
        screen_.column = grid_position(character.inventory_cursor_x);
        screen_.row = grid_position(character.inventory_cursor_y);
    }
    void take(WindowEvent event) override;
    bool draw() override {
        mark_selected(screen_);
        draw_inventory(screen_, 0);
        return true;
    }
    int turn_used() const { return turn_used_; }

private:
    void leave();
    InventoryScreen screen_;
    int turn_used_ = 0;
    // A key still held when the screen opens (the I itself) must be let go first.
    bool key_lock_ = key_held(key::any);
};

void InventoryDialog::take(WindowEvent event) {
    if (event == WindowEvent::close_request) {
        window_close_asked();
        return leave();
    }
    if (key_released(key::escape)) return leave();
    InventoryScreen& screen = screen_;
    bool closing = false;
    mark_selected(screen);
    if (!key_lock_ && !screen.menu_open) {
        if (arrow_held()) {
            move_cursor(screen);
            key_lock_ = true;
        } else if (key_held(key::ret)) {
            key_lock_ = true;
            if (const InventoryEntry* entry = selected_entry()) {
                open_item_menu(screen, *entry);
            } else {
                // Return on an empty cell leaves; the next visit starts at the top left.
                screen.column = screen.row = 0;
                closing = true;
            }
        }
    } else if (!key_lock_) {
        const int count = std::max<int>(1, screen.menu.count);
        if (key_held(key::up)) {
            screen.menu.selected = static_cast<uint8_t>((screen.menu.selected + count - 1) % count);
            key_lock_ = true;
        } else if (key_held(key::down)) {
            screen.menu.selected = static_cast<uint8_t>((screen.menu.selected + 1) % count);
            key_lock_ = true;
        } else if (key_held(key::ret)) {
            key_lock_ = true;
            closing = carry_out(screen, turn_used_) == 1;
            // Entries that went take their rows with them: no row stays
            // scrolled away once the scroll bar is gone. The cursor keeps its place in the list.
            const int scroll = std::max(0, std::min(screen.scroll, scroll_limit()));
            screen.row = std::min(ITEM_GRID_CELLS - 1, screen.row + screen.scroll - scroll);
            screen.scroll = scroll;
        }
    }
    if (key_released(key::any)) key_lock_ = false;
    if (closing) leave();
}

void InventoryDialog::leave() {
    CharacterRecord& character = g_character_model.character;
    character.inventory_cursor_x = static_cast<int8_t>(screen_.column);
    character.inventory_cursor_y = static_cast<int8_t>(screen_.row);
    recompute_item_bonuses();
    close();
}

}  // namespace

void inventory_screen(std::function<void(int turn_used)> then) {
    screen_stack().push<InventoryDialog>(std::make_unique<InventoryDialog>(),
                                         [then](InventoryDialog& closed) { then(closed.turn_used()); });
}
