// Reading and writing map files.
#include <gtest/gtest.h>

#include <iterator>
#include <tuple>

#include "items/items_state.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "map/map_test_support.h"
#include "common/word_lists.h"
#include "map/map_lists.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/media_state.h"
#include "platform/strings.h"
#include "platform/xml.h"

// Records are set up with designated initializers; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

template <typename T>
const T& nth(const GameList<T>& list, int index) {
    return *std::next(list.begin(), index);
}

class MapFile : public ::testing::Test {
protected:
    void SetUp() override { write_tileset(game, "test.png", "test.xml", "<tile_type id=\"1\" name=\"floor\"/>"); }
    TempGameFolder game;
    GameMap& map = g_map.map;
};

// A map with something in every field, list and attribute the file carries.
void build_full_map(GameMap& map) {
    map.name = "Old \"Mill\" & <Yard>";
    map.tileset.definition_filename = "test.xml";
    map.tileset.image_filename = "test.png";
    map.tile_outside_map = 4;
    map.default_tile = 33;  // not the most common tile: recomputed when saved
    map.background_tile = 8;
    map.spawn_monster_level = 3;
    map.spawn_monster_chance = 15;
    map.visited = 1;
    map.lighting = 6;
    fill_map(map, 7);
    for (int x = 0; x < kMapSize; ++x) set_map_tile_type(map, x, 0, 4);
    set_map_tile_type(map, 49, 49, 499);
    set_map_portal(map, 10, 10, "cave.xml", 49, 0);
    set_map_message(map, 11, 10, "", "second line only", 40);
    set_map_message(map, 12, 10, "first", "second", 41);
    set_map_event(map, 13, 10, "lever", 3);
    set_map_event(map, 14, 10, "gate", 0);
    set_map_event(map, 14, 11, "lever", 3);
    add_map_event("lever", 1, 3);
    add_map_event("gate", 0, 0);
    set_map_hidden(map, 15, 10, 1);
    set_map_tile_type(map, 15, 10, 9);
    set_map_visited(map, 16, 10, 1);
    set_map_power_used(map, 16, 10, "open_lock|light");
    set_map_power_used(map, 17, 10, "heal");  // a plain field with nothing but powers used is kept too

    add_transformation({.event = "lever", .x = 20, .y = 21, .tile_type = 15, .portal_mapfile = "beyond.xml",
                        .portal_x = 1, .portal_y = 2, .message_line1 = "The gate", .message_line2 = "is open",
                        .message_tile = 15, .new_event = "gate", .triggered = 1});
    add_transformation({.event = "gate", .x = -1, .y = -1});

    add_monster({.type = 1, .x = 5, .y = 6, .hitpoints = 4});
    add_monster({.type = 10, .x = 40, .y = 41, .hitpoints = -3, .alerted = 1});
    g_map.monsters.current().status = "slowed|confused";

    g_map.items.append() = {.x = 3, .y = 4, .type = 1};
    g_map.items.append() = {.x = 3, .y = 4, .type = 6, .amount = 3, .fuel = 450, .magic_bonus = 7};

    g_map.level_exits.append() = {.xpos = 30, .ypos = 31, .name = "Old Cave", .map_filename = "cave",
                                  .number_of_levels = 4, .dimension_x = 25, .dimension_y = 31,
                                  .entrance_to_level = 2, .difficulty_level = 3, .lighting = 5, .default_tile = 4,
                                  .background_tile = 1, .tile_outside_map = 0, .main_treasure = 38,
                                  .bottom_portal = "start.xml", .bottom_portal_target_x = 7,
                                  .bottom_portal_target_y = 8, .bottom_portal_tile = 38, .traps_per_level = 3};
}

