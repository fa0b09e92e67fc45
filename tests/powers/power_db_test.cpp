// Loading data\powers.xml: fields, widths, children, requirement slots, name
// resolution and every fatal message.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "character/character_state.h"
#include "powers/power_db.h"
#include "common/database.h"
#include "common/common_state.h"
#include "support/attribute_cases.h"
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

TEST(PowerDb, EveryAttributeFillsItsFieldInItsWidth) {
    TempGameFolder game;
    const std::vector<AttributeCase<Power>> cases = {
        {"name", Stored::text, field_of(&Power::name)},
        {"description", Stored::text, field_of(&Power::description)},
        {"tile", Stored::int16, field_of(&Power::tile)},
        {"effect", Stored::int16, field_of(&Power::effect)},
        {"effect_name", Stored::text, field_of(&Power::effect_name)},
        {"effect_strength", Stored::int16, field_of(&Power::effect_strength)},
        {"strength_bonus_attribute", Stored::int16, field_of(&Power::strength_bonus_attribute)},
        {"strength_bonus_attribute_name", Stored::text, field_of(&Power::strength_bonus_attribute_name)},
        {"strength_multiplier", Stored::int16, field_of(&Power::strength_multiplier)},
        {"strength_divisor", Stored::int16, field_of(&Power::strength_divisor)},
        {"strength_randomized", Stored::flag, field_of(&Power::strength_randomized)},
        {"randomized_strength_bonus", Stored::int16, field_of(&Power::randomized_strength_bonus)},
        {"randomized_strength_bonus_attribute", Stored::int16, field_of(&Power::randomized_strength_bonus_attribute)},
        {"randomized_strength_bonus_attribute_name", Stored::text,
         field_of(&Power::randomized_strength_bonus_attribute_name)},
        {"randomized_strength_multiplier", Stored::int16, field_of(&Power::randomized_strength_multiplier)},
        {"randomized_strength_divisor", Stored::int16, field_of(&Power::randomized_strength_divisor)},
        {"animation", Stored::text, field_of(&Power::animation)},
        {"end_turn", Stored::flag, field_of(&Power::end_turn)},
        {"sound", Stored::text, field_of(&Power::sound)},
        {"failure_sound", Stored::text, field_of(&Power::failure_sound)},
        {"wrong_use_sound", Stored::text, field_of(&Power::wrong_use_sound)},
        {"success_attribute", Stored::int16, field_of(&Power::success_attribute)},
        {"success_attribute_name", Stored::text, field_of(&Power::success_attribute_name)},
        {"success_bonus", Stored::int16, field_of(&Power::success_bonus)},
        {"success_attribute_multiplier", Stored::int8, field_of(&Power::success_attribute_multiplier)},
        {"success_attribute_divisor", Stored::int8, field_of(&Power::success_attribute_divisor)},
        {"success_message", Stored::text, field_of(&Power::success_message)},
        {"failure_message", Stored::text, field_of(&Power::failure_message)},
        {"wrong_use_message", Stored::text, field_of(&Power::wrong_use_message)},
        {"already_used_message", Stored::text, field_of(&Power::already_used_message)},
        {"cost", Stored::int16, field_of(&Power::cost)},
        {"cost_attribute", Stored::int16, field_of(&Power::cost_attribute)},
        {"cost_attribute_name", Stored::text, field_of(&Power::cost_attribute_name)},
        {"class", Stored::text, field_of(&Power::cls)},
        {"range", Stored::int8, field_of(&Power::range)},
        {"modify_attribute", Stored::int16, field_of(&Power::modify_attribute)},
        {"modify_attribute_name", Stored::text, field_of(&Power::modify_attribute_name)},
        {"adjust_attribute", Stored::int16, field_of(&Power::adjust_attribute)},
        {"adjust_attribute_name", Stored::text, field_of(&Power::adjust_attribute_name)},
        {"duration", Stored::int16, field_of(&Power::duration)},
        {"duration_bonus_attribute", Stored::int16, field_of(&Power::duration_bonus_attribute)},
        {"duration_bonus_attribute_name", Stored::text, field_of(&Power::duration_bonus_attribute_name)},
        {"duration_multiplier", Stored::int16, field_of(&Power::duration_multiplier)},
        {"duration_divisor", Stored::int16, field_of(&Power::duration_divisor)},
        {"activates_ability_id", Stored::int16, field_of(&Power::activates_ability_id)},
        {"activates_ability_name", Stored::text, field_of(&Power::activates_ability_name)},
        {"deplete_attribute_id", Stored::int16, field_of(&Power::deplete_attribute_id)},
        {"deplete_attribute_name", Stored::text, field_of(&Power::deplete_attribute_name)},
        {"cooldown", Stored::int16, field_of(&Power::cooldown)},
        {"monster_effect", Stored::text, field_of(&Power::monster_effect)},
        {"affects_only_monster_class", Stored::text, field_of(&Power::affects_only_monster_class)},
        {"field_effect", Stored::text, field_of(&Power::field_effect)},
    };
    // Every text names an ability, so the name references resolve.
    for (int i = 0; i < static_cast<int>(cases.size()); ++i)
        if (cases[i].stored == Stored::text)
            define_ability(i + 1, attribute_case_input(cases[i].attribute, Stored::text));
    check_attribute_cases<Power>(cases, "power", [&](const std::string& element) -> const Power& {
        write_powers(game, element);
        load_power_db();
        return g_db.powers[1];
    });
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
    // Both numbers keep 16 bits.
    EXPECT_EQ(load_error(game, R"(<power id="5" name="Bolt"><requirement attribute="65810" value="70000"/></power>)"), "");
    EXPECT_EQ(g_db.powers[5].requirement[0].attribute, 274);
    EXPECT_EQ(g_db.powers[5].requirement[0].value, 70000 - 65536);
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
