// Loading data\powers.xml: fields, widths, children, requirement slots, name
// resolution, power_available and every fatal message.
#include <string>

#include <gtest/gtest.h>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "powers/power_db.h"
#include "common/database.h"
#include "common/common_state.h"
#include "support/test_game.h"
#include "common/raise_error.h"

namespace {

const std::string kFile = "data\\powers.xml";
const std::string kInPower = " in power xml file \"data\\powers.xml\"";
const std::string kInPowers = " in powers xml file \"data\\powers.xml\"";

void write_powers(const TempGameFolder& game, const std::string& body) {
    game.write(kFile, "<powers>" + body + "</powers>");
}

std::string load_error(const TempGameFolder& game, const std::string& body) {
    write_powers(game, body);
    try {
        load_power_db();
    } catch (const FatalError& error) {
        return error.what();
    }
    return {};
}

void define_ability(int id, const std::string& name) { g_db.abilities[id].name = name; }

}  // namespace

TEST(PowerDb, ReadsEveryAttribute) {
    TempGameFolder game;
    write_powers(game, R"(<power id="3" name="Fire bolt" description="Hurls fire." tile="1" effect="9"
        effect_name="attack" effect_strength="70000" strength_bonus_attribute="18" strength_bonus_attribute_name="x"
        strength_multiplier="3" strength_divisor="2" strength_randomized="yes" randomized_strength_bonus="4"
        randomized_strength_bonus_attribute="3" randomized_strength_bonus_attribute_name="y"
        randomized_strength_multiplier="5" randomized_strength_divisor="6" animation="red fireball" end_turn="yes"
        sound="fireball" failure_sound="failure" wrong_use_sound="oh_no" success_attribute="18"
        success_attribute_name="z" success_bonus="-50" success_attribute_multiplier="130"
        success_attribute_divisor="7" success_message="Hit [power_strength]" failure_message="Fizzle"
        wrong_use_message="Wrong" already_used_message="Used" cost="5" cost_attribute="15" cost_attribute_name="w"
        class="fire|magic" range="258" modify_attribute="1" modify_attribute_name="a" adjust_attribute="2"
        adjust_attribute_name="b" duration="8" duration_bonus_attribute="3" duration_bonus_attribute_name="c"
        duration_multiplier="2" duration_divisor="4" activates_ability_id="12" activates_ability_name="d"
        deplete_attribute_id="19" deplete_attribute_name="e" cooldown="6" monster_effect="slowed"
        affects_only_monster_class="undead" field_effect="burnt"/>)");
    load_power_db();
    const Power& p = g_db.powers[3];
    EXPECT_EQ(p.name, "Fire bolt");
    EXPECT_EQ(p.description, "Hurls fire.");
    EXPECT_EQ(p.tile, 1);
    EXPECT_EQ(p.effect, 9);
    EXPECT_EQ(p.effect_name, "attack");
    EXPECT_EQ(p.effect_strength, 70000 - 65536);
    EXPECT_EQ(p.strength_bonus_attribute, 18);
    EXPECT_EQ(p.strength_bonus_attribute_name, "x");
    EXPECT_EQ(p.strength_multiplier, 3);
    EXPECT_EQ(p.strength_divisor, 2);
    EXPECT_TRUE(p.strength_randomized);
    EXPECT_EQ(p.randomized_strength_bonus, 4);
    EXPECT_EQ(p.randomized_strength_bonus_attribute, 3);
    EXPECT_EQ(p.randomized_strength_bonus_attribute_name, "y");
    EXPECT_EQ(p.randomized_strength_multiplier, 5);
    EXPECT_EQ(p.randomized_strength_divisor, 6);
    EXPECT_EQ(p.animation, "red fireball");
    EXPECT_TRUE(p.end_turn);
    EXPECT_EQ(p.sound, "fireball");
    EXPECT_EQ(p.failure_sound, "failure");
    EXPECT_EQ(p.wrong_use_sound, "oh_no");
    EXPECT_EQ(p.success_attribute, 18);
    EXPECT_EQ(p.success_attribute_name, "z");
    EXPECT_EQ(p.success_bonus, -50);
    EXPECT_EQ(p.success_attribute_multiplier, 130 - 256);
    EXPECT_EQ(p.success_attribute_divisor, 7);
    EXPECT_EQ(p.success_message, "Hit [power_strength]");
    EXPECT_EQ(p.failure_message, "Fizzle");
    EXPECT_EQ(p.wrong_use_message, "Wrong");
    EXPECT_EQ(p.already_used_message, "Used");
    EXPECT_EQ(p.cost, 5);
    EXPECT_EQ(p.cost_attribute, 15);
    EXPECT_EQ(p.cost_attribute_name, "w");
    EXPECT_EQ(p.cls, "fire|magic");
    EXPECT_EQ(p.range, 2);
    EXPECT_EQ(p.modify_attribute, 1);
    EXPECT_EQ(p.modify_attribute_name, "a");
    EXPECT_EQ(p.adjust_attribute, 2);
    EXPECT_EQ(p.adjust_attribute_name, "b");
    EXPECT_EQ(p.duration, 8);
    EXPECT_EQ(p.duration_bonus_attribute, 3);
    EXPECT_EQ(p.duration_bonus_attribute_name, "c");
    EXPECT_EQ(p.duration_multiplier, 2);
    EXPECT_EQ(p.duration_divisor, 4);
    EXPECT_EQ(p.activates_ability_id, 12);
    EXPECT_EQ(p.activates_ability_name, "d");
    EXPECT_EQ(p.deplete_attribute_id, 19);
    EXPECT_EQ(p.deplete_attribute_name, "e");
    EXPECT_EQ(p.cooldown, 6);
    EXPECT_EQ(p.monster_effect, "slowed");
    EXPECT_EQ(p.affects_only_monster_class, "undead");
    EXPECT_EQ(p.field_effect, "burnt");
}

