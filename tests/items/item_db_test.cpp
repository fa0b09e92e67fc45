#include <string>
#include <vector>

#include "character/character_state.h"
#include "items/item_db.h"
#include "items/items_state.h"
#include "platform/xml.h"
#include "common/common_state.h"
#include "support/attribute_cases.h"
#include "support/test_game.h"
#include "common/database.h"
#include "map/map_state.h"

namespace {

const std::string kFileText = " in item xml file \"data\\items.xml\"";

// A game folder whose items.xml holds the given elements below a root.
struct ItemDbTest : ::testing::Test {
    TempGameFolder folder;

    void write_items(const std::string& body) const {
        folder.write("data\\items.xml", "<?xml version=\"1.0\"?>\n<items>\n" + body + "\n</items>\n");
    }
    static void name_ability(int id, const std::string& name) { g_db.abilities[id].name = name; }
};

TEST_F(ItemDbTest, EveryAttributeFillsItsFieldInItsWidth) {
    const std::vector<AttributeCase<ItemType>> cases = {
        {"name", Stored::text, field_of(&ItemType::name)},
        {"tile", Stored::int16, field_of(&ItemType::tile)},
        {"tile_equipped", Stored::int16, field_of(&ItemType::tile_equipped)},
        {"weight", Stored::int16, field_of(&ItemType::weight)},
        {"starting_equipment", Stored::int16, field_of(&ItemType::starting_equipment)},
        {"starting_equipment", Stored::flag, field_of(&ItemType::starting_equipment)},  // "yes" is one piece
        {"class", Stored::text, field_of(&ItemType::item_class)},
        {"class", Stored::text, field_of(&ItemType::class_name)},
        {"can_be_equipped", Stored::flag, field_of(&ItemType::can_be_equipped)},
        {"description", Stored::text, field_of(&ItemType::description)},
        {"price", Stored::int16, field_of(&ItemType::price)},
        {"fuel", Stored::int16, field_of(&ItemType::fuel)},
        {"fuel_consumed_per_turn", Stored::int8, field_of(&ItemType::fuel_consumed_per_turn)},
        {"fuel_name", Stored::text, field_of(&ItemType::fuel_name)},
        {"use_name", Stored::text, field_of(&ItemType::use_name)},
        {"consumed_after_use", Stored::flag, field_of(&ItemType::consumed_after_use)},
        {"turn_ends_after_use", Stored::flag, field_of(&ItemType::turn_ends_after_use)},
        {"use_message", Stored::text, field_of(&ItemType::use_message)},
        {"fuel_consumed_per_use", Stored::int16, field_of(&ItemType::fuel_consumed_per_use)},
        {"artefact", Stored::flag, field_of(&ItemType::artefact)},
        {"equipment_limit", Stored::int16, field_of(&ItemType::equipment_limit)},
    };
    check_attribute_cases<ItemType>(cases, "item", [&](const std::string& element) -> const ItemType& {
        write_items(element);
        load_item_db();
        return g_db.item_types[1];
    });
}

TEST_F(ItemDbTest, ChildrenFillTheSlotsOfADefinedType) {
    name_ability(3, "strength");
    write_items(R"(<item id="7" name="Lantern">
                  <ability_bonus attribute_name="strength" value="70000" magic_bonus_multiplier="390"/>
                  <unequip class="torch"/>
               </item>)");
    load_item_db();
    const ItemType& t = g_db.item_types[7];
    EXPECT_EQ(t.ability_bonus[0].attribute, 3);
    EXPECT_EQ(t.ability_bonus[0].value, 70000 - 65536);
    EXPECT_EQ(t.ability_bonus[0].magic_bonus_multiplier, 390 - 512);
    EXPECT_EQ(t.ability_bonus[1].attribute, 0);
    EXPECT_EQ(t.unequip[0], "torch");
    EXPECT_EQ(t.unequip[1], "");
    EXPECT_TRUE(item_type_defined(7));
    EXPECT_FALSE(item_type_defined(6));
    EXPECT_FALSE(item_type_defined(0));
    EXPECT_FALSE(item_type_defined(255));
}

TEST_F(ItemDbTest, DefaultsFlagsAndFieldWidths) {
    write_items(R"(<item id="1" name="Bread" tile="12"/>
                   <item id="2" name="Odd" tile="-1" starting_equipment="3" can_be_equipped="Yes"
                         consumed_after_use="no" turn_ends_after_use="true" artefact="YES"
                         price="70000" fuel_consumed_per_turn="300" weight="$10" fuel="%101" equipment_limit="x2"/>
                   <item id="3" name="Explicit" tile="5" tile_equipped="-1"/>)");
    load_item_db();
    // Without tile_equipped the item looks the same when equipped.
    EXPECT_EQ(g_db.item_types[1].tile_equipped, 12);
    EXPECT_EQ(g_db.item_types[1].starting_equipment, 0);
    EXPECT_EQ(g_db.item_types[3].tile_equipped, 5);
    const ItemType& odd = g_db.item_types[2];
    EXPECT_EQ(odd.tile_equipped, -1);  // tile -1 itself is kept
    EXPECT_EQ(odd.starting_equipment, 3);
    EXPECT_EQ(odd.can_be_equipped, 0);
    EXPECT_EQ(odd.consumed_after_use, 0);
    EXPECT_EQ(odd.turn_ends_after_use, 0);
    EXPECT_EQ(odd.artefact, 0);
    EXPECT_EQ(odd.price, 70000 - 65536);
    EXPECT_EQ(odd.fuel_consumed_per_turn, 44);
    EXPECT_EQ(odd.weight, 16);
    EXPECT_EQ(odd.fuel, 5);
    EXPECT_EQ(odd.equipment_limit, 0);
}

TEST_F(ItemDbTest, LocalizedChildrenFollowThePreferencesLanguage) {
    g_common.preferences.language = "German";
    write_items(R"(<item id="4" name="Sword" class="sword" description="Sharp." fuel_name="none"
                         use_name="Sharpen" use_message="The blade gleams.">
                     <name language="English">Long sword</name>
                     <name language="German">Langschwert</name>
                     <name>Ignored</name>
                     <class_name language="German">Schwert</class_name>
                     <description language="German">Scharf.</description>
                     <fuel_name language="German">Kein Brennstoff</fuel_name>
                     <description language="French">Tranchant.</description>
                   </item>)");
    load_item_db();
    const ItemType& t = g_db.item_types[4];
    EXPECT_EQ(t.name, "Langschwert");
    EXPECT_EQ(t.item_class, "sword");  // the class word stays for equipment rules
    EXPECT_EQ(t.class_name, "Schwert");
    EXPECT_EQ(t.description, "Scharf.");
    EXPECT_EQ(t.fuel_name, "Kein Brennstoff");
    EXPECT_EQ(t.use_name, "Sharpen");  // the use texts have no per-language children

    g_common.preferences.language = "English";
    load_item_db();
    EXPECT_EQ(g_db.item_types[4].name, "Long sword");
    EXPECT_EQ(g_db.item_types[4].class_name, "sword");
    EXPECT_EQ(g_db.item_types[4].description, "Sharp.");
    EXPECT_EQ(g_db.item_types[4].use_name, "Sharpen");
}

TEST_F(ItemDbTest, ElementsWithoutIdAreSkippedWithTheirChildren) {
    write_items(R"(<item name="Nameless" tile="3"><bogus/><ability_bonus attribute_name="nothing" value="1"/></item>
                   <item/>
                   <item id="9" name="Kept"/>)");
    load_item_db();
    EXPECT_EQ(g_db.item_types[9].name, "Kept");
    for (int id = 1; id <= 254; ++id) {
        if (id == 9) continue;
        EXPECT_TRUE(g_db.item_types[id].name.empty()) << id;
    }
}

TEST_F(ItemDbTest, LoadingClearsEarlierTypesAndADuplicateIdKeepsTheSlotsItDoesNotFill) {
    name_ability(1, "hit_points");
    name_ability(2, "armour");
    g_db.item_types[200].name = "Left over";
    write_items(R"(<item id="5" name="First" tile="3" price="8" class="ring">
                     <ability_bonus attribute_name="hit_points" value="1"/>
                     <ability_bonus attribute_name="armour" value="2"/>
                     <unequip class="a"/><unequip class="b"/>
                   </item>
                   <item id="5" name="Second" tile="4">
                     <ability_bonus attribute_name="armour" value="5"/>
                     <unequip class="c"/>
                   </item>)");
    load_item_db();
    EXPECT_TRUE(g_db.item_types[200].name.empty());
    const ItemType& t = g_db.item_types[5];
    EXPECT_EQ(t.name, "Second");
    EXPECT_EQ(t.price, 0);
    EXPECT_EQ(t.item_class, "");
    EXPECT_EQ(t.ability_bonus[0].attribute, 2);
    EXPECT_EQ(t.ability_bonus[0].value, 5);
    // Slots the second definition does not fill keep the first one's entries.
    EXPECT_EQ(t.ability_bonus[1].attribute, 2);
    EXPECT_EQ(t.ability_bonus[1].value, 2);
    EXPECT_EQ(t.ability_bonus[2].attribute, 0);
    EXPECT_EQ(t.unequip[0], "c");
    EXPECT_EQ(t.unequip[1], "b");
    EXPECT_EQ(t.unequip[2], "");
}

TEST_F(ItemDbTest, IdMustBeOneTo254) {
    const std::string file = " in item file \"data\\items.xml\"";
    write_items(R"(<item id="254" name="Last"/><item id="1" name="First"/>)");
    load_item_db();
    EXPECT_EQ(g_db.item_types[254].name, "Last");
    EXPECT_EQ(g_db.item_types[1].name, "First");

    for (const std::string id : {"0", "abc", "-4", ""}) {
        write_items("<item name=\"x\" id=\"" + id + "\"/>");
        EXPECT_FATAL(load_item_db(), "load_item_db(): item ID too small or wring format (" + id + ")" + file);
    }
    for (const std::string id : {"255", "70000", "65537"}) {
        write_items("<item id=\"" + id + "\"/>");
        EXPECT_FATAL(load_item_db(), "load_item_db(): item ID too large (" + id + ")" + file);
    }
}

TEST_F(ItemDbTest, UnknownNamesAreFatal) {
    struct Case {
        std::string body, message;
    };
    const Case cases[] = {
        {R"(<item id="1" colour="red"/>)", "unknown attribute \"colour\" in item tag"},
        {R"(<item id="1"><ability_bonus value="1" ability="2"/></item>)",
         "unknown attribute \"ability\" in ability_bonus tag"},
        {R"(<item id="1"><unequip class="shield" slot="1"/></item>)",
         "unknown attribute \"slot\" in unequip_class tag"},
        {R"(<item id="1"><name lang="German">x</name></item>)", "unknown attribute \"lang\" in name tag"},
        {R"(<item id="1"><description language="German" x="1">x</description></item>)",
         "unknown attribute \"x\" in description tag"},
        {R"(<item id="1"><class_name kind="a">x</class_name></item>)",
         "unknown attribute \"kind\" in class_name$ tag"},
        {R"(<item id="1"><fuel_name who="a">x</fuel_name></item>)", "unknown attribute \"who\" in fuel_name tag"},
        {R"(<item id="1"><use_name language="German">x</use_name></item>)", "unknown child tag \"use_name\" in item tag"},
        {R"(<item id="1"><unequip_class class="a"/></item>)", "unknown child tag \"unequip_class\" in item tag"},
        {R"(<item id="1"/><monster id="2"/>)", "unknown tag \"monster\""},
    };
    for (const Case& c : cases) {
        write_items(c.body);
        EXPECT_FATAL(load_item_db(), "load_item_db(): " + c.message + kFileText);
    }
}

TEST_F(ItemDbTest, FileFaults) {
    EXPECT_FATAL(load_item_db(), "load_item_db(): could not open item xml file: \"data\\items.xml\"");

    const std::string broken = "<items><item id=\"1\"></items>";
    folder.write("data\\items.xml", broken);
    XmlDocument reference;
    reference.parse_text(broken);
    ASSERT_NE(reference.status(), 0);
    ASSERT_FALSE(reference.error_text().empty());
    EXPECT_FATAL(load_item_db(),
                 "load_item_db(): error in xml structure of item file \"data\\items.xml\": " + reference.error_text());
}

TEST_F(ItemDbTest, AtMostFiveBonusesCountingOnlyStoredOnes) {
    name_ability(1, "a");
    std::string five;
    for (int i = 0; i < 5; ++i) five += "<ability_bonus attribute=\"1\" value=\"" + std::to_string(i + 1) + "\"/>";
    // Value-only bonuses and bare elements take no slot.
    write_items("<item id=\"2\" name=\"x\"><ability_bonus value=\"9\"/><ability_bonus/>" + five +
                "<ability_bonus/></item>");
    load_item_db();
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(g_db.item_types[2].ability_bonus[slot].attribute, 1);
        EXPECT_EQ(g_db.item_types[2].ability_bonus[slot].value, slot + 1);
    }

