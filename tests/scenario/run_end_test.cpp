// The end of a run: found treasure and death each enter the hall of fame,
// which outlives the savegame, with an account of the run beside it; the
// death screen tells what the run came to.
#include <gtest/gtest.h>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "game/hall_of_fame.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/message_list.h"
#include "game/run_account.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "monsters/melee_combat.h"
#include "screens/ending_screen.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The made-up game continued at (5, 5) with these hit points (of 20) and this
// much of a run behind the character; a chalice lies on its field.
void write_run_game(const TempGameFolder& folder, int hit_points, const std::string& run) {
    FixtureOptions options;
    options.hp_per_turn = -1;
    options.items = R"(<item id="9" name="Chalice" tile="0" class="treasure" can_be_equipped="yes"/>)";
    options.start_map = R"(<item xpos="5" ypos="5" type="9"/>)";
    write_fixture_game(folder, options);
    write_saved_game(folder, 5, 5, 1);
    std::string character = saved_file("savegame\\character.xml");
    character.replace(character.find("/>"), 2,
                      " " + run + "><ability id=\"1\" attribute_max_value=\"20\" attribute_current_value=\"" +
                          std::to_string(hit_points) + "\"/></character>");
    folder.write("savegame\\character.xml", character);
}

std::string summary() {
    std::string text;
    for (const FameEntry& run : load_hall_of_fame().entries)
        text += std::to_string(run.run) + ":" + run.map + ":" + std::to_string(run.deepest_level) + ":" +
                std::to_string(run.turns) + ":" + std::to_string(run.kills) + (run.won ? ":won" : "") + ";";
    return text;
}

}  // namespace

TEST(RunEnd, TheTreasureAndADeathEnterTheHallOfFameWithAnAccountOfTheRun) {
    TempGameFolder folder;
    // On the deepest level of a five-level cave: picking up its treasure wins the run.
    write_run_game(folder, 20,
                   "turns=\"100\" kills=\"7\" deepest_level=\"5\" deepest_dungeon=\"Old Cave\" dungeon_levels=\"5\" "
                   "dungeon_treasure=\"9\"");
    tap(300, key::ret);
    tap(800, key::p);
    tap(1100, key::ret);  // takes the chalice under the cursor, which takes the turn
    tap(1600, key::e);
    tap(2100, key::escape);
    tap(2700, key::escape);
    play_session();

    EXPECT_EQ(summary(), "1:Fixture Meadow:5:101:7:won;");
    std::string account;
    ASSERT_TRUE(read_whole_file("savegame\\hall_of_fame\\run_1.txt", account));
    for (const char* part : {"Found the treasure at the bottom of Old Cave.", "Turns: 101", "Monsters killed: 7",
                             "Deepest level: 5 of Old Cave", "hit_points: 19 / 20", "1 x Chalice",
                             "You have found the treasure!"})
        EXPECT_TRUE(has(account, part)) << part << "\n" << account;
    // The game goes on, saved with its counts; the win is not entered again.
    const std::string saved = saved_file("savegame\\character.xml");
    EXPECT_TRUE(has(saved, "turns=\"102\" kills=\"7\" deepest_level=\"5\"") && has(saved, "won=\"yes\"")) << saved;

    // Another character wastes away on the meadow in its first turn: the hall
    // keeps both (the deeper run first), the death screen tells the run.
    headless::reset();
    write_run_game(folder, 1, "");
    EXPECT_TRUE(file_exists("savegame\\hall_of_fame\\hall_of_fame.xml"));
    tap(300, key::ret);
    tap(800, key::e);
    tap(1600, key::escape);
    play_session();
    EXPECT_FALSE(file_exists("savegame\\character.xml"));
    EXPECT_EQ(summary(), "1:Fixture Meadow:5:101:7:won;2:Fixture Meadow:0:1:0;");
    ASSERT_NE(last_ended_run(), nullptr);
    EXPECT_EQ(last_ended_run()->cause, "You wasted away.");
    EXPECT_EQ(run_summary_lines(*last_ended_run()),
              (std::vector<std::string>{"Where: Fixture Meadow", "Turns: 1", "Monsters killed: 0",
                                        "Deepest level: none yet"}));
    ASSERT_TRUE(read_whole_file("savegame\\hall_of_fame\\run_2.txt", account));
    EXPECT_TRUE(has(account, "You wasted away.")) << account;
}

