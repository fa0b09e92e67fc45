// Reading "data\abilities.xml" and resolving names.
#include <functional>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "character/abilities_db.h"
#include "character/ability_model.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "support/test_game.h"
#include "common/database.h"
#include "common/raise_error.h"

namespace {

const std::string kFile = "\"data\\abilities.xml\"";

void write_abilities(const TempGameFolder& game, const std::string& body) {
    game.write("data\\abilities.xml", "<?xml version=\"1.0\"?>\n<abilities>\n" + body + "\n</abilities>\n");
}
void load(const TempGameFolder& game, const std::string& body) {
    write_abilities(game, body);
    load_abilities_db();
}
void expect_load_fails(const TempGameFolder& game, const std::string& body, const std::string& message) {
    write_abilities(game, body);
    EXPECT_FATAL(load_abilities_db(), message);
}
const AbilityRecord& ability(int id) { return g_db.abilities[id]; }

// The field an attribute fills, as text, so that numbers, flags and texts share one table.
using FieldText = std::function<std::string(const AbilityRecord&)>;
template <typename T>
FieldText field(T AbilityRecord::*member) {
    return [member](const AbilityRecord& a) {
        if constexpr (std::is_same_v<T, std::string>) return a.*member;
        else return std::to_string(a.*member);
    };
}

// Each attribute in an ability of its own, so an attribute that fills a wrong
// field leaves its own at the default. 16-bit fields get numbers beyond 16
// bits, 8-bit fields numbers beyond 8 bits: a wrong width reads differently.
TEST(AbilitiesDb, ReadsEveryAttribute) {
    struct Case {
        std::string attribute, text, expected;
        FieldText read;
    };
    const Case cases[] = {
        {"name", "hp", "hp", field(&AbilityRecord::name)},
        {"name", "hp", "hp", field(&AbilityRecord::display_name)},
        {"description", "Life", "Life", field(&AbilityRecord::description)},
        {"tile", "70007", "4471", field(&AbilityRecord::tile)},
        {"attribute_start_value", "70020", "4484", field(&AbilityRecord::attribute_start_value)},
        {"color", "255", "255", field(&AbilityRecord::color)},
        {"depletable", "yes", "1", field(&AbilityRecord::depletable)},
        {"depletable", "Yes", "0", field(&AbilityRecord::depletable)},  // only exactly "yes"
        {"percentage", "yes", "1", field(&AbilityRecord::percentage)},
        {"main_screen", "yes", "1", field(&AbilityRecord::main_screen)},
        {"displayed_as_bonus", "yes", "1", field(&AbilityRecord::displayed_as_bonus)},
        {"randomizer_ability", "65736", "200", field(&AbilityRecord::randomizer_ability)},
        {"attribute", "yes", "1", field(&AbilityRecord::attribute)},
        {"xp", "yes", "1", field(&AbilityRecord::xp)},
        {"not_shown_if_zero", "yes", "1", field(&AbilityRecord::not_shown_if_zero)},
        {"minimum", "65538", "2", field(&AbilityRecord::minimum)},
        {"change_per_turn_chance", "300", "44", field(&AbilityRecord::change_per_turn_chance)},
        {"change_per_turn", "70000", "4464", field(&AbilityRecord::change_per_turn)},
        {"change_per_move", "-1", "-1", field(&AbilityRecord::change_per_move)},
        {"turn_ends_if_lower", "65537", "1", field(&AbilityRecord::turn_ends_if_lower)},
        {"restore_at_end_of_turn", "yes", "1", field(&AbilityRecord::restore_at_end_of_turn)},
        {"game_ends", "lower", "1", field(&AbilityRecord::game_ends)},
        {"game_ends", "higher", "2", field(&AbilityRecord::game_ends)},
        {"game_ends", "Lower", "0", field(&AbilityRecord::game_ends)},
        {"game_ends_val", "65537", "1", field(&AbilityRecord::game_ends_val)},
        {"game_ends_message", "dead", "dead", field(&AbilityRecord::game_ends_message)},
        {"critical_hit_melee", "yes", "1", field(&AbilityRecord::critical_hit_melee)},
        {"attack_melee", "yes", "1", field(&AbilityRecord::attack_melee)},
        {"defense_melee", "yes", "1", field(&AbilityRecord::defense_melee)},
        {"modify_with_each_kill", "65538", "2", field(&AbilityRecord::modify_with_each_kill)},
        {"damage_in_melee", "yes", "1", field(&AbilityRecord::damage_in_melee)},
        {"randomizer_ability_name", "b", "b", field(&AbilityRecord::randomizer_ability_name)},
        {"lightradius", "yes", "1", field(&AbilityRecord::lightradius)},
        {"modify_per_point_of_damage", "511", "-1", field(&AbilityRecord::modify_per_point_of_damage)},
        {"sneaking", "yes", "1", field(&AbilityRecord::sneaking)},
        {"backstab", "yes", "1", field(&AbilityRecord::backstab)},
        {"perception_tile_class", "trap", "trap", field(&AbilityRecord::perception_tile_class)},
        {"modify_atribute", "65736", "200", field(&AbilityRecord::modify_atribute)},
        {"modify_attribute_name", "b", "b", field(&AbilityRecord::modify_attribute_name)},
        {"modify_multiplier", "65539", "3", field(&AbilityRecord::modify_multiplier)},
        {"modify_divisor", "65538", "2", field(&AbilityRecord::modify_divisor)},
        {"modify_animation", "sparkle", "sparkle", field(&AbilityRecord::modify_animation)},
        {"modify_sound", "heal", "heal", field(&AbilityRecord::modify_sound)},
        {"armor", "yes", "1", field(&AbilityRecord::armor)},
        {"movement", "yes", "1", field(&AbilityRecord::movement)},
        {"buffer_for_attribute", "65736", "200", field(&AbilityRecord::buffer_for_attribute)},
        {"buffer_for_attribute_name", "b", "b", field(&AbilityRecord::buffer_for_attribute_name)},
        {"buffer_animation", "shield", "shield", field(&AbilityRecord::buffer_animation)},
        {"hit_multiplier", "65541", "5", field(&AbilityRecord::hit_multiplier)},
        {"hit_attribute", "65736", "200", field(&AbilityRecord::hit_attribute)},
        {"hit_attribute_name", "b", "b", field(&AbilityRecord::hit_attribute_name)},
    };
    TempGameFolder game;
    for (const Case& c : cases) {
        // Ability 2 is the one the name references find.
        load(game, "<ability id=\"1\" " + c.attribute + "=\"" + c.text + "\"/><ability id=\"2\" name=\"b\"/>");
        EXPECT_EQ(c.read(ability(1)), c.expected) << c.attribute << "=\"" << c.text << "\"";
    }

    // Untouched defaults.
    load(game, R"(<ability id="4" name="other"/>)");
    EXPECT_EQ(ability(4).minimum, -1);
    EXPECT_EQ(ability(4).turn_ends_if_lower, -32000);
    EXPECT_EQ(ability(4).modify_multiplier, 1);
    EXPECT_EQ(ability(4).modify_divisor, 1);
    EXPECT_EQ(ability(4).color, 255 + 256 * 255 + 65536 * 255);
    EXPECT_EQ(ability(1).name, "");
}

TEST(AbilitiesDb, IdsMustBeValidAndUnique) {
    TempGameFolder game;
    const std::string prefix = "load_abilities_db(): error in abilities file " + kFile;
    expect_load_fails(game, R"(<ability name="x"/>)", prefix + ": unique ability id < 1");
    expect_load_fails(game, R"(<ability id="0" name="x"/>)", prefix + ": unique ability id < 1");
    expect_load_fails(game, R"(<ability id="255" name="x"/>)", prefix + ": ability id > 254");
    // Ids are 16 bits wide: 65535 reads -1, 65537 reads 1.
    expect_load_fails(game, R"(<ability id="65535" name="x"/>)", prefix + ": unique ability id < 1");
    load(game, R"(<ability id="254" name="last"/><ability id="65537" name="first"/>)");
    EXPECT_EQ(ability(254).name, "last");
    EXPECT_EQ(ability(1).name, "first");
    expect_load_fails(game, R"(<ability id="7" name="a"/><ability id="7" name="b"/>)",
                      "load_abilities_db(): ability id 7 not unique in abilities file " + kFile);
    // An ability without a name does not occupy its id.
    load(game, R"(<ability id="7"/><ability id="7" name="b"/>)");
    EXPECT_EQ(ability(7).name, "b");
    // A load starts from an empty table.
    load(game, R"(<ability id="8" name="c"/>)");
    EXPECT_EQ(ability(7).name, "");
    // An unknown attribute is reported before the id is looked at.
    expect_load_fails(game, R"(<ability idd="3"/>)",
                      "load_abilities_db(): wrong attribute \"idd\" in ability tag in file " + kFile);
}

TEST(AbilitiesDb, FileAndTagFailures) {
    TempGameFolder game;
    EXPECT_FATAL(load_abilities_db(), "load_abilities_db(): could not open abilites xml file: " + kFile);
    game.write("data\\abilities.xml", "<abilities><ability id=\"1\"></abilities>");
    try {
        load_abilities_db();
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& e) {
        std::string text = e.what();
        std::string start = "load_abilities_db(): error in xml structure of abilities file " + kFile + ": ";
        EXPECT_EQ(text.substr(0, start.size()), start);
        EXPECT_GT(text.size(), start.size());
    }
    expect_load_fails(game, R"(<power id="1"/>)", "load_abilities_db(): wrong tag \"power\" in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><bonus/></ability>)",
                      "load_abilities_db(): wrong tag \"bonus\" in file " + kFile);
}

TEST(AbilitiesDb, AttributeBonuses) {
    TempGameFolder game;
    load(game, R"(<ability id="1" name="strength">
                    <attribute_bonus attribute="1" bonus="2" displayed="yes"/>
                    <attribute_bonus name="hp" bonus="-3"/>
                    <attribute_bonus bonus="9"/>
                    <attribute_bonus attribute="2" bonus="4"/>
                  </ability>
                  <ability id="2" name="hp"/>)");
    const AbilityRecord& s = ability(1);
    EXPECT_EQ(s.attribute_bonus[0].attribute, 1);
    EXPECT_EQ(s.attribute_bonus[0].bonus, 2);
    EXPECT_TRUE(s.attribute_bonus[0].displayed);
    EXPECT_EQ(s.attribute_bonus[1].attribute, 2);  // resolved by name
    EXPECT_EQ(s.attribute_bonus[1].bonus, -3);
    EXPECT_FALSE(s.attribute_bonus[1].displayed);
    // The slot without id and name was not stored.
    EXPECT_EQ(s.attribute_bonus[2].bonus, 4);
    EXPECT_EQ(s.attribute_bonus[3].attribute, 0);

    std::string nine;
    for (int i = 0; i < 9; ++i) nine += R"(<attribute_bonus attribute="1" bonus="1"/>)";
    // Elements that are not stored do not count.
    load(game, "<ability id=\"1\" name=\"a\">" + nine +
                   R"(<attribute_bonus bonus="5"/><attribute_bonus attribute="1" bonus="2"/></ability>)");
    EXPECT_EQ(ability(1).attribute_bonus[9].bonus, 2);
    const std::string ten = nine + R"(<attribute_bonus attribute="1" bonus="1"/>)";
    // An eleventh is refused even when it would not be stored.
    expect_load_fails(game, "<ability id=\"1\" name=\"a\">" + ten + "<attribute_bonus/></ability>",
                      "load_abilities_db(): too many attribute boni in attribute db file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><attribute_bonus attribute="0"/></ability>)",
                      "load_abilities_db(): wrong attribute ID in attribute_bonus tag in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><attribute_bonus attribute="255"/></ability>)",
                      "load_abilities_db(): wrong attribute ID in attribute_bonus tag in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><attribute_bonus value="1"/></ability>)",
                      "load_abilities_db(): wrong attribute \"value\" in attribute_bonus tag in file " + kFile);
}

TEST(AbilitiesDb, CapsAndRequirements) {
    TempGameFolder game;
    load(game, R"(<ability id="1" name="skill">
                    <cap ability="2" bonus="3" divisor="258" multiplier="4"/>
                    <cap name="agility"/>
                    <requirement attribute="2" value="5"/>
                    <requirement name="agility" value="-1"/>
                    <requirement value="3"/>
                  </ability>
                  <ability id="2" name="strength"/><ability id="3" name="agility"/>)");
    const AbilityRecord& s = ability(1);
    EXPECT_EQ(s.cap[0].ability, 2);
    EXPECT_EQ(s.cap[0].bonus, 3);
    EXPECT_EQ(s.cap[0].divisor, 2);  // a byte
    EXPECT_EQ(s.cap[0].multiplier, 4);
    EXPECT_EQ(s.cap[1].ability, 3);
    EXPECT_EQ(s.cap[1].multiplier, 1);
    EXPECT_EQ(s.cap[1].divisor, 1);
    EXPECT_EQ(s.requirement[0].attribute, 2);
    EXPECT_EQ(s.requirement[0].value, 5);
    EXPECT_EQ(s.requirement[1].attribute, 3);
    EXPECT_EQ(s.requirement[2].attribute, 0);
    EXPECT_EQ(s.requirement[2].value, 0);

    load(game, R"(<ability id="1" name="a"><cap ability="1" divisor="200"/></ability>)");
    EXPECT_EQ(ability(1).cap[0].divisor, -56);

    const std::string three_caps = R"(<cap ability="1"/><cap ability="1"/><cap ability="1"/>)";
    expect_load_fails(game, "<ability id=\"1\" name=\"a\">" + three_caps + "<cap/></ability>",
                      "load_abilities_db(): too many ability caps (>3) for a single ability in file " + kFile);
    const std::string three_reqs =
        R"(<requirement attribute="1"/><requirement attribute="1"/><requirement attribute="1"/>)";
    expect_load_fails(
        game, "<ability id=\"1\" name=\"a\">" + three_reqs + "<requirement/></ability>",
        "load_abilities_db(): too many ability caps (>3) for a single ability in ability file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><cap ability="300"/></ability>)",
                      "load_abilities_db(): wrong ability ID \"300\" in cap tag in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><cap ability="x"/></ability>)",
                      "load_abilities_db(): wrong ability ID \"x\" in cap tag in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><cap value="1"/></ability>)",
                      "load_abilities_db(): wrong attribute \"value\" in cap tag in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><requirement attribute="-2"/></ability>)",
                      "load_abilities_db(): wrong ability ID \"-2\" in requirement tag in file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><requirement bonus="1"/></ability>)",
                      "load_abilities_db(): wrong attribute \"bonus\" in requirement tag in file " + kFile);
}

TEST(AbilitiesDb, DisplayEntriesInThePlayersLanguage) {
    TempGameFolder game;
    std::string body = R"(<ability id="1" name="hp">
        <display type="main screen status panel" start_value="1" end_value="5" message="Low: [value]"
                 message2="careful" color="255" language="English" expanded_value_display="yes"/>
        <display type="character info" message="Health [value]" language="English"/>
        <display message="no type" language="English"/>
        <display type="character info" message="Gesundheit" language="German"/>
        <display type="character info" message="Sante" language="French"/>
        <display type="character info" message="Salud" language="Spanish"/>
        <display type="character info" message="" language="English"/>
        <display type="character info" message="no language"/>
        <display type="character info" message="fifth" language="English"/>
        <display type="character info" message="sixth" language="English"/>
        <display type="character info" message="seventh" language="English"/>
      </ability>)";
    // Five stored, three in other languages: accepted.
    std::string five = body;
    five.replace(five.find(R"(<display type="character info" message="seventh")"),
                 std::string(R"(<display type="character info" message="seventh" language="English"/>)").size(), "");
    load(game, five);
    const AbilityRecord& a = ability(1);
    EXPECT_EQ(a.display[0].type, 1);
    EXPECT_EQ(a.display[0].start_value, 1);
    EXPECT_EQ(a.display[0].end_value, 5);
    EXPECT_EQ(a.display[0].message, "Low: [value]");
    EXPECT_EQ(a.display[0].message2, "careful");
    EXPECT_EQ(a.display[0].color, 255);
    EXPECT_EQ(a.display[0].language, "English");
    EXPECT_TRUE(a.display[0].expanded_value_display);
    EXPECT_EQ(a.display[1].type, 2);
    EXPECT_EQ(a.display[1].color, 255 + 256 * 255 + 65536 * 255);
    EXPECT_EQ(a.display[2].type, 0);
    EXPECT_EQ(a.display[2].message, "no type");
    EXPECT_EQ(a.display[3].message, "fifth");
    EXPECT_EQ(a.display[4].message, "sixth");
    expect_load_fails(game, body,
                      "load_abilities_db(): too many display entries (>5) for a single ability in ability file " +
                          kFile);