    write_items("<item id=\"2\" name=\"x\">" + five + "<ability_bonus attribute_name=\"a\" value=\"6\"/></item>");
    EXPECT_FATAL(load_item_db(), "load_item_db(): too much ability boni (>5)" + kFileText);
}

TEST_F(ItemDbTest, AtMostFiveUnequipClasses) {
    const std::string five =
        R"(<unequip class="a"/><unequip class=""/><unequip/><unequip class="b"/><unequip class="c"/>)"
        R"(<unequip class="d"/><unequip class="e"/>)";
    write_items("<item id=\"3\" name=\"x\">" + five + "<unequip class=\"\"/></item>");
    load_item_db();
    const ItemType& t = g_db.item_types[3];
    EXPECT_EQ(t.unequip[0], "a");
    EXPECT_EQ(t.unequip[1], "b");
    EXPECT_EQ(t.unequip[4], "e");

    write_items("<item id=\"3\" name=\"x\">" + five + "<unequip class=\"f\"/></item>");
    EXPECT_FATAL(load_item_db(), "load_item_db(): too much unequip entries (>5) for one item" + kFileText);
}

TEST_F(ItemDbTest, BonusAbilityIdsAreStoredAsGivenWithoutALoadError) {
    // A numeric ability id is a 16-bit number like the others; it takes a slot
    // and is never looked up by name.
    write_items(R"(<item id="1" name="x">
                     <ability_bonus attribute="254" value="1"/>
                     <ability_bonus attribute="255" attribute_name="nothing" value="1"/>
                     <ability_bonus attribute="-1" value="1"/>
                     <ability_bonus attribute="65537" value="1"/>
                   </item>)");
    load_item_db();
    const ItemType& t = g_db.item_types[1];
    EXPECT_EQ(t.ability_bonus[0].attribute, 254);
    EXPECT_EQ(t.ability_bonus[1].attribute, 255);
    EXPECT_EQ(t.ability_bonus[2].attribute, -1);
    EXPECT_EQ(t.ability_bonus[3].attribute, 1);
}

