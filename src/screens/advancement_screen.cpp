#include "screens/advancement_screen.h"

#include <functional>
#include <memory>

#include "character/advancement.h"

#include <algorithm>
#include <vector>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/commands.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "platform/media.h"
#include "screens/screen_stack.h"
#include "platform/strings.h"
#include "powers/use_power.h"

namespace {

constexpr Colour CURSOR_BAR = RGB(80, 0, 0);
constexpr Colour NEW_POWER_LABEL = RGB(255, 100, 0);
constexpr Colour SCROLL_FRAME = RGB(125, 75, 0);
constexpr Colour SCROLL_THUMB = RGB(255, 150, 0);
constexpr Colour SCROLL_LIGHT = RGB(255, 200, 125);
constexpr Colour SCROLL_DARK = RGB(125, 75, 0);
const std::string ELLIPSIS = "...";

// The list shows twelve rows of 32 pixels from y 52; the row under the cursor
// stays the twelfth when the list scrolls.
constexpr int LIST_TOP = 52, ROW_HEIGHT = 32, VISIBLE_ROWS = 12, LAST_ROW = VISIBLE_ROWS - 1;
// The key hint stands between the last row (which ends at 436) and the bottom border.
constexpr int HINT_Y = 444;
// The character sheet's line about advancement, below its eleventh row (which ends at 404).
constexpr int SHEET_ADVANCEMENT_Y = 410;

const AbilityRecord& record_of(int id) { return g_db.abilities[id]; }
const AbilityState& state_of(int id) { return g_character_model.character.abilities[id]; }
Colour colour_of(int id) { return static_cast<Colour>(record_of(id).color); }

// Border pieces cycle through five cells by their row or column on the screen,
// so the divider lines up with the borders: pieces 1..5 run down, 7..11 across.
int vertical_piece(int row) { return 1 + row % 5; }
int horizontal_piece(int column) { return 7 + column % 5; }

void draw_centred(const std::string& text, int y) {
    draw_text_on_black(SCREEN_WIDTH / 2 - text_width(text) / 2, y, text, WHITE);
}

// The abilities offered for advancement, in id order.
std::vector<int16_t> advancement_list() {
    std::vector<int16_t> list;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (!record_of(id).name.empty() && record_of(id).xp) list.push_back(static_cast<int16_t>(id));
    return list;
}

// The details of the selected ability on the right, from y 82; returns the y
// of the first power the pick would unlock and lists those powers.
int draw_advancement_details(int16_t selected, std::vector<int>& unlocked) {
    const AbilityRecord& ability = record_of(selected);
    draw_select_font(FONT_TITLE);
    int y = 82;
    auto line = [&y](const std::string& text, Colour colour) {
        draw_text_on_black(340, y, fit_text(text, 300, ELLIPSIS), colour);
        y += 16;
    };

    int self_bonus = 0;
    for (const AttributeBonus& bonus : ability.attribute_bonus) {
        if (!valid_ability_id(bonus.attribute)) continue;
        if (bonus.attribute == selected) self_bonus = bonus.bonus;
        if (!bonus.displayed) continue;
        const AbilityRecord& target = record_of(bonus.attribute);
        line(target.display_name + "+" + int_to_text(bonus.bonus) + (target.percentage ? "%" : "") + " (" +
                 message_text(5) + ": " + int_to_text(state_of(bonus.attribute).attribute_max_value) + ")",
             colour_of(bonus.attribute));
    }
    for (const AbilityCap& cap : ability.cap) {
        if (!valid_ability_id(cap.ability)) continue;
        std::string part = record_of(cap.ability).display_name;
        int16_t v = state_of(cap.ability).attribute_max_value;
        if (cap.multiplier > 1) {
            part += " x " + int_to_text(cap.multiplier);
            v = wrap16(static_cast<int>(v) * cap.multiplier);
        } else if (cap.divisor > 1) {
            part += " / " + int_to_text(cap.divisor);
            v = wrap16(v / cap.divisor);
        }
        if (cap.bonus > 0) {
            part += " + " + int_to_text(cap.bonus);
            v = wrap16(v + cap.bonus);
        }
        line(message_text(6) + " " + int_to_text(v) + " (" + part + ")", colour_of(cap.ability));
    }
    for (const AbilityRequirement& requirement : ability.requirement) {
        if (!valid_ability_id(requirement.attribute)) continue;
        line(message_text(7) + ": " + record_of(requirement.attribute).display_name + " " + int_to_text(requirement.value) +
                 "+",
             colour_of(requirement.attribute));
    }
    if (!ability.description.empty()) {
        int lines = draw_wrapped_text(340, y, ability.description, 240, 12, WHITE);
        y += text_line_step(12) * lines + 16;
    }

    int first_y = y;
    for (int power = 0; power <= kMaxPowerId; ++power) {
        if (power_available(power, 0, 0) || !power_available(power, selected, self_bonus)) continue;
        if (unlocked.empty()) first_y = y;
        unlocked.push_back(power);
        // The label and the name keep their letters whole; the pictures stay 38 pixels apart.
        const int step = text_line_step(12);
        draw_text_on_black(378, y, message_text(8) + ":", NEW_POWER_LABEL);
        draw_text_on_black(378, y + step, fit_text(g_db.powers[power].name, 300, ELLIPSIS), WHITE);
        y += 38;
    }
    return first_y;
}

// The scroll bar beside the list: its thumb covers the eleven rows above the cursor's.
void draw_scroll_bar(int cursor, int count) {
    draw_box(300, 52, 14, 384, SCROLL_FRAME);
    draw_box(301, 53, 12, 382, RGB(0, 0, 0));
    const int step = 384 / (count - 1);
    const int top = std::max(0, cursor - LAST_ROW) * step + 54;
    const int height = LAST_ROW * step - 2;
    const int left = 302, right = 302 + 10 - 1, bottom = top + height - 1;
    draw_box(left, top, 10, height, SCROLL_THUMB);
    draw_line(left, top, right, top, SCROLL_LIGHT);
    draw_line(left, top, left, bottom, SCROLL_LIGHT);
    draw_line(right, top + 1, right, bottom, SCROLL_DARK);
    draw_line(left + 1, bottom, right, bottom, SCROLL_DARK);
}

}  // namespace

