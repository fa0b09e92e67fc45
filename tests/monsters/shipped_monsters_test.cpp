// The shipped data\monster.xml loads against the shipped abilities and makes
// a playable set of monsters.
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "character/abilities_db.h"
#include "common/word_lists.h"
#include "map/map_lists.h"
#include "monsters/monster_db.h"
#include "common/database.h"
#include "map/map_state.h"
#include "monsters/shipped_names.h"
#include "platform/media.h"
#include "platform/xml.h"
#include "powers/power_db.h"
#include "common/database.h"
#include "common/common_state.h"
#include "support/test_game.h"

namespace {

constexpr int kShippedTypes = 48;

void load_shipped(const std::string& language) {
    g_common.preferences.language = language;
    load_abilities_db();
    load_monster_db("data\\monster.xml");
}

}  // namespace

TEST(ShippedMonsters, LoadInBothLanguagesWithEveryNameResolved) {
    TempGameFolder game;
    game.copy_shipped("data");
    load_shipped("English");
    std::map<int, std::string> english;
    for (int id = 1; id <= kShippedTypes; ++id) english[id] = g_db.monster_types[id].name;

    load_shipped("German");
    int translated = 0;
    for (int id = 1; id <= kMaxMonsterTypeId; ++id) {
        const MonsterType& type = g_db.monster_types[id];
        if (id > kShippedTypes) {
            EXPECT_TRUE(type.name.empty()) << id;
            continue;
        }
        ASSERT_FALSE(type.name.empty()) << id;
        if (type.name != english[id]) ++translated;
        EXPECT_EQ(type.tile, id - 1) << type.name << ": the picture is the catalogue cell";
        for (const MonsterAffliction& affliction : type.afflictions) {
            if (affliction.chance == 0) continue;
            EXPECT_GT(affliction.attribute, 0) << type.name;
            EXPECT_NE(affliction.value, 0) << type.name;
            EXPECT_LE(affliction.chance, 100) << type.name;
            EXPECT_FALSE(affliction.message.empty()) << type.name;
            EXPECT_EQ(known_animations().count(affliction.animation), 1u) << affliction.animation;
            EXPECT_EQ(shipped_sounds().count(affliction.sound), 1u) << affliction.sound;
        }
    }
    EXPECT_GE(translated, 40) << "monster names have German translations";
}

TEST(ShippedMonsters, EveryLevelHasMonstersOfManyKinds) {
    TempGameFolder game;
    game.copy_shipped("data");
    load_shipped("English");
    std::map<int, int> per_level;
    int flying = 0, fast = 0, slow = 0, regenerating = 0, afflicting = 0;
    for (int id = 1; id <= kShippedTypes; ++id) {
        const MonsterType& type = g_db.monster_types[id];
        ++per_level[type.level];
        EXPECT_GE(type.level, 1) << type.name;
        EXPECT_LE(type.level, id <= 24 ? 10 : 15) << type.name;
        EXPECT_GT(type.hitpoints, 0) << type.name;
        EXPECT_GE(type.speed, 0) << type.name;
        flying += type.flying;
        fast += type.speed >= 2;
        slow += type.speed == 0;
        regenerating += type.regeneration > 0;
        afflicting += type.afflictions[0].chance > 0;
    }
    // Map spawning picks monsters of exactly the map's level: each level needs one.
    for (int level = 1; level <= 10; ++level) { EXPECT_GE(per_level[level], 2) << "level " << level; }
    EXPECT_GE(flying, 9);
    EXPECT_GE(fast, 10);
    EXPECT_GE(slow, 2);
    EXPECT_GE(regenerating, 10);
    EXPECT_GE(afflicting, 24);
    // The snake of the start map regenerates and poisons.
    EXPECT_GT(g_db.monster_types[5].regeneration, 0);
    EXPECT_GT(g_db.monster_types[5].afflictions[0].chance, 0);
    EXPECT_EQ(g_db.monster_types[2].flying, 1) << "bats cross deep water";
    EXPECT_TRUE(lists_share_entry(g_db.monster_types[8].cls, "undead", "|"));
    EXPECT_TRUE(lists_share_entry(g_db.monster_types[22].cls, "demon", "|"));
}

TEST(ShippedMonsters, DefencesNameTheClassesOfShippedPowers) {
    TempGameFolder game;
    game.copy_shipped("data");
    load_shipped("English");
    load_power_db();
    std::string power_classes;
    for (int id = 1; id <= kMaxPowerId; ++id)
        if (!g_db.powers[id].name.empty()) power_classes += g_db.powers[id].cls + "|";

    std::set<std::string> used;
    for (int id = 1; id <= kShippedTypes; ++id) {
        const MonsterType& type = g_db.monster_types[id];
        for (const std::string* list : {&type.resistance, &type.immune, &type.vulnerable}) {
            size_t start = 0;
            while (start < list->size()) {
                size_t bar = list->find('|', start);
                std::string word = list->substr(start, bar == std::string::npos ? std::string::npos : bar - start);
                EXPECT_TRUE(lists_share_entry(word, power_classes, "|")) << type.name << ": " << word;
                used.insert(word);
                if (bar == std::string::npos) break;
                start = bar + 1;
            }
        }
    }
    EXPECT_GE(used.size(), 6u);
}

