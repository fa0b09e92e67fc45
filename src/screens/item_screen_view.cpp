#include "screens/item_screen_view.h"

#include <algorithm>

#include "character/advancement.h"
#include "screens/advancement_screen.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/database.h"
#include "presentation/view.h"
#include "items/inventory.h"
#include "platform/media.h"
#include "platform/strings.h"

namespace {

constexpr int GRID_BOTTOM = ITEM_GRID_Y + ITEM_GRID_CELLS * CELL;  // 224
constexpr int SELECTED_X = 434, SELECTED_Y = 240;                  // the item under the cursor, drawn again
constexpr int INFO_X = 470, INFO_WIDTH = 170, LINE = 12;           // the lines beside it

// Message numbers of the info panel.
constexpr int MSG_AMOUNT = 15, MSG_WEIGHT = 16, MSG_WEIGHT_UNIT = 17;

// The picture on its cell (the mark cell behind it when on_mark), keeping
// only the pixel rows between top and bottom.
void draw_item_picture(const ItemView& item, int x, int y, int top, int bottom) {
    const int first = std::max(0, top - y);
    const int rows = std::min(CELL, bottom - y) - first;
    if (rows <= 0) return;
    if (item.on_mark) sprite_display_opaque(clip_item_icon_rows(ITEM_MARK_CELL, first, rows), x, y + first);
    sprite_display_transparent(clip_item_icon_rows(item.picture, first, rows), x, y + first);
}

// One line of a bonus: the ability and what the item adds to it.
std::string bonus_line(const ItemAbilityBonus& bonus, const ItemView& item) {
    int value = bonus.value;
    if (item_type_of(item.type).artefact && bonus.magic_bonus_multiplier > 0)
        value += item.magic_bonus * bonus.magic_bonus_multiplier;
    const AbilityRecord& ability = g_db.abilities[bonus.attribute];
    // A space also before a negative value, so that it never sticks to the name.
    std::string line = ability.display_name + (value > 0 ? " + " : " ") + int_to_text(wrap16(value));
    if (ability.percentage) line += "%";
    return line;
}

}  // namespace

void draw_item_grid_cell(const ItemView& item, int column, int row, int slide) {
    draw_item_picture(item, ITEM_GRID_X + CELL * column, ITEM_GRID_Y + CELL * row + slide, ITEM_GRID_Y, GRID_BOTTOM);
}

void draw_item_grid_cursor(int column, int row) {
    draw_blinking_cursor(ITEM_GRID_X + CELL * column, ITEM_GRID_Y + CELL * row);
}

void draw_item_info(const ItemView& item, bool class_word, bool amount_line) {
    const ItemType& kind = item_type_of(item.type);
    draw_item_picture(item, SELECTED_X, SELECTED_Y, SELECTED_Y, SELECTED_Y + CELL);

    draw_start();
    draw_select_font(FONT_PANEL);
    int y = SELECTED_Y;
    const int step = text_line_step(LINE);  // lines that keep the bottoms of their letters
    std::string name = kind.name;
    if (kind.artefact) name += " + " + int_to_text(item.magic_bonus);
    const int name_lines = draw_wrapped_text(INFO_X, y, name, INFO_WIDTH, LINE, WHITE);
    y += name_lines * step;
    auto line = [&](const std::string& text) {
        draw_text_on_black(INFO_X, y, text, WHITE);
        y += step;
    };
    if (name_lines < 2) line(class_word ? kind.item_class : kind.class_name);
    if (amount_line && item.amount > 1) line(message_text(MSG_AMOUNT) + ": " + int_to_text(item.amount));
    for (const ItemAbilityBonus& bonus : kind.ability_bonus)
        if (bonus.attribute > 0 && bonus.attribute <= kMaxAbilityId) line(fit_text(bonus_line(bonus, item), INFO_WIDTH, "..."));
    if (item.equipped) line(message_text(msg::ITEM_EQUIPPED));
    // A light whose fuel is gone says so instead of "burns for 0 more turns".
    if (kind.fuel > 0 && item.fuel <= 0) line(message_text(msg::ITEM_BURNT_OUT));
    else if (kind.fuel > 0 && !kind.fuel_name.empty()) line(replace_all(kind.fuel_name, "[fuel]", int_to_text(item.fuel)));
    line(message_text(MSG_WEIGHT) + ": " + float_to_text(kind.weight / 10.0, 1) + " " + message_text(MSG_WEIGHT_UNIT));
    draw_wrapped_text(INFO_X, y, kind.description, INFO_WIDTH, LINE, WHITE);
    draw_stop();
}

int grid_position(int stored) { return std::clamp(stored, 0, ITEM_GRID_CELLS - 1); }
