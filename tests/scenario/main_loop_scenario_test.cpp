// Whole sessions on the headless backend with scripted keys.
#include <gtest/gtest.h>

#include <vector>

#include "character/character_state.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "presentation/presentation_state.h"
#include "scenario/scenario_support.h"
#include "common/common_state.h"
#include "common/message_list.h"
#include "game/turn_state.h"
#include "presentation/view.h"

namespace {

CharacterRecord& hero() { return g_character_model.character; }

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

// Top-left corner of the mark tile in the shown map view; (-1000, -1000) when not visible.
Point mark_on_screen() {
    const Colour mark = fixture_tile_colour(MARK_TILE);
    Point found{-1000, -1000};
    for (int y = 0; y < 416 && found.y < 0; y += 1)
        for (int x = 0; x < 416; x += 4)
            if (shown_screen_pixel(x, y) == mark) {
                found.y = y;
                break;
            }
    if (found.y < 0) return {-1000, -1000};
    for (int x = 0; x < 416; ++x)
        if (shown_screen_pixel(x, found.y) == mark) return {x, found.y};
    return {-1000, -1000};
}

// The mark's positions at every game flip where it is visible, with repeats at both ends removed.
struct MarkTrack {
    std::vector<Point> points;
    void record() {
        Point p = mark_on_screen();
        if (p.x > -1000) points.push_back(p);
    }
    std::vector<Point> moving() const {
        std::vector<Point> m = points;
        while (m.size() > 1 && m[0] == m[1]) m.erase(m.begin());
        while (m.size() > 1 && m[m.size() - 1] == m[m.size() - 2]) m.pop_back();
        return m;
    }
};

// The options come after the written entries (the made-up game has no text for them).
const std::string kOptionsEntry = missing_message_placeholder(600);

std::vector<std::string> menu_entries() {
    std::vector<std::string> entries;
    for (const std::string& e : g_presentation.menu.entries)
        if (!e.empty()) entries.push_back(e);
    return entries;
}

bool savegame_has_xml() { return !list_folder("savegame", "*.xml").empty(); }

}  // namespace

TEST(Scenario, FirstPassShowsTheMenuNewGameStartsOnTheStartFieldEscapeSaves) {
    TempGameFolder folder;
    write_fixture_game(folder);
    std::vector<std::string> first_menu;
    bool first_flip_seen = false;
    Colour splash_pixel = 0;
    headless::on_flip([&] {
        if (first_flip_seen) return;
        first_flip_seen = true;
        first_menu = menu_entries();
        splash_pixel = shown_screen_pixel(320, 10);
    });
    new_game_without_picks(300);
    tap(1500, key::escape);
    tap(2500, key::escape);
    play_session();

    EXPECT_EQ(first_menu, (std::vector<std::string>{"New game", "Quit", kOptionsEntry}));
    EXPECT_EQ(splash_pixel, RGB(250, 220, 120));
    EXPECT_EQ(hero().x, 2);
    EXPECT_EQ(hero().y, 4);
    EXPECT_EQ(hero().facing, 0);
    EXPECT_EQ(g_map.map.name, "Fixture Meadow");
    EXPECT_EQ(g_map.map.filename, "map_start.xml");
    // Escape saved the game; the menu then offered to continue it.
    EXPECT_EQ(menu_entries(), (std::vector<std::string>{"Continue", "New game", "Quit", kOptionsEntry}));
    EXPECT_NE(saved_file("savegame\\character.xml").find("xpos=\"2\""), std::string::npos);
    EXPECT_NE(saved_file("savegame\\map_start.xml").find("Fixture Meadow"), std::string::npos);
    EXPECT_GT(file_size("savegame\\screenshot.jpg"), 0);
    EXPECT_EQ(g_shell.loop.quit, 1);
}

TEST(Scenario, HeldArrowKeyStepsAgainAndAgainFifteenFramesEach) {
    TempGameFolder folder;
    write_fixture_game(folder);
    MarkTrack track;
    int walk_frames_changed = 0, last_frame = 0;
    headless::on_flip([&] {
        track.record();
        if (hero().frame != last_frame) ++walk_frames_changed;
        last_frame = hero().frame;
    });
    new_game_without_picks(300);
    hold(600, 1500, key::right);
    tap(3000, key::escape);
    tap(3500, key::escape);
    play_session();

    const int steps = hero().x - 2;
    EXPECT_GE(steps, 3);
    EXPECT_EQ(hero().y, 4);
    EXPECT_EQ(hero().facing, 1);
    // The view slides 2 pixels a frame, 15 frames and the final picture for each step, never jumping.
    std::vector<Point> moving = track.moving();
    ASSERT_EQ(static_cast<int>(moving.size()), 16 * steps + 1);
    for (size_t i = 1; i < moving.size(); ++i) {
        EXPECT_EQ(moving[i].x - moving[i - 1].x, -2) << "frame " << i;
        EXPECT_EQ(moving[i].y, moving[0].y);
    }
    EXPECT_GT(walk_frames_changed, 15 * steps);
}

