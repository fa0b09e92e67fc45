// The right panel (title, location, abilities, running power adjustments,
// activated abilities), the status message of the bottom band, and the
// word-wrapping text used by the panel and other screens.
#pragma once
#include <cstdint>
#include <string>

#include "platform/media.h"

// Sets the status message; it shows for duration_ms from now (2000 is usual).
// icon_number below 0: no icon; icon_kind: see icon_kind in presentation_state.h.
void show_status_message(const std::string& text, const std::string& second_text, Colour colour, int icon_number,
                         int icon_kind, uint32_t duration_ms);
// The right panel of the game picture.
void draw_status_panel();
// The text shown under an activated ability.
std::string ability_panel_text(int16_t id);
// Draws text at x, y broken at spaces into lines no wider than width where
// possible, in the colour on black (drawing must have been started); returns
// the number of lines drawn.
int draw_wrapped_text(int x, int y, const std::string& text, int width, int line_height, Colour colour);

// The message lines of the bottom band (drawing started); true when the
// message is still visible and something was drawn.
bool draw_message_lines();
// The icon of the status message beside the lines (drawing stopped).
void draw_message_icon();

// Fonts of the game (loaded with the sprites).
constexpr int FONT_PANEL = 1;    // small panel texts
constexpr int FONT_DEFAULT = 3;  // message lines and numbers over the view
constexpr int FONT_TITLE = 4;    // the panel's title line
