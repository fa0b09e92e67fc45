#include "character/ability_model.h"

#include "character/character_state.h"
#include "common/database.h"
#include "platform/strings.h"
#include "common/raise_error.h"

namespace {

AbilityRecord& record_of(int id) { return g_db.abilities[id]; }
AbilityState& state_of(int id) { return g_character_model.character.abilities[id]; }

void check_id(const char* procedure, int16_t id) {
    if (!valid_ability_id(id)) raise_error(std::string(procedure) + "(): wrong id: " + int_to_text(id));
}

// v * percentage / 100 in double precision (product first), truncated and kept in 16 bits.
int16_t apply_percentage(int16_t v, int16_t percentage) {
    if (percentage == 100) return v;
    return wrap16(truncate_float(static_cast<double>(v) * static_cast<double>(percentage) / 100.0));
}

}  // namespace

bool valid_ability_id(long long id) { return id >= 1 && id <= kMaxAbilityId; }

int16_t attribute_current_val(int16_t id, Cap cap, PowerAdjustment power_adjustment, ItemBonus item_bonus) {
    check_id("attribute_current_val", id);
    const AbilityRecord& record = record_of(id);
    const AbilityState& state = state_of(id);
    int16_t v = state.attribute_current_value;
    // Abilities that change with every step are always read raw.
    if (record.change_per_move != 0) return v;
    if (cap == Cap::apply) {
        int16_t k = attribute_cap(id);
        if (k != -1 && k < v) v = k;
    }
    if (power_adjustment == PowerAdjustment::add) v = wrap16(v + state.power_adjustment);
    if (item_bonus == ItemBonus::add) v = wrap16(v + state.item_bonus);
    if (!record.depletable) {
        v = wrap16(v + state.adjustment_other);
        v = apply_percentage(v, state.adjustment_percentage);
    }
    return v;
}

int16_t attribute_max_val(int16_t id, Cap cap, PowerAdjustment power_adjustment, ItemBonus item_bonus) {
    check_id("attribute_max_val", id);
    const AbilityState& state = state_of(id);
    int16_t v = state.attribute_max_value;
    if (cap == Cap::apply) {
        int16_t k = attribute_cap(id);
        if (k != -1 && k < v) v = k;
    }
    if (power_adjustment == PowerAdjustment::add) v = wrap16(v + state.power_adjustment);
    if (item_bonus == ItemBonus::add) v = wrap16(v + state.item_bonus);
    // Adjustments of other abilities raise the maximum of every ability. Here the
    // factor is formed first (p / 100), then multiplied: 100 at 57% gives 56.
    v = wrap16(v + state.adjustment_other);
    if (state.adjustment_percentage == 100) return v;
    return wrap16(truncate_float(static_cast<double>(v) * (static_cast<double>(state.adjustment_percentage) / 100.0)));
}

int16_t attribute_cap(int16_t id) {
    check_id("attribute_cap", id);
    int16_t result = -1;
    for (const AbilityCap& cap : record_of(id).cap) {
        if (!valid_ability_id(cap.ability)) continue;
        int16_t base = state_of(cap.ability).attribute_max_value;
        int16_t k = base;
        if (cap.multiplier > 1) k = wrap16(static_cast<int>(base) * cap.multiplier);
        // A divisor works on the base again: it beats the multiplier.
        if (cap.divisor > 1) k = wrap16(base / cap.divisor);
        k = wrap16(k + cap.bonus);
        if (result == -1 || k < result) result = k;
    }
    return result;
}

bool ability_capped(int16_t id, int16_t amount) {
    check_id("ability_capped", id);
    int k = attribute_cap(id);
    return k >= 0 && state_of(id).attribute_max_value + amount >= k;
}

bool ability_available(int16_t id) {
    check_id("ability_available", id);
    for (const AbilityRequirement& requirement : record_of(id).requirement) {
        if (!valid_ability_id(requirement.attribute)) continue;
        if (state_of(requirement.attribute).attribute_max_value < requirement.value) return false;
    }
    return true;
}

bool power_available(int power_id, int raised_ability, int raise_amount) {
    if (power_id < 1 || power_id > kMaxPowerId) return false;
    const Power& power = g_db.powers[power_id];
    if (power.name.empty()) return false;
    for (const PowerRequirement& requirement : power.requirement) {
        const int ability = requirement.attribute;
        if (ability <= 0) continue;
        // No ability can have an id beyond the table: such a requirement is never met.
        if (ability > kMaxAbilityId) return false;
        int16_t value = attribute_current_val(ability, Cap::apply, PowerAdjustment::skip, ItemBonus::skip);
        if (ability == raised_ability) value = wrap16(value + raise_amount);
        if (value < requirement.value) return false;
    }
    return true;
}

std::string ability_value_display(int16_t id) {
    check_id("ability_value_display", id);
    const AbilityRecord& record = record_of(id);
    int16_t cur = attribute_current_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
    // The sign follows the stored value; bonuses on top may make it read "+-2".
    std::string prefix = record.displayed_as_bonus && state_of(id).attribute_current_value >= 0 ? "+" : "";
    std::string text;
    if (valid_ability_id(record.randomizer_ability)) {
        int16_t r = attribute_current_val(record.randomizer_ability, Cap::apply, PowerAdjustment::add, ItemBonus::add);
        text = prefix + int_to_text(cur) + " - " + int_to_text(wrap16(cur + r));
    } else {
        text = prefix + int_to_text(cur);
        if (record.depletable) text += " / " + int_to_text(attribute_max_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add));
    }
    if (record.percentage) text += "%";
    return text;
}

bool display_entry_applies(const DisplayEntry& entry, int v) {
    return (entry.start_value <= v && v <= entry.end_value) || (entry.start_value == 0 && entry.end_value == 0);
}

std::string display_entry_text(int16_t id, const DisplayEntry& entry, const std::string& text, int v) {
    const std::string value = entry.expanded_value_display ? ability_value_display(id) : int_to_text(v);
    return replace_all_nocase(text, "[value]", value);
}

bool check_game_end() {
    bool ended = false;
    std::string& death_text = g_character_model.character.death_text;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& record = record_of(id);
        if (record.game_ends == 0) continue;
        int16_t v = attribute_current_val(static_cast<int16_t>(id), Cap::apply, PowerAdjustment::add, ItemBonus::add);
        if (record.game_ends == 1 && v < record.game_ends_val) ended = true;
        if (record.game_ends == 2 && v > record.game_ends_val) ended = true;
        if (ended && !record.game_ends_message.empty() && death_text.empty()) death_text = record.game_ends_message;
    }
    return ended;
}

int16_t xp_ability_count() {
    int16_t count = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (!record_of(id).name.empty() && record_of(id).xp) ++count;
    return count;
}
