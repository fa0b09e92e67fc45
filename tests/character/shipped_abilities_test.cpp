// The shipped abilities behave as their design note says.
#include <gtest/gtest.h>

#include "character/abilities_db.h"
#include "character/ability_model.h"
#include "character/advancement.h"
#include "screens/advancement_screen.h"
#include "character/attribute_changes.h"
#include "character/character_record.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "support/test_game.h"
#include "common/database.h"

namespace {

int16_t id_of(const std::string& name) {
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].name == name) return static_cast<int16_t>(id);
    ADD_FAILURE() << "no ability " << name;
    return 1;
}
int16_t value(const std::string& name) { return attribute_current_val(id_of(name), Cap::apply, PowerAdjustment::add, ItemBonus::add); }
AbilityState& state(const std::string& name) { return g_character_model.character.abilities[id_of(name)]; }

// What the advancement screen does with a pick.
void pick(const std::string& name) {
    apply_advancement_pick(id_of(name));
    recalculate_adjustments();
}

class ShippedAbilities : public ::testing::Test {
protected:
    void SetUp() override {
        game_.copy_shipped("data");
        load_abilities_db();
        reset_character();
    }
    TempGameFolder game_;
};

TEST(ShippedAbilitiesFile, EveryNameAndEveryTextInBothLanguages) {
    TempGameFolder game;
    game.copy_shipped("data");
    for (const std::string language : {"English", "German"}) {
        g_common.preferences.language = language;
        load_abilities_db();
        // The names the other data files refer to.
        for (const std::string name :
             {"hit_points", "strength", "agility", "intelligence", "melee_attack", "defense", "armour", "damage",
              "damage_random", "critical_hit", "movement", "light_radius", "sneaking", "backstab", "perception",
              "mana", "magic_shield", "fighting_skill", "magic_skill", "poisoned", "weakened", "cursed"})
            id_of(name);
        int status_panel = 0;
        for (const AbilityRecord& a : g_db.abilities) {
            if (a.name.empty()) continue;
            EXPECT_NE(a.display_name, a.name) << a.name << " has no " << language << " name";
            EXPECT_FALSE(a.description.empty()) << a.name;
            EXPECT_EQ(a.game_ends != 0, !a.game_ends_message.empty()) << a.name;
            EXPECT_TRUE(a.tile >= 0 && a.tile < 32) << a.name;
            for (const DisplayEntry& d : a.display) {
                if (d.type == kDisplayStatusPanel) ++status_panel;
                if (d.type != kDisplayNone) {
                    EXPECT_EQ(d.language, language);
                }
            }
        }
        EXPECT_EQ(status_panel, 7);
    }
}

TEST_F(ShippedAbilities, ANewCharacter) {
    EXPECT_EQ(ability_value_display(id_of("hit_points")), "20 / 20");
    EXPECT_EQ(ability_value_display(id_of("mana")), "10 / 10");
    EXPECT_EQ(ability_value_display(id_of("damage")), "2 - 4");
    EXPECT_EQ(ability_value_display(id_of("critical_hit")), "1%");
    EXPECT_EQ(ability_value_display(id_of("backstab")), "+0");
    EXPECT_EQ(value("melee_attack"), 50);
    EXPECT_EQ(value("defense"), 10);
    EXPECT_EQ(value("movement"), 1);
    EXPECT_EQ(value("light_radius"), 2);
    EXPECT_EQ(value("perception"), 15);
    EXPECT_EQ(value("magic_skill"), 40);
    EXPECT_FALSE(check_game_end());
    EXPECT_EQ(xp_ability_count(), 7);
    // Sneaking wants agility 4, magic skill intelligence 4, backstab sneaking 20 and strength 4.
    EXPECT_TRUE(ability_available(id_of("strength")));
    EXPECT_FALSE(ability_available(id_of("sneaking")));
    EXPECT_FALSE(ability_available(id_of("magic_skill")));
    EXPECT_FALSE(ability_available(id_of("backstab")));
}

