#include "powers/power_db.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

#include "character/abilities_db.h"
#include "common/database.h"
#include "common/names.h"
#include "common/player_language.h"
#include "common/raise_error.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

const std::string kPowerFile = "data\\powers.xml";

std::string in_file(const std::string& file) { return " xml file " + quoted(file); }

// A power element: the power and the id it is stored at (0 while the element gives none).
struct PowerElement : Power {
    int16_t id = 0;
};

using P = PowerElement;

// Every attribute of the power element sets the field of the same name.
const XmlField<PowerElement> kPowerFields[] = {
    // Tested at once, so a wrong id is reported before any later unknown attribute.
    {.name = "id",
     .member = &P::id,
     .read = [](P& power, const std::string& value, const std::string& file) {
         long long number = text_to_int(value);
         if (number < 1 || number > kMaxPowerId)
             raise_error("load_power_db(): wrong ID attribute " + quoted(value) + " in powers" + in_file(file));
         power.id = static_cast<int16_t>(number);
     }},
    {"name", &P::name, FieldKind::text},
    {"description", &P::description, FieldKind::text},
    {.name = "tile", .member = &P::tile, .names = names::power_icon},
    {"effect", &P::effect},
    {"effect_name", &P::effect_name, FieldKind::text},
    {"effect_strength", &P::effect_strength},
    {.name = "strength_bonus_attribute", .member = &P::strength_bonus_attribute, .names = names::ability},
    {.name = "strength_bonus_attribute_name", .member = &P::strength_bonus_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"strength_multiplier", &P::strength_multiplier},
    {"strength_divisor", &P::strength_divisor},
    {"strength_randomized", &P::strength_randomized, FieldKind::flag},
    {"randomized_strength_bonus", &P::randomized_strength_bonus},
    {.name = "randomized_strength_bonus_attribute", .member = &P::randomized_strength_bonus_attribute, .names = names::ability},
    {.name = "randomized_strength_bonus_attribute_name", .member = &P::randomized_strength_bonus_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"randomized_strength_multiplier", &P::randomized_strength_multiplier},
    {"randomized_strength_divisor", &P::randomized_strength_divisor},
    {.name = "animation", .member = &P::animation, .kind = FieldKind::text, .names = names::animation},
    {"end_turn", &P::end_turn, FieldKind::flag},
    {.name = "sound", .member = &P::sound, .kind = FieldKind::text, .names = names::sound},
    {.name = "failure_sound", .member = &P::failure_sound, .kind = FieldKind::text, .names = names::sound},
    {.name = "wrong_use_sound", .member = &P::wrong_use_sound, .kind = FieldKind::text, .names = names::sound},
    {.name = "success_attribute", .member = &P::success_attribute, .names = names::ability},
    {.name = "success_attribute_name", .member = &P::success_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"success_bonus", &P::success_bonus},
    {"success_attribute_multiplier", &P::success_attribute_multiplier},
    {"success_attribute_divisor", &P::success_attribute_divisor},
    {"success_message", &P::success_message, FieldKind::text},
    {"failure_message", &P::failure_message, FieldKind::text},
    {"wrong_use_message", &P::wrong_use_message, FieldKind::text},
    {"already_used_message", &P::already_used_message, FieldKind::text},
    {"cost", &P::cost},
    {.name = "cost_attribute", .member = &P::cost_attribute, .names = names::ability},
    {.name = "cost_attribute_name", .member = &P::cost_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"class", &P::cls, FieldKind::text},
    {"range", &P::range},
    {.name = "modify_attribute", .member = &P::modify_attribute, .names = names::ability},
    {.name = "modify_attribute_name", .member = &P::modify_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {.name = "adjust_attribute", .member = &P::adjust_attribute, .names = names::ability},
    {.name = "adjust_attribute_name", .member = &P::adjust_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"duration", &P::duration},
    {.name = "duration_bonus_attribute", .member = &P::duration_bonus_attribute, .names = names::ability},
    {.name = "duration_bonus_attribute_name", .member = &P::duration_bonus_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"duration_multiplier", &P::duration_multiplier},
    {"duration_divisor", &P::duration_divisor},
    {.name = "activates_ability_id", .member = &P::activates_ability_id, .names = names::ability},
    {.name = "activates_ability_name", .member = &P::activates_ability_name, .kind = FieldKind::text, .names = names::ability_name},
    {.name = "deplete_attribute_id", .member = &P::deplete_attribute_id, .names = names::ability},
    {.name = "deplete_attribute_name", .member = &P::deplete_attribute_name, .kind = FieldKind::text, .names = names::ability_name},
    {"cooldown", &P::cooldown},
    {"monster_effect", &P::monster_effect, FieldKind::text},
    {"affects_only_monster_class", &P::affects_only_monster_class, FieldKind::text},
    {"field_effect", &P::field_effect, FieldKind::text},
};

const XmlField<PowerRequirement> kRequirementFields[] = {
    {.name = "attribute", .member = &PowerRequirement::attribute, .names = names::ability},
    {.name = "attribute_name",
     .member = &PowerRequirement::attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"value", &PowerRequirement::value},
};

// A message element: whether it is in the player's language, and its type.
struct PowerMessage {
    bool in_player_language = false;  // a message without language is skipped
    std::string type;
};
const XmlField<PowerMessage> kMessageFields[] = {
    {.name = "language",
     .kind = FieldKind::text,
     .read = [](PowerMessage& message, const std::string& value,
                const std::string&) { message.in_player_language = is_player_language(value); }},
    {.name = "type", .member = &PowerMessage::type, .kind = FieldKind::text, .words = "success|failure|wrong use|already used"},
};

// The name, description and message children: an attribute they do not know is fatal.
auto unknown_attribute(const char* tag) {
    return [tag](const std::string& name) {
        raise_error("load_power_db(): unknown attribute " + quoted(name) + " in " + tag + " tag in power" +
                    in_file(kPowerFile));
    };
}

void read_message(Power& power, const XmlElement& element) {
    PowerMessage message;
    read_fields<PowerMessage>(kMessageFields, message, element, kPowerFile, unknown_attribute("message"));
    // Messages in other languages are skipped without looking at their type.
    if (!message.in_player_language) return;
    if (message.type == "success") power.success_message = element.text;
    else if (message.type == "failure") power.failure_message = element.text;
    else if (message.type == "wrong use") power.wrong_use_message = element.text;
    else if (message.type == "already used") power.already_used_message = element.text;
    else
        raise_error("load_power_db(): unknown message type " + quoted(message.type) + " in powers" +
                    in_file(kPowerFile));
}

void read_requirement(Power& power, int& stored, const XmlElement& element) {
    if (stored >= kPowerRequirementSlots)
        raise_error("load_power_db(): too much requirements for one power in powers" + in_file(kPowerFile));
    PowerRequirement requirement;
    read_fields<PowerRequirement>(kRequirementFields, requirement, element, kPowerFile, [](const std::string& name) {
        raise_error("load_power_db(): wrong attribute " + quoted(name) + " in requirement tag in powers" +
                    in_file(kPowerFile));
    });
    if (requirement.attribute > 0 || !requirement.attribute_name.empty()) power.requirement[stored++] = requirement;
}

void read_power(const XmlElement& element) {
    PowerElement power;  // every power starts from the defaults
    read_fields<PowerElement>(kPowerFields, power, element, kPowerFile, unknown_attribute("power"));
    if (power.id == 0) return;

    // A later power with the same id overwrites the earlier one's fields and
    // fills the requirement slots from slot 0 again; the slots it does not fill
    // keep the earlier power's entries.
    Power& record = g_db.powers[power.id];
    Power earlier = record;
    record = power;
    std::copy(std::begin(earlier.requirement), std::end(earlier.requirement), std::begin(record.requirement));
    int requirements = 0;
    for (const XmlElement& child : children_of(element)) {
        if (child.name == "requirement") read_requirement(record, requirements, child);
        else if (child.name == "name") read_language_text(child, record.name, unknown_attribute("name"));
        else if (child.name == "description")
            read_language_text(child, record.description, unknown_attribute("description"));
        else if (child.name == "message") read_message(record, child);
        else raise_error("load_power_db(): unknown tag " + quoted(child.name) + " in powers" + in_file(kPowerFile));
    }
}

void resolve(int16_t& id, const std::string& name) {
    if (!resolve_ability_name(id, name)) raise_error("powers_db_resolve_names(): cannot find ability " + quoted(name));
}

}  // namespace

