#include "items/items_state.h"

ItemsState g_items;

void reset_items_state() { g_items.inventory.clear(); }
