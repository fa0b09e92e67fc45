// The character's figure in the centre cell of the map view.
#pragma once

// Draws the figure for the character's facing and walking frame, shifted
// vertically by the given pixels. A facing outside 0..3 or a frame other than
// 0 and 1 is fatal.
void draw_character(int vertical_shift);
