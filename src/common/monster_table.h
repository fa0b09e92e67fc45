// The monster type records of data\monster.xml; the table itself is one of
// the database tables (common/database.h).
#pragma once
#include <cstdint>
#include <string>

// What a monster passes to the character when it wounds it.
struct MonsterAffliction {
    std::string cls;             // "class": accepted and stored, not read by any rule
    int8_t chance = 0;           // percent; 0 = never
    int16_t attribute = 0;       // ability id changed; 0 = none
    std::string attribute_name;  // resolved to attribute when attribute is 0
    int16_t value = 0;           // amount added (negative = taken away)
    int8_t randomized = 0;       // 1 = amount drawn between 1 and |value|
    std::string animation;
    std::string sound;
    std::string message;
};

constexpr int kMonsterAfflictionSlots = 5;

struct MonsterType {
    std::string name;  // empty = free slot
    std::string cls;   // "class": "|"-separated word list
    int16_t tile = 0;
    int16_t attack = 0;
    int16_t defense = 0;
    int16_t strength = 0;
    int16_t hitpoints = 0;
    int16_t armor = 0;
    int16_t level = 0;
    int8_t speed = 0;
    int8_t flying = 0;
    int8_t regeneration = 0;
    std::string resistance;
    std::string immune;
    std::string vulnerable;
    MonsterAffliction afflictions[kMonsterAfflictionSlots];
};

constexpr int kMonsterTypeTableSize = 302;  // indices 0..301
constexpr int kMaxMonsterTypeId = 299;      // ids 1..299 can be defined
