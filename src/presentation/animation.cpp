// Short blocking animations over the game picture: sparkles, rings, missiles,
// an effect icon with a number, and a flood over the whole view. Each redraws
// the picture itself frame by frame; their waits go through the media layer's
// clock.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "common/common_state.h"
#include "common/raise_error.h"
#include "presentation/view.h"
#include "map/map_state.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace {

constexpr int SPARKLE = 9;  // pixels of a sparkle frame in the star sheet
constexpr int SPARKLE_COUNT = 25;

// The game picture of the current map, not yet flipped.
void picture() { draw_game_picture(g_map.map, 0, 0, 0, 0); }

void draw_sparkle(int colour, int frame, int x, int y) {
    sprite_clip(sprite::stars, frame * SPARKLE, colour * SPARKLE, SPARKLE, SPARKLE);
    sprite_display_transparent(sprite::stars, x, y);
}

struct Sparkle {
    int x = 0, y = 0;
    int frame = 0;
    int direction = 1;
    int delay = 0;
    int colour = 0;
};

// A sparkle's colour: a random one of the first five when mixed, else the
// given colour, or the second colour in one case of two when there is one.
int sparkle_colour(int colour, int mixed, int second_colour) {
    if (mixed) return Random(4);
    if (second_colour > 0 && Random(1) == 0) return second_colour;
    return colour;
}

struct Named {
    const char* name;
    int number;
};

constexpr const char* COLOURS[] = {"blue", "red", "purple", "green", "yellow", "aqua", "grey", "skull"};
constexpr Named MISSILES[] = {{"red fireball", 0},    {"blue fireball", 1}, {"green fireball", 2},
                              {"purple fireball", 3}, {"lightning", 4},     {"blue lightning", 5}};
constexpr Named ICONS[] = {{"red cloud", 1}, {"green cloud", 2}, {"magic shield", 5}, {"battle rage", 6}};
constexpr Named FLOODS[] = {{"fire flood", 7}, {"wind flood", 8}, {"cross flood", 9}};

int find(const Named* table, size_t count, const std::string& name) {
    for (size_t i = 0; i < count; ++i)
        if (name == table[i].name) return table[i].number;
    return -1;
}

}  // namespace

bool animation_known(const std::string& name) {
    if (name.empty() || name == "mixed stars") return true;
    for (const char* colour : COLOURS)
        if (name == std::string(colour) + " stars" || name == std::string(colour) + " circle") return true;
    return find(MISSILES, std::size(MISSILES), name) >= 0 || find(ICONS, std::size(ICONS), name) >= 0 ||
           find(FLOODS, std::size(FLOODS), name) >= 0;
}

void animation(const std::string& name, int x, int y, int value) {
    if (name.empty()) return;
    const int cell_x = wrap8(x), cell_y = wrap8(y);
    if (name == "mixed stars") return sparkles(0, cell_x, cell_y, SPARKLE_COUNT, 1, 0);
    for (int colour = 0; colour < 8; ++colour) {
        if (name == std::string(COLOURS[colour]) + " stars") return sparkles(colour, cell_x, cell_y, SPARKLE_COUNT, 0, 0);
        if (name == std::string(COLOURS[colour]) + " circle") return ring(colour, cell_x, cell_y);
    }
    if (int n = find(MISSILES, std::size(MISSILES), name); n >= 0)
        return missile(n, VIEW_CENTRE, VIEW_CENTRE, cell_x, cell_y);
    if (int n = find(ICONS, std::size(ICONS), name); n >= 0) return icon_with_number(n, cell_x, cell_y, wrap16(value));
    if (int n = find(FLOODS, std::size(FLOODS), name); n >= 0) return flood(n);
    raise_error("animation(): unknown animation: " + quoted(name));
}

void sparkles(int colour, int x, int y, int count, int mixed, int second_colour) {
    std::vector<Sparkle> stars(static_cast<size_t>(count > 0 ? count : 0));
    auto place = [&](Sparkle& s) {
        s.x = x * CELL + Random(30);
        s.y = y * CELL + Random(30);
        s.frame = 0;
        s.direction = 1;
    };
    for (Sparkle& s : stars) {
        place(s);
        s.delay = Random(9);
        s.colour = sparkle_colour(colour, mixed, second_colour);
    }
    for (int frame = 0; frame < 50; ++frame) {
        picture();
        for (Sparkle& s : stars) {
            if (s.delay > 0) {
                --s.delay;
                continue;
            }
            draw_sparkle(s.colour, s.frame, s.x, s.y);
            // Frames 0, 1, 2, 3, 4, 3, 2, 1, then the sparkle starts again elsewhere in the cell.
            if (s.direction == 1) {
                if (++s.frame >= 4) {
                    s.frame = 4;
                    s.direction = -1;
                }
            } else if (--s.frame < 1) {
                place(s);
                if (mixed || second_colour > 0) s.colour = sparkle_colour(colour, mixed, second_colour);
            }
        }
        flip();
        wait_ms(25);
    }
}

void ring(int colour, int x, int y) {
    for (int t = 0; t <= 200; t += 5) {
        picture();
        for (int a = 0; a <= 360; a += 20) {
            // a + t is taken as an angle in radians as it stands.
            const int px = static_cast<int>(std::lround(x * CELL + 20 * std::cos(a + t) + 12));
            const int py = static_cast<int>(std::lround(y * CELL + 20 * std::sin(a + t) + 12));
            draw_sparkle(colour, 4, px, py);
        }
        flip();
        wait_ms(25);
    }
}

void missile(int number, int x1, int y1, int x2, int y2) {
    int px = x1 * CELL, py = y1 * CELL;
    const int dx = x2 - x1, dy = y2 - y1;  // cells, flown as pixels per frame
    int frames = CELL;
    if (std::abs(dx) > std::abs(dy) && dy != 0) frames = std::abs(dx) / std::abs(dy) * CELL;
    if (std::abs(dy) > std::abs(dx) && dx != 0) frames = std::abs(dy) / std::abs(dx) * CELL;
    // At dx, dy pixels a frame the missile reaches the target cell after 32
    // frames whatever the direction; a flight at any other slant stops there
    // instead of carrying on past it.
    if (frames > CELL) frames = CELL;
    for (int n = 0; n <= frames; ++n) {
        picture();
        const int sheet = clip_missile(number);
        sprite_display_transparent(sheet, px, py);
        flip();
        px += dx;
        py += dy;
    }
}

void draw_fx_icon(int icon, int left, int top) { sprite_display_transparent(clip_fx_icon(icon), left, top); }

void draw_number_on_cell(int left, int top, int number) {
    const std::string text = int_to_text(number);
    draw_start();
    draw_select_font(FONT_DEFAULT);
    draw_text_transparent();
    draw_text(left + 16 - text_width(text) / 2, top + 16 - text_height(text) / 2, text, RGB(255, 255, 255));
    draw_text_background(RGB(0, 0, 0));
    draw_stop();
}

void icon_with_number(int icon, int x, int y, int number) {
    draw_fx_icon(icon, x * CELL, y * CELL);
    draw_number_on_cell(x * CELL, y * CELL, number);
    flip();
    wait_ms(250);
    picture();
    flip();
    wait_ms(250);
}

void flood(int icon) {
    draw_map_view(g_map.map, 0, 0, 0);
    for (int j = 0; j < VIEW_CELLS; ++j)
        for (int i = 0; i < VIEW_CELLS; ++i) draw_fx_icon(icon, i * CELL, j * CELL);
    draw_frame();
    draw_status_panel();
    draw_character(0);
    flip();
    wait_ms(500);
    picture();
    flip();
}
