// The look screen (key K): a cursor over the map view that describes what lies
// on the field under it — the monster with its picture and fighting values,
// the items with their weight, bonuses, fuel and use, the field's name and
// what it does once known. It takes no turn.
#pragma once
#include <string>
#include <vector>

#include "common/view_cells.h"
#include "screens/screen_stack.h"

// The lines that describe the field (x, y) of the current map as the
// character knows it: nothing on a field not seen, no monster out of sight,
// no effect of a field still hidden. Texts from the data and the messages.
std::vector<std::string> look_lines(int x, int y);

// The look screen's cursor: a column and a row of the map view (0..12 each,
// the character's field in the middle).
struct LookCursor {
    int column = VIEW_CENTRE, row = VIEW_CENTRE;
};

// Shows the look screen with its cursor on a field of the view (the
// character's unless told otherwise) until Escape or K (or the window asks to
// close: the game ends).
class LookScreen : public Screen {
public:
    LookScreen() = default;
    explicit LookScreen(LookCursor start);
    bool open() override { return draw(); }
    void take(WindowEvent event) override;
    // Redrawn every pass: the cursor blinks.
    bool draw() override;
    bool idle() const override { return true; }
    // Where the cursor is (as it closed, once closed).
    LookCursor cursor() const { return cursor_; }

private:
    LookCursor cursor_;  // on the character's field
};

// A right click: the cursor on the field of the map view under the pointer;
// false when the pointer is not over the map view.
bool pointer_look_cursor(LookCursor& cursor);
