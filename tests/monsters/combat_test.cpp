// Melee combat and monster behaviour with scripted rolls: the arithmetic
// that is easy to get wrong.
#include <gtest/gtest.h>

#include "character/ability_fixtures.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "monsters/melee_combat.h"
#include "monsters/monster_behaviour.h"
#include "platform/random.h"
#include "support/test_game.h"

namespace {

enum { HP = 1, ATTACK, DAMAGE, CRITICAL, SHIELD, SNEAK, SNEAK2, KILLS, SKILL };

class Combat : public ::testing::Test {
protected:
    void SetUp() override {
        ability(HP).depletable = true;
        ability(HP).modify_per_point_of_damage = -1;
        set_values(HP, 20, 20);
        ability(ATTACK).attack_melee = true;
        ability(DAMAGE).damage_in_melee = true;
        set_values(DAMAGE, 4, 4);
        ability(CRITICAL).critical_hit_melee = true;
        ability(SHIELD).buffer_for_attribute = HP;
        ability(SNEAK).sneaking = ability(SNEAK2).sneaking = true;
        ability(KILLS).modify_with_each_kill = 1;
        ability(SKILL).hit_multiplier = 1;
        troll.name = "Troll";
        troll.hitpoints = 30;
        troll.speed = 1;
        fill_map(g_map.map, 1);
        g_map.map.tileset.tile_types[4].solid = 1;
        g_character_model.character.x = g_character_model.character.y = 10;
    }
    static Monster& place(int x, int y, int hitpoints = 30) {
        Monster& m = g_map.monsters.append();
        m.type = 1;
        m.x = int16_t(x);
        m.y = int16_t(y);
        m.hitpoints = int16_t(hitpoints);
        m.alerted = 1;
        return m;
    }
    TempGameFolder folder;
    MonsterType& troll = g_db.monster_types[1];
};

}  // namespace

TEST_F(Combat, SneakingIsHeldInEightBitsAndHitChancesStayWithin10To90) {
    set_values(SNEAK, 100, 100);
    set_values(SNEAK2, 60, 60);
    EXPECT_EQ(sneaking_total(0), -96);
    struct Case {
        int attack, defense, roll, hit;
    } cases[] = {{95, 0, 90, 1}, {95, 0, 91, 0}, {0, 20, 10, 1}, {0, 20, 11, 0}};
    for (const Case& c : cases) {
        set_values(ATTACK, int16_t(c.attack), int16_t(c.attack));
        troll.defense = int16_t(c.defense);
        Monster& m = place(11, 10);
        script_random({c.roll, 99});  // the hit roll; no critical
        melee_attack_monster(g_map.map, 11, 10);
        EXPECT_EQ(m.hitpoints, c.hit ? 26 : 30) << c.attack << " - " << c.defense << ", roll " << c.roll;
        g_map.monsters.clear();
    }
}

TEST_F(Combat, ArmourAboveTheDamageGivesNothingACriticalKillsAndABufferTakesAWholeBlow) {
    troll.armor = 5;
    set_values(CRITICAL, 50, 50);
    for (int id : {msg::HIT_NO_HARM, msg::CRITICAL_KILL, msg::MONSTER_HITS_NO_HARM})
        g_common.messages[id] = "[name] " + std::to_string(id);
    Monster& m = place(11, 10);
    script_random({0, 77});
    melee_attack_monster(g_map.map, 11, 10);
    EXPECT_EQ(m.hitpoints, 30);
    EXPECT_EQ(g_common.status_message.text, "Troll 101");  // a hit that does no harm
    EXPECT_EQ(state(SKILL).attribute_current_value, 0);  // no skill gain
    EXPECT_EQ(Random(99), 77);                           // and no critical roll
    set_values(DAMAGE, 6, 6);                            // 1 above the armour; a critical on 50
    script_random({0, 50});
    melee_attack_monster(g_map.map, 11, 10);
    EXPECT_EQ(g_map.monsters.count(), 0);
    EXPECT_EQ(g_common.status_message.text, "Troll 104");  // a critical kill
    EXPECT_EQ(state(SKILL).attribute_current_value, 1);
    EXPECT_EQ(state(KILLS).attribute_current_value, 1);

    // The monster strikes back: a buffer of 1 point swallows a blow of 20.
    troll.attack = 35;
    troll.strength = 17;
    set_values(SHIELD, 1, 10);
    Monster& striker = place(10, 9);
    script_random({35, 19});  // hits on 35 (no defence); 1 + 19 = 20
    monster_melee_attack(10, 9);
    EXPECT_EQ(state(HP).attribute_current_value, 20);
    EXPECT_EQ(state(SHIELD).attribute_current_value, 0);
    EXPECT_EQ(striker.offset_y, 0);  // back down after its hop
    EXPECT_EQ(g_common.status_message.text, "Troll 106");  // the buffer took it all
}