TEST(PowerDb, EveryPowerStartsFromTheDefaults) {
    TempGameFolder game;
    g_db.powers[9].name = "left over";
    write_powers(game, R"(<power id="1" name="First" duration="5" strength_multiplier="4" end_turn="yes"/>
                          <power id="2" name="Second" end_turn="no" strength_randomized="Yes"/>
                          <power name="No id"><bogus/></power>)");
    load_power_db();
    const Power& second = g_db.powers[2];
    EXPECT_EQ(second.duration, 0);
    EXPECT_EQ(second.strength_multiplier, 1);
    EXPECT_EQ(second.strength_divisor, 0);
    EXPECT_EQ(second.randomized_strength_multiplier, 1);
    EXPECT_EQ(second.randomized_strength_divisor, 1);
    EXPECT_EQ(second.success_attribute_multiplier, 1);
    EXPECT_EQ(second.success_attribute_divisor, 1);
    EXPECT_FALSE(second.end_turn);
    EXPECT_FALSE(second.strength_randomized);
    EXPECT_TRUE(g_db.powers[9].name.empty()) << "the table is reset before loading";
    EXPECT_EQ(g_db.powers[1].duration, 5);
}

TEST(PowerDb, LocalizedChildren) {
    TempGameFolder game;
    g_common.preferences.language = "German";
    write_powers(game, R"(<power id="4" name="Heal" description="Heals." success_message="Healed.">
        <name language="German">Heilung</name>
        <name language="English">Heal!</name>
        <name>no language</name>
        <description language="German">Heilt Wunden.</description>
        <message language="German" type="success">Geheilt: [power_strength].</message>
        <message type="failure" language="German">Fehlschlag.</message>
        <message language="German" type="wrong use">Falsch.</message>
        <message language="German" type="already used">Schon benutzt.</message>
        <message language="English" type="misspelt">ignored without looking at the type</message>
      </power>)");
    load_power_db();
    const Power& heal = g_db.powers[4];
    EXPECT_EQ(heal.name, "Heilung");
    EXPECT_EQ(heal.description, "Heilt Wunden.");
    EXPECT_EQ(heal.success_message, "Geheilt: [power_strength].");
    EXPECT_EQ(heal.failure_message, "Fehlschlag.");
    EXPECT_EQ(heal.wrong_use_message, "Falsch.");
    EXPECT_EQ(heal.already_used_message, "Schon benutzt.");

    EXPECT_EQ(load_error(game, R"(<power id="4" name="Heal"><message language="German" type="oops">x</message></power>)"),
              "load_power_db(): unknown message type \"oops\"" + kInPowers);
}

