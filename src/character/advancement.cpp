#include "character/advancement.h"

#include "character/ability_model.h"
#include "character/character_state.h"
#include "common/database.h"
#include "platform/strings.h"

std::string attribute_bonus_text(int16_t id) {
    std::string text;
    for (const AttributeBonus& bonus : g_db.abilities[id].attribute_bonus) {
        if (!valid_ability_id(bonus.attribute) || !bonus.displayed) continue;
        const AbilityRecord& target = g_db.abilities[bonus.attribute];
        if (!text.empty()) text += "; ";
        text += target.display_name + "+" + int_to_text(bonus.bonus) + (target.percentage ? "%" : "");
    }
    return text;
}

void apply_advancement_pick(int16_t id) {
    for (const AttributeBonus& bonus : g_db.abilities[id].attribute_bonus) {
        if (bonus.attribute <= 0) continue;
        if (!valid_ability_id(bonus.attribute)) continue;  // no ability can have such an id
        AbilityState& target = g_character_model.character.abilities[bonus.attribute];
        target.attribute_max_value = wrap16(target.attribute_max_value + bonus.bonus);
        target.attribute_current_value = wrap16(target.attribute_current_value + bonus.bonus);
        target.ability_value = wrap16(target.ability_value + 1);
    }
}
