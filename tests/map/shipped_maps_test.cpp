// The shipped standard tileset and hand-made maps fit together and load.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "character/abilities_db.h"
#include "character/character_state.h"
#include "items/item_db.h"
#include "items/items_state.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "map/map_test_support.h"
#include "map/tileset.h"
#include "common/word_lists.h"
#include "map/map_lists.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/surface.h"
#include "platform/xml.h"
#include "common/common_state.h"

namespace {

const std::set<std::string> kSoundNames = {
    "oh_no", "evasion", "deathcry", "hit",   "failure", "fireball", "frost", "lightning", "heal",  "magic",
    "shield", "door",   "lever",    "splash", "burn",   "pickup",   "drink", "eat",       "levelup", "portal",
    "stairs", "trap",   "monster_die", "growl", "hiss", "poison", "teleport", "sleep"};

const std::set<std::string> kAnimationNames = {
    "",            "blue stars",    "red stars",     "purple stars",  "green stars",  "yellow stars",
    "aqua stars",  "grey stars",    "skull stars",   "mixed stars",   "blue circle",  "red circle",
    "purple circle", "green circle", "yellow circle", "aqua circle",  "grey circle",  "skull circle",
    "red cloud",   "green cloud",   "magic shield",  "battle rage",   "fire flood",   "wind flood",
    "cross flood"};

// Ids of the records of a shipped database file that carry a name.
std::set<int> named_ids(const std::string& path) {
    std::set<int> ids;
    XmlDocument document;
    if (!document.load(path) || document.status() != 0) return ids;
    for (const auto& child : document.root()->children) {
        const std::string* id = child->attribute("id");
        const std::string* name = child->attribute("name");
        if (id && name && !name->empty()) ids.insert(std::stoi(*id));
    }
    return ids;
}

class ShippedMaps : public ::testing::Test {
protected:
    void SetUp() override {
        game.copy_shipped("tilesets");
        game.copy_shipped("maps");
        game.copy_shipped("data");
        with_abilities = file_exists("data\\abilities.xml");
        if (with_abilities) load_abilities_db();
    }
    Tileset& standard_tileset() {
        Tileset& ts = g_map.map.tileset;
        ts.image_filename = "tiles_standard.png";
        ts.definition_filename = "tiles_standard.xml";
        load_tileset(ts);
        return ts;
    }
    TempGameFolder game;
    bool with_abilities = false;
    GameMap& map = g_map.map;
};

bool has_word(const std::string& list, const std::string& word) { return lists_share_entry(list, word, "|") != 0; }

TEST_F(ShippedMaps, StandardTilesetFitsTheCatalogue) {
    Tileset& ts = standard_tileset();
    EXPECT_GE(ts.tiles_wide * ts.tiles_high, 142);  // the sheet holds cells 140 and 141
    for (int id = 0; id < kTileTypeCount; ++id) {
        bool catalogued = id <= 58 || id == 140 || id == 141;
        EXPECT_EQ(!ts.tile_types[id].name.empty(), catalogued) << id;
        const TileType& tile = ts.tile_types[id];
        for (const std::string* sound : {&tile.sound, &tile.detection_sound}) {
            if (!sound->empty()) {
                EXPECT_TRUE(kSoundNames.count(*sound)) << id << " " << *sound;
            }
        }
        EXPECT_TRUE(kAnimationNames.count(tile.animation_enter)) << id;
        EXPECT_TRUE(tile.transforms_into == 0 || !ts.tile_types[tile.transforms_into].name.empty()) << id;
        for (const TileModifyAttribute& slot : tile.modify_attribute) {
            if (slot.attribute_name.empty()) continue;
            if (with_abilities) {
                EXPECT_GT(slot.attribute, 0) << id << " " << slot.attribute_name;
                if (!slot.amount_reduced_by_ability_name.empty()) {
                    EXPECT_GT(slot.amount_reduced_by_ability, 0) << id;
                }
            }
        }
    }
    // Traps: the class word "trap", hidden where generated, they hurt while still hidden and end the turn.
    std::vector<int> traps;
    for (int id = 0; id < kTileTypeCount; ++id)
        if (has_word(ts.tile_types[id].cls, "trap")) traps.push_back(id);
    EXPECT_EQ(traps, (std::vector<int>{9, 24, 25, 26}));
    for (int id : traps) {
        const TileType& trap = ts.tile_types[id];
        EXPECT_EQ(trap.modify_attribute[0].trigger_hidden, 1) << id;
        EXPECT_EQ(trap.modify_attribute[0].turn_ends, 1) << id;
        EXPECT_FALSE(trap.detection_message.empty()) << id;
        EXPECT_FALSE(trap.message.empty()) << id;
        EXPECT_EQ(trap.solid, 0) << id;
    }
    EXPECT_EQ(ts.tile_types[9].modify_attribute[0].attribute_name, "hit_points");
    EXPECT_LT(ts.tile_types[9].modify_attribute[0].amount, 0);
    // Tiles that level generation puts on floor can be walked on.
    for (int id : {1, 2, 3, 6, 9, 140, 141}) EXPECT_EQ(ts.tile_types[id].solid, 0) << id;
    EXPECT_EQ(ts.tile_types[4].solid, 1);
    EXPECT_EQ(ts.tile_types[4].blocks_flight, 1);
    // Doors and gates open into walkable tiles.
    for (auto [closed, open] : {std::pair{10, 11}, {14, 15}, {50, 11}}) {
        EXPECT_EQ(ts.tile_types[closed].solid, 1) << closed;
        EXPECT_EQ(ts.tile_types[closed].transforms_into, open) << closed;
        EXPECT_EQ(ts.tile_types[open].solid, 0) << open;
    }
    EXPECT_EQ(ts.tile_types[17].solid, 1);  // only flyers cross deep water
    EXPECT_EQ(ts.tile_types[17].blocks_flight, 0);
    EXPECT_LT(ts.tile_types[18].modify_attribute[0].amount, 0);  // lava burns
    EXPECT_GT(ts.tile_types[19].modify_attribute[0].amount, 0);  // the pool heals
    EXPECT_EQ(ts.tile_types[20].remove_after_entering, 1);       // the fountain runs dry
    EXPECT_EQ(ts.tile_types[20].modify_attribute[0].replenish, 1);
    EXPECT_GT(ts.tile_types[22].container, 0);
    EXPECT_EQ(ts.tile_types[9].message, "Spikes shoot up from the floor!");

    g_common.preferences.language = "German";
    load_tile_type_definition(ts);
    EXPECT_EQ(ts.tile_types[9].name, "Stachelfalle");
    EXPECT_EQ(ts.tile_types[9].message, "Stacheln schießen aus dem Boden!");
    EXPECT_EQ(ts.tile_types[50].detection_message, "Ein Luftzug verrät eine Geheimtür in der Wand!");
}

// Checks that hold for every shipped hand-made map; returns the portal targets it names.
std::set<std::string> check_loaded_map(const GameMap& map, const std::set<int>& monster_ids,
                                       const std::set<int>& item_ids) {
    std::set<std::string> targets;
    const Tileset& ts = map.tileset;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            EXPECT_FALSE(ts.tile_types[read_map_tile_type(map, x, y)].name.empty()) << x << "," << y;
            std::string target = read_map_portal_mapfilename(map, x, y);
            if (!target.empty()) targets.insert(target);
        }
    // A hidden field is drawn as the background tile: it must not block, and floor beside it looks the same.
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            if (!read_map_hidden(map, x, y)) continue;
            EXPECT_EQ(ts.tile_types[read_map_tile_type(map, x, y)].solid, 0) << x << "," << y;
            int alike = 0;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                if (!read_map_hidden(map, x + dx, y + dy) && read_map_tile_type(map, x + dx, y + dy) == map.background_tile)
                    ++alike;
            EXPECT_GE(alike, 1) << x << "," << y;
        }
    EXPECT_FALSE(map.name.empty());
    EXPECT_EQ(ts.tile_types[map.background_tile].solid, 0);
    EXPECT_EQ(ts.tile_types[map.tile_outside_map].solid, 1);  // nobody walks off the grid
    for (const Monster& monster : g_map.monsters) {
        EXPECT_TRUE(monster_ids.count(monster.type)) << monster.type;
        EXPECT_EQ(ts.tile_types[read_map_tile_type(map, monster.x, monster.y)].solid, 0);
        EXPECT_GT(monster.hitpoints, 0);
    }
    for (const MapItem& item : g_map.items) {
        EXPECT_TRUE(item_ids.count(item.type)) << item.type;
        EXPECT_EQ(ts.tile_types[read_map_tile_type(map, item.x, item.y)].solid, 0);
    }
    // Every event has its transformations, and every transformation an event on some field.
    for (const MapEvent& event : g_map.events)
        EXPECT_TRUE(std::any_of(g_map.transformations.begin(), g_map.transformations.end(),
                                [&](const Transformation& t) { return t.event == event.name; }))
            << event.name;
    for (const Transformation& t : g_map.transformations) {
        EXPECT_TRUE(std::any_of(g_map.events.begin(), g_map.events.end(),
                                [&](const MapEvent& e) { return e.name == t.event; }))
            << t.event;
        EXPECT_TRUE(on_map(t.x, t.y));
    }
    return targets;
}

