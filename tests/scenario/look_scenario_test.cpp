// The look screen: what the lines say of a monster, the items and the field
// under the cursor as the character knows them, and the screen's keys in play.
#include <gtest/gtest.h>

#include <string>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "game/turn_state.h"
#include "map/map_grid.h"
#include "map/seen_fields.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "screens/look_screen.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

void start_look_game(const TempGameFolder& folder) {
    FixtureOptions options;
    options.messages = shipped_messages("400..409");  // the look screen's texts
    options.abilities = R"(<ability id="3" name="poisoned"><name language="English">Poisoned</name></ability>
      <ability id="4" name="strength"><name language="English">Strength</name></ability>)";
    options.items = R"(<item id="1" name="Lantern" tile="1" weight="25" fuel="100" fuel_name="[fuel] turns of oil"
      use_name="Light it"><ability_bonus attribute="4" value="2"/></item>)";
    options.tile_types = R"(<tile_type id="8" name="embers"><modify_attribute attribute="1" amount="-3"/></tile_type>
      <tile_type id="9" name="spikes"><modify_attribute attribute="1" amount="-5"/></tile_type>)";
    options.start_map = R"(<monster type="1" xpos="4" ypos="4" hitpoints="7"/>
      <item xpos="3" ypos="5" type="1" fuel="40"/>
      <field x="5" y="5">8</field>
      <field x="6" y="5" hidden="yes">9</field>)";
    write_fixture_game(folder, options);
    write_saved_game(folder, 2, 4, 0);
    headless::set_deadline(600000);
    startup();
    g_shell.loop.menu = 0;
    MonsterType& rat = g_db.monster_types[1];
    rat = MonsterType{};
    rat.name = "Giant Bat";
    rat.hitpoints = 9;
    rat.attack = 4, rat.defense = 3, rat.armor = 1, rat.strength = 5, rat.speed = 2, rat.flying = 1;
    rat.afflictions[0].chance = 30, rat.afflictions[0].attribute = 3, rat.afflictions[0].value = 2;
    rat.afflictions[1].chance = 10, rat.afflictions[1].attribute = 3, rat.afflictions[1].value = 1;  // named once
    mark_seen_fields(g_map.map);
}

}  // namespace

TEST(Look, TheLinesTellWhatTheCharacterKnowsOfMonsterItemsAndField) {
    TempGameFolder folder;
    start_look_game(folder);
    const struct {
        int x, y;
        std::vector<std::string> lines;
    } cases[] = {
        {4, 4,
         {"Giant Bat", "Hit points: 7 of 9", "Attack 4, defence 3, armour 1", "Strength (damage) 5, speed 2", "It flies.",
          "Its blows may change: Poisoned", "grass"}},
        {3, 5, {"Lantern", "Weight: 2.5 kg", "Strength +2", "40 turns of oil", "Use: Light it", "grass"}},
        {5, 5, {"embers", "Entering it: hit_points -3"}},
        // A hidden trap shows the name of its tile only; a field never seen, nothing.
        {6, 5, {"spikes"}},
        {40, 40, {"Nothing known about it."}},
    };
    for (const auto& c : cases) EXPECT_EQ(look_lines(c.x, c.y), c.lines) << c.x << ", " << c.y;
    // A monster out of sight is not described: only its field.
    set_map_seen(g_map.map, 30, 30, 1);
    for (Monster& monster : g_map.monsters) monster.x = 30, monster.y = 30;
    EXPECT_EQ(look_lines(30, 30), std::vector<std::string>{"grass"});
}

TEST(Look, KOpensTheScreenTheArrowsMoveItsCursorAndNoTurnPasses) {
    TempGameFolder folder;
    start_look_game(folder);
    const int turns = g_character_model.character.turns;
    const uint32_t t = headless::now() + 5;
    headless::key_tap(t, 0x25, 30);                  // K
    headless::key_tap(t + 100, key::right, 30);      // the cursor, not the character
    headless::key_tap(t + 200, key::escape, 30);
    headless::advance(10);
    main_loop_pass();
    EXPECT_EQ(g_character_model.character.x, 2);
    EXPECT_EQ(g_character_model.character.turns, turns);
    EXPECT_EQ(g_shell.loop.menu, 0);  // the Escape that closed the screen did not save and leave
    headless::advance(400);
    main_loop_pass();
    EXPECT_EQ(g_shell.loop.menu, 0);
}
