// The map screen (key M): the fields of the current map the character has
// seen, scaled to fit the map view, with the character, the known portals and
// level exits and the found traps marked.
#pragma once

// Shows the map screen until Escape is let go or M is pressed (or the window
// asks to close: g_common.close_requested is set for the main loop). It takes
// no turn; only the fields the character sees at this moment are marked seen.
// Given a place for it, a click on a seen field closes the screen too: true,
// with the field (the caller travels there).
bool map_screen(int* clicked_x = nullptr, int* clicked_y = nullptr);
// The field of the map screen under the picture pixel (px, py): false when
// none lies there.
bool map_screen_field_at(int px, int py, int& x, int& y);
// Its picture (not flipped).
void draw_map_screen();

// Where the map screen puts the fields: field (x, y) covers the square of
// scale pixels at (left + scale (x - first_x), top + scale (y - first_y)).
struct MapScreenLayout {
    int first_x = 0, first_y = 0;  // the top-left field shown
    int columns = 0, rows = 0;     // fields shown across and down
    int scale = 0;                 // pixels of a field
    int left = 0, top = 0;         // screen position of the top-left field
};
// The part of the grid the map uses (its fields that are not plain default
// tile, with a field of margin), scaled to fit the map view: 8 pixels a field
// for the whole 50 x 50 grid.
MapScreenLayout map_screen_layout();
