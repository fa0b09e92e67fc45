// Changing the character's abilities and rebuilding the derived adjustments.
#include <gtest/gtest.h>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_record.h"
#include "character/character_state.h"
#include "items/items_state.h"
#include "character/ability_fixtures.h"
#include "support/test_game.h"
#include "common/database.h"

namespace {

TEST(AttributeChanges, IncreaseStopsAtTheStoredMaximumOfAPool) {
    TempGameFolder game;
    ability(1, "hp").depletable = true;
    set_values(1, 8, 10);
    state(1).item_bonus = 5;
    EXPECT_EQ(modify_attribute(1, 5), 2);
    EXPECT_EQ(state(1).attribute_current_value, 10);
    EXPECT_EQ(modify_attribute(1, 5), 0);
    // Above the stored maximum the increase brings it down.
    set_values(1, 12, 10);
    EXPECT_EQ(increase_attribute(1, 5), -2);
    EXPECT_EQ(state(1).attribute_current_value, 10);
    EXPECT_EQ(state(1).attribute_max_value, 10);

    ability(2, "skill");
    set_values(2, 3, 3);
    EXPECT_EQ(modify_attribute(2, 5), 5);
    EXPECT_EQ(state(2).attribute_current_value, 8);
    EXPECT_EQ(state(2).attribute_max_value, 3);
    // No upper limit but the 16-bit range: it wraps around.
    set_values(2, 32767, 3);
    EXPECT_EQ(modify_attribute(2, 1), 1);
    EXPECT_EQ(state(2).attribute_current_value, -32768);
}

TEST(AttributeChanges, ReductionsStopAtZeroAndAtTheMinimum) {
    TempGameFolder game;
    AbilityRecord& a = ability(1, "a");
    set_values(1, 4, 10);
    EXPECT_EQ(modify_attribute(1, -7), -7);
    EXPECT_EQ(state(1).attribute_current_value, 0);
    set_values(1, 4, 10);
    a.minimum = 2;
    EXPECT_EQ(modify_attribute(1, -7), -7);
    EXPECT_EQ(state(1).attribute_current_value, 2);
    EXPECT_EQ(modify_attribute(1, 0), 0);
    EXPECT_EQ(state(1).attribute_current_value, 2);
    // The largest reduction does not wrap around into a high value.
    a.minimum = -1;
    set_values(1, 100, 100);
    EXPECT_EQ(modify_attribute(1, -32768), -32768);
    EXPECT_EQ(state(1).attribute_current_value, 0);
    // A minimum below 0 only counts when negatives are allowed.
    a.minimum = -5;
    set_values(1, 2, 10);
    reduce_ability(1, 20, 0);
    EXPECT_EQ(state(1).attribute_current_value, 0);
    set_values(1, 2, 10);
    reduce_ability(1, 20, 1);
    EXPECT_EQ(state(1).attribute_current_value, -5);
    EXPECT_EQ(state(1).attribute_max_value, 10);
}

TEST(AttributeChanges, RestoreFillsUpToTheEffectiveMaximum) {
    TempGameFolder game;
    ability(1, "hp").depletable = true;
    set_values(1, 10, 10);
    EXPECT_FALSE(restore_ability(1));
    EXPECT_EQ(state(1).attribute_current_value, 10);
    set_values(1, 3, 10);
    EXPECT_TRUE(restore_ability(1));
    EXPECT_EQ(state(1).attribute_current_value, 10);

    // The stored value becomes the effective maximum, so the bonuses count again on top.
    set_values(1, 5, 10);
    state(1).item_bonus = 5;
    state(1).power_adjustment = 2;
    EXPECT_TRUE(restore_ability(1));
    EXPECT_EQ(state(1).attribute_current_value, 17);
    EXPECT_EQ(attribute_current_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 24);
    EXPECT_EQ(attribute_max_val(1, Cap::apply, PowerAdjustment::add, ItemBonus::add), 17);
    EXPECT_FALSE(restore_ability(1));
    EXPECT_EQ(state(1).attribute_current_value, 17);

    // Read raw (changes per step): the stored value becomes the whole maximum.
    ability(2, "moves").change_per_move = -1;
    set_values(2, 0, 1);
    state(2).item_bonus = 1;
    EXPECT_TRUE(restore_ability(2));
    EXPECT_EQ(state(2).attribute_current_value, 2);
}

TEST(AttributeChanges, DamageAndDeath) {
    TempGameFolder game;
    AbilityRecord& hp = ability(1, "hp");
    hp.depletable = true;
    hp.modify_per_point_of_damage = -1;
    hp.game_ends = 1;
    hp.game_ends_val = 1;
    hp.game_ends_message = "You died.";
    AbilityRecord& rage = ability(2, "rage");
    rage.modify_per_point_of_damage = 2;
    set_values(1, 10, 10);
    EXPECT_EQ(damage_character(6, "Killed by a rat"), 0);
    EXPECT_EQ(state(1).attribute_current_value, 4);
    EXPECT_EQ(state(2).attribute_current_value, 12);
    EXPECT_EQ(g_character_model.character.death_text, "");
    damage_character(6, "Killed by a rat");
    EXPECT_EQ(state(1).attribute_current_value, 0);
    EXPECT_EQ(g_character_model.character.death_text, "Killed by a rat");

    // Without a cause the death text is left alone.
    g_character_model.character.death_text.clear();
    set_values(1, 3, 10);
    damage_character(5, "");
    EXPECT_EQ(state(1).attribute_current_value, 0);
    EXPECT_EQ(g_character_model.character.death_text, "");
    // Damage 0 changes nothing.
    set_values(1, 3, 10);
    damage_character(0, "x");
    EXPECT_EQ(state(1).attribute_current_value, 3);
}

TEST(AttributeChanges, AdjustmentsFollowTheirSources) {
    TempGameFolder game;
    AbilityRecord& source = ability(1, "source");
    AbilityRecord& target = ability(5, "target");
    (void)target;
    set_values(5, 10, 10);
    source.adjustment[0] = AbilityAdjustment{5, "", 2, 100, 0, 0};
    source.adjustment[1] = AbilityAdjustment{5, "", 0, 100, 5, 100};
    set_values(1, 0, 4);
    recalculate_adjustments();
    EXPECT_EQ(state(5).adjustment_other, 0);
    EXPECT_EQ(state(5).adjustment_percentage, 100);
    // As soon as the source is positive every adjustment applies: (10 + 2) x 105 / 100.
    modify_attribute(1, 1);
    EXPECT_EQ(state(5).adjustment_other, 2);
    EXPECT_EQ(state(5).adjustment_percentage, 105);
    EXPECT_EQ(attribute_current_val(5, Cap::apply, PowerAdjustment::add, ItemBonus::add), 12);
    // Value 4 with multiplier 5 and bonus 100: x 120 / 100.
    modify_attribute(1, 3);
    EXPECT_EQ(state(5).adjustment_percentage, 120);
    EXPECT_EQ(attribute_current_val(5, Cap::apply, PowerAdjustment::add, ItemBonus::add), 14);

    // Two adjustments of 50 % compound to 25 %.
    source.adjustment[1] = AbilityAdjustment{5, "", 0, 50, 0, 0};
    source.adjustment[2] = AbilityAdjustment{5, "", 0, 50, 0, 0};
    recalculate_adjustments();
    EXPECT_EQ(state(5).adjustment_percentage, 25);

    // A depletable target: the adjustment raises only its maximum.
    g_db.abilities[5].depletable = true;
    source.adjustment[1] = source.adjustment[2] = AbilityAdjustment{};
    recalculate_adjustments();
    EXPECT_EQ(attribute_current_val(5, Cap::apply, PowerAdjustment::add, ItemBonus::add), 10);
    EXPECT_EQ(attribute_max_val(5, Cap::apply, PowerAdjustment::add, ItemBonus::add), 12);
}

TEST(AttributeChanges, AdjustmentsChainInIdOrderOnly) {
    TempGameFolder game;
    // 1 raises 2, which then (same pass) raises 3.
    ability(1, "one").adjustment[0] = AbilityAdjustment{2, "", 3, 100, 0, 0};
    ability(2, "two").adjustment[0] = AbilityAdjustment{3, "", 1, 100, 0, 0};
    ability(3, "three");
    set_values(1, 1, 1);
    recalculate_adjustments();
    EXPECT_EQ(attribute_current_val(2, Cap::apply, PowerAdjustment::add, ItemBonus::add), 3);
    EXPECT_EQ(state(3).adjustment_other, 1);
    // 5 raises 4 (a lower id): 4 was already looked at, so its effect on 6 waits.
    ability(4, "four").adjustment[0] = AbilityAdjustment{6, "", 7, 100, 0, 0};
    ability(5, "five").adjustment[0] = AbilityAdjustment{4, "", 1, 100, 0, 0};
    ability(6, "six");
    set_values(5, 1, 1);
    recalculate_adjustments();
    EXPECT_EQ(attribute_current_val(4, Cap::apply, PowerAdjustment::add, ItemBonus::add), 1);
    EXPECT_EQ(state(6).adjustment_other, 0);
}

TEST(AttributeChanges, TargetsOutsideTheTableAreNeverWritten) {
    TempGameFolder game;
    AbilityRecord& source = ability(1, "source");
    source.adjustment[0] = AbilityAdjustment{300, "", 5, 50, 2, 0};
    source.adjustment[1] = AbilityAdjustment{255, "", 5, 50, 2, 0};
    source.adjustment[2] = AbilityAdjustment{-3, "", 5, 50, 2, 0};
    set_values(1, 4, 4);
    recalculate_adjustments();
    for (int16_t cooldown : g_character_model.character.cooldown) EXPECT_EQ(cooldown, 0);
    for (int i = 0; i < kAbilityStateCount; ++i) {
        EXPECT_EQ(state(i).adjustment_other, 0) << i;
        EXPECT_EQ(state(i).adjustment_percentage, 100) << i;
    }
}

TEST(AttributeChanges, IdChecks) {
    TempGameFolder game;
    EXPECT_FATAL(modify_attribute(0, 1), "modify_attribute(): wrong attribute_id \"0\"");
    EXPECT_FATAL(modify_attribute(255, -1), "modify_attribute(): wrong attribute_id \"255\"");
    EXPECT_FATAL(increase_attribute(255, 1), "increase_attribute(): wrong id \"255\"");
    EXPECT_FATAL(reduce_ability(-4, 1, 0), "reduce_ability(): wrong id \"-4\"");
    EXPECT_FATAL(restore_ability(0), "restore_ability(): wrong id \"0\"");
}

TEST(CharacterRecord, ResetMakesANewCharacter) {
    TempGameFolder game;
    ability(1, "hp").attribute_start_value = 20;
    AbilityRecord& strength = ability(2, "strength");
    strength.attribute_start_value = 3;
    strength.adjustment[0] = AbilityAdjustment{4, "", 2, 100, 0, 0};
    ability(4, "damage");
    g_db.abilities[200].attribute_start_value = 7;  // a free id keeps its start value too
    CharacterRecord& c = g_character_model.character;
    c.x = 30;
    c.y = 31;
    c.facing = 2;
    c.frame = 1;
    c.map_file_name = "level_3.xml";
    c.inventory_cursor_x = 2;
    c.inventory_cursor_y = 3;
    c.cooldown[7] = 4;
    c.death_text = "dead";
    state(1) = AbilityState{5, 1, 1, 3, 4, "rage", 6, 7, true, 8, 9};
    g_items.inventory.append().type = 1;

    reset_character();
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.facing, c.frame, c.inventory_cursor_x, c.inventory_cursor_y, c.cooldown[7]}),
              (std::vector<int>{2, 4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(c.map_file_name, "map_start.xml");
    EXPECT_EQ(c.death_text, "");
    EXPECT_EQ(g_items.inventory.count(), 1);  // the items' own list: a new game empties it
    const AbilityState& hp = state(1);
    EXPECT_EQ((std::vector<int>{hp.ability_value, hp.attribute_max_value, hp.attribute_current_value,
                                hp.power_adjustment, hp.adjustment_duration, hp.adjustment_power_id, hp.item_bonus,
                                hp.activated, hp.adjustment_other, hp.adjustment_percentage}),
              (std::vector<int>{0, 20, 20, 0, 0, 0, 0, 0, 0, 100}));
    EXPECT_EQ(hp.adjustment_name, "");
    EXPECT_EQ(state(200).attribute_current_value, 7);
    // The adjustments of the start values are in place.
    EXPECT_EQ(state(4).adjustment_other, 2);
}

}  // namespace
