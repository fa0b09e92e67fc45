// The two full-screen dialogs of the items: the inventory (key I) and the
// pick-up screen for a field (key P). Each runs its own frame loop until the
// player leaves it. A close request of the window leaves it too and sets
// g_common.close_requested for the main loop.
#pragma once

// The inventory: browse the carried stacks, use, equip, unequip and drop
// through the item menu. Returns 1 when the character's turn was used
// (equipping, or a use that ends the turn).
int inventory_screen();
// The items lying on (x, y): mark them with Space and take them with Return.
// Returns 1 when something was taken (the turn is used).
int pick_up_screen(int x, int y);
