#include "map/map_file.h"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

#include "common/database.h"
#include "common/names.h"
#include "common/raise_error.h"
#include "common/version_field.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "map/tileset.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "platform/xml_fields.h"
#include "platform/xml_format.h"

namespace {

// A number of the file as a plain int, saturated, so that a huge value is
// reported by the checks instead of wrapping onto the grid.
int saturated(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
int number(const std::string& text) { return saturated(text_to_int(text)); }

// The fields the character has seen, as one text: the lengths of the runs of
// unseen and seen fields in turn, row by row from (0, 0) as the field elements
// are written, beginning with an unseen run (0 when the first field was
// seen), separated by spaces; the unseen rest of the grid is left out.
std::string seen_runs(const GameMap& map) {
    std::vector<int> runs{0};
    bool seen = false;
    for (const auto& row : map.fields)
        for (const MapField& f : row) {
            if ((f.seen != 0) != seen) {
                runs.push_back(0);
                seen = !seen;
            }
            ++runs.back();
        }
    if (!seen) runs.pop_back();
    std::string text;
    for (int run : runs) text += (text.empty() ? "" : " ") + int_to_text(run);
    return text;
}

// A map file without the text (or a text that ends early) leaves the rest
// unseen. Runs are separated by blanks; one that is no number or below 0
// counts 0, and runs beyond the grid's 2,500 fields are cut off.
void read_seen_runs(GameMap& map, const std::string& text) {
    constexpr int kFields = kMapSize * kMapSize;
    constexpr const char* kBlanks = " \t\r\n";
    int field = 0;
    bool seen = false;
    size_t at = text.find_first_not_of(kBlanks);
    while (at != std::string::npos && field < kFields) {
        const size_t end = std::min(text.find_first_of(kBlanks, at), text.size());
        const long long run = std::clamp<long long>(text_to_int(text.substr(at, end - at)), 0, kFields);
        for (long long k = 0; k < run && field < kFields; ++k, ++field)
            map.fields[field / kMapSize][field % kMapSize].seen = seen ? 1 : 0;
        seen = !seen;
        at = text.find_first_not_of(kBlanks, end);
    }
}

bool anything_seen(const GameMap& map) {
    for (const auto& row : map.fields)
        for (const MapField& f : row)
            if (f.seen) return true;
    return false;
}

// The root element: the map record, in the order it is written.
const XmlField<GameMap> kMapFields[] = {
    version_field<GameMap>(),
    {"name", &GameMap::name, FieldKind::text},
    // Written as the file part of the path written to (save_map sets it in
    // its place); the map's own file name comes from the path it is loaded
    // from, so the file's is not read.
    {.name = "filename",
     .member = &GameMap::filename,
     .kind = FieldKind::text,
     .read = [](GameMap&, const std::string&, const std::string&) {}},
    // Written as stored; only the file part is read.
    {.name = "tileset_definition_filename",
     .kind = FieldKind::text,
     .read = [](GameMap& m, const std::string& v, const std::string&) {
         m.tileset.definition_filename = file_part(v);
     },
     .written = [](const GameMap& m) { return m.tileset.definition_filename; },
     .names = names::tileset_file},
    {.name = "tileset_image_filename",
     .kind = FieldKind::text,
     .read = [](GameMap& m, const std::string& v, const std::string&) {
         m.tileset.image_filename = file_part(v);
     },
     .written = [](const GameMap& m) { return m.tileset.image_filename; },
     .names = names::tileset_file},
    {.name = "tile_outside_map", .member = &GameMap::tile_outside_map, .names = names::tile_type},
    // The most common tile type of the grid when written; the tile of every field the file does not list.
    {.name = "default_tile", .member = &GameMap::default_tile, .names = names::tile_type},
    {.name = "background_tile", .member = &GameMap::background_tile, .names = names::tile_type},
    {"spawn_monster_level", &GameMap::spawn_monster_level},
    {"spawn_monster_chance", &GameMap::spawn_monster_chance},
    {.name = "lighting",
     .member = &GameMap::lighting,
     .read = [](GameMap& m, const std::string& v, const std::string& path) {
         long long lighting = text_to_int(v);
         if (lighting < 0 || lighting > 8)
             raise_error("load_map(): wrong lighting attribute " + quoted(int_to_text(lighting)) + " in map file " +
                         quoted(path));
         m.lighting = static_cast<uint8_t>(lighting);
     }},
    // "yes": solid fields stop light and sight (the view, the seen fields, powers' targets).
    {"walls_block_sight", &GameMap::walls_block_sight, FieldKind::flag},
    {"visited", &GameMap::visited, FieldKind::flag},
    // The fields the character has seen lit (see seen_runs); written when it saw any.
    {.name = "seen",
     .kind = FieldKind::text,
     .read = [](GameMap& m, const std::string& v, const std::string&) { read_seen_runs(m, v); },
     .write_if = anything_seen,
     .written = seen_runs,
     .written_when = "when the character has seen any field: the lengths of the runs of unseen and seen fields in "
                     "turn, row by row from 0, 0, beginning with an unseen run"},
};

// A field element: one field of the grid with its position and the fired
// state of its event; the tile type is the element's text. Positions and
// portal targets are read wide, so that set_map_tile_type and set_map_portal
// report a value off the grid as the file gives it.
struct SavedField : MapField {
    int x = -1;
    int y = -1;
    int target_x = 0;  // portal_x as read
    int target_y = 0;  // portal_y as read
    int8_t event_triggered = 0;
    bool event_fired = false;  // written: the map event list marks the field's event as fired
};

template <int SavedField::*Member>
void read_wide(SavedField& field, const std::string& value, const std::string&) {
    field.*Member = number(value);
}

bool has_portal(const SavedField& field) { return !field.portal_mapfile.empty(); }
bool has_message(const SavedField& field) { return !field.message_line1.empty() || !field.message_line2.empty(); }
bool has_event(const SavedField& field) { return !field.event.empty(); }

constexpr const char* kWithPortal = "when the field is a portal";
constexpr const char* kWithMessage = "when the field has a message";

const XmlField<SavedField> kFieldFields[] = {
    {.name = "x", .member = &SavedField::x, .read = read_wide<&SavedField::x>},
    {.name = "y", .member = &SavedField::y, .read = read_wide<&SavedField::y>},
    {.name = "portal_mapfile",
     .member = &SavedField::portal_mapfile,
     .kind = FieldKind::text,
     .write_if = has_portal,
     .names = names::map_file,
     .written_when = kWithPortal},
    {.name = "portal_x",
     .member = &SavedField::portal_x,
     .read = read_wide<&SavedField::target_x>,
     .write_if = has_portal,
     .written_when = kWithPortal},
    {.name = "portal_y",
     .member = &SavedField::portal_y,
     .read = read_wide<&SavedField::target_y>,
     .write_if = has_portal,
     .written_when = kWithPortal},
    {.name = "message_line1",
     .member = &SavedField::message_line1,
     .kind = FieldKind::text,
     .write_if = has_message,
     .written_when = kWithMessage},
    {.name = "message_line2",
     .member = &SavedField::message_line2,
     .kind = FieldKind::text,
     .write_if = has_message,
     .written_when = kWithMessage},
    {.name = "message_tile",
     .member = &SavedField::message_tile,
     .read = [](SavedField& f, const std::string& v, const std::string&) { f.message_tile = wrap16(number(v)); },
     .write_if = has_message,
     .names = names::tile_type,
     .written_when = kWithMessage},
    {"power_used", &SavedField::power_used, FieldKind::text, WriteRule::unless_default},
    {"visited", &SavedField::visited, FieldKind::flag},
    {"hidden", &SavedField::hidden, FieldKind::flag},
    {"event", &SavedField::event, FieldKind::text, WriteRule::unless_default},
    // "1" while the map event list marks the field's event as fired.
    {.name = "event_triggered",
     .member = &SavedField::event_triggered,
     .read = [](SavedField& f, const std::string& v, const std::string&) { f.event_triggered = number(v) != 0; },
     .write_if = [](const SavedField& f) { return has_event(f) && f.event_fired; },
     .written = [](const SavedField&) { return std::string("1"); },
     .written_when = "as 1 when the field's event has fired"},
    {.name = "event_xp",
     .member = &SavedField::event_xp,
     .read = [](SavedField& f, const std::string& v, const std::string&) { f.event_xp = wrap8(number(v)); },
     .write_if = [](const SavedField& f) { return has_event(f) && f.event_xp > 0; },
     .written_when = "when the field has an event worth advancement points"},
};

// A transformation element: every attribute always written.
const XmlField<Transformation> kTransformationFields[] = {
    {.name = "event", .member = &Transformation::event, .kind = FieldKind::text, .names = names::event},
    {"x", &Transformation::x},
    {"y", &Transformation::y},
    {.name = "tile_type", .member = &Transformation::tile_type, .names = names::tile_type},
    {.name = "portal_mapfile", .member = &Transformation::portal_mapfile, .kind = FieldKind::text, .names = names::map_file},
    {"portal_x", &Transformation::portal_x},
    {"portal_y", &Transformation::portal_y},
    {"message_line1", &Transformation::message_line1, FieldKind::text},
    {"message_line2", &Transformation::message_line2, FieldKind::text},
    {.name = "message_tile", .member = &Transformation::message_tile, .names = names::tile_type},
    {"new_event", &Transformation::new_event, FieldKind::text},
    {.name = "triggered",
     .member = &Transformation::triggered,
     .read = [](Transformation& t, const std::string& v, const std::string&) { t.triggered = text_to_int(v) != 0; },
     .written = [](const Transformation& t) { return std::string(t.triggered ? "1" : "0"); }},
};

// What a transformation element leaves out: no field (the position off the grid).
Transformation unplaced_transformation() {
    Transformation record;
    record.x = -1;
    record.y = -1;
    return record;
}

// A type outside the table reads as no type: such a monster or item is not
// placed, as anything else would index past the table wherever it is drawn or acts.
template <typename Record, long long Last>
void read_type(Record& record, const std::string& value, const std::string&) {
    long long type = text_to_int(value);
    record.type = type >= 1 && type <= Last ? static_cast<int16_t>(type) : 0;
}

// A monster element; its status words are written as "effect".
const XmlField<Monster> kMonsterFields[] = {
    {.name = "type", .member = &Monster::type, .read = read_type<Monster, kMaxMonsterTypeId>, .names = names::monster_type},
    {"xpos", &Monster::x},
    {"ypos", &Monster::y},
    {"hitpoints", &Monster::hitpoints},
    {"alerted", &Monster::alerted, FieldKind::flag},
    {"effect", &Monster::status, FieldKind::text, WriteRule::unless_default},
};

// An item element: where it lies, what it is, and what it still holds. Amount,
// fuel and magic bonus are written only when not 0, so a file without them (a
// shipped map, an older savegame) reads as before: a single piece, no fuel, no bonus.
const XmlField<MapItem> kItemFields[] = {
    {"xpos", &MapItem::x},
    {"ypos", &MapItem::y},
    {.name = "type", .member = &MapItem::type, .read = read_type<MapItem, kLastItemId>, .names = names::item_type},
    {"amount", &MapItem::amount, FieldKind::number, WriteRule::unless_default},
    {"fuel", &MapItem::fuel, FieldKind::number, WriteRule::unless_default},
    {"magic_bonus", &MapItem::magic_bonus, FieldKind::number, WriteRule::unless_default},
};

// A dungeon element: a level exit, every attribute always written; a fresh
// record holds the defaults of what the element leaves out.
const XmlField<DungeonRecord> kDungeonFields[] = {
    {"xpos", &DungeonRecord::xpos},
    {"ypos", &DungeonRecord::ypos},
    {"name", &DungeonRecord::name, FieldKind::text},
    {"map_filename", &DungeonRecord::map_filename, FieldKind::text},
    {"number_of_levels", &DungeonRecord::number_of_levels},
    {"dimension_x", &DungeonRecord::dimension_x},
    {"dimension_y", &DungeonRecord::dimension_y},
    {"entrance_to_level", &DungeonRecord::entrance_to_level},
    {"difficulty_level", &DungeonRecord::difficulty_level},
    {"lighting", &DungeonRecord::lighting},
    {.name = "default_tile", .member = &DungeonRecord::default_tile, .names = names::level_tile_type},
    {.name = "background_tile", .member = &DungeonRecord::background_tile, .names = names::level_tile_type},
    {.name = "tile_outside_map", .member = &DungeonRecord::tile_outside_map, .names = names::level_tile_type},
    // 0: a random artefact.
    {.name = "main_treasure", .member = &DungeonRecord::main_treasure, .names = names::item_type},
    {.name = "bottom_portal", .member = &DungeonRecord::bottom_portal, .kind = FieldKind::text, .names = names::map_file},
    {"bottom_portal_target_x", &DungeonRecord::bottom_portal_target_x},
    {"bottom_portal_target_y", &DungeonRecord::bottom_portal_target_y},
    {.name = "bottom_portal_tile", .member = &DungeonRecord::bottom_portal_tile, .names = names::level_tile_type},
    {"traps_per_level", &DungeonRecord::traps_per_level},
    // "yes": the levels' solid fields stop light and sight.
    {"walls_block_sight", &DungeonRecord::walls_block_sight, FieldKind::flag},
    // How the levels are made: the maze, or rooms joined by corridors, or caverns.
    {.name = "level_maker",
     .member = &DungeonRecord::level_maker,
     .kind = FieldKind::text,
     .write = WriteRule::unless_default,
     .read = [](DungeonRecord& r, const std::string& v, const std::string& path) {
         if (v != "maze" && v != "rooms" && v != "caverns")
             raise_error("load_map(): wrong level_maker attribute " + quoted(v) + " in map file " + quoted(path));
         r.level_maker = v;
     },
     .words = "maze|rooms|caverns"},
    // The options below are written only when set, so that levels of a dungeon
    // without them are saved as before.
    // A class word: only monster types whose class list holds it live in the levels.
    {"monster_class", &DungeonRecord::monster_class, FieldKind::text, WriteRule::unless_default},
    // Put beside the treasure (or the way on) of the bottom level; 0: none.
    {.name = "bottom_monster",
     .member = &DungeonRecord::bottom_monster,
     .write = WriteRule::unless_default,
     .names = names::monster_type},
    // "yes": the fall of the bottom monster wins the game.
    {"final", &DungeonRecord::is_final, FieldKind::flag},
    // Traps added to traps_per_level for every level below the first.
    {"traps_per_level_step", &DungeonRecord::traps_per_level_step, FieldKind::number, WriteRule::unless_default},
    // "yes": a maze whose main passage ends near the arrival has its way down
    // (or treasure) on the floor furthest to walk to instead.
    {"way_down_far", &DungeonRecord::way_down_far, FieldKind::flag},
};

auto unknown_attribute(const std::string& where, const std::string& path) {
    return [&where, &path](const std::string& attribute) {
        raise_error("load_map(): unknown attribute " + quoted(attribute) + where + quoted(path));
    };
}

void read_field_element(GameMap& map, const XmlElement& element, const std::string& path, MapListIndex& lists) {
    SavedField f;
    read_fields<SavedField>(kFieldFields, f, element, path, unknown_attribute(" in field tag in map file ", path));
    // The tile type is the element's text; line breaks around it (a hand-formatted file) do not count.
    const std::string& content = element.text;
    size_t first = content.find_first_not_of(" \t\r\n");
    if (f.x != -1 && f.y != -1)
        set_map_tile_type(map, f.x, f.y, number(first == std::string::npos ? "" : content.substr(first)));
    if (!f.portal_mapfile.empty()) set_map_portal(map, f.x, f.y, f.portal_mapfile, f.target_x, f.target_y);
    set_map_message(map, f.x, f.y, f.message_line1, f.message_line2, f.message_tile);
    set_map_power_used(map, f.x, f.y, f.power_used);
    set_map_hidden(map, f.x, f.y, f.hidden);
    set_map_visited(map, f.x, f.y, f.visited);
    if (!f.event.empty()) {
        set_map_event(map, f.x, f.y, f.event, f.event_xp);
        lists.add_map_event(f.event, f.event_triggered, f.event_xp);
    }
}

void read_transformation(const XmlElement& element, const std::string& path, MapListIndex& lists) {
    lists.add_transformation(read_transformation_element(element, path));
}

void read_monster(const XmlElement& element, const std::string& path, MapListIndex& lists) {
    Monster record;
    read_fields<Monster>(kMonsterFields, record, element, path,
                         unknown_attribute(" in monster tag in map file ", path));
    if (record.type == 0) return;
    // add_monster starts every monster without status words; the file's are kept across saving and loading.
    if (lists.add_monster(record)) g_map.monsters.current().status = record.status;
}

void read_item(const XmlElement& element, const std::string& path) {
    MapItem record;
    read_fields<MapItem>(kItemFields, record, element, path, unknown_attribute(" in item tag in map xml file ", path));
    if (record.type != 0) g_map.items.append() = record;
}

void read_dungeon(const XmlElement& element, const std::string& path) {
    const DungeonRecord record = read_dungeon_element(element, path);
    if (!record.name.empty()) g_map.level_exits.append() = record;
}

// The fields that differ from a plain default_tile field, with their positions.
// A message tile alone does not make a field worth writing (it shows nothing
// without a message). The powers used on a field do: left out, they would be
// lost with every save, and a used-up field could be used again.
void write_grid(const GameMap& map, XmlElement& root) {
    std::unordered_set<std::string> fired;
    for (const MapEvent& event : g_map.events)
        if (event.triggered) fired.insert(event.name);
    SavedField saved;  // one staging record for all: its texts keep their room from field to field
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            const MapField& field = map.fields[y][x];
            bool differs = field.tile_type != map.default_tile || !field.portal_mapfile.empty() ||
                           !field.event.empty() || !field.message_line1.empty() || !field.message_line2.empty() ||
                           field.visited || field.hidden || !field.power_used.empty();
            if (!differs) continue;
            static_cast<MapField&>(saved) = field;
            saved.x = x;
            saved.y = y;
            saved.event_fired = !field.event.empty() && fired.count(field.event) != 0;
            XmlElement* element = root.add_child("field");
            write_fields<SavedField>(kFieldFields, saved, *element);
            element->text = int_to_text(field.tile_type);
        }
}

}  // namespace

