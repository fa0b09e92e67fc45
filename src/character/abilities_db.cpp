#include "character/abilities_db.h"

#include <string>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"
#include "common/database.h"

namespace {

const std::string kFile = "data\\abilities.xml";
const std::string kQuotedFile = "\"" + kFile + "\"";
constexpr const char* kPrefix = "load_abilities_db(): ";


[[noreturn]] void fail(const std::string& text) { raise_error(kPrefix + text); }

bool yes(const std::string& value) { return value == "yes"; }
int16_t number16(const std::string& value) { return wrap16(text_to_int(value)); }
int8_t number8(const std::string& value) { return wrap8(text_to_int(value)); }

// A numeric reference to another ability, kept in 16 bits like every id: 0 is
// none; a number that is no ability id would index outside the tables, so the
// data is rejected.
int16_t reference(const std::string& value, const std::string& where) {
    int16_t id = number16(value);
    if (id != 0 && !valid_ability_id(id))
        fail("wrong ability ID " + quoted(value) + " in " + where + " in file " + kQuotedFile);
    return id;
}

bool language_matches(const XmlElement& element) {
    const std::string* language = element.attribute("language");
    return language && *language == g_common.preferences.language;
}

// One attribute of an ability element; false when the name is unknown.
bool read_ability_attribute(AbilityRecord& r, int16_t& id, const std::string& name, const std::string& value) {
    const std::string where = name + " attribute of ability tag";
    if (name == "id") id = number16(value);
    else if (name == "name") r.name = value;
    else if (name == "description") r.description = value;
    else if (name == "tile") r.tile = number16(value);
    else if (name == "attribute_start_value") r.attribute_start_value = number16(value);
    else if (name == "color") r.color = static_cast<int32_t>(text_to_int(value));
    else if (name == "depletable") r.depletable = yes(value);
    else if (name == "percentage") r.percentage = yes(value);
    else if (name == "main_screen") r.main_screen = yes(value);
    else if (name == "displayed_as_bonus") r.displayed_as_bonus = yes(value);
    else if (name == "randomizer_ability") r.randomizer_ability = reference(value, where);
    else if (name == "attribute") r.attribute = yes(value);
    else if (name == "xp") r.xp = yes(value);
    else if (name == "not_shown_if_zero") r.not_shown_if_zero = yes(value);
    else if (name == "minimum") r.minimum = number16(value);
    else if (name == "change_per_turn_chance") r.change_per_turn_chance = number8(value);
    else if (name == "change_per_turn") r.change_per_turn = number16(value);
    else if (name == "change_per_move") r.change_per_move = number16(value);
    else if (name == "turn_ends_if_lower") r.turn_ends_if_lower = number16(value);
    else if (name == "restore_at_end_of_turn") r.restore_at_end_of_turn = yes(value);
    else if (name == "game_ends") r.game_ends = value == "lower" ? 1 : value == "higher" ? 2 : 0;
    else if (name == "game_ends_val") r.game_ends_val = number16(value);
    else if (name == "game_ends_message") r.game_ends_message = value;
    else if (name == "critical_hit_melee") r.critical_hit_melee = yes(value);
    else if (name == "attack_melee") r.attack_melee = yes(value);
    else if (name == "defense_melee") r.defense_melee = yes(value);
    else if (name == "modify_with_each_kill") r.modify_with_each_kill = number16(value);
    else if (name == "damage_in_melee") r.damage_in_melee = yes(value);
    else if (name == "randomizer_ability_name") r.randomizer_ability_name = value;
    else if (name == "lightradius") r.lightradius = yes(value);
    else if (name == "modify_per_point_of_damage") r.modify_per_point_of_damage = number8(value);
    else if (name == "sneaking") r.sneaking = yes(value);
    else if (name == "backstab") r.backstab = yes(value);
    else if (name == "perception_tile_class") r.perception_tile_class = value;
    else if (name == "modify_atribute") r.modify_atribute = reference(value, where);
    else if (name == "modify_attribute_name") r.modify_attribute_name = value;
    else if (name == "modify_multiplier") r.modify_multiplier = number16(value);
    else if (name == "modify_divisor") r.modify_divisor = number16(value);
    else if (name == "modify_animation") r.modify_animation = value;
    else if (name == "modify_sound") r.modify_sound = value;
    else if (name == "armor") r.armor = yes(value);
    else if (name == "movement") r.movement = yes(value);
    else if (name == "buffer_for_attribute") r.buffer_for_attribute = reference(value, where);
    else if (name == "buffer_for_attribute_name") r.buffer_for_attribute_name = value;
    else if (name == "buffer_animation") r.buffer_animation = value;
    else if (name == "hit_multiplier") r.hit_multiplier = number16(value);
    else if (name == "hit_attribute") r.hit_attribute = reference(value, where);
    else if (name == "hit_attribute_name") r.hit_attribute_name = value;
    else return false;
    return true;
}

// The id attribute of a bonus, cap or requirement (16 bits): must be an ability id.
int16_t slot_id(const std::string& value, const std::string& message) {
    int16_t id = number16(value);
    if (!valid_ability_id(id)) fail(message);
    return id;
}

void read_attribute_bonus(AbilityRecord& r, const XmlElement& element, int& count) {
    if (count >= kAttributeBonusSlots) fail("too many attribute boni in attribute db file " + kQuotedFile);
    AttributeBonus slot;
    for (const auto& [name, value] : element.attributes) {
        if (name == "attribute")
            slot.attribute = slot_id(value, "wrong attribute ID in attribute_bonus tag in file " + kQuotedFile);
        else if (name == "bonus") slot.bonus = number16(value);
        else if (name == "displayed") slot.displayed = yes(value);
        else if (name == "name") slot.name = value;
        else fail("wrong attribute " + quoted(name) + " in attribute_bonus tag in file " + kQuotedFile);
    }
    if (slot.attribute > 0 || !slot.name.empty()) r.attribute_bonus[count++] = slot;
}

void read_cap(AbilityRecord& r, const XmlElement& element, int& count) {
    if (count >= kCapSlots)
        fail("too many ability caps (>" + int_to_text(kCapSlots) + ") for a single ability in file " + kQuotedFile);
    AbilityCap slot;
    for (const auto& [name, value] : element.attributes) {
        if (name == "ability")
            slot.ability = slot_id(value, "wrong ability ID " + quoted(value) + " in cap tag in file " + kQuotedFile);
        else if (name == "name") slot.name = value;
        else if (name == "bonus") slot.bonus = number16(value);
        else if (name == "divisor") slot.divisor = number8(value);
        else if (name == "multiplier") slot.multiplier = number16(value);
        else fail("wrong attribute " + quoted(name) + " in cap tag in file " + kQuotedFile);
    }
    if (slot.ability > 0 || !slot.name.empty()) r.cap[count++] = slot;
}

void read_requirement(AbilityRecord& r, const XmlElement& element, int& count) {
    if (count >= kRequirementSlots)
        fail("too many ability caps (>" + int_to_text(kRequirementSlots) + ") for a single ability in ability file " +
             kQuotedFile);
    AbilityRequirement slot;
    for (const auto& [name, value] : element.attributes) {
        if (name == "attribute")
            slot.attribute =
                slot_id(value, "wrong ability ID " + quoted(value) + " in requirement tag in file " + kQuotedFile);
        else if (name == "name") slot.name = value;
        else if (name == "value") slot.value = number16(value);
        else fail("wrong attribute " + quoted(name) + " in requirement tag in file " + kQuotedFile);
    }
    if (slot.attribute > 0 || !slot.name.empty()) r.requirement[count++] = slot;
}

void read_display(AbilityRecord& r, const XmlElement& element, int& count) {
    DisplayEntry slot;
    bool has_language = false;
    for (const auto& [name, value] : element.attributes) {
        if (name == "type") {
            if (value == "main screen status panel") slot.type = kDisplayStatusPanel;
            else if (value == "character info") slot.type = kDisplayCharacterInfo;
            else
                fail("unknown display type " + quoted(value) + " in ability display tag in ability xml file " +
                     kQuotedFile);
        } else if (name == "start_value") slot.start_value = number16(value);
        else if (name == "end_value") slot.end_value = number16(value);
        else if (name == "message") slot.message = value;
        else if (name == "message2") slot.message2 = value;
        else if (name == "color") slot.color = static_cast<int32_t>(text_to_int(value));
        else if (name == "language") {
            slot.language = value;
            has_language = true;
        } else if (name == "expanded_value_display") slot.expanded_value_display = yes(value);
        else
            fail("unknown attribute " + quoted(name) + " in ability display tag in abilities xml file " + kQuotedFile);
    }
    // Only entries in the player's language are kept, and only those count.
    if (slot.message.empty() || !has_language || slot.language != g_common.preferences.language) return;
    if (count >= kDisplaySlots)
        fail("too many display entries (>" + int_to_text(kDisplaySlots) + ") for a single ability in ability file " +
             kQuotedFile);
    r.display[count++] = slot;
}

void read_adjustment(AbilityRecord& r, const XmlElement& element, int& count) {
    AbilityAdjustment slot;
    for (const auto& [name, value] : element.attributes) {
        if (name == "attribute") slot.attribute = reference(value, "adjustment tag");
        else if (name == "attribute_name") slot.attribute_name = value;
        else if (name == "value") slot.value = number16(value);
        else if (name == "percentage") slot.percentage = number16(value);
        else if (name == "percentage_attribute_multiplier") slot.percentage_attribute_multiplier = number8(value);
        else if (name == "percentage_bonus") slot.percentage_bonus = number16(value);
        else fail("unknown attribute " + quoted(name) + " in adjustment tag in ability xml file " + kQuotedFile);
    }
    if (count >= kAdjustmentSlots) fail("too many adjustments for one ability in ability xml file " + kQuotedFile);
    r.adjustment[count++] = slot;
}

// name, description, game_ends_message: the text in the player's language replaces the field.
void read_language_text(std::string& field, const XmlElement& element) {
    for (const auto& attribute : element.attributes)
        if (attribute.first != "language")
            fail("unknown attribute " + quoted(attribute.first) + " in " + element.name + " tag in ability xml file " +
                 kQuotedFile);
    if (language_matches(element)) field = element.text;
}

void read_ability(const XmlElement& element) {
    AbilityRecord working;
    int16_t id = -1;
    for (const auto& [name, value] : element.attributes)
        if (!read_ability_attribute(working, id, name, value))
            fail("wrong attribute " + quoted(name) + " in ability tag in file " + kQuotedFile);
    if (id < 1) fail("error in abilities file " + kQuotedFile + ": unique ability id < 1");
    if (id > kMaxAbilityId) fail("error in abilities file " + kQuotedFile + ": ability id > " + int_to_text(kMaxAbilityId));
    AbilityRecord& record = g_db.abilities[id];
    // An ability without a name does not occupy its id.
    if (!record.name.empty())
        fail("ability id " + int_to_text(id) + " not unique in abilities file " + kQuotedFile);
    record = working;
    record.display_name = working.name;

    int bonuses = 0, caps = 0, requirements = 0, displays = 0, adjustments = 0;
    for (const auto& child : element.children) {
        const std::string& tag = child->name;
        if (tag == "attribute_bonus") read_attribute_bonus(record, *child, bonuses);
        else if (tag == "cap") read_cap(record, *child, caps);
        else if (tag == "requirement") read_requirement(record, *child, requirements);
        else if (tag == "display") read_display(record, *child, displays);
        else if (tag == "name") read_language_text(record.display_name, *child);
        else if (tag == "description") read_language_text(record.description, *child);
        else if (tag == "game_ends_message") read_language_text(record.game_ends_message, *child);
        else if (tag == "adjustment") read_adjustment(record, *child, adjustments);
        else fail("wrong tag " + quoted(tag) + " in file " + kQuotedFile);
    }
}

void resolve_single(int16_t& id, const std::string& name) {
    if (!resolve_ability_name(id, name)) raise_error("ability_db_resolve_names(): cannot find ability " + quoted(name));
}

void resolve_in_list(int16_t& id, const std::string& name) {
    if (!resolve_ability_name(id, name)) raise_error("ability_resolve_names(): could not find ability " + quoted(name));
}

}  // namespace

