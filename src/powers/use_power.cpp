#include "powers/use_power.h"

#include <string>
#include <vector>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/raise_error.h"
#include "common/view.h"
#include "map/map_state.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/power_effects.h"

namespace {

constexpr int MESSAGE_MS = 2000;

// The power screen: a 6 x 6 grid right of the map view, the texts below it.
constexpr int PANEL_X = 434;
constexpr int GRID_Y = 32;
constexpr int GRID_CELLS = 6;
constexpr int NAME_Y = 240, LINES_Y = 256, LINE = 16;
constexpr int DESCRIPTION_WIDTH = 206, DESCRIPTION_LINE = 12;
constexpr int LAST_OFFERED_POWER = 253;  // the screen looks at ids 1..253

// Messages of the power screen and of the refusals.
constexpr int MSG_TITLE = 35, MSG_CHANCE = 36, MSG_COST = 37, MSG_RANGE = 38, MSG_RANGE_SELF = 39,
              MSG_RANGE_NEIGHBOUR = 40, MSG_RANGE_VIEW = 41, MSG_NOT_ENOUGH = 46, MSG_NOT_ENOUGH_2 = 47,
              MSG_COOLING_DOWN = 48, MSG_COOLDOWN_LINE = 49;

CharacterRecord& hero() { return g_character_model.character; }

const Power& power_of(int id) {
    static const Power none;
    return (id >= 0 && id < kPowerTableSize) ? g_db.powers[id] : none;
}

void check_power_id(const char* procedure, int id) {
    if (id < 1 || id > kMaxPowerId) raise_error(std::string(procedure) + "(): wrong power id: " + int_to_text(id));
}

int16_t current(int ability) {
    return attribute_current_val(static_cast<int16_t>(ability), Cap::apply, PowerAdjustment::add, ItemBonus::add);
}

bool bonus_ability(int ability) { return ability > 0 && ability < 255; }

// An ability's value scaled for a formula: multiplied unless the multiplier is 1
// (any other multiplier, 0 too, applies), divided when the divisor is above 1.
int16_t scaled_value(int ability, int multiplier, int divisor) {
    int16_t v = current(ability);
    if (multiplier != 1) v = wrap16(static_cast<long long>(v) * multiplier);
    if (divisor > 1) v = wrap16(v / divisor);
    return v;
}

void show_power_message(int power, const std::string& text, const std::string& second_text = "") {
    show_status_message(text, second_text, WHITE, power_of(power).tile, icon_kind::power, MESSAGE_MS);
}

int show_if_set(int power, const std::string& text) {
    if (text.empty()) return 0;
    show_power_message(power, text);
    return 1;
}

int play_if_set(const std::string& sound) {
    if (sound.empty()) return 0;
    play_sound(sound);
    return 1;
}

// The powers the character can use, in id order, as many as the grid holds.
std::vector<int> usable_powers() {
    std::vector<int> ids;
    for (int id = 1; id <= LAST_OFFERED_POWER && ids.size() < GRID_CELLS * GRID_CELLS; ++id)
        if (power_available(id, 0, 0)) ids.push_back(id);
    return ids;
}

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
    if (p.success_attribute > 0)
        line(message_text(MSG_CHANCE) + ": " + int_to_text(power_success_chance(id)) + "%");
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

// The power screen until a choice: the power chosen, or 0 when none (Escape,
// the window's close, an empty cell).
int choose_power() {
    const std::vector<int> ids = usable_powers();
    int column = 0, row = 0;
    bool key_lock = false;  // after a move, no move until a key is released
    for (;;) {
        keyboard_poll();
        if (take_window_event() == WindowEvent::close_request) {
            g_common.close_requested = 1;
            return 0;
        }
        if (key_released(key::escape)) return 0;
        if (key_released(key::ret)) return power_in_cell(ids, column, row);
        if (!key_lock && move_with_arrows(column, row, 0, GRID_CELLS - 1)) key_lock = true;
        if (key_released(key::any)) key_lock = false;
        draw_power_screen(ids, column, row);
        flip();
    }
}

// The effects by name, each with the procedure that does it.
struct PowerEffect {
    const char* name;
    void (*run)(int power);
};
const PowerEffect kPowerEffects[] = {
    {"attack", power_attack},
    {"area attack", power_area_attack},
    {"duration", power_duration},
    {"transform field", [](int power) { power_field_effect(power, 1); }},
    {"use field", [](int power) { power_field_effect(power, 0); }},
    {"activate ability", power_activate_ability},
    {"deplete attribute", power_deplete_attribute},
    {"modify attribute", [](int power) { power_modify_attribute(power, 0); }},
    {"apply effect to monster", power_apply_effect_to_monster},
};

const PowerEffect* find_power_effect(const std::string& name) {
    for (const PowerEffect& effect : kPowerEffects)
        if (name == effect.name) return &effect;
    return nullptr;
}

void run_power_effect(int power) {
    const std::string& effect = g_db.powers[power].effect_name;
    const PowerEffect* found = find_power_effect(effect);
    if (!found) raise_error("use_power(): cannot find power effect " + quoted(effect));
    found->run(power);
}

}  // namespace