void draw_dialog_frame(const std::string& title, const std::string& footer) {
    clear_screen(RGB(0, 0, 0));
    for (int row = 0; row <= 29; ++row) {
        sprite_display_opaque(clip_frame_piece(vertical_piece(row)), 0, FRAME_PIECE * row);
        sprite_display_opaque(clip_frame_piece(vertical_piece(row)), 624, FRAME_PIECE * row);
    }
    for (int column = 1; column <= 38; ++column) {
        const int x = FRAME_PIECE * column;
        for (int y : {0, 32, 464}) sprite_display_opaque(clip_frame_piece(horizontal_piece(column)), x, y);
        if (!footer.empty()) sprite_display_opaque(clip_frame_piece(horizontal_piece(column)), x, 432);
    }
    draw_start();
    draw_centred(title, 16);
    if (!footer.empty()) draw_centred(footer, 448);
    draw_stop();
}

std::string fit_text(const std::string& text, int width, const std::string& ellipsis) {
    if (text_width(text + ellipsis) <= width) return text;
    std::string shortened = text;
    while (!shortened.empty() && text_width(shortened + ellipsis) > width) {
        // The last letter goes as a whole, with all the bytes that encode it.
        size_t end = shortened.size() - 1;
        while (end > 0 && (static_cast<unsigned char>(shortened[end]) & 0xC0) == 0x80) --end;
        shortened.resize(end);
    }
    return shortened + ellipsis;
}

void character_screen() {
    // The title and footer in the panel's font, as after any game picture.
    draw_select_font(FONT_PANEL);
    draw_dialog_frame(message_text(1), message_text(2));
    struct Icon {
        int x, y, tile;
    };
    std::vector<Icon> icons;
    draw_start();
    draw_select_font(FONT_PANEL);
    int row = 0, column = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const int16_t ability_id = static_cast<int16_t>(id);
        const int v = attribute_current_val(ability_id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
        for (const DisplayEntry& entry : record_of(id).display) {
            if (entry.type != kDisplayCharacterInfo || !display_entry_applies(entry, v)) continue;
            const int x = 56 + 160 * column, y = 52 + 32 * row;
            const Colour colour = static_cast<Colour>(entry.color);
            draw_text_on_black(x, y, display_entry_text(ability_id, entry, entry.message, v), colour);
            if (!entry.message2.empty())
                draw_text_on_black(x, y + 16, display_entry_text(ability_id, entry, entry.message2, v), colour);
            icons.push_back({20 + 160 * column, y, record_of(id).tile});
            if (++row > 10) {
                row = 0;
                ++column;
            }
        }
    }
    // Below the abilities: what the next advancement comes with, and the picks waiting.
    std::string advancement = next_pick_text();
    if (g_character_model.character.picks_waiting > 0)
        advancement += "  " + message_with(msg::PANEL_PICKS,
                                           {{"[value]", int_to_text(g_character_model.character.picks_waiting)}});
    draw_text_on_black(20, SHEET_ADVANCEMENT_Y, fit_text(advancement, 600, ELLIPSIS), KEY_HINT_COLOUR);
    draw_stop();
    for (const Icon& icon : icons) sprite_display_opaque(clip_ability_icon(icon.tile), icon.x, icon.y);
}

