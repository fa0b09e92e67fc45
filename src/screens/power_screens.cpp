// The power screen of the key U (a 6 x 6 grid right of the map view, the
// texts of the power under the cursor below it) and the choice of a target on
// the map view that some powers ask for.
#include "screens/power_screens.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "map/map_state.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "powers/use_power.h"
#include "screens/screen_stack.h"

namespace {

constexpr int PANEL_X = 434;
constexpr int GRID_Y = 32;
constexpr int GRID_CELLS = 6;
constexpr int NAME_Y = 240, LINES_Y = 256, LINE = 16;
constexpr int DESCRIPTION_WIDTH = 206, DESCRIPTION_LINE = 12;

// Messages of the power screen.
constexpr int MSG_TITLE = 35, MSG_CHANCE = 36, MSG_COST = 37, MSG_RANGE = 38, MSG_RANGE_SELF = 39,
              MSG_RANGE_NEIGHBOUR = 40, MSG_RANGE_VIEW = 41, MSG_COOLDOWN_LINE = 49;

CharacterRecord& hero() { return g_character_model.character; }


int power_in_cell(const std::vector<int>& ids, int column, int row) {
    const size_t index = static_cast<size_t>(row * GRID_CELLS + column);
    return index < ids.size() ? ids[index] : 0;
}

std::string range_text(int range) {
    if (range == 0) return message_text(MSG_RANGE_SELF);
    if (range == 1) return message_text(MSG_RANGE_NEIGHBOUR);
    return message_text(MSG_RANGE_VIEW);
}

// The texts about the power under the cursor, below the grid.
void draw_power_info(int id) {
    const Power& p = g_db.powers[id];
    draw_start();
    draw_select_font(FONT_TITLE);
    draw_text_on_black(PANEL_X, NAME_Y, p.name, WHITE);
    int y = LINES_Y;
    auto line = [&](const std::string& text) {
        draw_text_on_black(PANEL_X, y, text, WHITE);
        y += LINE;
    };
    if (p.success_attribute > 0) line(success_chance_line(id));
    if (p.cost > 0) line(message_text(MSG_COST) + ": " + int_to_text(p.cost) + " " + p.cost_attribute_name);
    line(message_text(MSG_RANGE) + ": " + range_text(p.range));
    if (hero().cooldown[id] > 0)
        line(replace_all(message_text(MSG_COOLDOWN_LINE), "[cooldown]", int_to_text(hero().cooldown[id])));
    draw_select_font(FONT_PANEL);
    draw_wrapped_text(PANEL_X, y, p.description, DESCRIPTION_WIDTH, DESCRIPTION_LINE, WHITE);
    draw_stop();
}

// The map view behind, the title, the grid with the blinking cursor and the
// texts about the power under it; not flipped.
void draw_power_screen(const std::vector<int>& ids, int column, int row) {
    draw_panel_screen_behind(message_text(MSG_TITLE) + ":");
    const int under_cursor = power_in_cell(ids, column, row);
    if (under_cursor > 0) draw_power_info(under_cursor);
    for (int r = 0; r < GRID_CELLS; ++r)
        for (int c = 0; c < GRID_CELLS; ++c) {
            const int id = power_in_cell(ids, c, r);
            const int tile = id > 0 ? g_db.powers[id].tile : 0;
            sprite_display_opaque(clip_power_icon(tile), PANEL_X + CELL * c, GRID_Y + CELL * r);
        }
    draw_blinking_cursor(PANEL_X + CELL * column, GRID_Y + CELL * row);
    draw_key_hint(message_text(msg::hint_power));
}

// One arrow key moves a cursor coordinate by one within lowest..highest; true when it moved.
bool move_with_arrows(int& column, int& row, int lowest, int highest) {
    struct Arrow {
        int code, dx, dy;
    };
    static constexpr Arrow arrows[] = {{key::left, -1, 0}, {key::right, 1, 0}, {key::up, 0, -1}, {key::down, 0, 1}};
    for (const Arrow& arrow : arrows) {
        if (!key_held(arrow.code)) continue;
        const int c = column + arrow.dx, r = row + arrow.dy;
        if (c < lowest || c > highest || r < lowest || r > highest) continue;
        column = c;
        row = r;
        return true;
    }
    return false;
}

// The power screen until a choice, then the power chosen is used (none:
// Escape, the window's close, an empty cell).
class PowerScreen : public Screen {
public:
    PowerScreen() {
        arrange_power_grid();
        ids_ = power_grid_cells(GRID_CELLS * GRID_CELLS);
    }
    void take(WindowEvent event) override;
    bool draw() override {
        draw_power_screen(ids_, column_, row_);
        return true;
    }
    int turn_ended() const { return turn_ended_; }

private:
    void choose(int power) {
        turn_ended_ = use_chosen_power(power);
        close();
    }
    std::vector<int> ids_;
    int column_ = 0, row_ = 0;
    bool key_lock_ = false;  // after a move, no move until a key is released
    int turn_ended_ = 0;
};

void PowerScreen::take(WindowEvent event) {
    if (event == WindowEvent::close_request) {
        window_close_asked();
        return choose(0);
    }
    if (key_released(key::escape)) return choose(0);
    if (key_released(key::ret)) return choose(power_in_cell(ids_, column_, row_));
    if (!key_lock_ && move_with_arrows(column_, row_, 0, GRID_CELLS - 1)) key_lock_ = true;
    if (key_released(key::any)) key_lock_ = false;
}

}  // namespace

void use_power(std::function<void(int turn_ended)> then) {
    screen_stack().push<PowerScreen>(std::make_unique<PowerScreen>(),
                                     [then](PowerScreen& closed) { then(closed.turn_ended()); });
}


std::string success_chance_line(int power) {
    // A chance above 100 % (or below 0 %) acts as 100 % (or 0 %): it is shown as it acts.
    return message_text(MSG_CHANCE) + ": " + int_to_text(std::clamp<int>(power_success_chance(power), 0, 100)) + "%";
}

namespace {

// The cursor on the map view until Return is let go (confirmed) or Escape (cancelled).
class TargetScreen : public Screen {
public:
    TargetScreen(TargetCursor& cursor, int reach) : cursor_(cursor), reach_(reach) {}
    void take(WindowEvent event) override {
        if (event == WindowEvent::close_request) {
            cursor_.cancel = 1;
            window_close_asked();
            return close();
        }
        if (key_released(key::ret)) return close();
        if (key_released(key::escape)) {
            cursor_.cancel = 1;
            return close();
        }
        if (!key_lock_ && move_with_arrows(cursor_.column, cursor_.row, VIEW_CENTRE - reach_, VIEW_CENTRE + reach_))
            key_lock_ = true;
        if (key_released(key::any)) key_lock_ = false;
    }
    bool draw() override {
        draw_game_picture(g_map.map, 0, 0, 0, 0);
        draw_blinking_cursor(cursor_.column * CELL, cursor_.row * CELL);
        draw_key_hint(message_text(msg::hint_target));
        return true;
    }

private:
    TargetCursor& cursor_;
    int reach_;
    bool key_lock_ = false;  // one move per key press
};

}  // namespace

void choose_target(TargetCursor& cursor, int range) {
    cursor.column = VIEW_CENTRE;
    cursor.row = VIEW_CENTRE;
    cursor.cancel = 0;
    // Range 1 reaches the character's cell and the eight around it; above 1 the whole view.
    const int reach = range > 1 ? VIEW_CENTRE : (range == 1 ? 1 : 0);
    run_screen_at_once(std::make_unique<TargetScreen>(cursor, reach));
}