TEST_F(MapFile, RoundTripKeepsEverything) {
    build_full_map(map);
    save_map(map, "savegame\\mill.xml");
    EXPECT_EQ(map.default_tile, 7);

    // A second map in memory is replaced completely by loading.
    reset_map(map);
    map.name = "other";
    const int decoded_before = g_media.pictures_decoded;
    load_map(map, "savegame\\mill.xml", 1);
    // Every map load loads the tileset; its picture is decoded once while its file stays the same.
    save_map(map, "savegame\\yard.xml");
    load_map(map, "savegame\\yard.xml", 1);
    load_map(map, "savegame\\mill.xml", 1);
    EXPECT_EQ(g_media.pictures_decoded - decoded_before, 1);

    EXPECT_EQ(map.name, "Old \"Mill\" & <Yard>");
    EXPECT_EQ(map.filename, "mill.xml");
    EXPECT_EQ(map.tileset.tile_types[1].name, "floor");  // the tileset was loaded
    EXPECT_EQ(std::tie(map.tileset.definition_filename, map.tileset.image_filename),
              std::tuple("test.xml", "test.png"));
    EXPECT_EQ(std::tie(map.tile_outside_map, map.default_tile, map.background_tile, map.spawn_monster_level,
                       map.spawn_monster_chance, map.visited, map.lighting),
              std::tuple(4, 7, 8, 3, 15, 1, 6));

    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) {
            int expected = y == 0 ? 4 : 7;
            if (x == 49 && y == 49) expected = 499;
            if (x == 15 && y == 10) expected = 9;
            ASSERT_EQ(read_map_tile_type(map, x, y), expected) << x << "," << y;
        }
    const auto fields = map.fields;
    auto portal = [&](int x, int y) {
        const MapField& f = fields[y][x];
        return std::tuple(f.portal_mapfile, int(f.portal_x), int(f.portal_y));
    };
    auto message = [&](int x, int y) {
        const MapField& f = fields[y][x];
        return std::tuple(f.message_line1, f.message_line2, int(f.message_tile));
    };
    EXPECT_EQ(portal(10, 10), std::tuple("cave.xml", 49, 0));
    EXPECT_EQ(message(11, 10), std::tuple("", "second line only", 40));
    EXPECT_EQ(message(12, 10), std::tuple("first", "second", 41));
    EXPECT_EQ(std::tuple(fields[10][13].event, fields[10][13].event_xp), std::tuple("lever", 3));
    EXPECT_EQ(fields[10][14].event, "gate");
    EXPECT_EQ(fields[11][14].event, "lever");
    EXPECT_EQ(fields[10][15].hidden, 1);
    EXPECT_EQ(fields[10][16].visited, 1);
    EXPECT_EQ(fields[10][16].power_used, "open_lock|light");
    EXPECT_EQ(fields[10][17].power_used, "heal");

    // Events keep their fired state and xp, in file order.
    ASSERT_EQ(g_map.events.count(), 2);
    const MapEvent& lever = nth(g_map.events, 0);
    EXPECT_EQ(std::tie(lever.name, lever.triggered, lever.xp), std::tuple("lever", 1, 3));
    EXPECT_EQ(std::tie(nth(g_map.events, 1).name, nth(g_map.events, 1).triggered), std::tuple("gate", 0));
    EXPECT_EQ(map_event_triggered("lever"), 1);
    EXPECT_EQ(map_event_xp("lever"), 3);
    EXPECT_EQ(map_event_xp("nothing"), 0);

    ASSERT_EQ(g_map.transformations.count(), 2);
    const Transformation& t = nth(g_map.transformations, 0);
    EXPECT_EQ(std::tie(t.event, t.x, t.y, t.tile_type, t.portal_mapfile, t.portal_x, t.portal_y, t.message_line1,
                       t.message_line2, t.message_tile, t.new_event, t.triggered),
              std::tuple("lever", 20, 21, 15, "beyond.xml", 1, 2, "The gate", "is open", 15, "gate", 1));
    EXPECT_EQ(nth(g_map.transformations, 1).x, -1);

    ASSERT_EQ(g_map.monsters.count(), 2);
    const Monster& rat = nth(g_map.monsters, 0);
    const Monster& orc = nth(g_map.monsters, 1);
    EXPECT_EQ(std::tie(rat.type, rat.x, rat.y, rat.hitpoints, rat.alerted, rat.status), std::tuple(1, 5, 6, 4, 0, ""));
    EXPECT_EQ(std::tie(orc.type, orc.x, orc.y, orc.hitpoints, orc.alerted, orc.status),
              std::tuple(10, 40, 41, -3, 1, "slowed|confused"));

    ASSERT_EQ(g_map.items.count(), 2);
    const MapItem& sword = nth(g_map.items, 1);
    EXPECT_EQ(nth(g_map.items, 0).type, 1);
    // What an item lying on the map holds comes back with it.
    EXPECT_EQ(std::tie(sword.x, sword.y, sword.type, sword.amount, sword.fuel, sword.magic_bonus),
              std::tuple(3, 4, 6, 3, 450, 7));

    ASSERT_EQ(g_map.level_exits.count(), 1);
    const DungeonRecord& c = nth(g_map.level_exits, 0);
    EXPECT_EQ(std::tie(c.xpos, c.ypos, c.name, c.map_filename, c.number_of_levels, c.dimension_x, c.dimension_y),
              std::tuple(30, 31, "Old Cave", "cave", 4, 25, 31));
    EXPECT_EQ(std::tie(c.entrance_to_level, c.difficulty_level, c.lighting, c.default_tile, c.background_tile,
                       c.tile_outside_map, c.main_treasure),
              std::tuple(2, 3, 5, 4, 1, 0, 38));
    EXPECT_EQ(std::tie(c.bottom_portal, c.bottom_portal_target_x, c.bottom_portal_target_y, c.bottom_portal_tile,
                       c.traps_per_level),
              std::tuple("start.xml", 7, 8, 38, 3));

    // Saving the loaded copy writes the same file again.
    std::string first, second;
    ASSERT_TRUE(read_whole_file("savegame\\mill.xml", first));
    save_map(map, "savegame\\copy.xml");
    ASSERT_TRUE(read_whole_file("savegame\\copy.xml", second));
    EXPECT_EQ(second, replace_all(first, "filename=\"mill.xml\"", "filename=\"copy.xml\""));
}

