#include "monsters/monster_db.h"

#include <memory>
#include <new>

#include "character/character_state.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"

namespace {



[[noreturn]] void unknown_tag(const std::string& tag, const std::string& file) {
    raise_error("load_monster_db(): unknown tag " + quoted(tag) + " in monster xml file " + quoted(file));
}

int16_t read16(const std::string& text) { return wrap16(text_to_int(text)); }
int8_t read8(const std::string& text) { return wrap8(text_to_int(text)); }

// The text of the element when its "language" matches the preferences;
// tag names the element in the error for any other attribute.
bool localized_text(const XmlElement& element, const std::string& tag, const std::string& file,
                    std::string& text) {
    bool matches = false;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute != "language")
            raise_error("load_monster_db(): unknown attribute " + quoted(attribute) + " in " + tag +
                        " tag in monster xml file " + quoted(file));
        matches = value == g_common.preferences.language;
    }
    if (matches) text = element.text;
    return matches;
}

void read_affliction(MonsterType& type, int& count, const XmlElement& element, const std::string& file) {
    MonsterAffliction affliction;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "class") affliction.cls = value;
        else if (attribute == "chance") affliction.chance = read8(value);
        else if (attribute == "attribute") affliction.attribute = read16(value);
        else if (attribute == "attribute_name") affliction.attribute_name = value;
        else if (attribute == "value") affliction.value = read16(value);
        else if (attribute == "randomized") affliction.randomized = value == "yes" ? 1 : 0;
        else if (attribute == "animation") affliction.animation = value;
        else if (attribute == "sound") affliction.sound = value;
        else if (attribute == "message") affliction.message = value;
        else
            raise_error("load_monster_db(): unknown attribute " + quoted(attribute) +
                        " in affliction tag in monster xml file " + quoted(file));
    }
    // A sixth affliction is refused whether or not it carries attributes, so
    // nothing is ever written past the last slot.
    if (count >= kMonsterAfflictionSlots)
        raise_error("load_monster_db(): too much afflictions for one monster type in monster xml file " +
                    quoted(file));
    MonsterAffliction& slot = type.afflictions[count];
    if (!element.attributes.empty()) slot = affliction;
    for (const auto& child : element.children) {
        if (child->name != "message") unknown_tag(child->name, file);
        localized_text(*child, "message", file, slot.message);
    }
    ++count;
}

void read_monster(const XmlElement& element, const std::string& file) {
    if (element.attributes.empty()) return;
    MonsterType type;
    long long id = 0;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "id") {
            id = text_to_int(value);
            if (id < 1 || id > kMaxMonsterTypeId)
                raise_error("load_monster_db(): wrong monster id " + quoted(value) + " in monster file " +
                            quoted(file));
            if (!g_db.monster_types[id].name.empty())
                raise_error("load_monster_db(): monster id " + quoted(value) + " not unique in monster file " +
                            quoted(file));
        } else if (attribute == "name") type.name = value;
        else if (attribute == "class") type.cls = value;
        else if (attribute == "tile") type.tile = read16(value);
        else if (attribute == "attack") type.attack = read16(value);
        else if (attribute == "defense") type.defense = read16(value);
        else if (attribute == "strength") type.strength = read16(value);
        else if (attribute == "hitpoints") type.hitpoints = read16(value);
        else if (attribute == "armor") type.armor = read16(value);
        else if (attribute == "level") type.level = read16(value);
        else if (attribute == "speed") type.speed = read8(value);
        else if (attribute == "flying") type.flying = value == "yes" ? 1 : 0;
        else if (attribute == "regeneration") type.regeneration = read8(value);
        else if (attribute == "resistance") type.resistance = value;
        else if (attribute == "immune") type.immune = value;
        else if (attribute == "vulnerable") type.vulnerable = value;
        else
            raise_error("load_monster_db(): unknown attribute " + quoted(attribute) + " in monster tag in file " +
                        quoted(file));
    }
    if (id == 0 || type.name.empty())
        raise_error("load_monster_db(): monster tag without proper id or name in file " + quoted(file));

    MonsterType& record = g_db.monster_types[id];
    record = type;
    int afflictions = 0;
    for (const auto& child : element.children) {
        if (child->name == "name") localized_text(*child, "name", file, record.name);
        else if (child->name == "affliction") read_affliction(record, afflictions, *child, file);
        else unknown_tag(child->name, file);
    }
}

}  // namespace

void load_monster_db(const std::string& file) {
    for (int id = 0; id <= kMaxMonsterTypeId; ++id) g_db.monster_types[id] = MonsterType{};

    std::unique_ptr<XmlDocument> document(new (std::nothrow) XmlDocument);
    if (!document) raise_error("load_monster_db(): could not create xml structure in memory!");
    if (!document->load(file)) raise_error("load_monster_db(): could not open monster xml file: " + quoted(file));
    if (document->status() != 0)
        raise_error("load_monster_db(): error in xml structure of monster file " + quoted(file) + ": " +
                    document->error_text());

    if (const XmlElement* root = document->root()) {
        for (const auto& child : root->children) {
            if (child->name != "monster") unknown_tag(child->name, file);
            read_monster(*child, file);
        }
    }
    document.reset();
    resolve_monster_type_db_names(file);
}

void resolve_monster_type_db_names(const std::string& file) {
    for (int id = 0; id <= kMaxMonsterTypeId; ++id) {
        for (MonsterAffliction& affliction : g_db.monster_types[id].afflictions) {
            if (affliction.attribute != 0 || affliction.attribute_name.empty()) continue;
            for (int ability = 0; ability <= kMaxAbilityId; ++ability)
                if (g_db.abilities[ability].name == affliction.attribute_name)
                    affliction.attribute = static_cast<int16_t>(ability);
            if (affliction.attribute == 0)
                raise_error("resolve_monster_type_db_names(): cannot find attribute " +
                            quoted(affliction.attribute_name) + " in monster xml file " + quoted(file));
        }
    }
}
