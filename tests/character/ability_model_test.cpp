// Reading ability values: caps, bonuses, adjustments, value texts, requirements
// of abilities and powers, game end.
#include <gtest/gtest.h>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "character/ability_fixtures.h"
#include "support/test_game.h"
#include "common/database.h"

namespace {

TEST(AbilityModel, CapsTakeTheLowestAndTheDivisorBeatsTheMultiplier) {
    TempGameFolder game;
    ability(1, "plain");
    set_values(1, 50, 50);
    EXPECT_EQ(attribute_cap(1), -1);
    EXPECT_FALSE(ability_capped(1, 0));
    EXPECT_FALSE(ability_capped(1, 1000));
    EXPECT_EQ(attribute_current_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 50);

    // Two caps: 4 x 3 = 12 and 18 / 2 = 9; the lower wins.
    AbilityRecord& capped = ability(2, "capped");
    set_values(2, 20, 8);
    set_values(3, 0, 4);
    set_values(4, 0, 18);
    capped.cap[0] = AbilityCap{3, "", 0, 3, 1};
    capped.cap[1] = AbilityCap{4, "", 0, 1, 2};
    EXPECT_EQ(attribute_cap(2), 9);
    EXPECT_EQ(attribute_current_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 9);
    EXPECT_EQ(attribute_current_val(2, Cap::skip, PowerAdjustment::add, ItemBonus::add), 20);
    EXPECT_EQ(attribute_max_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 8);
    EXPECT_FALSE(ability_capped(2, 0));
    EXPECT_TRUE(ability_capped(2, 1));

    // Multiplier 3 and divisor 2 on 10: only the divisor counts, then the bonus.
    capped.cap[1] = AbilityCap{};
    capped.cap[0] = AbilityCap{5, "", 2, 3, 2};
    set_values(5, 0, 10);
    EXPECT_EQ(attribute_cap(2), 7);
    // The third slot counts too.
    capped.cap[2] = AbilityCap{3, "", 1, 1, 1};
    EXPECT_EQ(attribute_cap(2), 5);
    EXPECT_EQ(attribute_current_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 5);

    // A cap of 0 caps the value at 0 and counts as capped.
    capped.cap[0] = AbilityCap{6, "", 0, 1, 1};
    capped.cap[2] = AbilityCap{};
    EXPECT_EQ(attribute_cap(2), 0);
    EXPECT_EQ(attribute_current_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 0);
    EXPECT_TRUE(ability_capped(2, 0));
    EXPECT_FALSE(ability_capped(2, -9));

    // A divisor read from the file as a negative byte does nothing.
    capped.cap[0] = AbilityCap{5, "", 0, 1, -2};
    EXPECT_EQ(attribute_cap(2), 10);
}

TEST(AbilityModel, CurrentAndMaximumValues) {
    TempGameFolder game;
    // Depletable: 5 of 10, item bonus 2, adjustment 3 from elsewhere.
    AbilityRecord& hp = ability(1, "hp");
    hp.depletable = true;
    set_values(1, 5, 10);
    state(1).item_bonus = 2;
    state(1).adjustment_other = 3;
    EXPECT_EQ(attribute_current_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 7);
    EXPECT_EQ(attribute_max_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 15);
    EXPECT_EQ(ability_value_display(1), "7 / 15");
    EXPECT_EQ(attribute_current_val(1, Cap::apply, PowerAdjustment::skip, ItemBonus::skip), 5);
    EXPECT_EQ(attribute_max_val(1, Cap::apply, PowerAdjustment::skip, ItemBonus::skip), 13);
    state(1).power_adjustment = 4;
    EXPECT_EQ(attribute_current_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 11);
    EXPECT_EQ(attribute_current_val(1, Cap::apply, PowerAdjustment::skip, ItemBonus::add), 7);
    EXPECT_EQ(attribute_max_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 19);

    // Read raw when it changes with every step: no bonus, no cap, no adjustment.
    AbilityRecord& moves = ability(2, "moves");
    moves.change_per_move = -1;
    moves.cap[0] = AbilityCap{3, "", 0, 1, 1};
    set_values(2, 4, 4);
    set_values(3, 0, 1);
    state(2).item_bonus = 2;
    state(2).adjustment_other = 1;
    state(2).adjustment_percentage = 200;
    EXPECT_EQ(attribute_current_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 4);
    EXPECT_EQ(attribute_max_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 8);

    // Percentage factor, truncated.
    ability(4, "pct");
    set_values(4, 7, 7);
    state(4).adjustment_percentage = 150;
    EXPECT_EQ(attribute_current_val(4, Cap::apply, PowerAdjustment::add, ItemBonus::add), 10);
    EXPECT_EQ(attribute_max_val(4, Cap::apply, PowerAdjustment::add, ItemBonus::add), 10);
    state(4).adjustment_percentage = 50;
    set_values(4, -7, -7);
    EXPECT_EQ(attribute_current_val(4, Cap::apply, PowerAdjustment::add, ItemBonus::add), -3);
    // The current value multiplies first (100 x 57 / 100 = 57); the maximum forms
    // the factor first (100 x 0.57 = 56.99...), truncated to 56.
    set_values(4, 100, 100);
    state(4).adjustment_percentage = 57;
    EXPECT_EQ(attribute_current_val(4, Cap::apply, PowerAdjustment::add, ItemBonus::add), 57);
    EXPECT_EQ(attribute_max_val(4, Cap::apply, PowerAdjustment::add, ItemBonus::add), 56);

    // 16-bit wrap-around of the sums.
    ability(5, "big");
    set_values(5, 32767, 32767);
    state(5).item_bonus = 1;
    EXPECT_EQ(attribute_current_val(5, Cap::apply, PowerAdjustment::add, ItemBonus::add), -32768);
    EXPECT_EQ(attribute_max_val(5, Cap::apply, PowerAdjustment::add, ItemBonus::add), -32768);
    // A free id reads as zeros.
    EXPECT_EQ(attribute_current_val(200, Cap::apply, PowerAdjustment::add, ItemBonus::add), 0);
}

TEST(AbilityModel, ValueTexts) {
    TempGameFolder game;
    AbilityRecord& bonus = ability(1, "bonus");
    bonus.displayed_as_bonus = true;
    set_values(1, 3, 3);
    EXPECT_EQ(ability_value_display(1), "+3");
    set_values(1, 0, 0);
    EXPECT_EQ(ability_value_display(1), "+0");
    set_values(1, -2, -2);
    EXPECT_EQ(ability_value_display(1), "-2");
    // The sign follows the stored value, not the one shown.
    set_values(1, 0, 0);
    state(1).item_bonus = -2;
    EXPECT_EQ(ability_value_display(1), "+-2");
    set_values(1, -1, -1);
    state(1).item_bonus = 3;
    EXPECT_EQ(ability_value_display(1), "2");

    AbilityRecord& pct = ability(2, "pct");
    pct.percentage = true;
    set_values(2, 25, 25);
    EXPECT_EQ(ability_value_display(2), "25%");
    pct.displayed_as_bonus = true;
    EXPECT_EQ(ability_value_display(2), "+25%");

    // A value with a random extra shows as a range (the pool part is not shown).
    AbilityRecord& damage = ability(3, "damage");
    damage.randomizer_ability = 4;
    damage.depletable = true;
    set_values(3, 3, 9);
    ability(4, "random");
    set_values(4, 4, 4);
    EXPECT_EQ(ability_value_display(3), "3 - 7");

    AbilityRecord& pool = ability(5, "pool");
    pool.depletable = true;
    set_values(5, 12, 20);
    EXPECT_EQ(ability_value_display(5), "12 / 20");
}

TEST(AbilityModel, RequirementsAllCount) {
    TempGameFolder game;
    AbilityRecord& skill = ability(1, "skill");
    ability(2, "strength");
    ability(3, "agility");
    set_values(2, 0, 5);
    set_values(3, 9, 2);  // the stored maximum counts, not the current value
    EXPECT_TRUE(ability_available(1));
    skill.requirement[0] = AbilityRequirement{2, "", 5};
    EXPECT_TRUE(ability_available(1));
    skill.requirement[1] = AbilityRequirement{3, "", 3};
    EXPECT_FALSE(ability_available(1));
    skill.requirement[1] = AbilityRequirement{};
    skill.requirement[2] = AbilityRequirement{3, "", 3};
    EXPECT_FALSE(ability_available(1));
    state(3).attribute_max_value = 3;
    EXPECT_TRUE(ability_available(1));
    state(3).item_bonus = 10;
    state(2).attribute_max_value = 4;
    EXPECT_FALSE(ability_available(1));
}

TEST(AbilityModel, PowerAvailable) {
    TempGameFolder game;
    ability(7, "intelligence");
    ability(8, "magic_skill");
    state(7).attribute_current_value = 3;
    state(7).power_adjustment = 10;  // neither power adjustments nor item bonuses count
    state(7).item_bonus = 10;
    state(8).attribute_current_value = 5;
    const auto power = [](int id, const std::string& name) -> Power& {
        g_db.powers[id].name = name;
        return g_db.powers[id];
    };
    power(1, "Needs intelligence 4").requirement[0] = {7, "", 4};
    Power& both = power(2, "Needs both");
    both.requirement[0] = {7, "", 3};
    both.requirement[1] = {8, "", 6};
    power(3, "Free");
    power(4, "Impossible").requirement[0] = {300, "", 1};

    EXPECT_FALSE(power_available(1, 0, 0));
    EXPECT_TRUE(power_available(1, 7, 1));
    EXPECT_FALSE(power_available(1, 8, 5)) << "raising another ability does not help";
    EXPECT_FALSE(power_available(2, 0, 0));
    EXPECT_TRUE(power_available(2, 8, 1));
    EXPECT_FALSE(power_available(2, 7, 1));
    EXPECT_TRUE(power_available(3, 0, 0));
    EXPECT_FALSE(power_available(10, 0, 0)) << "an empty id is no power";
    EXPECT_FALSE(power_available(4, 0, 0)) << "an ability beyond the table can never be met";
    for (int outside : {-1, 0, 255, 256, 1000}) { EXPECT_FALSE(power_available(outside, 0, 0)) << outside; }
}

TEST(AbilityModel, GameEndAndDeathText) {
    TempGameFolder game;
    std::string& death = g_character_model.character.death_text;
    AbilityRecord& hp = ability(3, "hp");
    hp.game_ends = 1;
    hp.game_ends_val = 1;
    set_values(3, 1, 10);
    EXPECT_FALSE(check_game_end());
    EXPECT_EQ(death, "");

    set_values(3, 0, 10);
    EXPECT_TRUE(check_game_end());
    EXPECT_EQ(death, "");  // no message anywhere

    // The first message from the triggering ability on, even of an ability that did not trigger.
    AbilityRecord& before = ability(2, "before");
    before.game_ends = 2;
    before.game_ends_val = 100;
    before.game_ends_message = "too early";
    AbilityRecord& after = ability(7, "after");
    after.game_ends = 2;
    after.game_ends_val = 100;
    after.game_ends_message = "later message";
    EXPECT_TRUE(check_game_end());
    EXPECT_EQ(death, "later message");
    hp.game_ends_message = "You bled to death.";
    EXPECT_TRUE(check_game_end());
    EXPECT_EQ(death, "later message");  // a death text stays
    death.clear();
    EXPECT_TRUE(check_game_end());
    EXPECT_EQ(death, "You bled to death.");

    // Higher: above the value, not at it.
    death.clear();
    set_values(3, 5, 10);
    set_values(2, 100, 100);
    EXPECT_FALSE(check_game_end());
    set_values(2, 101, 100);
    EXPECT_TRUE(check_game_end());
    EXPECT_EQ(death, "too early");
}

TEST(AbilityModel, XpCountAndIdChecks) {
    TempGameFolder game;
    ability(1, "one").xp = true;
    ability(2, "two");
    ability(254, "last").xp = true;
    g_db.abilities[9].xp = true;  // no name: a free id
    EXPECT_EQ(xp_ability_count(), 2);

    for (int16_t id : {int16_t(0), int16_t(255), int16_t(-1)}) {
        std::string n = std::to_string(id);
        EXPECT_FATAL(attribute_current_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add), "attribute_current_val(): wrong id: " + n);
        EXPECT_FATAL(attribute_max_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add), "attribute_max_val(): wrong id: " + n);
        EXPECT_FATAL(attribute_cap(id), "attribute_cap(): wrong id: " + n);
        EXPECT_FATAL(ability_capped(id, 0), "ability_capped(): wrong id: " + n);
        EXPECT_FATAL(ability_available(id), "ability_available(): wrong id: " + n);
        EXPECT_FATAL(ability_value_display(id), "ability_value_display(): wrong id: " + n);
    }
    EXPECT_EQ(attribute_current_val(254, Cap::apply, PowerAdjustment::add, ItemBonus::add), 0);
}

}  // namespace
