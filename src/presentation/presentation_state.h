// Presentation state: the menu record of the main menu.
#pragma once

#include "common/view.h"

struct PresentationState {
    Menu menu;  // the main menu's record
};

extern PresentationState g_presentation;

void reset_presentation_state();
