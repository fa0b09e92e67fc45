// Travelling and exploring in whole games: every step the loop's own step
// (events, field effects, journeys and their saves), each reason to stop, found
// traps and hurting ground gone round, a maze explored to its end.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "common/view_cells.h"
#include "game/travel.h"
#include "game/turn_state.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/seen_fields.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "shell/main_loop.h"
#include "screens/map_screen.h"
#include "screens/screen_stack.h"
#include "shell/startup.h"
#include "shell/travel_step.h"

namespace {

CharacterRecord& hero() { return g_character_model.character; }
MapPoint hero_at() { return {hero().x, hero().y}; }

const char* kTravelMessages = R"(
  <message id="218"><text language="English">A monster is in sight.</text></message>
  <message id="219"><text language="English">Nothing left to explore here.</text></message>
  <message id="220"><text language="English">You know no way down.</text></message>
  <message id="221"><text language="English">You know no way up or back.</text></message>
  <message id="222"><text language="English">You know no way there.</text></message>)";

// A found trap (7), hurting ground (8), stairs down (9), a monster type.
const char* kTravelTiles = R"(
  <tile_type id="7" name="spikes" class="trap">
    <modify_attribute attribute="1" amount="-2" trigger_hidden="yes" turn_ends="yes"/></tile_type>
  <tile_type id="8" name="embers"><modify_attribute attribute="1" amount="-1"/></tile_type>
  <tile_type id="9" name="stairs" class="way_down"/>)";

// The saved game at (x, y) on the fixture's start map with the extras, the
// loop in play; the row y = 4 is seen from x 0 to 30 besides what is in sight.
void start_game(const TempGameFolder& folder, FixtureOptions options, int x = 2, int y = 4) {
    options.messages += kTravelMessages;
    options.tile_types += kTravelTiles;
    write_fixture_game(folder, options);
    write_saved_game(folder, x, y, 0);
    headless::set_deadline(600000);
    startup();
    g_shell.loop.menu = 0;
    g_db.abilities[1].modify_per_point_of_damage = 1;  // hit points: what blows lower
    for (int k = 0; k <= 30; ++k) set_map_seen(g_map.map, k, 4, 1);
    mark_seen_fields(g_map.map);
}

// The fields the character stood on, step by step, through the loop's own
// step; and how often the picture after a step marked the field after next.
std::vector<MapPoint> g_walked;
int g_marks_shown = 0;
bool recording_step(int dx, int dy) {
    const bool moved = travel_step(dx, dy);
    g_walked.push_back(hero_at());
    if (g_travel.path.size() >= 3) {
        const MapPoint ahead = g_travel.path[2];
        const int column = ahead.x - hero().x + VIEW_CENTRE, row = ahead.y - hero().y + VIEW_CENTRE;
        if (shown_screen_pixel(column * CELL + CELL / 2, row * CELL + CELL / 2) == RGB(255, 220, 80)) ++g_marks_shown;
    }
    return moved;
}
int g_steps_before_key = 0;
bool key_after_steps() { return --g_steps_before_key < 0; }
bool no_key() { return false; }
bool playing() { return !g_shell.loop.menu && !g_shell.loop.quit; }

}  // namespace

