// The advancement screen of a new character and the character screen, in
// whole games and as pictures.
#include <gtest/gtest.h>

#include "character/advancement.h"
#include "screens/advancement_screen.h"
#include "character/character_record.h"
#include "character/character_state.h"
#include "common/database.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "game/character_savegame.h"
#include "shell/startup.h"

namespace {

constexpr Colour ICON = RGB(90, 90, 200);
constexpr Colour piece(int k) { return RGB(150, 110, 20 + 10 * k); }  // the made-up frame sheet

std::string ability_xml(int id, int start, const std::string& inside) {
    const std::string n = std::to_string(id);
    return "<ability id=\"" + n + "\" name=\"a" + n + "\" xp=\"yes\" attribute_start_value=\"" +
           std::to_string(start) + "\"><attribute_bonus name=\"a" + n + "\" bonus=\"1\" displayed=\"yes\"/>" +
           inside + "</ability>\n";
}

CharacterRecord saved_character() {
    CharacterRecord c;
    load_character(c, "savegame\\character.xml");
    return c;
}

// Some pixel of the rectangle is not black.
bool ink(int x, int y, int width, int height) {
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + width; ++px)
            if (screen_pixel(px, py) != BLACK) return true;
    return false;
}

}  // namespace

TEST(Advancement, ThreePicksARefusedOneAndEscape) {
    TempGameFolder folder;
    FixtureOptions options;
    // a3 also gives 3 hit points; a4 needs a3 at 5.
    options.abilities = ability_xml(3, 3, "<attribute_bonus name=\"hit_points\" bonus=\"3\"/>") +
                        ability_xml(4, 3, "<requirement name=\"a3\" value=\"5\"/>");
    write_fixture_game(folder, options);
    tap(300, key::ret);  // new game
    // a3, then a4 refused (the pick stays), a3 again, a4: then the game.
    for (auto [at, code] : {std::pair{500, key::ret}, {700, key::down}, {900, key::ret}, {1100, key::up},
                            {1300, key::ret}, {1500, key::down}, {1700, key::ret}, {2000, key::right}})
        tap(at, code);
    hold(2500, 2600, key::left_alt);
    hold(2520, 2580, key::x);
    play_session(8000);
    CharacterRecord c = saved_character();
    EXPECT_EQ(c.x, 3);
    EXPECT_EQ(std::tie(c.abilities[3].attribute_max_value, c.abilities[3].attribute_current_value,
                       c.abilities[3].ability_value), std::tuple(5, 5, 2));
    EXPECT_EQ(std::tie(c.abilities[1].attribute_max_value, c.abilities[1].ability_value), std::tuple(26, 2));
    EXPECT_EQ(std::tie(c.abilities[4].attribute_max_value, c.abilities[4].ability_value), std::tuple(4, 1));

    // Escape on the first pick leaves with no pick, and the game goes on: it saves nor returns.
    headless::reset();
    folder.write("savegame\\character.xml", "");  // no game to continue: new game comes first
    new_game_without_picks(300);
    tap(700, key::right);
    hold(1500, 1600, key::left_alt);
    hold(1520, 1580, key::x);
    play_session(5000);
    c = saved_character();  // the step right was taken in the game, not in the menu
    EXPECT_EQ(std::tie(c.x, c.abilities[3].attribute_max_value), std::tuple(3, 3));
}

