// Loading tile sheets and tile type definition files.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "character/character_state.h"
#include "map/map_state.h"
#include "map/map_test_support.h"
#include "map/tileset.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "platform/xml.h"
#include "support/attribute_cases.h"
#include "common/common_state.h"
#include "common/database.h"

namespace {

Tileset& prepared_tileset(const std::string& image, const std::string& definition) {
    Tileset& ts = g_map.map.tileset;
    ts.image_filename = image;
    ts.definition_filename = definition;
    return ts;
}

TEST(Tileset, SheetSizeAndImageMessages) {
    TempGameFolder game;
    write_png(game, "tilesets\\sheet.png", 100, 70);
    game.write("tilesets\\defs.xml", "<tiles><tile_type id=\"1\" name=\"floor\"/></tiles>");
    Tileset& ts = prepared_tileset("some\\folder/sheet.png", "defs.xml");
    load_tileset(ts);
    EXPECT_EQ(ts.tiles_wide, 3);
    EXPECT_EQ(ts.tiles_high, 2);
    EXPECT_EQ(ts.sprite_loaded, 1);
    EXPECT_TRUE(sprite_exists(ts.sprite));
    EXPECT_EQ(ts.tile_types[1].name, "floor");

    // After a screen-mode switch only the sheet is loaded again; the tile types stay.
    ts.tile_types[1].name = "kept";
    int old_sprite = ts.sprite;
    load_tileset(ts, 1, 0);
    EXPECT_EQ(ts.tile_types[1].name, "kept");
    EXPECT_TRUE(sprite_exists(ts.sprite));
    if (ts.sprite != old_sprite) {
        EXPECT_FALSE(sprite_exists(old_sprite));
    }

    int sprite = ts.sprite;
    reset_tileset(ts);
    EXPECT_FALSE(sprite_exists(sprite));
    EXPECT_EQ(ts.sprite_loaded, 0);
    EXPECT_EQ(ts.tiles_wide, 0);
    EXPECT_EQ(ts.image_filename, "");
    EXPECT_EQ(ts.tile_types[1].name, "");

    ts.image_filename = "maps\\missing.png";
    ts.definition_filename = "defs.xml";
    EXPECT_FATAL(load_tileset(ts), "load_tileset: cannot find tileset image file \"tiles\\missing.png\"");
    std::filesystem::create_directories(host_path("tilesets\\folder.png"));
    ts.image_filename = "folder.png";
    EXPECT_FATAL(load_tileset(ts), "load_tileset: cannot find tileset image file \"tiles\\folder.png\"");
    // A file that is there but holds no whole picture ends the game, named in its real folder.
    for (const std::string& content : {std::string(), std::string("garbage, no picture")}) {
        game.write("tilesets\\broken.png", content);
        ts.image_filename = "broken.png";
        EXPECT_FATAL(load_tileset(ts), "load_tileset: cannot read the picture of tileset image file \"tilesets\\broken.png\"");
    }
}

TEST(Tileset, DefinitionFileMessages) {
    TempGameFolder game;
    Tileset& ts = prepared_tileset("x.png", "sub\\defs.xml");
    EXPECT_FATAL(load_tile_type_definition(ts),
                 "load_tile_type_defition(): could not find tile type definition xml file: \"sub\\defs.xml\"");
    game.write("tilesets\\defs.xml", "");
    EXPECT_FATAL(load_tile_type_definition(ts),
                 "load_tile_type_defition(): could not find tile type definition xml file: \"sub\\defs.xml\"");

    const std::string broken = "<tiles>\n<tile_type id=\"1\">\n</tiles>";
    game.write("tilesets\\defs.xml", broken);
    XmlDocument parsed;
    parsed.parse_text(broken);
    ASSERT_NE(parsed.status(), 0);
    EXPECT_FATAL(load_tile_type_definition(ts),
                 "load_tile_type_defition(): error in xml structure of map file \"defs.xml\": " + parsed.error_text());

    auto fails_with = [&](const std::string& content, const std::string& message) {
        game.write("tilesets\\defs.xml", content);
        EXPECT_FATAL(load_tile_type_definition(ts), message);
    };
    fails_with("<tiles filename=\"a\" Umbrane_version=\"0.1.0\" author=\"me\"/>",
               "load_tile_type_defition(): unknown attribute \"author\" in tileset definition file \"sub\\defs.xml\"");
    fails_with("<tiles><tile id=\"1\"/></tiles>",
               "load_tile_type_definition(): unknown tag \"tile\" in file sub\\defs.xml\"");
    fails_with("<tiles><tile_type id=\"1\" colour=\"red\"/></tiles>",
               "load_tile_type_definition(): unknown attribute \"colour\" for tile_type tag in file \"sub\\defs.xml\"");
    fails_with("<tiles><tile_type id=\"1\"><name lang=\"German\">x</name></tile_type></tiles>",
               "load_tile_type_definition(): unknown attribute \"lang\" in name tag in tileset xml file "
               "\"sub\\defs.xml\"");
    fails_with("<tiles><tile_type id=\"1\"><message colour=\"1\">x</message></tile_type></tiles>",
               "load_tile_type_definition(): unknown attribute \"colour\" in message tag in tileset xml file "
               "\"sub\\defs.xml\"");
    fails_with("<tiles><tile_type id=\"1\"><detection_message x=\"1\">x</detection_message></tile_type></tiles>",
               "load_tile_type_definition(): unknown attribute \"x\" in detection_message tag in tileset xml file "
               "\"sub\\defs.xml\"");
    fails_with("<tiles><tile_type id=\"1\"><modify_attribute attribute=\"1\" value=\"2\"/></tile_type></tiles>",
               "load_tile_type_definition(): unknown attribute \"value\" in modify_attribute tag in tileset xml "
               "file \"sub\\defs.xml\"");
    fails_with("<tiles><tile_type id=\"1\"><sound>x</sound></tile_type></tiles>",
               "load_tile_type_definition(): unknown tag \"sound\" in tileset xml file sub\\defs.xml\"");
    const std::string slot = "<modify_attribute attribute=\"2\" amount=\"-3\"/>";
    fails_with("<tiles><tile_type id=\"1\">" + slot + slot + slot + slot + "</tile_type></tiles>",
               "load_tile_type_definition(): too much modify_attribute tags for one tile type in tileset xml file "
               "\"sub\\defs.xml\"");
    // An unknown attribute is reported even on a tile_type without id.
    fails_with("<tiles><tile_type colour=\"red\"/></tiles>",
               "load_tile_type_definition(): unknown attribute \"colour\" for tile_type tag in file \"sub\\defs.xml\"");
}

TEST(Tileset, EntriesFlagsLanguagesAndSlots) {
    TempGameFolder game;
    g_common.preferences.language = "German";
    game.write("tilesets\\defs.xml", R"(<tiles filename="defs.xml" Umbrane_version="0.1.0">
  <tile_type id="10" name="door" solid="yes" blocks_flight="yes" transparent="yes" message="Ouch"
      remove_after_entering="yes" sound="door" transforms_into="11" class="door|wood" container="3"
      hidden="yes" detection_message="found" detection_sound="trap" animation_enter="sparkle">
    <name language="German">Tuer</name>
    <name language="French">porte</name>
    <name>ignored</name>
    <message language="German">Autsch</message>
    <detection_message language="English">found it</detection_message>
    <modify_attribute attribute="2" amount="-5" amount_randomized="yes" amount_reduced_by_ability="7"
        amount_reduced_by_ability_name="armour" replenish="yes" trigger_hidden="yes" turn_ends="yes"/>
    <modify_attribute attribute="2" amount="-5" amount_randomized="yes" amount_reduced_by_ability="7"
        amount_reduced_by_ability_name="armour" replenish="yes" trigger_hidden="yes" turn_ends="yes"/>
    <modify_attribute amount="4" turn_ends="yes"/>
    <modify_attribute attribute_name="mana" amount="4"/>
    <modify_attribute amount="9"/>
  </tile_type>
  <tile_type id="12" solid="no" blocks_flight="YES" transparent="1" container="300"/>
  <tile_type name="no id" solid="yes"><modify_attribute attribute="3" amount="1"/><bogus/></tile_type>
  <tile_type id="500" name="too far"><modify_attribute attribute="3" amount="1"/></tile_type>
  <tile_type id="-1" name="too low"/>
  <tile_type id="499" name="last"/>
</tiles>)");
    Tileset& ts = prepared_tileset("x.png", "defs.xml");
    ts.tile_types[0].name = "stale";  // loading starts from empty entries
    load_tile_type_definition(ts);

    EXPECT_EQ(ts.tile_types[0].name, "");
    const TileType& door = ts.tile_types[10];
    EXPECT_EQ(door.name, "Tuer");
    EXPECT_EQ(door.solid, 1);
    EXPECT_EQ(door.blocks_flight, 1);
    EXPECT_EQ(door.transparent, 1);
    EXPECT_EQ(door.message, "Autsch");
    EXPECT_EQ(door.remove_after_entering, 1);
    EXPECT_EQ(door.sound, "door");
    EXPECT_EQ(door.transforms_into, 11);
    EXPECT_EQ(door.cls, "door|wood");
    EXPECT_EQ(door.container, 3);
    EXPECT_EQ(door.hidden, 1);
    EXPECT_EQ(door.detection_message, "found");
    EXPECT_EQ(door.detection_sound, "trap");
    EXPECT_EQ(door.animation_enter, "sparkle");
    for (int k = 0; k < 2; ++k) {
        const TileModifyAttribute& s = door.modify_attribute[k];
        EXPECT_EQ(s.attribute, 2);
        EXPECT_EQ(s.amount, -5);
        EXPECT_EQ(s.amount_randomized, 1);
        EXPECT_EQ(s.amount_reduced_by_ability, 0);  // the number is not used, only the name
        EXPECT_EQ(s.amount_reduced_by_ability_name, "armour");
        EXPECT_EQ(s.replenish, 1);
        EXPECT_EQ(s.trigger_hidden, 1);
        EXPECT_EQ(s.turn_ends, 1);
    }
    // The slot with neither id nor name was ignored; the named one took slot 2; the last one was ignored too.
    EXPECT_EQ(door.modify_attribute[2].attribute_name, "mana");
    EXPECT_EQ(door.modify_attribute[2].amount, 4);
    EXPECT_EQ(door.modify_attribute[2].turn_ends, 0);

    const TileType& other = ts.tile_types[12];
    EXPECT_EQ(other.solid, 0);
    EXPECT_EQ(other.blocks_flight, 0);
    EXPECT_EQ(other.transparent, 0);
    EXPECT_EQ(other.container, 44);  // 8 bits kept
    EXPECT_EQ(ts.tile_types[499].name, "last");
    for (int id = 0; id < kTileTypeCount; ++id) {
        EXPECT_NE(ts.tile_types[id].name, "no id");
        EXPECT_NE(ts.tile_types[id].name, "too far");
        if (id != 10) {
            EXPECT_EQ(ts.tile_types[id].modify_attribute[0].attribute, 0) << id;
        }
    }
}

TEST(Tileset, EveryAttributeFillsItsFieldInItsWidth) {
    TempGameFolder game;
    Tileset& ts = prepared_tileset("x.png", "defs.xml");
    auto load = [&](const std::string& tile_type) -> const TileType& {
        game.write("tilesets\\defs.xml", "<tiles>" + tile_type + "</tiles>");
        load_tile_type_definition(ts);
        return ts.tile_types[1];
    };
    const std::vector<AttributeCase<TileType>> tile_type_cases = {
        {"name", Stored::text, field_of(&TileType::name)},
        {"solid", Stored::flag, field_of(&TileType::solid)},
        {"blocks_flight", Stored::flag, field_of(&TileType::blocks_flight)},
        {"transparent", Stored::flag, field_of(&TileType::transparent)},
        {"message", Stored::text, field_of(&TileType::message)},
        {"remove_after_entering", Stored::flag, field_of(&TileType::remove_after_entering)},
        {"sound", Stored::text, field_of(&TileType::sound)},
        {"transforms_into", Stored::int16, field_of(&TileType::transforms_into)},
        {"class", Stored::text, field_of(&TileType::cls)},
        {"container", Stored::int8, field_of(&TileType::container)},
        {"hidden", Stored::flag, field_of(&TileType::hidden)},
        {"detection_message", Stored::text, field_of(&TileType::detection_message)},
        {"detection_sound", Stored::text, field_of(&TileType::detection_sound)},
        {"animation_enter", Stored::text, field_of(&TileType::animation_enter)},
    };
    check_attribute_cases<TileType>(tile_type_cases, "tile_type", load);

    // A modify_attribute element fills a slot only with an ability id or name:
    // each case gets the one it does not test (the id 3, or a name no ability has).
    const std::vector<AttributeCase<TileModifyAttribute>> slot_cases = {
        {"attribute", Stored::int16, field_of(&TileModifyAttribute::attribute)},
        {"attribute_name", Stored::text, field_of(&TileModifyAttribute::attribute_name)},
        {"amount", Stored::int16, field_of(&TileModifyAttribute::amount)},
        {"amount_randomized", Stored::flag, field_of(&TileModifyAttribute::amount_randomized)},
        {"amount_reduced_by_ability_name", Stored::text,
         field_of(&TileModifyAttribute::amount_reduced_by_ability_name)},
        {"replenish", Stored::flag, field_of(&TileModifyAttribute::replenish)},
        {"trigger_hidden", Stored::flag, field_of(&TileModifyAttribute::trigger_hidden)},
        {"turn_ends", Stored::flag, field_of(&TileModifyAttribute::turn_ends)},
    };
    check_attribute_cases<TileModifyAttribute>(
        slot_cases, "modify_attribute", [&](const std::string& element) -> const TileModifyAttribute& {
            const bool named = element.find("attribute_name=") != std::string::npos;
            const std::string other = named ? "attribute=\"3\"" : "attribute_name=\"nameless\"";
            const std::string slot = replace_all(element, "id=\"1\"", other);
            return load("<tile_type id=\"1\">" + slot + "</tile_type>").modify_attribute[0];
        });
}

TEST(Tileset, EnglishTextsAndSlotsPerElement) {
    TempGameFolder game;
    // A second tile_type element with the same id refills the slots from slot 0.
    game.write("tilesets\\defs.xml", R"(<tiles>
  <tile_type id="4" name="pool" message="Refreshing"><name language="German">Teich</name>
    <modify_attribute attribute="1" amount="1"/><modify_attribute attribute="2" amount="2"/>
    <modify_attribute attribute="3" amount="3"/></tile_type>
  <tile_type id="4" name="pool"><modify_attribute attribute="7" amount="7"/>
    <modify_attribute attribute="8" amount="8"/><modify_attribute attribute="9" amount="9"/></tile_type>
</tiles>)");
    Tileset& ts = prepared_tileset("x.png", "defs.xml");
    load_tile_type_definition(ts);
    const TileType& pool = ts.tile_types[4];
    EXPECT_EQ(pool.name, "pool");
    EXPECT_EQ(pool.message, "");  // the second element's attributes replace the first's
    EXPECT_EQ(pool.modify_attribute[0].attribute, 7);
    EXPECT_EQ(pool.modify_attribute[2].amount, 9);
}

TEST(Tileset, AbilityNamesResolveToIds) {
    TempGameFolder game;
    g_db.abilities[1].name = "hit_points";
    g_db.abilities[5].name = "armour";
    g_db.abilities[9].name = "armour";  // the later id wins
    game.write("tilesets\\defs.xml", R"(<tiles>
  <tile_type id="18" name="lava">
    <modify_attribute attribute="3" attribute_name="hit_points" amount="-4"
        amount_reduced_by_ability_name="armour"/>
    <modify_attribute attribute="6" attribute_name="no_such_ability" amount="1"/>
    <modify_attribute attribute="7" amount="2"/>
  </tile_type>
</tiles>)");
    Tileset& ts = prepared_tileset("x.png", "defs.xml");
    load_tile_type_definition(ts);
    const TileType& lava = ts.tile_types[18];
    EXPECT_EQ(lava.modify_attribute[0].attribute, 1);
    EXPECT_EQ(lava.modify_attribute[0].amount_reduced_by_ability, 9);
    EXPECT_EQ(lava.modify_attribute[1].attribute, 6);  // unmatched names keep the number
    EXPECT_EQ(lava.modify_attribute[2].attribute, 7);  // no name: the free ability ids do not match it
    EXPECT_EQ(lava.modify_attribute[2].amount_reduced_by_ability, 0);
}

}  // namespace