TEST(Scenario, UpAndLeftTogetherGoLeftAndDownScrollsUpwards) {
    TempGameFolder folder;
    write_fixture_game(folder);
    MarkTrack track;
    headless::on_flip([&] { track.record(); });
    new_game_without_picks(300);
    hold(600, 700, key::up);
    hold(600, 700, key::left);
    tap(2000, key::escape);
    tap(2500, key::escape);
    play_session();
    EXPECT_EQ(hero().x, 1);
    EXPECT_EQ(hero().y, 4);
    EXPECT_EQ(hero().facing, 3);
    std::vector<Point> moving = track.moving();
    ASSERT_EQ(moving.size(), 17u);
    for (size_t i = 1; i < moving.size(); ++i) EXPECT_EQ(moving[i].x - moving[i - 1].x, 2);

    // A step down: the character moves first, then the view slides up.
    headless::reset();
    write_saved_game(folder, 7, 3, 0);
    MarkTrack down;
    headless::on_flip([&] { down.record(); });
    tap(300, key::ret);  // continue
    hold(600, 700, key::down);
    tap(2000, key::escape);
    tap(2500, key::escape);
    play_session();
    EXPECT_EQ(hero().y, 4);
    EXPECT_EQ(hero().facing, 2);
    moving = down.moving();
    ASSERT_EQ(moving.size(), 17u);
    for (size_t i = 1; i < moving.size(); ++i) EXPECT_EQ(moving[i].y - moving[i - 1].y, -2);
}

TEST(Scenario, SolidFieldAndTheEdgeStopTheStepButTurnTheFigure) {
    TempGameFolder folder;
    write_fixture_game(folder);
    struct Case {
        int x, y, key, facing;
    };
    // The wall above the start field, then the last row and column (48) and the first (0).
    for (Case c : {Case{2, 4, key::up, 0}, Case{48, 20, key::right, 1}, Case{20, 48, key::down, 2},
                   Case{0, 20, key::left, 3}, Case{20, 0, key::up, 0}}) {
        headless::reset();
        write_saved_game(folder, c.x, c.y, c.facing == 2 ? 0 : 2);
        std::vector<Point> positions;
        headless::on_flip([&] { positions.push_back({hero().x, hero().y}); });
        tap(300, key::ret);
        hold(600, 900, c.key);
        tap(2000, key::escape);
        tap(2500, key::escape);
        play_session();
        EXPECT_EQ(hero().x, c.x);
        EXPECT_EQ(hero().y, c.y);
        EXPECT_EQ(hero().facing, c.facing) << c.x << "," << c.y;
        // The saved game is loaded at start-up: no picture ever showed the character elsewhere.
        ASSERT_FALSE(positions.empty());
        for (Point p : positions) EXPECT_TRUE(p == Point({c.x, c.y}));
        EXPECT_NE(saved_file("savegame\\character.xml").find("facing=\"" + std::to_string(c.facing) + "\""),
                  std::string::npos);
    }
}

TEST(Scenario, WithoutMovementPointsArrowKeysOnlyTurn) {
    TempGameFolder folder;
    FixtureOptions options;
    options.movement = 0;
    write_fixture_game(folder, options);
    MarkTrack track;
    headless::on_flip([&] { track.record(); });
    new_game_without_picks(300);
    hold(600, 1200, key::right);
    tap(2000, key::escape);
    tap(2500, key::escape);
    play_session();
    EXPECT_EQ(hero().x, 2);
    EXPECT_EQ(hero().facing, 1);
    EXPECT_EQ(track.moving().size(), 1u);
}