// Values joined for comparison: numbers in decimal, texts as they are.
std::string joined(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : "|") + part;
    return out;
}
std::string n(long long value) { return int_to_text(value); }

// Each element of the map file with values that show the width each attribute
// is kept in (40000 wraps to 16 bits, 200 and 300 to 8 bits) and distinct
// values that show an attribute read into the wrong field. Every row is loaded,
// then saved and loaded again: what the loaded map holds must survive that.
struct MapFileRow {
    const char* root;   // attributes of the map element (the tileset names are added unless given)
    const char* child;  // one child element, or nothing
    const char* expected;
    std::string (*loaded)();
};

const MapField& field_3_4() { return g_map.map.fields[4][3]; }

const MapFileRow kMapFileRows[] = {
    {R"(name="Mill" tile_outside_map="40000" default_tile="65537" background_tile="-40000" spawn_monster_level="300"
        spawn_monster_chance="15" lighting="8" visited="yes")",
     "", "Mill|-25536|1|25536|300|15|8|1",
     [] {
         const GameMap& m = g_map.map;
         return joined({m.name, n(m.tile_outside_map), n(m.default_tile), n(m.background_tile),
                        n(m.spawn_monster_level), n(m.spawn_monster_chance), n(m.lighting), n(m.visited)});
     }},
    {R"(tileset_definition_filename="defs\test.xml" tileset_image_filename="pictures/test.png")", "",
     "test.xml|test.png",
     [] { return joined({g_map.map.tileset.definition_filename, g_map.map.tileset.image_filename}); }},
    {"", R"(<field x="3" y="4" portal_mapfile="cave.xml" portal_x="49" portal_y="2">499</field>)", "499|cave.xml|49|2",
     [] {
         const MapField& f = field_3_4();
         return joined({n(f.tile_type), f.portal_mapfile, n(f.portal_x), n(f.portal_y)});
     }},
    {"", R"(<field x="3" y="4" message_line1="a" message_line2="b" message_tile="40000">1</field>)", "a|b|-25536",
     [] { return joined({field_3_4().message_line1, field_3_4().message_line2, n(field_3_4().message_tile)}); }},
    {"", R"(<field x="3" y="4" power_used="heal|light" hidden="yes">1</field>)", "heal|light|1|0",
     [] { return joined({field_3_4().power_used, n(field_3_4().hidden), n(field_3_4().visited)}); }},
    {"", R"(<field x="3" y="4" visited="yes">0</field>)", "0|1",
     [] { return joined({n(field_3_4().hidden), n(field_3_4().visited)}); }},
    {"", R"(<field x="3" y="4" event="lever" event_triggered="5" event_xp="300">1</field>)", "lever|44|1|44",
     [] {
         return joined({field_3_4().event, n(field_3_4().event_xp), n(map_event_triggered("lever")),
                        n(map_event_xp("lever"))});
     }},
    {"",
     R"(<transformation event="e" x="200" y="5" tile_type="40000" portal_mapfile="p.xml" portal_x="300" portal_y="7"
        message_line1="l1" message_line2="l2" message_tile="-40000" new_event="n" triggered="9"/>)",
     "e|-56|5|-25536|p.xml|44|7|l1|l2|25536|n|1",
     [] {
         const Transformation& t = nth(g_map.transformations, 0);
         return joined({t.event, n(t.x), n(t.y), n(t.tile_type), t.portal_mapfile, n(t.portal_x), n(t.portal_y),
                        t.message_line1, t.message_line2, n(t.message_tile), t.new_event, n(t.triggered)});
     }},
    {"", R"(<monster type="299" xpos="5" ypos="6" hitpoints="40000" alerted="yes" effect="slowed"/>)",
     "299|5|6|-25536|1|slowed",
     [] {
         const Monster& m = nth(g_map.monsters, 0);
         return joined({n(m.type), n(m.x), n(m.y), n(m.hitpoints), n(m.alerted), m.status});
     }},
    {"", R"(<item xpos="40000" ypos="7" type="254"/>)", "-25536|7|254|0|0|0",
     [] {
         const MapItem& i = nth(g_map.items, 0);
         return joined({n(i.x), n(i.y), n(i.type), n(i.amount), n(i.fuel), n(i.magic_bonus)});
     }},
    {"", R"(<item xpos="1" ypos="7" type="2" amount="70000" fuel="-5" magic_bonus="999"/>)", "1|7|2|4464|-5|999",
     [] {
         const MapItem& i = nth(g_map.items, 0);
         return joined({n(i.x), n(i.y), n(i.type), n(i.amount), n(i.fuel), n(i.magic_bonus)});
     }},
    {"",
     R"(<dungeon xpos="40000" ypos="-2" name="Cave" map_filename="cave" number_of_levels="3" dimension_x="200"
        dimension_y="300" entrance_to_level="2" difficulty_level="4" lighting="201" default_tile="5"
        background_tile="6" tile_outside_map="7" main_treasure="38" bottom_portal="s.xml"
        bottom_portal_target_x="9" bottom_portal_target_y="10" bottom_portal_tile="11" traps_per_level="12"/>)",
     "-25536|-2|Cave|cave|3|200|44|2|4|201|5|6|7|38|s.xml|9|10|11|12",
     [] {
         const DungeonRecord& d = nth(g_map.level_exits, 0);
         return joined({n(d.xpos), n(d.ypos), d.name, d.map_filename, n(d.number_of_levels), n(d.dimension_x),
                        n(d.dimension_y), n(d.entrance_to_level), n(d.difficulty_level), n(d.lighting),
                        n(d.default_tile), n(d.background_tile), n(d.tile_outside_map), n(d.main_treasure),
                        d.bottom_portal, n(d.bottom_portal_target_x), n(d.bottom_portal_target_y),
                        n(d.bottom_portal_tile), n(d.traps_per_level)});
     }},
};