namespace {

// The dialog itself; new_character gives the title of a new character.
class AdvancementDialog : public Screen {
public:
    AdvancementDialog(int picks, bool new_character) : picks_(picks), new_character_(new_character) {}
    void take(WindowEvent event) override;
    bool draw() override {
        if (!changed_) return false;
        selected_ = draw_advancement_screen(cursor_, count_, title_);
        return true;
    }
    bool idle() const override { return !changed_; }

private:
    void next_pick();
    void pick(WindowEvent event);
    void finish() {
        tell_advancement_end(unmade_, new_character_);
        close();
    }
    int picks_;
    bool new_character_;
    // Keys still held from the game (the step onto a lever, the menu's Return) must be let go first.
    bool letting_go_ = true;
    int cursor_ = 0, unmade_ = 0, count_ = 0;
    int16_t selected_ = 0;
    std::string title_;
    bool key_lock_ = false, changed_ = false, close_waiting_ = false;
};

void AdvancementDialog::take(WindowEvent event) {
    if (!letting_go_) return pick(event);
    // The window's close is answered once the list shows.
    if (event == WindowEvent::close_request) close_waiting_ = true;
    changed_ = false;
    if (key_held(key::any)) return;
    letting_go_ = false;
    // The title keeps the font of the texts from the first picture on.
    draw_select_font(FONT_TITLE);
    if (picks_ <= 0) return finish();
    next_pick();
}

// The list for the next pick, shown before the next key.
void AdvancementDialog::next_pick() {
    title_ = message_text(new_character_ ? 10 : 9) + " (" + int_to_text(picks_) + ")";
    count_ = xp_ability_count();
    changed_ = true;
}

void AdvancementDialog::pick(WindowEvent event) {
    // A close request from the desktop ends the game in either screen mode.
    if (close_waiting_) event = WindowEvent::close_request;
    close_waiting_ = false;
    const bool left = event == WindowEvent::close_request || key_released(key::escape);
    if (event == WindowEvent::close_request) window_close_asked();
    if (left) {
        unmade_ = picks_;
        return finish();
    }
    bool changed = false, picked = false;
    if (key_held(key::down) && !key_lock_ && cursor_ < count_ - 1) {
        ++cursor_;
        key_lock_ = changed = true;
    }
    if (key_held(key::up) && !key_lock_ && cursor_ > 0) {
        --cursor_;
        key_lock_ = changed = true;
    }
    if (key_held(key::ret) && !key_lock_) {
        // An ability whose requirements are not met is refused silently.
        if (valid_ability_id(selected_) && ability_available(selected_)) {
            apply_advancement_pick(selected_);
            picked = true;
        }
        recalculate_adjustments();
        key_lock_ = changed = true;
    }
    if (key_released(key::any)) key_lock_ = false;
    changed_ = changed;
    if (!picked) return;
    // The list as the pick left it, then the next pick's.
    selected_ = draw_advancement_screen(cursor_, count_, title_);
    flip();
    if (--picks_ <= 0) return finish();
    next_pick();
}

// The dialog on the stack, or run at once where a rule asks for the picks.
std::unique_ptr<AdvancementDialog> make_picks(int picks, bool new_character) {
    return std::make_unique<AdvancementDialog>(picks, new_character);
}

}  // namespace

int advancement_screen(int picks, int new_character) {
    // Picks that come in the game (a new level, a deed) say so, beside what brought them.
    if (new_character != 1) add_to_status_message(message_with(msg::ADVANCEMENT_DUE, {{"[value]", int_to_text(picks)}}));
    run_screen_at_once(make_picks(picks, new_character == 1));
    return 0;
}