TEST(Advancement, ThePicturesOfTheAdvancementAndCharacterScreens) {
    TempGameFolder folder;
    FixtureOptions options;
    for (int id = 3; id <= 15; ++id) options.abilities += ability_xml(id, 3, "");
    auto entries = [](int id, int value, std::initializer_list<std::pair<int, int>> ranges) {
        std::string xml = "<ability id=\"" + std::to_string(id) + "\" name=\"u" + std::to_string(id) +
                          "\" attribute_start_value=\"" + std::to_string(value) + "\">";
        for (auto [from, to] : ranges)
            xml += "<display type=\"character info\" start_value=\"" + std::to_string(from) + "\" end_value=\"" +
                   std::to_string(to) + "\" message=\"[value]\" message2=\"x\" language=\"English\"/>";
        return xml + "</ability>";
    };
    // For the character screen: four abilities with "character info" entries.
    options.abilities += entries(16, 3, {{0, 0}, {5, 9}, {1, 4}}) + entries(17, -2, {{1, 5}, {-5, -1}}) +
                        entries(18, 0, {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}) +
                        entries(19, 9, {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}});
    options.powers = R"(<power id="1" name="Spark"><requirement attribute_name="a15" value="4"/></power>)";
    write_fixture_game(folder, options);
    startup();
    reset_character();

    // Thirteen abilities, the cursor on the last: the list scrolled by one.
    EXPECT_EQ(draw_advancement_screen(12, 13, "Choose"), 15);
    for (int row = 0; row <= 29; ++row)
        for (int x : {8, 632, 328})  // the borders; the divider for rows 3..28
            EXPECT_TRUE((x == 328 && (row < 3 || row > 28)) || screen_pixel(x, 16 * row + 8) == piece(1 + row % 5))
                << x << "," << row;
    for (int column = 1; column <= 38; ++column)
        for (int y : {0, 32, 464}) EXPECT_EQ(screen_pixel(16 * column + 8, y + 8), piece(7 + column % 5));
    EXPECT_EQ(screen_pixel(100, 440), BLACK);  // no footer band
    EXPECT_TRUE(ink(280, 16, 80, 16));  // the title
    EXPECT_EQ(screen_pixel(296, 52 + 32 * 11 + 30), RGB(80, 0, 0));  // the cursor bar on the last row
    EXPECT_EQ(screen_pixel(296, 52 + 32 * 10 + 30), BLACK);
    EXPECT_EQ(screen_pixel(30, 52 + 32 * 11 + 10), ICON);
    EXPECT_EQ(screen_pixel(350, 60), ICON);  // the selected ability, large
    // Scroll bar: step 384 / 12 = 32; the thumb from 1 * 32 + 54 = 86, 350 high, lit on top and left.
    for (auto [x, y, colour] : {std::tuple{300, 60, RGB(125, 75, 0)}, {306, 85, BLACK}, {306, 86, RGB(255, 200, 125)},
                                {302, 200, RGB(255, 200, 125)}, {306, 200, RGB(255, 150, 0)},
                                {311, 200, RGB(125, 75, 0)}, {306, 435, RGB(125, 75, 0)}})
        EXPECT_EQ(screen_pixel(x, y), colour) << x << "," << y;
    // The power the pick unlocks: label and picture below the one bonus line.
    EXPECT_TRUE(ink(378, 98, 100, 12));
    EXPECT_EQ(screen_pixel(350, 110), RGB(60, 160, 160));

    draw_dialog_frame("Title", "Footer");
    EXPECT_EQ(screen_pixel(100, 440), piece(8));
    EXPECT_TRUE(ink(280, 448, 80, 16));
    const int width = text_width("Perception...");
    EXPECT_EQ(fit_text("Perception", width, "..."), "Perception");
    EXPECT_EQ(fit_text("Perception", width - 1, "..."), "Perceptio...");  // fits alone, not with the dots
    EXPECT_EQ(fit_text("Größe", text_width("Grö..."), "..."), "Grö...");  // letters go whole

    character_screen();
    // Value 3 shows 0..0 (any value) and 1..4, not 5..9; value -2 only -5..-1; then ten more:
    // thirteen rows, eleven in the first column, two in the second (icon, text and second line).
    for (int row = 0; row <= 10; ++row) EXPECT_EQ(screen_pixel(30, 52 + 32 * row + 10), ICON) << row;
    EXPECT_EQ(screen_pixel(190, 84 + 10), ICON);
    EXPECT_EQ(screen_pixel(190, 116 + 10), BLACK);
    EXPECT_TRUE(ink(216, 84, 100, 14) && ink(216, 100, 100, 14));
    EXPECT_FALSE(ink(216, 116, 100, 14));
}
