// Presentation state: the status message shown in the bottom band and the
// menu record shared by every screen that offers a vertical list of choices.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/media.h"

// Icon kinds of a status message: which sheet its icon number refers to.
namespace icon_kind {
constexpr int tile = 0, item = 1, power = 2, monster = 3, ability = 4;
}

struct StatusMessage {
    Colour colour = RGB(255, 255, 255);
    std::string text;
    std::string second_text;
    int16_t icon_number = -1;  // below 0: no icon
    uint8_t icon_kind = 0;     // see icon_kind
    uint32_t time_stamp = 0;   // tick when it was set
    uint32_t duration = 0;     // milliseconds it stays visible
};

constexpr int MENU_SLOTS = 30;

struct Menu {
    int16_t x = 0, y = 0;                        // top-left corner of the first entry
    int16_t entry_width = 0, entry_height = 0;   // measured
    int16_t inset = 2;                           // space around the text inside an entry
    int16_t gap = 4;                             // space added between entries
    uint8_t selected = 0;                        // index of the selected entry
    int16_t count = 0;                           // number of non-empty entries (measured)
    Colour colour = RGB(255, 255, 255);          // text and box colour
    uint8_t mouse_tracking = 0;                  // 1: the entry under the mouse becomes selected
    int16_t mouse_x = 0, mouse_y = 0;            // set by the caller before drawing
    int16_t hovered = -1;                        // result of drawing
    std::array<std::string, MENU_SLOTS> entries;  // entry texts
    uint8_t visible = 1;                         // 0: draw nothing
    uint8_t background_margin = 0;               // above 0: background box behind the list
    uint8_t entry_outline = 1;                   // above 0: every entry as an outlined box
    int16_t font = 0;                            // 0: keep the current font
    uint8_t bevel = 0;                           // 1: raised bevel around the selected entry
    Colour light_colour = 0, dark_colour = 0;    // bevel colours
};

struct PresentationState {
    StatusMessage status_message;
    Menu menu;  // the main menu's record
};

extern PresentationState g_presentation;

void reset_presentation_state();