    // In German the German entry is the only one kept.
    g_common.preferences.language = "German";
    load(game, five);
    EXPECT_EQ(ability(1).display[0].message, "Gesundheit");
    EXPECT_EQ(ability(1).display[1].type, 0);
    EXPECT_EQ(ability(1).display[1].message, "");

    expect_load_fails(game, R"(<ability id="1" name="a"><display type="status" message="x"/></ability>)",
                      "load_abilities_db(): unknown display type \"status\" in ability display tag in ability xml "
                      "file " + kFile);
    expect_load_fails(game, R"(<ability id="1" name="a"><display text="x"/></ability>)",
                      "load_abilities_db(): unknown attribute \"text\" in ability display tag in abilities xml file " +
                          kFile);
}

TEST(AbilitiesDb, TextsInThePlayersLanguage) {
    TempGameFolder game;
    const std::string body = R"(<ability id="1" name="hit_points" description="plain" game_ends_message="gone">
        <name language="English">Hit points</name>
        <name language="German">Lebenspunkte</name>
        <name>no language</name>
        <description language="English">Your life.</description>
        <description language="German">Dein Leben.</description>
        <game_ends_message language="German">Du bist tot.</game_ends_message>
      </ability>)";
    load(game, body);
    EXPECT_EQ(ability(1).name, "hit_points");
    EXPECT_EQ(ability(1).display_name, "Hit points");
    EXPECT_EQ(ability(1).description, "Your life.");
    EXPECT_EQ(ability(1).game_ends_message, "gone");
    g_common.preferences.language = "German";
    load(game, body);
    EXPECT_EQ(ability(1).name, "hit_points");
    EXPECT_EQ(ability(1).display_name, "Lebenspunkte");
    EXPECT_EQ(ability(1).description, "Dein Leben.");
    EXPECT_EQ(ability(1).game_ends_message, "Du bist tot.");
    g_common.preferences.language = "French";
    load(game, body);
    EXPECT_EQ(ability(1).display_name, "hit_points");
    EXPECT_EQ(ability(1).description, "plain");

    for (const std::string tag : {"name", "description", "game_ends_message"})
        expect_load_fails(game, "<ability id=\"1\" name=\"a\"><" + tag + " lang=\"English\">x</" + tag + "></ability>",
                          "load_abilities_db(): unknown attribute \"lang\" in " + tag + " tag in ability xml file " +
                              kFile);
}

