#include "items/item_db.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "character/character_state.h"
#include "items/items_state.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"
#include "common/database.h"

namespace {

const std::string kItemFile = "data\\items.xml";


[[noreturn]] void unknown_attribute(const std::string& attribute, const std::string& tag) {
    raise_error("load_item_db(): unknown attribute " + quoted(attribute) + " in " + tag + " tag in item xml file " +
                quoted(kItemFile));
}


// The attributes of one "item" element, read in document order into a fresh
// record. Returns false when the element carries no id (it is then skipped).
bool read_item_attributes(const XmlElement& element, ItemType& type, int& id) {
    bool has_id = false;
    for (const auto& [name, value] : element.attributes) {
        if (name == "id") {
            long long number = text_to_int(value);
            if (number < kFirstItemId)
                raise_error("load_item_db(): item ID too small or wring format (" + value + ") in item file " +
                            quoted(kItemFile));
            if (number > kLastItemId)
                raise_error("load_item_db(): item ID too large (" + value + ") in item file " + quoted(kItemFile));
            id = static_cast<int>(number);
            has_id = true;
        } else if (name == "name") {
            type.name = value;
        } else if (name == "tile") {
            type.tile = wrap16(text_to_int(value));
        } else if (name == "tile_equipped") {
            type.tile_equipped = wrap16(text_to_int(value));
        } else if (name == "weight") {
            type.weight = wrap16(text_to_int(value));
        } else if (name == "starting_equipment") {
            // "yes" is one piece; a number gives that many pieces.
            type.starting_equipment = value == "yes" ? 1 : wrap16(text_to_int(value));
        } else if (name == "class") {
            type.item_class = value;
            type.class_name = value;
        } else if (name == "can_be_equipped") {
            type.can_be_equipped = yes_flag(value);
        } else if (name == "description") {
            type.description = value;
        } else if (name == "price") {
            type.price = wrap16(text_to_int(value));
        } else if (name == "fuel") {
            type.fuel = wrap16(text_to_int(value));
        } else if (name == "fuel_consumed_per_turn") {
            type.fuel_consumed_per_turn = wrap8(text_to_int(value));
        } else if (name == "fuel_name") {
            type.fuel_name = value;
        } else if (name == "use_name") {
            type.use_name = value;
        } else if (name == "consumed_after_use") {
            type.consumed_after_use = yes_flag(value);
        } else if (name == "turn_ends_after_use") {
            type.turn_ends_after_use = yes_flag(value);
        } else if (name == "use_message") {
            type.use_message = value;
        } else if (name == "fuel_consumed_per_use") {
            type.fuel_consumed_per_use = wrap16(text_to_int(value));
        } else if (name == "artefact") {
            type.artefact = yes_flag(value);
        } else if (name == "equipment_limit") {
            type.equipment_limit = wrap16(text_to_int(value));
        } else {
            unknown_attribute(name, "item");
        }
    }
    if (type.tile_equipped == -1) type.tile_equipped = type.tile;
    return has_id;
}

void read_ability_bonus(const XmlElement& element, ItemType& type, int& bonuses) {
    if (element.attributes.empty()) return;
    if (bonuses >= kItemBonusSlots)
        raise_error("load_item_db(): too much ability boni (>" + int_to_text(kItemBonusSlots) +
                    ") in item xml file " + quoted(kItemFile));
    ItemAbilityBonus bonus;
    for (const auto& [name, value] : element.attributes) {
        if (name == "attribute") {
            // Stored as given, like every other number: an id outside 1..254 is
            // no load error; readers check the range before indexing with it.
            bonus.attribute = wrap16(text_to_int(value));
        } else if (name == "attribute_name") {
            bonus.attribute_name = value;
        } else if (name == "value") {
            bonus.value = wrap16(text_to_int(value));
        } else if (name == "magic_bonus_multiplier") {
            bonus.magic_bonus_multiplier = wrap8(text_to_int(value));
        } else {
            unknown_attribute(name, "ability_bonus");
        }
    }
    if (bonus.attribute == 0 && bonus.attribute_name.empty()) return;
    type.ability_bonus[bonuses++] = bonus;
}

void read_unequip(const XmlElement& element, ItemType& type, int& unequips) {
    std::string item_class;
    for (const auto& [name, value] : element.attributes) {
        if (name == "class") item_class = value;
        else unknown_attribute(name, "unequip_class");
    }
    if (item_class.empty()) return;
    if (unequips >= kItemUnequipSlots)
        raise_error("load_item_db(): too much unequip entries (>" + int_to_text(kItemUnequipSlots) +
                    ") for one item in item xml file " + quoted(kItemFile));
    type.unequip[unequips++] = item_class;
}

// A text child given per language: its text replaces the field when its
// language is the player's.
void read_localized(const XmlElement& element, const std::string& tag, std::string& field) {
    if (element.attributes.empty()) return;
    bool matches = false;
    for (const auto& [name, value] : element.attributes) {
        if (name == "language") matches = value == g_common.preferences.language;
        else unknown_attribute(name, tag);
    }
    if (matches) field = element.text;
}

void read_item_children(const XmlElement& element, ItemType& type) {
    int bonuses = 0;
    int unequips = 0;
    for (const auto& child : element.children) {
        const std::string& tag = child->name;
        if (tag == "ability_bonus") read_ability_bonus(*child, type, bonuses);
        else if (tag == "unequip") read_unequip(*child, type, unequips);
        else if (tag == "name") read_localized(*child, "name", type.name);
        else if (tag == "description") read_localized(*child, "description", type.description);
        else if (tag == "class_name") read_localized(*child, "class_name$", type.class_name);
        else if (tag == "fuel_name") read_localized(*child, "fuel_name", type.fuel_name);
        else
            raise_error("load_item_db(): unknown child tag " + quoted(tag) + " in item tag in item xml file " +
                        quoted(kItemFile));
    }
}

}  // namespace

