// The look screen (key K): a cursor over the map view that describes what lies
// on the field under it — the monster with its picture and fighting values,
// the items with their weight, bonuses, fuel and use, the field's name and
// what it does once known. It takes no turn.
#pragma once
#include <string>
#include <vector>

// The lines that describe the field (x, y) of the current map as the
// character knows it: nothing on a field not seen, no monster out of sight,
// no effect of a field still hidden. Texts from the data and the messages.
std::vector<std::string> look_lines(int x, int y);

// The look screen's cursor: a column and a row of the map view (0..12 each,
// the character's field in the middle).
struct LookCursor {
    int column = 0, row = 0;
};

// Shows the look screen with its cursor on that field of the view (the
// character's at first) until Escape or K (or the window asks to close:
// g_common.close_requested is set); returns the cursor as it closed.
LookCursor look_screen(LookCursor start);
LookCursor look_screen();

// A right click: the look screen on the field of the map view under the
// pointer. False, and nothing shown, when the pointer is not over the map view;
// closed_at (when given) is the cursor as the screen closed.
bool look_at_pointer(LookCursor* closed_at = nullptr);
