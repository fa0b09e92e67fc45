// The screens that help the player find the way (help, message history, the
// map of what was seen) and resting, in whole sessions with scripted keys.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "screens/text_list_screen.h"
#include "scenario/scenario_support.h"
#include "screens/guide_screens.h"
#include "game/turn_state.h"

// Games are set up with designated initializers; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

std::string n(int v) { return std::to_string(v); }
CharacterRecord& hero() { return g_character_model.character; }

constexpr Colour GRASS = fixture_tile_colour(1), MARK = fixture_tile_colour(MARK_TILE), YOU = RGB(255, 255, 0);

struct GuideGame {
    int hp_per_turn = 0;
    int hit_points_now = 20;  // of 20
    // The map's light level: 8 shows the whole view, 1 the 3 x 3 fields around
    // the character, 2 the 5 x 5 fields less their corners.
    int light = 8;
    std::string map_elements;
};

// The made-up game with the shipped texts, continued with the character at
// (5, 5) facing right, on a copy of the meadow with the light level given.
void write_guide_game(const TempGameFolder& folder, const GuideGame& g) {
    FixtureOptions options;
    options.hp_per_turn = g.hp_per_turn;
    write_fixture_game(folder, options);
    std::ifstream shipped(std::string(UMBRANE_SOURCE_DIR) + "/game/data/messages.xml", std::ios::binary);
    folder.write("data\\messages.xml", std::string(std::istreambuf_iterator<char>(shipped), {}));
    folder.write("data\\monster.xml", R"(<monsters><monster id="1" name="Rat" attack="0" strength="1" hitpoints="4"
                                         speed="1" regeneration="1"/></monsters>)");
    write_saved_game(folder, 5, 5, 1);
    std::string character = saved_file("savegame\\character.xml");
    character.replace(character.find("/>"), 2,
                      "><ability id=\"1\" attribute_max_value=\"20\" attribute_current_value=\"" + n(g.hit_points_now) + "\"/></character>");
    folder.write("savegame\\character.xml", character);
    std::string map = saved_file("savegame\\map_start.xml");
    map.replace(map.find("lighting=\"8\""), 12, "lighting=\"" + n(g.light) + "\"");
    map.insert(map.find("</map>"), g.map_elements);
    folder.write("savegame\\map_start.xml", map);
}

std::vector<Colour> shown_frame() {
    std::vector<Colour> frame;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) frame.push_back(shown_screen_pixel(x, y));
    return frame;
}

// The back buffer as the text list draws these lines from row top.
std::vector<Colour> list_picture(int title, const std::vector<TextLine>& lines, int top) {
    draw_text_list(message_text(title), wrap_text_list(lines), message_text(msg::list_hint), top);
    std::vector<Colour> frame;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) frame.push_back(screen_pixel(x, y));
    return frame;
}

