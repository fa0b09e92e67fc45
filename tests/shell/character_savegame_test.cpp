// Writing and reading "savegame\character.xml".
#include <gtest/gtest.h>

#include "character/character_record.h"
#include "character/character_state.h"
#include "items/items_state.h"
#include "platform/files.h"
#include "platform/xml.h"
#include "game/character_savegame.h"
#include "support/test_game.h"
#include "common/database.h"
#include "common/raise_error.h"

namespace {

const std::string kSave = "savegame\\character.xml";
const std::string kQuotedSave = "\"savegame\\character.xml\"";

CharacterRecord& character() { return g_character_model.character; }

void define_abilities() {
    g_db.abilities[1].name = "hp";
    g_db.abilities[1].attribute_start_value = 20;
    g_db.abilities[2].name = "strength";
    g_db.abilities[2].attribute_start_value = 3;
    g_db.abilities[254].name = "last";
    g_db.abilities[100].attribute_start_value = 9;  // no name: never written
}

void write_save(const TempGameFolder& game, const std::string& root_attributes, const std::string& children = "") {
    game.write(kSave, "<?xml version=\"1.0\"?>\n<character Umbrane_version=\"0.1.0\" " + root_attributes + ">" +
                          children + "</character>\n");
}

const XmlElement* find_child(const XmlElement* root, const std::string& tag, const std::string& id) {
    for (const auto& child : root->children) {
        const std::string* child_id = child->attribute("id");
        if (child->name == tag && child_id && *child_id == id) return child.get();
    }
    return nullptr;
}

TEST(CharacterSavegame, RoundTripOfEveryField) {
    TempGameFolder game;
    define_abilities();
    g_db.item_types[3].name = "torch";
    g_db.item_types[3].fuel = 200;
    g_db.item_types[4].name = "sword";
    reset_character();
    CharacterRecord& c = character();
    c.name = "Alrik & <Sons> \"the bold\"";
    c.x = 49;
    c.y = 17;
    c.facing = 3;
    c.frame = 1;
    c.map_file_name = "level_2.xml";
    c.inventory_cursor_x = 4;
    c.inventory_cursor_y = -2;
    c.abilities[2] = AbilityState{1, 7, -5, 2, 3, "Battle rage", 7, 4, true, -6, 130};
    c.cooldown[1] = 5;
    c.cooldown[254] = 32767;
    c.cooldown[9] = -3;  // not above 0: not written
    c.death_text = "not saved";
    InventoryEntry& torch = g_items.inventory.append();
    torch = InventoryEntry{3, 1, 150, 1, 0, 0};
    InventoryEntry& sword = g_items.inventory.append();
    sword = InventoryEntry{4, 2, 77, 0, 1, 3};
    save_character(c, kSave);
    // Every attribute of the ability state, in the order of its fields.
    XmlDocument document;
    ASSERT_TRUE(document.load(kSave));
    const XmlElement* written = find_child(document.root(), "ability", "2");
    ASSERT_NE(written, nullptr);
    std::vector<std::string> order;
    for (const auto& attribute : written->attributes) order.push_back(attribute.first);
    EXPECT_EQ(order, (std::vector<std::string>{"id", "ability_value", "attribute_max_value", "attribute_current_value",
                                               "power_adjustment", "adjustment_duration", "adjustment_name",
                                               "adjustment_power_id", "item_bonus", "activated", "adjustment_other",
                                               "adjustment_percentage"}));

    CharacterRecord before = c;
    reset_character();
    c.name = "someone else";
    load_character(c, kSave);
    EXPECT_EQ(c.name, before.name);
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.facing, c.frame, c.inventory_cursor_x, c.inventory_cursor_y}),
              (std::vector<int>{49, 17, 3, 1, 4, -2}));
    EXPECT_EQ(c.map_file_name, "level_2.xml");
    const AbilityState& s = c.abilities[2];
    EXPECT_EQ((std::vector<int>{s.ability_value, s.attribute_max_value, s.attribute_current_value, s.power_adjustment,
                                s.adjustment_duration, s.adjustment_power_id, s.item_bonus, s.activated,
                                s.adjustment_other, s.adjustment_percentage}),
              (std::vector<int>{1, 7, -5, 2, 3, 7, 4, 1, -6, 130}));
    EXPECT_EQ(s.adjustment_name, "Battle rage");
    EXPECT_EQ(c.abilities[1].attribute_current_value, 20);
    for (int i = 0; i < kCooldownCount; ++i) EXPECT_EQ(c.cooldown[i], i == 9 ? 0 : before.cooldown[i]) << i;
    EXPECT_EQ(c.death_text, "");
    ASSERT_EQ(g_items.inventory.count(), 2);
    // The sword's type burns no fuel, so its fuel was not written.
    std::vector<std::vector<int>> items;
    for (const InventoryEntry& e : g_items.inventory)
        items.push_back({e.type, e.amount, e.fuel, e.equipped, e.selected, e.magic_bonus});
    EXPECT_EQ(items, (std::vector<std::vector<int>>{{3, 1, 150, 1, 0, 0}, {4, 2, 0, 0, 1, 3}}));
}