int16_t find_ability(const std::string& name) {
    if (name.empty()) return 0;
    int16_t found = 0;
    for (int i = 0; i <= kMaxAbilityId; ++i)
        if (g_db.abilities[i].name == name) found = static_cast<int16_t>(i);
    return found;
}

bool resolve_ability_name(int16_t& id, const std::string& name) {
    if (id != 0 || name.empty()) return true;
    id = find_ability(name);
    return id != 0;
}

void load_abilities_db() {
    XmlDocument document;
    if (!document.load(kFile)) fail("could not open abilites xml file: " + kQuotedFile);
    if (document.status() != 0)
        fail("error in xml structure of abilities file " + kQuotedFile + ": " + document.error_text());
    for (int i = 0; i < kAbilityStateCount; ++i) g_db.abilities[i] = AbilityRecord{};
    if (XmlElement* root = document.root()) {
        for (const auto& child : root->children) {
            if (child->name != "ability") fail("wrong tag " + quoted(child->name) + " in file " + kQuotedFile);
            read_ability(*child);
        }
    }
    ability_db_resolve_names();
}

void ability_db_resolve_names() {
    for (int i = 0; i <= kMaxAbilityId; ++i) {
        AbilityRecord& r = g_db.abilities[i];
        resolve_single(r.randomizer_ability, r.randomizer_ability_name);
        resolve_single(r.modify_atribute, r.modify_attribute_name);
        resolve_single(r.buffer_for_attribute, r.buffer_for_attribute_name);
        resolve_single(r.hit_attribute, r.hit_attribute_name);
        for (AttributeBonus& slot : r.attribute_bonus) resolve_in_list(slot.attribute, slot.name);
        for (AbilityCap& slot : r.cap) resolve_in_list(slot.ability, slot.name);
        for (AbilityRequirement& slot : r.requirement) resolve_in_list(slot.attribute, slot.name);
        for (AbilityAdjustment& slot : r.adjustment) resolve_in_list(slot.attribute, slot.attribute_name);
    }
}