TEST(ShippedMonsters, EveryTypeAndAfflictionHasAGermanText) {
    TempGameFolder game;
    game.copy_shipped("data");
    XmlDocument document;
    ASSERT_TRUE(document.load("data\\monster.xml"));
    ASSERT_EQ(document.status(), 0);
    int monsters = 0;
    for (const auto& monster : document.root()->children) {
        ++monsters;
        int german_names = 0;
        for (const auto& child : monster->children) {
            const std::string* language = child->attribute("language");
            if (child->name == "name" && language && *language == "German") ++german_names;
            if (child->name != "affliction") continue;
            int german_messages = 0;
            for (const auto& message : child->children)
                if (const std::string* l = message->attribute("language"); l && *l == "German") ++german_messages;
            EXPECT_EQ(german_messages, 1) << *monster->attribute("name");
        }
        EXPECT_EQ(german_names, 1) << *monster->attribute("name");
    }
    EXPECT_EQ(monsters, kShippedTypes);
}

// The three dungeons draw their monsters by the class words cave, halls and
// depths; the foes at their bottoms are placed by hand and never drawn.
TEST(ShippedMonsters, EachDungeonHasItsOwnRangeOfTypesAndAFoeAtTheBottom) {
    TempGameFolder game;
    game.copy_shipped("data");
    game.copy_shipped("graphics");
    load_shipped("English");
    int sheet_width = 0, sheet_height = 0;
    ASSERT_TRUE(image_dimensions("graphics\\monster.png", sheet_width, sheet_height));
    const int sheet_cells = (sheet_width / 32) * (sheet_height / 32);

    struct Dungeon {
        const char* word;
        int lowest, highest;  // the levels its types may have
        int first_levels;     // its two lowest levels hold at least three types
        int foe;              // the type beside its bottom treasure
        int foe_level;
    };
    const Dungeon dungeons[] = {{"cave", 1, 7, 1, 46, 13}, {"halls", 5, 10, 5, 47, 14}, {"depths", 8, 14, 8, 48, 15}};
    const std::string all_words = "cave|halls|depths";
    for (const Dungeon& dungeon : dungeons) {
        SCOPED_TRACE(dungeon.word);
        int types = 0, early = 0;
        for (int id = 1; id <= kShippedTypes; ++id) {
            const MonsterType& type = g_db.monster_types[id];
            if (!lists_share_entry(type.cls, dungeon.word, "|")) continue;
            ++types;
            EXPECT_GE(type.level, dungeon.lowest) << type.name;
            EXPECT_LE(type.level, dungeon.highest) << type.name;
            if (type.level <= dungeon.first_levels + 1) ++early;
        }
        EXPECT_GE(types, 10);
        EXPECT_GE(early, 3);
        const MonsterType& foe = g_db.monster_types[dungeon.foe];
        EXPECT_EQ(foe.level, dungeon.foe_level) << foe.name;
        EXPECT_TRUE(lists_share_entry(foe.cls, "foe", "|")) << foe.name;
        EXPECT_FALSE(lists_share_entry(foe.cls, all_words, "|")) << foe.name << " would be spawned at random";
        EXPECT_GE(foe.speed, 1) << foe.name << " comes for the character once it notices it";
    }
    // Every other type lives in a dungeon, no foe among them; every picture lies on the sheet.
    for (int id = 1; id <= kShippedTypes; ++id) {
        const MonsterType& type = g_db.monster_types[id];
        const bool foe = lists_share_entry(type.cls, "foe", "|") != 0;
        EXPECT_EQ(foe, id >= 46) << type.name;
        EXPECT_EQ(!foe, lists_share_entry(type.cls, all_words, "|") != 0) << type.name;
        EXPECT_EQ(type.tile, id - 1) << type.name;
        EXPECT_LT(type.tile, sheet_cells) << type.name;
    }
    // The foes grow: each is stronger than the one before it.
    for (int id = 47; id <= 48; ++id) {
        const MonsterType& weaker = g_db.monster_types[id - 1];
        const MonsterType& stronger = g_db.monster_types[id];
        EXPECT_GT(stronger.hitpoints, weaker.hitpoints) << stronger.name;
        EXPECT_GT(stronger.attack, weaker.attack) << stronger.name;
        EXPECT_GT(stronger.strength, weaker.strength) << stronger.name;
    }
}