TEST(Travel, EachReasonToStop) {
    struct Case {
        const char* what;
        FixtureOptions options;
        TravelGoal goal;
        MapPoint target;
        TravelStop expected;
        MapPoint stops_at;
        int message = 0;  // said in the band, when any
    };
    FixtureOptions plain, bleeding, dying, frozen;
    bleeding.start_map = R"(<field x="5" y="4" hidden="yes">7</field>)";
    dying.hp_per_move = -25;
    frozen.movement = 0;
    auto with_map = [](FixtureOptions o, std::string children) {
        o.start_map += children;
        return o;
    };
    const std::vector<Case> cases = {
        {"arrives", plain, TravelGoal::field, {20, 4}, TravelStop::arrived, {20, 4}},
        {"a field's message", with_map(plain, R"(<field x="6" y="4" message_line1="A sign.">1</field>)"),
         TravelGoal::field, {20, 4}, TravelStop::message_shown, {6, 4}},
        {"a hidden trap strikes", bleeding, TravelGoal::field, {20, 4}, TravelStop::hurt, {5, 4}},
        {"a monster comes into sight", with_map(plain, R"(<monster type="1" xpos="15" ypos="8" hitpoints="4"/>)"), TravelGoal::field,
         {20, 4}, TravelStop::monster_in_sight, {9, 4}, msg::monster_in_sight},
        {"an item comes into view", with_map(plain, R"(<item xpos="15" ypos="2" type="1"/>)"), TravelGoal::field,
         {20, 4}, TravelStop::item_seen, {9, 4}},
        {"the character dies", dying, TravelGoal::field, {20, 4}, TravelStop::left_play, {3, 4}},
        {"no movement", frozen, TravelGoal::field, {20, 4}, TravelStop::not_moved, {2, 4}},
        {"walled in",
         with_map(plain, R"(<field x="1" y="4">4</field><field x="3" y="4">4</field><field x="2" y="5">4</field>)"),
         TravelGoal::field, {20, 4}, TravelStop::no_way, {2, 4}, msg::no_way_there},
        {"no way down known", plain, TravelGoal::way_down, {}, TravelStop::no_way, {2, 4}, msg::no_way_down},
        {"no way up known", plain, TravelGoal::way_up, {}, TravelStop::no_way, {2, 4}, msg::no_way_up},
    };
    for (const Case& c : cases) {
        TempGameFolder folder;
        FixtureOptions options = c.options;
        options.items += R"(<item id="1" name="stone" tile="1"/>)";
        start_game(folder, options);
        const uint32_t shown = g_common.message_history.shown;
        EXPECT_EQ(travel_command(c.goal, c.target), c.expected) << c.what;
        EXPECT_EQ(hero_at(), c.stops_at) << c.what << ": at " << hero().x << ", " << hero().y;
        if (c.message) {
            EXPECT_EQ(g_common.status_message.text, message_text(c.message)) << c.what;
        }
        if (c.expected == TravelStop::arrived) {
            EXPECT_EQ(g_common.message_history.shown, shown) << c.what;
        }
        EXPECT_FALSE(g_travel.active);
        EXPECT_TRUE(g_travel.path.empty());
    }
}

TEST(Travel, EveryStepIsTheLoopsStepAndAKeyStopsTheWalk) {
    TempGameFolder folder;
    FixtureOptions options;
    // A lever on the way that opens a gate further on; a found trap and embers on the straight way.
    options.start_map = R"(
  <field x="4" y="4" event="gate_lever">1</field>
  <field x="9" y="4">7</field>
  <field x="12" y="4">8</field>
  <field x="16" y="4" message_line1="A shut gate.">4</field>
  <transformation event="gate_lever" x="16" y="4" tile_type="1"/>)";
    start_game(folder, options);
    for (int k = 0; k <= 30; ++k) set_map_seen(g_map.map, k, 5, 1);  // the way round
    g_walked.clear();
    g_marks_shown = 0;
    int steps = 0;
    EXPECT_EQ(travel(TravelGoal::field, {20, 4},
                     {recording_step, no_key, playing}, &steps),
              TravelStop::arrived);
    EXPECT_EQ(hero_at(), (MapPoint{20, 4}));
    EXPECT_EQ(read_map_tile_type(g_map.map, 16, 4), 1);  // the lever fired on the way: the gate is open
    EXPECT_EQ(map_event_triggered("gate_lever"), 1);
    // Round the trap and the embers: one step aside and one back.
    EXPECT_EQ(steps, 18 + 2);
    EXPECT_EQ(static_cast<int>(g_walked.size()), steps);
    // The way ahead is drawn while it is walked: the field after next marked after every step that has one.
    EXPECT_EQ(g_marks_shown, steps - 2);
    for (const MapPoint& p : g_walked) EXPECT_FALSE((p == MapPoint{9, 4}) || (p == MapPoint{12, 4})) << p.x;
    EXPECT_EQ(hero().abilities[1].attribute_current_value, 20);

    // A key pressed stops the walk after the step under way.
    g_steps_before_key = 2;
    EXPECT_EQ(travel(TravelGoal::field, {2, 4}, {recording_step, key_after_steps, playing}, &steps),
              TravelStop::key_pressed);
    EXPECT_EQ(steps, 3);
}

