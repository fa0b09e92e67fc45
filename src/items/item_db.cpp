#include "items/item_db.h"

#include <algorithm>
#include <iterator>
#include <string>

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

const std::string kItemFile = "data\\items.xml";

// An item element: the item type and the id it is stored at (0 while the element gives none).
struct ItemElement : ItemType {
    int16_t id = 0;
};

using I = ItemElement;

void read_id(ItemElement& item, const std::string& value, const std::string& file) {
    long long number = text_to_int(value);
    if (number < kFirstItemId)
        raise_error("load_item_db(): item ID too small or wring format (" + value + ") in item file " + quoted(file));
    if (number > kLastItemId)
        raise_error("load_item_db(): item ID too large (" + value + ") in item file " + quoted(file));
    item.id = static_cast<int16_t>(number);
}

const XmlField<ItemElement> kItemFields[] = {
    {.name = "id", .member = &I::id, .read = read_id},
    {"name", &I::name, FieldKind::text},
    {.name = "tile", .member = &I::tile, .names = names::item_icon},
    // -1: the tile.
    {.name = "tile_equipped", .member = &I::tile_equipped, .names = names::item_icon},
    {"weight", &I::weight},
    // "yes" is one piece; a number gives that many pieces.
    {.name = "starting_equipment",
     .member = &I::starting_equipment,
     .read = [](I& item, const std::string& value, const std::string&) {
         item.starting_equipment = value == "yes" ? 1 : wrap16(text_to_int(value));
     },
     .words = "yes"},
    // The class word is also the class's display name until a class_name child gives one.
    {.name = "class",
     .member = &I::item_class,
     .kind = FieldKind::text,
     .read = [](I& item, const std::string& value, const std::string&) {
         item.item_class = value;
         item.class_name = value;
     }},
    {"can_be_equipped", &I::can_be_equipped, FieldKind::flag},
    {"description", &I::description, FieldKind::text},
    {"price", &I::price},
    {"fuel", &I::fuel},
    {"fuel_consumed_per_turn", &I::fuel_consumed_per_turn},
    {"fuel_name", &I::fuel_name, FieldKind::text},
    {"use_name", &I::use_name, FieldKind::text},
    {"consumed_after_use", &I::consumed_after_use, FieldKind::flag},
    {"turn_ends_after_use", &I::turn_ends_after_use, FieldKind::flag},
    {"use_message", &I::use_message, FieldKind::text},
    {"fuel_consumed_per_use", &I::fuel_consumed_per_use},
    {"artefact", &I::artefact, FieldKind::flag},
    {"equipment_limit", &I::equipment_limit},
};

// The ability id is stored as given, like every other number: an id outside
// 1..254 is no load error; readers check the range before indexing with it.
const XmlField<ItemAbilityBonus> kBonusFields[] = {
    {.name = "attribute", .member = &ItemAbilityBonus::attribute, .names = names::ability},
    {.name = "attribute_name",
     .member = &ItemAbilityBonus::attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"value", &ItemAbilityBonus::value},
    {"magic_bonus_multiplier", &ItemAbilityBonus::magic_bonus_multiplier},
};

// An unequip element: the class it names, kept in the item's next free slot.
struct UnequipElement {
    std::string item_class;
};
const XmlField<UnequipElement> kUnequipFields[] = {{"class", &UnequipElement::item_class, FieldKind::text}};

// An attribute the element does not know ends the program; tag is the name the message gives the element.
auto unknown_attribute(const char* tag) {
    return [tag](const std::string& name) {
        raise_error("load_item_db(): unknown attribute " + quoted(name) + " in " + tag + " tag in item xml file " +
                    quoted(kItemFile));
    };
}

void read_ability_bonus(const XmlElement& element, ItemType& type, int& bonuses) {
    if (element.attributes.empty()) return;
    if (bonuses >= kItemBonusSlots)
        raise_error("load_item_db(): too much ability boni (>" + int_to_text(kItemBonusSlots) +
                    ") in item xml file " + quoted(kItemFile));
    ItemAbilityBonus bonus;
    read_fields<ItemAbilityBonus>(kBonusFields, bonus, element, kItemFile, unknown_attribute("ability_bonus"));
    if (bonus.attribute == 0 && bonus.attribute_name.empty()) return;
    type.ability_bonus[bonuses++] = bonus;
}

