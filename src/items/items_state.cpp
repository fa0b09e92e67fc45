#include "items/items_state.h"

ItemsState g_items;

void clear_item_types() {
    for (int id = kFirstItemId; id <= kLastItemId; ++id) g_items.types[id] = ItemType{};
}

void reset_items_state() {
    for (ItemType& type : g_items.types) type = ItemType{};
    g_items.inventory.clear();
    g_items.map_items.clear();
}
