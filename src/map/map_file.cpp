#include "map/map_file.h"

#include <climits>

#include "common/common_state.h"
#include "common/database.h"
#include "common/raise_error.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/tileset.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "map/map_state.h"

namespace {



// A number of the file as a plain int, saturated, so that a huge value is
// reported by the checks instead of wrapping onto the grid.
int number(const std::string& text) {
    long long value = text_to_int(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}


[[noreturn]] void unknown_attribute(const std::string& attribute, const std::string& where, const std::string& path) {
    raise_error("load_map(): unknown attribute " + quoted(attribute) + where + quoted(path));
}

void read_root_attributes(GameMap& map, const XmlElement& root, const std::string& path) {
    for (const auto& [attribute, value] : root.attributes) {
        if (attribute == "Umbrane_version" || attribute == "filename") continue;
        if (attribute == "name") map.name = value;
        else if (attribute == "tileset_definition_filename") map.tileset.definition_filename = file_part(value);
        else if (attribute == "tileset_image_filename") map.tileset.image_filename = file_part(value);
        else if (attribute == "tile_outside_map") map.tile_outside_map = wrap16(text_to_int(value));
        else if (attribute == "default_tile") map.default_tile = wrap16(text_to_int(value));
        else if (attribute == "background_tile") map.background_tile = wrap16(text_to_int(value));
        else if (attribute == "spawn_monster_level") map.spawn_monster_level = wrap16(text_to_int(value));
        else if (attribute == "spawn_monster_chance") map.spawn_monster_chance = wrap16(text_to_int(value));
        else if (attribute == "lighting") {
            long long lighting = text_to_int(value);
            if (lighting < 0 || lighting > 8)
                raise_error("load_map(): wrong lighting attribute " + quoted(int_to_text(lighting)) +
                            " in map file " + quoted(path));
            map.lighting = static_cast<uint8_t>(lighting);
        } else if (attribute == "visited") map.visited = yes_flag(value);
        else unknown_attribute(attribute, " in main node in map file ", path);
    }
}

void read_field(GameMap& map, const XmlElement& element, const std::string& path) {
    int x = -1, y = -1;
    std::string portal_mapfile, line1, line2, power_used, event;
    int portal_x = 0, portal_y = 0, message_tile = 0, event_triggered = 0, event_xp = 0;
    int visited = 0, hidden = 0;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "x") x = number(value);
        else if (attribute == "y") y = number(value);
        else if (attribute == "portal_mapfile") portal_mapfile = value;
        else if (attribute == "portal_x") portal_x = number(value);
        else if (attribute == "portal_y") portal_y = number(value);
        else if (attribute == "message_line1") line1 = value;
        else if (attribute == "message_line2") line2 = value;
        else if (attribute == "message_tile") message_tile = number(value);
        else if (attribute == "power_used") power_used = value;
        else if (attribute == "visited") visited = yes_flag(value);
        else if (attribute == "hidden") hidden = yes_flag(value);
        else if (attribute == "event") event = value;
        else if (attribute == "event_triggered") event_triggered = number(value) != 0 ? 1 : 0;
        else if (attribute == "event_xp") event_xp = number(value);
        else unknown_attribute(attribute, " in field tag in map file ", path);
    }
    // The tile type is the element's text; line breaks around it (a hand-formatted file) do not count.
    const std::string& content = element.text;
    size_t first = content.find_first_not_of(" \t\r\n");
    if (x != -1 && y != -1) set_map_tile_type(map, x, y, number(first == std::string::npos ? "" : content.substr(first)));
    if (!portal_mapfile.empty()) set_map_portal(map, x, y, portal_mapfile, portal_x, portal_y);
    set_map_message(map, x, y, line1, line2, message_tile);
    set_map_power_used(map, x, y, power_used);
    set_map_hidden(map, x, y, hidden);
    set_map_visited(map, x, y, visited);
    if (!event.empty()) {
        set_map_event(map, x, y, event, event_xp);
        add_map_event(event, event_triggered, event_xp);
    }
}

void read_transformation(const XmlElement& element, const std::string& path) {
    Transformation record;
    record.x = -1;
    record.y = -1;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "event") record.event = value;
        else if (attribute == "x") record.x = wrap8(text_to_int(value));
        else if (attribute == "y") record.y = wrap8(text_to_int(value));
        else if (attribute == "tile_type") record.tile_type = wrap16(text_to_int(value));
        else if (attribute == "portal_mapfile") record.portal_mapfile = value;
        else if (attribute == "portal_x") record.portal_x = wrap8(text_to_int(value));
        else if (attribute == "portal_y") record.portal_y = wrap8(text_to_int(value));
        else if (attribute == "message_line1") record.message_line1 = value;
        else if (attribute == "message_line2") record.message_line2 = value;
        else if (attribute == "message_tile") record.message_tile = wrap16(text_to_int(value));
        else if (attribute == "new_event") record.new_event = value;
        else if (attribute == "triggered") record.triggered = text_to_int(value) != 0 ? 1 : 0;
        else unknown_attribute(attribute, " in transformation tag in map file ", path);
    }
    add_transformation(record);
}

