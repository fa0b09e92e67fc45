// Loading data\monster.xml: fields, widths, afflictions, languages, names and
// every fatal message.
#include <functional>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "character/character_state.h"
#include "monsters/monster_db.h"
#include "common/database.h"
#include "map/map_state.h"
#include "common/common_state.h"
#include "support/test_game.h"
#include "common/raise_error.h"

namespace {

const std::string kFile = "data\\monster.xml";

void write_monsters(const TempGameFolder& game, const std::string& body) {
    game.write(kFile, "<monsters>" + body + "</monsters>");
}

void define_ability(int id, const std::string& name) { g_db.abilities[id].name = name; }

// Loads body and returns the fatal message (empty when none).
std::string load_error(const TempGameFolder& game, const std::string& body) {
    write_monsters(game, body);
    try {
        load_monster_db(kFile);
    } catch (const FatalError& error) {
        return error.what();
    }
    return {};
}

// The field an attribute fills, as text, so that numbers and texts share one table.
using FieldText = std::function<std::string(const MonsterType&)>;
template <typename T>
FieldText field(T MonsterType::*member) {
    return [member](const MonsterType& type) {
        if constexpr (std::is_same_v<T, std::string>) return type.*member;
        else return std::to_string(type.*member);
    };
}

}  // namespace

// Each attribute in a monster of its own, so an attribute that fills a wrong
// field leaves its own at the default. 16-bit fields get numbers beyond 16
// bits, 8-bit fields numbers beyond 8 bits: a wrong width reads differently.
TEST(MonsterDb, ReadsEveryFieldAndWrapsNarrowOnes) {
    struct Case {
        std::string attribute, value, expected;
        FieldText read;
    };
    const Case cases[] = {
        {"class", "undead|bones", "undead|bones", field(&MonsterType::cls)},
        {"tile", "65543", "7", field(&MonsterType::tile)},
        {"attack", "65581", "45", field(&MonsterType::attack)},
        {"attack", "junk", "0", field(&MonsterType::attack)},  // text without a number reads 0
        {"defense", "65548", "12", field(&MonsterType::defense)},
        {"strength", "65541", "5", field(&MonsterType::strength)},
        {"hitpoints", "70000", "4464", field(&MonsterType::hitpoints)},
        {"armor", "65538", "2", field(&MonsterType::armor)},
        {"level", "65540", "4", field(&MonsterType::level)},
        {"speed", "200", "-56", field(&MonsterType::speed)},
        {"speed", "-1", "-1", field(&MonsterType::speed)},
        {"flying", "yes", "1", field(&MonsterType::flying)},
        {"flying", "Yes", "0", field(&MonsterType::flying)},  // only exactly "yes" flies
        {"flying", "no", "0", field(&MonsterType::flying)},
        {"regeneration", "300", "44", field(&MonsterType::regeneration)},
        {"resistance", "cold", "cold", field(&MonsterType::resistance)},
        {"immune", "poison|sleep", "poison|sleep", field(&MonsterType::immune)},
        {"vulnerable", "holy", "holy", field(&MonsterType::vulnerable)},
    };
    TempGameFolder game;
    for (const Case& c : cases) {
        // 299 is the highest id that loads.
        write_monsters(game, "<monster id=\"299\" name=\"Skeleton\" " + c.attribute + "=\"" + c.value + "\"/>");
        load_monster_db(kFile);
        EXPECT_EQ(g_db.monster_types[299].name, "Skeleton");
        EXPECT_EQ(c.read(g_db.monster_types[299]), c.expected) << c.attribute << "=\"" << c.value << "\"";
    }
    EXPECT_TRUE(g_db.monster_types[2].name.empty());
}

TEST(MonsterDb, LoadingClearsTheTableFirst) {
    TempGameFolder game;
    g_db.monster_types[5].name = "Left over";
    g_db.monster_types[5].afflictions[2].chance = 9;
    write_monsters(game, R"(<monster id="6" name="Wolf"/>)");
    load_monster_db(kFile);
    EXPECT_TRUE(g_db.monster_types[5].name.empty());
    EXPECT_EQ(g_db.monster_types[5].afflictions[2].chance, 0);
    EXPECT_EQ(g_db.monster_types[6].name, "Wolf");

    // An empty root or a document without monsters loads nothing and is no error.
    game.write(kFile, "<monsters/>");
    load_monster_db(kFile);
    EXPECT_TRUE(g_db.monster_types[6].name.empty());
}

