// The game picture: the 13 x 13 map view centred on the character with items,
// monsters, the light overlay and the darkening, the frame bars, the
// whole-screen redraw, and the procedures that clip a sprite sheet to one of
// its numbered 32 x 32 cells.
#pragma once
#include "map/map_state.h"

// Clear, map view, frame, status panel, character figure, flip. Offsets are
// the scroll of the map view in pixels (0..30), fade 0..255 darkens the view,
// character_shift lifts or lowers the figure.
void redraw_screen(GameMap& map, int offset_x, int offset_y, int fade, int character_shift);
// The map view and the message lines of the bottom band; leaves the right panel black.
void draw_map_view(GameMap& map, int offset_x, int offset_y, int fade);
// The bars between the map view, the right panel and the bottom band.
void draw_frame();
// 0 (dark) .. 8 (fully lit): the map's lighting plus the character's light abilities.
int light_level();

// Each clips its sheet to one cell so that the next display of that sheet
// shows it, and returns the sprite number to display.
int clip_ability_icon(int cell);
int clip_fx_icon(int cell);
int clip_item_icon(int cell);
int clip_missile(int cell);
int clip_monster_type(int type_id);  // the type's tile
int clip_monster_icon(int cell);
int clip_power_icon(int cell);
int clip_tile(int tile);  // the current map's tileset sheet

// Screen geometry of the game picture.
constexpr int VIEW_CELLS = 13;       // fields across and down the map view
constexpr int CELL = 32;             // pixels of a field
constexpr int VIEW_CENTRE = 6;       // view cell of the character
constexpr int VIEW_PIXELS = VIEW_CELLS * CELL;  // 416
