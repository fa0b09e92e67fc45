// The tools for the people who make games: the format reference and the
// schemas kept in docs/ are the program's output, every shipped file and every
// file the game writes follows its schema (xmllint), and the pictures of a map
// and of a level show the fields with their signs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "character/abilities_db.h"
#include "character/character_state.h"
#include "character/character_record.h"
#include "common/common_state.h"
#include "presentation/view.h"
#include "items/inventory.h"
#include "items/item_db.h"
#include "map/level_creation.h"
#include "map/map_file.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "monsters/monster_db.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "powers/power_db.h"
#include "authoring/author_tools.h"
#include "authoring/content_check.h"
#include "common/database.h"
#include "game/character_savegame.h"
#include "presentation/display.h"
#include "authoring/format_reference.h"
#include "common/message_list.h"
#include "common/preferences.h"
#include "support/test_game.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = UMBRANE_SOURCE_DIR;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// xmllint's verdict on the files; empty when they all follow the schema.
std::string schema_faults(const std::string& schema, const std::vector<fs::path>& files) {
    std::string command = "xmllint --noout --schema '" + (kSource / "docs" / "schema" / (schema + ".xsd")).string() + "'";
    for (const fs::path& file : files) command += " '" + file.string() + "'";
    command += " 2>&1";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        if (pclose(pipe) == 0) return "";
    }
    return out.empty() ? "xmllint did not run" : out;
}

// Runs one of the tools with the arguments; returns its exit status.
int run_tool(std::vector<std::string> args) {
    args.insert(args.begin(), "umbrane");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    int status = -1;
    EXPECT_TRUE(run_author_tool(static_cast<int>(argv.size()), argv.data(), status));
    media_init(BackendKind::headless);  // the tool closes the media layer it opened
    return status;
}

}  // namespace

// docs/formats.md and docs/schema/*.xsd are what the program prints: after a
// change of a table, scripts/formats.sh makes them again.
TEST(FormatReference, DocsAreTheProgramsOutput) {
    EXPECT_EQ(read_text(kSource / "docs" / "formats.md"), formats_reference())
        << "docs/formats.md is stale: run scripts/formats.sh";
    std::set<std::string> schemas;
    for (const XmlFileFormat* format : file_formats()) {
        schemas.insert(format->name + ".xsd");
        EXPECT_EQ(read_text(kSource / "docs" / "schema" / (format->name + ".xsd")), format_schema(*format))
            << "docs/schema/" << format->name << ".xsd is stale: run scripts/formats.sh";
    }
    for (const auto& entry : fs::directory_iterator(kSource / "docs" / "schema"))
        EXPECT_TRUE(schemas.count(entry.path().filename().string())) << entry.path() << " is no format's schema";
}

