// The status message in the bottom band (drawn by the map view).
#pragma once

// The message lines (drawing started); true when the message is still
// visible and something was drawn.
bool draw_message_lines();
// The message's icon beside the lines (drawing stopped).
void draw_message_icon();
