// What the character sees: the light level, the circle its light opens in the
// darkness of the 13 x 13 map view, and (on maps whose walls block sight) the
// fields with a clear line from the character. The darkness picture, the
// fields remembered as seen, resting and the targets of powers all ask here.
#pragma once
#include <array>

#include "common/view_cells.h"

struct GameMap;

// 0 (dark) .. 8 (fully lit): the map's lighting plus the character's light
// abilities; a light ability whose adjustment percentage is 0 puts it out.
int light_level();

// True when the light of that level reaches the middle of view cell (column,
// row): exactly the cells whose centre pixel the darkness picture of the
// level (graphics\light1..7.png) leaves black. Levels above 6 light the whole
// view; cells outside the view are never lit.
bool light_reaches_view_cell(int light, int column, int row);

// True for a field that stops light and sight on a map whose walls block
// sight: a solid tile as the view shows it (a hidden field shows the floor),
// the map's outside tile beyond the grid.
bool field_blocks_sight(const GameMap& map, int x, int y);

// One flag per view cell, indexed [row][column].
using ViewCells = std::array<std::array<bool, VIEW_CELLS>, VIEW_CELLS>;

// The view cells with a clear line from the character's cell (6, 6) when the
// character stands on (x, y): symmetric shadowcasting over the four quarters
// around the character, so a field sees the character exactly when the
// character sees it (floor fields); a wall is seen when its face is.
ViewCells clear_lines(const GameMap& map, int x, int y);

// True when nothing stops sight from (x, y) to the field (to_x, to_y): always
// on a map whose walls do not block sight; else the field lies within the view
// around (x, y) on a clear line. The targets of powers "in sight" ask this.
bool sight_reaches(const GameMap& map, int x, int y, int to_x, int to_y);

// The view cells the character standing on (x, y) sees with that light: lit
// by it and, on a map whose walls block sight, on a clear line.
ViewCells view_sight(const GameMap& map, int x, int y, int light);

// view_sight for the character on the current map with its light now.
ViewCells character_sight();

// True when the map field (x, y) lies in the view around the character and
// sight (as view_sight gives it) shows it.
bool sight_shows_field(const ViewCells& sight, int x, int y);
