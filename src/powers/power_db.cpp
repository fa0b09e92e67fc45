#include "powers/power_db.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <variant>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "common/database.h"
#include "common/raise_error.h"
#include "common/common_state.h"

namespace {

const char* const kPowerFile = "data\\powers.xml";

std::string in_file() { return " xml file " + quoted(kPowerFile); }

// Every attribute of the power element and the field it sets.
using PowerMember = std::variant<std::string Power::*, int16_t Power::*, int8_t Power::*, bool Power::*>;
struct PowerAttribute {
    const char* name;
    PowerMember member;
};

const PowerAttribute kPowerAttributes[] = {
    {"name", &Power::name},
    {"description", &Power::description},
    {"tile", &Power::tile},
    {"effect", &Power::effect},
    {"effect_name", &Power::effect_name},
    {"effect_strength", &Power::effect_strength},
    {"strength_bonus_attribute", &Power::strength_bonus_attribute},
    {"strength_bonus_attribute_name", &Power::strength_bonus_attribute_name},
    {"strength_multiplier", &Power::strength_multiplier},
    {"strength_divisor", &Power::strength_divisor},
    {"strength_randomized", &Power::strength_randomized},
    {"randomized_strength_bonus", &Power::randomized_strength_bonus},
    {"randomized_strength_bonus_attribute", &Power::randomized_strength_bonus_attribute},
    {"randomized_strength_bonus_attribute_name", &Power::randomized_strength_bonus_attribute_name},
    {"randomized_strength_multiplier", &Power::randomized_strength_multiplier},
    {"randomized_strength_divisor", &Power::randomized_strength_divisor},
    {"animation", &Power::animation},
    {"end_turn", &Power::end_turn},
    {"sound", &Power::sound},
    {"failure_sound", &Power::failure_sound},
    {"wrong_use_sound", &Power::wrong_use_sound},
    {"success_attribute", &Power::success_attribute},
    {"success_attribute_name", &Power::success_attribute_name},
    {"success_bonus", &Power::success_bonus},
    {"success_attribute_multiplier", &Power::success_attribute_multiplier},
    {"success_attribute_divisor", &Power::success_attribute_divisor},
    {"success_message", &Power::success_message},
    {"failure_message", &Power::failure_message},
    {"wrong_use_message", &Power::wrong_use_message},
    {"already_used_message", &Power::already_used_message},
    {"cost", &Power::cost},
    {"cost_attribute", &Power::cost_attribute},
    {"cost_attribute_name", &Power::cost_attribute_name},
    {"class", &Power::cls},
    {"range", &Power::range},
    {"modify_attribute", &Power::modify_attribute},
    {"modify_attribute_name", &Power::modify_attribute_name},
    {"adjust_attribute", &Power::adjust_attribute},
    {"adjust_attribute_name", &Power::adjust_attribute_name},
    {"duration", &Power::duration},
    {"duration_bonus_attribute", &Power::duration_bonus_attribute},
    {"duration_bonus_attribute_name", &Power::duration_bonus_attribute_name},
    {"duration_multiplier", &Power::duration_multiplier},
    {"duration_divisor", &Power::duration_divisor},
    {"activates_ability_id", &Power::activates_ability_id},
    {"activates_ability_name", &Power::activates_ability_name},
    {"deplete_attribute_id", &Power::deplete_attribute_id},
    {"deplete_attribute_name", &Power::deplete_attribute_name},
    {"cooldown", &Power::cooldown},
    {"monster_effect", &Power::monster_effect},
    {"affects_only_monster_class", &Power::affects_only_monster_class},
    {"field_effect", &Power::field_effect},
};

// Sets the field named by attribute; false when there is no such attribute.
bool set_power_attribute(Power& power, const std::string& attribute, const std::string& value) {
    for (const PowerAttribute& entry : kPowerAttributes) {
        if (attribute != entry.name) continue;
        std::visit(
            [&](auto member) {
                using Field = std::remove_reference_t<decltype(power.*member)>;
                if constexpr (std::is_same_v<Field, std::string>) power.*member = value;
                else if constexpr (std::is_same_v<Field, bool>) power.*member = value == "yes";
                else if constexpr (std::is_same_v<Field, int16_t>) power.*member = wrap16(text_to_int(value));
                else power.*member = wrap8(text_to_int(value));
            },
            entry.member);
        return true;
    }
    return false;
}

// The element's text replaces target when its "language" is the preferences
// language; any other attribute is fatal.
void read_localized(const XmlElement& element, const std::string& tag, std::string& target) {
    bool matches = false;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute != "language")
            raise_error("load_power_db(): unknown attribute " + quoted(attribute) + " in " + tag + " tag in power" +
                        in_file());
        matches = value == g_common.preferences.language;
    }
    if (matches) target = element.text;
}

