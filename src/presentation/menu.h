// A vertical list of choices (the main menu, the inventory): reset, fill,
// measure and draw one menu record.
#pragma once
#include <string>

#include "presentation/presentation_state.h"

// Every setting back to its reset value and every entry empty.
void menu_reset(Menu& menu);
// Puts the text into the first empty slot and returns its index; with all 30
// slots used nothing is stored and 0 is returned.
int menu_add(Menu& menu, const std::string& text);
// Grows the entry size to the widest and tallest text and counts the entries.
// With start_drawing 1 the procedure starts and stops drawing itself.
void menu_measure(Menu& menu, int start_drawing);
// Draws the entries; with mouse tracking the entry under the mouse becomes the
// selected and hovered one.
void menu_draw(Menu& menu, int start_drawing);
