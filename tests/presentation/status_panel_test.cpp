#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "character/character_state.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "platform/headless.h"
#include "common/database.h"
#include "presentation/drawing_fixture.h"
#include "presentation/view.h"
#include "presentation/presentation_state.h"
#include "presentation/status_panel.h"
#include "common/common_state.h"

namespace {


// True when some pixel of the rectangle has exactly this colour.
bool has_colour(int x, int y, int width, int height, Colour colour) {
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + width; ++px)
            if (screen_pixel(px, py) == colour) return true;
    return false;
}

// True when some pixel of the rectangle has the hue of the colour (anti-aliased
// text has few pixels of the exact colour): every channel within a share of it.
bool has_tint(int x, int y, int width, int height, Colour colour) {
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + width; ++px) {
            Colour p = screen_pixel(px, py);
            if (p == 0) continue;
            bool fits = true;
            int level = -1;
            for (int shift : {0, 8, 16}) {
                int want = (colour >> shift) & 255, got = (p >> shift) & 255;
                if (want == 0 ? got > 30 : got < 60) fits = false;
                if (want == 255) level = level < 0 ? got : level;
                if (want == 255 && std::abs(got - level) > 30) fits = false;
            }
            if (fits) return true;
        }
    return false;
}

// True when some pixel of the rectangle is not black.
bool has_ink(int x, int y, int width, int height) {
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + width; ++px)
            if (screen_pixel(px, py) != BLACK) return true;
    return false;
}

// The rightmost column with ink in a band of rows, -1 when none.
int rightmost_ink(int y, int height) {
    for (int px = SCREEN_WIDTH - 1; px >= 0; --px)
        if (has_ink(px, y, 1, height)) return px;
    return -1;
}

void draw_view() {
    clear_screen(BLACK);
    draw_map_view(g_map.map, 0, 0, 0);
}

}  // namespace

TEST_F(DrawingTest, StatusMessageShowsForItsDurationWithItsIcon) {
    headless::advance(5000);
    show_status_message("The door creaks.", "", RGB(0, 255, 0), -1, 0, 2000);
    draw_view();
    EXPECT_TRUE(has_colour(0, 448, 40, 16, RGB(0, 255, 0)));
    EXPECT_FALSE(has_ink(0, 432, 400, 15));  // one line: nothing above y 447 ...
    EXPECT_EQ(at(0, 440), BLACK);            // ... and no icon
    headless::advance(1999);
    draw_view();
    EXPECT_TRUE(has_colour(0, 448, 40, 16, RGB(0, 255, 0)));
    headless::advance(1);
    draw_view();
    EXPECT_FALSE(has_ink(0, 432, 640, 32));

    // Two lines beside an item icon.
    show_status_message("first", "second", WHITE, 12, icon_kind::item, 2000);
    draw_view();
    EXPECT_EQ(at(0, 440), cell_colour(sheet::items, 12));
    EXPECT_EQ(at(31, 471), cell_colour(sheet::items, 12));
    EXPECT_TRUE(has_colour(36, 440, 60, 14, WHITE));
    EXPECT_TRUE(has_colour(36, 456, 60, 14, WHITE));
    EXPECT_FALSE(has_colour(32, 440, 3, 32, WHITE));

    // Only a second line: it takes the middle row. Icons of the other kinds.
    show_status_message("", "alone", WHITE, 6, icon_kind::tile, 2000);
    draw_view();
    EXPECT_TRUE(has_colour(36, 448, 60, 14, WHITE));
    EXPECT_EQ(at(5, 445), cell_colour(sheet::tiles, 6));
    show_status_message("x", "", WHITE, 3, icon_kind::power, 2000);
    draw_view();
    EXPECT_EQ(at(5, 445), cell_colour(sheet::powers, 3));
    show_status_message("x", "", WHITE, 4, icon_kind::monster, 2000);
    draw_view();
    EXPECT_EQ(at(5, 445), cell_colour(sheet::monster, 4));
    show_status_message("x", "", WHITE, 5, icon_kind::ability, 2000);
    draw_view();
    EXPECT_EQ(at(5, 445), cell_colour(sheet::abilities, 5));
    // The message's time passes only while the game waits or draws.
    EXPECT_EQ(g_common.status_message.time_stamp, headless::now());
}

