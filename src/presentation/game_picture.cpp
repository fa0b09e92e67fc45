// The one composition of the game picture, and what is made of it: the
// redraw of the whole screen and the fades of the map view.
#include "presentation/view.h"

#include "map/map_state.h"
#include "platform/media.h"

void draw_game_picture(GameMap& map, int offset_x, int offset_y, int fade, int character_shift) {
    // Black beneath the map view (where a scrolled view or a missing tile
    // leaves a gap) and below it; draw_map_view clears the panel beside it and
    // the message lines' strip itself.
    start_picture(0, 0, VIEW_PIXELS, SCREEN_HEIGHT, RGB(0, 0, 0));
    draw_map_view(map, offset_x, offset_y, fade);
    draw_frame();
    draw_status_panel();
    draw_character(character_shift);
}

void redraw_screen(GameMap& map, int offset_x, int offset_y, int fade, int character_shift) {
    draw_game_picture(map, offset_x, offset_y, fade, character_shift);
    flip();
}

void draw_panel_screen_behind(const std::string& title) {
    constexpr int PANEL_LEFT = VIEW_PIXELS + 16;  // right of the frame bar
    constexpr int TITLE_BAND = 32;                // the title and the ruling under it
    clear_screen(RGB(0, 0, 0));
    draw_map_view(g_map.map, 0, 0, 0);
    draw_frame();
    draw_character(0);
    draw_start();
    draw_box(PANEL_LEFT, TITLE_BAND, SCREEN_WIDTH - PANEL_LEFT, VIEW_PIXELS - TITLE_BAND, RGB(0, 0, 0));
    draw_select_font(FONT_TITLE);
    draw_text_on_black(VIEW_PIXELS + 18, 0, title, RGB(255, 255, 255));
    draw_stop();
}

void fade_in(GameMap& map) {
    for (int f = 255; f >= 0; f -= 5) redraw_screen(map, 0, 0, f, 0);
}

void fade_out(GameMap& map) {
    for (int f = 1; f <= 251; f += 5) redraw_screen(map, 0, 0, f, 0);
}
