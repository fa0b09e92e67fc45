#include "character/abilities_db.h"

#include <string>
#include <utility>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "common/database.h"
#include "common/names.h"
#include "common/player_language.h"
#include "common/raise_error.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

const std::string kFile = "data\\abilities.xml";
const std::string kQuotedFile = "\"" + kFile + "\"";
constexpr const char* kPrefix = "load_abilities_db(): ";

[[noreturn]] void fail(const std::string& text) { raise_error(kPrefix + text); }

// The handler of an attribute a table does not know: before + the quoted name + after + the file.
auto refuse(std::string before, std::string after) {
    return [before = std::move(before), after = std::move(after)](const std::string& name) {
        fail(before + quoted(name) + after + kQuotedFile);
    };
}

// A numeric reference to another ability, kept in 16 bits like every id: 0 is
// none; a number that is no ability id would index outside the tables, so the
// data is rejected.
int16_t reference(const std::string& value, const std::string& where) {
    int16_t id = wrap16(text_to_int(value));
    if (id != 0 && !valid_ability_id(id))
        fail("wrong ability ID " + quoted(value) + " in " + where + " in file " + kQuotedFile);
    return id;
}

// The id attribute of a bonus, cap or requirement (16 bits): must be an ability id.
int16_t slot_id(const std::string& value, const std::string& message) {
    int16_t id = wrap16(text_to_int(value));
    if (!valid_ability_id(id)) fail(message);
    return id;
}