void load_item_db() {
    for (int id = kFirstItemId; id <= kLastItemId; ++id) g_db.item_types[id] = ItemType{};

    XmlDocument document;
    if (!document.load(kItemFile))
        raise_error("load_item_db(): could not open item xml file: " + quoted(kItemFile));
    if (document.status() != 0 || document.root() == nullptr)
        raise_error("load_item_db(): error in xml structure of item file " + quoted(kItemFile) + ": " +
                    document.error_text());

    for (const auto& element : document.root()->children) {
        if (element->name != "item")
            raise_error("load_item_db(): unknown tag " + quoted(element->name) + " in item xml file " +
                        quoted(kItemFile));
        ItemType type;
        int id = 0;
        if (!read_item_attributes(*element, type, id)) continue;
        // A second item with the same id overwrites every field of the first;
        // its bonus and unequip entries fill the slots from slot 0 again and the
        // slots it does not fill keep the first item's entries.
        ItemType& record = g_db.item_types[id];
        ItemType kept = record;
        record = type;
        std::copy(std::begin(kept.ability_bonus), std::end(kept.ability_bonus), std::begin(record.ability_bonus));
        std::copy(std::begin(kept.unequip), std::end(kept.unequip), std::begin(record.unequip));
        read_item_children(*element, record);
    }

    item_db_resolve_names();
}

void item_db_resolve_names() {
    for (int id = kFirstItemId; id <= kLastItemId; ++id) {
        for (ItemAbilityBonus& bonus : g_db.item_types[id].ability_bonus) {
            if (bonus.attribute != 0 || bonus.attribute_name.empty()) continue;
            for (int ability = kMaxAbilityId; ability >= 1; --ability) {
                if (g_db.abilities[ability].name == bonus.attribute_name) {
                    bonus.attribute = static_cast<int16_t>(ability);
                    break;
                }
            }
            if (bonus.attribute == 0)
                raise_error("item_db_resolve_names(): cannot find ability " + quoted(bonus.attribute_name));
        }
    }
}

bool item_type_defined(int id) {
    return id >= kFirstItemId && id <= kLastItemId && !g_db.item_types[id].name.empty();
}