void read_message(Power& power, const XmlElement& element) {
    const std::string* language = nullptr;
    const std::string* type = nullptr;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "language") language = &value;
        else if (attribute == "type") type = &value;
        else
            raise_error("load_power_db(): unknown attribute " + quoted(attribute) + " in message tag in power" +
                        in_file());
    }
    if (!language || *language != g_common.preferences.language) return;
    const std::string kind = type ? *type : std::string();
    if (kind == "success") power.success_message = element.text;
    else if (kind == "failure") power.failure_message = element.text;
    else if (kind == "wrong use") power.wrong_use_message = element.text;
    else if (kind == "already used") power.already_used_message = element.text;
    else raise_error("load_power_db(): unknown message type " + quoted(kind) + " in powers" + in_file());
}

void read_requirement(Power& power, int& stored, const XmlElement& element) {
    if (stored >= kPowerRequirementSlots)
        raise_error("load_power_db(): too much requirements for one power in powers" + in_file());
    PowerRequirement requirement;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "attribute") requirement.attribute = wrap16(text_to_int(value));
        else if (attribute == "attribute_name") requirement.attribute_name = value;
        else if (attribute == "value") requirement.value = wrap16(text_to_int(value));
        else
            raise_error("load_power_db(): wrong attribute " + quoted(attribute) + " in requirement tag in powers" +
                        in_file());
    }
    if (requirement.attribute > 0 || !requirement.attribute_name.empty()) power.requirement[stored++] = requirement;
}

void read_power(const XmlElement& element) {
    Power power;  // every power starts from the defaults
    int id = 0;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "id") {
            long long number = text_to_int(value);
            if (number < 1 || number > kMaxPowerId)
                raise_error("load_power_db(): wrong ID attribute " + quoted(value) + " in powers" + in_file());
            id = static_cast<int>(number);
        } else if (!set_power_attribute(power, attribute, value)) {
            raise_error("load_power_db(): unknown attribute " + quoted(attribute) + " in power tag in power" +
                        in_file());
        }
    }
    if (id == 0) return;

    // A later power with the same id overwrites the earlier one's fields and
    // fills the requirement slots from slot 0 again; the slots it does not fill
    // keep the earlier power's entries.
    Power& record = g_db.powers[id];
    Power earlier = record;
    record = power;
    std::copy(std::begin(earlier.requirement), std::end(earlier.requirement), std::begin(record.requirement));
    int requirements = 0;
    for (const auto& child : element.children) {
        if (child->name == "requirement") read_requirement(record, requirements, *child);
        else if (child->name == "name") read_localized(*child, "name", record.name);
        else if (child->name == "description") read_localized(*child, "description", record.description);
        else if (child->name == "message") read_message(record, *child);
        else raise_error("load_power_db(): unknown tag " + quoted(child->name) + " in powers" + in_file());
    }
}

// Sets id from name when id is 0 and a name is given; the last ability with
// that internal name wins.
void resolve_ability_name(int16_t& id, const std::string& name) {
    if (name.empty() || id != 0) return;
    for (int ability = 0; ability <= kMaxAbilityId; ++ability)
        if (g_db.abilities[ability].name == name) id = static_cast<int16_t>(ability);
    if (id == 0) raise_error("powers_db_resolve_names(): cannot find ability " + quoted(name));
}

}  // namespace

void load_power_db() {
    std::unique_ptr<XmlDocument> document(new (std::nothrow) XmlDocument);
    if (!document) raise_error("load_power_db(): could not create xml structure in memory!");
    if (!document->load(kPowerFile)) raise_error("load_power_db(): could not open power xml file: " + quoted(kPowerFile));
    if (document->status() != 0)
        raise_error("load_power_db(): error in xml structure of powers file " + quoted(kPowerFile) + ": " +
                    document->error_text());

    for (int id = 0; id <= kMaxPowerId; ++id) g_db.powers[id] = Power{};
    if (const XmlElement* root = document->root()) {
        for (const auto& child : root->children) {
            if (child->name != "power")
                raise_error("load_power_db(): unknown tag " + quoted(child->name) + " in power" + in_file());
            read_power(*child);
        }
    }
    document.reset();
    powers_db_resolve_names();
}

void powers_db_resolve_names() {
    for (int id = 0; id <= kMaxPowerId; ++id) {
        Power& power = g_db.powers[id];
        resolve_ability_name(power.strength_bonus_attribute, power.strength_bonus_attribute_name);
        resolve_ability_name(power.success_attribute, power.success_attribute_name);
        resolve_ability_name(power.cost_attribute, power.cost_attribute_name);
        resolve_ability_name(power.modify_attribute, power.modify_attribute_name);
        resolve_ability_name(power.adjust_attribute, power.adjust_attribute_name);
        resolve_ability_name(power.duration_bonus_attribute, power.duration_bonus_attribute_name);
        resolve_ability_name(power.activates_ability_id, power.activates_ability_name);
        resolve_ability_name(power.deplete_attribute_id, power.deplete_attribute_name);
        for (PowerRequirement& requirement : power.requirement)
            resolve_ability_name(requirement.attribute, requirement.attribute_name);
        // Resolved as well, after the references the game always resolves, so
        // a file with several unknown names reports the same one first.
        resolve_ability_name(power.randomized_strength_bonus_attribute, power.randomized_strength_bonus_attribute_name);
    }
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