TEST_F(DrawingTest, WrappedTextBreaksAtTheLastSpaceThatFits) {
    draw_select_font(FONT_PANEL);
    const int line = 16;
    clear_screen(BLACK);
    EXPECT_EQ(draw_wrapped_text(10, 10, "short", 200, line, WHITE), 1);

    // "alpha beta gamma" in a width that holds "alpha beta " but not the whole.
    const std::string text = "alpha beta gamma";
    const int width = text_width("alpha beta ") + 1;
    ASSERT_GT(text_width(text), width);
    clear_screen(BLACK);
    EXPECT_EQ(draw_wrapped_text(10, 10, text, width, line, WHITE), 2);
    EXPECT_LE(rightmost_ink(10, line), 10 + width);
    EXPECT_TRUE(has_ink(10, 10 + line, 40, line));
    EXPECT_FALSE(has_ink(0, 10 + 2 * line, 640, 40));

    // Three lines when each holds one word and a space.
    const int narrow = text_width("alpha ") + 1;
    clear_screen(BLACK);
    EXPECT_EQ(draw_wrapped_text(10, 10, "alpha beta gamma", narrow, line, WHITE), 3);
    EXPECT_TRUE(has_ink(10, 10 + 2 * line, 40, line));

    // A single word wider than the width stands on one line beyond it.
    const std::string word = "Unbreakablewordthatgoesonandon";
    const int tight = text_width(word) / 2;
    clear_screen(BLACK);
    EXPECT_EQ(draw_wrapped_text(10, 10, word, tight, line, WHITE), 1);
    EXPECT_GT(rightmost_ink(10, line), 10 + tight);
    // A too wide first word is followed by the rest on the next line.
    clear_screen(BLACK);
    EXPECT_EQ(draw_wrapped_text(10, 10, word + " tail", tight, line, WHITE), 2);
    EXPECT_TRUE(has_ink(10, 10 + line, 30, line));
}

TEST_F(DrawingTest, WrappedLinesKeepTheBottomsOfTheirLettersInEveryFont) {
    // Every line lies on a black box of its font's height: a step of 12 under a
    // taller font would cut the tails of g, p and y off the line above.
    const std::string line = "gypsy jumping (Übung)";
    for (int font : {FONT_PANEL, FONT_DEFAULT, FONT_TITLE, FONT_BOLD}) {
        SCOPED_TRACE(font);
        draw_start();
        draw_select_font(font);
        const int height = text_height(line);
        EXPECT_GE(text_line_step(12), std::max(12, height));
        EXPECT_EQ(text_line_step(40), 40);  // a roomier step stays as written
        clear_screen(BLACK);
        draw_text_on_black(10, 10, line, WHITE);
        std::vector<Colour> alone;
        for (int y = 10; y < 10 + height; ++y)
            for (int x = 10; x < 200; ++x) alone.push_back(at(x, y));
        clear_screen(BLACK);
        EXPECT_EQ(draw_wrapped_text(10, 10, line + " " + line, text_width(line + " ") + 1, 12, WHITE), 2);
        std::vector<Colour> wrapped;
        for (int y = 10; y < 10 + height; ++y)
            for (int x = 10; x < 200; ++x) wrapped.push_back(at(x, y));
        EXPECT_EQ(wrapped, alone);
        EXPECT_TRUE(has_ink(10, 10 + text_line_step(12), 190, height));  // the second line
        draw_stop();
    }
}

TEST_F(DrawingTest, OutlinedTextReadsOverABrightPicture) {
    // The death text: red over white, every red pixel ringed by the dark outline.
    clear_screen(WHITE);
    draw_start();
    draw_select_font(FONT_DEFAULT);
    draw_outlined_text(100, 100, "You have died.", RGB(255, 0, 0), BLACK);
    draw_stop();
    auto red = [](Colour p) { return (p & 255) > 150 && ((p >> 8) & 255) < 60 && ((p >> 16) & 255) < 60; };
    int reds = 0;
    for (int y = 90; y < 130; ++y)
        for (int x = 90; x < 260; ++x) {
            if (!red(at(x, y))) continue;
            ++reds;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) ASSERT_NE(at(x + dx, y + dy), WHITE) << x << ", " << y;
        }
    EXPECT_GT(reds, 20);
    EXPECT_EQ(at(95, 95), WHITE);  // the picture beside the text stays
}

