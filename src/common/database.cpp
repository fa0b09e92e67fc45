#include "common/database.h"

Database g_db;

void reset_database() {
    for (AbilityRecord& record : g_db.abilities) record = AbilityRecord{};
    for (MonsterType& type : g_db.monster_types) type = MonsterType{};
    for (Power& power : g_db.powers) power = Power{};
    for (ItemType& type : g_db.item_types) type = ItemType{};
}
