// Down a generated dungeon and back up, in a whole game.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"

TEST(Dungeon, DownThreeLevelsAndBackUpEachLevelKeepsItsStateAndGivesOnePickOnce) {
    TempGameFolder folder;
    FixtureOptions options;
    options.abilities = R"(<ability id="3" name="strength" xp="yes"><attribute_bonus name="strength" bonus="1"/></ability>)";
    options.messages = R"(<message id="25"><text language="English">level</text></message>
  <message id="28"><text language="English">You enter [dungeon_name], level [dungeon_level].</text></message>)";
    options.items = R"(<item id="1" name="Cup" price="250" artefact="yes"/>)";
    // Levels of 5 x 3 fields are one corridor: the way up at (1, 1), floor at (2, 1), the way down
    // (or the treasure) at (3, 1). The map_filename points out of the game folder: only its file part counts.
    options.start_map = R"(<dungeon xpos="3" ypos="4" name="The Pit" map_filename="..\..\evil" number_of_levels="3"
      dimension_x="5" dimension_y="3" lighting="8" default_tile="4" background_tile="1" tile_outside_map="4"
      main_treasure="1" bottom_portal="map_start.xml" bottom_portal_target_x="6" bottom_portal_target_y="6"
      bottom_portal_tile="38"/>)";
    write_fixture_game(folder, options);
    folder.write("tilesets\\tiles_standard.xml", R"(<tileset><tile_type id="1" name="floor"/><tile_type id="2" name="down"/>
      <tile_type id="3" name="up"/><tile_type id="4" name="rock" solid="yes"/><tile_type id="9" name="spikes" class="trap"/>
      <tile_type id="38" name="portal"/></tileset>)");
    folder.write_png("tilesets\\tiles_standard.png", 640, 256, [](int x, int y) { return fixture_tile_colour(x / 32 + y / 32); });

    struct Visit {
        std::string map;
        int x, y;
        bool operator==(const Visit&) const = default;
    };
    std::vector<Visit> visits;
    std::vector<std::pair<std::string, int>> messages;  // level messages with their icons
    uint32_t last_stamp = 0;
    int returns = 0, returns_as_left = 0;  // arrivals on a level seen before; found as they were left
    headless::on_flip([&] {
        const CharacterRecord& hero = g_character_model.character;
        const Visit here{g_map.map.filename, hero.x, hero.y};
        if (here.map.empty() || (!visits.empty() && visits.back() == here)) return;
        if (here.map.rfind("evil", 0) == 0 && here.map != visits.back().map &&
            std::any_of(visits.begin(), visits.end(), [&](const Visit& v) { return v.map == here.map; })) {
            ++returns;  // every visit walked to (2, 1), and its neighbour (2, 0) had its one search then
            returns_as_left += read_map_visited(g_map.map, 2, 0);
        }
        visits.push_back(here);
        const StatusMessage& m = g_common.status_message;
        if (m.text.rfind("You enter", 0) == 0 && m.time_stamp != last_stamp) messages.emplace_back(m.text, m.icon_number);
        last_stamp = m.time_stamp;
    });
    new_game_without_picks(300);
    const int R = key::right, L = key::left;
    const std::vector<std::pair<uint32_t, int>> keys = {
        {700, R},                           // onto the entrance: level 1, no pick
        {3000, R}, {3400, R}, {5000, key::ret},  // to the way down: level 2 is made, one pick
        {5800, R}, {6200, L},               // off the way up and back on: level 1 at its way down
        {8500, L}, {8900, R},               // off and on again: level 2 from its saved copy, no pick
        {11200, R}, {11600, R}, {13200, key::ret},  // down to the bottom: one more pick
        {14000, R}, {14400, L}, {16700, L}, {17100, L}, {19400, L}, {19800, L},  // up, up, up
        {22100, key::escape}};
    for (auto [at, code] : keys) tap(at, code);
    play_session(25000);

    const std::vector<Visit> path = {
        {"map_start.xml", 2, 4}, {"map_start.xml", 3, 4}, {"evil_1.xml", 1, 1}, {"evil_1.xml", 2, 1},
        {"evil_1.xml", 3, 1},    {"evil_2.xml", 1, 1},    {"evil_2.xml", 2, 1}, {"evil_2.xml", 1, 1},
        {"evil_1.xml", 3, 1},    {"evil_1.xml", 2, 1},    {"evil_1.xml", 3, 1}, {"evil_2.xml", 1, 1},
        {"evil_2.xml", 2, 1},    {"evil_2.xml", 3, 1},    {"evil_3.xml", 1, 1}, {"evil_3.xml", 2, 1},
        {"evil_3.xml", 1, 1},    {"evil_2.xml", 3, 1},    {"evil_2.xml", 2, 1}, {"evil_2.xml", 1, 1},
        {"evil_1.xml", 3, 1},    {"evil_1.xml", 2, 1},    {"evil_1.xml", 1, 1}, {"map_start.xml", 3, 4}};
    ASSERT_EQ(visits, path);
    EXPECT_EQ(std::tuple(returns, returns_as_left), std::tuple(4, 4));
    // The entrance's grass, then the way down, is the message's icon.
    EXPECT_EQ(messages, (std::vector<std::pair<std::string, int>>{{"You enter The Pit, level 1.", 1},
                                                                  {"You enter The Pit, level 2.", 2},
                                                                  {"You enter The Pit, level 2.", 2},
                                                                  {"You enter The Pit, level 3.", 2}}));
    // The pick a new level brings is announced beside the level's name.
    int announced = 0;
    for (const ShownText& shown : g_common.message_history.texts)
        announced += shown.text == "You enter The Pit, level 2. You may raise your abilities: 1 to choose.";
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(g_character_model.character.abilities[3].attribute_max_value, 2);  // levels 2 and 3, each once
    const std::string character = saved_file("savegame\\character.xml");
    EXPECT_NE(character.find("xpos=\"3\" ypos=\"4\" facing=\"3\" frame=\"0\" map_filename=\"map_start.xml\""), std::string::npos);
    EXPECT_GT(file_size("savegame\\evil_3.xml"), 0);
    EXPECT_FALSE(std::filesystem::exists(host_path("savegame\\..\\..\\evil_1.xml")));
}