TEST_F(DrawingTest, AMenuOnItsPanelHidesWhatLiesBehindItAndTheScreensOfThePanelHideItsRulings) {
    constexpr Colour BEHIND = RGB(1, 200, 2);
    clear_screen(BEHIND);
    Menu menu;
    menu_reset(menu);
    menu.font = FONT_PANEL;
    menu.inset = 3;
    for (const char* text : {"Drink", "Drop", "Cancel"}) menu_add(menu, text);
    menu.x = 470;
    menu.y = 60;
    menu_draw_on_panel(menu, 1);
    const int b = MENU_PANEL_BORDER;
    const int left = menu.x - b, top = menu.y - b, right = menu.x + menu.entry_width + b,
              bottom = menu.y + menu_list_height(menu) + b;
    EXPECT_EQ(menu_list_height(menu), 3 * menu.entry_height + 2 * (menu.gap + menu.inset));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) ASSERT_NE(at(x, y), BEHIND) << x << ", " << y;
    for (int x : {left - 1, right}) EXPECT_EQ(at(x, menu.y), BEHIND);
    for (int y : {top - 1, bottom}) EXPECT_EQ(at(menu.x, y), BEHIND);
    EXPECT_EQ(at(menu.x + 1, menu.y + 1), WHITE);  // the selected entry

    // Behind the inventory and the power screen: the title over the ruling
    // under it, and nothing of the panel's second ruling (at y 66) is left.
    draw_panel_screen_behind("Powers:");
    EXPECT_EQ(at(440, 20), piece_colour(7 + 27 % 5));
    EXPECT_TRUE(has_tint(434, 0, 100, 16, WHITE));
    for (int y = 32; y < VIEW_PIXELS; ++y)
        for (int x = VIEW_PIXELS + 16; x < SCREEN_WIDTH; ++x) ASSERT_EQ(at(x, y), BLACK) << x << ", " << y;
    EXPECT_EQ(at(VIEW_PIXELS + 2, 100), piece_colour(1 + 6 % 5));  // the right bar stays
}

TEST_F(DrawingTest, StatusPanelShowsTitleLocationAndAbilityGroups) {
    g_map.map.name = "The Very Long Name Of A Most Remarkable Place Below";
    AbilityRecord& hp = g_db.abilities[1];
    hp.name = "hit_points";
    hp.display_name = "Hit points";
    hp.tile = 3;
    hp.depletable = true;
    hp.display[0] = DisplayEntry{};
    hp.display[0].type = kDisplayStatusPanel;
    hp.display[0].message = "Life: [VALUE]";
    hp.display[0].message2 = "of [value]";
    hp.display[0].color = static_cast<int32_t>(RGB(255, 0, 0));
    hp.display[0].expanded_value_display = true;
    // Entry for a range the value is not in: not shown.
    hp.display[1].type = kDisplayStatusPanel;
    hp.display[1].start_value = 50;
    hp.display[1].end_value = 60;
    hp.display[1].message = "Hale";
    hp.display[1].color = static_cast<int32_t>(RGB(0, 0, 255));
    CharacterRecord& c = g_character_model.character;
    c.abilities[1].attribute_current_value = 7;
    c.abilities[1].attribute_max_value = 10;
    // A running power adjustment and an activated ability.
    g_db.powers[4].tile = 6;
    c.abilities[2].adjustment_name = "Battle rage";
    c.abilities[2].power_adjustment = 3;
    c.abilities[2].adjustment_duration = 5;
    c.abilities[2].adjustment_power_id = 4;
    AbilityRecord& sneak = g_db.abilities[3];
    sneak.name = "sneaking";
    sneak.display_name = "Sneaking";
    sneak.tile = 12;
    c.abilities[3].activated = true;

    clear_screen(BLACK);
    draw_status_panel();
    EXPECT_TRUE(has_tint(434, 0, 200, 20, RGB(255, 100, 0)));
    // The location wraps onto a second line 16 pixels lower.
    EXPECT_TRUE(has_tint(434, 34, 206, 14, WHITE));
    EXPECT_TRUE(has_tint(434, 50, 206, 14, WHITE));
    EXPECT_LE(rightmost_ink(34, 32), 434 + 206);
    // Hit points group at y 86: icon, red text, second line.
    EXPECT_EQ(at(434, 86), cell_colour(sheet::abilities, 3));
    EXPECT_TRUE(has_tint(468, 86, 120, 12, RGB(255, 0, 0)));
    EXPECT_TRUE(has_tint(468, 98, 120, 12, RGB(255, 0, 0)));
    EXPECT_FALSE(has_tint(468, 86, 170, 200, RGB(0, 0, 255)));
    // Power adjustment group at y 120 with the power's icon.
    EXPECT_EQ(at(434, 120), cell_colour(sheet::powers, 6));
    EXPECT_TRUE(has_tint(468, 120, 120, 12, WHITE));
    EXPECT_TRUE(has_tint(468, 132, 150, 12, WHITE));
    // Activated ability group at y 154.
    EXPECT_EQ(at(434, 154), cell_colour(sheet::abilities, 12));
    EXPECT_TRUE(has_tint(468, 166, 100, 12, WHITE));

    // An adjustment that names no valid power shows no power icon and still its texts.
    c.abilities[2].adjustment_power_id = 999;
    clear_screen(BLACK);
    draw_status_panel();
    EXPECT_EQ(at(434, 120), BLACK);
    EXPECT_TRUE(has_tint(468, 120, 120, 12, WHITE));
}

