// The map view the rules speak of: 13 x 13 fields around the character, which
// stands in view cell (6, 6). Targets, animations and what is in sight are
// given in these cells.
#pragma once

constexpr int VIEW_CELLS = 13;   // fields across and down the map view
constexpr int VIEW_CENTRE = 6;   // view cell of the character
constexpr int VIEW_CELL_PIXELS = 32;  // a field of the map view on the screen, each way

// The view cell under a pixel of the window's picture (the map view fills its
// top left corner); false for a pixel beside the map view.
constexpr bool view_cell_at_pixel(int px, int py, int& column, int& row) {
    const int view = VIEW_CELLS * VIEW_CELL_PIXELS;
    if (px < 0 || py < 0 || px >= view || py >= view) return false;
    column = px / VIEW_CELL_PIXELS;
    row = py / VIEW_CELL_PIXELS;
    return true;
}
