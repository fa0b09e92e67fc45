#include "map/tileset.h"


#include "common/database.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "common/raise_error.h"
#include "common/common_state.h"

namespace {

const char kQuote = '"';



// The language children (name, message, detection_message) take only a
// language attribute; the text replaces the default when the language is the player's.
void read_language_child(const XmlElement& child, std::string& target, const std::string& definition_name) {
    const std::string* language = nullptr;
    for (const auto& [attribute, value] : child.attributes) {
        if (attribute == "language") {
            language = &value;
        } else {
            raise_error("load_tile_type_definition(): unknown attribute " + quoted(attribute) + " in " + child.name +
                        " tag in tileset xml file " + quoted(definition_name));
        }
    }
    if (language && *language == g_common.preferences.language) target = child.text;
}

TileModifyAttribute read_modify_attribute(const XmlElement& child, const std::string& definition_name) {
    TileModifyAttribute slot;
    for (const auto& [attribute, value] : child.attributes) {
        if (attribute == "attribute") slot.attribute = wrap16(text_to_int(value));
        else if (attribute == "attribute_name") slot.attribute_name = value;
        else if (attribute == "amount") slot.amount = wrap16(text_to_int(value));
        else if (attribute == "amount_randomized") slot.amount_randomized = yes_flag(value);
        else if (attribute == "amount_reduced_by_ability") {
            // Accepted; the reducing ability is chosen by its name only.
        } else if (attribute == "amount_reduced_by_ability_name") slot.amount_reduced_by_ability_name = value;
        else if (attribute == "replenish") slot.replenish = yes_flag(value);
        else if (attribute == "trigger_hidden") slot.trigger_hidden = yes_flag(value);
        else if (attribute == "turn_ends") slot.turn_ends = yes_flag(value);
        else
            raise_error("load_tile_type_definition(): unknown attribute " + quoted(attribute) +
                        " in modify_attribute tag in tileset xml file " + quoted(definition_name));
    }
    return slot;
}

// Reads the attributes of a tile_type element into a candidate entry; returns its id (-1 when missing).
long long read_tile_type_attributes(const XmlElement& element, TileType& candidate,
                                    const std::string& definition_name) {
    long long id = -1;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "id") id = text_to_int(value);
        else if (attribute == "name") candidate.name = value;
        else if (attribute == "solid") candidate.solid = yes_flag(value);
        else if (attribute == "blocks_flight") candidate.blocks_flight = yes_flag(value);
        else if (attribute == "transparent") candidate.transparent = yes_flag(value);
        else if (attribute == "message") candidate.message = value;
        else if (attribute == "remove_after_entering") candidate.remove_after_entering = yes_flag(value);
        else if (attribute == "sound") candidate.sound = value;
        else if (attribute == "transforms_into") candidate.transforms_into = wrap16(text_to_int(value));
        else if (attribute == "class") candidate.cls = value;
        else if (attribute == "container") candidate.container = wrap8(text_to_int(value));
        else if (attribute == "hidden") candidate.hidden = yes_flag(value);
        else if (attribute == "detection_message") candidate.detection_message = value;
        else if (attribute == "detection_sound") candidate.detection_sound = value;
        else if (attribute == "animation_enter") candidate.animation_enter = value;
        else
            raise_error("load_tile_type_definition(): unknown attribute " + quoted(attribute) +
                        " for tile_type tag in file " + quoted(definition_name));
    }
    return id;
}

// Copies what the tile_type element's attributes give; the effect slots are filled by its children.
void copy_tile_type_attributes(const TileType& from, TileType& to) {
    to.name = from.name;
    to.solid = from.solid;
    to.blocks_flight = from.blocks_flight;
    to.transparent = from.transparent;
    to.message = from.message;
    to.remove_after_entering = from.remove_after_entering;
    to.sound = from.sound;
    to.cls = from.cls;
    to.transforms_into = from.transforms_into;
    to.container = from.container;
    to.hidden = from.hidden;
    to.detection_message = from.detection_message;
    to.detection_sound = from.detection_sound;
    to.animation_enter = from.animation_enter;
}

