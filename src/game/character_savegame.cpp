#include "game/character_savegame.h"

#include "character/ability_model.h"
#include "character/character_record.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/names.h"
#include "common/raise_error.h"
#include "common/version_field.h"
#include "items/inventory.h"
#include "items/items_state.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

// xpos, ypos, facing, frame: a number within low..high, or the file is rejected.
template <int Low, int High>
int8_t ranged(const std::string& name, const std::string& value, const std::string& file_name) {
    long long number = text_to_int(value);
    if (number < Low || number > High)
        raise_error("load_character(): wrong " + name + " attribute " + quoted(value) + " in character file " +
                    quoted(file_name));
    return static_cast<int8_t>(number);
}

// The root element: the character record, in the order it is written.
const XmlField<CharacterRecord> kRootFields[] = {
    version_field<CharacterRecord>(),
    {"name", &CharacterRecord::name, FieldKind::text},
    {.name = "xpos",
     .member = &CharacterRecord::x,
     .read = [](CharacterRecord& c, const std::string& v, const std::string& f) { c.x = ranged<0, 49>("xpos", v, f); }},
    {.name = "ypos",
     .member = &CharacterRecord::y,
     .read = [](CharacterRecord& c, const std::string& v, const std::string& f) { c.y = ranged<0, 49>("ypos", v, f); }},
    {.name = "facing",
     .member = &CharacterRecord::facing,
     .read = [](CharacterRecord& c, const std::string& v,
                const std::string& f) { c.facing = ranged<0, 3>("facing", v, f); }},
    {.name = "frame",
     .member = &CharacterRecord::frame,
     .read = [](CharacterRecord& c, const std::string& v, const std::string& f) { c.frame = ranged<0, 1>("frame", v, f); }},
    // Only the file part is kept, whatever folders the file names.
    {.name = "map_filename",
     .member = &CharacterRecord::map_file_name,
     .kind = FieldKind::text,
     .read = [](CharacterRecord& c, const std::string& v, const std::string&) { c.map_file_name = file_part(v); },
     .written = [](const CharacterRecord& c) { return file_part(c.map_file_name); },
     .names = names::map_file},
    {"inventory_cursor_x", &CharacterRecord::inventory_cursor_x},
    {"inventory_cursor_y", &CharacterRecord::inventory_cursor_y},
    // The run so far and the advancement left for later; a file without them starts at none.
    {"turns", &CharacterRecord::turns, FieldKind::number, WriteRule::unless_default},
    {"kills", &CharacterRecord::kills, FieldKind::number, WriteRule::unless_default},
    {"deepest_level", &CharacterRecord::deepest_level, FieldKind::number, WriteRule::unless_default},
    {"deepest_dungeon", &CharacterRecord::deepest_dungeon, FieldKind::text, WriteRule::unless_default},
    {"dungeon_levels", &CharacterRecord::dungeon_levels, FieldKind::number, WriteRule::unless_default},
    {"dungeon_treasure", &CharacterRecord::dungeon_treasure, FieldKind::number, WriteRule::unless_default},
    {"won", &CharacterRecord::won, FieldKind::flag},
    {"final_foe", &CharacterRecord::final_foe, FieldKind::number, WriteRule::unless_default},
    {"picks_waiting", &CharacterRecord::picks_waiting, FieldKind::number, WriteRule::unless_default},
    {"power_grid", &CharacterRecord::power_grid, FieldKind::text, WriteRule::unless_default},
};