void tell_advancement_end(int unmade, bool new_character) {
    CharacterRecord& c = g_character_model.character;
    // Picks left with Escape wait for the key A.
    if (unmade > 0) {
        c.picks_waiting = wrap16(c.picks_waiting + unmade);
        show_status_message(message_with(msg::PICKS_WAIT, {{"[value]", int_to_text(c.picks_waiting)}}), "", WHITE, -1,
                            0, 2000);
    }
    // A power the picks opened gets the next cell of the grid and is named.
    for (int power : arrange_power_grid())
        if (!new_character)
            show_status_message(message_with(msg::NEW_POWER, {{"[power]", g_db.powers[power].name}}), "", WHITE,
                                g_db.powers[power].tile, icon_kind::power, 2000);
}

void take_waiting_picks(std::function<void()> then) {
    CharacterRecord& c = g_character_model.character;
    if (c.picks_waiting <= 0) {
        show_status_message(next_pick_text(), "", WHITE, -1, 0, 2000);
        return then();
    }
    const int picks = c.picks_waiting;
    c.picks_waiting = 0;
    screen_stack().push(make_picks(picks, false), [then](Screen&) { then(); });
}

std::string next_pick_text() {
    const CharacterRecord& c = g_character_model.character;
    // The next new level of the deepest dungeon reached, while it has one more; else the rule itself.
    if (!c.deepest_dungeon.empty() && c.deepest_level < c.dungeon_levels)
        return message_with(msg::NEXT_PICK,
                            {{"[value]", int_to_text(c.deepest_level + 1)}, {"[dungeon]", c.deepest_dungeon}});
    return message_text(msg::PICKS_COME_WITH);
}

int16_t draw_advancement_screen(int cursor, int count, const std::string& title) {
    draw_dialog_frame(title, "");
    for (int row = 3; row <= 28; ++row)
        sprite_display_opaque(clip_frame_piece(vertical_piece(row)), 320, FRAME_PIECE * row);
    const int scroll = cursor > LAST_ROW ? cursor - LAST_ROW : 0;
    draw_start();
    draw_box(20, LIST_TOP + ROW_HEIGHT * (cursor - scroll), 292, ROW_HEIGHT, CURSOR_BAR);
    draw_stop();

    const std::vector<int16_t> list = advancement_list();
    auto row_of = [scroll](int position) { return position - scroll; };
    auto visible = [](int row) { return row >= 0 && row <= LAST_ROW; };
    int16_t selected = 0;
    for (int p = 0; p < static_cast<int>(list.size()); ++p) {
        const int row = row_of(p);
        if (!visible(row)) continue;
        sprite_display_transparent(clip_ability_icon(record_of(list[p]).tile), 20, LIST_TOP + ROW_HEIGHT * row);
        if (row == cursor - scroll) {
            selected = list[p];
            sprite_display_opaque(clip_ability_icon(record_of(selected).tile), 338, 50);
        }
    }

    draw_start();
    draw_text_transparent();
    for (int p = 0; p < static_cast<int>(list.size()); ++p) {
        const int row = row_of(p);
        if (!visible(row)) continue;
        const int16_t id = list[p];
        const AbilityRecord& ability = record_of(id);
        std::string line = ability.display_name;
        if (!ability_available(id)) line += " (" + message_text(3) + ")";
        else if (ability_capped(id, 0)) line += " (" + message_text(4) + ")";
        draw_select_font(FONT_BOLD);
        draw_text(56, LIST_TOP + ROW_HEIGHT * row, fit_text(line, 252, ELLIPSIS), colour_of(id));
        if (id == selected) draw_text(372, 58, ability.display_name, colour_of(id));
        draw_select_font(FONT_TITLE);
        draw_text(56, 68 + ROW_HEIGHT * row, fit_text(attribute_bonus_text(id), 252, ELLIPSIS), colour_of(id));
    }

    std::vector<int> unlocked;
    int first_power_y = 0;
    if (selected > 0) first_power_y = draw_advancement_details(selected, unlocked);
    if (count > LAST_ROW) draw_scroll_bar(cursor, count);
    // The keys in the strip below the list, left of the divider.
    draw_select_font(FONT_PANEL);
    draw_text_on_black(20, HINT_Y, fit_text(with_key_names(message_text(msg::hint_advancement)), 292, ELLIPSIS), KEY_HINT_COLOUR);
    draw_stop();

    for (size_t k = 0; k < unlocked.size(); ++k)
        sprite_display_opaque(clip_power_icon(g_db.powers[unlocked[k]].tile), 340,
                              first_power_y + 38 * static_cast<int>(k));
    return selected;
}
