// The field accessors and the map-wide operations of the current map.
#include <gtest/gtest.h>

#include "items/items_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "common/word_lists.h"
#include "map/map_lists.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/random.h"
#include "support/test_game.h"

namespace {

int count_fields(const GameMap& map, bool (*test)(const MapField&)) {
    int count = 0;
    for (const auto& row : map.fields)
        for (const MapField& field : row)
            if (test(field)) ++count;
    return count;
}

TEST(MapGrid, UncheckedReadsAndSettersOutsideTheGrid) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    map.tile_outside_map = 17;
    set_map_tile_type(map, 0, 0, 3);
    set_map_hidden(map, 0, 0, 1);
    set_map_visited(map, 49, 49, 1);
    set_map_power_used(map, 0, 49, "light");

    for (auto [x, y] : {std::pair{-1, 0}, {0, 50}, {50, 0}, {0, -1}}) {
        EXPECT_EQ(read_map_tile_type(map, x, y), 17) << x << "," << y;
        EXPECT_EQ(read_map_hidden(map, x, y), 0);
        EXPECT_EQ(read_map_visited(map, x, y), 0);
        EXPECT_EQ(read_map_power_used(map, x, y), "");
        EXPECT_EQ(field_power_used(map, x, y, "light"), 0);
        set_map_hidden(map, x, y, 1);
        set_map_visited(map, x, y, 1);
        set_map_power_used(map, x, y, "x");
        add_power_used(map, x, y, "y");
        set_map_message(map, x, y, "a", "b", 4);
        set_map_event(map, x, y, "e", 3);
    }
    // The silent setters changed nothing anywhere.
    EXPECT_EQ(count_fields(map, [](const MapField& f) { return f.hidden != 0; }), 1);
    EXPECT_EQ(count_fields(map, [](const MapField& f) { return f.visited != 0; }), 1);
    EXPECT_EQ(count_fields(map, [](const MapField& f) { return !f.power_used.empty(); }), 1);
    EXPECT_EQ(count_fields(map, [](const MapField& f) { return !f.message_line1.empty() || !f.event.empty(); }), 0);

    // Inside, the reads see what was set.
    EXPECT_EQ(read_map_tile_type(map, 0, 0), 3);
    EXPECT_EQ(read_map_hidden(map, 0, 0), 1);
    EXPECT_EQ(read_map_visited(map, 49, 49), 1);
    EXPECT_EQ(read_map_power_used(map, 0, 49), "light");
}

TEST(MapGrid, CheckedReadsEndTheProgramOutsideTheGrid) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    set_map_event(map, 49, 49, "lever", 5);
    set_map_message(map, 49, 0, "one", "two", 12);
    set_map_portal(map, 0, 49, "cave.xml", 7, 8);
    EXPECT_EQ(read_map_event(map, 49, 49), "lever");
    EXPECT_EQ(read_map_event_xp(map, 49, 49), 5);
    EXPECT_EQ(read_map_message_line1(map, 49, 0), "one");
    EXPECT_EQ(read_map_message_line2(map, 49, 0), "two");
    EXPECT_EQ(read_map_message_tile(map, 49, 0), 12);
    EXPECT_EQ(read_map_portal_mapfilename(map, 0, 49), "cave.xml");
    EXPECT_EQ(read_map_portal_target_x(map, 0, 49), 7);
    EXPECT_EQ(read_map_portal_target_y(map, 0, 49), 8);

    EXPECT_FATAL(read_map_event(map, 50, 3), "read_map_event(): wrong parameters: x=50; y=3");
    EXPECT_FATAL(read_map_event_xp(map, -1, 0), "read_map_event_xp(): wrong parameters: x=-1; y=0");
    EXPECT_FATAL(read_map_message_line1(map, 0, 50), "read_map_message_line1: wrong parameters: x=0; y=50");
    EXPECT_FATAL(read_map_message_line2(map, 3, -1), "read_map_message_line2: wrong parameters: x=3; y=-1");
    EXPECT_FATAL(read_map_message_tile(map, 50, 50), "read_map_message_tile: wrong parameters: x=50; y=50");
    EXPECT_FATAL(read_map_portal_mapfilename(map, -1, -1),
                 "read_map_portal_mapfilename: wrong parameters: x=-1; y=-1");
    EXPECT_FATAL(read_map_portal_target_x(map, 100, 2), "read_map_portal_target_x: wrong parameters: x=100; y=2");
    EXPECT_FATAL(read_map_portal_target_y(map, 2, 100), "read_map_portal_target_y: wrong parameters: x=2; y=100");
}