TEST_F(ItemDbTest, NameResolutionPicksTheHighestMatchingAbility) {
    name_ability(3, "light_radius");
    name_ability(40, "light_radius");
    name_ability(12, "strength");
    name_ability(13, "Strength");
    write_items(R"(<item id="10" name="Torch">
                     <ability_bonus attribute_name="light_radius" value="3"/>
                     <ability_bonus attribute="12" attribute_name="light_radius" value="1"/>
                     <ability_bonus attribute_name="strength" value="1"/>
                   </item>
                   <item id="254" name="Last"><ability_bonus attribute_name="Strength" value="1"/></item>)");
    load_item_db();
    EXPECT_EQ(g_db.item_types[10].ability_bonus[0].attribute, 40);
    EXPECT_EQ(g_db.item_types[10].ability_bonus[1].attribute, 12);  // a given id stays
    EXPECT_EQ(g_db.item_types[10].ability_bonus[2].attribute, 12);  // names compare case-sensitively
    EXPECT_EQ(g_db.item_types[254].ability_bonus[0].attribute, 13);

    write_items(R"(<item id="10" name="Torch"><ability_bonus attribute_name="light radius" value="3"/></item>)");
    EXPECT_FATAL(load_item_db(), "item_db_resolve_names(): cannot find ability \"light radius\"");
}

TEST_F(ItemDbTest, ResetEmptiesTableAndLists) {
    g_db.item_types[0].name = "a";
    g_db.item_types[256].name = "b";
    g_items.inventory.add().type = 1;
    g_map.items.add().type = 2;
    reset_database();
    reset_items_state();
    reset_map_state();
    EXPECT_TRUE(g_db.item_types[0].name.empty());
    EXPECT_TRUE(g_db.item_types[256].name.empty());
    EXPECT_EQ(g_db.item_types[5].tile_equipped, -1);
    EXPECT_TRUE(g_items.inventory.empty());
    EXPECT_TRUE(g_map.items.empty());
}

}  // namespace