TEST(Scenario, ContinueRestoresPositionAndFacing) {
    TempGameFolder folder;
    write_fixture_game(folder);
    new_game_without_picks(300);
    hold(600, 700, key::right);
    hold(1200, 1300, key::down);
    tap(1800, key::left, 20);  // a step left
    tap(2600, key::escape);
    tap(3200, key::escape);
    play_session();
    const int x = hero().x, y = hero().y, facing = hero().facing;
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(facing, 3);

    // A new session: the saved game is found and continued.
    headless::reset();
    std::vector<std::string> entries;
    headless::on_flip([&] {
        if (entries.empty()) entries = menu_entries();
    });
    tap(300, key::ret);
    tap(1500, key::escape);
    tap(2000, key::escape);
    play_session();
    EXPECT_EQ(entries, (std::vector<std::string>{"Continue", "New game", "Quit", kOptionsEntry}));
    EXPECT_EQ(hero().x, x);
    EXPECT_EQ(hero().y, y);
    EXPECT_EQ(hero().facing, facing);
}

TEST(Scenario, DeathDeletesTheSavesKeepsTheScreenshotAndShowsTheDeathTextInRed) {
    TempGameFolder folder;
    FixtureOptions options;
    options.hit_points = 3;
    options.hp_per_move = -1;
    write_fixture_game(folder, options);
    folder.copy_shipped("sound");
    bool red_text_seen = false;
    headless::on_flip([&] {
        if (hero().death_text.empty()) return;
        for (int y = 165; y < 195 && !red_text_seen; ++y)
            for (int x = 240; x < 400; ++x) {
                Colour p = shown_screen_pixel(x, y);
                if ((p & 255) > 150 && ((p >> 8) & 255) < 40 && ((p >> 16) & 255) < 40) {
                    red_text_seen = true;
                    break;
                }
            }
    });
    new_game_without_picks(300);
    hold(600, 6000, key::right);
    tap(8000, key::escape);
    play_session();

    EXPECT_EQ(hero().x, 5);  // three steps, then the hit points were gone
    EXPECT_EQ(hero().death_text, "You wasted away.");
    ASSERT_FALSE(headless::played_sounds().empty());
    EXPECT_EQ(headless::played_sounds().back().file, "sound\\deathcry.ogg");
    EXPECT_TRUE(red_text_seen);
    EXPECT_EQ(menu_entries(), (std::vector<std::string>{"New game", "Quit", kOptionsEntry}));
    // Nothing to continue, and quitting afterwards saved nothing.
    EXPECT_FALSE(savegame_has_xml());
    EXPECT_GT(file_size("savegame\\screenshot.jpg"), 0);
}

TEST(Scenario, AltReturnSwitchesTheScreenModeOncePerPress) {
    TempGameFolder folder;
    write_fixture_game(folder);
    std::vector<bool> modes;  // at every flip
    headless::on_flip([&] { modes.push_back(screen_is_fullscreen()); });
    // In the menu: one press switches to full screen.
    hold(200, 800, key::left_alt);
    hold(300, 700, key::ret);
    // New game (a mouse click on the first entry in full screen).
    headless::mouse_move(1000, 290, 260);
    headless::mouse_button(1100, true);
    headless::mouse_button(1150, false);
    tap(1300, key::escape);  // no picks for the new character
    // In the game: one long press switches back to the window, another to full screen.
    hold(1600, 2600, key::left_alt);
    hold(1700, 2500, key::ret);
    hold(3000, 3600, key::left_alt);
    hold(3100, 3500, key::ret);
    tap(4000, key::escape);
    tap(4600, key::escape);
    play_session();

    int switches = 0;
    for (size_t i = 1; i < modes.size(); ++i) switches += modes[i] != modes[i - 1];
    EXPECT_EQ(switches, 3);
    EXPECT_TRUE(screen_is_fullscreen());
    EXPECT_EQ(g_common.preferences.fullscreen, 1);
    EXPECT_NE(saved_file("config\\preferences.xml").find("fullscreen=\"yes\""), std::string::npos);
    EXPECT_EQ(g_map.map.filename, "map_start.xml");  // the click started the game
    EXPECT_GT(file_size("savegame\\character.xml"), 0);
}

