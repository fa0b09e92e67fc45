// Presentation state: the menu record of the main menu, the mouse pointer
// over the map view.
#pragma once
#include <string>

#include "presentation/view.h"

struct PresentationState {
    Menu menu;  // the main menu's record
    bool pointer_over = false;       // the pointer is over the window
    int pointer_x = 0, pointer_y = 0;  // where, in screen pixels
    std::string pointer_text_drawn;  // what the last picture named under it
};

extern PresentationState g_presentation;

void reset_presentation_state();
