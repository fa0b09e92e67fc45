// The cell clipping that every clip_* procedure of the view uses.
#pragma once

// Clips a sheet of 32 x 32 cells, numbered row by row, to one cell and
// returns the sprite number. A sheet that was not measured (no columns) is
// treated as one column wide, so a missing picture never divides by zero.
int clip_cell(int sprite_number, int columns, int cell);
// The same cell, only its pixel rows first_row .. first_row + rows - 1.
int clip_cell_rows(int sprite_number, int columns, int cell, int first_row, int rows);
