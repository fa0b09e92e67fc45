// Levers, messages and portals in whole games.
#include <gtest/gtest.h>

#include <filesystem>

#include "character/character_state.h"
#include "common/common_state.h"
#include "map/map_events.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"

namespace {

CharacterRecord& hero() { return g_character_model.character; }
const std::string kLevers = R"(<tile_type id="7" name="lever" solid="yes"/><tile_type id="8" name="pulled" solid="yes"/>)";

// The saved map's line of the field at (x, y).
std::string saved_field(int x, int y) {
    const std::string text = saved_file("savegame\\map_start.xml");
    const size_t at = text.find("<field x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"");
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

}  // namespace

TEST(MapEvents, ALeverFiresOnceForBothFieldsOfItsEventAndOpensTheGate) {
    TempGameFolder folder;
    FixtureOptions options;
    options.abilities = R"(<ability id="3" name="strength" xp="yes"><attribute_bonus name="strength" bonus="1"/></ability>)";
    options.tile_types = kLevers + R"(<tile_type id="9" name="gate" solid="yes"/>)";
    // Levers left of and below the start field (2, 4); the gate on the row to the right.
    options.start_map = R"(
  <field x="1" y="4" event="gate_lever" event_xp="1" message_line1="A lever.">7</field>
  <field x="2" y="5" event="gate_lever" event_xp="1" message_line2="Another lever." message_tile="7">7</field>
  <field x="5" y="4" message_line1="A shut gate.">9</field>
  <transformation event="gate_lever" x="1" y="4" tile_type="8" message_line1="Pulled."/>
  <transformation event="gate_lever" x="5" y="4" tile_type="1"/>)";
    write_fixture_game(folder, options);
    bool second_line_only = false;
    headless::on_flip([&] {
        const StatusMessage& m = g_common.status_message;
        second_line_only |= m.text.empty() && m.second_text == "Another lever." && m.icon_number == 7;
    });
    new_game_without_picks(300);
    tap(700, key::left);  // against the lever: its point opens the advancement screen
    tap(1000, key::ret);
    tap(1300, key::down);  // against the other lever: nothing fires again
    for (uint32_t at : {1700u, 2100u, 2500u, 2900u}) tap(at, key::right);
    tap(3500, key::escape);
    play_session(6000);

    EXPECT_EQ(hero().x, 6);  // through the open gate
    EXPECT_EQ(hero().abilities[3].attribute_max_value, 1);  // one pick only
    EXPECT_TRUE(second_line_only);
    for (const char* text : {"message_line1=\"Pulled.\"", "event_triggered=\"1\"", ">8<"})
        EXPECT_NE(saved_field(1, 4).find(text), std::string::npos) << text;
    EXPECT_NE(saved_field(2, 5).find("event_triggered=\"1\""), std::string::npos);
    EXPECT_EQ(saved_file("savegame\\map_start.xml").find("A shut gate."), std::string::npos);
    EXPECT_FATAL(trigger_map_event(g_map.map, 50, 3), "trigger_map_event: wrong parameters: x=50; y=3");
}

TEST(MapEvents, APortalThereAndBackFindsTheOtherMapAsItWasLeftAndOnlyTheFilePartCounts) {
    TempGameFolder folder;
    FixtureOptions options;
    options.tile_types = kLevers;
    options.start_map = R"(
  <field x="3" y="4" portal_mapfile="map_two.xml" portal_x="5" portal_y="5">1</field>
  <field x="2" y="5" portal_mapfile="..\..\outside.xml" portal_x="1" portal_y="1">1</field>)";
    write_fixture_game(folder, options);
    const std::string head = R"(<map tileset_definition_filename="test_tiles.xml" tileset_image_filename="test_tiles.png" name=")";
    folder.write("maps\\map_two.xml", head + R"(Two">
  <field x="4" y="5" event="two_lever">7</field>
  <field x="6" y="5" portal_mapfile="map_start.xml" portal_x="4" portal_y="4">1</field>
  <transformation event="two_lever" x="4" y="5" tile_type="8"/></map>)");
    folder.write("maps\\outside.xml", head + "Outside\"/>");

    new_game_without_picks(300);
    tap(700, key::right);   // onto the portal: Two at (5, 5)
    tap(3000, key::left);   // the lever there (no points: no screen)
    tap(3300, key::right);  // back to the start map at (4, 4)
    tap(5600, key::left);   // and to Two again, from its saved copy
    tap(8000, key::escape);
    play_session(12000);
    EXPECT_EQ(g_map.map.filename, "map_two.xml");
    EXPECT_EQ(read_map_tile_type(g_map.map, 4, 5), 8);
    EXPECT_EQ(map_event_triggered("two_lever"), 1);
    EXPECT_EQ(std::tie(hero().x, hero().y, g_map.map.visited), std::tuple(5, 5, 1));
    EXPECT_NE(saved_file("savegame\\character.xml").find("map_filename=\"map_two.xml\""), std::string::npos);

    // "..\..\outside.xml": read from "maps\", saved to "savegame\", nowhere else.
    headless::reset();
    folder.write("savegame\\character.xml", "");  // no game to continue: new game comes first
    new_game_without_picks(300);
    tap(700, key::down);
    tap(3500, key::escape);
    play_session(6000);
    EXPECT_EQ(std::tie(g_map.map.name, hero().map_file_name), std::tuple("Outside", "outside.xml"));
    EXPECT_GT(file_size("savegame\\outside.xml"), 0);
    EXPECT_FALSE(std::filesystem::exists(host_path("savegame\\..\\..\\outside.xml")));
}
