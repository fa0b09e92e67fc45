#include "map/tileset.h"

#include <type_traits>
#include <variant>

#include "character/abilities_db.h"
#include "common/names.h"
#include "common/player_language.h"
#include "common/raise_error.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

const char kQuote = '"';

// The game only reads definition files: the tables say what each element may carry.

// The root element: its own name and the version that wrote it, accepted and ignored.
const XmlField<Tileset> kDefinitionRootFields[] = {
    {.name = "filename", .kind = FieldKind::text, .write = WriteRule::never},
    {.name = "Umbrane_version", .kind = FieldKind::text, .write = WriteRule::never},
};

// A tile_type element: what it says about its tile type. The id names the
// entry and is read on its own; it is no part of the entry.
const XmlField<TileType> kTileTypeFields[] = {
    {.name = "id", .write = WriteRule::never},
    {"name", &TileType::name, FieldKind::text},
    {"solid", &TileType::solid, FieldKind::flag},
    {"blocks_flight", &TileType::blocks_flight, FieldKind::flag},
    {"transparent", &TileType::transparent, FieldKind::flag},
    {"message", &TileType::message, FieldKind::text},
    {"remove_after_entering", &TileType::remove_after_entering, FieldKind::flag},
    {.name = "sound", .member = &TileType::sound, .kind = FieldKind::text, .names = names::sound},
    {.name = "transforms_into", .member = &TileType::transforms_into, .names = names::tile_type},
    {"class", &TileType::cls, FieldKind::text},
    {"container", &TileType::container},
    {"hidden", &TileType::hidden, FieldKind::flag},
    {"detection_message", &TileType::detection_message, FieldKind::text},
    {.name = "detection_sound", .member = &TileType::detection_sound, .kind = FieldKind::text, .names = names::sound},
    {.name = "animation_enter",
     .member = &TileType::animation_enter,
     .kind = FieldKind::text,
     .names = names::animation},
};

// A modify_attribute child: one effect slot of its tile type.
const XmlField<TileModifyAttribute> kModifyAttributeFields[] = {
    {.name = "attribute", .member = &TileModifyAttribute::attribute, .names = names::ability},
    {.name = "attribute_name",
     .member = &TileModifyAttribute::attribute_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"amount", &TileModifyAttribute::amount},
    {"amount_randomized", &TileModifyAttribute::amount_randomized, FieldKind::flag},
    // Accepted; the reducing ability is chosen by its name only.
    {.name = "amount_reduced_by_ability", .write = WriteRule::never},
    {.name = "amount_reduced_by_ability_name",
     .member = &TileModifyAttribute::amount_reduced_by_ability_name,
     .kind = FieldKind::text,
     .names = names::ability_name},
    {"replenish", &TileModifyAttribute::replenish, FieldKind::flag},
    {"trigger_hidden", &TileModifyAttribute::trigger_hidden, FieldKind::flag},
    {"turn_ends", &TileModifyAttribute::turn_ends, FieldKind::flag},
};

auto unknown_attribute(const std::string& where, const std::string& definition_name) {
    return [&where, &definition_name](const std::string& attribute) {
        raise_error("load_tile_type_definition(): unknown attribute " + quoted(attribute) + where +
                    quoted(definition_name));
    };
}

// The tile_type element's id; -1 when it has none.
long long tile_type_id(const XmlElement& element) {
    const std::string* id = element.attribute("id");
    return id ? text_to_int(*id) : -1;
}

