#include "shell/character_savegame.h"

#include "character/ability_model.h"
#include "character/character_record.h"
#include "items/items_state.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"
#include "common/database.h"
#include "character/character_state.h"

namespace {


void set_number(XmlElement& element, const char* name, long long value) { element.set_attribute(name, int_to_text(value)); }

// Number attributes of an ability state entry (0 when not in the file).
struct StateNumber {
    const char* name;
    int16_t AbilityState::*field;
};
const StateNumber kStateNumbers[] = {
    {"ability_value", &AbilityState::ability_value},
    {"attribute_max_value", &AbilityState::attribute_max_value},
    {"attribute_current_value", &AbilityState::attribute_current_value},
    {"power_adjustment", &AbilityState::power_adjustment},
    {"adjustment_duration", &AbilityState::adjustment_duration},
    {"adjustment_power_id", &AbilityState::adjustment_power_id},
    {"item_bonus", &AbilityState::item_bonus},
    {"adjustment_other", &AbilityState::adjustment_other},
};

// The attributes that differ from their defaults, in the order of the ability state.
void write_ability(XmlElement& root, int id, const AbilityState& state) {
    XmlElement* element = root.add_child("ability");
    set_number(*element, "id", id);
    auto number = [&](const char* name, int16_t value) {
        if (value != 0) set_number(*element, name, value);
    };
    number("ability_value", state.ability_value);
    number("attribute_max_value", state.attribute_max_value);
    number("attribute_current_value", state.attribute_current_value);
    number("power_adjustment", state.power_adjustment);
    number("adjustment_duration", state.adjustment_duration);
    if (!state.adjustment_name.empty()) element->set_attribute("adjustment_name", state.adjustment_name);
    number("adjustment_power_id", state.adjustment_power_id);
    number("item_bonus", state.item_bonus);
    if (state.activated) element->set_attribute("activated", "yes");
    number("adjustment_other", state.adjustment_other);
    if (state.adjustment_percentage != 100) set_number(*element, "adjustment_percentage", state.adjustment_percentage);
}

bool burns_fuel(int16_t type) { return type >= kFirstItemId && type <= kLastItemId && g_db.item_types[type].fuel > 0; }

void write_item(XmlElement& root, const InventoryEntry& entry) {
    XmlElement* element = root.add_child("item");
    set_number(*element, "type", entry.type);
    set_number(*element, "amount", entry.amount);
    if (burns_fuel(entry.type)) set_number(*element, "fuel", entry.fuel);
    if (entry.equipped) element->set_attribute("equipped", "yes");
    if (entry.selected) element->set_attribute("selected", "yes");
    if (entry.magic_bonus > 0) set_number(*element, "magic_bonus", entry.magic_bonus);
}

// xpos, ypos, facing, frame: a number within low..high, or the file is rejected.
int8_t ranged(const std::string& name, const std::string& value, int low, int high, const std::string& file_name) {
    long long number = text_to_int(value);
    if (number < low || number > high)
        raise_error("load_character(): wrong " + name + " attribute " + quoted(value) + " in character file " +
                    quoted(file_name));
    return static_cast<int8_t>(number);
}

void read_root(CharacterRecord& character, const XmlElement& root, const std::string& file_name) {
    for (const auto& [name, value] : root.attributes) {
        if (name == "Umbrane_version") continue;
        else if (name == "name") character.name = value;
        else if (name == "xpos") character.x = ranged(name, value, 0, 49, file_name);
        else if (name == "ypos") character.y = ranged(name, value, 0, 49, file_name);
        else if (name == "facing") character.facing = ranged(name, value, 0, 3, file_name);
        else if (name == "frame") character.frame = ranged(name, value, 0, 1, file_name);
        else if (name == "map_filename") character.map_file_name = file_part(value);
        else if (name == "inventory_cursor_x") character.inventory_cursor_x = wrap8(text_to_int(value));
        else if (name == "inventory_cursor_y") character.inventory_cursor_y = wrap8(text_to_int(value));
        else
            raise_error("load_character(): unknown attribute " + quoted(name) + " in root node in file " +
                        quoted(file_name));
    }
}

void read_ability(CharacterRecord& character, const XmlElement& element, const std::string& file_name) {
    AbilityState entry;
    int id = 0;
    for (const auto& [name, value] : element.attributes) {
        bool known = true;
        if (name == "id") {
            int16_t number = wrap16(text_to_int(value));  // an id is 16 bits wide
            if (!valid_ability_id(number))
                raise_error("load_character(): wrong id attribute " + quoted(value) + " in ability tag in file " +
                            quoted(file_name));
            id = number;
        } else if (name == "activated") entry.activated = value == "yes";
        else if (name == "adjustment_name") entry.adjustment_name = value;
        else if (name == "adjustment_percentage") entry.adjustment_percentage = wrap16(text_to_int(value));
        else {
            known = false;
            for (const StateNumber& number : kStateNumbers)
                if (name == number.name) {
                    entry.*number.field = wrap16(text_to_int(value));
                    known = true;
                }
        }
        if (!known)
            raise_error("load_character(): unknown attribute " + quoted(name) + " in ability tag in file " +
                        quoted(file_name));
    }
    if (id != 0) character.abilities[id] = entry;
}

void read_power(CharacterRecord& character, const XmlElement& element, const std::string& file_name) {
    int16_t id = 0;
    int16_t cooldown = 0;
    for (const auto& [name, value] : element.attributes) {
        if (name == "id") id = wrap16(text_to_int(value));
        else if (name == "cooldown") cooldown = wrap16(text_to_int(value));
        else if (name == "duration") continue;
        else
            raise_error("load_character(): unknown attribute " + quoted(name) +
                        " in power_cooldown tag in character xml file " + quoted(file_name));
    }
    if (id >= 1 && id <= 254) character.cooldown[id] = cooldown;
}

void read_item(const XmlElement& element, const std::string& file_name) {
    InventoryEntry entry;
    for (const auto& [name, value] : element.attributes) {
        if (name == "type") entry.type = wrap16(text_to_int(value));
        else if (name == "amount") entry.amount = wrap16(text_to_int(value));
        else if (name == "equipped") entry.equipped = value == "yes";
        else if (name == "selected") entry.selected = value == "yes";
        else if (name == "fuel") entry.fuel = wrap16(text_to_int(value));
        else if (name == "magic_bonus") entry.magic_bonus = wrap16(text_to_int(value));
        else
            raise_error("load_character(): unknown attribute " + quoted(name) + " in item tag in character xml file " +
                        quoted(file_name));
    }
    // Only types of the item table: any other number would index outside it.
    if (entry.type >= kFirstItemId && entry.type <= kLastItemId) g_items.inventory.append() = entry;
}

}  // namespace