// The reference names every element a reader takes, with every attribute of its table.
TEST(FormatReference, DescribesEveryElementOnce) {
    for (const XmlFileFormat* format : file_formats()) {
        SCOPED_TRACE(format->name);
        std::set<std::string> names;
        for (const XmlElementFormat& element : format->elements) {
            EXPECT_TRUE(names.insert(element.name).second) << element.name << " twice";
            for (const std::string& child : element.children)
                EXPECT_NE(format->element(child), nullptr) << element.name << " holds an undescribed " << child;
        }
    }
    // A field of the map names the tile it shows and, as a portal, a map file; it is written with its position.
    const XmlAttributeFormat* portal = map_file_format().attribute("field", "portal_mapfile");
    ASSERT_NE(portal, nullptr);
    EXPECT_STREQ(portal->names, "a map file");
    EXPECT_EQ(portal->written, "when the field is a portal");
    EXPECT_STREQ(map_file_format().element("field")->text_names, "a tile type of the map's tileset");
    const XmlAttributeFormat* x = map_file_format().attribute("field", "x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->default_text, "-1");
    EXPECT_EQ(x->written, "always");
    EXPECT_TRUE(abilities_file_format().attribute("ability", "depletable")->written.empty());
}

TEST(FormatReference, ShippedAndWrittenFilesFollowTheirSchemas) {
    ASSERT_EQ(std::system("xmllint --version >/dev/null 2>&1"), 0)
        << "xmllint is missing: scripts/install-deps.sh installs libxml2-utils";
    const fs::path game = kSource / "game";
    const std::pair<const char*, std::vector<fs::path>> shipped[] = {
        {"preferences", {game / "config" / "preferences.xml"}},
        {"messages", {game / "data" / "messages.xml"}},
        {"abilities", {game / "data" / "abilities.xml"}},
        {"monster", {game / "data" / "monster.xml"}},
        {"powers", {game / "data" / "powers.xml"}},
        {"items", {game / "data" / "items.xml"}},
        {"tileset", {game / "tilesets" / "tiles_standard.xml"}},
        {"map", {game / "maps" / "map_start.xml", game / "maps" / "map_crypt.xml"}},
    };
    for (const auto& [schema, files] : shipped) EXPECT_EQ(schema_faults(schema, files), "") << schema;

    // What the game writes: the preferences, a character in the middle of a
    // game, a map with what happened on it, a generated level.
    TempGameFolder folder;
    folder.copy_all_shipped();
    load_preferences(g_common.preferences, "config\\preferences.xml");
    load_message_list("data\\messages.xml");
    load_abilities_db();
    load_monster_db("data\\monster.xml");
    load_power_db();
    load_item_db();
    save_preferences(g_common.preferences, "savegame\\preferences.xml");
    CharacterRecord& character = g_character_model.character;
    reset_character();
    give_starting_equipment();
    character.cooldown[2] = 3;
    character.abilities[1].activated = 1;
    character.abilities[1].adjustment_name = "Shield";
    save_character(character, "savegame\\character.xml");
    load_map(g_map.map, "maps\\map_start.xml", 1);
    g_map.events.begin()->triggered = 1;
    g_map.monsters.begin()->status = "slowed";
    save_map(g_map.map, "savegame\\map_start.xml");
    seed_random(3);
    DungeonRecord level = *g_map.level_exits.begin();
    level.entrance_to_level = level.number_of_levels;
    create_level(g_map.map, level);
    const fs::path saved = fs::path(folder.path()) / "savegame";
    EXPECT_EQ(schema_faults("preferences", {saved / "preferences.xml"}), "");
    EXPECT_EQ(schema_faults("character", {saved / "character.xml"}), "");
    EXPECT_EQ(schema_faults("map", {saved / "map_start.xml", saved / level_file_name(level)}), "");
}

// The picture of a map: every field lit from the tile sheet, the portal and
// the level exit framed, a hidden field and a field with an event marked; the
// picture of a level shows the way up framed as a portal at 1, 1.
TEST(MapPictures, ShowEveryFieldWithItsSigns) {
    TempGameFolder folder;
    folder.copy_all_shipped();
    const fs::path out = fs::path(folder.path()) / "start.png";
    ASSERT_EQ(run_tool({"--render-map", (fs::path(folder.path()) / "maps" / "map_start.xml").string(), out.string()}),
              0);
    ASSERT_TRUE(sprite_load(50, out.string()));
    ASSERT_EQ(sprite_width(50), MAP_PICTURE_PIXELS);
    ASSERT_EQ(sprite_height(50), MAP_PICTURE_PIXELS);
    const Colour cyan = RGB(0, 220, 255), yellow = RGB(255, 230, 0);
    EXPECT_EQ(sprite_pixel(50, 26 * 32, 4 * 32 + 16), cyan);      // the portal to the crypt at 26, 4
    EXPECT_EQ(sprite_pixel(50, 12 * 32 + 31, 20 * 32), yellow);   // the Old Cave at 12, 20
    EXPECT_EQ(sprite_pixel(50, 8 * 32 + 3, 3 * 32 + 28), RGB(255, 140, 0));  // the hidden trap at 8, 3
    EXPECT_EQ(sprite_pixel(50, 21 * 32 + 28, 6 * 32 + 3), RGB(255, 0, 255));  // the lever's event at 21, 6
    // A plain field shows its tile as the sheet holds it: no light, no darkness.
    ASSERT_TRUE(sprite_load(51, "tilesets\\tiles_standard.png"));
    load_map(g_map.map, "maps\\map_start.xml", 0);
    const int tile = g_map.map.fields[40][40].tile_type;
    for (int y = 0; y < 32; y += 7)
        for (int x = 0; x < 32; x += 7)
            EXPECT_EQ(sprite_pixel(50, 40 * 32 + x, 40 * 32 + y),
                      sprite_pixel(51, (tile % 20) * 32 + x, (tile / 20) * 32 + y));

    const fs::path level = fs::path(folder.path()) / "level.png";
    ASSERT_EQ(run_tool({"--render-level", (fs::path(folder.path()) / "maps" / "map_start.xml").string(), "12", "20",
                        "2", "7", level.string()}),
              0);
    ASSERT_TRUE(sprite_load(52, level.string()));
    EXPECT_EQ(sprite_pixel(52, 32, 32 + 16), cyan);
    // Nothing of the level stays in the game folder.
    EXPECT_FALSE(fs::exists(fs::path(folder.path()) / "savegame" / "old_cave_2.xml"));
    // No picture of what the dungeon does not have: a level above or below its
    // levels 1..5, a field that is no dungeon's, or arguments that are no numbers.
    const std::vector<std::vector<std::string>> refused = {
        {"1", "1", "2", "7"}, {"12", "20", "0", "7"}, {"12", "20", "6", "7"}, {"12", "20", "-1", "7"},
        {"12", "20", "two", "7"}, {"12x", "20", "2", "7"}, {"12", "20", "2", "seven"},
    };
    for (const std::vector<std::string>& args : refused) {
        fs::remove(level);
        EXPECT_EQ(run_tool({"--render-level", (fs::path(folder.path()) / "maps" / "map_start.xml").string(), args[0],
                            args[1], args[2], args[3], level.string()}),
                  1)
            << args[0] << " " << args[1] << " " << args[2] << " " << args[3];
        EXPECT_FALSE(fs::exists(level));
    }
}

TEST(AuthorTools, OtherArgumentsAreLeftToTheGame) {
    std::vector<std::string> args = {"umbrane", "--replay-something"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    int status = 0;
    EXPECT_FALSE(run_author_tool(2, argv.data(), status));
    EXPECT_FALSE(run_author_tool(1, argv.data(), status));
}

namespace {

// The files of a walkthrough: each block of XML after a comment
// "<!-- file: PATH -->" (a new file), "<!-- into: PATH -->" (before the
// file's closing root tag) or "<!-- into: PATH, in place of: TEXT -->".
struct WalkthroughStep {
    std::string file, in_place_of, text;
    bool new_file = false;
};

std::vector<WalkthroughStep> walkthrough_steps(const std::string& document) {
    std::vector<WalkthroughStep> steps;
    std::istringstream lines(document);
    std::string line;
    std::optional<WalkthroughStep> pending;
    bool in_block = false;
    while (std::getline(lines, line)) {
        if (in_block) {
            if (line == "```") {
                steps.push_back(*pending);
                pending.reset();
                in_block = false;
            } else {
                pending->text += line + "\n";
            }
        } else if (line.rfind("<!-- file: ", 0) == 0 || line.rfind("<!-- into: ", 0) == 0) {
            WalkthroughStep step;
            step.new_file = line.rfind("<!-- file: ", 0) == 0;
            std::string what = line.substr(11, line.size() - 11 - 4);
            if (const size_t at = what.find(", in place of: "); at != std::string::npos) {
                step.in_place_of = what.substr(at + 15);
                what.resize(at);
            }
            step.file = what;
            pending = step;
        } else if (pending && line == "```xml") {
            in_block = true;
        }
    }
    return steps;
}

}  // namespace

// docs/first-dungeon.md built step by step into a copy of the shipped game:
// the game with its new monster, item, power, map and dungeon checks clean,
// and the new entries are in the game's tables.
TEST(FirstDungeon, WalkthroughFilesCheckClean) {
    std::ifstream in(fs::path(UMBRANE_SOURCE_DIR) / "docs" / "first-dungeon.md");
    std::ostringstream document;
    document << in.rdbuf();
    const std::vector<WalkthroughStep> steps = walkthrough_steps(document.str());
    ASSERT_EQ(steps.size(), 5u);
    TempGameFolder folder;
    folder.copy_all_shipped();
    for (const WalkthroughStep& step : steps) {
        const fs::path file = fs::path(folder.path()) / step.file;
        SCOPED_TRACE(step.file);
        if (step.new_file) {
            ASSERT_FALSE(fs::exists(file));
            folder.write(step.file, step.text);
            continue;
        }
        std::ifstream old(file, std::ios::binary);
        std::ostringstream content_stream;
        content_stream << old.rdbuf();
        std::string content = content_stream.str();
        const size_t at = step.in_place_of.empty() ? content.rfind("</") : content.find(step.in_place_of);
        ASSERT_NE(at, std::string::npos);
        if (step.in_place_of.empty()) content.insert(at, step.text);
        else content.replace(at, step.in_place_of.size(), step.text.substr(0, step.text.size() - 1));
        folder.write(step.file, content);
    }
    const CheckResult result = check_game(folder.path());
    for (const CheckFinding& finding : result.findings) ADD_FAILURE() << finding_text(finding);
    EXPECT_EQ(g_db.monster_types[49].name, "Fox");
    EXPECT_EQ(g_db.powers[26].name, "Spark");
    EXPECT_TRUE(item_type_defined(61));
}