TEST(CharacterSavegame, DefaultsAreLeftOut) {
    TempGameFolder game;
    define_abilities();
    g_db.item_types[3].fuel = 10;
    reset_character();
    CharacterRecord& c = character();
    c.abilities[2] = AbilityState{};  // all zero, percentage 100
    c.abilities[100].attribute_current_value = 5;
    c.cooldown[4] = 2;
    g_items.inventory.append() = InventoryEntry{3, 1, 0, 0, 0, -4};
    save_character(c, kSave);

    XmlDocument document;
    ASSERT_TRUE(document.load(kSave));
    const XmlElement* root = document.root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, "character");
    std::vector<std::string> names;
    for (const auto& attribute : root->attributes) names.push_back(attribute.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Umbrane_version", "name", "xpos", "ypos", "facing", "frame",
                                               "map_filename", "inventory_cursor_x", "inventory_cursor_y"}));
    EXPECT_EQ(*root->attribute("Umbrane_version"), "0.1.0");
    EXPECT_EQ(*root->attribute("map_filename"), "map_start.xml");
    // Children: abilities in id order (named ones only), then powers, then items.
    std::vector<std::string> children;
    for (const auto& child : root->children) children.push_back(child->name + *child->attribute(child->name == "item" ? "type" : "id"));
    EXPECT_EQ(children, (std::vector<std::string>{"ability1", "ability2", "ability254", "power4", "item3"}));
    const XmlElement* hp = find_child(root, "ability", "1");
    ASSERT_NE(hp, nullptr);
    EXPECT_EQ(hp->attributes.size(), 3u);
    EXPECT_EQ(*hp->attribute("attribute_max_value"), "20");
    EXPECT_EQ(*hp->attribute("attribute_current_value"), "20");
    const XmlElement* zero = find_child(root, "ability", "2");
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->attributes.size(), 1u);
    const XmlElement* item = root->children.back().get();
    // A burning type writes its fuel even at 0; a negative magic bonus is left out.
    std::vector<std::string> item_names;
    for (const auto& attribute : item->attributes) item_names.push_back(attribute.first);
    EXPECT_EQ(item_names, (std::vector<std::string>{"type", "amount", "fuel"}));

    // Reading an ability written with its id alone gives exactly that (not the start values).
    load_character(c, kSave);
    EXPECT_EQ(c.abilities[2].attribute_max_value, 0);
    EXPECT_EQ(c.abilities[2].attribute_current_value, 0);
    EXPECT_EQ(c.abilities[2].adjustment_percentage, 100);
    EXPECT_EQ(c.abilities[100].attribute_current_value, 9);  // not in the file: reset state
    EXPECT_EQ(g_items.inventory.begin()->magic_bonus, 0);
}

TEST(CharacterSavegame, ReaderAcceptsWhatTheGameWrites) {
    TempGameFolder game;
    define_abilities();
    character().abilities[1].attribute_current_value = 3;
    g_items.inventory.append().type = 5;
    write_save(game, R"(name="Bo" xpos="0" ypos="49" facing="0" frame="0" map_filename="maps\sub/level_9.xml"
                        inventory_cursor_x="1" inventory_cursor_y="2")",
               R"(<ability attribute_current_value="99"/>
                  <ability id="2" activated="Yes" adjustment_percentage="0"/><ability id="65790" item_bonus="4"/>
                  <power id="3" cooldown="4" duration="7"/><power id="0" cooldown="9"/><power id="255" cooldown="9"/>
                  <power id="65541" cooldown="6"/>
                  <item type="0" amount="5"/><item type="255" amount="1"/><item type="7"/>)");
    load_character(character(), kSave);
    const CharacterRecord& c = character();
    EXPECT_EQ(c.map_file_name, "level_9.xml");
    EXPECT_EQ(c.y, 49);
    // The reset came first; an ability element without id is ignored.
    EXPECT_EQ(c.abilities[1].attribute_current_value, 20);
    EXPECT_FALSE(c.abilities[2].activated);  // only exactly "yes"
    EXPECT_EQ(c.abilities[2].adjustment_percentage, 0);
    EXPECT_EQ(c.cooldown[3], 4);
    EXPECT_EQ(c.cooldown[0], 0);
    // Ids are 16 bits wide: 65790 is ability 254, 65541 power 5.
    EXPECT_EQ(c.abilities[254].item_bonus, 4);
    EXPECT_EQ(c.cooldown[5], 6);
    ASSERT_EQ(g_items.inventory.count(), 1);
    EXPECT_EQ(g_items.inventory.begin()->type, 7);
    EXPECT_EQ(g_items.inventory.begin()->amount, 0);

    // Missing attributes keep the new-game values.
    write_save(game, "");
    load_character(character(), kSave);
    EXPECT_EQ(c.x, 2);
    EXPECT_EQ(c.y, 4);
    EXPECT_EQ(c.map_file_name, "map_start.xml");
    EXPECT_TRUE(g_items.inventory.empty());
}

