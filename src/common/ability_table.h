// The ability records of data\abilities.xml. The table itself is one of the
// database tables (common/database.h), filled once at start-up and read by
// every subsystem.
#pragma once
#include <cstdint>
#include <string>

constexpr int kAbilityTableSize = 257;   // indices 0..256, ids 1..254 used
constexpr int kMaxAbilityId = 254;

constexpr int kAttributeBonusSlots = 10;
constexpr int kCapSlots = 3;
constexpr int kRequirementSlots = 3;
constexpr int kDisplaySlots = 5;
constexpr int kAdjustmentSlots = 5;

constexpr int16_t kTurnEndsNotSet = -32000;
constexpr int32_t kWhite = 255 + 256 * 255 + 65536 * 255;

// Gains applied when the ability is picked at advancement.
struct AttributeBonus {
    int16_t attribute = 0;  // target ability id
    std::string name;       // target by internal name (resolved into attribute)
    int16_t bonus = 0;
    bool displayed = false;  // part of the bonus text of the advancement screen
};

// A limit of an ability's value derived from another ability's stored maximum.
struct AbilityCap {
    int16_t ability = 0;  // capping ability id
    std::string name;
    int16_t bonus = 0;
    int16_t multiplier = 1;
    int16_t divisor = 1;  // read from the file as a signed byte (-128..127)
};

// Condition for picking the ability at advancement.
struct AbilityRequirement {
    int16_t attribute = 0;  // required ability id
    std::string name;
    int16_t value = 0;  // minimum stored maximum of the required ability
};

enum : uint8_t {
    kDisplayNone = 0,
    kDisplayStatusPanel = 1,    // "main screen status panel"
    kDisplayCharacterInfo = 2,  // "character info"
};

// A text describing a range of the ability's value.
struct DisplayEntry {
    uint8_t type = kDisplayNone;
    int16_t start_value = 0;
    int16_t end_value = 0;
    std::string message;  // may contain "[value]"
    std::string message2;
    int32_t color = kWhite;
    std::string language;
    bool expanded_value_display = false;
};

// An effect this ability has on another ability while its own value is positive.
struct AbilityAdjustment {
    int16_t attribute = 0;  // target ability id
    std::string attribute_name;
    int16_t value = 0;
    int16_t percentage = 100;
    int8_t percentage_attribute_multiplier = 0;
    int16_t percentage_bonus = 0;
};

// One entry of the abilities database.
struct AbilityRecord {
    std::string name;  // internal name; empty marks a free id
    std::string display_name;
    std::string description;
    int16_t tile = 0;
    int32_t color = kWhite;
    bool attribute = false;
    bool depletable = false;
    bool percentage = false;
    bool displayed_as_bonus = false;
    int16_t randomizer_ability = 0;
    std::string randomizer_ability_name;
    bool main_screen = false;
    int16_t attribute_start_value = 0;
    bool xp = false;
    uint8_t game_ends = 0;  // 0 none, 1 below game_ends_val, 2 above it
    int16_t game_ends_val = 0;
    std::string game_ends_message;
    bool not_shown_if_zero = false;
    int16_t minimum = -1;  // -1: no minimum
    int8_t change_per_turn_chance = 0;
    int16_t change_per_turn = 0;
    int16_t change_per_move = 0;
    int16_t turn_ends_if_lower = kTurnEndsNotSet;
    bool restore_at_end_of_turn = false;
    bool attack_melee = false;
    bool critical_hit_melee = false;
    bool defense_melee = false;
    bool damage_in_melee = false;
    int16_t modify_with_each_kill = 0;
    bool lightradius = false;
    int8_t modify_per_point_of_damage = 0;
    int16_t hit_multiplier = 0;
    int16_t hit_attribute = 0;
    std::string hit_attribute_name;
    bool sneaking = false;
    bool backstab = false;
    std::string perception_tile_class;
    int16_t modify_atribute = 0;  // (sic) the file's spelling
    std::string modify_attribute_name;
    int16_t modify_multiplier = 1;
    int16_t modify_divisor = 1;
    std::string modify_animation;
    std::string modify_sound;
    bool armor = false;
    bool movement = false;
    int16_t buffer_for_attribute = 0;
    std::string buffer_for_attribute_name;
    std::string buffer_animation;
    AttributeBonus attribute_bonus[kAttributeBonusSlots];
    AbilityCap cap[kCapSlots];
    AbilityRequirement requirement[kRequirementSlots];
    DisplayEntry display[kDisplaySlots];
    AbilityAdjustment adjustment[kAdjustmentSlots];
};
