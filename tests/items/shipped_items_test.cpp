// The shipped item database: it loads with the shipped abilities, and its
// design holds together (classes, limits, lights, artefacts, prices, languages).
#include <set>
#include <string>

#include "character/abilities_db.h"
#include "character/character_state.h"
#include "items/item_db.h"
#include "items/items_state.h"
#include "common/common_state.h"
#include "support/test_game.h"
#include "common/database.h"

namespace {

constexpr int kItemSheetCells = 72;  // 8 x 9 cells
constexpr int kSelectionMarkCell = 47;  // the mark of the pick-up and inventory screens

struct ShippedItems : ::testing::Test {
    TempGameFolder folder;

    void load(const std::string& language) {
        folder.copy_shipped("data");
        g_common.preferences.language = language;
        load_abilities_db();
        load_item_db();
    }
    static std::set<std::string> equippable_classes() {
        std::set<std::string> classes;
        for (int id = 1; id <= kLastItemId; ++id)
            if (item_type_defined(id) && g_db.item_types[id].can_be_equipped) classes.insert(g_db.item_types[id].item_class);
        return classes;
    }
    static int bonus_of(const ItemType& type, const std::string& ability) {
        int sum = 0;
        for (const ItemAbilityBonus& bonus : type.ability_bonus)
            if (bonus.attribute > 0 && g_db.abilities[bonus.attribute].name == ability) sum += bonus.value;
        return sum;
    }
};

TEST_F(ShippedItems, LoadsAndEveryBonusNamesARealAbility) {
    load("English");
    int defined = 0;
    for (int id = 1; id <= kLastItemId; ++id) {
        if (!item_type_defined(id)) continue;
        ++defined;
        const ItemType& t = g_db.item_types[id];
        SCOPED_TRACE(t.name);
        EXPECT_GE(t.tile, 0);
        EXPECT_LT(t.tile, kItemSheetCells);
        EXPECT_NE(t.tile, kSelectionMarkCell);
        EXPECT_EQ(t.tile_equipped, t.tile);
        EXPECT_FALSE(t.item_class.empty());
        EXPECT_FALSE(t.description.empty());
        EXPECT_GT(t.weight, 0);
        for (const ItemAbilityBonus& bonus : t.ability_bonus) {
            if (bonus.attribute_name.empty()) continue;
            ASSERT_GT(bonus.attribute, 0);
            EXPECT_EQ(g_db.abilities[bonus.attribute].name, bonus.attribute_name);
        }
        // Something to do with every item: wear it or use it.
        EXPECT_TRUE(t.can_be_equipped || !t.use_name.empty());
        if (!t.use_name.empty()) {
            EXPECT_FALSE(t.use_message.empty());
        }
    }
    EXPECT_GE(defined, 30);
}

TEST_F(ShippedItems, NewCharacterGetsFoodOrHealingAndUsefulGear) {
    load("English");
    const ItemType& first = g_db.item_types[1];
    EXPECT_FALSE(first.use_name.empty());
    EXPECT_EQ(first.consumed_after_use, 1);
    EXPECT_GT(bonus_of(first, "hit_points"), 0);
    EXPECT_EQ(first.fuel, 0);  // five pieces stack into one entry

    bool weapon = false, light = false, armour = false, drink = false;
    for (int id = 1; id <= kLastItemId; ++id) {
        const ItemType& t = g_db.item_types[id];
        if (!item_type_defined(id) || t.starting_equipment <= 0) continue;
        weapon = weapon || (t.can_be_equipped && bonus_of(t, "damage") + bonus_of(t, "damage_random") > 0);
        light = light || (t.can_be_equipped && bonus_of(t, "light_radius") > 0 && t.fuel > 0);
        armour = armour || (t.can_be_equipped && bonus_of(t, "armour") > 0);
        drink = drink || (t.consumed_after_use && bonus_of(t, "hit_points") > 0 && t.item_class == "potion");
    }
    EXPECT_TRUE(weapon);
    EXPECT_TRUE(light);
    EXPECT_TRUE(armour);  // something to wear
    EXPECT_TRUE(drink);   // and a drink that restores
}

TEST_F(ShippedItems, EquipmentClassesFitTogether) {
    load("English");
    const std::set<std::string> classes = equippable_classes();
    bool ring_limit = false, two_handed_drops_shield = false;
    for (int id = 1; id <= kLastItemId; ++id) {
        if (!item_type_defined(id)) continue;
        const ItemType& t = g_db.item_types[id];
        SCOPED_TRACE(t.name);
        // Every unequip entry names a class that some equippable item has (no typos).
        bool unequips_own_class = false;
        for (const std::string& item_class : t.unequip) {
            if (item_class.empty()) continue;
            EXPECT_TRUE(classes.count(item_class)) << item_class;
            unequips_own_class = unequips_own_class || item_class == t.item_class;
        }
        if (!t.can_be_equipped) continue;
        // Two body armours or two weapons at once are impossible: each class
        // either swaps (equipping unequips its own class) or has a limit.
        EXPECT_TRUE(unequips_own_class || t.equipment_limit > 0);
        // A limit and a self-swap together would make the limit block the swap.
        EXPECT_FALSE(unequips_own_class && t.equipment_limit > 0);
        if (t.item_class == "ring") {
            EXPECT_EQ(t.equipment_limit, 2);
            ring_limit = true;
        }
        if (t.item_class == "two-handed weapon") {
            bool shield = false;
            for (const std::string& item_class : t.unequip) shield = shield || item_class == "shield";
            EXPECT_TRUE(shield);
            two_handed_drops_shield = two_handed_drops_shield || shield;
        }
        if (t.item_class == "shield") {
            bool two_handed = false;
            for (const std::string& item_class : t.unequip) two_handed = two_handed || item_class == "two-handed weapon";
            EXPECT_TRUE(two_handed);
        }
    }
    EXPECT_TRUE(ring_limit);
    EXPECT_TRUE(two_handed_drops_shield);
}

TEST_F(ShippedItems, FuelArtefactsAndPrices) {
    load("English");
    int lights = 0, artefacts = 0, treasure = 0, cheap = 0, deep = 0;
    for (int id = 1; id <= kLastItemId; ++id) {
        if (!item_type_defined(id)) continue;
        const ItemType& t = g_db.item_types[id];
        SCOPED_TRACE(t.name);
        if (t.fuel > 0) {
            EXPECT_NE(t.fuel_name.find("[fuel]"), std::string::npos);
            // Fuel is spent either by burning while equipped or by each use.
            EXPECT_TRUE((t.can_be_equipped && t.fuel_consumed_per_turn > 0) || t.fuel_consumed_per_use > 0);
            if (t.can_be_equipped && t.fuel_consumed_per_turn > 0 && bonus_of(t, "light_radius") > 0) ++lights;
        }
        if (t.artefact) {
            ++artefacts;
            bool multiplier = false;
            for (const ItemAbilityBonus& bonus : t.ability_bonus)
                multiplier = multiplier || (bonus.attribute > 0 && bonus.magic_bonus_multiplier > 0);
            EXPECT_TRUE(multiplier);
        }
        // Using an item must not raise a lasting value over and over: use
        // effects of items that are not used up go only to depleting pools.
        if (!t.use_name.empty() && !t.consumed_after_use) {
            EXPECT_GT(t.fuel_consumed_per_use, 0);
        }
        // Level creation: side passages draw Random(level + 10 x difficulty) against the price.
        if (t.price < 11) ++cheap;
        if (t.price >= 15 && t.price < 100) ++deep;
        if (t.price >= 100) {
            ++treasure;
            EXPECT_TRUE(t.artefact);
        }
    }
    EXPECT_GE(lights, 2);
    EXPECT_GE(artefacts, 3);
    EXPECT_EQ(treasure, 1);
    EXPECT_GE(cheap, 15);  // plenty to find on the first levels
    EXPECT_GE(deep, 4);    // and better things only deeper or in harder dungeons
}

TEST_F(ShippedItems, EveryTextHasAGermanVersion) {
    load("English");
    ItemType english[kItemTypeTableSize];
    for (int id = 0; id < kItemTypeTableSize; ++id) english[id] = g_db.item_types[id];
    load("German");
    for (int id = 1; id <= kLastItemId; ++id) {
        if (!item_type_defined(id)) continue;
        const ItemType& de = g_db.item_types[id];
        const ItemType& en = english[id];
        SCOPED_TRACE(en.name);
        EXPECT_NE(de.name, en.name);
        EXPECT_NE(de.description, en.description);
        EXPECT_EQ(de.item_class, en.item_class);
        EXPECT_FALSE(de.class_name.empty());
        if (!en.fuel_name.empty()) {
            EXPECT_NE(de.fuel_name, en.fuel_name);
            EXPECT_NE(de.fuel_name.find("[fuel]"), std::string::npos);
        }
    }
}

}  // namespace