TEST(MapGrid, TileTypeIsCheckedBeforeThePosition) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    EXPECT_FATAL(set_map_tile_type(map, 3, 4, 500), "set_map_tile_type: wrong tile_type: 500");
    EXPECT_FATAL(set_map_tile_type(map, 3, 4, -1), "set_map_tile_type: wrong tile_type: -1");
    EXPECT_FATAL(set_map_tile_type(map, 50, 4, 500), "set_map_tile_type: wrong tile_type: 500");
    EXPECT_FATAL(set_map_tile_type(map, 50, 4, 499), "set_map_tile_type: wrong parameters: x=50; y=4");
    EXPECT_FATAL(set_map_tile_type(map, 0, -1, 0), "set_map_tile_type: wrong parameters: x=0; y=-1");
    EXPECT_EQ(read_map_tile_type(map, 3, 4), 0);

    set_map_message(map, 3, 4, "keep", "", 2);
    set_map_tile_type(map, 3, 4, 499);
    EXPECT_EQ(read_map_tile_type(map, 3, 4), 499);
    EXPECT_EQ(read_map_message_line1(map, 3, 4), "keep");  // nothing else on the field changes
}

TEST(MapGrid, PortalChecksFieldThenTarget) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    EXPECT_FATAL(set_map_portal(map, 10, 10, "cave.xml", 50, 2),
                 "set_map_portal: wrong parameters: target_x=50; target_y=2");
    EXPECT_FATAL(set_map_portal(map, 10, 10, "cave.xml", 3, -1),
                 "set_map_portal: wrong parameters: target_x=3; target_y=-1");
    EXPECT_FATAL(set_map_portal(map, -1, 10, "cave.xml", 50, 2), "set_map_portal: wrong parameters: x=-1; y=10");
    EXPECT_EQ(read_map_portal_mapfilename(map, 10, 10), "");

    set_map_portal(map, 10, 10, "cave.xml", 49, 0);
    EXPECT_EQ(read_map_portal_mapfilename(map, 10, 10), "cave.xml");
    EXPECT_EQ(read_map_portal_target_x(map, 10, 10), 49);
    EXPECT_EQ(read_map_portal_target_y(map, 10, 10), 0);
    set_map_portal(map, 10, 10, "", 0, 0);  // removes it
    EXPECT_EQ(read_map_portal_mapfilename(map, 10, 10), "");
    EXPECT_EQ(read_map_portal_target_x(map, 10, 10), 0);
}

TEST(MapGrid, PowersUsedOnAField) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    add_power_used(map, 5, 5, "open_lock");
    add_power_used(map, 5, 5, "open_lock");
    EXPECT_EQ(read_map_power_used(map, 5, 5), "open_lock");
    add_power_used(map, 5, 5, "light");
    EXPECT_EQ(read_map_power_used(map, 5, 5), "open_lock|light");
    EXPECT_EQ(field_power_used(map, 5, 5, "light"), 1);
    EXPECT_EQ(field_power_used(map, 5, 5, "heal|open_lock"), 1);
    EXPECT_EQ(field_power_used(map, 5, 5, "heal"), 0);
    EXPECT_EQ(field_power_used(map, 5, 5, "open"), 0);
    EXPECT_EQ(field_power_used(map, 6, 5, "light"), 0);
    // A list given with a trailing separator still finds its words.
    set_map_power_used(map, 6, 5, "light|");
    EXPECT_EQ(field_power_used(map, 6, 5, "light"), 1);
    add_power_used(map, 6, 5, "light");
    EXPECT_EQ(read_map_power_used(map, 6, 5), "light|");
}

