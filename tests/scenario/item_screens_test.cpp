// The inventory and the pick-up screen in whole sessions with scripted keys:
// what ends up in the saved character and map, and a few pixels of the grid,
// the cursor and the scroll bar.
#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "items/items_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "game/character_savegame.h"
#include "game/turn_state.h"

namespace {

constexpr Colour MARK = RGB(200, 0, 200), CURSOR = RGB(255, 255, 0);
constexpr int HIT_POINTS = 1, MOVEMENT = 2;
// Item picture k, with a see-through band along its top and left; cell 47 is the mark.
constexpr Colour picture(int k) { return RGB(10 + 5 * k, 200, 40); }

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Taps the keys one after the other, every 150 ms from start.
void keys(uint32_t start, std::initializer_list<int> codes) {
    for (int code : codes) tap(start += 150, code);
}

// The made-up game with bread (eaten), a torch (starting equipment, burns 3
// turns), an artefact ring (limit 1) and a shield; a chest that holds items;
// every turn costs a hit point. With a saved game when items are given.
void write_item_game(const TempGameFolder& folder, const std::string& carried = "", const std::string& lying = "") {
    FixtureOptions options;
    options.hp_per_turn = -1;
    write_fixture_game(folder, options);
    folder.write("data\\items.xml", R"(<items>
  <item id="1" name="Bread" tile="0" class="food" use_name="Eat" use_message="Crunchy." consumed_after_use="yes"
        turn_ends_after_use="yes"><ability_bonus attribute_name="hit_points" value="5"/></item>
  <item id="2" name="Torch" tile="1" tile_equipped="2" class="light" can_be_equipped="yes" starting_equipment="yes"
        fuel="3" fuel_consumed_per_turn="1"><ability_bonus attribute_name="movement" value="1"/></item>
  <item id="3" name="Ring" tile="3" class="ring" can_be_equipped="yes" equipment_limit="1" artefact="yes">
    <ability_bonus attribute_name="movement" value="0" magic_bonus_multiplier="1"/></item>
  <item id="4" name="Shield" tile="4" class="shield" can_be_equipped="yes"/>
</items>)");
    std::string messages = "<messages>";
    for (const auto& [id, text] : std::initializer_list<std::pair<int, const char*>>{
             {18, "Drop"}, {19, "Cancel"}, {20, "No more than [limit] of [item_class]."}, {22, "Nothing here."},
             {23, "You picked up"}, {24, "Several"}, {29, "New game"}, {30, "Continue"}, {31, "Quit"}, {33, "Equip"}, {165, "[ability] +[value]"}})
        messages += "<message id=\"" + std::to_string(id) + "\"><text language=\"English\">" + text + "</text></message>";
    folder.write("data\\messages.xml", messages + "</messages>");
    folder.write("tilesets\\test_tiles.xml", R"(<tileset><tile_type id="1" name="grass"/>
  <tile_type id="4" name="wall" solid="yes"/><tile_type id="7" name="chest" container="1"/></tileset>)");
    folder.write_png("graphics\\items.png", 256, 192, [](int x, int y) {
        const int k = (y / 32) * 8 + x / 32;
        return k == 47 ? MARK : (x % 32 < 4 || y % 32 < 4) ? BLACK : picture(k);
    });
    folder.write_png("graphics\\cursor.png", 32, 32,
                     [](int x, int y) { return (x < 2 || y < 2 || x > 29 || y > 29) ? CURSOR : BLACK; });
    if (carried.empty()) return;
    folder.write("savegame\\character.xml", "<character xpos=\"5\" ypos=\"5\" map_filename=\"map_start.xml\">" +
                                                carried + "</character>");
    folder.write("savegame\\map_start.xml", R"(<map name="Meadow" tileset_definition_filename="test_tiles.xml"
      tileset_image_filename="test_tiles.png" tile_outside_map="4" default_tile="1" background_tile="1" lighting="8">
      <field x="5" y="5">7</field><field x="6" y="5">7</field>)" + lying + "</map>");
}

// The saved character file gives back exactly the inventory and cursor the game ended with.
void expect_saved_inventory_reads_back() {
    auto state = [] {
        std::vector<std::vector<int>> rows;
        for (const InventoryEntry& e : g_items.inventory)
            rows.push_back({e.type, e.amount, e.fuel, e.equipped, e.selected, e.magic_bonus});
        rows.push_back({g_character_model.character.inventory_cursor_x, g_character_model.character.inventory_cursor_y});
        return rows;
    };
    const auto before = state();
    load_character(g_character_model.character, "savegame\\character.xml");
    EXPECT_EQ(state(), before);
}

AbilityState& ability(int id) { return g_character_model.character.abilities[id]; }

}  // namespace