bool power_effect_known(const std::string& name) { return find_power_effect(name) != nullptr; }

int use_power() {
    const int id = choose_power();
    if (id == 0) return 0;
    const Power& p = g_db.powers[id];

    if (p.cost > 0) {
        if (current(p.cost_attribute) < p.cost) {
            play_sound(sound_name::failure);
            const std::string& ability = g_db.abilities[p.cost_attribute].display_name;
            show_power_message(id, replace_all(message_text(MSG_NOT_ENOUGH), "[attribute_name]", ability),
                               message_text(MSG_NOT_ENOUGH_2));
            return 0;
        }
        reduce_ability(p.cost_attribute, p.cost, 0);
    }
    // The cost is paid also when the cooldown then refuses the power.
    const int16_t counter = hero().cooldown[id];
    if (p.cooldown > 0 && counter > 0) {
        play_sound(sound_name::failure);
        show_power_message(id, replace_all(message_text(MSG_COOLING_DOWN), "[cooldown]", int_to_text(counter)));
        return 0;
    }
    run_power_effect(id);
    return p.end_turn ? 1 : 0;
}

int16_t power_strength(int power) {
    check_power_id("power_strength", power);
    const Power& p = g_db.powers[power];
    int16_t s = p.effect_strength;
    if (bonus_ability(p.strength_bonus_attribute))
        s = wrap16(s + scaled_value(p.strength_bonus_attribute, p.strength_multiplier, p.strength_divisor));
    return s;
}

int16_t power_strength_random_part(int power) {
    check_power_id("power_strength_random_part", power);
    const Power& p = g_db.powers[power];
    if (!p.strength_randomized) return 0;
    int16_t r = p.randomized_strength_bonus;
    if (bonus_ability(p.randomized_strength_bonus_attribute))
        r = wrap16(r + scaled_value(p.randomized_strength_bonus_attribute, p.randomized_strength_multiplier,
                                    p.randomized_strength_divisor));
    return r;
}

int16_t rolled_power_strength(int power) {
    const int16_t s = power_strength(power);
    const int16_t random_part = power_strength_random_part(power);
    return random_part > 0 ? wrap16(s + Random(random_part)) : s;
}

int16_t power_success_chance(int power) {
    check_power_id("power_success_chance", power);
    const Power& p = g_db.powers[power];
    if (!bonus_ability(p.success_attribute)) return 100;
    int16_t chance = current(p.success_attribute);
    if (p.success_attribute_multiplier > 1) chance = wrap16(static_cast<long long>(chance) * p.success_attribute_multiplier);
    if (p.success_attribute_divisor > 1) chance = wrap16(chance / p.success_attribute_divisor);
    return wrap16(chance + p.success_bonus);
}

void start_cooldown(int power) {
    const Power& p = power_of(power);
    if (p.cooldown > 0 && power >= 1 && power < kCooldownCount) hero().cooldown[power] = p.cooldown;
}

int show_success_message(int power) {
    const std::string& text = power_of(power).success_message;
    if (text.empty()) return 0;
    return show_if_set(power, replace_all_nocase(text, "[power_strength]", int_to_text(power_strength(power))));
}
int show_failure_message(int power) { return show_if_set(power, power_of(power).failure_message); }
int show_wrong_use_message(int power) { return show_if_set(power, power_of(power).wrong_use_message); }
int show_already_used_message(int power) { return show_if_set(power, power_of(power).already_used_message); }
int play_power_sound(int power) { return play_if_set(power_of(power).sound); }
int play_failure_sound(int power) { return play_if_set(power_of(power).failure_sound); }
int play_wrong_use_sound(int power) { return play_if_set(power_of(power).wrong_use_sound); }

void choose_target(TargetCursor& cursor, int range) {
    cursor.column = VIEW_CENTRE;
    cursor.row = VIEW_CENTRE;
    cursor.cancel = 0;
    // Range 1 reaches the character's cell and the eight around it; above 1 the whole view.
    const int reach = range > 1 ? VIEW_CENTRE : (range == 1 ? 1 : 0);
    bool key_lock = false;  // one move per key press
    for (;;) {
        keyboard_poll();
        if (take_window_event() == WindowEvent::close_request) {
            cursor.cancel = 1;
            g_common.close_requested = 1;
            return;
        }
        if (key_released(key::ret)) return;
        if (key_released(key::escape)) {
            cursor.cancel = 1;
            return;
        }
        if (!key_lock && move_with_arrows(cursor.column, cursor.row, VIEW_CENTRE - reach, VIEW_CENTRE + reach))
            key_lock = true;
        if (key_released(key::any)) key_lock = false;
        draw_game_picture(g_map.map, 0, 0, 0, 0);
        draw_blinking_cursor(cursor.column * CELL, cursor.row * CELL);
        draw_key_hint(message_text(msg::hint_target));
        flip();
    }
}

int target_field_x(const TargetCursor& cursor) { return hero().x + cursor.column - VIEW_CENTRE; }
int target_field_y(const TargetCursor& cursor) { return hero().y + cursor.row - VIEW_CENTRE; }
