// What the game tells the player is said once and is true: a field walked
// against speaks once per bump, repeats are counted in the history, a power's
// chance is shown as the roll treats it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "game/turn_state.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "screens/power_screens.h"

namespace {

CharacterRecord& hero() { return g_character_model.character; }

std::vector<std::string> history() {
    std::vector<std::string> lines;
    for (const ShownText& shown : g_common.message_history.texts) lines.push_back(history_line(shown));
    return lines;
}

}  // namespace

// A door held against for a second says it is locked once; three more taps
// count it in the same line; a sign stepped onto after it is a line of its own.
TEST(PlayerWords, ABumpHeldForASecondIsOneHistoryLineAndRepeatsAreCounted) {
    TempGameFolder folder;
    FixtureOptions options;
    options.start_map = R"(<field x="6" y="5" message_line1="The door is locked." message_tile="4">4</field>
                           <field x="5" y="6" message_line1="A sign.">1</field>)";
    write_fixture_game(folder, options);
    write_saved_game(folder, 5, 5, 1);
    std::vector<std::string> band;  // the band's first line whenever it changed
    headless::on_flip([&] {
        const std::string& text = g_common.status_message.text;
        if (band.empty() || band.back() != text) band.push_back(text);
    });
    tap(300, key::ret);           // continue
    hold(800, 1800, key::right);  // against the door for a second
    tap(2200, key::right);
    tap(2700, key::right);
    tap(3200, key::right);
    tap(3700, key::down);  // onto the sign
    tap(4200, key::escape);
    tap(4800, key::escape);
    play_session();

    EXPECT_EQ(hero().x * 100 + hero().y, 506);
    EXPECT_EQ(g_shell.turns_ended, 0u);
    EXPECT_EQ(history(), (std::vector<std::string>{"The door is locked. (x4)", "A sign."}));
    EXPECT_EQ(g_common.message_history.shown, 5u);
    EXPECT_EQ(band, (std::vector<std::string>{"", "The door is locked.", "A sign."}));

    // A new game starts with an empty history.
    clear_message_history();
    EXPECT_TRUE(history().empty());
}

// The power screen shows a chance as the roll Random(99) < chance treats it.
TEST(PlayerWords, ChancesAreShownBetweenNoneAndCertain) {
    TempGameFolder folder;
    g_common.messages[36] = "Chance of success";
    g_db.abilities[1].name = "magic";
    g_db.powers[1].name = "Bolt";
    g_db.powers[1].success_attribute = 1;
    struct Case {
        int magic, multiplier, bonus;
        const char* shown;
    };
    for (const Case& c : std::vector<Case>{{60, 1, 43, "103 -> 100"}, {5, 1, -20, "-15 -> 0"}, {40, 2, 15, "95"},
                                           {50, 2, 0, "100"}}) {
        hero().abilities[1].attribute_current_value = static_cast<int16_t>(c.magic);
        hero().abilities[1].attribute_max_value = static_cast<int16_t>(c.magic);
        g_db.powers[1].success_attribute_multiplier = static_cast<int16_t>(c.multiplier);
        g_db.powers[1].success_bonus = static_cast<int16_t>(c.bonus);
        const std::string shown = c.shown;
        const std::string expected = shown.substr(shown.rfind(' ') + 1);
        EXPECT_EQ(success_chance_line(1), "Chance of success: " + expected + "%") << shown;
    }
}