TEST(Travel, AClickOnASeenFieldOfTheMapViewTravelsThere) {
    TempGameFolder folder;
    start_game(folder, {});
    // The cell of (8, 4), six right of the character in the middle of the view.
    const uint32_t now = headless::now();
    headless::mouse_move(now, (VIEW_CENTRE + 6) * CELL + 5, VIEW_CENTRE * CELL + 30);
    headless::advance(1);
    TravelStop why = TravelStop::no_way;
    EXPECT_TRUE(travel_to_pointer(&why));
    EXPECT_EQ(why, TravelStop::arrived);
    EXPECT_EQ(hero_at(), (MapPoint{8, 4}));
    // Beside the view, or over a field not seen: nothing.
    headless::mouse_move(headless::now(), 500, 100);
    headless::advance(1);
    EXPECT_FALSE(travel_to_pointer());
    headless::mouse_move(headless::now(), VIEW_CENTRE * CELL + 5, VIEW_CENTRE * CELL + 5);  // the character's own field
    headless::advance(1);
    EXPECT_FALSE(travel_to_pointer());
    set_map_seen(g_map.map, 8, 2, 0);
    headless::mouse_move(headless::now(), VIEW_CENTRE * CELL + 5, (VIEW_CENTRE - 2) * CELL + 5);
    headless::advance(1);
    EXPECT_FALSE(travel_to_pointer());
    EXPECT_EQ(hero_at(), (MapPoint{8, 4}));
}

TEST(Travel, AWayDownIsTakenAndSavedAsByKey) {
    TempGameFolder folder;
    FixtureOptions options;
    // A portal back two fields away, stairs down (a portal of the class way_down) six.
    options.start_map = R"(
  <field x="4" y="4" portal_mapfile="map_two.xml" portal_x="5" portal_y="5">1</field>
  <field x="2" y="10" portal_mapfile="map_three.xml" portal_x="3" portal_y="3">9</field>)";
    start_game(folder, options);
    const std::string head =
        R"(<map tileset_definition_filename="test_tiles.xml" tileset_image_filename="test_tiles.png" lighting="8" name=")";
    folder.write("maps\\map_two.xml", head + R"(Two"/>)");
    folder.write("maps\\map_three.xml", head + R"(Three"/>)");
    EXPECT_EQ(travel_command(TravelGoal::way_down), TravelStop::arrived);
    EXPECT_EQ(g_map.map.filename, "map_three.xml");
    EXPECT_EQ(hero_at(), (MapPoint{3, 3}));
    // The journey saved the map left, the map entered and the character.
    EXPECT_NE(saved_file("savegame\\character.xml").find("map_filename=\"map_three.xml\""), std::string::npos);
    EXPECT_NE(saved_file("savegame\\map_start.xml").find("Fixture Meadow"), std::string::npos);
    EXPECT_NE(saved_file("savegame\\map_three.xml").find("Three"), std::string::npos);
}

