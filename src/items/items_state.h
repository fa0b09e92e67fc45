// The items the character carries (the item types are a database table,
// common/item_table.h; the items lying on the current map belong to the map).
#pragma once
#include <cstdint>
#include <string>

#include "common/item_table.h"
#include "platform/game_list.h"

// A stack of pieces of one item type carried by the character.
struct InventoryEntry {
    int16_t type = 0;
    int16_t amount = 0;       // 0 behaves like 1 (picked up from a map file item)
    int16_t fuel = 0;
    int8_t equipped = 0;
    int8_t selected = 0;      // under the inventory cursor (at most one)
    int16_t magic_bonus = 0;
};

struct ItemsState {
    GameList<InventoryEntry> inventory;
};

extern ItemsState g_items;

// Empties the inventory.
void reset_items_state();