TEST(CharacterSavegame, ReaderChecks) {
    TempGameFolder game;
    define_abilities();
    EXPECT_FATAL(load_character(character(), kSave),
                 "load_character(): could not open character xml file: " + kQuotedSave);
    game.write(kSave, "<character><ability id=\"1\"></character>");
    try {
        load_character(character(), kSave);
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& e) {
        std::string start = "load_character(): error in xml structure of character file " + kQuotedSave + ": ";
        EXPECT_EQ(std::string(e.what()).substr(0, start.size()), start);
    }
    struct Case {
        std::string root, children, message;
    };
    const std::string in_file = " in character file " + kQuotedSave;
    const Case cases[] = {
        {"xpos=\"50\"", "", "load_character(): wrong xpos attribute \"50\"" + in_file},
        {"xpos=\"-1\"", "", "load_character(): wrong xpos attribute \"-1\"" + in_file},
        {"ypos=\"x\"", "", "load_character(): wrong ypos attribute \"x\"" + in_file},
        {"ypos=\"7 \"", "", "load_character(): wrong ypos attribute \"7 \"" + in_file},
        {"ypos=\"$1f\"", "", ""},  // hexadecimal, as every number may be
        {"", "<item type=\"1\" amount=\"lots\"/>",
         "load_character(): wrong amount attribute \"lots\" in item tag" + in_file},
        {"", "<ability id=\"1\" ability_value=\"\"/>",
         "load_character(): wrong ability_value attribute \"\" in ability tag" + in_file},
        {"ypos=\"300\"", "", "load_character(): wrong ypos attribute \"300\"" + in_file},
        {"facing=\"4\"", "", "load_character(): wrong facing attribute \"4\"" + in_file},
        {"frame=\"2\"", "", "load_character(): wrong frame attribute \"2\"" + in_file},
        {"frame=\"-1\"", "", "load_character(): wrong frame attribute \"-1\"" + in_file},
        {"level=\"3\"", "", "load_character(): unknown attribute \"level\" in root node in file " + kQuotedSave},
        {"", "<ability id=\"0\"/>",
         "load_character(): wrong id attribute \"0\" in ability tag in file " + kQuotedSave},
        {"", "<ability id=\"255\"/>",
         "load_character(): wrong id attribute \"255\" in ability tag in file " + kQuotedSave},
        {"", "<ability id=\"1\" bonus=\"1\"/>",
         "load_character(): unknown attribute \"bonus\" in ability tag in file " + kQuotedSave},
        {"", "<power id=\"1\" turns=\"1\"/>",
         "load_character(): unknown attribute \"turns\" in power_cooldown tag in character xml file " + kQuotedSave},
        {"", "<item type=\"1\" weight=\"1\"/>",
         "load_character(): unknown attribute \"weight\" in item tag in character xml file " + kQuotedSave},
        {"", "<monster/>", "load_character(): unknown tag \"monster\" in file " + kQuotedSave},
    };
    for (const Case& test : cases) {
        write_save(game, test.root, test.children);
        if (test.message.empty()) {
            load_character(character(), kSave);
            EXPECT_EQ(character().y, 31);
        } else {
            EXPECT_FATAL(load_character(character(), kSave), test.message);
        }
    }
    // A file of another kind is no character.
    game.write(kSave, "<foo/>");
    EXPECT_FATAL(load_character(character(), kSave),
                 "load_character(): the root element of character file " + kQuotedSave + " is <foo>, not <character>");
}

TEST(CharacterSavegame, SaveFailure) {
    TempGameFolder game;
    // A folder where the file should be: the file cannot be written.
    game.write("savegame\\character.xml\\blocker", "x");
    EXPECT_FATAL(save_character(character(), kSave),
                 "save_character(): could not save character data to file " + kQuotedSave);
}

}  // namespace