TEST_F(DrawingTest, AbilityPanelTextLastMatchingEntryWins) {
    AbilityRecord& a = g_db.abilities[9];
    a.name = "shadow";
    g_character_model.character.abilities[9].attribute_current_value = 4;
    EXPECT_EQ(ability_panel_text(9), "4");
    a.display[0].type = kDisplayCharacterInfo;
    a.display[0].start_value = 0;
    a.display[0].end_value = 10;
    a.display[0].message = "dim [Value]";
    EXPECT_EQ(ability_panel_text(9), "dim 4");
    a.display[3].start_value = 3;
    a.display[3].end_value = 5;
    a.display[3].message = "deep ([value])";
    EXPECT_EQ(ability_panel_text(9), "deep (4)");
    a.display[4].start_value = 5;
    a.display[4].end_value = 9;
    a.display[4].message = "never";
    EXPECT_EQ(ability_panel_text(9), "deep (4)");
    EXPECT_FATAL(ability_panel_text(0), "ability_value_display(): wrong id: 0");
}

namespace {

Monster& place_monster(int type, int x, int y, int hitpoints) {
    Monster& m = g_map.monsters.append();
    m.type = static_cast<int16_t>(type);
    m.x = static_cast<int16_t>(x);
    m.y = static_cast<int16_t>(y);
    m.hitpoints = static_cast<int16_t>(hitpoints);
    return m;
}

}  // namespace

TEST_F(DrawingTest, TheMonsterInFrontAndTheNameUnderThePointer) {
    constexpr int FOE_TOP = 372, BAR_X = 468, BAR_TOP = FOE_TOP + 16;
    for (auto [id, name, tile, hitpoints] : {std::tuple(1, "Rat", 5, 8), std::tuple(2, "Giant bat", 6, 6)}) {
        MonsterType& type = g_db.monster_types[id];
        type.name = name;
        type.tile = static_cast<int16_t>(tile);
        type.hitpoints = static_cast<int16_t>(hitpoints);
    }
    g_db.item_types[3].name = "Bread";
    g_map.map.tileset.tile_types[1].name = "grass";
    g_map.map.tileset.tile_types[2].name = "floor";
    auto draw = [] {
        clear_screen(BLACK);
        draw_map_view(g_map.map, 0, 0, 0);
        draw_status_panel();
    };
    // The filled part of the hit point bar, in pixels.
    auto bar_fill = [] {
        int filled = 0;
        while (at(BAR_X + 1 + filled, BAR_TOP + 4) == RGB(200, 30, 30)) ++filled;
        return filled;
    };

    draw();
    EXPECT_FALSE(has_ink(432, FOE_TOP, 208, 40)) << "no monster near: nothing";

    // A monster on a corner field is next to the character; one east of it comes first.
    Monster& bat = place_monster(2, 11, 9, 6);
    draw();
    EXPECT_TRUE(shows_text(BAR_X, FOE_TOP, "Giant bat", FONT_PANEL, WHITE));
    Monster& rat = place_monster(1, 11, 10, 3);
    draw();
    EXPECT_TRUE(shows_text(BAR_X, FOE_TOP, "Rat", FONT_PANEL, WHITE));
    EXPECT_EQ(at(434 + 16, FOE_TOP + 2 + 16), cell_colour(sheet::monster, 5)) << "its picture";
    EXPECT_EQ(bar_fill(), 120 * 3 / 8);
    EXPECT_TRUE(shows_text(BAR_X + 126, BAR_TOP - 2, "3/8", FONT_PANEL, WHITE));

    // The monster fought last stays while it is on the view, wherever it stands.
    note_monster_fought(bat);
    bat.x = 15;
    bat.y = 4;
    draw();
    EXPECT_TRUE(shows_text(BAR_X, FOE_TOP, "Giant bat", FONT_PANEL, WHITE));
    EXPECT_EQ(bar_fill(), 120);
    note_monster_striking(rat);  // a blow from beside does not take the place of the foe in sight
    draw();
    EXPECT_TRUE(shows_text(BAR_X, FOE_TOP, "Giant bat", FONT_PANEL, WHITE));
    bat.x = 17;  // off the view: the one beside the character again
    draw();
    EXPECT_TRUE(shows_text(BAR_X, FOE_TOP, "Rat", FONT_PANEL, WHITE));
    bat.hitpoints = 0;
    rat.hitpoints = -2;
    draw();
    EXPECT_EQ(bar_fill(), 0);

    // The name under the pointer, at the right end of the band: the monster, the
    // items lying there, the field as it is drawn (a hidden one as the floor).
    constexpr int RIGHT = 632, Y = 448;
    const Colour gold = RGB(255, 220, 130);
    auto band_names = [&](const std::string& text) {
        draw_select_font(FONT_DEFAULT);
        return shows_text(RIGHT - text_width(text), Y, text, FONT_DEFAULT, gold);
    };
    g_map.items.append() = {.x = 9, .y = 10, .type = 3};
    set_map_hidden(g_map.map, 10, 11, 1);
    struct Case {
        int x, y;  // screen pixels
        const char* name;
    };
    for (const Case& c : {Case{7 * 32 + 5, 6 * 32 + 30, "Rat"}, Case{5 * 32, 6 * 32, "Bread"},
                          Case{6 * 32 + 31, 7 * 32, "floor"}, Case{100, 100, "grass"}}) {
        set_map_pointer(true, c.x, c.y);
        draw();
        EXPECT_TRUE(band_names(c.name)) << c.name;
        EXPECT_FALSE(map_pointer_text_changed());
    }
    // In the dark (the made-up overlays leave only the character's cell open) nothing is named.
    g_map.map.lighting = 0;
    set_map_pointer(true, 7 * 32 + 5, 6 * 32 + 30);
    draw();
    EXPECT_FALSE(has_ink(420, 432, 220, 48));
    set_map_pointer(true, 6 * 32 + 5, 6 * 32 + 5);
    draw();
    EXPECT_TRUE(band_names("grass"));
    g_map.map.lighting = 8;
    set_map_pointer(true, 420, 100);  // over the panel
    EXPECT_TRUE(map_pointer_text_changed());
    draw();
    EXPECT_FALSE(has_ink(420, 432, 220, 48));
    set_map_pointer(false, 100, 100);  // outside the window
    draw();
    EXPECT_FALSE(has_ink(420, 432, 220, 48));
    // While the view scrolls the band names nothing.
    set_map_pointer(true, 100, 100);
    clear_screen(BLACK);
    draw_map_view(g_map.map, 10, 0, 0);
    EXPECT_FALSE(has_ink(420, 432, 220, 48));
}

