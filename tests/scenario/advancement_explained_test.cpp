// Advancement explained: picks left with Escape wait for the key A, picks
// that come are announced, a power a pick opens is named and takes the next
// cell of the power grid instead of shifting the others.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "platform/headless.h"
#include "powers/use_power.h"
#include "scenario/scenario_support.h"
#include "screens/advancement_screen.h"

TEST(AdvancementExplained, PicksLeftForLaterWaitForAAndANewPowerKeepsTheOthersInPlace) {
    TempGameFolder folder;
    FixtureOptions options;
    options.abilities = R"(<ability id="3" name="wits" xp="yes" attribute_start_value="3">
                             <attribute_bonus name="wits" bonus="1" displayed="yes"/></ability>)";
    // Spark (id 1) needs wits 4; Glow (id 2) needs nothing.
    options.powers = R"(<power id="1" name="Spark" effect_name="activate ability">
                          <requirement attribute_name="wits" value="4"/></power>
                        <power id="2" name="Glow" effect_name="activate ability"/>)";
    write_fixture_game(folder, options);
    new_game_without_picks(300);  // the three picks wait
    tap(1000, key::a);            // taken up: one pick (wits 4), then Escape again
    tap(1300, key::ret);
    tap(1700, key::escape);
    tap(2500, key::escape);  // saved, the menu
    tap(3100, key::escape);
    play_session();

    const CharacterRecord& c = g_character_model.character;
    EXPECT_EQ(c.abilities[3].attribute_max_value, 4);
    EXPECT_EQ(c.picks_waiting, 2);
    // Glow had the first cell before Spark came: it keeps it.
    EXPECT_EQ(power_grid_cells(36), (std::vector<int>{2, 1}));
    std::vector<std::string> history;
    for (const ShownText& shown : g_common.message_history.texts) history.push_back(shown.text);
    EXPECT_EQ(history, (std::vector<std::string>{"3 left for later: press A to choose.",
                                                 "2 left for later: press A to choose.",
                                                 "You can use a new power: Spark"}));
    const std::string saved = saved_file("savegame\\character.xml");
    EXPECT_NE(saved.find("picks_waiting=\"2\" power_grid=\"2 1\""), std::string::npos) << saved;

    // Without picks waiting, A says what the next pick comes with.
    g_character_model.character.picks_waiting = 0;
    EXPECT_EQ(next_pick_text(), "Picks come with every new dungeon level below the first and with some deeds.");
    g_character_model.character.deepest_dungeon = "The Pit";
    g_character_model.character.deepest_level = 2;
    g_character_model.character.dungeon_levels = 3;
    EXPECT_EQ(next_pick_text(), "Next pick: on reaching level 3 of The Pit");
}