TEST_F(MapFile, EveryAttributeKeepsItsWidthThroughSaveAndLoad) {
    for (const MapFileRow& row : kMapFileRows) {
        SCOPED_TRACE(std::string(row.root) + row.child);
        std::string root = row.root;
        if (root.find("tileset_") == std::string::npos)
            root += " tileset_definition_filename=\"test.xml\" tileset_image_filename=\"test.png\"";
        game.write("maps\\row.xml", "<map " + root + ">" + row.child + "</map>");
        load_map(map, "maps\\row.xml");
        EXPECT_EQ(row.loaded(), row.expected);
        save_map(map, "savegame\\row.xml");
        load_map(map, "savegame\\row.xml");
        EXPECT_EQ(row.loaded(), row.expected);
    }
}

TEST_F(MapFile, WriterOrderAndWhichFieldsAreWritten) {
    fill_map(map, 1);
    map.tileset.definition_filename = "test.xml";
    map.tileset.image_filename = "test.png";
    set_map_message(map, 2, 0, "", "", 9);            // only a message tile: not written
    set_map_power_used(map, 5, 0, "light");           // only powers used: written, so they are not lost
    set_map_event(map, 3, 0, "ev", -2);               // negative xp is not written
    set_map_tile_type(map, 4, 0, 2);
    set_map_portal(map, 4, 0, "p.xml", 1, 2);
    set_map_message(map, 4, 0, "a", "b", 3);
    set_map_power_used(map, 4, 0, "light");
    set_map_visited(map, 4, 0, 1);
    set_map_hidden(map, 4, 0, 1);
    set_map_event(map, 4, 0, "ev", 4);
    add_map_event("ev", 1, 4);
    save_map(map, "savegame\\order.xml");

    XmlDocument document;
    ASSERT_TRUE(document.load("savegame\\order.xml"));
    const XmlElement* root = document.root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, "map");
    std::vector<std::string> names;
    for (const auto& [name, value] : root->attributes) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Umbrane_version", "name", "filename", "tileset_definition_filename",
                                               "tileset_image_filename", "tile_outside_map", "default_tile",
                                               "background_tile", "spawn_monster_level", "spawn_monster_chance",
                                               "lighting"}));
    EXPECT_EQ(*root->attribute("Umbrane_version"), "0.1.0");
    EXPECT_EQ(*root->attribute("filename"), "order.xml");
    ASSERT_EQ(root->children.size(), 3u);
    const XmlElement& plain_event = *root->children[0];
    EXPECT_EQ(*plain_event.attribute("x"), "3");
    EXPECT_EQ(plain_event.attribute("event_xp"), nullptr);
    EXPECT_EQ(*plain_event.attribute("event_triggered"), "1");
    EXPECT_EQ(plain_event.text, "1");
    const XmlElement& powers_only = *root->children[2];
    EXPECT_EQ(*powers_only.attribute("x"), "5");
    EXPECT_EQ(*powers_only.attribute("power_used"), "light");
    const XmlElement& full = *root->children[1];
    names.clear();
    for (const auto& [name, value] : full.attributes) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"x", "y", "portal_mapfile", "portal_x", "portal_y", "message_line1",
                                               "message_line2", "message_tile", "power_used", "visited", "hidden",
                                               "event", "event_triggered", "event_xp"}));
    EXPECT_EQ(full.text, "2");
}