void read_unequip(const XmlElement& element, ItemType& type, int& unequips) {
    UnequipElement unequip;
    read_fields<UnequipElement>(kUnequipFields, unequip, element, kItemFile, unknown_attribute("unequip_class"));
    if (unequip.item_class.empty()) return;
    if (unequips >= kItemUnequipSlots)
        raise_error("load_item_db(): too much unequip entries (>" + int_to_text(kItemUnequipSlots) +
                    ") for one item in item xml file " + quoted(kItemFile));
    type.unequip[unequips++] = unequip.item_class;
}

void read_item_children(const XmlElement& element, ItemType& type) {
    int bonuses = 0;
    int unequips = 0;
    for (const XmlElement& child : children_of(element)) {
        const std::string& tag = child.name;
        if (tag == "ability_bonus") read_ability_bonus(child, type, bonuses);
        else if (tag == "unequip") read_unequip(child, type, unequips);
        else if (tag == "name") read_language_text(child, type.name, unknown_attribute("name"));
        else if (tag == "description") read_language_text(child, type.description, unknown_attribute("description"));
        // This message has always named the tag with a trailing "$".
        else if (tag == "class_name") read_language_text(child, type.class_name, unknown_attribute("class_name$"));
        else if (tag == "fuel_name") read_language_text(child, type.fuel_name, unknown_attribute("fuel_name"));
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

    for (const XmlElement& element : children_of(*document.root())) {
        if (element.name != "item")
            raise_error("load_item_db(): unknown tag " + quoted(element.name) + " in item xml file " +
                        quoted(kItemFile));
        ItemElement item;
        read_fields<ItemElement>(kItemFields, item, element, kItemFile, unknown_attribute("item"));
        if (item.tile_equipped == -1) item.tile_equipped = item.tile;
        // An element without id is skipped together with its children.
        if (item.id == 0) continue;
        // A second item with the same id overwrites every field of the first;
        // its bonus and unequip entries fill the slots from slot 0 again and the
        // slots it does not fill keep the first item's entries.
        ItemType& record = g_db.item_types[item.id];
        ItemType kept = record;
        record = item;
        std::copy(std::begin(kept.ability_bonus), std::end(kept.ability_bonus), std::begin(record.ability_bonus));
        std::copy(std::begin(kept.unequip), std::end(kept.unequip), std::begin(record.unequip));
        read_item_children(element, record);
    }

    item_db_resolve_names();
}

void item_db_resolve_names() {
    for (int id = kFirstItemId; id <= kLastItemId; ++id) {
        for (ItemAbilityBonus& bonus : g_db.item_types[id].ability_bonus)
            if (!resolve_ability_name(bonus.attribute, bonus.attribute_name))
                raise_error("item_db_resolve_names(): cannot find ability " + quoted(bonus.attribute_name));
    }
}

bool item_type_defined(int id) {
    return id >= kFirstItemId && id <= kLastItemId && !g_db.item_types[id].name.empty();
}

const XmlFileFormat& items_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "items";
        f.title = "The item database";
        f.files = "data\\items.xml";
        f.about =
            "Every item type. Item type 1 is in every new character's equipment (five pieces); maps, the "
            "character file and the dungeons' main treasure name item types by id.";
        f.elements = {
            {.name = "items",
             .about = "The item types (the game does not test the root element's name).",
             .children = {"item"}},
            {.name = "item",
             .about = "One item type; id 1..254 (an item without id is skipped with its children; a later one of "
                      "the same id replaces it).",
             .attributes = describe_fields<ItemElement>(kItemFields, false),
             .children = {"ability_bonus", "unequip", "name", "description", "class_name", "fuel_name"}},
            {.name = "ability_bonus",
             .about = "A bonus to an ability while the item is equipped, and what using it adds (at most five).",
             .attributes = describe_fields<ItemAbilityBonus>(kBonusFields, false)},
            {.name = "unequip",
             .about = "An item class that is taken off when this item is equipped (at most five).",
             .attributes = describe_fields<UnequipElement>(kUnequipFields, false)},
            language_text_format("name", "The item's name in one language."),
            language_text_format("description", "The description in one language."),
            language_text_format("class_name", "The class's display name in one language."),
            language_text_format("fuel_name", "The fuel line in one language (\"[fuel]\" stands for the fuel left)."),
        };
        return f;
    }();
    return format;
}