TEST(ItemScreens, NewCharacterEquipsATorchThatBurnsOut) {
    TempGameFolder folder;
    write_item_game(folder);
    std::vector<Colour> before, after;  // the torch's cell: its background and picture; the bread's; the entry shown again
    std::set<Colour> cursor;
    int bonus_while_burning = -1;
    headless::on_flip([&] {
        const uint32_t t = headless::now();
        auto look = [] { return std::vector<Colour>{shown_screen_pixel(437, 48), shown_screen_pixel(450, 48),
                                                    shown_screen_pixel(482, 48), shown_screen_pixel(450, 256)}; };
        if (t > 1200 && t < 1300) before = look();
        if (t > 1800 && t < 2400) {
            after = look();
            cursor.insert(shown_screen_pixel(466, 32));
        }
        if (t > 2500 && t < 2700) bonus_while_burning = ability(MOVEMENT).item_bonus;
    });
    new_game_without_picks(300);                            // the torch first, then five breads
    keys(1000, {key::i, key::ret, key::ret, key::right});  // equip the torch (a turn), onto the bread
    keys(2400, {key::escape, key::e, key::e});              // two more turns: the torch goes out
    keys(3500, {key::escape, key::escape});
    play_session();

    EXPECT_EQ(before, (std::vector<Colour>{BLACK, picture(1), picture(0), picture(1)}));
    EXPECT_EQ(after, (std::vector<Colour>{MARK, picture(2), picture(0), picture(0)}));
    EXPECT_TRUE(cursor.count(CURSOR));  // it pulses: full in one phase, fainter in others
    EXPECT_GE(cursor.size(), 3u);
    EXPECT_EQ(bonus_while_burning, 1);
    EXPECT_EQ(ability(MOVEMENT).item_bonus, 0);
    EXPECT_EQ(ability(HIT_POINTS).attribute_current_value, 17);
    const std::string saved = saved_file("savegame\\character.xml");
    EXPECT_TRUE(has(saved, "inventory_cursor_x=\"1\" inventory_cursor_y=\"0\""));
    EXPECT_TRUE(has(saved, "<item type=\"2\" amount=\"1\" fuel=\"0\"/>\n  <item type=\"1\" amount=\"5\" selected=\"yes\"/>"))
        << saved;
    expect_saved_inventory_reads_back();
}