// The fields the character saw: one run-length text on the root, written only
// when something was seen; a seen field needs no field element of its own.
TEST_F(MapFile, SeenFieldsAreOneTextOfRunLengths) {
    auto seen_fields = [&] {
        std::vector<int> seen;
        for (int y = 0; y < kMapSize; ++y)
            for (int x = 0; x < kMapSize; ++x)
                if (read_map_seen(map, x, y)) seen.push_back(y * kMapSize + x);
        return seen;
    };
    auto saved_text = [](const std::string& path) {
        XmlDocument document;
        document.load(path);
        const std::string* text = document.root() ? document.root()->attribute("seen") : nullptr;
        return text ? *text : std::string("(none)");
    };
    fill_map(map, 1);
    map.tileset.definition_filename = "test.xml";
    map.tileset.image_filename = "test.png";
    save_map(map, "savegame\\unseen.xml");
    EXPECT_EQ(saved_text("savegame\\unseen.xml"), "(none)");

    for (int field : {0, 1, 2, 49, 50, 1275, 2499}) set_map_seen(map, field % kMapSize, field / kMapSize, 1);
    save_map(map, "savegame\\seen.xml");
    EXPECT_EQ(saved_text("savegame\\seen.xml"), "0 3 46 2 1224 1 1223 1");
    std::string written;
    ASSERT_TRUE(read_whole_file("savegame\\seen.xml", written));
    EXPECT_EQ(written.find("<field"), std::string::npos);
    load_map(map, "savegame\\seen.xml");
    EXPECT_EQ(seen_fields(), (std::vector<int>{0, 1, 2, 49, 50, 1275, 2499}));

    // Written by hand or damaged: blanks of any kind between runs, words and
    // negative runs count 0, and runs beyond the grid are cut off.
    struct Case {
        const char* text;
        std::vector<int> seen;
    };
    std::vector<int> all;
    for (int field = 0; field < kMapSize * kMapSize; ++field) all.push_back(field);
    for (const Case& c : {Case{"", {}}, Case{"3 2", {3, 4}}, Case{"2498 5", {2498, 2499}},
                          Case{"  1\n\t1  ", {1}}, Case{"x 2 -4 1", {0, 1, 2}}, Case{"99999 1", {}},
                          Case{"0 2500", all}}) {
        game.write("maps\\by_hand.xml", map_text(std::string("seen=\"") + c.text + "\"", ""));
        load_map(map, "maps\\by_hand.xml");
        EXPECT_EQ(seen_fields(), c.seen) << c.text;
    }
    // A map file without the text shows nothing seen, whatever the map before it had.
    game.write("maps\\plain.xml", map_text("", ""));
    load_map(map, "maps\\plain.xml");
    EXPECT_TRUE(seen_fields().empty());
}