// An "ability" element: the id and the state of that ability; every field but
// the id is written only when it differs from a fresh entry.
struct SavedAbility : AbilityState {
    int16_t id = 0;
};
const XmlField<SavedAbility> kAbilityFields[] = {
    {.name = "id",
     .member = &SavedAbility::id,
     .read = [](SavedAbility& a, const std::string& v, const std::string& f) {
         int16_t number = wrap16(text_to_int(v));  // an id is 16 bits wide
         if (!valid_ability_id(number))
             raise_error("load_character(): wrong id attribute " + quoted(v) + " in ability tag in file " + quoted(f));
         a.id = number;
     },
     .names = names::ability},
    {"ability_value", &SavedAbility::ability_value, FieldKind::number, WriteRule::unless_default},
    {"attribute_max_value", &SavedAbility::attribute_max_value, FieldKind::number, WriteRule::unless_default},
    {"attribute_current_value", &SavedAbility::attribute_current_value, FieldKind::number, WriteRule::unless_default},
    {"power_adjustment", &SavedAbility::power_adjustment, FieldKind::number, WriteRule::unless_default},
    {"adjustment_duration", &SavedAbility::adjustment_duration, FieldKind::number, WriteRule::unless_default},
    {"adjustment_name", &SavedAbility::adjustment_name, FieldKind::text, WriteRule::unless_default},
    {.name = "adjustment_power_id",
     .member = &SavedAbility::adjustment_power_id,
     .write = WriteRule::unless_default,
     .names = names::power},
    {"item_bonus", &SavedAbility::item_bonus, FieldKind::number, WriteRule::unless_default},
    {"activated", &SavedAbility::activated, FieldKind::flag},
    {"adjustment_other", &SavedAbility::adjustment_other, FieldKind::number, WriteRule::unless_default},
    {"adjustment_percentage", &SavedAbility::adjustment_percentage, FieldKind::number, WriteRule::unless_default},
};

// A "power" element: the cooldown of one power ("duration" is accepted and ignored).
struct SavedCooldown {
    int16_t id = 0;
    int16_t cooldown = 0;
};
const XmlField<SavedCooldown> kPowerFields[] = {
    {.name = "id", .member = &SavedCooldown::id, .names = names::power},
    {"cooldown", &SavedCooldown::cooldown},
    {.name = "duration", .write = WriteRule::never},
};

bool burns_fuel(const InventoryEntry& entry) { return item_type_of(entry.type).fuel > 0; }

// An "item" element: one entry of the inventory.
const XmlField<InventoryEntry> kItemFields[] = {
    {.name = "type", .member = &InventoryEntry::type, .names = names::item_type},
    {"amount", &InventoryEntry::amount},
    {.name = "fuel", .member = &InventoryEntry::fuel, .write_if = burns_fuel, .written_when = "when the item burns fuel"},
    {"equipped", &InventoryEntry::equipped, FieldKind::flag},
    {"selected", &InventoryEntry::selected, FieldKind::flag},
    {.name = "magic_bonus",
     .member = &InventoryEntry::magic_bonus,
     .write_if = [](const InventoryEntry& entry) { return entry.magic_bonus > 0; },
     .written_when = "when above 0"},
};

// A whole number as the game writes and reads them: blanks, a sign, "$"
// hexadecimal or "%" binary, then digits to the end.
bool number_text(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    if (text[i] == '-' || text[i] == '+') ++i;
    const char* digits = "0123456789";
    if (i < text.size() && text[i] == '$') digits = "0123456789abcdefABCDEF", ++i;
    else if (i < text.size() && text[i] == '%') digits = "01", ++i;
    return i < text.size() && text.find_first_not_of(digits, i) == std::string::npos;
}

// The numbers of an element are numbers: "banana" is no position (read as 0 it
// would put the character into the border trees).
template <typename Record, size_t N>
void check_values(const XmlField<Record> (&fields)[N], const XmlElement& element, const std::string& file_name) {
    for (const auto& [name, value] : element.attributes)
        for (const XmlField<Record>& field : fields) {
            if (field.name != name) continue;
            if (field.kind != FieldKind::number || number_text(value)) continue;
            const std::string tag = element.parent ? " in " + element.name + " tag" : "";
            raise_error("load_character(): wrong " + name + " attribute " + quoted(value) + tag + " in character file " +
                        quoted(file_name));
        }
}

auto unknown_attribute(const std::string& where, const std::string& file_name) {
    return [&where, &file_name](const std::string& name) {
        raise_error("load_character(): unknown attribute " + quoted(name) + where + quoted(file_name));
    };
}

