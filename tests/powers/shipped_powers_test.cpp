// The shipped data\powers.xml loads against the shipped abilities, uses every
// effect, fits the standard tileset and unlocks through advancement.
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "character/abilities_db.h"
#include "character/ability_model.h"
#include "character/character_record.h"
#include "character/character_state.h"
#include "map/tileset.h"
#include "common/word_lists.h"
#include "map/map_lists.h"
#include "monsters/shipped_names.h"
#include "platform/xml.h"
#include "powers/power_db.h"
#include "common/database.h"
#include "common/common_state.h"
#include "support/test_game.h"

namespace {

void load_shipped(const TempGameFolder& game, const std::string& language = "English") {
    game.copy_shipped("data");
    g_common.preferences.language = language;
    load_abilities_db();
    load_power_db();
}

bool valid_ability(int id) { return id >= 1 && id <= kMaxAbilityId && !g_db.abilities[id].name.empty(); }

}  // namespace

TEST(ShippedPowers, LoadWithEveryReferenceResolved) {
    TempGameFolder game;
    load_shipped(game);
    std::set<std::string> effects, monster_effects;
    int powers = 0;
    for (int id = 1; id <= kMaxPowerId; ++id) {
        const Power& p = g_db.powers[id];
        if (p.name.empty()) continue;
        ++powers;
        SCOPED_TRACE(p.name);
        EXPECT_LE(id, 253) << "the power screen offers ids 1..253";
        EXPECT_EQ(p.tile, id) << "the picture is the catalogue cell";
        EXPECT_FALSE(p.description.empty());
        effects.insert(p.effect_name);
        if (p.effect_name == "apply effect to monster") monster_effects.insert(p.monster_effect);
        EXPECT_EQ(known_animations().count(p.animation), 1u) << p.animation;
        for (const std::string* sound : {&p.sound, &p.failure_sound, &p.wrong_use_sound})
            EXPECT_EQ(shipped_sounds().count(*sound), 1u) << *sound;
        // Paying asks for the cost ability's value: it must exist.
        if (p.cost > 0) { EXPECT_TRUE(valid_ability(p.cost_attribute)); }
        if (p.success_attribute != 0) { EXPECT_TRUE(valid_ability(p.success_attribute)); }
        if (p.strength_bonus_attribute != 0) { EXPECT_TRUE(valid_ability(p.strength_bonus_attribute)); }
        if (p.randomized_strength_bonus_attribute != 0) { EXPECT_TRUE(valid_ability(p.randomized_strength_bonus_attribute)); }
        if (p.effect_name == "modify attribute") { EXPECT_TRUE(valid_ability(p.modify_attribute)); }
        if (p.effect_name == "duration") {
            EXPECT_TRUE(valid_ability(p.adjust_attribute));
            EXPECT_GT(p.duration, 0);
        }
        if (p.effect_name == "activate ability") { EXPECT_TRUE(valid_ability(p.activates_ability_id)); }
        if (p.effect_name == "deplete attribute") { EXPECT_TRUE(valid_ability(p.deplete_attribute_id)); }
        if (p.effect_name == "attack" || p.effect_name == "area attack") { EXPECT_GT(p.effect_strength, 0); }
        // Success messages are shown by every effect but the area attack and the toggle.
        if (p.effect_name != "area attack" && p.effect_name != "activate ability") {
            EXPECT_FALSE(p.success_message.empty());
        }
        if (p.success_attribute != 0) { EXPECT_FALSE(p.failure_message.empty()); }
        for (const PowerRequirement& requirement : p.requirement)
            if (!requirement.attribute_name.empty()) { EXPECT_TRUE(valid_ability(requirement.attribute)); }
    }
    EXPECT_GE(powers, 12);
    EXPECT_EQ(effects, (std::set<std::string>{"attack", "area attack", "duration", "transform field", "use field",
                                              "activate ability", "deplete attribute", "modify attribute",
                                              "apply effect to monster"}));
    EXPECT_EQ(monster_effects, (std::set<std::string>{"slowed", "confused", "sleep"}));
}