TEST(PowerDb, RequirementSlots) {
    TempGameFolder game;
    define_ability(3, "intelligence");
    // Requirements without an ability are not stored and take no slot.
    write_powers(game, R"(<power id="5" name="Bolt">
        <requirement value="9"/>
        <requirement attribute="-4" value="9"/>
        <requirement attribute="3" value="4"/>
        <requirement attribute_name="intelligence" value="6"/>
        <requirement attribute="18" value="2"/>
      </power>)");
    load_power_db();
    const Power& bolt = g_db.powers[5];
    EXPECT_EQ(bolt.requirement[0].attribute, 3);
    EXPECT_EQ(bolt.requirement[0].value, 4);
    EXPECT_EQ(bolt.requirement[1].attribute, 3) << "resolved from the name";
    EXPECT_EQ(bolt.requirement[1].attribute_name, "intelligence");
    EXPECT_EQ(bolt.requirement[2].attribute, 18);

    // Once three are stored, a fourth requirement is fatal even when it would not be stored.
    const std::string three = R"(<requirement attribute="1"/><requirement attribute="2"/><requirement attribute="3"/>)";
    EXPECT_EQ(load_error(game, R"(<power id="5" name="Bolt">)" + three + "<requirement/></power>"),
              "load_power_db(): too much requirements for one power" + kInPowers);
    // The count is per power.
    EXPECT_EQ(load_error(game, R"(<power id="5" name="A">)" + three + R"(</power><power id="6" name="B">)" + three +
                                   "</power>"),
              "");
    EXPECT_EQ(load_error(game, R"(<power id="5" name="Bolt"><requirement attribute="1" level="2"/></power>)"),
              "load_power_db(): wrong attribute \"level\" in requirement tag" + kInPowers);
}

TEST(PowerDb, ALaterPowerWithTheSameIdKeepsTheRequirementSlotsItDoesNotFill) {
    TempGameFolder game;
    write_powers(game, R"(<power id="7" name="Old" cost="5" duration="3">
                            <requirement attribute="1" value="1"/><requirement attribute="2" value="2"/>
                          </power>
                          <power id="7" name="New"><requirement attribute="9" value="9"/></power>)");
    load_power_db();
    const Power& power = g_db.powers[7];
    EXPECT_EQ(power.name, "New");
    EXPECT_EQ(power.cost, 0);
    EXPECT_EQ(power.duration, 0);
    EXPECT_EQ(power.requirement[0].attribute, 9);
    EXPECT_EQ(power.requirement[1].attribute, 2) << "the earlier power's second requirement stays";
    EXPECT_EQ(power.requirement[1].value, 2);
    EXPECT_EQ(power.requirement[2].attribute, 0);
}

TEST(PowerDb, NameResolution) {
    TempGameFolder game;
    define_ability(1, "hit_points");
    define_ability(15, "mana");
    define_ability(18, "magic_skill");
    define_ability(30, "magic_skill");  // the last ability with the name wins
    define_ability(12, "sneaking");
    define_ability(19, "poisoned");
    define_ability(3, "intelligence");
    write_powers(game, R"(<power id="8" name="All names" strength_bonus_attribute_name="magic_skill"
        randomized_strength_bonus_attribute_name="intelligence" success_attribute_name="magic_skill"
        cost_attribute_name="mana" modify_attribute_name="hit_points" adjust_attribute_name="intelligence"
        duration_bonus_attribute_name="magic_skill" activates_ability_name="sneaking"
        deplete_attribute_name="poisoned">
          <requirement attribute_name="intelligence" value="3"/>
        </power>
        <power id="9" name="Numbers win" cost_attribute="99" cost_attribute_name="nothing by this name"/>)");
    load_power_db();
    const Power& p = g_db.powers[8];
    EXPECT_EQ(p.strength_bonus_attribute, 30);
    EXPECT_EQ(p.randomized_strength_bonus_attribute, 3);
    EXPECT_EQ(p.success_attribute, 30);
    EXPECT_EQ(p.cost_attribute, 15);
    EXPECT_EQ(p.modify_attribute, 1);
    EXPECT_EQ(p.adjust_attribute, 3);
    EXPECT_EQ(p.duration_bonus_attribute, 30);
    EXPECT_EQ(p.activates_ability_id, 12);
    EXPECT_EQ(p.deplete_attribute_id, 19);
    EXPECT_EQ(p.requirement[0].attribute, 3);
    EXPECT_EQ(g_db.powers[9].cost_attribute, 99);

    EXPECT_EQ(load_error(game, R"(<power id="8" name="X" success_attribute_name="Magic_Skill"/>)"),
              "powers_db_resolve_names(): cannot find ability \"Magic_Skill\"");
    // The random part's name is resolved too, but only after every other reference.
    EXPECT_EQ(load_error(game, R"(<power id="8" name="X" randomized_strength_bonus_attribute_name="fate">
                                    <requirement attribute_name="luck"/></power>)"),
              "powers_db_resolve_names(): cannot find ability \"luck\"");
    EXPECT_EQ(load_error(game, R"(<power id="8" name="X" randomized_strength_bonus_attribute_name="fate"/>)"),
              "powers_db_resolve_names(): cannot find ability \"fate\"");
}