TEST(Travel, AMazeIsExploredToItsEndAroundAFoundTrap) {
    TempGameFolder folder;
    // Rock everywhere but a winding passage two fields wide: the rows 2-3, 12-13,
    // 22-23, 32-33, 42-43 from x 1 to 46, joined at alternate ends; a found trap
    // in its first row and a closed-off pocket behind it.
    std::set<std::pair<int, int>> open;
    for (int band = 0; band < 5; ++band) {
        const int y0 = 2 + 10 * band;
        for (int x = 1; x <= 46; ++x) open.insert({x, y0}), open.insert({x, y0 + 1});
        if (band < 4) {
            const int x0 = band % 2 == 0 ? 45 : 1;
            for (int y = y0 + 2; y < y0 + 10; ++y) open.insert({x0, y}), open.insert({x0 + 1, y});
        }
    }
    std::string children;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            if (!open.count({x, y})) children += "<field x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\">4</field>";
    children += R"(<field x="10" y="2">7</field>)";
    FixtureOptions options;
    options.start_map = children;
    start_game(folder, options, 1, 2);
    for (int k = 0; k <= 30; ++k) set_map_seen(g_map.map, k, 4, 0);  // no row seen beyond the walls
    mark_seen_fields(g_map.map);
    g_walked.clear();
    int steps = 0;
    EXPECT_EQ(travel(TravelGoal::explore, {}, {recording_step, no_key, playing}, &steps),
              TravelStop::nothing_to_explore);
    EXPECT_EQ(g_common.status_message.text, "Nothing left to explore here.");
    for (const auto& [x, y] : open) EXPECT_EQ(read_map_seen(g_map.map, x, y), 1) << x << ", " << y;
    for (const MapPoint& p : g_walked) EXPECT_FALSE((p == MapPoint{10, 2})) << "stood on the trap";
    EXPECT_EQ(hero().abilities[1].attribute_current_value, 20);
    // It walked the passage once, not back and forth: fewer steps than twice its fields.
    EXPECT_LT(steps, 2 * static_cast<int>(open.size()));
    EXPECT_GT(steps, 150);
    // Explored: asked again, it says so at once.
    EXPECT_EQ(travel(TravelGoal::explore, {}, {recording_step, no_key, playing}, &steps),
              TravelStop::nothing_to_explore);
    EXPECT_EQ(steps, 0);
}

namespace {

// One pass of the loop with the keys down, then one with them let go.
void press_in_pass(std::initializer_list<int> codes) {
    for (int code : codes) headless::key_down(headless::now(), code);
    headless::advance(1);
    main_loop_pass();
    for (int code : codes) headless::key_up(headless::now(), code);
    headless::advance(1);
    main_loop_pass();
}

constexpr int PERIOD_KEY = 0x34, COMMA_KEY = 0x33, KEY_102ND = 0x56;

// A pocket in the rock: the rows 3 to 5 from x 1 to 14, stairs down at its far end
// and a portal back at its near one.
FixtureOptions pocket() {
    FixtureOptions options;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            if (!(y >= 3 && y <= 5 && x >= 1 && x <= 14))
                options.start_map += "<field x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\">4</field>";
    options.start_map += R"(<field x="14" y="4" portal_mapfile="map_three.xml" portal_x="3" portal_y="3">9</field>
      <field x="1" y="3" portal_mapfile="map_two.xml" portal_x="5" portal_y="5">1</field>)";
    return options;
}

void write_other_maps(const TempGameFolder& folder) {
    const std::string head =
        R"(<map tileset_definition_filename="test_tiles.xml" tileset_image_filename="test_tiles.png" lighting="8" name=")";
    folder.write("maps\\map_two.xml", head + R"(Two"/>)");
    folder.write("maps\\map_three.xml", head + R"(Three"/>)");
}

}  // namespace