TEST(MapGrid, WordListsShareAnEntry) {
    EXPECT_EQ(lists_share_entry("trap|fire", "fire", "|"), 1);
    EXPECT_EQ(lists_share_entry("trap|fire", "water|trap", "|"), 1);
    EXPECT_EQ(lists_share_entry("trap", "traps", "|"), 0);
    EXPECT_EQ(lists_share_entry("", "", "|"), 0);
    EXPECT_EQ(lists_share_entry("trap|", "trap", "|"), 1);
    EXPECT_EQ(lists_share_entry("trap|", "|", "|"), 0);      // trailing empty part is no word
    EXPECT_EQ(lists_share_entry("a||b", "|c", "|"), 1);      // empty word between two separators
    EXPECT_EQ(lists_share_entry("Trap", "trap", "|"), 0);    // exact comparison
    EXPECT_EQ(lists_share_entry("a, b", "b", ", "), 1);
}

TEST(MapGrid, MostCommonTileTypeLowestIdWinsATie) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) set_map_tile_type(map, x, y, y < 25 ? 4 : 2);
    EXPECT_EQ(most_common_tile_type(map), 2);
    set_map_tile_type(map, 0, 30, 4);  // now 1251 against 1249
    EXPECT_EQ(most_common_tile_type(map), 4);
    fill_map(map, 499);
    EXPECT_EQ(most_common_tile_type(map), 499);
}

TEST(MapGrid, FindRandomFieldDrawsAtMost101Positions) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    fill_map(map, 1);
    set_map_tile_type(map, 5, 7, 9);
    int x = -5, y = -5;

    // 100 misses at (0, 0), then the match on the 101st draw: not found, position unchanged.
    std::vector<int> draws(200, 0);
    draws.push_back(5);
    draws.push_back(7);
    script_random(draws);
    EXPECT_EQ(find_random_field(map, 9, 20, 20, x, y), 0);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, -5);
    // The 101st draw was taken and nothing more: the next draws come after it.
    script_random({3});
    EXPECT_EQ(Random(10), 3);

    // 99 misses, then the match on the 100th draw is found.
    draws.assign(198, 0);
    draws.push_back(5);
    draws.push_back(7);
    script_random(draws);
    EXPECT_EQ(find_random_field(map, 9, 20, 20, x, y), 1);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 7);

    // -1 searches the background tile; draws stay inside width x height.
    map.background_tile = 1;
    script_random({30, 30});
    EXPECT_EQ(find_random_field(map, -1, 10, 12, x, y), 1);
    EXPECT_EQ(x, 9);
    EXPECT_EQ(y, 11);

    // Nothing of the type anywhere: reported as not found.
    seed_random(7);
    x = y = 33;
    EXPECT_EQ(find_random_field(map, 200, 50, 50, x, y), 0);
    EXPECT_EQ(x, 33);
}

TEST(MapGrid, FillMapKeepsEventsFlagsAndPowers) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    set_map_portal(map, 2, 3, "a.xml", 1, 1);
    set_map_message(map, 2, 3, "l1", "l2", 5);
    set_map_event(map, 2, 3, "ev", 2);
    set_map_hidden(map, 2, 3, 1);
    set_map_visited(map, 2, 3, 1);
    set_map_power_used(map, 2, 3, "light");
    fill_map(map, 8);
    EXPECT_EQ(read_map_tile_type(map, 2, 3), 8);
    EXPECT_EQ(read_map_tile_type(map, 49, 49), 8);
    EXPECT_EQ(read_map_portal_mapfilename(map, 2, 3), "");
    EXPECT_EQ(read_map_message_line1(map, 2, 3), "");
    EXPECT_EQ(read_map_message_line2(map, 2, 3), "");
    EXPECT_EQ(read_map_message_tile(map, 2, 3), 0);
    EXPECT_EQ(read_map_event(map, 2, 3), "ev");
    EXPECT_EQ(read_map_event_xp(map, 2, 3), 2);
    EXPECT_EQ(read_map_hidden(map, 2, 3), 1);
    EXPECT_EQ(read_map_visited(map, 2, 3), 1);
    EXPECT_EQ(read_map_power_used(map, 2, 3), "light");
    EXPECT_FATAL(fill_map(map, 500), "set_map_tile_type: wrong tile_type: 500");
}