TEST(AbilitiesDb, Adjustments) {
    TempGameFolder game;
    load(game, R"(<ability id="1" name="a">
                    <adjustment attribute="2" value="3" percentage="90" percentage_attribute_multiplier="260"
                                percentage_bonus="50"/>
                    <adjustment attribute_name="b"/>
                    <adjustment/>
                  </ability><ability id="2" name="b"/>)");
    const AbilityRecord& a = ability(1);
    EXPECT_EQ(a.adjustment[0].attribute, 2);
    EXPECT_EQ(a.adjustment[0].value, 3);
    EXPECT_EQ(a.adjustment[0].percentage, 90);
    EXPECT_EQ(a.adjustment[0].percentage_attribute_multiplier, 4);
    EXPECT_EQ(a.adjustment[0].percentage_bonus, 50);
    EXPECT_EQ(a.adjustment[1].attribute, 2);
    EXPECT_EQ(a.adjustment[1].percentage, 100);
    EXPECT_EQ(a.adjustment[1].percentage_bonus, 0);
    EXPECT_EQ(a.adjustment[2].attribute, 0);

    std::string five;
    for (int i = 0; i < 5; ++i) five += "<adjustment/>";
    load(game, "<ability id=\"1\" name=\"a\">" + five + "</ability>");
    expect_load_fails(game, "<ability id=\"1\" name=\"a\">" + five + "<adjustment/></ability>",
                      "load_abilities_db(): too many adjustments for one ability in ability xml file " + kFile);
    // The attributes of the sixth are read before the count is tested.
    expect_load_fails(game, "<ability id=\"1\" name=\"a\">" + five + "<adjustment x=\"1\"/></ability>",
                      "load_abilities_db(): unknown attribute \"x\" in adjustment tag in ability xml file " + kFile);
}

