#include "presentation/drawing_fixture.h"
#include "presentation/view.h"

namespace {

constexpr Colour ORANGE = RGB(255, 100, 0);

Menu three_entries() {
    Menu menu;
    menu_reset(menu);
    menu_add(menu, "Continue");
    menu_add(menu, "New game");
    menu_add(menu, "Quit");
    menu.colour = ORANGE;
    menu.inset = 6;
    menu.x = 280;
    menu.y = 250;
    return menu;
}

}  // namespace

TEST_F(DrawingTest, MenuSlotsAndMeasuring) {
    Menu menu;
    menu.gap = 9;
    menu.entries[3] = "old";
    menu_reset(menu);
    EXPECT_EQ(menu.gap, 4);
    EXPECT_EQ(menu.inset, 2);
    EXPECT_EQ(menu.entry_outline, 1);
    EXPECT_EQ(menu.visible, 1);
    EXPECT_EQ(menu.hovered, -1);
    EXPECT_EQ(menu.entries[3], "");
    for (int i = 0; i < 30; ++i) EXPECT_EQ(menu_add(menu, "entry " + std::to_string(i)), i);
    EXPECT_EQ(menu_add(menu, "one too many"), 0);
    EXPECT_EQ(menu.entries[0], "entry 0");

    Menu m = three_entries();
    draw_select_font(3);
    menu_measure(m, 1);
    draw_select_font(3);
    EXPECT_EQ(m.count, 3);
    EXPECT_EQ(m.entry_width, text_width("New game") + 12);
    EXPECT_EQ(m.entry_height, text_height("New game") + 12);
    // Measuring only grows the entries.
    m.entries[1] = "X";
    menu_measure(m, 1);
    EXPECT_EQ(m.entry_width, text_width("New game") + 12);
    EXPECT_EQ(m.count, 3);
}

TEST_F(DrawingTest, MenuDrawsEntriesAndFollowsTheMouse) {
    Menu menu = three_entries();
    menu.selected = 1;
    menu.bevel = 1;
    menu.light_colour = RGB(255, 200, 125);
    menu.dark_colour = RGB(125, 75, 0);
    clear_screen(BLACK);
    menu_draw(menu, 1);
    const int w = menu.entry_width, h = menu.entry_height;
    ASSERT_GT(w, 12);
    const int step = h + menu.gap + menu.inset;
    // Entry 0: outlined box with a black inside; entry 1 selected: filled, beveled.
    EXPECT_EQ(at(280, 250), ORANGE);
    EXPECT_EQ(at(282, 252), BLACK);
    EXPECT_EQ(at(280 + 2, 250 + step + 2), ORANGE);
    EXPECT_EQ(at(280 + 3, 250 + step), RGB(255, 200, 125));
    EXPECT_EQ(at(280 + w, 250 + step + 3), RGB(125, 75, 0));
    EXPECT_EQ(at(280, 250 + 2 * step), ORANGE);
    EXPECT_EQ(at(280 + w + 2, 250 + 2 * step + 2), BLACK);
    EXPECT_EQ(menu.hovered, -1);

    // The mouse over entry 2 selects it; over nothing it changes nothing.
    menu.mouse_tracking = 1;
    menu.mouse_x = 290;
    menu.mouse_y = static_cast<int16_t>(250 + 2 * step + 3);
    menu_draw(menu, 1);
    EXPECT_EQ(menu.hovered, 2);
    EXPECT_EQ(menu.selected, 2);
    menu.mouse_x = 100;
    menu_draw(menu, 1);
    EXPECT_EQ(menu.hovered, -1);
    EXPECT_EQ(menu.selected, 2);

    // An invisible menu draws nothing.
    Menu hidden = three_entries();
    hidden.visible = 0;
    clear_screen(BLACK);
    menu_draw(hidden, 1);
    EXPECT_EQ(at(280, 250), BLACK);
    EXPECT_EQ(hidden.entry_width, 0);

    // Without outlines only the selected entry has a box; a background box frames the list.
    Menu plain = three_entries();
    plain.entry_outline = 0;
    plain.background_margin = 2;
    clear_screen(BLACK);
    menu_draw(plain, 1);
    EXPECT_EQ(at(279, 249), ORANGE);
    EXPECT_EQ(at(281, 251), ORANGE);  // entry 0 is selected
    EXPECT_EQ(at(281, 250 + step + 1), BLACK);
}