void read_tile_type(const XmlElement& element, Tileset& ts, const std::string& definition_name) {
    TileType candidate;
    long long id = read_tile_type_attributes(element, candidate, definition_name);
    if (id < 0 || id >= kTileTypeCount) return;  // skipped with its children
    TileType& entry = ts.tile_types[id];
    copy_tile_type_attributes(candidate, entry);

    int slots = 0;
    for (const auto& child_pointer : element.children) {
        const XmlElement& child = *child_pointer;
        if (child.name == "name") {
            read_language_child(child, entry.name, definition_name);
        } else if (child.name == "message") {
            read_language_child(child, entry.message, definition_name);
        } else if (child.name == "detection_message") {
            read_language_child(child, entry.detection_message, definition_name);
        } else if (child.name == "modify_attribute") {
            TileModifyAttribute slot = read_modify_attribute(child, definition_name);
            if (slot.attribute <= 0 && slot.attribute_name.empty()) continue;
            if (slots >= kTileEffectSlots)
                raise_error(
                    "load_tile_type_definition(): too much modify_attribute tags for one tile type in tileset xml "
                    "file " +
                    quoted(definition_name));
            entry.modify_attribute[slots++] = slot;
        } else {
            raise_error("load_tile_type_definition(): unknown tag " + quoted(child.name) + " in tileset xml file " +
                        definition_name + kQuote);
        }
    }
}

}  // namespace

void reset_tile_types(Tileset& ts) {
    for (TileType& entry : ts.tile_types) entry = TileType{};
}

void reset_tileset(Tileset& ts) {
    if (ts.sprite_loaded && ts.sprite > 0) sprite_free(ts.sprite);
    ts.sprite = 0;
    ts.sprite_loaded = 0;
    ts.image_filename.clear();
    ts.definition_filename.clear();
    ts.tiles_high = 0;
    ts.tiles_wide = 0;
    reset_tile_types(ts);
}

void load_tileset(Tileset& ts, int load_image, int load_definition) {
    if (load_image) {
        const std::string image = file_part(ts.image_filename);
        const std::string path = "tilesets\\" + image;
        if (file_size(path) < 0)
            raise_error("load_tileset: cannot find tileset image file " + quoted("tiles\\" + image));
        if (ts.sprite_loaded && ts.sprite > 0) sprite_free(ts.sprite);
        ts.sprite = 0;
        ts.sprite_loaded = 0;
        ts.tiles_wide = 0;
        ts.tiles_high = 0;
        // A file that is there but holds no picture (an empty one, say) is no error: the sheet then
        // has no tiles and nothing is drawn from it (-1 names no sprite; 0 is a fixed sheet of the game).
        int sprite = sprite_load_any(path);
        ts.sprite = sprite != 0 ? sprite : -1;
        ts.tiles_wide = wrap16(sprite_width(ts.sprite) / 32);
        ts.tiles_high = wrap16(sprite_height(ts.sprite) / 32);
        ts.sprite_loaded = 1;
    }
    if (load_definition) load_tile_type_definition(ts);
}

void load_tile_type_definition(Tileset& ts) {
    const std::string& definition_name = ts.definition_filename;
    const std::string path = "tilesets\\" + file_part(definition_name);
    if (file_size(path) <= 0)
        raise_error("load_tile_type_defition(): could not find tile type definition xml file: " +
                    quoted(definition_name));
    XmlDocument document;
    if (!document.load(path))
        raise_error("load_tile_type_defition(): could not open tile type definition xml file: " +
                    quoted(definition_name));
    if (document.status() != 0 || !document.root())
        raise_error("load_tile_type_defition(): error in xml structure of map file " +
                    quoted(file_part(definition_name)) + ": " + document.error_text());

    reset_tile_types(ts);

    const XmlElement& root = *document.root();
    for (const auto& [attribute, value] : root.attributes) {
        if (attribute == "filename" || attribute == "Umbrane_version") continue;
        raise_error("load_tile_type_defition(): unknown attribute " + quoted(attribute) +
                    " in tileset definition file " + quoted(definition_name));
    }

    for (const auto& child : root.children) {
        if (child->name != "tile_type")
            raise_error("load_tile_type_definition(): unknown tag " + quoted(child->name) + " in file " +
                        definition_name + kQuote);
        read_tile_type(*child, ts, definition_name);
    }

    resolve_tile_type_names(ts);
}

void resolve_tile_type_names(Tileset& ts) {
    const auto& abilities = g_db.abilities;
    for (TileType& entry : ts.tile_types)
        for (TileModifyAttribute& slot : entry.modify_attribute)
            for (int id = 0; id <= kMaxAbilityId; ++id) {
                const std::string& name = abilities[id].name;
                // An empty name stands for no ability: it must not match the free ids.
                if (name.empty()) continue;
                if (name == slot.attribute_name) slot.attribute = static_cast<int16_t>(id);
                if (name == slot.amount_reduced_by_ability_name)
                    slot.amount_reduced_by_ability = static_cast<int16_t>(id);
            }
}