TEST_F(ShippedMaps, StartMapAndItsNeighbourFitTogether) {
    std::set<int> monster_ids = named_ids("data\\monster.xml");
    std::set<int> item_ids = named_ids("data\\items.xml");
    ASSERT_FALSE(monster_ids.empty());
    ASSERT_FALSE(item_ids.empty());

    load_map(map, "maps\\map_start.xml", 1);
    EXPECT_EQ(map.filename, "map_start.xml");
    const Tileset& ts = map.tileset;
    EXPECT_EQ(ts.definition_filename, "tiles_standard.xml");
    EXPECT_EQ(ts.tile_types[read_map_tile_type(map, 2, 4)].solid, 0);  // where a new character stands
    EXPECT_TRUE(read_map_portal_mapfilename(map, 2, 4).empty());
    std::set<std::string> targets = check_loaded_map(map, monster_ids, item_ids);
    EXPECT_EQ(targets, (std::set<std::string>{"map_crypt.xml"}));

    // Within minutes a newcomer meets a hidden trap beside the path east of the
    // start, and a monster that has already noticed the character.
    EXPECT_EQ(read_map_hidden(map, 8, 3) + read_map_hidden(map, 14, 5), 2);
    EXPECT_TRUE(std::any_of(g_map.monsters.begin(), g_map.monsters.end(), [](const Monster& m) { return m.alerted; }));

    // The lever opens the gate: a solid gate becomes a walkable one when the lever's event fires.
    ASSERT_EQ(g_map.events.count(), 1);
    const std::string lever_event = g_map.events.begin()->name;
    bool gate_opens = false;
    for (const Transformation& t : g_map.transformations) {
        if (t.event != lever_event) continue;
        if (ts.tile_types[read_map_tile_type(map, t.x, t.y)].solid && !ts.tile_types[t.tile_type].solid &&
            has_word(ts.tile_types[read_map_tile_type(map, t.x, t.y)].cls, "gate"))
            gate_opens = true;
    }
    EXPECT_TRUE(gate_opens);

    // The three dungeons, entered from the village, each deeper and harder than
    // the one before, each with a foe at its bottom; the bottom portal of each
    // leads beside the entrance of the next, the last one's home to the path.
    ASSERT_EQ(g_map.level_exits.count(), 3);
    const std::vector<DungeonRecord> dungeons(g_map.level_exits.begin(), g_map.level_exits.end());
    load_item_db();
    int levels = 0;
    std::set<int> own_tiles;
    for (size_t k = 0; k < dungeons.size(); ++k) {
        const DungeonRecord& cave = dungeons[k];
        SCOPED_TRACE(cave.name);
        levels += cave.number_of_levels;
        EXPECT_EQ(ts.tile_types[read_map_tile_type(map, cave.xpos, cave.ypos)].solid, 0);
        EXPECT_TRUE(read_map_portal_mapfilename(map, cave.xpos, cave.ypos).empty());
        EXPECT_EQ(cave.entrance_to_level, 1);
        EXPECT_GE(cave.number_of_levels, 5);  // deep enough for the monster levels to rise with it
        EXPECT_GT(cave.traps_per_level, 0);
        EXPECT_GT(cave.traps_per_level_step, 0);
        EXPECT_EQ(cave.walls_block_sight, 1);
        EXPECT_LE(cave.dimension_x, 47);
        EXPECT_LE(cave.dimension_y, 47);
        EXPECT_TRUE(ts.tile_types[cave.default_tile].solid);
        EXPECT_TRUE(ts.tile_types[cave.tile_outside_map].solid);
        EXPECT_FALSE(ts.tile_types[cave.background_tile].solid);
        own_tiles.insert(cave.background_tile);
        EXPECT_TRUE(item_ids.count(cave.main_treasure));
        EXPECT_EQ(g_db.item_types[cave.main_treasure].artefact, 1);
        EXPECT_EQ(cave.bottom_monster, 46 + int(k));
        EXPECT_EQ(cave.is_final, k + 1 == dungeons.size() ? 1 : 0);
        EXPECT_FALSE(cave.monster_class.empty());
        if (k > 0) {
            EXPECT_GT(cave.difficulty_level, dungeons[k - 1].difficulty_level);
        }
        EXPECT_EQ(cave.bottom_portal, "map_start.xml");
        const int tx = cave.bottom_portal_target_x, ty = cave.bottom_portal_target_y;
        EXPECT_FALSE(ts.tile_types[read_map_tile_type(map, tx, ty)].solid);
        if (k + 1 < dungeons.size()) {  // one step from the next dungeon's entrance
            EXPECT_EQ(std::abs(tx - dungeons[k + 1].xpos) + std::abs(ty - dungeons[k + 1].ypos), 1);
        }
        EXPECT_FALSE(ts.tile_types[cave.bottom_portal_tile].name.empty());
    }
    EXPECT_GE(levels, 15);
    EXPECT_EQ(own_tiles.size(), 3u);
    const DungeonRecord cave = dungeons.front();

    // Through the portal and back: each target field is walkable and no portal itself.
    int start_portal_x = -1, start_portal_y = -1;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x)
            if (!read_map_portal_mapfilename(map, x, y).empty()) start_portal_x = x, start_portal_y = y;
    int arrive_x = read_map_portal_target_x(map, start_portal_x, start_portal_y);
    int arrive_y = read_map_portal_target_y(map, start_portal_x, start_portal_y);
    save_map(map, "savegame\\map_start.xml");

    load_map(map, "maps\\map_crypt.xml", 1);
    EXPECT_FALSE(ts.tile_types[read_map_tile_type(map, arrive_x, arrive_y)].solid);
    EXPECT_TRUE(read_map_portal_mapfilename(map, arrive_x, arrive_y).empty());
    targets = check_loaded_map(map, monster_ids, item_ids);
    EXPECT_EQ(targets, (std::set<std::string>{"map_start.xml"}));
    int back_x = -1, back_y = -1;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x)
            if (!read_map_portal_mapfilename(map, x, y).empty()) {
                back_x = read_map_portal_target_x(map, x, y);
                back_y = read_map_portal_target_y(map, x, y);
            }

    // The saved copy of the start map is what a returning character finds.
    load_map(map, "savegame\\map_start.xml", 1);
    EXPECT_EQ(map.filename, "map_start.xml");
    EXPECT_EQ(map.name, "Thornwick");
    EXPECT_FALSE(ts.tile_types[read_map_tile_type(map, back_x, back_y)].solid);
    EXPECT_TRUE(read_map_portal_mapfilename(map, back_x, back_y).empty());
    EXPECT_EQ(g_map.level_exits.count(), 3);
    EXPECT_EQ(g_map.transformations.count(), 2);
}