TEST(MonsterDb, LocalizedNamesAndAfflictionMessages) {
    TempGameFolder game;
    g_common.preferences.language = "German";
    define_ability(19, "poisoned");
    write_monsters(game,
                   R"(<monster id="3" name="Giant spider">
                        <name language="German">Riesenspinne</name>
                        <name language="French">Araignee</name>
                        <name>ignored</name>
                        <affliction class="poison" chance="200" attribute_name="poisoned" value="-4" randomized="yes"
                                    animation="green stars" sound="poison" message="You are poisoned.">
                          <message language="German">Du bist vergiftet.</message>
                          <message language="English">You are poisoned!</message>
                        </affliction>
                      </monster>)");
    load_monster_db(kFile);

    const MonsterType& spider = g_db.monster_types[3];
    EXPECT_EQ(spider.name, "Riesenspinne");
    const MonsterAffliction& poison = spider.afflictions[0];
    EXPECT_EQ(poison.cls, "poison");
    EXPECT_EQ(poison.chance, -56);
    EXPECT_EQ(poison.attribute, 19);
    EXPECT_EQ(poison.value, -4);
    EXPECT_EQ(poison.randomized, 1);
    EXPECT_EQ(poison.animation, "green stars");
    EXPECT_EQ(poison.sound, "poison");
    EXPECT_EQ(poison.message, "Du bist vergiftet.");
    EXPECT_EQ(spider.afflictions[1].chance, 0);
    EXPECT_TRUE(spider.afflictions[1].message.empty());
}

TEST(MonsterDb, AfflictionSlotsFillInOrderAndStopAtFive) {
    TempGameFolder game;
    // The attribute-less affliction takes a slot but leaves it empty; its
    // message is still read.
    const std::string four = R"(<affliction chance="10" attribute="1" value="-1"/>
                                <affliction><message language="English">only a message</message></affliction>
                                <affliction chance="30" attribute="3" value="-3" randomized="maybe"/>
                                <affliction chance="40" attribute="4" value="-4"/>)";
    write_monsters(game, R"(<monster id="9" name="Orc">)" + four +
                             R"(<affliction chance="50" attribute="5" value="-5"/></monster>)");
    load_monster_db(kFile);
    const MonsterType& orc = g_db.monster_types[9];
    EXPECT_EQ(orc.afflictions[0].attribute, 1);
    EXPECT_EQ(orc.afflictions[1].attribute, 0);
    EXPECT_EQ(orc.afflictions[1].chance, 0);
    EXPECT_EQ(orc.afflictions[1].message, "only a message");
    EXPECT_EQ(orc.afflictions[2].attribute, 3);
    EXPECT_EQ(orc.afflictions[2].randomized, 0);
    EXPECT_EQ(orc.afflictions[4].value, -5);

    const std::string too_many =
        "load_monster_db(): too much afflictions for one monster type in monster xml file \"data\\monster.xml\"";
    EXPECT_EQ(load_error(game, R"(<monster id="9" name="Orc">)" + four +
                                   R"(<affliction attribute="5"/><affliction attribute="6"/></monster>)"),
              too_many);
    // A sixth affliction without attributes would have no slot either.
    EXPECT_EQ(load_error(game, R"(<monster id="9" name="Orc">)" + four +
                                   R"(<affliction attribute="5"/>
                                      <affliction><message language="English">x</message></affliction></monster>)"),
              too_many);
    // The limit is per monster: two monsters with five each are fine.
    std::string five = four + R"(<affliction attribute="5"/>)";
    EXPECT_EQ(load_error(game, R"(<monster id="1" name="A">)" + five + R"(</monster><monster id="2" name="B">)" +
                                   five + "</monster>"),
              "");
}

TEST(MonsterDb, SkipsMonstersWithoutAttributes) {
    TempGameFolder game;
    // Neither the element nor its (invalid) children are looked at.
    write_monsters(game, R"(<monster><bogus/></monster><monster id="4" name="Snake"/>)");
    load_monster_db(kFile);
    EXPECT_EQ(g_db.monster_types[4].name, "Snake");
}