// Ten places, the deeper run first, then a won one, then the one in fewer turns;
// a damaged hall is no hall and is written anew.
TEST(RunEnd, TheHallKeepsTheTenBestByDepthAndTurns) {
    TempGameFolder folder;
    folder.write("savegame\\hall_of_fame\\hall_of_fame.xml", "<hall_of_fame runs=\"3\"><run bogus=\"1\"/>");
    EXPECT_TRUE(load_hall_of_fame().entries.empty());
    struct Run {
        int deepest, turns, won;
    };
    const std::vector<Run> runs = {{1, 50, 0}, {3, 900, 0}, {3, 400, 0}, {0, 10, 0}, {5, 1200, 1}, {5, 1100, 0},
                                   {2, 70, 0}, {2, 60, 0},  {1, 40, 0},  {0, 5, 0},  {4, 800, 0},  {3, 400, 0}};
    int place = 0;
    for (const Run& r : runs) {
        FameEntry entry;
        entry.deepest_level = static_cast<int16_t>(r.deepest);
        entry.turns = r.turns;
        entry.won = static_cast<uint8_t>(r.won);
        enter_hall_of_fame(entry, &place);
    }
    EXPECT_EQ(place, 5) << "the last run ties with the third and comes after it";
    const HallOfFame hall = load_hall_of_fame();
    EXPECT_EQ(hall.runs, 12);
    std::vector<int> order;
    for (const FameEntry& e : hall.entries) order.push_back(e.run);
    EXPECT_EQ(order, (std::vector<int>{5, 6, 11, 3, 12, 2, 8, 7, 9, 1}));
}

// The last foe falls: the final dungeon named it when the character went in
// (its treasure then is a find, no win), a fall of any other monster does
// nothing, its own fall wins the run once: the band says so, the hall keeps
// the run as won with the foe in its cause, and the ending tells the story
// with the foe's name and what the run came to.
TEST(RunEnd, TheLastFoesFallWinsTheRunAndTellsTheEnding) {
    TempGameFolder folder;
    write_fixture_game(folder);
    g_common.messages[msg::ending_story_first] = "[monster] lies still.";
    g_common.messages[msg::ending_cause] = "Slew [monster], the last foe";
    g_common.messages[msg::ending_band] = "[monster] has fallen!";
    g_common.messages[msg::RUN_TURNS] = "Turns: [value]";  // the run's lines as the fixture words them
    g_db.monster_types[2] = {.name = "Rat", .hitpoints = 2, .level = 1};
    g_db.monster_types[7] = {.name = "Shadow Lord", .hitpoints = 90, .level = 15};
    CharacterRecord& c = g_character_model.character;
    c.turns = 4000;
    c.kills = 120;

    DungeonRecord depths{.xpos = 3, .ypos = 3, .name = "Depths", .number_of_levels = 6, .main_treasure = 9,
                         .bottom_monster = 7, .is_final = 1};
    DungeonRecord halls = depths;
    halls.xpos = 5;
    halls.name = "Halls";
    halls.is_final = 0;
    g_map.level_exits.append() = halls;
    g_map.level_exits.append() = depths;
    note_level_exit(5, 3);  // a foe guards the halls' bottom: its treasure is no win, its foe no end
    EXPECT_EQ(std::tuple(c.final_foe, c.dungeon_treasure, c.deepest_dungeon), std::tuple(0, 0, "Halls"));
    c.deepest_level = 0;
    note_level_exit(3, 3);
    EXPECT_EQ(std::tuple(c.final_foe, c.dungeon_treasure, c.deepest_dungeon), std::tuple(7, 0, "Depths"));

    auto falls = [](int type) {
        Monster m;
        m.type = static_cast<int16_t>(type);
        m.x = 10;
        m.y = 10;
        add_monster(m);  // with no hit points left
        g_map.monsters.current().hitpoints = 0;
        remove_dead_monsters();
        return note_final_foe_fallen();
    };
    EXPECT_EQ(falls(2), nullptr);
    EXPECT_EQ(summary(), "");
    const std::string* foe = falls(7);
    ASSERT_NE(foe, nullptr);
    EXPECT_EQ(*foe, "Shadow Lord");
    EXPECT_EQ(std::tuple(c.won, c.final_foe, c.kills), std::tuple(1, 0, 122));
    EXPECT_EQ(g_common.status_message.text, "Shadow Lord has fallen!");
    const HallOfFame hall = load_hall_of_fame();
    ASSERT_EQ(hall.entries.size(), 1u);
    EXPECT_EQ(std::tuple(hall.entries[0].cause, hall.entries[0].won, hall.entries[0].dungeon, hall.entries[0].turns),
              std::tuple("Slew Shadow Lord, the last foe", 1, "Depths", 4000));
    const std::vector<TextLine> lines = ending_lines(*foe);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().text, "Shadow Lord lies still.");
    bool told_turns = false;
    for (const TextLine& line : lines) told_turns = told_turns || line.text == "Turns: 4000";
    EXPECT_TRUE(told_turns);
    // Once won, the foe's name is no more: nothing falls twice into the hall.
    EXPECT_EQ(falls(7), nullptr);
    EXPECT_EQ(load_hall_of_fame().runs, 1);
    // The goal opens a new game in the band where the messages tell it; a
    // message file without it (its placeholder) tells nothing.
    g_common.status_message.text = "before";
    g_common.messages[msg::opening_first] = missing_message_placeholder(msg::opening_first);
    show_opening_text();
    EXPECT_EQ(g_common.status_message.text, "before");
    g_common.messages[msg::opening_first] = "Slay the Shadow Lord.";
    g_common.messages[msg::opening_second] = "He waits below.";
    show_opening_text();
    EXPECT_EQ(std::tuple(g_common.status_message.text, g_common.status_message.second_text),
              std::tuple("Slay the Shadow Lord.", "He waits below."));
}
