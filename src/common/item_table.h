// The item type records of data\items.xml; the table itself is one of the
// database tables (common/database.h).
#pragma once
#include <cstdint>
#include <string>

constexpr int kItemTypeTableSize = 257;  // indices 0..256, ids 1..254 loadable
constexpr int kFirstItemId = 1;
constexpr int kLastItemId = 254;
constexpr int kItemBonusSlots = 5;
constexpr int kItemUnequipSlots = 5;

// One ability bonus of an item type: added to the ability's item bonus while
// a piece is equipped, and added to the ability when a piece is used.
struct ItemAbilityBonus {
    int16_t attribute = 0;           // ability id; 0 = empty slot; may lie outside 1..254: check before indexing
    std::string attribute_name;      // used only to find the id when attribute is 0
    int16_t value = 0;
    int8_t magic_bonus_multiplier = 0;  // > 0: magic bonus x this is added while equipped
};

// One item type (data\items.xml). A record with an empty name is an undefined slot.
struct ItemType {
    std::string name;
    int16_t tile = 0;                 // cell in the item sprite sheet
    int16_t tile_equipped = -1;       // -1 = tile; never -1 after loading
    int16_t weight = 0;               // tenths
    int16_t starting_equipment = 0;   // pieces a new character starts with
    std::string item_class;           // "class": word for equipment limits and unequip rules
    std::string class_name;           // display name of the class
    std::string description;
    int8_t can_be_equipped = 0;
    int16_t price = 0;
    int16_t fuel = 0;                 // capacity; 0 = uses no fuel
    int8_t fuel_consumed_per_turn = 0;
    std::string fuel_name;            // "[fuel]" stands for the fuel left
    std::string use_name;             // empty = cannot be used
    int8_t consumed_after_use = 0;
    int8_t turn_ends_after_use = 0;
    std::string use_message;
    int16_t fuel_consumed_per_use = 0;
    int8_t artefact = 0;              // pieces carry a random magic bonus
    int16_t equipment_limit = 0;      // most equipped of this class at once; 0 = no limit
    ItemAbilityBonus ability_bonus[kItemBonusSlots];
    std::string unequip[kItemUnequipSlots];  // classes unequipped by equipping this; empty = free
};
