// The database tables, filled once at start-up from the data files and read
// by every subsystem: abilities, monster types, powers and item types.
#pragma once

#include "common/ability_table.h"
#include "common/item_table.h"
#include "common/monster_table.h"
#include "common/power_table.h"

struct Database {
    AbilityRecord abilities[kAbilityTableSize];
    MonsterType monster_types[kMonsterTypeTableSize];
    Power powers[kPowerTableSize];
    ItemType item_types[kItemTypeTableSize];
};

extern Database g_db;

// Every record of every table back to its defaults (free ids).
void reset_database();