// A blow that hurts may afflict: a randomized value draws 1..|value| with its
// sign; a value of 0 changes nothing, randomized or not. An affliction that
// changed something says so in its own words, after the blow's report.
TEST_F(Combat, AnAfflictionChangesByItsValueOrARandomPartOfIt) {
    troll.attack = 90;
    troll.strength = 3;
    struct Case {
        int value, randomized;
        std::vector<int> draws;  // hit, damage, affliction chance, and the randomized part
        int change;
    } cases[] = {{-3, 0, {0, 2, 0}, -3}, {-3, 1, {0, 2, 0, 1}, -2}, {4, 1, {0, 2, 0, 3}, 4}, {0, 1, {0, 2, 0}, 0},
                 {0, 0, {0, 2, 0}, 0}};
    for (const Case& c : cases) {
        MonsterAffliction& affliction = troll.afflictions[0];
        affliction.chance = 100;
        affliction.attribute = SKILL;
        affliction.value = int16_t(c.value);
        affliction.randomized = int8_t(c.randomized);
        affliction.message = "The troll's blow dazes you.";
        set_values(SKILL, 10, 20);
        place(10, 9);
        script_random(c.draws);
        monster_melee_attack(10, 9);
        EXPECT_EQ(state(SKILL).attribute_current_value, 10 + c.change) << c.value << (c.randomized ? " randomized" : "");
        EXPECT_EQ(state(HP).attribute_current_value, 17);
        EXPECT_EQ(g_common.status_message.text == affliction.message, c.change != 0) << c.value;
        set_values(HP, 20, 20);
        g_map.monsters.clear();
    }
}

TEST_F(Combat, MonstersStepAlongTheLongerDistanceAndRetryFromARandomDirection) {
    struct Case {
        int x, y, wall_x, first_direction, to_x, to_y;
    } cases[] = {
        {13, 11, 0, 0, 12, 11},   // |-3| >= |-1|: west
        {12, 12, 0, 0, 11, 12},   // a tie goes along x
        {12, 10, 11, 0, 12, 9},   // west walled: north first
        {12, 10, 11, 3, 12, 9},   // west (3) again, then round to north (0)
        {12, 10, 11, 1, 13, 10},  // east
        {11, 10, 0, 0, 11, 10},   // beside the character it stays
    };
    for (const Case& c : cases) {
        set_map_tile_type(g_map.map, c.wall_x, 10, 4);
        Monster& m = place(c.x, c.y);
        script_random({c.first_direction});
        move_monsters();
        EXPECT_EQ(m.x * 100 + m.y, c.to_x * 100 + c.to_y) << c.x << "," << c.y << " first " << c.first_direction;
        g_map.monsters.clear();
        set_map_tile_type(g_map.map, c.wall_x, 10, 1);
    }
}

TEST_F(Combat, RegenerationNeverPassesTheMaximum) {
    troll.regeneration = 3;
    g_common.messages[msg::REGENERATES_ONE] = "[name] heals [value] point.";
    g_common.messages[msg::REGENERATES_MANY] = "[name] heals [value] points.";
    Monster& near = place(12, 12, 29);
    Monster& far = place(30, 30, 20);
    script_random({2, 2});  // 1 + 2 each
    regenerate_monsters();
    EXPECT_EQ(near.hitpoints, 30);
    EXPECT_EQ(far.hitpoints, 23);
    EXPECT_EQ(g_common.status_message.text, "Troll heals 1 point.");  // only the one on the view shows
    EXPECT_EQ(g_common.status_message.icon_kind, 3);
    near.hitpoints = 20;
    script_random({2});
    regenerate_monsters();
    EXPECT_EQ(g_common.status_message.text, "Troll heals 3 points.");
}
