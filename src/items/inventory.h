// The rules of carried items: adding and taking pieces, the starting
// equipment, equipping with its limits and swaps, the bonuses of what is
// equipped, burning fuel, using and dropping, and taking items from a field.
// The inventory screen and the pick-up screen (item_screens.h) act through these.
#pragma once
#include <string>

#include "common/item_table.h"
#include "items/items_state.h"
#include "map/map_state.h"

// The item type of an id; ids outside 1..254 give an empty record (no name, no bonuses).
const ItemType& item_type_of(int id);
// The pieces a stack holds: an amount of 0 (an item that came with a map file) counts as one.
int stack_pieces(int amount);

// Adds pieces of a defined item type. fuel -1: the type's full capacity;
// magic_bonus -1: random_magic_bonus for an artefact, 0 for any other type.
// An entry of the same type, fuel and magic bonus grows by one piece, whatever
// amount was asked; otherwise a new entry (not equipped, not selected) with
// that amount is added at the end.
void add_item_to_inventory(int type, int amount, int fuel, int magic_bonus);
// Every new character also gets that many pieces of this item type (food).
constexpr int STARTING_FOOD_TYPE = 1;
constexpr int STARTING_FOOD_PIECES = 5;
// The inventory of a new character: every type with a starting amount, then five pieces of type 1.
void give_starting_equipment();

// The entry under the inventory cursor (selected flag), or none.
InventoryEntry* selected_entry();
// Takes pieces from the selected entry: amount of them, or with whole_stack 1
// the entry itself. The entry goes when whole_stack is 1 or no piece is left.
// Returns the pieces taken.
int take_from_selected(int amount, int whole_stack);

// Number of equipped entries whose item class is exactly item_class.
int count_equipped_of_class(const std::string& item_class);
// Unequips every entry whose class is one of the unequip classes of the type.
void unequip_classes_of(int type);
// Every ability's item bonus from the equipped entries (value + magic bonus x
// multiplier); the adjustments derived from the values follow.
void recompute_item_bonuses();
// The end of a used turn: every equipped entry of a fuelled type burns its
// fuel per turn; one that runs out is unequipped. Returns 1 when one went out.
int burn_fuel();

// The item menu's conditions for an entry.
bool entry_can_be_equipped(const InventoryEntry& entry);
bool entry_can_be_used(const InventoryEntry& entry);
// Equips the selected entry: 1 when it was equipped (the turn is used); 0
// when the class has reached its equipment limit (message 20 is shown).
int equip_selected();
// Uses the selected entry (message, ability changes, fuel, a piece used up).
// Returns 1 when the use ends the turn.
int use_selected();
// One piece of the selected entry goes onto the field (x, y).
void drop_selected(int x, int y);

// The map items lying on (x, y), in list order.
int map_items_at(int x, int y);
// Every marked map item, in list order, leaves the map and becomes an entry of
// its own at the end of the inventory; the message names what was taken.
// Returns 1 when something was taken.
int take_marked_items();
// A container field with no item left becomes the map's background tile.
void clear_empty_container(GameMap& map, int x, int y);