void read_ability(CharacterRecord& character, const XmlElement& element, const std::string& file_name) {
    SavedAbility entry;  // a fresh entry: all numbers 0, percentage 100
    check_values(kAbilityFields, element, file_name);
    read_fields<SavedAbility>(kAbilityFields, entry, element, file_name,
                              unknown_attribute(" in ability tag in file ", file_name));
    if (entry.id != 0) character.abilities[entry.id] = entry;
}

void read_power(CharacterRecord& character, const XmlElement& element, const std::string& file_name) {
    SavedCooldown entry;
    check_values(kPowerFields, element, file_name);
    read_fields<SavedCooldown>(kPowerFields, entry, element, file_name,
                               unknown_attribute(" in power_cooldown tag in character xml file ", file_name));
    if (entry.id >= 1 && entry.id <= kMaxPowerId) character.cooldown[entry.id] = entry.cooldown;
}

void read_item(const XmlElement& element, const std::string& file_name) {
    InventoryEntry entry;
    check_values(kItemFields, element, file_name);
    read_fields<InventoryEntry>(kItemFields, entry, element, file_name,
                                unknown_attribute(" in item tag in character xml file ", file_name));
    // Only types of the item table: any other number would index outside it.
    if (entry.type >= kFirstItemId && entry.type <= kLastItemId) g_items.inventory.append() = entry;
}

}  // namespace

void save_character(const CharacterRecord& character, const std::string& file_name) {
    XmlDocument document;
    XmlElement* root = document.create_root("character");
    if (!root) raise_error("save_character(): could not create xml structure in memory!");
    write_fields<CharacterRecord>(kRootFields, character, *root);
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        if (g_db.abilities[id].name.empty()) continue;
        SavedAbility entry;
        static_cast<AbilityState&>(entry) = character.abilities[id];
        entry.id = static_cast<int16_t>(id);
        write_fields<SavedAbility>(kAbilityFields, entry, *root->add_child("ability"));
    }
    for (int id = 0; id < kCooldownCount; ++id) {
        if (character.cooldown[id] <= 0) continue;
        write_fields<SavedCooldown>(kPowerFields, {static_cast<int16_t>(id), character.cooldown[id]},
                                    *root->add_child("power"));
    }
    for (const InventoryEntry& entry : g_items.inventory)
        write_fields<InventoryEntry>(kItemFields, entry, *root->add_child("item"));
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
    if (root->name != "character")
        raise_error("load_character(): the root element of character file " + quoted(file_name) + " is <" + root->name +
                    ">, not <character>");
    check_values(kRootFields, *root, file_name);
    read_fields<CharacterRecord>(kRootFields, character, *root, file_name,
                                 unknown_attribute(" in root node in file ", file_name));
    for (const XmlElement& child : children_of(*root)) {
        if (child.name == "ability") read_ability(character, child, file_name);
        else if (child.name == "power") read_power(character, child, file_name);
        else if (child.name == "item") read_item(child, file_name);
        else raise_error("load_character(): unknown tag " + quoted(child.name) + " in file " + quoted(file_name));
    }
}

const XmlFileFormat& character_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "character";
        f.title = "The character file";
        f.files = "savegame\\character.xml";
        f.about =
            "The saved character: where it stands, its abilities, the powers cooling down and what it carries. "
            "The game writes it at a new game, at Escape and at the end, and deletes it when the character dies.";
        f.written = true;
        f.elements = {
            {.name = "character",
             .about = "The character (a file with another root element is refused).",
             .attributes = describe_fields<CharacterRecord>(kRootFields, true),
             .children = {"ability", "power", "item"}},
            {.name = "ability",
             .about = "The state of one ability (written for every ability of the database).",
             .attributes = describe_fields<SavedAbility>(kAbilityFields, true)},
            {.name = "power",
             .about = "A power cooling down (written while its cooldown is above 0).",
             .attributes = describe_fields<SavedCooldown>(kPowerFields, true)},
            {.name = "item",
             .about = "One entry of the inventory, in inventory order.",
             .attributes = describe_fields<InventoryEntry>(kItemFields, true)},
        };
        return f;
    }();
    return format;
}

void delete_savegame() { clear_saved_game("savegame", "character.xml"); }
