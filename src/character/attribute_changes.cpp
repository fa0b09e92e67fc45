#include "character/attribute_changes.h"

#include <algorithm>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "platform/strings.h"
#include "common/raise_error.h"
#include "common/database.h"

namespace {

AbilityRecord& record_of(int id) { return g_db.abilities[id]; }
AbilityState& state_of(int id) { return g_character_model.character.abilities[id]; }

std::string quoted_id(int16_t id) { return "\"" + int_to_text(id) + "\""; }

}  // namespace

int16_t modify_attribute(int16_t attribute_id, int16_t amount) {
    if (!valid_ability_id(attribute_id))
        raise_error("modify_attribute(): wrong attribute_id " + quoted_id(attribute_id));
    int16_t result = amount;
    if (amount > 0) {
        result = increase_attribute(attribute_id, amount);
    } else {
        reduce_ability(attribute_id, -static_cast<int>(amount), 0);
    }
    recalculate_adjustments();
    return result;
}

int16_t increase_attribute(int16_t id, int16_t amount) {
    if (!valid_ability_id(id)) raise_error("increase_attribute(): wrong id " + quoted_id(id));
    AbilityState& state = state_of(id);
    int inc = amount;
    // A pool stops at its stored maximum, without any bonus.
    if (record_of(id).depletable)
        inc = std::min(static_cast<int>(state.attribute_max_value) - state.attribute_current_value, inc);
    state.attribute_current_value = wrap16(state.attribute_current_value + inc);
    recalculate_adjustments();
    return wrap16(inc);
}

int16_t reduce_ability(int16_t id, int amount, int allow_negative) {
    if (!valid_ability_id(id)) raise_error("reduce_ability(): wrong id " + quoted_id(id));
    AbilityState& state = state_of(id);
    const AbilityRecord& record = record_of(id);
    // Formed wide and limited before it is stored, so a large reduction cannot wrap around.
    int current = state.attribute_current_value - amount;
    if (record.minimum != -1) current = std::max(current, static_cast<int>(record.minimum));
    if (allow_negative == 0) current = std::max(current, 0);
    state.attribute_current_value = wrap16(current);
    recalculate_adjustments();
    return 0;
}

bool restore_ability(int16_t id) {
    if (!valid_ability_id(id)) raise_error("restore_ability(): wrong id " + quoted_id(id));
    int16_t cur = attribute_current_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
    int16_t max = attribute_max_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
    bool restored = false;
    if (cur < max) {
        // The stored value becomes the effective maximum, bonuses included: they
        // then count once more in the effective current value.
        state_of(id).attribute_current_value = max;
        restored = true;
    }
    recalculate_adjustments();
    return restored;
}

int16_t damage_character(int16_t damage, const std::string& cause) {
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        int8_t factor = record_of(id).modify_per_point_of_damage;
        if (factor != 0) modify_attribute(static_cast<int16_t>(id), wrap16(static_cast<int>(damage) * factor));
    }
    if (!cause.empty() && check_game_end()) g_character_model.character.death_text = cause;
    recalculate_adjustments();
    return 0;
}

void recalculate_adjustments() {
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        state_of(id).adjustment_other = 0;
        state_of(id).adjustment_percentage = 100;
    }
    for (int source = 1; source <= kMaxAbilityId; ++source) {
        // Includes what lower ids have contributed to this source in this pass.
        int16_t v = attribute_current_val(static_cast<int16_t>(source), Cap::apply, PowerAdjustment::add, ItemBonus::add);
        if (v <= 0) continue;
        for (const AbilityAdjustment& adjustment : record_of(source).adjustment) {
            // Targets outside the table are never written.
            if (!valid_ability_id(adjustment.attribute)) continue;
            AbilityState& target = state_of(adjustment.attribute);
            if (adjustment.value != 0) target.adjustment_other = wrap16(target.adjustment_other + adjustment.value);
            if (adjustment.percentage != 100)
                target.adjustment_percentage = wrap16(truncate_float(
                    static_cast<double>(target.adjustment_percentage) * adjustment.percentage / 100.0));
            int8_t m = adjustment.percentage_attribute_multiplier;
            if (m > 0) {
                int factor = static_cast<int>(m) * v + adjustment.percentage_bonus;
                target.adjustment_percentage =
                    wrap16(truncate_float(static_cast<double>(target.adjustment_percentage) * factor / 100.0));
            }
        }
    }
}
