#include "powers/use_power.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/raise_error.h"
#include "common/questions.h"
#include "common/view_cells.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/power_effects.h"

namespace {

constexpr int MESSAGE_MS = 2000;

// Messages of the refusals.
constexpr int MSG_NOT_ENOUGH = 46, MSG_NOT_ENOUGH_2 = 47, MSG_COOLING_DOWN = 48;

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

std::vector<int> usable_powers(size_t max_count) {
    constexpr int LAST_OFFERED_POWER = 253;  // the power screen looks at ids 1..253
    std::vector<int> ids;
    for (int id = 1; id <= LAST_OFFERED_POWER && ids.size() < max_count; ++id)
        if (power_available(id, 0, 0)) ids.push_back(id);
    return ids;
}

namespace {

// The power ids the character record keeps for the grid, in their order (each once).
std::vector<int> kept_power_grid() {
    std::vector<int> order;
    std::istringstream words(hero().power_grid);
    std::string word;
    while (words >> word) {
        const long long id = text_to_int(word);
        if (id >= 1 && id <= kMaxPowerId && std::find(order.begin(), order.end(), id) == order.end())
            order.push_back(static_cast<int>(id));
    }
    return order;
}

// The grid's order as kept in the character record, then every usable power
// not in it yet, in id order.
std::vector<int> power_grid_order() {
    std::vector<int> order = kept_power_grid();
    for (int id : usable_powers(kPowerTableSize))
        if (std::find(order.begin(), order.end(), id) == order.end()) order.push_back(id);
    return order;
}

}  // namespace

std::vector<int> power_grid_cells(size_t max_count) {
    std::vector<int> cells;
    for (int id : power_grid_order()) {
        if (cells.size() >= max_count) break;
        cells.push_back(power_available(id, 0, 0) ? id : 0);  // a power out of reach keeps its cell empty
    }
    return cells;
}

std::vector<int> arrange_power_grid() {
    const std::vector<int> kept = kept_power_grid();
    std::vector<int> placed;
    std::string grid;
    for (int id : power_grid_order()) {
        if (!grid.empty()) grid += " ";
        grid += int_to_text(id);
        if (std::find(kept.begin(), kept.end(), id) == kept.end()) placed.push_back(id);
    }
    hero().power_grid = grid;
    return placed;
}

bool power_effect_known(const std::string& name) { return find_power_effect(name) != nullptr; }

int use_chosen_power(int id) {
    if (id == 0) return 0;
    const Power& p = g_db.powers[id];

    if (p.cost > 0 && current(p.cost_attribute) < p.cost) {
        play_sound(sound_name::failure);
        const std::string& ability = g_db.abilities[p.cost_attribute].display_name;
        show_power_message(id, replace_all(message_text(MSG_NOT_ENOUGH), "[attribute_name]", ability),
                           message_text(MSG_NOT_ENOUGH_2));
        return 0;
    }
    // A power still cooling down is refused before it costs anything: nothing was used.
    const int16_t counter = hero().cooldown[id];
    if (p.cooldown > 0 && counter > 0) {
        play_sound(sound_name::failure);
        show_power_message(id, replace_all(message_text(MSG_COOLING_DOWN), "[cooldown]", int_to_text(counter)));
        return 0;
    }
    // The cost is paid as the power goes off; a target choice left with Escape
    // gives it back and takes no turn, as Escape on the power screen.
    std::vector<AbilityState> abilities_before(std::begin(hero().abilities), std::end(hero().abilities));
    if (p.cost > 0) reduce_ability(p.cost_attribute, p.cost, 0);
    const unsigned cancelled_before = cancelled_targets();
    run_power_effect(id);
    if (cancelled_targets() != cancelled_before) {
        std::copy(abilities_before.begin(), abilities_before.end(), std::begin(hero().abilities));
        recalculate_adjustments();
        return 0;
    }
    return p.end_turn ? 1 : 0;
}

void transform_field_by_power(GameMap& map, int x, int y, int tile_type) {
    // A message that shows the field as it was (its picture is the old tile)
    // spoke of what the power has just changed ("The door is locked."): it goes.
    const int before = read_map_tile_type(map, x, y);
    set_map_tile_type(map, x, y, tile_type);
    if (before != tile_type && read_map_message_tile(map, x, y) == before)
        set_map_message(map, x, y, "", "", 0);
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

int target_field_x(const TargetCursor& cursor) { return hero().x + cursor.column - VIEW_CENTRE; }
int target_field_y(const TargetCursor& cursor) { return hero().y + cursor.row - VIEW_CENTRE; }