// The menu acts once per press: a quick Alt+Return whose Alt shows alone first
// switches the screen and chooses nothing; a Return held on after a switch
// chooses nothing when Alt is let go first; a key pressed while the game saves
// on its way to the menu acts there. And the menu draws in its own font: its
// boxes measure the same at start-up and after a game (whose status panel
// leaves another font selected).
TEST(Scenario, MenuKeysActOncePerPressAndTheMenuKeepsItsLook) {
    TempGameFolder folder;
    write_fixture_game(folder);
    write_saved_game(folder, 7, 7, 1);
    std::vector<bool> modes;              // at every flip
    std::vector<int> start_box, last_box;  // entry width and height, bevel length
    headless::on_flip([&] {
        modes.push_back(screen_is_fullscreen());
        const Menu& menu = g_presentation.menu;
        const int top = 250 + menu.selected * (menu.entry_height + menu.gap + menu.inset);
        int line = 0;  // the selected entry's bevel along its top edge
        while (shown_screen_pixel(280 + line, top) == RGB(255, 200, 125)) ++line;
        (start_box.empty() ? start_box : last_box) = {menu.entry_width, menu.entry_height, line};
    });
    headless::key_down(300, key::left_alt);
    headless::key_down(330, key::ret);
    headless::key_up(330, key::left_alt);
    headless::key_up(332, key::ret);
    hold(1000, 1600, key::left_alt);
    hold(1100, 2000, key::ret);
    tap(2300, key::down);
    tap(2600, key::up);
    tap(2900, key::ret);  // Continue
    headless::key_down(3500, key::escape);
    headless::key_up(3540, key::escape);
    tap(3541, key::down, 2);  // while the game saves
    tap(4000, key::escape);
    play_session(10000);

    int switches = 0;
    for (size_t i = 1; i < modes.size(); ++i) switches += modes[i] != modes[i - 1];
    EXPECT_EQ(switches, 2);
    EXPECT_LT(headless::now(), 5000u);  // quit by the last Escape, not by the deadline
    EXPECT_EQ(g_presentation.menu.selected, 1);
    EXPECT_NE(saved_file("savegame\\character.xml").find("ypos=\"7\""), std::string::npos);  // continued, saved
    ASSERT_EQ(start_box.size(), 3u);
    EXPECT_EQ(start_box[2], start_box[0] + 1);
    EXPECT_EQ(last_box, start_box);
}

TEST(Scenario, MenuEscapeNeverDeletesTheSavedGame) {
    TempGameFolder folder;
    write_fixture_game(folder);
    write_saved_game(folder, 7, 7, 1);
    // "New game" selected, then Escape: the game quits and the saved game stays.
    tap(300, key::down);
    tap(600, key::escape);
    play_session();
    EXPECT_EQ(g_presentation.menu.selected, 1);
    EXPECT_EQ(g_shell.loop.quit, 1);
    EXPECT_GT(file_size("savegame\\character.xml"), 0);
    EXPECT_GT(file_size("savegame\\map_start.xml"), 0);

    // Up from the first entry wraps to the last (the options, after the written three); closing the
    // window also leaves everything in place.
    headless::reset();
    tap(300, key::up);
    headless::close_request(600);
    play_session();
    EXPECT_EQ(g_presentation.menu.selected, 3);
    EXPECT_GT(file_size("savegame\\character.xml"), 0);

    // Choosing new game deletes it at once (and the new game saves its own).
    headless::reset();
    tap(300, key::down);
    new_game_without_picks(600);
    tap(1500, key::escape);
    tap(2000, key::escape);
    play_session();
    EXPECT_EQ(hero().x, 2);
    EXPECT_EQ(hero().y, 4);
    EXPECT_NE(saved_file("savegame\\character.xml").find("ypos=\"4\""), std::string::npos);
}

TEST(Scenario, MenuMouseClickOutsideTheEntriesDoesNothing) {
    TempGameFolder folder;
    write_fixture_game(folder);
    headless::mouse_move(200, 100, 100);
    headless::mouse_button(300, true);
    headless::mouse_button(350, false);
    headless::mouse_move(800, 290, 260 + 40);  // over "Quit"
    int selected_before_click = -1;
    Colour first_entry_before_click = 0;  // inside the box of "New game", beside its text
    headless::on_flip([&] {
        if (headless::now() >= 800 && headless::now() < 1200) {
            selected_before_click = g_presentation.menu.selected;
            first_entry_before_click = shown_screen_pixel(283, 253);
        }
    });
    headless::mouse_button(1200, true);
    headless::mouse_button(1250, false);
    play_session(5000);
    EXPECT_EQ(selected_before_click, 1);  // hovering selects
    // and the picture left standing shows only the hovered entry highlighted
    EXPECT_EQ(first_entry_before_click, RGB(0, 0, 0));
    EXPECT_EQ(g_shell.loop.quit, 1);
    EXPECT_LT(headless::now(), 2000u);  // quit by the click, long before the deadline
    EXPECT_FALSE(savegame_has_xml());
}