TEST(AbilitiesDb, NumericReferencesMustBeAbilityIds) {
    TempGameFolder game;
    for (const std::string attribute : {"randomizer_ability", "modify_atribute", "buffer_for_attribute", "hit_attribute"}) {
        expect_load_fails(game, "<ability id=\"1\" name=\"a\" " + attribute + "=\"255\"/>",
                          "load_abilities_db(): wrong ability ID \"255\" in " + attribute +
                              " attribute of ability tag in file " + kFile);
        expect_load_fails(game, "<ability id=\"1\" name=\"a\" " + attribute + "=\"-1\"/>",
                          "load_abilities_db(): wrong ability ID \"-1\" in " + attribute +
                              " attribute of ability tag in file " + kFile);
        load(game, "<ability id=\"1\" name=\"a\" " + attribute + "=\"254\"/>");
        // Kept in 16 bits: 65790 is 254.
        load(game, "<ability id=\"1\" name=\"a\" " + attribute + "=\"65790\"/>");
    }
    EXPECT_EQ(ability(1).hit_attribute, 254);
    load(game, R"(<ability id="1" name="a"><attribute_bonus attribute="65538"/><cap ability="65538"/>
                    <requirement attribute="65538"/><adjustment attribute="65538"/></ability>)");
    EXPECT_EQ((std::vector<int>{ability(1).attribute_bonus[0].attribute, ability(1).cap[0].ability,
                                ability(1).requirement[0].attribute, ability(1).adjustment[0].attribute}),
              (std::vector<int>{2, 2, 2, 2}));
    expect_load_fails(game, R"(<ability id="1" name="a"><adjustment attribute="300"/></ability>)",
                      "load_abilities_db(): wrong ability ID \"300\" in adjustment tag in file " + kFile);
}