TEST_F(ShippedAbilities, AdvancementBonusesAndCaps) {
    pick("strength");
    pick("strength");
    pick("strength");
    EXPECT_EQ(ability_value_display(id_of("hit_points")), "29 / 29");
    EXPECT_EQ(value("strength"), 6);
    EXPECT_EQ(value("experience"), 3);
    // Cap 5 + 3 / 2 = 6: a fourth pick is marked capped and does not raise the value.
    EXPECT_TRUE(ability_capped(id_of("strength"), 0));
    pick("strength");
    EXPECT_EQ(value("strength"), 7);  // cap 5 + 4 / 2
    pick("strength");
    EXPECT_EQ(state("strength").attribute_max_value, 8);
    EXPECT_EQ(value("strength"), 7);
    // Strength 7 adds 40 % to damage: 2 x 1.4 = 2, range 2 x 1.4 = 2; with a weapon bonus of 5: 7 x 1.4 = 9.
    state("damage").item_bonus = 5;
    recalculate_adjustments();
    EXPECT_EQ(value("damage"), 9);

    pick("agility");
    EXPECT_EQ(value("melee_attack"), 53);
    EXPECT_EQ(value("defense"), 12);
    EXPECT_EQ(value("critical_hit"), 2);  // cap agility 4 / 2
    EXPECT_TRUE(ability_available(id_of("sneaking")));
    pick("sneaking");
    pick("sneaking");
    pick("sneaking");
    pick("sneaking");
    pick("sneaking");
    EXPECT_EQ(value("sneaking"), 40);  // cap 10 x agility 4
    EXPECT_TRUE(ability_available(id_of("backstab")));
}

TEST_F(ShippedAbilities, CombatAndConditions) {
    // Damage: hit points fall, the game ends below 1 with the death text.
    damage_character(19, "");
    EXPECT_FALSE(check_game_end());
    damage_character(1, "Killed by a rat.");
    EXPECT_TRUE(check_game_end());
    EXPECT_EQ(g_character_model.character.death_text, "Killed by a rat.");

    reset_character();
    // Kills train fighting skill, which raises attack by one percent a point, up to its cap of 10.
    modify_attribute(id_of("fighting_skill"), 10);
    EXPECT_EQ(value("melee_attack"), 55);
    modify_attribute(id_of("fighting_skill"), 10);
    EXPECT_EQ(value("fighting_skill"), 10);
    EXPECT_EQ(value("melee_attack"), 55);

    // Weakness costs a quarter of the damage and a tenth of the attack.
    state("damage").item_bonus = 6;
    modify_attribute(id_of("weakened"), 3);
    EXPECT_EQ(value("damage"), 6);
    EXPECT_EQ(value("melee_attack"), 49);
    // A curse halves the light.
    modify_attribute(id_of("cursed"), 1);
    EXPECT_EQ(value("light_radius"), 1);

    // The magic shield absorbs for the hit points; regeneration heals them (both by name).
    const AbilityRecord& shield = g_db.abilities[id_of("magic_shield")];
    EXPECT_EQ(shield.buffer_for_attribute, id_of("hit_points"));
    EXPECT_EQ(g_db.abilities[id_of("regeneration")].modify_atribute, id_of("hit_points"));
    EXPECT_EQ(g_db.abilities[id_of("poisoned")].modify_atribute, id_of("hit_points"));
    EXPECT_EQ(g_db.abilities[id_of("hit_points")].hit_attribute, id_of("life_drain"));
    EXPECT_EQ(g_db.abilities[id_of("damage")].randomizer_ability, id_of("damage_random"));

    // A step uses the one movement point; the end of the turn restores it.
    modify_attribute(id_of("movement"), -1);
    EXPECT_LT(value("movement"), g_db.abilities[id_of("movement")].turn_ends_if_lower);
    EXPECT_TRUE(restore_ability(id_of("movement")));
    EXPECT_EQ(value("movement"), 1);
}

}  // namespace