TEST(ItemScreens, PickingUpEmptiesTheChestAndTheItemMenuRefusesDropsAndEats) {
    TempGameFolder folder;
    write_item_game(folder, R"(<ability id="1" attribute_max_value="20" attribute_current_value="10"/>
                               <item type="1" amount="2"/><item type="3" amount="1" equipped="yes" magic_bonus="2"/>)",
                    R"(<item xpos="5" ypos="5" type="1"/><item xpos="6" ypos="5" type="4"/>
                       <item xpos="5" ypos="5" type="4"/><item xpos="5" ypos="5" type="3"/>)");
    folder.copy_shipped("sound");
    std::vector<Colour> marks;
    std::vector<std::string> messages;
    headless::on_flip([&] {
        if (headless::now() > 1200 && headless::now() < 1300) marks = {shown_screen_pixel(437, 48), shown_screen_pixel(469, 48)};
        const std::string shown = g_common.status_message.text + "|" + g_common.status_message.second_text;
        if (messages.empty() || messages.back() != shown) messages.push_back(shown);
    });
    tap(300, key::ret);
    keys(600, {key::p, key::space, key::right, key::right, key::space, key::ret});  // bread and ring
    keys(1800, {key::p, key::space, key::escape});                                // nothing is taken
    keys(2400, {key::p, key::space, key::ret, key::p});  // the shield, then an empty field
    // The second ring is refused; the first bread's menu (Eat, Drop, Keep the stack, Cancel) wraps
    // round from the top to Drop; then its last piece is eaten, which closes the screen.
    keys(3200, {key::i, key::right, key::right, key::right, key::ret, key::ret, key::left, key::left, key::left,
                key::ret, key::up, key::up, key::up, key::ret, key::ret, key::ret});
    keys(6000, {key::i, key::down, key::ret});  // Return on an empty cell leaves; the cursor goes home
    keys(6600, {key::escape, key::escape});
    play_session();

    EXPECT_EQ(marks, (std::vector<Colour>{MARK, BLACK}));
    EXPECT_EQ(messages, (std::vector<std::string>{"|", "Several:|Bread, Ring", "You picked up:|Shield", "Nothing here.|",
                                                  "No more than 1 of ring.|", "Crunchy.|hit_points +5"}));
    EXPECT_TRUE(has(headless::played_sounds().back().file, "failure"));
    EXPECT_EQ(ability(HIT_POINTS).attribute_current_value, 12);  // two takes, the meal (+5) and its turn
    EXPECT_EQ(ability(MOVEMENT).item_bonus, 2);                  // the equipped ring's magic bonus
    // The empty chest is grass now, where the dropped bread lies; the other chest keeps its shield.
    EXPECT_EQ(read_map_tile_type(g_map.map, 5, 5), 1);
    const std::string map = saved_file("savegame\\map_start.xml");
    EXPECT_FALSE(has(map, "x=\"5\" y=\"5\""));
    EXPECT_TRUE(has(map, "<field x=\"6\" y=\"5\">7</field>") && has(map, "<item xpos=\"6\" ypos=\"5\" type=\"4\"/>"));
    EXPECT_TRUE(has(map, "<item xpos=\"5\" ypos=\"5\" type=\"1\" amount=\"1\"/>"));  // the dropped bread, one piece
    // Items of a map file come with amount 0; the bread taken was an entry of its own.
    const std::string saved = saved_file("savegame\\character.xml");
    EXPECT_TRUE(has(saved, "inventory_cursor_x=\"0\" inventory_cursor_y=\"0\""));
    EXPECT_TRUE(has(saved, "<item type=\"3\" amount=\"1\" equipped=\"yes\" magic_bonus=\"2\"/>\n  <item type=\"1\" "
                           "amount=\"0\"/>\n  <item type=\"3\" amount=\"0\"/>\n  <item type=\"4\" amount=\"0\"/>"))
        << saved;
    expect_saved_inventory_reads_back();
}

// The pick-up screen's cursor starts on the first item lying there, whatever
// the inventory's cursor; Return with nothing marked takes the item under it.
TEST(ItemScreens, PickUpStartsOnTheFirstItemAndReturnAloneTakesIt) {
    TempGameFolder folder;
    write_item_game(folder, R"(<ability id="1" attribute_max_value="20" attribute_current_value="20"/>)",
                    R"(<item xpos="5" ypos="5" type="1"/><item xpos="5" ypos="5" type="3"/>
                       <item xpos="5" ypos="5" type="4"/>)");
    std::string character = saved_file("savegame\\character.xml");
    character.replace(character.find(" map_filename"), 0, " inventory_cursor_x=\"3\" inventory_cursor_y=\"2\"");
    folder.write("savegame\\character.xml", character);
    tap(300, key::ret);
    keys(600, {key::p, key::ret});              // the bread, first of the three
    keys(1200, {key::p, key::right, key::ret});  // of ring and shield, the shield
    keys(1900, {key::p, key::right, key::right, key::ret});  // an empty cell: nothing
    keys(2600, {key::escape, key::escape});
    play_session();

    std::vector<int> carried, lying;
    for (const InventoryEntry& e : g_items.inventory) carried.push_back(e.type);
    for (const MapItem& item : g_map.items) lying.push_back(item.type);
    EXPECT_EQ(carried, (std::vector<int>{1, 4}));
    EXPECT_EQ(lying, (std::vector<int>{3}));
    EXPECT_EQ(std::tuple(int(g_character_model.character.inventory_cursor_x), int(g_character_model.character.inventory_cursor_y)),
              std::tuple(3, 2));
}