void read_monster(const XmlElement& element, const std::string& path) {
    long long type = 0;
    Monster record;
    std::string status;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "type") type = text_to_int(value);
        else if (attribute == "xpos") record.x = wrap16(text_to_int(value));
        else if (attribute == "ypos") record.y = wrap16(text_to_int(value));
        else if (attribute == "hitpoints") record.hitpoints = wrap16(text_to_int(value));
        else if (attribute == "alerted") record.alerted = yes_flag(value);
        else if (attribute == "effect") status = value;
        else unknown_attribute(attribute, " in monster tag in map file ", path);
    }
    // Only ids the monster type table can hold are placed; anything else would
    // index past the table wherever the monster is drawn or acts.
    if (type <= 0 || type > kMaxMonsterTypeId) return;
    record.type = static_cast<int16_t>(type);
    if (add_monster(record)) g_map.monsters.current().status = status;  // kept across saving and loading
}

void read_item(const XmlElement& element, const std::string& path) {
    long long type = 0;
    int16_t x = 0, y = 0;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "xpos") x = wrap16(text_to_int(value));
        else if (attribute == "ypos") y = wrap16(text_to_int(value));
        else if (attribute == "type") type = text_to_int(value);
        else unknown_attribute(attribute, " in item tag in map xml file ", path);
    }
    // As with monsters: only ids of the item type table.
    if (type <= 0 || type > kLastItemId) return;
    MapItem& item = g_map.items.append();
    item.x = x;
    item.y = y;
    item.type = static_cast<int16_t>(type);
}

void read_dungeon(const XmlElement& element, const std::string& path) {
    DungeonRecord record;
    for (const auto& [attribute, value] : element.attributes) {
        if (attribute == "xpos") record.xpos = wrap16(text_to_int(value));
        else if (attribute == "ypos") record.ypos = wrap16(text_to_int(value));
        else if (attribute == "name") record.name = value;
        else if (attribute == "map_filename") record.map_filename = value;
        else if (attribute == "number_of_levels") record.number_of_levels = wrap16(text_to_int(value));
        else if (attribute == "dimension_x") record.dimension_x = static_cast<uint8_t>(wrap8(text_to_int(value)));
        else if (attribute == "dimension_y") record.dimension_y = static_cast<uint8_t>(wrap8(text_to_int(value)));
        else if (attribute == "entrance_to_level") record.entrance_to_level = wrap16(text_to_int(value));
        else if (attribute == "difficulty_level") record.difficulty_level = wrap16(text_to_int(value));
        else if (attribute == "lighting") record.lighting = static_cast<uint8_t>(wrap8(text_to_int(value)));
        else if (attribute == "default_tile") record.default_tile = wrap16(text_to_int(value));
        else if (attribute == "background_tile") record.background_tile = wrap16(text_to_int(value));
        else if (attribute == "tile_outside_map") record.tile_outside_map = wrap16(text_to_int(value));
        else if (attribute == "main_treasure") record.main_treasure = wrap16(text_to_int(value));
        else if (attribute == "bottom_portal") record.bottom_portal = value;
        else if (attribute == "bottom_portal_target_x") record.bottom_portal_target_x = wrap16(text_to_int(value));
        else if (attribute == "bottom_portal_target_y") record.bottom_portal_target_y = wrap16(text_to_int(value));
        else if (attribute == "bottom_portal_tile") record.bottom_portal_tile = wrap16(text_to_int(value));
        else if (attribute == "traps_per_level") record.traps_per_level = wrap16(text_to_int(value));
        else unknown_attribute(attribute, " in dungeon tag in map xml file ", path);
    }
    if (!record.name.empty()) g_map.level_exits.append() = record;
}

std::string text(long long value) { return int_to_text(value); }

}  // namespace