TEST_F(MapFile, ReaderDefaultsAndDroppedEntries) {
    game.write("maps\\plain.xml", map_text("filename=\"elsewhere.xml\" Umbrane_version=\"9\" lighting=\"dark\"", R"(
      <field x="2" y="3">5</field>
      <field x="2" y="4">
        12
      </field>
      <field event="nowhere" event_xp="2" message_line1="lost">6</field>
      <field x="4" y="4" event="nowhere" event_triggered="1">6</field>
      <transformation event="e" tile_type="3"/>
      <transformation event="e" tile_type="4"/>
      <transformation event="e" x="1" y="1"/>
      <monster type="3" xpos="1" ypos="1" hitpoints="5"/>
      <monster type="4" xpos="1" ypos="1" hitpoints="6"/>
      <monster type="3" xpos="50" ypos="1"/>
      <monster type="0" xpos="2" ypos="2"/>
      <monster type="300" xpos="3" ypos="2"/>
      <monster xpos="4" ypos="2" effect="slowed"/>
      <item xpos="60" ypos="-4" type="2"/>
      <item xpos="1" ypos="1" type="0"/>
      <item xpos="1" ypos="1" type="255"/>
      <dungeon name="first" main_treasure="7"/>
      <dungeon name="second"/>
      <dungeon xpos="1" ypos="1"/>
    )"));
    load_map(map, "maps\\plain.xml");
    EXPECT_EQ(map.filename, "plain.xml");
    EXPECT_EQ(map.lighting, 0);
    EXPECT_EQ(map.default_tile, 0);
    EXPECT_EQ(read_map_tile_type(map, 0, 0), 0);
    EXPECT_EQ(read_map_tile_type(map, 2, 3), 5);
    EXPECT_EQ(read_map_tile_type(map, 2, 4), 12);
    EXPECT_EQ(read_map_message_line1(map, 0, 0), "");
    // The field without a position registered its event; the first registration wins.
    ASSERT_EQ(g_map.events.count(), 1);
    EXPECT_EQ(nth(g_map.events, 0).xp, 2);
    EXPECT_EQ(nth(g_map.events, 0).triggered, 0);
    EXPECT_EQ(read_map_event(map, 4, 4), "nowhere");
    // Same x, y and event once only; missing positions read as -1.
    ASSERT_EQ(g_map.transformations.count(), 2);
    EXPECT_EQ(nth(g_map.transformations, 0).x, -1);
    EXPECT_EQ(nth(g_map.transformations, 0).y, -1);
    EXPECT_EQ(nth(g_map.transformations, 0).tile_type, 3);
    ASSERT_EQ(g_map.monsters.count(), 1);
    EXPECT_EQ(nth(g_map.monsters, 0).hitpoints, 5);
    ASSERT_EQ(g_map.items.count(), 1);
    EXPECT_EQ(nth(g_map.items, 0).x, 60);
    ASSERT_EQ(g_map.level_exits.count(), 2);
    const DungeonRecord& second = nth(g_map.level_exits, 1);
    EXPECT_EQ(nth(g_map.level_exits, 0).main_treasure, 7);
    EXPECT_EQ(second.name, "second");
    EXPECT_EQ(second.main_treasure, 0);
    EXPECT_EQ(second.xpos, -1);
    EXPECT_EQ(second.ypos, -1);
    EXPECT_EQ(second.entrance_to_level, 1);
    EXPECT_EQ(second.difficulty_level, 1);
    EXPECT_EQ(second.default_tile, 1);
    EXPECT_EQ(second.background_tile, 4);
    EXPECT_EQ(second.tile_outside_map, 1);
    EXPECT_EQ(second.number_of_levels, 0);
}

TEST_F(MapFile, ReaderMessages) {
    EXPECT_FATAL(load_map(map, "maps\\none.xml"), "load_map(): could not open map xml file: \"maps\\none.xml\"");

    const std::string broken = "<map>\n<field x=\"1\">\n</map>";
    game.write("maps\\m.xml", broken);
    XmlDocument parsed;
    parsed.parse_text(broken);
    EXPECT_FATAL(load_map(map, "maps\\m.xml"),
                 "load_map(): error in xml structure of map file \"maps\\m.xml\": " + parsed.error_text());

    auto fails_with = [&](const std::string& content, const std::string& message) {
        game.write("maps\\m.xml", content);
        EXPECT_FATAL(load_map(map, "maps\\m.xml"), message);
    };
    fails_with(map_text("lighting=\"9\"", ""), "load_map(): wrong lighting attribute \"9\" in map file \"maps\\m.xml\"");
    fails_with(map_text("lighting=\"-1\"", ""),
               "load_map(): wrong lighting attribute \"-1\" in map file \"maps\\m.xml\"");
    fails_with(map_text("author=\"me\"", ""),
               "load_map(): unknown attribute \"author\" in main node in map file \"maps\\m.xml\"");
    fails_with(map_text("", "<field x=\"1\" y=\"1\" colour=\"2\">1</field>"),
               "load_map(): unknown attribute \"colour\" in field tag in map file \"maps\\m.xml\"");
    fails_with(map_text("", "<transformation event=\"e\" tile=\"2\"/>"),
               "load_map(): unknown attribute \"tile\" in transformation tag in map file \"maps\\m.xml\"");
    fails_with(map_text("", "<monster type=\"1\" x=\"2\"/>"),
               "load_map(): unknown attribute \"x\" in monster tag in map file \"maps\\m.xml\"");
    fails_with(map_text("", "<item type=\"1\" charges=\"2\"/>"),
               "load_map(): unknown attribute \"charges\" in item tag in map xml file \"maps\\m.xml\"");
    fails_with(map_text("", "<dungeon name=\"d\" levels=\"2\"/>"),
               "load_map(): unknown attribute \"levels\" in dungeon tag in map xml file \"maps\\m.xml\"");
    fails_with(map_text("", "<door x=\"1\"/>"), "load_map(): unknown tag \"door\" in map file \"maps\\m.xml\"");
    fails_with("<map tileset_image_filename=\"test.png\"/>",
               "load_map: could not find a tileset definition in map file \"m.xml\"");
    fails_with("<map tileset_definition_filename=\"test.xml\"/>",
               "load_map: could not find a tileset image in map file \"m.xml\"");
    fails_with(map_text("", "<field x=\"50\" y=\"1\">1</field>"), "set_map_tile_type: wrong parameters: x=50; y=1");
    fails_with(map_text("", "<field x=\"1\" y=\"1\">500</field>"), "set_map_tile_type: wrong tile_type: 500");
    fails_with(map_text("", "<field y=\"1\" portal_mapfile=\"a.xml\">1</field>"),
               "set_map_portal: wrong parameters: x=-1; y=1");
    fails_with(map_text("", "<field x=\"1\" y=\"1\" portal_mapfile=\"a.xml\" portal_x=\"50\">1</field>"),
               "set_map_portal: wrong parameters: target_x=50; target_y=0");
    fails_with(map_text("default_tile=\"500\"", ""), "set_map_tile_type: wrong tile_type: 500");
    // Positions too large for any number the game keeps are reported, not wrapped onto the grid.
    fails_with(map_text("", "<field x=\"4294967297\" y=\"1\">1</field>"),
               "set_map_tile_type: wrong parameters: x=2147483647; y=1");
    fails_with(map_text("", "<field x=\"1\" y=\"1\" portal_mapfile=\"a.xml\" portal_y=\"-4294967295\">"
                            "1</field>"),
               "set_map_portal: wrong parameters: target_x=0; target_y=-2147483648");
}

TEST_F(MapFile, SavegamePathAndSaveFailure) {
    game.write("savegame\\town.xml", map_text("name=\"Town\" filename=\"other.xml\" visited=\"no\"", ""));
    load_map(map, "savegame\\town.xml", 1);
    EXPECT_EQ(map.name, "Town");
    EXPECT_EQ(map.filename, "town.xml");
    EXPECT_EQ(map.visited, 0);

    game.write("blocked", "a file where a folder should be");
    EXPECT_FATAL(save_map(map, "blocked\\town.xml"), "Could not save map data to file \"blocked\\town.xml\"");
}

}  // namespace