TEST_F(DrawingTest, AReportKeepsTheMessageItFollowedAboveIt) {
    const Colour grey = RGB(150, 150, 150);
    headless::advance(5000);
    show_status_message("The door creaks.", "", RGB(0, 255, 0), -1, 0, 2000);
    headless::advance(600);
    show_play_report("You hit the Rat: 3 damage.");
    draw_view();
    EXPECT_TRUE(shows_text(0, 440, "The door creaks.", FONT_DEFAULT, grey));
    EXPECT_TRUE(shows_text(0, 456, "You hit the Rat: 3 damage.", FONT_DEFAULT, WHITE));
    // Only one line moves up; a two-line message moves up as one line.
    show_play_report("The Rat misses you.");
    draw_view();
    EXPECT_TRUE(shows_text(0, 440, "You hit the Rat: 3 damage.", FONT_DEFAULT, grey));
    show_status_message("Spikes!", "Life - 2", WHITE, 4, icon_kind::tile, 2000);
    show_play_report("The Rat hits you: 1 damage.", 5, icon_kind::monster);
    draw_view();
    EXPECT_TRUE(shows_text(36, 440, "Spikes! Life - 2", FONT_DEFAULT, grey));
    EXPECT_TRUE(shows_text(36, 456, "The Rat hits you: 1 damage.", FONT_DEFAULT, WHITE));
    EXPECT_EQ(at(5, 445), cell_colour(sheet::monster, 5));
    // After a message has gone, or after any other message, a report stands alone as written.
    headless::advance(2000);
    show_play_report("Your Torch has gone out.");
    draw_view();
    EXPECT_TRUE(shows_text(0, 448, "Your Torch has gone out.", FONT_DEFAULT, WHITE));
    EXPECT_FALSE(has_ink(0, 432, 640, 15));
    show_status_message("You slip past.", "", WHITE, -1, 0, 2000);
    EXPECT_TRUE(g_common.status_message.earlier.empty());
}