TEST(PowerDb, FatalMessages) {
    TempGameFolder game;
    EXPECT_FATAL(load_power_db(), "load_power_db(): could not open power xml file: \"data\\powers.xml\"");

    game.write(kFile, "<powers><power id=\"1\"></powers>");
    try {
        load_power_db();
        ADD_FAILURE() << "a broken file loaded";
    } catch (const FatalError& error) {
        const std::string prefix = "load_power_db(): error in xml structure of powers file \"data\\powers.xml\": ";
        const std::string text = error.what();
        EXPECT_EQ(text.substr(0, prefix.size()), prefix);
        EXPECT_GT(text.size(), prefix.size());
    }

    EXPECT_EQ(load_error(game, R"(<spell id="1"/>)"), "load_power_db(): unknown tag \"spell\"" + kInPower);
    EXPECT_EQ(load_error(game, R"(<power id="255" name="X"/>)"),
              "load_power_db(): wrong ID attribute \"255\"" + kInPowers);
    EXPECT_EQ(load_error(game, R"(<power id="0" name="X"/>)"), "load_power_db(): wrong ID attribute \"0\"" + kInPowers);
    EXPECT_EQ(load_error(game, R"(<power id="-3" name="X"/>)"),
              "load_power_db(): wrong ID attribute \"-3\"" + kInPowers);
    EXPECT_EQ(load_error(game, R"(<power id="254" name="Last"/>)"), "");
    EXPECT_EQ(g_db.powers[254].name, "Last");
    EXPECT_EQ(load_error(game, R"(<power id="1" name="X" power="9"/>)"),
              "load_power_db(): unknown attribute \"power\" in power tag" + kInPower);
    EXPECT_EQ(load_error(game, R"(<power id="1" name="X"><effect/></power>)"),
              "load_power_db(): unknown tag \"effect\"" + kInPowers);
    EXPECT_EQ(load_error(game, R"(<power id="1" name="X"><name lang="German">Y</name></power>)"),
              "load_power_db(): unknown attribute \"lang\" in name tag" + kInPower);
    EXPECT_EQ(load_error(game, R"(<power id="1" name="X"><description type="x">Y</description></power>)"),
              "load_power_db(): unknown attribute \"type\" in description tag" + kInPower);
    EXPECT_EQ(load_error(game, R"(<power id="1" name="X"><message language="German" kind="x">Y</message></power>)"),
              "load_power_db(): unknown attribute \"kind\" in message tag" + kInPower);
}

TEST(PowerDb, PowerAvailable) {
    TempGameFolder game;
    auto& state = g_character_model.character.abilities;
    define_ability(7, "intelligence");
    define_ability(8, "magic_skill");
    state[7].attribute_current_value = 3;
    state[7].power_adjustment = 10;  // neither power adjustments nor item bonuses count
    state[7].item_bonus = 10;
    state[8].attribute_current_value = 5;
    write_powers(game, R"(<power id="1" name="Needs intelligence 4"><requirement attribute="7" value="4"/></power>
                          <power id="2" name="Needs both">
                            <requirement attribute="7" value="3"/><requirement attribute="8" value="6"/>
                          </power>
                          <power id="3" name="Free"/>
                          <power id="4" name="Impossible"><requirement attribute="300" value="1"/></power>)");
    load_power_db();

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