void load_map(GameMap& map, const std::string& path, int tileset_flag) {
    reset_map(map);  // also empties the event, transformation, monster, item and level exit lists

    XmlDocument document;
    if (!document.load(path)) raise_error("load_map(): could not open map xml file: " + quoted(path));
    if (document.status() != 0 || !document.root())
        raise_error("load_map(): error in xml structure of map file " + quoted(path) + ": " + document.error_text());

    const XmlElement& root = *document.root();
    read_root_attributes(map, root, path);
    fill_map(map, map.default_tile);

    for (const auto& child : root.children) {
        const XmlElement& element = *child;
        if (element.name == "field") read_field(map, element, path);
        else if (element.name == "transformation") read_transformation(element, path);
        else if (element.name == "monster") read_monster(element, path);
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
    root->set_attribute("Umbrane_version", g_common.version);
    root->set_attribute("name", map.name);
    root->set_attribute("filename", file_part(path));
    root->set_attribute("tileset_definition_filename", map.tileset.definition_filename);
    root->set_attribute("tileset_image_filename", map.tileset.image_filename);
    root->set_attribute("tile_outside_map", text(map.tile_outside_map));
    root->set_attribute("default_tile", text(map.default_tile));
    root->set_attribute("background_tile", text(map.background_tile));
    root->set_attribute("spawn_monster_level", text(map.spawn_monster_level));
    root->set_attribute("spawn_monster_chance", text(map.spawn_monster_chance));
    root->set_attribute("lighting", text(map.lighting));
    if (map.visited) root->set_attribute("visited", "yes");

    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            const MapField& field = map.fields[y][x];
            // A message tile alone does not make a field worth writing (it shows nothing
            // without a message). The powers used on a field do: left out, they would be
            // lost with every save, and a used-up field could be used again.
            bool differs = field.tile_type != map.default_tile || !field.portal_mapfile.empty() ||
                           !field.event.empty() || !field.message_line1.empty() || !field.message_line2.empty() ||
                           field.visited || field.hidden || !field.power_used.empty();
            if (!differs) continue;
            XmlElement* element = root->add_child("field");
            element->set_attribute("x", text(x));
            element->set_attribute("y", text(y));
            if (!field.portal_mapfile.empty()) {
                element->set_attribute("portal_mapfile", field.portal_mapfile);
                element->set_attribute("portal_x", text(field.portal_x));
                element->set_attribute("portal_y", text(field.portal_y));
            }
            if (!field.message_line1.empty() || !field.message_line2.empty()) {
                element->set_attribute("message_line1", field.message_line1);
                element->set_attribute("message_line2", field.message_line2);
                element->set_attribute("message_tile", text(field.message_tile));
            }
            if (!field.power_used.empty()) element->set_attribute("power_used", field.power_used);
            if (field.visited) element->set_attribute("visited", "yes");
            if (field.hidden) element->set_attribute("hidden", "yes");
            if (!field.event.empty()) {
                element->set_attribute("event", field.event);
                if (map_event_triggered(field.event)) element->set_attribute("event_triggered", "1");
                if (field.event_xp > 0) element->set_attribute("event_xp", text(field.event_xp));
            }
            element->text = text(field.tile_type);
        }

    for (const Transformation& record : g_map.transformations) {
        XmlElement* element = root->add_child("transformation");
        element->set_attribute("event", record.event);
        element->set_attribute("x", text(record.x));
        element->set_attribute("y", text(record.y));
        element->set_attribute("tile_type", text(record.tile_type));
        element->set_attribute("portal_mapfile", record.portal_mapfile);
        element->set_attribute("portal_x", text(record.portal_x));
        element->set_attribute("portal_y", text(record.portal_y));
        element->set_attribute("message_line1", record.message_line1);
        element->set_attribute("message_line2", record.message_line2);
        element->set_attribute("message_tile", text(record.message_tile));
        element->set_attribute("new_event", record.new_event);
        element->set_attribute("triggered", text(record.triggered ? 1 : 0));
    }

    for (const Monster& monster : g_map.monsters) {
        XmlElement* element = root->add_child("monster");
        element->set_attribute("type", text(monster.type));
        element->set_attribute("xpos", text(monster.x));
        element->set_attribute("ypos", text(monster.y));
        element->set_attribute("hitpoints", text(monster.hitpoints));
        if (monster.alerted) element->set_attribute("alerted", "yes");
        if (!monster.status.empty()) element->set_attribute("effect", monster.status);
    }

    for (const MapItem& item : g_map.items) {
        XmlElement* element = root->add_child("item");
        element->set_attribute("xpos", text(item.x));
        element->set_attribute("ypos", text(item.y));
        element->set_attribute("type", text(item.type));
    }

    for (const DungeonRecord& record : g_map.level_exits) {
        XmlElement* element = root->add_child("dungeon");
        element->set_attribute("xpos", text(record.xpos));
        element->set_attribute("ypos", text(record.ypos));
        element->set_attribute("name", record.name);
        element->set_attribute("map_filename", record.map_filename);
        element->set_attribute("number_of_levels", text(record.number_of_levels));
        element->set_attribute("dimension_x", text(record.dimension_x));
        element->set_attribute("dimension_y", text(record.dimension_y));
        element->set_attribute("entrance_to_level", text(record.entrance_to_level));
        element->set_attribute("difficulty_level", text(record.difficulty_level));
        element->set_attribute("lighting", text(record.lighting));
        element->set_attribute("default_tile", text(record.default_tile));
        element->set_attribute("background_tile", text(record.background_tile));
        element->set_attribute("tile_outside_map", text(record.tile_outside_map));
        element->set_attribute("main_treasure", text(record.main_treasure));
        element->set_attribute("bottom_portal", record.bottom_portal);
        element->set_attribute("bottom_portal_target_x", text(record.bottom_portal_target_x));
        element->set_attribute("bottom_portal_target_y", text(record.bottom_portal_target_y));
        element->set_attribute("bottom_portal_tile", text(record.bottom_portal_tile));
        element->set_attribute("traps_per_level", text(record.traps_per_level));
    }

    if (!document.save(path)) raise_error("Could not save map data to file " + quoted(path));
}