void save_character(const CharacterRecord& character, const std::string& file_name) {
    XmlDocument document;
    XmlElement* root = document.create_root("character");
    if (!root) raise_error("save_character(): could not create xml structure in memory!");
    root->set_attribute("Umbrane_version", g_common.version);
    root->set_attribute("name", character.name);
    set_number(*root, "xpos", character.x);
    set_number(*root, "ypos", character.y);
    set_number(*root, "facing", character.facing);
    set_number(*root, "frame", character.frame);
    root->set_attribute("map_filename", file_part(character.map_file_name));
    set_number(*root, "inventory_cursor_x", character.inventory_cursor_x);
    set_number(*root, "inventory_cursor_y", character.inventory_cursor_y);
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (!g_db.abilities[id].name.empty()) write_ability(*root, id, character.abilities[id]);
    for (int id = 0; id < kCooldownCount; ++id) {
        if (character.cooldown[id] <= 0) continue;
        XmlElement* power = root->add_child("power");
        set_number(*power, "id", id);
        set_number(*power, "cooldown", character.cooldown[id]);
    }
    for (const InventoryEntry& entry : g_items.inventory) write_item(*root, entry);
    if (!document.save(file_name))
        raise_error("save_character(): could not save character data to file " + quoted(file_name));
}

void load_character(CharacterRecord& character, const std::string& file_name) {
    if (&character == &g_character_model.character) reset_character();
    else reset_character_record(character);
    g_items.inventory.clear();
    XmlDocument document;
    if (!document.load(file_name))
        raise_error("load_character(): could not open character xml file: " + quoted(file_name));
    if (document.status() != 0)
        raise_error("load_character(): error in xml structure of character file " + quoted(file_name) + ": " +
                    document.error_text());
    const XmlElement* root = document.root();
    if (!root) return;
    read_root(character, *root, file_name);
    for (const auto& child : root->children) {
        if (child->name == "ability") read_ability(character, *child, file_name);
        else if (child->name == "power") read_power(character, *child, file_name);
        else if (child->name == "item") read_item(*child, file_name);
        else raise_error("load_character(): unknown tag " + quoted(child->name) + " in file " + quoted(file_name));
    }
}
