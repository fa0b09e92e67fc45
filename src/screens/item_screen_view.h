// What the inventory and the pick-up screen draw alike: the game picture
// behind them, the 6 x 6 grid of item pictures, the cursor and the info panel
// of the item under it.
#pragma once
#include <string>

constexpr int ITEM_GRID_X = 434, ITEM_GRID_Y = 32;  // top-left corner of the grid
constexpr int ITEM_GRID_CELLS = 6;                  // columns and rows
constexpr int ITEM_MARK_CELL = 47;                  // item-sheet cell behind equipped and marked items

// One stack or one lying item as the screens show it.
struct ItemView {
    int type = 0;
    int amount = 0;
    int fuel = 0;
    int magic_bonus = 0;
    int picture = 0;          // item-sheet cell
    bool on_mark = false;     // drawn on the mark cell (equipped, or marked for taking)
    bool equipped = false;    // worn or held: said in words beside the picture
};

// The item in grid cell (column, row), shifted down by slide pixels (up when
// negative); whatever falls outside the grid is cut off. Rows -1 and 6 only
// show while the grid slides.
void draw_item_grid_cell(const ItemView& item, int column, int row, int slide);
// The blinking cursor on grid cell (column, row).
void draw_item_grid_cursor(int column, int row);
// The item drawn again below the grid and its lines beside it. The class line
// shows the class word instead of the class name with class_word; the
// amount line shows only with amount_line.
void draw_item_info(const ItemView& item, bool class_word, bool amount_line);
// Cursor position kept in the character record, brought into the grid.
int grid_position(int stored);
