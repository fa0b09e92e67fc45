// A power's formulas (strength, random part, success chance), the damage a
// monster takes from it, and the fatal checks of ids and effect names.
#include <gtest/gtest.h>

#include "character/character_state.h"
#include "common/database.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/power_effects.h"
#include "powers/use_power.h"
#include "screens/power_screens.h"
#include "screens/screen_stack.h"
#include "support/screen_driver.h"
#include "support/test_game.h"

namespace {
constexpr int BONUS = 4;  // an ability at 7
}

TEST(PowerFormulas, StrengthRandomPartAndChanceTruncateAndTheIdsAreChecked) {
    struct Case {
        int16_t base, attribute, multiplier, divisor, strength, chance;
    };
    const Case cases[] = {
        {2, 0, 3, 2, 2, 100},            // no ability: always succeeds, even with a bonus of 2 - 52 below
        {5, BONUS, 3, 2, 15, 15},        // 7 x 3 / 2 = 10 (truncated) + 5
        {2, BONUS, 0, 0, 2, 9},          // a strength multiplier of 0 applies; a chance multiplier of 0 does not
        {2, BONUS, 1, 1, 9, 9},          // 1 is neither multiplier nor divisor
        {2, 255, 1, 0, 2, 100},          // an id beyond the table is none
        {32767, BONUS, 1, 0, -32762, -32762},
    };
    for (const Case& c : cases) {
        TempGameFolder game;
        g_character_model.character.abilities[BONUS].attribute_current_value = 7;
        Power& p = g_db.powers[1];
        p.effect_strength = p.randomized_strength_bonus = p.success_bonus = c.base;
        if (c.attribute == 0) p.success_bonus = wrap16(c.base - 52);
        p.strength_bonus_attribute = p.randomized_strength_bonus_attribute = p.success_attribute = c.attribute;
        p.strength_multiplier = p.randomized_strength_multiplier = c.multiplier;
        p.strength_divisor = p.randomized_strength_divisor = c.divisor;
        p.success_attribute_multiplier = static_cast<int8_t>(c.multiplier);
        p.success_attribute_divisor = static_cast<int8_t>(c.divisor);
        SCOPED_TRACE(c.base);
        EXPECT_EQ(power_strength(1), c.strength);
        EXPECT_EQ(power_success_chance(1), c.chance);
        // The random part follows the same arithmetic when the power asks for one.
        EXPECT_EQ(power_strength_random_part(1), 0);
        p.strength_randomized = true;
        EXPECT_EQ(power_strength_random_part(1), c.strength);
    }
    // The roll draws only when there is a random part.
    Power& p = g_db.powers[2];
    p.effect_strength = 10;
    script_random({4, 60});
    EXPECT_EQ(rolled_power_strength(2), 10);
    p.strength_randomized = true;
    p.randomized_strength_bonus = 5;
    EXPECT_EQ(rolled_power_strength(2), 14);
    EXPECT_EQ(Random(99), 60);

    EXPECT_FATAL(power_strength(0), "power_strength(): wrong power id: 0");
    EXPECT_FATAL(power_strength_random_part(-1), "power_strength_random_part(): wrong power id: -1");
    EXPECT_FATAL(power_success_chance(255), "power_success_chance(): wrong power id: 255");
    EXPECT_FATAL(rolled_power_strength(300), "power_strength(): wrong power id: 300");
}

TEST(PowerEffects, DamageFollowsResistanceVulnerabilityImmunityAndTheRequiredClass) {
    TempGameFolder game;
    MonsterType& ghoul = g_db.monster_types[3];
    ghoul.cls = "undead|walker";
    ghoul.resistance = "fire|cold";
    ghoul.vulnerable = "fire|holy";
    ghoul.immune = "poison";
    struct Case {
        int16_t damage;
        const char *cls, *required;
        int16_t expected;
    };
    const Case cases[] = {
        {11, "cold", "", 5},        {11, "fire", "", 10},      {11, "holy", "", 22},
        {11, "poison", "", 0},      {11, "", "", 11},          {11, "holy", "undead", 22},
        {11, "holy", "animal", 0},  {-5, "cold", "", -2},      {20000, "holy", "", -25536},
    };
    for (const Case& c : cases)
        EXPECT_EQ(power_damage_against(3, c.damage, c.cls, c.required), c.expected) << c.cls << " / " << c.required;
    EXPECT_EQ(power_damage_against(400, 11, "cold", ""), 11) << "a type outside the table has no defences";
}

TEST(UsePower, AnUnknownEffectNameEndsTheGameAfterThePowerIsPaid) {
    TempGameFolder game;
    g_character_model.character.abilities[BONUS].attribute_current_value = 7;
    Power& p = g_db.powers[1];
    p.name = "Odd";
    p.effect_name = "teleport";
    p.cost = 3;
    p.cost_attribute = BONUS;
    headless::key_tap(100, key::ret, 40);
    EXPECT_FATAL(
        {
            use_power([](int) {});
            run_screens();
        },
        "use_power(): cannot find power effect \"teleport\"");
    screen_stack().clear();
    EXPECT_EQ(g_character_model.character.abilities[BONUS].attribute_current_value, 4);
}