void load_power_db() {
    std::unique_ptr<XmlDocument> document(new (std::nothrow) XmlDocument);
    if (!document) raise_error("load_power_db(): could not create xml structure in memory!");
    if (!document->load(kPowerFile))
        raise_error("load_power_db(): could not open power xml file: " + quoted(kPowerFile));
    if (document->status() != 0)
        raise_error("load_power_db(): error in xml structure of powers file " + quoted(kPowerFile) + ": " +
                    document->error_text());

    for (int id = 0; id <= kMaxPowerId; ++id) g_db.powers[id] = Power{};
    if (const XmlElement* root = document->root()) {
        for (const XmlElement& child : children_of(*root)) {
            if (child.name != "power")
                raise_error("load_power_db(): unknown tag " + quoted(child.name) + " in power" + in_file(kPowerFile));
            read_power(child);
        }
    }
    document.reset();
    powers_db_resolve_names();
}

void powers_db_resolve_names() {
    for (int id = 0; id <= kMaxPowerId; ++id) {
        Power& power = g_db.powers[id];
        resolve(power.strength_bonus_attribute, power.strength_bonus_attribute_name);
        resolve(power.success_attribute, power.success_attribute_name);
        resolve(power.cost_attribute, power.cost_attribute_name);
        resolve(power.modify_attribute, power.modify_attribute_name);
        resolve(power.adjust_attribute, power.adjust_attribute_name);
        resolve(power.duration_bonus_attribute, power.duration_bonus_attribute_name);
        resolve(power.activates_ability_id, power.activates_ability_name);
        resolve(power.deplete_attribute_id, power.deplete_attribute_name);
        for (PowerRequirement& requirement : power.requirement)
            resolve(requirement.attribute, requirement.attribute_name);
        // Resolved as well, after the references the game always resolves, so
        // a file with several unknown names reports the same one first.
        resolve(power.randomized_strength_bonus_attribute, power.randomized_strength_bonus_attribute_name);
    }
}