TEST(ShippedPowers, FieldPowersMatchTheStandardTileset) {
    TempGameFolder game;
    game.copy_shipped("tilesets");
    load_shipped(game);
    auto tileset = std::make_unique<Tileset>();
    tileset->definition_filename = "tiles_standard.xml";
    load_tile_type_definition(*tileset);

    int field_powers = 0;
    for (int id = 1; id <= kMaxPowerId; ++id) {
        const Power& p = g_db.powers[id];
        if (p.effect_name != "transform field" && p.effect_name != "use field") continue;
        ++field_powers;
        SCOPED_TRACE(p.name);
        EXPECT_FALSE(p.field_effect.empty());
        EXPECT_GE(p.range, 0);
        EXPECT_FALSE(p.wrong_use_message.empty());
        EXPECT_FALSE(p.already_used_message.empty());
        int matching = 0;
        for (int t = 0; t < kTileTypeCount; ++t) {
            const TileType& tile = tileset->tile_types[t];
            if (!lists_share_entry(p.cls, tile.cls, "|")) continue;
            ++matching;
            // A transforming power on a tile that turns into nothing would put rock there.
            if (p.effect_name == "transform field") { EXPECT_GT(tile.transforms_into, 0) << "tile " << t; }
        }
        EXPECT_GE(matching, 2);
    }
    EXPECT_EQ(field_powers, 3);
    // The lock power opens the closed door of the standard tileset.
    EXPECT_TRUE(lists_share_entry(g_db.powers[8].cls, tileset->tile_types[10].cls, "|"));
    EXPECT_EQ(tileset->tile_types[10].transforms_into, 11);
    // Communion draws from a running fountain (once, as from every field), not from a dry one.
    EXPECT_TRUE(lists_share_entry(g_db.powers[9].cls, tileset->tile_types[20].cls, "|"));
    EXPECT_FALSE(lists_share_entry(g_db.powers[9].cls, tileset->tile_types[21].cls, "|"));
}

TEST(ShippedPowers, ANewCharacterHasSomePowersAndAdvancementUnlocksTheRest) {
    TempGameFolder game;
    load_shipped(game);
    reset_character();
    int at_start = 0;
    for (int id = 1; id <= kMaxPowerId; ++id) at_start += power_available(id, 0, 0);
    EXPECT_GE(at_start, 3);
    EXPECT_LE(at_start, 6);

    // Every requirement names an ability that advancement picks raise.
    std::set<int> raised;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_db.abilities[id];
        if (ability.name.empty() || !ability.xp) continue;
        for (const AttributeBonus& bonus : ability.attribute_bonus)
            if (bonus.attribute > 0 && bonus.bonus > 0) raised.insert(bonus.attribute);
    }
    int locked = 0;
    for (int id = 1; id <= kMaxPowerId; ++id) {
        const Power& p = g_db.powers[id];
        if (p.name.empty()) continue;
        for (const PowerRequirement& requirement : p.requirement)
            if (requirement.attribute > 0) { EXPECT_EQ(raised.count(requirement.attribute), 1u) << p.name; }
        if (!power_available(id, 0, 0)) ++locked;
    }
    EXPECT_GE(locked, 8);

    // One pick of intelligence unlocks the communion with altars and shrines.
    int intelligence = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].name == "intelligence") intelligence = id;
    ASSERT_GT(intelligence, 0);
    EXPECT_FALSE(power_available(9, 0, 0));
    EXPECT_TRUE(power_available(9, intelligence, 1));
}

TEST(ShippedPowers, EveryTextHasAGermanTranslation) {
    TempGameFolder game;
    load_shipped(game, "German");
    XmlDocument document;
    ASSERT_TRUE(document.load("data\\powers.xml"));
    ASSERT_EQ(document.status(), 0);
    for (const auto& element : document.root()->children) {
        const std::string id_text = *element->attribute("id");
        const Power& p = g_db.powers[std::stoi(id_text)];
        // Each English text given as an attribute has a German child that replaced it.
        for (const auto& [attribute, english] : element->attributes) {
            const std::string* german = nullptr;
            if (attribute == "name") german = &p.name;
            else if (attribute == "description") german = &p.description;
            else if (attribute == "success_message") german = &p.success_message;
            else if (attribute == "failure_message") german = &p.failure_message;
            else if (attribute == "wrong_use_message") german = &p.wrong_use_message;
            else if (attribute == "already_used_message") german = &p.already_used_message;
            if (german) { EXPECT_NE(*german, english) << "power " << id_text << " " << attribute; }
        }
    }
}
