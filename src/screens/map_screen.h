// The map screen (key M): the fields of the current map the character has
// seen, scaled to fit the map view, with the character, the known portals and
// level exits and the found traps marked.
#pragma once
#include <memory>

#include "screens/screen_stack.h"

// Shows the map screen until Escape is let go or M is pressed (or the window
// asks to close: the game ends). It takes
// no turn; only the fields the character sees at this moment are marked seen.
// With clicks taken, a click on a seen field closes the screen too: clicked()
// is true then, with the field (the caller travels there).
class MapScreen : public Screen {
public:
    explicit MapScreen(bool take_clicks) : take_clicks_(take_clicks) {}
    bool open() override;
    void take(WindowEvent event) override;
    bool draw() override { return false; }
    bool idle() const override { return true; }
    bool clicked() const { return clicked_; }
    int x() const { return x_; }
    int y() const { return y_; }

private:
    bool take_clicks_ = false;
    bool clicked_ = false;
    int x_ = 0, y_ = 0;
};
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
