// Boxes, lines, text and fonts on the screen and on sprites.
#include "platform/fonts.h"
#include "platform/media.h"
#include "support/test_game.h"

namespace {

// The bounding box of the pixels that differ from the background.
struct Extent {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

Extent changed_pixels(Colour background) {
    Extent e;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            if (screen_pixel(x, y) != background) {
                e.left = std::min(e.left, x);
                e.top = std::min(e.top, y);
                e.right = std::max(e.right, x);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

void load_game_fonts() {
    ASSERT_TRUE(font_load(1, "Arial", 8, false, false));
    ASSERT_TRUE(font_load(2, "Harrington", 12, true, false));
    ASSERT_TRUE(font_load(3, "Arial", 10, false, false));
    ASSERT_TRUE(font_load(4, "Verdana", 10, false, false));
    ASSERT_TRUE(font_load(5, "Verdana", 10, false, true));
}

}  // namespace

TEST(Drawing, BoxesAndLinesStayInsideTheirPixels) {
    TempGameFolder game;
    clear_screen(RGB(0, 0, 0));
    draw_start();
    draw_box(10, 20, 3, 2, RGB(1, 2, 3));
    draw_box(630, 470, 50, 50, RGB(4, 5, 6));   // cut at the bottom-right
    draw_box(-5, -5, 6, 6, RGB(7, 8, 9));       // cut at the top-left
    draw_box(100, 100, 0, 10, RGB(9, 9, 9));    // empty
    draw_stop();
    EXPECT_EQ(screen_pixel(10, 20), RGB(1, 2, 3));
    EXPECT_EQ(screen_pixel(12, 21), RGB(1, 2, 3));
    EXPECT_EQ(screen_pixel(13, 20), RGB(0, 0, 0));
    EXPECT_EQ(screen_pixel(10, 22), RGB(0, 0, 0));
    EXPECT_EQ(screen_pixel(639, 479), RGB(4, 5, 6));
    EXPECT_EQ(screen_pixel(0, 0), RGB(7, 8, 9));
    EXPECT_EQ(screen_pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(screen_pixel(100, 100), RGB(0, 0, 0));

    // Lines include both end points; a slanted one is one pixel per column.
    clear_screen(RGB(0, 0, 0));
    draw_start();
    draw_line(50, 60, 54, 60, RGB(255, 0, 0));
    draw_line(70, 80, 70, 76, RGB(0, 255, 0));
    draw_line(200, 200, 210, 205, RGB(0, 0, 255));
    draw_line(-10, 300, 700, 300, RGB(255, 255, 0));  // across and beyond the screen
    draw_stop();
    for (int x = 50; x <= 54; ++x) EXPECT_EQ(screen_pixel(x, 60), RGB(255, 0, 0));
    EXPECT_EQ(screen_pixel(55, 60), RGB(0, 0, 0));
    for (int y = 76; y <= 80; ++y) EXPECT_EQ(screen_pixel(70, y), RGB(0, 255, 0));
    EXPECT_EQ(screen_pixel(200, 200), RGB(0, 0, 255));
    EXPECT_EQ(screen_pixel(210, 205), RGB(0, 0, 255));
    for (int x = 200; x <= 210; ++x) {
        int in_column = 0;
        for (int y = 195; y <= 210; ++y) in_column += screen_pixel(x, y) == RGB(0, 0, 255);
        EXPECT_EQ(in_column, 1) << x;
    }
    EXPECT_EQ(screen_pixel(0, 300), RGB(255, 255, 0));
    EXPECT_EQ(screen_pixel(639, 300), RGB(255, 255, 0));
}

TEST(Drawing, DrawingOnASpriteLeavesTheScreenAlone) {
    TempGameFolder game;
    clear_screen(RGB(0, 0, 0));
    ASSERT_TRUE(sprite_create(3, 640, 480));
    draw_start(3);
    draw_box(0, 0, 640, 480, RGB(1, 1, 1));
    draw_line(0, 0, 5, 0, RGB(9, 9, 9));
    draw_stop();
    EXPECT_EQ(sprite_pixel(3, 639, 479), RGB(1, 1, 1));
    EXPECT_EQ(sprite_pixel(3, 5, 0), RGB(9, 9, 9));
    EXPECT_EQ(screen_pixel(639, 479), RGB(0, 0, 0));
    // Drawing on a sprite that does not exist draws nowhere.
    draw_start(42);
    draw_box(0, 0, 640, 480, RGB(200, 0, 0));
    draw_stop();
    EXPECT_EQ(screen_pixel(10, 10), RGB(0, 0, 0));
    // After stop the screen is the target again.
    draw_box(0, 0, 1, 1, RGB(3, 3, 3));
    EXPECT_EQ(screen_pixel(0, 0), RGB(3, 3, 3));

    EXPECT_FALSE(pixels_locked());
    lock_pixels();
    EXPECT_TRUE(pixels_locked());
    draw_box(1, 1, 1, 1, RGB(4, 4, 4));  // the locked mode draws the same
    EXPECT_EQ(screen_pixel(1, 1), RGB(4, 4, 4));
    unlock_pixels();
    EXPECT_FALSE(pixels_locked());
}

TEST(Drawing, FacesFallBackToFontsThatExist) {
    TempGameFolder game;
    EXPECT_EQ(find_font_file("Arial", false).family, "Liberation Sans");
    EXPECT_EQ(find_font_file("Verdana", false).family, "DejaVu Sans");
    EXPECT_EQ(find_font_file("Harrington", false).family, "DejaVu Serif");
    EXPECT_TRUE(find_font_file("Verdana", true).bold_face);
    EXPECT_FALSE(find_font_file("Verdana", false).bold_face);
    EXPECT_FALSE(find_font_file("No Such Face At All", false).path.empty());
    EXPECT_FALSE(font_load(1, "Arial", 0, false, false));
}

TEST(Drawing, TextIsMeasuredAndDrawnOnlyWhereItBelongs) {
    TempGameFolder game;
    load_game_fonts();
    draw_select_font(1);
    EXPECT_EQ(draw_current_font(), 1);
    int small_width = text_width("Location: Dungeon");
    int small_height = text_height("Location: Dungeon");
    EXPECT_GT(small_width, 40);
    EXPECT_GT(small_height, 8);
    EXPECT_LT(small_height, 20);
    EXPECT_EQ(text_width(""), 0);
    EXPECT_GT(text_width("Location: Dungeon!"), small_width);
    draw_select_font(3);
    EXPECT_GT(text_width("Location: Dungeon"), small_width);
    EXPECT_GT(text_height("Location: Dungeon"), small_height);
    draw_select_font(5);
    int bold = text_width("Strength 12");
    draw_select_font(4);
    EXPECT_GT(bold, text_width("Strength 12"));

    // Transparent mode: only glyph pixels change, all inside the measured box.
    draw_select_font(4);
    int w = text_width("Hit points");
    int h = text_height("Hit points");
    clear_screen(RGB(0, 0, 80));
    draw_start();
    draw_text_transparent();
    draw_text(100, 50, "Hit points", RGB(255, 255, 255));
    draw_stop();
    Extent glyphs = changed_pixels(RGB(0, 0, 80));
    ASSERT_FALSE(glyphs.empty());
    EXPECT_GE(glyphs.left, 100);
    EXPECT_GE(glyphs.top, 50);
    EXPECT_LT(glyphs.right, 100 + w);
    EXPECT_LT(glyphs.bottom, 50 + h);
    EXPECT_GT(glyphs.right - glyphs.left, w / 2);

    // Opaque mode: the whole text box gets the background colour first.
    clear_screen(RGB(0, 0, 80));
    draw_start();
    draw_text_background(RGB(0, 0, 0));
    draw_text(100, 50, "Hit points", RGB(255, 100, 0));
    draw_stop();
    Extent box = changed_pixels(RGB(0, 0, 80));
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.top, 50);
    EXPECT_EQ(box.right, 100 + w - 1);
    EXPECT_EQ(box.bottom, 50 + h - 1);
    EXPECT_EQ(screen_pixel(100, 50), RGB(0, 0, 0));
    bool text_colour_seen = false;
    for (int y = 50; y < 50 + h; ++y)
        for (int x = 100; x < 100 + w; ++x) text_colour_seen |= screen_pixel(x, y) == RGB(255, 100, 0);
    EXPECT_TRUE(text_colour_seen);

    // Text cut by the screen edge, and text drawn into a sprite.
    draw_start();
    draw_text(630, 470, "Hit points", RGB(255, 255, 255));
    draw_text(-1000, -1000, "Hit points", RGB(255, 255, 255));
    draw_stop();
    ASSERT_TRUE(sprite_create(7, 200, 40));
    draw_start(7);
    draw_text_transparent();
    draw_text(0, 0, "Mana", RGB(0, 255, 0));
    draw_stop();
    bool green = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) green |= sprite_pixel(7, x, y) == RGB(0, 255, 0);
    EXPECT_TRUE(green);
}

TEST(Drawing, TextWithoutALoadedFontUsesADefaultFace) {
    TempGameFolder game;
    draw_select_font(0);
    EXPECT_GT(text_width("Continue"), 0);
    EXPECT_GT(text_height("Continue"), 0);
    draw_select_font(9);  // never loaded
    clear_screen(RGB(0, 0, 0));
    draw_start();
    draw_text_transparent();
    draw_text(10, 10, "Continue", RGB(255, 0, 0));
    draw_stop();
    EXPECT_FALSE(changed_pixels(RGB(0, 0, 0)).empty());
}

// Text lines are drawn from a cache. Over an opaque background a line must be
// what the font library's glyphs make of it: its box in the background colour
// with the glyphs blended over it, the first time and every time after, in
// each of its colours, cut at the screen's edge like any drawing; and a font
// loaded anew under the same number must never get the old font's line.
TEST(Drawing, CachedTextLinesAreTheFontLibrarysGlyphsOverTheirBox) {
    TempGameFolder game;
    load_game_fonts();
    struct Line {
        int font;
        std::string text;
        Colour colour, background;
    };
    auto region = [](int x, int y, int w, int h) {
        std::vector<Colour> pixels;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col) pixels.push_back(screen_pixel(col, row));
        return pixels;
    };
    // The line drawn the way it was before the cache, with the glyphs of reference_font:
    // the box, then the glyphs blended over it.
    auto drawn_over_its_box = [&](const Line& line, int reference_font) {
        draw_select_font(reference_font);
        const int w = text_width(line.text), h = text_height(line.text);
        clear_screen(RGB(9, 9, 9));
        draw_start();
        draw_box(0, 0, w, h, line.background);
        draw_text_transparent();
        draw_text(0, 0, line.text, line.colour);
        draw_stop();
        return region(0, 0, w, h);
    };
    auto check = [&](const Line& line, int reference_font) {
        const std::vector<Colour> expected = drawn_over_its_box(line, reference_font);
        draw_select_font(line.font);
        const int w = text_width(line.text), h = text_height(line.text);
        draw_start();
        draw_text_background(line.background);
        for (int y : {100, 130, 160}) draw_text(7, y, line.text, line.colour);
        draw_text(SCREEN_WIDTH - w / 2, 200, line.text, line.colour);  // cut at the right edge
        draw_stop();
        for (int y : {100, 130, 160}) EXPECT_EQ(region(7, y, w, h), expected) << line.text << " at " << y;
        std::vector<Colour> left_half;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w / 2; ++col) left_half.push_back(expected[static_cast<size_t>(row * w + col)]);
        EXPECT_EQ(region(SCREEN_WIDTH - w / 2, 200, w / 2, h), left_half) << line.text;
        return w;
    };
    const Line lines[] = {{1, "Location: Dungeon", RGB(255, 255, 255), RGB(0, 0, 0)},
                          {4, "Hit points 12 / 20", RGB(255, 100, 0), RGB(0, 0, 0)},
                          {4, "Hit points 12 / 20", RGB(0, 0, 255), RGB(0, 0, 0)},
                          {4, "Hit points 12 / 20", RGB(0, 0, 255), RGB(40, 40, 40)},
                          {3, "New game", RGB(0, 0, 0), RGB(255, 100, 0)}};
    for (const Line& line : lines) check(line, line.font);
    const int small = check(lines[1], 4);
    // A larger face under number 4; the same face under a number never used gives the reference.
    ASSERT_TRUE(font_load(6, "Verdana", 14, false, false));
    ASSERT_TRUE(font_load(4, "Verdana", 14, false, false));
    EXPECT_GT(check(lines[1], 6), small);
}