TEST(ItemScreens, LongInventoryScrollsRowByRowAndClosingTheWindowEndsTheGame) {
    TempGameFolder folder;
    std::string items;
    for (int i = 0; i < 43; ++i) items += "<item type=\"" + std::to_string(1 + i % 2 * 3) + "\" amount=\"1\"/>";
    write_item_game(folder, items);
    std::set<int> slides;  // where the see-through band of the second row lies in column 0
    std::vector<Colour> bar_before, bar_after;
    auto bar = [] {  // frame, inside, thumb top edge, thumb, left and right edges
        return std::vector<Colour>{shown_screen_pixel(626, 32), shown_screen_pixel(632, 60), shown_screen_pixel(632, 82),
                                   shown_screen_pixel(632, 100), shown_screen_pixel(628, 100), shown_screen_pixel(637, 100)};
    };
    headless::on_flip([&] {
        const uint32_t t = headless::now();
        if (t > 800 && t < 900) bar_before = bar();
        if (t > 3300 && t < 3600) bar_after = bar();
        for (int y = 36; y < 224; ++y)
            if (shown_screen_pixel(450, y) == BLACK && shown_screen_pixel(450, y - 1) != BLACK) {
                slides.insert(y);
                break;
            }
    });
    tap(300, key::ret);
    tap(600, key::i);
    for (int k = 0; k < 8; ++k) tap(1000 + 300 * k, key::down);  // five rows, two scrolls, then the end
    headless::close_request(3600);
    play_session();

    EXPECT_EQ(g_shell.loop.quit, 1);
    // 43 entries make 8 rows of 192 / 8 = 24 pixels on the bar; two rows scrolled put the thumb at 34 + 48.
    const Colour grey = RGB(119, 119, 119), light = RGB(221, 221, 221), dark = RGB(34, 34, 34);
    EXPECT_EQ(bar_before, (std::vector<Colour>{grey, grey, grey, grey, light, dark}));
    EXPECT_EQ(bar_after, (std::vector<Colour>{grey, BLACK, light, grey, light, dark}));
    for (int y = 36; y <= 62; y += 2) EXPECT_TRUE(slides.count(y)) << y;  // 2 pixels a frame
    // The cursor rests on the last entry; the game ended from the screen and was saved.
    EXPECT_TRUE(has(saved_file("savegame\\character.xml"), "inventory_cursor_x=\"0\" inventory_cursor_y=\"5\""));
    EXPECT_EQ(std::prev(g_items.inventory.end())->selected, 1);
    expect_saved_inventory_reads_back();
}

// A menu entry whose text is empty is not shown and takes its action along:
// the shield's first entry is Drop, and Drop drops it. With 37 entries the
// grid was scrolled by a row; the 36 left fit without a scroll bar, so the
// grid comes back to the top and its last row shows entries again.
TEST(ItemScreens, AnEmptyMenuTextTakesItsActionAlongAndTheGridScrollsBack) {
    TempGameFolder folder;
    std::string items;
    for (int i = 0; i < 36; ++i) items += "<item type=\"1\" amount=\"1\"/>";
    write_item_game(folder, items + "<item type=\"4\" amount=\"1\"/>");
    folder.write("data\\messages.xml", R"(<messages><message id="18"><text language="English">Drop</text></message>
      <message id="19"><text language="English">Cancel</text></message>
      <message id="33"><text language="English"></text></message></messages>)");
    Colour last_row_after = RGB(1, 2, 3);
    headless::on_flip([&] {
        if (headless::now() > 3300 && headless::now() < 3500) last_row_after = shown_screen_pixel(450, 32 + 5 * 32 + 16);
    });
    keys(300, {key::ret, key::i, key::down, key::down, key::down, key::down, key::down, key::down});
    keys(2700, {key::ret, key::ret});  // the shield's menu: Drop
    keys(3500, {key::escape, key::escape, key::escape});
    play_session();
    EXPECT_EQ(g_items.inventory.count(), 36);
    EXPECT_TRUE(has(saved_file("savegame\\map_start.xml"), "<item xpos=\"5\" ypos=\"5\" type=\"4\" amount=\"1\"/>"));
    EXPECT_EQ(last_row_after, picture(0));
}