TEST(MapGrid, ResetMapEmptiesRecordAndTheFiveLists) {
    TempGameFolder game;
    GameMap& map = g_map.map;
    map.name = "Village";
    map.filename = "village.xml";
    map.tile_outside_map = map.default_tile = map.background_tile = 3;
    map.spawn_monster_level = map.spawn_monster_chance = 4;
    map.visited = 1;
    map.lighting = 6;
    map.tileset.image_filename = "a.png";
    map.tileset.definition_filename = "a.xml";
    map.tileset.tile_types[7].name = "door";
    map.tileset.tile_types[7].modify_attribute[2].attribute = 4;
    fill_map(map, 6);
    set_map_portal(map, 1, 1, "x.xml", 2, 2);
    set_map_event(map, 1, 1, "e", 1);
    set_map_hidden(map, 1, 1, 1);
    g_map.events.append().name = "e";
    g_map.transformations.append().event = "e";
    g_map.level_exits.append().name = "cave";
    g_map.items.append().type = 1;
    Monster rat;
    rat.type = 1;
    ASSERT_EQ(add_monster(rat), 1);

    reset_map(map);
    EXPECT_EQ(map.name, "");
    EXPECT_EQ(map.filename, "");
    EXPECT_EQ(map.tile_outside_map + map.default_tile + map.background_tile, 0);
    EXPECT_EQ(map.spawn_monster_level + map.spawn_monster_chance, 0);
    EXPECT_EQ(map.visited, 0);
    EXPECT_EQ(map.lighting, 0);
    EXPECT_EQ(map.tileset.image_filename, "");
    EXPECT_EQ(map.tileset.definition_filename, "");
    EXPECT_EQ(map.tileset.tile_types[7].name, "");
    EXPECT_EQ(map.tileset.tile_types[7].modify_attribute[2].attribute, 0);
    EXPECT_EQ(count_fields(map, [](const MapField& f) {
                  return f.tile_type != 0 || !f.portal_mapfile.empty() || !f.event.empty() || f.hidden != 0;
              }),
              0);
    EXPECT_TRUE(g_map.events.empty());
    EXPECT_TRUE(g_map.transformations.empty());
    EXPECT_TRUE(g_map.level_exits.empty());
    EXPECT_TRUE(g_map.items.empty());
    EXPECT_TRUE(g_map.monsters.empty());
}

TEST(MapGrid, AddMonsterOnlyOnFreeFieldsOfTheGrid) {
    TempGameFolder game;
    Monster record;
    record.type = 5;
    record.x = 10;
    record.y = 11;
    record.hitpoints = 12;
    record.alerted = 1;
    record.offset_x = 9;
    record.offset_y = 9;
    record.status = "slowed";
    EXPECT_EQ(add_monster(record), 1);
    EXPECT_EQ(add_monster(record), 0);  // field taken
    record.x = 50;
    EXPECT_EQ(add_monster(record), 0);
    record.x = 0;
    record.y = -1;
    EXPECT_EQ(add_monster(record), 0);
    record.y = 49;
    record.type = 6;
    EXPECT_EQ(add_monster(record), 1);
    ASSERT_EQ(g_map.monsters.count(), 2);
    const Monster& first = *g_map.monsters.begin();
    EXPECT_EQ(first.type, 5);
    EXPECT_EQ(first.x, 10);
    EXPECT_EQ(first.y, 11);
    EXPECT_EQ(first.hitpoints, 12);
    EXPECT_EQ(first.alerted, 1);
    EXPECT_EQ(first.offset_x, 0);
    EXPECT_EQ(first.offset_y, 9);  // taken from the record, unlike offset_x
    EXPECT_EQ(first.status, "");
    EXPECT_EQ(std::next(g_map.monsters.begin())->type, 6);  // appended at the end
}

}  // namespace