TEST(MonsterDb, ResolvesAfflictionNamesLastMatchWins) {
    TempGameFolder game;
    define_ability(20, "weakened");
    define_ability(40, "weakened");
    define_ability(15, "mana");
    write_monsters(game, R"(<monster id="15" name="Wraith">
                              <affliction chance="25" attribute_name="weakened" value="1"/>
                              <affliction chance="25" attribute="15" attribute_name="no such ability" value="-3"/>
                              <affliction chance="25" attribute="-2" attribute_name="mana" value="-3"/>
                            </monster>)");
    load_monster_db(kFile);
    EXPECT_EQ(g_db.monster_types[15].afflictions[0].attribute, 40);
    EXPECT_EQ(g_db.monster_types[15].afflictions[1].attribute, 15) << "a given id keeps, its name is not looked at";
    EXPECT_EQ(g_db.monster_types[15].afflictions[2].attribute, -2);

    EXPECT_EQ(load_error(game, R"(<monster id="15" name="Wraith"><affliction attribute_name="cursed"/></monster>)"),
              "resolve_monster_type_db_names(): cannot find attribute \"cursed\" in monster xml file "
              "\"data\\monster.xml\"");
}

TEST(MonsterDb, FatalMessages) {
    TempGameFolder game;
    const std::string file = "\"data\\monster.xml\"";

    EXPECT_FATAL(load_monster_db("data\\missing.xml"),
                 "load_monster_db(): could not open monster xml file: \"data\\missing.xml\"");
    game.write(kFile, "<monsters><monster id=\"1\" name=\"Rat\"></monsters>");
    try {
        load_monster_db(kFile);
        ADD_FAILURE() << "a broken file loaded";
    } catch (const FatalError& error) {
        const std::string prefix = "load_monster_db(): error in xml structure of monster file " + file + ": ";
        const std::string text = error.what();
        EXPECT_EQ(text.substr(0, prefix.size()), prefix);
        EXPECT_GT(text.size(), prefix.size()) << "the parser's error text follows";
    }

    EXPECT_EQ(load_error(game, R"(<monster id="1" name="Rat"/><beast id="2" name="X"/>)"),
              "load_monster_db(): unknown tag \"beast\" in monster xml file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="1" name="Rat"><loot/></monster>)"),
              "load_monster_db(): unknown tag \"loot\" in monster xml file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="1" name="Rat"><affliction chance="1"><text/></affliction></monster>)"),
              "load_monster_db(): unknown tag \"text\" in monster xml file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="0" name="Rat"/>)"),
              "load_monster_db(): wrong monster id \"0\" in monster file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="300" name="Rat"/>)"),
              "load_monster_db(): wrong monster id \"300\" in monster file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="rat" name="Rat"/>)"),
              "load_monster_db(): wrong monster id \"rat\" in monster file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="65537" name="Rat"/>)"),
              "load_monster_db(): wrong monster id \"65537\" in monster file " + file)
        << "the id is range-tested before it could wrap";
    // Uniqueness is tested when the id is read, before the unknown attribute after it.
    EXPECT_EQ(load_error(game, R"(<monster id="5" name="Goblin"/><monster id="05" colour="red"/>)"),
              "load_monster_db(): monster id \"05\" not unique in monster file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="5" name="Goblin" colour="green"/>)"),
              "load_monster_db(): unknown attribute \"colour\" in monster tag in file " + file);
    // The name attribute is required; the name child only replaces it.
    EXPECT_EQ(load_error(game, R"(<monster id="5"><name language="English">Goblin</name></monster>)"),
              "load_monster_db(): monster tag without proper id or name in file " + file);
    EXPECT_EQ(load_error(game, R"(<monster name="Goblin"/>)"),
              "load_monster_db(): monster tag without proper id or name in file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="5" name=""/>)"),
              "load_monster_db(): monster tag without proper id or name in file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="5" name="Goblin"><name lang="English">G</name></monster>)"),
              "load_monster_db(): unknown attribute \"lang\" in name tag in monster xml file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="5" name="Goblin"><affliction strength="3"/></monster>)"),
              "load_monster_db(): unknown attribute \"strength\" in affliction tag in monster xml file " + file);
    EXPECT_EQ(load_error(game, R"(<monster id="5" name="Goblin"><affliction attribute="1">
                                    <message language="English" type="success">x</message></affliction></monster>)"),
              "load_monster_db(): unknown attribute \"type\" in message tag in monster xml file " + file);
}