Transformation read_transformation_element(const XmlElement& element, const std::string& path) {
    Transformation record = unplaced_transformation();
    read_fields<Transformation>(kTransformationFields, record, element, path,
                                unknown_attribute(" in transformation tag in map file ", path));
    return record;
}

DungeonRecord read_dungeon_element(const XmlElement& element, const std::string& path) {
    DungeonRecord record;
    read_fields<DungeonRecord>(kDungeonFields, record, element, path,
                               unknown_attribute(" in dungeon tag in map xml file ", path));
    return record;
}

void load_map(GameMap& map, const std::string& path, int tileset_flag) {
    reset_map(map);  // also empties the event, transformation, monster, item and level exit lists

    XmlDocument document;
    if (!document.load(path)) raise_error("load_map(): could not open map xml file: " + quoted(path));
    if (document.status() != 0 || !document.root())
        raise_error("load_map(): error in xml structure of map file " + quoted(path) + ": " + document.error_text());

    const XmlElement& root = *document.root();
    read_fields<GameMap>(kMapFields, map, root, path, unknown_attribute(" in main node in map file ", path));
    fill_map(map, map.default_tile);

    MapListIndex lists;  // the lists are empty: reset_map emptied them
    for (const XmlElement& element : children_of(root)) {
        if (element.name == "field") read_field_element(map, element, path, lists);
        else if (element.name == "transformation") read_transformation(element, path, lists);
        else if (element.name == "monster") read_monster(element, path, lists);
        else if (element.name == "item") read_item(element, path);
        else if (element.name == "dungeon") read_dungeon(element, path);
        else raise_error("load_map(): unknown tag " + quoted(element.name) + " in map file " + quoted(path));
    }

    if (map.tileset.definition_filename.empty())
        raise_error("load_map: could not find a tileset definition in map file " + quoted(file_part(path)));
    if (map.tileset.image_filename.empty())
        raise_error("load_map: could not find a tileset image in map file " + quoted(file_part(path)));
    if (tileset_flag == 1) load_tileset(map.tileset);

    map.filename = file_part(path);
}