TEST(Travel, TheKeysExploreAndTravelDownAndUpAndAltXStillQuits) {
    // Explore (X), then the way down (">", the period key): the journey is taken and saved.
    {
        TempGameFolder folder;
        start_game(folder, pocket(), 3, 4);
        for (int k = 0; k <= 30; ++k) set_map_seen(g_map.map, k, 4, 0);
        mark_seen_fields(g_map.map);
        ASSERT_EQ(read_map_seen(g_map.map, 14, 4), 0);
        write_other_maps(folder);
        press_in_pass({key::x});
        EXPECT_EQ(g_common.status_message.text, "Nothing left to explore here.");
        for (int y = 3; y <= 5; ++y)
            for (int x = 1; x <= 14; ++x) EXPECT_EQ(read_map_seen(g_map.map, x, y), 1) << x << ", " << y;
        EXPECT_EQ(g_map.map.filename, "map_start.xml");  // never onto the stairs or the portal by exploring
        press_in_pass({PERIOD_KEY});
        EXPECT_EQ(g_map.map.filename, "map_three.xml");
        EXPECT_NE(saved_file("savegame\\character.xml").find("map_filename=\"map_three.xml\""), std::string::npos);
    }
    // "<" on the comma key and on the 102nd key: the portal back.
    for (int code : {COMMA_KEY, KEY_102ND}) {
        TempGameFolder folder;
        start_game(folder, pocket(), 6, 4);
        write_other_maps(folder);
        press_in_pass({code});
        EXPECT_EQ(g_map.map.filename, "map_two.xml") << code;
        EXPECT_EQ(hero_at(), (MapPoint{5, 5})) << code;
    }
    // Alt+X quits and explores nothing; a screen shown keeps the keys from travelling.
    {
        TempGameFolder folder;
        start_game(folder, pocket(), 3, 4);
        write_other_maps(folder);
        g_shell.loop.overlay = 1;
        press_in_pass({PERIOD_KEY});
        EXPECT_EQ(hero_at(), (MapPoint{3, 4}));
        g_shell.loop.overlay = 0;
        press_in_pass({key::left_alt, key::x});
        EXPECT_EQ(g_shell.loop.quit, 1);
        EXPECT_EQ(hero_at(), (MapPoint{3, 4}));
    }
}

TEST(Travel, AClickInThePlayingLoopTravelsAndAClickOverAScreenDoesNot) {
    TempGameFolder folder;
    start_game(folder, {});
    const auto click_at = [](int px, int py) {
        headless::mouse_move(headless::now(), px, py);
        headless::mouse_button(headless::now() + 1, true);
        headless::mouse_button(headless::now() + 20, false);
        headless::advance(2);
        main_loop_pass();
        headless::advance(30);
        main_loop_pass();
    };
    click_at((VIEW_CENTRE + 6) * CELL + 5, VIEW_CENTRE * CELL + 30);  // (8, 4)
    EXPECT_EQ(hero_at(), (MapPoint{8, 4}));
    g_shell.loop.overlay = 1;
    click_at((VIEW_CENTRE - 3) * CELL + 5, VIEW_CENTRE * CELL + 5);  // (5, 4), under a screen
    EXPECT_EQ(hero_at(), (MapPoint{8, 4}));
}

TEST(Travel, AClickOnTheMapScreenTravelsThereAndOneBesideTheFieldsLeavesItOpen) {
    TempGameFolder folder;
    start_game(folder, {});
    // Seen far away along the row y = 4; (25, 4) lies beyond the map view.
    int px = -1, py = -1;
    for (int y = 0; y < 480 && px < 0; ++y)
        for (int x = 0; x < 640; ++x) {
            int fx = 0, fy = 0;
            if (map_screen_field_at(x, y, fx, fy) && fx == 25 && fy == 4) {
                px = x, py = y;
                break;
            }
        }
    ASSERT_GE(px, 0);
    const uint32_t t = headless::now() + 5;
    headless::key_tap(t, key::m, 30);
    headless::mouse_move(t + 100, 630, 470);  // beside the fields: nothing
    headless::mouse_button(t + 110, true);
    headless::mouse_button(t + 120, false);
    headless::mouse_move(t + 200, px, py);
    headless::mouse_button(t + 210, true);
    headless::mouse_button(t + 220, false);
    headless::advance(10);
    // The pass of M opens the map screen; the click's pass closes it and travels.
    do main_loop_pass();
    while (!screen_stack().empty());
    EXPECT_EQ(hero_at(), (MapPoint{25, 4}));
    EXPECT_FALSE(g_shell.loop.overlay);
}
