// The power records of data\powers.xml; the table itself is one of the
// database tables (common/database.h).
#pragma once
#include <cstdint>
#include <string>

struct PowerRequirement {
    int16_t attribute = 0;       // ability id; 0 = slot unused
    std::string attribute_name;  // resolved to attribute when attribute is 0
    int16_t value = 0;           // minimum value
};

constexpr int kPowerRequirementSlots = 3;

// Fields keep the names of the attributes of the power element; the ones that
// clash with C++ keywords carry a trailing letter (cls for "class").
struct Power {
    std::string name;  // empty = free id
    std::string description;
    int16_t tile = 0;
    int16_t effect = 0;  // stored, not consulted
    std::string effect_name;
    int16_t effect_strength = 0;
    int16_t strength_bonus_attribute = 0;
    std::string strength_bonus_attribute_name;
    int16_t strength_multiplier = 1;
    int16_t strength_divisor = 0;
    bool strength_randomized = false;
    int16_t randomized_strength_bonus = 0;
    int16_t randomized_strength_bonus_attribute = 0;
    std::string randomized_strength_bonus_attribute_name;
    int16_t randomized_strength_multiplier = 1;
    int16_t randomized_strength_divisor = 1;
    int16_t success_attribute = 0;
    std::string success_attribute_name;
    int8_t success_attribute_multiplier = 1;
    int8_t success_attribute_divisor = 1;
    int16_t success_bonus = 0;
    std::string success_message;
    std::string failure_message;
    std::string wrong_use_message;
    std::string already_used_message;
    std::string animation;
    bool end_turn = false;
    std::string sound;
    std::string failure_sound;
    std::string wrong_use_sound;
    int16_t cost = 0;
    int16_t cost_attribute = 0;
    std::string cost_attribute_name;
    std::string cls;  // "class"
    int8_t range = 0;
    int16_t modify_attribute = 0;
    std::string modify_attribute_name;
    int16_t adjust_attribute = 0;
    std::string adjust_attribute_name;
    int16_t duration = 0;
    int16_t duration_bonus_attribute = 0;
    std::string duration_bonus_attribute_name;
    int16_t duration_multiplier = 0;
    int16_t duration_divisor = 0;
    int16_t activates_ability_id = 0;
    std::string activates_ability_name;
    int16_t deplete_attribute_id = 0;
    std::string deplete_attribute_name;
    int16_t cooldown = 0;
    std::string affects_only_monster_class;
    std::string monster_effect;
    std::string field_effect;
    PowerRequirement requirement[kPowerRequirementSlots];
};

constexpr int kPowerTableSize = 257;  // indices 0..256
constexpr int kMaxPowerId = 254;      // ids 1..254 can be defined