// Reading a map finds the entries it has added already through an index
// instead of the add procedures' search. A file full of repeated events,
// transformations and monsters on shared or off-grid fields must give exactly
// the lists those procedures make of the same entries, and write back the
// same bytes.
TEST_F(MapFile, ReadListsAreThoseTheAddProceduresMake) {
    std::string children;
    std::vector<MapEvent> events;
    std::vector<Transformation> changes;
    std::vector<Monster> monsters;
    for (int i = 0; i < 150; ++i) {
        const MapEvent event{.name = "e" + std::to_string(i % 17), .xp = static_cast<int8_t>(i % 5),
                             .triggered = static_cast<int8_t>(i % 3 == 0)};
        children += "<field x=\"" + std::to_string(i % kMapSize) + "\" y=\"" + std::to_string(i / kMapSize) +
                    "\" event=\"" + event.name + "\" event_xp=\"" + std::to_string(event.xp) + "\"" +
                    (event.triggered ? " event_triggered=\"1\"" : "") + ">1</field>";
        events.push_back(event);
        const Transformation change{.event = "t" + std::to_string(i % 4), .x = static_cast<int8_t>(i % 6),
                                    .y = static_cast<int8_t>(i % 5), .tile_type = static_cast<int16_t>(i)};
        children += "<transformation event=\"" + change.event + "\" x=\"" + std::to_string(change.x) + "\" y=\"" +
                    std::to_string(change.y) + "\" tile_type=\"" + std::to_string(i) + "\"/>";
        changes.push_back(change);
        const Monster monster{.type = static_cast<int16_t>(1 + i % 3), .x = static_cast<int16_t>(i % 13 * 5 - 5),
                              .y = static_cast<int16_t>(i % 7), .hitpoints = static_cast<int16_t>(i)};
        children += "<monster type=\"" + std::to_string(monster.type) + "\" xpos=\"" + std::to_string(monster.x) +
                    "\" ypos=\"" + std::to_string(monster.y) + "\" hitpoints=\"" + std::to_string(i) + "\"/>";
        monsters.push_back(monster);
    }
    game.write("maps\\lists.xml", map_text("", children));
    load_map(map, "maps\\lists.xml");
    const GameList<MapEvent> read_events = g_map.events;
    const GameList<Transformation> read_changes = g_map.transformations;
    const GameList<Monster> read_monsters = g_map.monsters;
    save_map(map, "savegame\\lists.xml");

    g_map.events.clear();
    g_map.transformations.clear();
    g_map.monsters.clear();
    for (const MapEvent& event : events) add_map_event(event.name, event.triggered, event.xp);
    for (const Transformation& change : changes) add_transformation(change);
    for (const Monster& monster : monsters) add_monster(monster);
    auto same = [](const auto& read, const auto& made, auto key) {
        ASSERT_EQ(read.count(), made.count());
        for (int i = 0; i < read.count(); ++i) EXPECT_EQ(key(nth(read, i)), key(nth(made, i))) << i;
    };
    same(read_events, g_map.events, [](const MapEvent& e) { return std::tuple(e.name, e.xp, e.triggered); });
    same(read_changes, g_map.transformations,
         [](const Transformation& t) { return std::tuple(t.event, t.x, t.y, t.tile_type); });
    same(read_monsters, g_map.monsters,
         [](const Monster& m) { return std::tuple(m.type, m.x, m.y, m.hitpoints, m.alerted, m.status); });
    EXPECT_EQ(g_map.events.count(), 17);

    std::string written, again;
    ASSERT_TRUE(read_whole_file("savegame\\lists.xml", written));
    load_map(map, "savegame\\lists.xml");
    save_map(map, "savegame\\lists.xml");
    ASSERT_TRUE(read_whole_file("savegame\\lists.xml", again));
    EXPECT_EQ(again, written);
}
