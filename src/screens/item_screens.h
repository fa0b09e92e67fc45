// The two full-screen dialogs of the items: the inventory (key I) and the
// pick-up screen for a field (key P), screens of the stack: each is pushed
// here and gets the loop's input until the player leaves it. A close request
// of the window leaves it too and ends the game (window_close_asked).
#pragma once
#include <functional>

// The inventory: browse the carried stacks, use, equip, unequip and drop
// through the item menu. When it closes, then gets 1 when the character's
// turn was used (equipping, or a use that ends the turn).
void inventory_screen(std::function<void(int turn_used)> then);
// The items lying on (x, y): mark them with Space and take them with Return.
// When it closes, then gets 1 when something was taken (the turn is used).
// With nothing lying there the band says so and then runs at once.
void pick_up_screen(int x, int y, std::function<void(int turn_used)> then);