void read_tile_type(const XmlElement& element, Tileset& ts, const std::string& definition_name) {
    // Every attribute is checked, even on an element that names no entry.
    TileType candidate;
    read_fields<TileType>(kTileTypeFields, candidate, element, definition_name,
                          unknown_attribute(" for tile_type tag in file ", definition_name));
    long long id = tile_type_id(element);
    if (id < 0 || id >= kTileTypeCount) return;  // skipped with its children
    TileType& entry = ts.tile_types[id];
    copy_fields<TileType>(kTileTypeFields, candidate, entry);

    int slots = 0;
    for (const XmlElement& child : children_of(element)) {
        // The language children take only a language attribute; the text in the
        // player's language replaces the attribute's.
        const std::string where = " in " + child.name + " tag in tileset xml file ";
        if (child.name == "name") {
            read_language_text(child, entry.name, unknown_attribute(where, definition_name));
        } else if (child.name == "message") {
            read_language_text(child, entry.message, unknown_attribute(where, definition_name));
        } else if (child.name == "detection_message") {
            read_language_text(child, entry.detection_message, unknown_attribute(where, definition_name));
        } else if (child.name == "modify_attribute") {
            TileModifyAttribute slot;
            read_fields<TileModifyAttribute>(kModifyAttributeFields, slot, child, definition_name,
                                             unknown_attribute(where, definition_name));
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
        // A file that is there but holds no whole picture (an empty one, a cut or damaged one) would
        // draw the world black without a word: it ends the game, naming the file in its real folder.
        const int sprite = sprite_load_any(path);
        if (sprite == 0) raise_error("load_tileset: cannot read the picture of tileset image file " + quoted(path));
        ts.sprite = sprite;
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
    read_fields<Tileset>(kDefinitionRootFields, ts, root, definition_name, [&](const std::string& attribute) {
        raise_error("load_tile_type_defition(): unknown attribute " + quoted(attribute) +
                    " in tileset definition file " + quoted(definition_name));
    });

    for (const XmlElement& child : children_of(root)) {
        if (child.name != "tile_type")
            raise_error("load_tile_type_definition(): unknown tag " + quoted(child.name) + " in file " +
                        definition_name + kQuote);
        read_tile_type(child, ts, definition_name);
    }

    resolve_tile_type_names(ts);
}

void resolve_tile_type_names(Tileset& ts) {
    // A name that matches no ability leaves the id as the file gave it.
    for (TileType& entry : ts.tile_types)
        for (TileModifyAttribute& slot : entry.modify_attribute) {
            if (int16_t id = find_ability(slot.attribute_name)) slot.attribute = id;
            if (int16_t id = find_ability(slot.amount_reduced_by_ability_name)) slot.amount_reduced_by_ability = id;
        }
}

const XmlFileFormat& tile_type_file_format() {
    static const XmlFileFormat format = [] {
        XmlFileFormat f;
        f.name = "tileset";
        f.title = "Tile type definition files";
        f.files = "tilesets\\*.xml, beside the tile sheet picture (tilesets\\*.png)";
        f.about =
            "What each tile type id of a tileset means in play. Tile type t is drawn from the cell t of the tile "
            "sheet (32 x 32 cells, numbered row by row). Generated levels use tiles_standard.xml with "
            "tiles_standard.png and rely on its tile types 2, 3, 6, 9, 140 and 141.";
        XmlElementFormat tile_type{
            .name = "tile_type",
            .about = "One tile type (a tile_type without an id in 0..499 is skipped with its children).",
            .attributes = describe_fields<TileType>(kTileTypeFields, false),
            .children = {"name", "message", "detection_message", "modify_attribute"}};
        f.elements = {
            {.name = "tileset",
             .about = "The tile types (the game does not test the root element's name).",
             .attributes = describe_fields<Tileset>(kDefinitionRootFields, false),
             .children = {"tile_type"}},
            tile_type,
            language_text_format("name", "The tile's name in one language."),
            language_text_format("message", "The message in one language."),
            language_text_format("detection_message", "The detection message in one language."),
            {.name = "modify_attribute",
             .about = "What entering the field does to an ability (at most three; one without attribute and "
                      "attribute_name is ignored).",
             .attributes = describe_fields<TileModifyAttribute>(kModifyAttributeFields, false)},
        };
        return f;
    }();
    return format;
}