// The fields x 3..10 of the rows 3..7 on the map screen (8 pixels a field
// from (8, 8) for the whole meadow), by the colour in their middle: '.' black,
// 'g' grass, 'm' the mark tile, '@' the character's marker, '?' anything else.
std::vector<std::string> map_rows(const std::vector<Colour>& frame) {
    std::vector<std::string> rows;
    for (int y = 3; y <= 7; ++y) {
        std::string row;
        for (int x = 3; x <= 10; ++x) {
            const Colour c = frame[static_cast<size_t>((8 + 8 * y + 4) * SCREEN_WIDTH + 8 + 8 * x + 4)];
            row += c == BLACK ? '.' : c == GRASS ? 'g' : c == MARK ? 'm' : c == YOU ? '@' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

bool shows_hint(const std::vector<Colour>& frame) {
    for (int y = 448; y < 464; ++y)
        for (int x = 0; x < 200; ++x)
            if (frame[static_cast<size_t>(y * SCREEN_WIDTH + x)] == KEY_HINT_COLOUR) return true;
    return false;
}

}  // namespace

// Two signs read on the way are the history; help, history and map come and
// go without a turn; the fields seen lit are saved with the map, read back
// after a continue and drawn on the map screen.
TEST(GuideScreens, HelpHistoryAndTheMapOfSeenFieldsTakeNoTurn) {
    TempGameFolder folder;
    write_guide_game(folder, {.light = 1,
                              .map_elements = R"(<field x="6" y="5" message_line1="First sign">1</field>
                                                 <field x="7" y="5" message_line1="Second sign" message_line2="and more">1</field>)"});
    // The last picture of each phase of the script that shows a dialog frame or the map screen.
    std::map<std::string, std::vector<Colour>> shown;
    const std::vector<std::pair<uint32_t, std::string>> phases = {
        {2000, "history"}, {3200, "help"},  {3700, "help page 2"}, {4700, "game"},
        {5200, "help again"}, {5700, "game"}, {6200, "map"},         {6700, "game"}};
    headless::on_flip([&] {
        std::string phase;
        for (const auto& [from, name] : phases)
            if (headless::now() >= from) phase = name;
        const Colour corner = shown_screen_pixel(0, 0);
        if (phase == "map" ? corner == BLACK : corner == RGB(150, 110, 30)) shown[phase] = shown_frame();
    });
    tap(300, key::ret);
    tap(800, key::right);   // onto the first sign
    tap(1400, key::right);  // onto the second
    tap(2000, key::l);
    tap(2600, key::escape);  // leaves the history, and only that
    tap(3200, key::f1);
    tap(3700, key::page_down);
    tap(4200, key::l);       // no key of the help (closed, the "?" would open it again)
    tap(4700, key::slash);   // "?" closes it
    tap(5200, key::slash);   // and opens it
    tap(5700, key::ret);
    tap(6200, key::m);
    tap(6700, key::m);
    tap(7200, key::right);  // the game goes on: a step to (8, 5)
    tap(7800, key::escape);
    tap(8300, key::escape);
    play_session();

    EXPECT_EQ(g_shell.turns_ended, 0u);
    EXPECT_EQ(hero().x, 8);
    std::vector<std::string> history;
    for (const ShownText& shown_text : g_common.message_history.texts) history.push_back(shown_text.text);
    EXPECT_EQ(history, (std::vector<std::string>{"First sign", "Second sign and more"}));

    EXPECT_EQ(shown["history"], list_picture(msg::history_title, {{"First sign"}, {"Second sign and more"}}, 0));
    EXPECT_EQ(shown["help"], list_picture(msg::help_title, help_lines(), 0));
    EXPECT_EQ(shown["help page 2"], list_picture(msg::help_title, help_lines(), TEXT_LIST_PAGE - 1));
    EXPECT_EQ(shown["help again"], shown["help"]);
    EXPECT_EQ(shown.count("game"), 0u);

    // The map at (7, 5): what the light showed on the way from (5, 5), nothing else.
    const std::vector<Colour>& map = shown["map"];
    ASSERT_FALSE(map.empty());
    EXPECT_EQ(map_rows(map), (std::vector<std::string>{"........", ".ggggg..", ".ggg@g..", ".gggmg..", "........"}));
    EXPECT_TRUE(shows_hint(map));

    // Saved: x 4..9 of the rows 4..6, as runs from (0, 0).
    const std::string saved = saved_file("savegame\\map_start.xml");
    EXPECT_NE(saved.find(" seen=\"204 6 44 6 44 6\""), std::string::npos) << saved;

    // Continued, the map shows the fields seen before the save; those in sight now join them.
    headless::reset();
    shown.clear();
    headless::on_flip([&] {
        if (headless::now() > 800 && shown_screen_pixel(0, 0) == BLACK) shown["map"] = shown_frame();
    });
    tap(300, key::ret);
    tap(800, key::m);
    tap(1300, key::escape);
    tap(1800, key::escape);
    tap(2300, key::escape);
    play_session();
    const std::vector<Colour>& continued = shown["map"];
    ASSERT_FALSE(continued.empty());
    EXPECT_EQ(map_rows(continued),
              (std::vector<std::string>{"........", ".gggggg.", ".gggg@g.", ".gggmgg.", "........"}));
    EXPECT_EQ(g_shell.turns_ended, 0u);
}

// R rests turn after turn, each a whole turn, until one of its stops; the key
// that stops it does nothing else (this Escape would save and leave).
TEST(GuideScreens, RestingStops) {
    enum class Said { nothing, rested, monster, other };
    struct Case {
        const char* what;
        GuideGame game;
        uint32_t escape_at;  // Escape tapped during the rest (0: none)
        int turns_at_least, turns_at_most, hit_points;  // hit points after the rest and one turn more
        Said said;
    };
    const std::string rat_far = R"(<monster type="1" xpos="9" ypos="5" hitpoints="4" alerted="yes"/>)";
    const std::string rat_near = R"(<monster type="1" xpos="6" ypos="5" hitpoints="4"/>)";
    const std::string wounded_rat_in_the_dark = R"(<monster type="1" xpos="9" ypos="5" hitpoints="1"/>)";
    const std::vector<Case> cases = {
        {"healed", {.hp_per_turn = 1, .hit_points_now = 10}, 0, 10, 10, 20, Said::rested},
        {"never heals", {.hit_points_now = 10}, 0, 200, 200, 10, Said::nothing},
        {"loses hit points", {.hp_per_turn = -1, .hit_points_now = 10}, 0, 1, 1, 8, Said::nothing},
        {"nothing to heal", {.hp_per_turn = 1}, 0, 0, 0, 20, Said::rested},
        {"a monster in sight", {.hp_per_turn = 1, .hit_points_now = 10, .map_elements = rat_near}, 0, 0, 0, 11,
         Said::monster},
        {"a monster comes into sight", {.hp_per_turn = 1, .hit_points_now = 10, .light = 2, .map_elements = rat_far}, 0,
         2, 2, 13, Said::monster},
        {"a message", {.hp_per_turn = 1, .hit_points_now = 10, .light = 1, .map_elements = wounded_rat_in_the_dark}, 0,
         1, 1, 12, Said::other},
        {"a key", {.hit_points_now = 10}, 1300, 10, 60, 10, Said::nothing},
    };
    TempGameFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::reset();
        write_guide_game(folder, c.game);
        std::string text;  // the message when the rest is over
        headless::on_flip([&] {
            if (headless::now() < 6000) text = g_common.status_message.text;
        });
        tap(300, key::ret);
        tap(800, key::r);
        if (c.escape_at) tap(c.escape_at, key::escape);
        tap(6000, key::e);       // the game goes on after the rest: the next key acts at once
        tap(6500, key::down);
        tap(9000, key::escape);  // saved, and back to the menu
        tap(9500, key::escape);
        play_session();
        const int rested = static_cast<int>(g_shell.turns_ended) - 1;  // the E after it
        EXPECT_GE(rested, c.turns_at_least);
        EXPECT_LE(rested, c.turns_at_most);
        EXPECT_EQ(hero().abilities[1].attribute_current_value, c.hit_points);
        EXPECT_EQ(hero().y, 6);
        const Said said = text.empty()                                 ? Said::nothing
                          : text == message_text(msg::rested)          ? Said::rested
                          : text == message_text(msg::monster_in_sight) ? Said::monster
                                                                        : Said::other;
        EXPECT_EQ(said, c.said) << text;
    }

    // Resting into death: the death flow ends the game, as after any turn.
    headless::reset();
    write_guide_game(folder, {.hp_per_turn = -1, .hit_points_now = 1});
    tap(300, key::ret);
    tap(800, key::r);
    tap(3000, key::escape);
    play_session();
    EXPECT_EQ(g_shell.turns_ended, 1u);
    EXPECT_FALSE(hero().death_text.empty());
    EXPECT_FALSE(file_exists("savegame\\character.xml"));
}