// Mean luma (0.299 R + 0.587 G + 0.114 B of the stored values) of a tile of the sheet.
double mean_luma(const Surface& sheet, int tile) {
    const int columns = sheet.width / 32;
    const int left = tile % columns * 32, top = tile / columns * 32;
    double sum = 0;
    for (int y = top; y < top + 32; ++y)
        for (int x = left; x < left + 32; ++x) {
            const uint32_t p = sheet.at(x, y);
            sum += 0.299 * (p & 255) + 0.587 * ((p >> 8) & 255) + 0.114 * ((p >> 16) & 255);
        }
    return sum / (32 * 32);
}

TEST_F(ShippedMaps, TheDungeonsWallsAndFloorsTellApartAtAGlance) {
    // In the dim light of the cave and the crypt a player must see at once where
    // the passages run: the walls (and the rock beyond the map) at least 2.5
    // times as bright as the floor, measured on the shipped sheet.
    Surface sheet;
    ASSERT_TRUE(decode_image_file(host_path("tilesets\\tiles_standard.png"), sheet));
    load_map(map, "maps\\map_start.xml", 1);
    ASSERT_EQ(g_map.level_exits.count(), 3);
    struct Place {
        std::string name;
        int wall, outside, floor;
    };
    std::vector<Place> places;
    for (const DungeonRecord& cave : g_map.level_exits)
        places.push_back({cave.name, cave.default_tile, cave.tile_outside_map, cave.background_tile});
    load_map(map, "maps\\map_crypt.xml", 1);
    places.push_back({"crypt", map.default_tile, map.tile_outside_map, map.background_tile});
    for (const Place& place : places) {
        const double floor = mean_luma(sheet, place.floor);
        for (int wall : {place.wall, place.outside})
            EXPECT_GE(mean_luma(sheet, wall), 2.5 * floor) << place.name << ": tile " << wall << " against floor " << place.floor;
    }
}

}  // namespace