// An "ability" element: the record and its id (-1 while the element gives none).
struct AbilityElement : AbilityRecord {
    int16_t id = -1;
};
const XmlField<AbilityElement> kAbilityFields[] = {
    {"id", &AbilityElement::id},
    {"name", &AbilityElement::name, FieldKind::text},
    {"description", &AbilityElement::description, FieldKind::text},
    {.name = "tile", .member = &AbilityElement::tile, .names = names::ability_icon},
    {"attribute_start_value", &AbilityElement::attribute_start_value},
    {"color", &AbilityElement::color},
    {"depletable", &AbilityElement::depletable, FieldKind::flag},
    {"percentage", &AbilityElement::percentage, FieldKind::flag},
    {"main_screen", &AbilityElement::main_screen, FieldKind::flag},
    {"displayed_as_bonus", &AbilityElement::displayed_as_bonus, FieldKind::flag},
    {.name = "randomizer_ability",
     .member = &AbilityElement::randomizer_ability,
     .read = [](AbilityElement& a, const std::string& v, const std::string&) {
         a.randomizer_ability = reference(v, "randomizer_ability attribute of ability tag");
     },
     .names = names::ability},
    {"attribute", &AbilityElement::attribute, FieldKind::flag},
    {"xp", &AbilityElement::xp, FieldKind::flag},
    {"not_shown_if_zero", &AbilityElement::not_shown_if_zero, FieldKind::flag},
    {"minimum", &AbilityElement::minimum},
    {"change_per_turn_chance", &AbilityElement::change_per_turn_chance},  // 8 bits
    {"change_per_turn", &AbilityElement::change_per_turn},
    {"change_per_move", &AbilityElement::change_per_move},
    {"turn_ends_if_lower", &AbilityElement::turn_ends_if_lower},
    {"restore_at_end_of_turn", &AbilityElement::restore_at_end_of_turn, FieldKind::flag},
    // "lower": the game ends below game_ends_val; "higher": above it; any other word: never.
    {.name = "game_ends",
     .member = &AbilityElement::game_ends,
     .kind = FieldKind::text,
     .read = [](AbilityElement& a, const std::string& v,
                const std::string&) { a.game_ends = v == "lower" ? 1 : v == "higher" ? 2 : 0; },
     .words = "lower|higher"},
    {"game_ends_val", &AbilityElement::game_ends_val},
    {"game_ends_message", &AbilityElement::game_ends_message, FieldKind::text},
    {"critical_hit_melee", &AbilityElement::critical_hit_melee, FieldKind::flag},
    {"attack_melee", &AbilityElement::attack_melee, FieldKind::flag},
    {"defense_melee", &AbilityElement::defense_melee, FieldKind::flag},
    {"modify_with_each_kill", &AbilityElement::modify_with_each_kill},
    {"damage_in_melee", &AbilityElement::damage_in_melee, FieldKind::flag},
    {.name = "randomizer_ability_name",
     .member = &AbilityElement::randomizer_ability_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"lightradius", &AbilityElement::lightradius, FieldKind::flag},
    {"modify_per_point_of_damage", &AbilityElement::modify_per_point_of_damage},  // 8 bits
    {"sneaking", &AbilityElement::sneaking, FieldKind::flag},
    {"backstab", &AbilityElement::backstab, FieldKind::flag},
    {"perception_tile_class", &AbilityElement::perception_tile_class, FieldKind::text},
    {.name = "modify_atribute",  // (sic) the file's spelling
     .member = &AbilityElement::modify_atribute,
     .read = [](AbilityElement& a, const std::string& v, const std::string&) {
         a.modify_atribute = reference(v, "modify_atribute attribute of ability tag");
     },
     .names = names::ability},
    {.name = "modify_attribute_name",
     .member = &AbilityElement::modify_attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"modify_multiplier", &AbilityElement::modify_multiplier},
    {"modify_divisor", &AbilityElement::modify_divisor},
    {.name = "modify_animation",
     .member = &AbilityElement::modify_animation,
     .kind = FieldKind::text,
     .names = names::animation},
    {.name = "modify_sound", .member = &AbilityElement::modify_sound, .kind = FieldKind::text, .names = names::sound},
    {"armor", &AbilityElement::armor, FieldKind::flag},
    {"movement", &AbilityElement::movement, FieldKind::flag},
    {.name = "buffer_for_attribute",
     .member = &AbilityElement::buffer_for_attribute,
     .read = [](AbilityElement& a, const std::string& v, const std::string&) {
         a.buffer_for_attribute = reference(v, "buffer_for_attribute attribute of ability tag");
     },
     .names = names::ability},
    {.name = "buffer_for_attribute_name",
     .member = &AbilityElement::buffer_for_attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {.name = "buffer_animation",
     .member = &AbilityElement::buffer_animation,
     .kind = FieldKind::text,
     .names = names::animation},
    {"hit_multiplier", &AbilityElement::hit_multiplier},
    {.name = "hit_attribute",
     .member = &AbilityElement::hit_attribute,
     .read = [](AbilityElement& a, const std::string& v, const std::string&) {
         a.hit_attribute = reference(v, "hit_attribute attribute of ability tag");
     },
     .names = names::ability},
    {.name = "hit_attribute_name",
     .member = &AbilityElement::hit_attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
};

// An "attribute_bonus" element.
const XmlField<AttributeBonus> kBonusFields[] = {
    {.name = "attribute",
     .member = &AttributeBonus::attribute,
     .read = [](AttributeBonus& b, const std::string& v, const std::string&) {
         b.attribute = slot_id(v, "wrong attribute ID in attribute_bonus tag in file " + kQuotedFile);
     },
     .names = names::ability},
    {"bonus", &AttributeBonus::bonus},
    {"displayed", &AttributeBonus::displayed, FieldKind::flag},
    {.name = "name", .member = &AttributeBonus::name, .kind = FieldKind::text, .names = names::ability_name},
};

// A "cap" element.
const XmlField<AbilityCap> kCapFields[] = {
    {.name = "ability",
     .member = &AbilityCap::ability,
     .read = [](AbilityCap& c, const std::string& v, const std::string&) {
         c.ability = slot_id(v, "wrong ability ID " + quoted(v) + " in cap tag in file " + kQuotedFile);
     },
     .names = names::ability},
    {.name = "name", .member = &AbilityCap::name, .kind = FieldKind::text, .names = names::ability_name},
    {"bonus", &AbilityCap::bonus},
    // A signed byte in the file, kept in a 16-bit field.
    {.name = "divisor",
     .member = &AbilityCap::divisor,
     .read = [](AbilityCap& c, const std::string& v, const std::string&) { c.divisor = wrap8(text_to_int(v)); }},
    {"multiplier", &AbilityCap::multiplier},
};

// A "requirement" element.
const XmlField<AbilityRequirement> kRequirementFields[] = {
    {.name = "attribute",
     .member = &AbilityRequirement::attribute,
     .read = [](AbilityRequirement& r, const std::string& v, const std::string&) {
         r.attribute = slot_id(v, "wrong ability ID " + quoted(v) + " in requirement tag in file " + kQuotedFile);
     },
     .names = names::ability},
    {.name = "name", .member = &AbilityRequirement::name, .kind = FieldKind::text, .names = names::ability_name},
    {"value", &AbilityRequirement::value},
};

// A "display" element: the entry, and whether it names a language at all.
struct DisplayElement : DisplayEntry {
    bool has_language = false;
};
const XmlField<DisplayElement> kDisplayFields[] = {
    {.name = "type",
     .member = &DisplayElement::type,
     .kind = FieldKind::text,
     .read = [](DisplayElement& d, const std::string& v, const std::string&) {
         if (v == "main screen status panel") d.type = kDisplayStatusPanel;
         else if (v == "character info") d.type = kDisplayCharacterInfo;
         else fail("unknown display type " + quoted(v) + " in ability display tag in ability xml file " + kQuotedFile);
     },
     .words = "main screen status panel|character info"},
    {"start_value", &DisplayElement::start_value},
    {"end_value", &DisplayElement::end_value},
    {"message", &DisplayElement::message, FieldKind::text},
    {"message2", &DisplayElement::message2, FieldKind::text},
    {"color", &DisplayElement::color},
    {.name = "language",
     .member = &DisplayElement::language,
     .kind = FieldKind::text,
     .read = [](DisplayElement& d, const std::string& v, const std::string&) {
         d.language = v;
         d.has_language = true;
     }},
    {"expanded_value_display", &DisplayElement::expanded_value_display, FieldKind::flag},
};

// An "adjustment" element.
const XmlField<AbilityAdjustment> kAdjustmentFields[] = {
    {.name = "attribute",
     .member = &AbilityAdjustment::attribute,
     .read = [](AbilityAdjustment& a, const std::string& v,
                const std::string&) { a.attribute = reference(v, "adjustment tag"); },
     .names = names::ability},
    {.name = "attribute_name",
     .member = &AbilityAdjustment::attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"value", &AbilityAdjustment::value},
    {"percentage", &AbilityAdjustment::percentage},
    {"percentage_attribute_multiplier", &AbilityAdjustment::percentage_attribute_multiplier},  // 8 bits
    {"percentage_bonus", &AbilityAdjustment::percentage_bonus},
};

void read_attribute_bonus(AbilityRecord& r, const XmlElement& element, int& count) {
    if (count >= kAttributeBonusSlots) fail("too many attribute boni in attribute db file " + kQuotedFile);
    AttributeBonus slot;
    read_fields<AttributeBonus>(kBonusFields, slot, element, kFile,
                                refuse("wrong attribute ", " in attribute_bonus tag in file "));
    if (slot.attribute > 0 || !slot.name.empty()) r.attribute_bonus[count++] = slot;
}

void read_cap(AbilityRecord& r, const XmlElement& element, int& count) {
    if (count >= kCapSlots)
        fail("too many ability caps (>" + int_to_text(kCapSlots) + ") for a single ability in file " + kQuotedFile);
    AbilityCap slot;
    read_fields<AbilityCap>(kCapFields, slot, element, kFile, refuse("wrong attribute ", " in cap tag in file "));
    if (slot.ability > 0 || !slot.name.empty()) r.cap[count++] = slot;
}

void read_requirement(AbilityRecord& r, const XmlElement& element, int& count) {
    if (count >= kRequirementSlots)
        fail("too many ability caps (>" + int_to_text(kRequirementSlots) + ") for a single ability in ability file " +
             kQuotedFile);
    AbilityRequirement slot;
    read_fields<AbilityRequirement>(kRequirementFields, slot, element, kFile,
                                    refuse("wrong attribute ", " in requirement tag in file "));
    if (slot.attribute > 0 || !slot.name.empty()) r.requirement[count++] = slot;
}

void read_display(AbilityRecord& r, const XmlElement& element, int& count) {
    DisplayElement slot;
    read_fields<DisplayElement>(kDisplayFields, slot, element, kFile,
                                refuse("unknown attribute ", " in ability display tag in abilities xml file "));
    // Only entries in the player's language are kept, and only those count.
    if (slot.message.empty() || !slot.has_language || !is_player_language(slot.language)) return;
    if (count >= kDisplaySlots)
        fail("too many display entries (>" + int_to_text(kDisplaySlots) + ") for a single ability in ability file " +
             kQuotedFile);
    r.display[count++] = slot;
}

void read_adjustment(AbilityRecord& r, const XmlElement& element, int& count) {
    AbilityAdjustment slot;
    read_fields<AbilityAdjustment>(kAdjustmentFields, slot, element, kFile,
                                   refuse("unknown attribute ", " in adjustment tag in ability xml file "));
    if (count >= kAdjustmentSlots) fail("too many adjustments for one ability in ability xml file " + kQuotedFile);
    r.adjustment[count++] = slot;
}

// name, description, game_ends_message: the text in the player's language replaces the field.
void read_text(std::string& field, const XmlElement& element) {
    read_language_text(element, field,
                       refuse("unknown attribute ", " in " + element.name + " tag in ability xml file "));
}

void read_ability(const XmlElement& element) {
    AbilityElement working;
    read_fields<AbilityElement>(kAbilityFields, working, element, kFile,
                                refuse("wrong attribute ", " in ability tag in file "));
    const int16_t id = working.id;
    if (id < 1) fail("error in abilities file " + kQuotedFile + ": unique ability id < 1");
    if (id > kMaxAbilityId)
        fail("error in abilities file " + kQuotedFile + ": ability id > " + int_to_text(kMaxAbilityId));
    AbilityRecord& record = g_db.abilities[id];
    // An ability without a name does not occupy its id.
    if (!record.name.empty())
        fail("ability id " + int_to_text(id) + " not unique in abilities file " + kQuotedFile);
    record = working;
    record.display_name = working.name;

    int bonuses = 0, caps = 0, requirements = 0, displays = 0, adjustments = 0;
    for (const XmlElement& child : children_of(element)) {
        const std::string& tag = child.name;
        if (tag == "attribute_bonus") read_attribute_bonus(record, child, bonuses);
        else if (tag == "cap") read_cap(record, child, caps);
        else if (tag == "requirement") read_requirement(record, child, requirements);
        else if (tag == "display") read_display(record, child, displays);
        else if (tag == "name") read_text(record.display_name, child);
        else if (tag == "description") read_text(record.description, child);
        else if (tag == "game_ends_message") read_text(record.game_ends_message, child);
        else if (tag == "adjustment") read_adjustment(record, child, adjustments);
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
        for (const XmlElement& child : children_of(*root)) {
            if (child.name != "ability") fail("wrong tag " + quoted(child.name) + " in file " + kQuotedFile);
            read_ability(child);
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

const XmlFileFormat& abilities_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "abilities";
        f.title = "The abilities database";
        f.files = "data\\abilities.xml";
        f.about =
            "Every ability of the character: hit points, skills, movement, light, armour and damage are all "
            "abilities whose roles are flags. A reference to another ability is given by id or, with the id 0 or "
            "left out, by that ability's name.";
        f.elements = {
            {.name = "abilities",
             .about = "The abilities (the game does not test the root element's name).",
             .children = {"ability"}},
            {.name = "ability",
             .about = "One ability; id 1..254, unique.",
             .attributes = describe_fields<AbilityElement>(kAbilityFields, false),
             .children = {"attribute_bonus", "cap", "requirement", "display", "name", "description",
                          "game_ends_message", "adjustment"}},
            {.name = "attribute_bonus",
             .about = "What choosing the ability at advancement gives (at most ten).",
             .attributes = describe_fields<AttributeBonus>(kBonusFields, false)},
            {.name = "cap",
             .about = "A limit of the ability's value from another ability (at most three).",
             .attributes = describe_fields<AbilityCap>(kCapFields, false)},
            {.name = "requirement",
             .about = "A condition for choosing the ability at advancement (at most three).",
             .attributes = describe_fields<AbilityRequirement>(kRequirementFields, false)},
            {.name = "display",
             .about = "A text describing a range of values (at most five in the player's language); type is "
                      "\"main screen status panel\" or \"character info\".",
             .attributes = describe_fields<DisplayElement>(kDisplayFields, false)},
            language_text_format("name", "The ability's display name in one language."),
            language_text_format("description", "The description in one language."),
            language_text_format("game_ends_message", "The death text in one language."),
            {.name = "adjustment",
             .about = "An effect on another ability while this one is above 0 (at most five).",
             .attributes = describe_fields<AbilityAdjustment>(kAdjustmentFields, false)},
        };
        return f;
    }();
    return format;
}
