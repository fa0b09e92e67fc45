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

// Shows the look screen with its cursor on the character's field until
// Escape or K (or the window asks to close: the game ends).
class LookScreen : public Screen {
public:
    bool open() override { return draw(); }
    void take(WindowEvent event) override;
    // Redrawn every pass: the cursor blinks.
    bool draw() override;
    bool idle() const override { return true; }

private:
    int column_ = VIEW_CENTRE, row_ = VIEW_CENTRE;  // on the character's field
};