TEST(AbilitiesDb, NameResolution) {
    TempGameFolder game;
    // The last ability with the name wins; a number given stays and its name is ignored.
    load(game, R"(<ability id="1" name="twin"/>
                  <ability id="2" name="user" randomizer_ability_name="twin" modify_attribute_name="user"
                           buffer_for_attribute_name="twin" hit_attribute_name="twin" hit_attribute="1">
                    <adjustment attribute_name="twin"/>
                  </ability>
                  <ability id="9" name="twin"/>)");
    EXPECT_EQ(ability(2).randomizer_ability, 9);
    EXPECT_EQ(ability(2).modify_atribute, 2);
    EXPECT_EQ(ability(2).buffer_for_attribute, 9);
    EXPECT_EQ(ability(2).hit_attribute, 1);
    EXPECT_EQ(ability(2).adjustment[0].attribute, 9);

    // Names are case-sensitive.
    for (const std::string attribute :
         {"randomizer_ability_name", "modify_attribute_name", "buffer_for_attribute_name", "hit_attribute_name"})
        expect_load_fails(game, "<ability id=\"1\" name=\"Twin\"/><ability id=\"2\" name=\"b\" " + attribute +
                                    "=\"twin\"/>",
                          "ability_db_resolve_names(): cannot find ability \"twin\"");
    for (const std::string child : {"<attribute_bonus name=\"nobody\"/>", "<cap name=\"nobody\"/>",
                                    "<requirement name=\"nobody\"/>", "<adjustment attribute_name=\"nobody\"/>"})
        expect_load_fails(game, "<ability id=\"1\" name=\"a\">" + child + "</ability>",
                          "ability_resolve_names(): could not find ability \"nobody\"");
}

}  // namespace