void save_map(GameMap& map, const std::string& path) {
    map.default_tile = static_cast<int16_t>(most_common_tile_type(map));

    XmlDocument document;
    XmlElement* root = document.create_root("map");
    write_fields<GameMap>(kMapFields, map, *root);
    root->set_attribute("filename", file_part(path));  // the file names itself by the path it is written to

    write_grid(map, *root);
    for (const Transformation& record : g_map.transformations)
        write_fields<Transformation>(kTransformationFields, record, *root->add_child("transformation"));
    for (const Monster& monster : g_map.monsters)
        write_fields<Monster>(kMonsterFields, monster, *root->add_child("monster"));
    for (const MapItem& item : g_map.items) write_fields<MapItem>(kItemFields, item, *root->add_child("item"));
    for (const DungeonRecord& record : g_map.level_exits)
        write_fields<DungeonRecord>(kDungeonFields, record, *root->add_child("dungeon"));

    if (!document.save(path)) raise_error("Could not save map data to file " + quoted(path));
}

std::string map_file_path(const std::string& folder, const std::string& map_file) {
    return folder + "\\" + file_part(map_file);
}

const XmlFileFormat& map_file_format() {
    static const XmlFileFormat format = [] {
        const Transformation unplaced = unplaced_transformation();
        XmlFileFormat f;
        f.name = "map";
        f.title = "Map files";
        f.files = "maps\\*.xml (the game's maps, never written), savegame\\*.xml (every map visited or made)";
        f.about =
            "One map of 50 x 50 fields. A new game starts on maps\\map_start.xml. The game reads a visited map "
            "from savegame\\ and every other from maps\\; it writes maps to savegame\\ only.";
        f.written = true;
        f.elements = {
            {.name = "map",
             .about = "The map and its map-wide values (the game does not test the root element's name).",
             .attributes = describe_fields<GameMap>(kMapFields, true),
             .children = {"field", "transformation", "monster", "item", "dungeon"}},
            {.name = "field",
             .about = "A field that differs from a plain field of default_tile.",
             .attributes = describe_fields<SavedField>(kFieldFields, true),
             .text = XmlText::number,
             .text_about = "its tile type",
             .text_names = names::tile_type},
            {.name = "transformation",
             .about = "A rewrite of the field at x, y, applied when its event fires.",
             .attributes = describe_fields<Transformation>(kTransformationFields, true, &unplaced)},
            {.name = "monster",
             .about = "A monster standing on the map.",
             .attributes = describe_fields<Monster>(kMonsterFields, true)},
            {.name = "item",
             .about = "An item lying on the map.",
             .attributes = describe_fields<MapItem>(kItemFields, true)},
            {.name = "dungeon",
             .about = "A level exit: the field xpos, ypos leads into a generated dungeon level (one without a name "
                      "is dropped).",
             .attributes = describe_fields<DungeonRecord>(kDungeonFields, true)},
        };
        return f;
    }();
    return format;
}