TEST(Scenario, ActionKeysActOnceUntilAKeyIsReleasedAndTheOverlayBlocksMoving) {
    TempGameFolder folder;
    FixtureOptions options;
    options.hp_per_turn = -1;
    write_fixture_game(folder, options);
    new_game_without_picks(300);
    hold(600, 1400, key::e);  // one wait, however long E is held
    hold(1600, 1700, key::e);  // and one more after it was let go
    // C shows the character overlay: the arrows only turn nothing until Return.
    tap(2000, key::c);
    hold(2300, 2600, key::right);
    tap(2900, key::ret);
    hold(3200, 3300, key::right);
    tap(4000, key::escape);
    tap(4500, key::escape);
    play_session();
    EXPECT_EQ(g_character_model.character.abilities[1].attribute_current_value, 18);
    EXPECT_EQ(hero().x, 3);
    EXPECT_EQ(hero().facing, 1);
}

TEST(Scenario, AltXQuitsAndProgramEndSavesTheGame) {
    TempGameFolder folder;
    write_fixture_game(folder);
    new_game_without_picks(300);
    hold(600, 700, key::right);
    hold(1200, 1400, key::left_alt);
    hold(1250, 1350, key::x);
    play_session(5000);
    EXPECT_EQ(g_shell.loop.quit, 1);
    EXPECT_LT(headless::now(), 2000u);
    EXPECT_NE(saved_file("savegame\\character.xml").find("xpos=\"3\""), std::string::npos);
    // As after Escape, the next start shows the menu over the picture of where the game stands.
    EXPECT_GT(file_size("savegame\\screenshot.jpg"), 0);
}

TEST(Scenario, ACloseRequestEndsTheGameAlsoInFullScreen) {
    TempGameFolder folder;
    FixtureOptions options;
    options.fullscreen = true;
    write_fixture_game(folder, options);
    // In the menu: the desktop asks the program to close.
    headless::close_request(300);
    play_session(5000);
    EXPECT_EQ(g_shell.loop.quit, 1);
    EXPECT_LT(headless::now(), 5000u);  // at the request, not at the script's deadline
    EXPECT_LT(file_size("savegame\\character.xml"), 0);  // nothing deleted or written

    // In the game: the program ends and saves as at any program end.
    headless::reset();
    new_game_without_picks(300);
    tap(1000, key::right, 100);
    headless::close_request(2000);
    play_session(5000);
    EXPECT_EQ(g_shell.loop.quit, 1);
    EXPECT_LT(headless::now(), 5000u);
    EXPECT_TRUE(screen_is_fullscreen());
    EXPECT_NE(saved_file("savegame\\character.xml").find("xpos=\"3\""), std::string::npos);
}

// A step taken in the pass that opens the character screen still has its
// consequences: the spikes hurt and end the turn, the portal takes the
// character away; the screen opens after them and Return closes it.
TEST(Scenario, AStepTakenWithTheCharacterScreenKeyKeepsItsConsequences) {
    TempGameFolder folder;
    FixtureOptions options;
    options.tile_types = R"(<tile_type id="20" name="spikes">
      <modify_attribute attribute_name="hit_points" amount="-5" turn_ends="yes"/></tile_type>
      <tile_type id="21" name="portal"/>)";
    options.start_map = R"(<field x="3" y="4">20</field>
      <field x="3" y="5" portal_mapfile="map_two.xml" portal_x="9" portal_y="8">21</field>)";
    write_fixture_game(folder, options);
    folder.write("maps\\map_two.xml", R"(<map name="Two" tileset_definition_filename="test_tiles.xml"
      tileset_image_filename="test_tiles.png" tile_outside_map="4" default_tile="1"/>)");
    new_game_without_picks(300);
    hold(700, 800, key::c);
    hold(700, 800, key::right);
    tap(1200, key::ret);
    hold(1500, 1600, key::c);
    hold(1500, 1600, key::down);
    tap(2600, key::ret);
    tap(3000, key::escape);
    tap(3500, key::escape);
    play_session();
    EXPECT_EQ(g_character_model.character.abilities[1].attribute_current_value, 15);
    EXPECT_EQ(g_shell.turns_ended, 1u);
    EXPECT_EQ(g_map.map.filename, "map_two.xml");
    EXPECT_EQ(std::tuple(hero().x, hero().y), std::tuple(9, 8));
    EXPECT_NE(saved_file("savegame\\character.xml").find("map_filename=\"map_two.xml\""), std::string::npos);
}