const XmlFileFormat& powers_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "powers";
        f.title = "The power database";
        f.files = "data\\powers.xml";
        f.about =
            "Every power the character may use. effect_name chooses what it does: \"attack\", \"area attack\", "
            "\"duration\", \"transform field\", \"use field\", \"activate ability\", \"deplete attribute\", "
            "\"modify attribute\" or \"apply effect to monster\". Abilities are named by id or, with the id 0 or "
            "left out, by name.";
        XmlElementFormat message{
            .name = "message",
            .about = "A message of the power in one language; type is \"success\", \"failure\", \"wrong use\" or "
                     "\"already used\".",
            .attributes = describe_fields<PowerMessage>(kMessageFields, false),
            .text = XmlText::text,
            .text_about = "the message"};
        f.elements = {
            {.name = "powers",
             .about = "The powers (the game does not test the root element's name).",
             .children = {"power"}},
            {.name = "power",
             .about = "One power; id 1..254 (a power without id is skipped; a later one of the same id replaces it).",
             .attributes = describe_fields<PowerElement>(kPowerFields, false),
             .children = {"requirement", "name", "description", "message"}},
            {.name = "requirement",
             .about = "An ability value the character needs for the power (at most three).",
             .attributes = describe_fields<PowerRequirement>(kRequirementFields, false)},
            language_text_format("name", "The power's name in one language."),
            language_text_format("description", "The description in one language."),
            message,
        };
        return f;
    }();
    return format;
}
