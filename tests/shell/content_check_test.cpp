// The content check on the shipped game and on copies of it broken in one
// place each: every check reports its fault with the file and the line that
// names the wrong thing, the game's own message wherever the game would end
// with one. A hostile folder is checked without a crash, a hang or a file
// written outside the check's scratch folder.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/strings.h"
#include "platform/surface.h"
#include "authoring/content_check.h"
#include "support/test_game.h"

namespace fs = std::filesystem;

namespace {

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The host file of a logical path below the folder.
fs::path file_of(const TempGameFolder& folder, const std::string& logical) {
    std::string relative = logical;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return fs::path(folder.path()) / relative;
}

// The line a text first stands on in the file (1 for the first line); 0 when it is not there.
int line_of(const TempGameFolder& folder, const std::string& file, const std::string& text) {
    const std::string content = read_text(file_of(folder, file));
    const size_t at = content.find(text);
    if (at == std::string::npos) return 0;
    return 1 + static_cast<int>(std::count(content.begin(), content.begin() + static_cast<long>(at), '\n'));
}

// A text replaced in a file of the copy (the first time it stands there); no
// replacement deletes the file.
struct Edit {
    std::string file;
    std::string from;
    std::optional<std::string> to;
};

// A finding the broken copy must bring: in the file, on the line the anchor
// stands on (line 0 without an anchor), with the text ("{line}" stands for
// that line; a text ending in "..." gives its beginning).
struct Expected {
    std::string file;
    std::string anchor;
    std::string text;
    bool warning = false;
};

struct BrokenCopy {
    const char* name;
    std::vector<Edit> edits;
    std::vector<Expected> expected;
    std::function<void(const TempGameFolder&)> more = nullptr;
};

std::string describe(const CheckFinding& f) {
    return f.file + ":" + int_to_text(f.line) + ": " + (f.warning ? "warning: " : "") + f.text;
}

// The findings of the shipped game, which every broken copy has too.
const std::vector<CheckFinding>& shipped_findings() {
    static const std::vector<CheckFinding> findings = [] {
        TempGameFolder folder;
        folder.copy_all_shipped();
        return check_game(folder.path()).findings;
    }();
    return findings;
}

bool same(const CheckFinding& a, const CheckFinding& b) {
    return a.file == b.file && a.line == b.line && a.text == b.text && a.warning == b.warning;
}

#define NOT_CHECKED "not checked, since the game could not read this file through (see its fault): "
#define NOT_READ_THROUGH                                                                                         \
    "not checked, since the game could not read this file through (a file it needs has a fault): its tile types, " \
    "portals, dungeons and transformations, where its monsters and items stand, and the portals that lead here"

const std::vector<BrokenCopy>& broken_copies() {
    static const std::vector<BrokenCopy> cases = {
        // ---- every file with the game's reader: its first fatal fault, the game's message ----
        {"an unknown attribute in the abilities",
         {{"data\\abilities.xml", "<ability id=\"5\" name", "<ability id=\"5\" colour=\"1\" name"}},
         {{"data\\abilities.xml", "", NOT_CHECKED "the ability ids and names the other data files and the character name", true},
          {"data\\abilities.xml", "<ability id=\"5\"",
           "load_abilities_db(): wrong attribute \"colour\" in ability tag in file \"data\\abilities.xml\""}}},
        {"a monster file that is no well-formed XML",
         {{"data\\monster.xml", "<monster id=\"2\" name", "<monster id=\"2\" < name"}},
         {{"data\\monster.xml", "", NOT_CHECKED "the monster types the maps name", true},
          {"data\\monster.xml", "<monster id=\"2\"",
           "load_monster_db(): error in xml structure of monster file \"data\\monster.xml\": not well-formed "
           "(invalid token) at line {line}"}}},
        {"no power file",
         {{"data\\powers.xml", "", std::nullopt}},
         {{"data\\powers.xml", "", NOT_CHECKED "the powers the character names", true},
          {"data\\powers.xml", "", "load_power_db(): could not open power xml file: \"data\\powers.xml\""}}},
        {"an ability name no ability has, on the line that names it",
         {{"data\\items.xml", "attribute_name=\"hit_points\" value=\"5\"",
           "attribute_name=\"hit_pionts\" value=\"5\""}},
         {{"data\\items.xml", "hit_pionts", "item_db_resolve_names(): cannot find ability \"hit_pionts\""}}},
        // The abilities are all there: the names the other files give are still looked up.
        {"an ability that names no ability",
         {{"data\\abilities.xml", "<cap name=\"experience\"", "<cap name=\"experiense\""},
          {"data\\items.xml", "attribute_name=\"hit_points\" value=\"5\"", "attribute_name=\"hit_pionts\" value=\"5\""}},
         {{"data\\abilities.xml", "experiense", "ability_resolve_names(): could not find ability \"experiense\""},
          {"data\\items.xml", "hit_pionts", "item_db_resolve_names(): cannot find ability \"hit_pionts\""}}},
        {"an unknown attribute in the tile types",
         {{"tilesets\\tiles_standard.xml", "<tile_type id=\"3\" name", "<tile_type id=\"3\" colour=\"1\" name"}},
         {{"tilesets\\tiles_standard.xml", "", NOT_CHECKED "the tile types of the maps that use it, and the portals, "
                                                 "monsters and items on them", true},
          {"maps\\map_crypt.xml", "", NOT_READ_THROUGH, true},
          {"maps\\map_start.xml", "", NOT_READ_THROUGH, true},
          {"tilesets\\tiles_standard.xml", "<tile_type id=\"3\"",
           "load_tile_type_definition(): unknown attribute \"colour\" for tile_type tag in file "
           "\"tiles_standard.xml\""}}},
        {"a character file with a position off the grid",
         {},
         {{"savegame\\character.xml", "<character",
           "load_character(): wrong xpos attribute \"60\" in character file \"savegame\\character.xml\""}},
         [](const TempGameFolder& f) {
             f.write("savegame\\character.xml", "<character name=\"Ann\" xpos=\"60\" ypos=\"4\" "
                                                "map_filename=\"map_start.xml\"/>\n");
         }},
        {"no picture of the effects",
         {{"graphics\\fx.png", "", std::nullopt}},
         {{"graphics\\fx.png", "", "load_sprites(): cannot load fx sprites!"}}},

        // ---- names of another table ----
        {"a map item of no item type",
         {{"maps\\map_start.xml", "<item xpos=\"27\" ypos=\"11\" type=\"2\"/>",
           "<item xpos=\"27\" ypos=\"11\" type=\"250\"/>"}},
         {{"maps\\map_start.xml", "type=\"250\"", "item type \"250\": no item type has that id (data\\items.xml)"}}},
        {"a map monster of no monster type",
         {{"maps\\map_start.xml", "<monster type=\"1\" xpos=\"7\"", "<monster type=\"299\" xpos=\"7\""}},
         {{"maps\\map_start.xml", "type=\"299\"",
           "monster type \"299\": no monster type has that id (data\\monster.xml)"}}},
        {"a cooldown of no power in the character file",
         {},
         {{"savegame\\character.xml", "<power", "power id \"200\": no power has that id (data\\powers.xml)"}},
         [](const TempGameFolder& f) {
             fs::create_directories(file_of(f, "savegame"));
             fs::copy_file(file_of(f, "maps\\map_start.xml"), file_of(f, "savegame\\map_start.xml"));
             f.write("savegame\\character.xml", "<character name=\"Ann\" xpos=\"2\" ypos=\"4\" "
                                                "map_filename=\"map_start.xml\">\n  <power id=\"200\" "
                                                "cooldown=\"3\"/>\n</character>\n");
         }},
        {"a saved character facing a fifth way",
         {},
         {{"savegame\\character.xml", "<character",
           "a value of the saved character out of its range; the game ends with: load_character(): wrong facing "
           "attribute \"4\" in character file \"savegame\\character.xml\""}},
         [](const TempGameFolder& f) {
             fs::create_directories(file_of(f, "savegame"));
             fs::copy_file(file_of(f, "maps\\map_start.xml"), file_of(f, "savegame\\map_start.xml"));
             f.write("savegame\\character.xml", "<character name=\"Ann\" xpos=\"2\" ypos=\"4\" facing=\"4\" frame=\"2\" "
                                                "map_filename=\"map_start.xml\"/>\n");
         }},
        {"a field of a tile type the tileset does not define",
         {{"maps\\map_crypt.xml", "<field x=\"4\" y=\"0\">53</field>", "<field x=\"4\" y=\"0\">150</field>"}},
         {{"maps\\map_crypt.xml", ">150<", "field tile 150: tilesets\\tiles_standard.xml defines no tile type 150"}}},
        {"a tile type beyond the tile sheet",
         {{"tilesets\\tiles_standard.xml", "<tile_type id=\"3\" name",
           "<tile_type id=\"300\" name=\"Far\"/>\n  <tile_type id=\"3\" name"},
          {"maps\\map_crypt.xml", "<field x=\"4\" y=\"0\">53</field>", "<field x=\"4\" y=\"0\">300</field>"}},
         {{"tilesets\\tiles_standard.xml", "name=\"Far\"",
           "<tile_type> \"Far\": its name has no text in German (<name language=\"German\">)", true},
          {"maps\\map_crypt.xml", ">300<",
           "field tile 300: tilesets\\tiles_standard.png holds the tiles 0..159 only (32 x 32 pixels each)"}}},
        {"a transformation whose event no field carries",
         {{"maps\\map_start.xml", "<transformation event=\"garden_lever\" x=\"21\" y=\"4\"",
           "<transformation event=\"garden_levr\" x=\"21\" y=\"4\""}},
         {{"maps\\map_start.xml", "garden_levr",
           "event \"garden_levr\": no field of the map carries it and no transformation gives it, so this "
           "transformation never happens"}}},
        {"a transformation off the grid",
         {{"maps\\map_start.xml", "x=\"21\" y=\"4\" tile_type", "x=\"21\" y=\"60\" tile_type"}},
         {{"maps\\map_start.xml", "y=\"60\"", "set_map_tile_type: wrong parameters: x=21; y=60"}}},

        // ---- portals ----
        {"a portal to a map that does not exist",
         {{"maps\\map_start.xml", "portal_mapfile=\"map_crypt.xml\"", "portal_mapfile=\"map_crypts.xml\""}},
         {{"maps\\map_start.xml", "map_crypts.xml", "load_map(): could not open map xml file: \"maps\\map_crypts.xml\""},
          {"maps\\map_crypt.xml", "<map ", "no portal or dungeon leads here from maps\\map_start.xml", true}}},
        {"a portal into a wall",
         {{"maps\\map_start.xml", "portal_mapfile=\"map_crypt.xml\" portal_x=\"3\" portal_y=\"3\"",
           "portal_mapfile=\"map_crypt.xml\" portal_x=\"0\" portal_y=\"0\""}},
         {{"maps\\map_start.xml", "portal_mapfile=\"map_crypt.xml\"",
           "the portal leads to 0, 0 of map_crypt.xml, where the character cannot stand: tile type 4 (Stone wall) "
           "is solid"}}},
        // The portal's field becomes a wall (its text is its tile type).
        {"a portal in a wall",
         {},
         {{"maps\\map_start.xml", "<field x=\"26\" y=\"4\" portal",
           "the character cannot step onto the portal's field 26, 4: tile type 4 (Stone wall) is solid"}},
         [](const TempGameFolder& f) {
             const fs::path map = file_of(f, "maps\\map_start.xml");
             std::string content = read_text(map);
             const size_t field = content.find("<field x=\"26\" y=\"4\" portal");
             const size_t text = content.find('>', field);
             const size_t end = content.find('<', text);
             content.replace(text + 1, end - text - 1, "4");
             std::ofstream(map, std::ios::binary) << content;
         }},
        {"a bottom portal to a map that does not exist",
         {{"maps\\map_start.xml", "bottom_portal=\"map_start.xml\"", "bottom_portal=\"map_gone.xml\""}},
         {{"maps\\map_start.xml", "<dungeon ", "load_map(): could not open map xml file: \"maps\\map_gone.xml\""}}},
        {"no start map",
         {{"maps\\map_start.xml", "", std::nullopt}},
         {{"maps\\map_start.xml", "", "load_map(): could not open map xml file: \"maps\\map_start.xml\""},
          {"maps\\map_crypt.xml", "portal_mapfile=\"map_start.xml\"",
           "load_map(): could not open map xml file: \"maps\\map_start.xml\""},
          {"maps\\map_crypt.xml", "<map ", "no portal or dungeon leads here from maps\\map_start.xml", true}}},
        {"a saved character on a map that is not saved",
         {},
         {{"savegame\\character.xml", "<character",
           "load_map(): could not open map xml file: \"savegame\\map_gone.xml\""}},
         [](const TempGameFolder& f) {
             f.write("savegame\\character.xml", "<character name=\"Ann\" xpos=\"2\" ypos=\"4\" "
                                                "map_filename=\"map_gone.xml\"/>\n");
         }},

        // ---- pictures, sounds, animations, messages ----
        {"an item picture beyond the item sheet",
         {{"data\\items.xml", "<item id=\"1\" name=\"Bread\" tile=\"0\"", "<item id=\"1\" name=\"Bread\" tile=\"72\""}},
         {{"data\\items.xml", "<item id=\"1\"",
           "item tile \"72\": graphics\\items.png holds the cells 0..71 (8 x 9 of 32 x 32 pixels)"}}},
        {"a monster picture beyond the monster sheet",
         {{"data\\monster.xml", "<monster id=\"1\" name=\"Rat\" class=\"animal|vermin|cave\" tile=\"0\"",
           "<monster id=\"1\" name=\"Rat\" class=\"animal|vermin|cave\" tile=\"48\""}},
         {{"data\\monster.xml", "<monster id=\"1\"",
           "monster tile \"48\": graphics\\monster.png holds the cells 0..47 (8 x 6 of 32 x 32 pixels)"}}},
        {"an ability icon beyond the ability sheet",
         {{"data\\abilities.xml", "<ability id=\"1\" name=\"hit_points\" tile=\"0\"",
           "<ability id=\"1\" name=\"hit_points\" tile=\"32\""}},
         {{"data\\abilities.xml", "<ability id=\"1\"",
           "ability tile \"32\": graphics\\abilities.png holds the cells 0..31 (8 x 4 of 32 x 32 pixels)"}}},
        {"a power icon beyond the power sheet",
         {{"data\\powers.xml", "in sight.\" tile=\"1\"", "in sight.\" tile=\"32\""}},
         {{"data\\powers.xml", "<power id=\"1\"",
           "power tile \"32\": graphics\\powers.png holds the cells 0..31 (8 x 4 of 32 x 32 pixels)"}}},
        {"a too small picture of the effects",
         {},
         {{"graphics\\fx.png", "", "a picture of 64 x 32 pixels is too small for the effect icons 0..9"}},
         [](const TempGameFolder& f) { f.write_png("graphics\\fx.png", 64, 32, [](int, int) { return WHITE; }); }},
        {"a power sound that has no file",
         {{"data\\powers.xml", "sound=\"fireball\"", "sound=\"fireballs\""}},
         {{"data\\powers.xml", "sound=\"fireballs\"", "power sound \"fireballs\": there is no sound\\fireballs.ogg"}}},
        {"a sound the game plays itself is missing",
         {{"sound\\deathcry.ogg", "", std::nullopt}},
         {{"sound", "", "no sound \"deathcry\" (sound\\deathcry.ogg): the game plays it itself"}}},
        {"an animation the game does not know",
         {{"data\\powers.xml", "animation=\"red fireball\"", "animation=\"red fireballs\""}},
         {{"data\\powers.xml", "animation=\"red fireballs\"", "animation(): unknown animation: \"red fireballs\""}}},
        {"a power effect the game does not know",
         {{"data\\powers.xml", "effect_name=\"attack\"", "effect_name=\"atack\""}},
         {{"data\\powers.xml", "effect_name=\"atack\"", "use_power(): cannot find power effect \"atack\""}}},
        {"a message missing in one language",
         {{"data\\messages.xml", "    <text language=\"German\">Weiterspielen</text>\n", ""}},
         {{"data\\messages.xml", "<message id=\"30\">", "message 30 has no text in German", true}}},
        {"a message missing in every language",
         {{"data\\messages.xml",
           "  <message id=\"30\">\n    <text language=\"English\">Continue</text>\n    <text "
           "language=\"German\">Weiterspielen</text>\n  </message>\n",
           ""}},
         {{"data\\messages.xml", "<Umbrane_Messages",
           "no message 30: the game shows \"??? missing message ID 30 ???\" in its place"}}},
        {"a language the messages do not have",
         {{"config\\preferences.xml", "language=\"English\"", "language=\"Klingon\""}},
         {{"config\\preferences.xml", "<Umbrane_Preferences",
           "language \"Klingon\": data\\messages.xml holds no text in it, so every message shows as \"??? missing "
           "message ID n ???\""}}},

        // ---- dungeons ----
        {"a dungeon too small for a way down",
         {{"maps\\map_start.xml", "dimension_x=\"21\" dimension_y=\"21\"", "dimension_x=\"3\" dimension_y=\"3\""}},
         {{"maps\\map_start.xml", "<dungeon ",
           "dungeon \"The Old Cave\": its levels of 3 x 3 fields leave no room for a way down (the maze needs 4 "
           "fields or more one way)"}}},
        {"a dungeon on a field no step reaches",
         {{"maps\\map_start.xml", "<dungeon xpos=\"12\" ypos=\"20\"", "<dungeon xpos=\"49\" ypos=\"20\""}},
         {{"maps\\map_start.xml", "<dungeon ",
           "dungeon \"The Old Cave\": its field 49, 20 is off the fields a step reaches (0..48), so no one enters it"}}},
        {"a dungeon in a wall",
         {{"maps\\map_start.xml", "<dungeon xpos=\"12\" ypos=\"20\"", "<dungeon xpos=\"0\" ypos=\"0\""}},
         {{"maps\\map_start.xml", "<dungeon ", "dungeon \"The Old Cave\": the character cannot step onto its field 0, 0..."}}},
        // Its maze runs off the grid where the outside is rock too.
        {"a dungeon too large for the grid",
         {{"maps\\map_start.xml", "dimension_x=\"21\" dimension_y=\"21\"", "dimension_x=\"60\" dimension_y=\"21\""},
          {"maps\\map_start.xml", "background_tile=\"1\" tile_outside_map=\"0\"",
           "background_tile=\"1\" tile_outside_map=\"4\""}},
         {{"maps\\map_start.xml", "<dungeon ",
           "<dungeon> dimension_x 60: a level's maze is 1..48 fields a side (the map has 50 x 50 fields)"}}},
        {"a dungeon whose floor is solid",
         {{"maps\\map_start.xml", "background_tile=\"1\" tile_outside_map", "background_tile=\"0\" tile_outside_map"}},
         {{"maps\\map_start.xml", "<dungeon ",
           "dungeon \"The Old Cave\", level 1 made with seed 1: no path from the arrival field at 1, 1 to the way "
           "down at ..."}}},
        {"a dungeon whose bottom portal tile is no tile type",
         {{"maps\\map_start.xml", "bottom_portal_tile=\"38\"", "bottom_portal_tile=\"600\""}},
         {{"maps\\map_start.xml", "<dungeon ", "dungeon bottom_portal_tile 600: tile types are 0..499"},
          {"maps\\map_start.xml", "<dungeon ", "set_map_tile_type: wrong tile_type: 600"}}},

        // ---- every value as the reader takes it ----
        {"a monster type's name where its id is wanted",
         {{"maps\\map_start.xml", "<monster type=\"1\" xpos=\"7\"", "<monster type=\"Rat\" xpos=\"7\""}},
         {{"maps\\map_start.xml", "type=\"Rat\"",
           "<monster> type \"Rat\": a name where a monster type id is wanted; the monster type of that name has the id 1"}}},
        {"an item type's name where its id is wanted",
         {{"maps\\map_start.xml", "main_treasure=\"36\"", "main_treasure=\"Bread\""}},
         {{"maps\\map_start.xml", "<dungeon ",
           "<dungeon> main_treasure \"Bread\": a name where a item type id is wanted; the item type of that name has the id 1"}}},
        {"a word where a number is wanted",
         {{"data\\monster.xml", "hitpoints=\"4\" armor=\"0\" speed=\"1\"", "hitpoints=\"seven\" armor=\"0\" speed=\"1\""}},
         {{"data\\monster.xml", "hitpoints=\"seven\"", "<monster> hitpoints \"seven\": not a number; the game reads it as 0"}}},
        {"a tile type's name in a field",
         {{"maps\\map_crypt.xml", "<field x=\"4\" y=\"0\">53</field>", "<field x=\"4\" y=\"0\">Rock</field>"}},
         {{"maps\\map_crypt.xml", ">Rock<",
           "<field> \"Rock\": the text must be a number (a tile type of the map's tileset): tile type 0 has that name; "
           "write its id; the game reads it as 0"}}},
        {"a flag written true",
         {{"data\\monster.xml", "<monster id=\"1\" name=\"Rat\"", "<monster id=\"1\" name=\"Rat\" flying=\"true\""}},
         {{"data\\monster.xml", "<monster id=\"1\"",
           "<monster> flying \"true\": a flag is on only when written \"yes\", so the game takes this as off (write "
           "\"yes\" or \"no\")"}}},
        {"a flag written Yes",
         {{"data\\items.xml", "consumed_after_use=\"yes\"", "consumed_after_use=\"Yes\""}},
         {{"data\\items.xml", "consumed_after_use=\"Yes\"", "<item> consumed_after_use \"Yes\": a flag is on only when written \"yes\"..."}}},
        {"a number beyond its field",
         {{"data\\monster.xml", "attack=\"35\"", "attack=\"40000\""}},
         {{"data\\monster.xml", "<monster id=\"1\"",
           "<monster> attack 40000: out of range -32768..32767; the game keeps the low bits and reads another number"}}},
        {"hexadecimal and binary numbers are numbers",
         {{"data\\monster.xml", "attack=\"35\" defense=\"0\"", "attack=\"$23\" defense=\"%0\""}},
         {}},
        {"a name no monster type has where an id is wanted",
         {{"maps\\map_start.xml", "<monster type=\"1\" xpos=\"7\"", "<monster type=\"Unicorn\" xpos=\"7\""}},
         {{"maps\\map_start.xml", "type=\"Unicorn\"",
           "<monster> type \"Unicorn\": not a number (a monster type id is wanted); the game reads it as 0"}}},
        {"digits followed by letters",
         {{"maps\\map_start.xml", "<item xpos=\"27\" ypos=\"11\" type=\"2\"/>", "<item xpos=\"27px\" ypos=\"11\" type=\"2\"/>"}},
         {{"maps\\map_start.xml", "xpos=\"27px\"", "<item> xpos \"27px\": not a number; the game reads it as 27"}}},
        {"a second unknown attribute after the reader's first",
         {{"data\\monster.xml", "<monster id=\"1\" name=\"Rat\"", "<monster id=\"1\" colour=\"1\" name=\"Rat\""},
          {"data\\monster.xml", "<monster id=\"2\" name=\"Bat\"", "<monster id=\"2\" hitpionts=\"1\" name=\"Bat\""}},
         {{"data\\monster.xml", "<monster id=\"1\"", "load_monster_db(): unknown attribute \"colour\"..."},
          {"data\\monster.xml", "<monster id=\"2\"", "<monster> has no attribute \"hitpionts\": did you mean \"hitpoints\"?"},
          {"data\\monster.xml", "", NOT_CHECKED "the monster types the maps name", true}}},
        {"a power message of a type the game does not know",
         {{"data\\powers.xml", "type=\"success\">Der Feuerpfeil", "type=\"victory\">Der Feuerpfeil"}},
         {{"data\\powers.xml", "type=\"victory\"", "<message> type \"victory\": the game knows only success, failure, wrong use, "
                                                   "already used"},
          {"data\\powers.xml", "<power id=\"1\"", "<power> \"Fire bolt\": its success_message has no text in German "
                                                  "(<message language=\"German\" type=\"success\">)", true},
         }},

        // ---- duplicates and placements ----
        {"two abilities of one name",
         {{"data\\abilities.xml", "<ability id=\"3\" name=\"agility\"", "<ability id=\"3\" name=\"strength\""}},
         {{"data\\abilities.xml", "<ability id=\"3\"", "<ability> name \"strength\" is given twice (first at line 34)"},
          // Every name of agility now names no ability.
          {"data\\abilities.xml", "name=\"agility\"", "ability_resolve_names(): could not find ability \"agility\""},
          {"data\\powers.xml", "success_attribute_name=\"agility\"", "powers_db_resolve_names(): cannot find ability \"agility\""},
          {"data\\items.xml", "attribute_name=\"agility\"",
           "no ability has that name; the game ends with: item_db_resolve_names(): cannot find ability \"agility\""},
          {"tilesets\\tiles_standard.xml", "ability_name=\"agility\"",
           "modify_attribute amount_reduced_by_ability_name \"agility\": no ability has that name (data\\abilities.xml)"}}},
        {"two item types of one id",
         {{"data\\items.xml", "<item id=\"3\" name=\"Mana potion\"", "<item id=\"2\" name=\"Mana potion\""}},
         {{"data\\items.xml", "<item id=\"2\" name=\"Mana", "<item> id 2 is given twice (first at line 16)"},
          {"maps\\map_crypt.xml", "type=\"3\"", "item type \"3\": no item type has that id (data\\items.xml)"},
          {"maps\\map_start.xml", "type=\"3\"", "item type \"3\": no item type has that id (data\\items.xml)"}}},
        {"two monster types of one name",
         {{"data\\monster.xml", "<monster id=\"2\" name=\"Bat\"", "<monster id=\"2\" name=\"Rat\""}},
         {{"data\\monster.xml", "<monster id=\"2\"",
           "<monster> name \"Rat\" is given twice (first at line 7); the game takes one of them", true}}},
        {"two messages of one id",
         {{"data\\messages.xml", "<message id=\"30\">", "<message id=\"29\">"}},
         {{"data\\messages.xml", "<message id=\"29\">\n    <text language=\"English\">Continue",
           "<message> id 29 is given twice..."},
          {"data\\messages.xml", "<Umbrane_Messages", "no message 30: the game shows...", false}}},
        {"two tile types of one id",
         {{"tilesets\\tiles_standard.xml", "<tile_type id=\"3\" name", "<tile_type id=\"2\" name"}},
         {{"tilesets\\tiles_standard.xml", "<tile_type id=\"2\" name=\"Stairs up",
           "<tile_type> id 2 is given twice (first at line 12)"},
          {"tilesets\\tiles_standard.xml", "<tileset", "no tile type 3: every generated level uses it"}}},
        {"a text given twice in one language",
         {{"data\\monster.xml", "<name language=\"German\">Ratte</name>",
           "<name language=\"German\">Ratte</name><name language=\"German\">Ratz</name>"}},
         {{"data\\monster.xml", "<name language=\"German\">Ratte",
           "<name> text in German is given twice (first at line 9); the game takes one of them", true}}},
        {"a field given twice",
         {{"maps\\map_crypt.xml", "<field x=\"4\" y=\"0\">53</field>", "<field x=\"4\" y=\"0\">53</field>\n<field x=\"4\" y=\"0\" >53</field>"}},
         {{"maps\\map_crypt.xml", "y=\"0\" >53",
           "<field> field 4, 0 is given twice (first at line 3); the game takes one of them", true}}},
        {"a monster inside a wall",
         {{"maps\\map_start.xml", "<monster type=\"1\" xpos=\"7\" ypos=\"15\"", "<monster type=\"1\" xpos=\"21\" ypos=\"2\""}},
         {{"maps\\map_start.xml", "xpos=\"21\" ypos=\"2\"",
           "the monster at 21, 2 is on tile type 4 (Stone wall), which is solid: it is stuck there"}}},
        {"an item inside a wall",
         {{"maps\\map_start.xml", "<item xpos=\"27\" ypos=\"11\" type=\"2\"/>", "<item xpos=\"21\" ypos=\"2\" type=\"2\"/>"}},
         {{"maps\\map_start.xml", "xpos=\"21\" ypos=\"2\"",
           "the item at 21, 2 is on tile type 4 (Stone wall), which is solid: no one can pick it up"}}},
        {"an item off the fields a step reaches",
         {{"maps\\map_start.xml", "<item xpos=\"27\" ypos=\"11\" type=\"2\"/>", "<item xpos=\"49\" ypos=\"11\" type=\"2\"/>"}},
         {{"maps\\map_start.xml", "xpos=\"49\"", "the item at 49, 11 is off the fields a step reaches (0..48 each way)"}}},
        {"two monsters on one field",
         {{"maps\\map_start.xml", "<monster type=\"1\" xpos=\"7\" ypos=\"15\" hitpoints=\"4\" alerted=\"yes\"/>",
           "<monster type=\"1\" xpos=\"7\" ypos=\"15\" hitpoints=\"4\" alerted=\"yes\"/>\n"
           "  <monster type=\"2\" xpos=\"7\" ypos=\"15\" hitpoints=\"4\"/>"}},
         {{"maps\\map_start.xml", "<monster type=\"2\" xpos=\"7\" ypos=\"15\"",
           "a second monster at 7, 15 (the first at line 641)", true}}},

        // ---- dungeons ----
        {"a dungeon of no levels",
         {{"maps\\map_start.xml", "number_of_levels=\"5\"", "number_of_levels=\"0\""}},
         {{"maps\\map_start.xml", "<dungeon ", "<dungeon> number_of_levels 0: a dungeon has 1 level or more"}}},
        {"a dungeon of a negative size",
         {{"maps\\map_start.xml", "dimension_x=\"21\"", "dimension_x=\"-21\""}},
         {{"maps\\map_start.xml", "<dungeon ",
           "<dungeon> dimension_x -21: a level's maze is 1..48 fields a side (the map has 50 x 50 fields)"},
          {"maps\\map_start.xml", "<dungeon ", "<dungeon> dimension_x -21: out of range 0..255; the game keeps the low bits "
                                               "and reads another number"}}},
        {"a dungeon wider than the map",
         {{"maps\\map_start.xml", "dimension_x=\"21\"", "dimension_x=\"61\""}},
         {{"maps\\map_start.xml", "<dungeon ",
           "<dungeon> dimension_x 61: a level's maze is 1..48 fields a side (the map has 50 x 50 fields)"}}},
        {"a dungeon that leaves out its tiles",
         {{"maps\\map_start.xml", " default_tile=\"4\" background_tile=\"1\" tile_outside_map=\"0\"", ""}},
         {{"maps\\map_start.xml", "<dungeon ", "<dungeon> leaves out default_tile: its levels use tile type 1 (Dungeon floor) for it", true},
          {"maps\\map_start.xml", "<dungeon ", "<dungeon> leaves out background_tile: its levels use tile type 4 (Stone wall) for it", true},
          {"maps\\map_start.xml", "<dungeon ", "<dungeon> leaves out tile_outside_map: its levels use tile type 1 (Dungeon floor) for it", true},
          {"maps\\map_start.xml", "<dungeon ", "dungeon \"The Old Cave\"..."}}},

        // ---- files read whole ----
        {"a monster element not closed",
         {{"data\\monster.xml", "    <name language=\"German\">Ratte</name>\n  </monster>", "    <name language=\"German\">Ratte</name>\n"}},
         {{"data\\monster.xml", "<monster id=\"1\"", "<monster> opened here is not closed: the parser found no </monster> for it before mismatched tag..."},
          {"data\\monster.xml", "</monsters>", "the file is no well-formed XML; the game ends with: load_monster_db(): error in xml structure..."},
          {"data\\monster.xml", "", NOT_CHECKED "the monster types the maps name", true}}},
        {"a file not in UTF-8",
         {{"data\\messages.xml", "Weiterspielen", "Weiterspielen\xe4"}},
         {{"data\\messages.xml", "Weiterspielen", "the file is not in UTF-8: this line holds a byte that is no UTF-8 character..."},
          {"data\\messages.xml", "Weiterspielen", "the file is no well-formed XML; the game ends with: load_message_list()..."}}},
        {"a sound that is garbage",
         {},
         {{"sound\\door.ogg", "", "the sound does not decode (it is no Ogg Vorbis sound, or it is cut or damaged): the "
                                  "game plays nothing in its place"}},
         [](const TempGameFolder& f) { f.write("sound\\door.ogg", "OggS and then nothing that decodes"); }},
        {"a tileset picture cut short",
         {},
         {{"tilesets\\tiles_standard.png", "", "the picture does not decode whole (it is cut or damaged): the game cannot load it"},
          // The maps on that tileset stop the game's reader there: what they hold is not checked, and so said.
          {"maps\\map_start.xml", "", "not checked, since the game could not read this file through...", true},
          {"maps\\map_crypt.xml", "", "not checked, since the game could not read this file through...", true}},
         [](const TempGameFolder& f) { fs::resize_file(file_of(f, "tilesets\\tiles_standard.png"), 3000); }},
        {"a tileset picture in JPEG cut short",
         {},
         {{"tilesets\\meadow.jpg", "", "the picture does not decode whole (it is cut or damaged): the game cannot load it"}},
         [](const TempGameFolder& f) {
             Surface picture(64, 64, 0x336699);
             std::vector<unsigned char> bytes;
             ASSERT_TRUE(encode_jpeg(picture, 90, bytes));
             f.write("tilesets\\meadow.jpg", std::string(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() * 2 / 3)));
         }},
        {"a picture sheet cut short",
         {},
         {{"graphics\\items.png", "", "the picture is missing or does not decode whole; the game ends with: load_sprites()..."},
          {"graphics\\items.png", "", "not checked, since the game could not load this picture (see its fault): the cells of "
                                      "it that the data files name", true}},
         [](const TempGameFolder& f) { fs::resize_file(file_of(f, "graphics\\items.png"), 2000); }},
        {"a picture sheet with one byte flipped",
         {},
         {{"graphics\\monster.png", "", "the picture is missing or does not decode whole; the game ends with: load_sprites()..."},
          {"graphics\\monster.png", "", "not checked, since the game could not load this picture (see its fault): the cells of "
                                        "it that the data files name", true}},
         [](const TempGameFolder& f) {
             std::fstream png(file_of(f, "graphics\\monster.png"), std::ios::in | std::ios::out | std::ios::binary);
             png.seekp(200);
             png.put('\x5a');
         }},

        // ---- texts the player sees in every language ----
        {"a monster name without its German text",
         {{"data\\monster.xml", "    <name language=\"German\">Ratte</name>\n", ""}},
         {{"data\\monster.xml", "<monster id=\"1\"",
           "<monster> \"Rat\": its name has no text in German (<name language=\"German\">)", true}}},
        {"a power message without its German text",
         {{"data\\powers.xml", "    <message language=\"German\" type=\"success\">Der Feuerpfeil trifft.</message>\n", ""}},
         {{"data\\powers.xml", "<power id=\"1\"",
           "<power> \"Fire bolt\": its success_message has no text in German (<message language=\"German\" type=\"success\">)",
           true}}},

        // ---- maps no way leads to ----
        {"a map no portal leads to",
         {{"maps\\map_start.xml", "portal_mapfile=\"map_crypt.xml\"", "portal_mapfile=\"\""}},
         {{"maps\\map_crypt.xml", "<map ", "no portal or dungeon leads here from maps\\map_start.xml", true}}},

        // ---- files the check does not read ----
        {"a file of 9 MB",
         {},
         {{"maps\\huge.xml", "", "the file holds 9 MB: no file of a game comes near that, and the check reads none "
                                 "above 8 MB"}},
         [](const TempGameFolder& f) { f.write("maps\\huge.xml", "<map>" + std::string(9 << 20, ' ') + "</map>"); }},
        {"a link to a file of the system",
         {},
         {{"maps\\kernel.xml", "", "a link to a file of the system, which the check does not read"}},
         [](const TempGameFolder& f) { fs::create_symlink("/proc/self/status", file_of(f, "maps\\kernel.xml")); }},
    };
    return cases;
}

void apply(const TempGameFolder& folder, const BrokenCopy& copy) {
    for (const Edit& edit : copy.edits) {
        const fs::path file = file_of(folder, edit.file);
        if (!edit.to) {
            fs::remove(file);
            continue;
        }
        std::string content = read_text(file);
        const size_t at = content.find(edit.from);
        ASSERT_NE(at, std::string::npos) << edit.file << " holds no " << edit.from;
        content.replace(at, edit.from.size(), *edit.to);
        std::ofstream(file, std::ios::binary) << content;
    }
    if (copy.more) copy.more(folder);
}

class BrokenCopies : public ::testing::TestWithParam<size_t> {};

}  // namespace

TEST(ContentCheck, ShippedGameChecksClean) {
    for (const CheckFinding& finding : shipped_findings()) ADD_FAILURE() << describe(finding);
}

TEST_P(BrokenCopies, ReportEachFaultWithItsFileAndLine) {
    const BrokenCopy& copy = broken_copies()[GetParam()];
    SCOPED_TRACE(copy.name);
    const std::vector<CheckFinding> shipped = shipped_findings();
    TempGameFolder folder;
    folder.copy_all_shipped();
    apply(folder, copy);
    std::vector<CheckFinding> expected;
    for (const Expected& e : copy.expected) {
        const int line = e.anchor.empty() ? 0 : line_of(folder, e.file, e.anchor);
        ASSERT_TRUE(e.anchor.empty() || line > 0) << e.file << " holds no " << e.anchor;
        expected.push_back({e.file, line, replace_all(e.text, "{line}", int_to_text(line)), e.warning});
    }
    // Few seeds for each dungeon's level trials: a copy broken elsewhere needs none, and a
    // dungeon made without a way on fails on every seed (79 copies of the whole game are checked).
    CheckOptions options;
    options.trial_seeds = 3;
    const CheckResult result = check_game(folder.path(), options);
    std::vector<CheckFinding> found;
    for (const CheckFinding& f : result.findings)
        if (std::none_of(shipped.begin(), shipped.end(), [&](const CheckFinding& s) { return same(f, s); }))
            found.push_back(f);
    auto matches = [](const CheckFinding& f, const CheckFinding& e) {
        const bool prefix = e.text.size() > 3 && e.text.compare(e.text.size() - 3, 3, "...") == 0;
        // The game's own message follows what it means in an author's words.
        const std::string game = "; the game ends with: ";
        const size_t said = f.text.find(game);
        const std::string own = said == std::string::npos ? f.text : f.text.substr(said + game.size());
        const bool text = prefix ? f.text.rfind(e.text.substr(0, e.text.size() - 3), 0) == 0 ||
                                       own.rfind(e.text.substr(0, e.text.size() - 3), 0) == 0
                                 : f.text == e.text || own == e.text;
        return f.file == e.file && f.line == e.line && f.warning == e.warning && text;
    };
    for (const CheckFinding& e : expected)
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const CheckFinding& f) { return matches(f, e); }))
            << "not reported: " << describe(e);
    for (const CheckFinding& f : found)
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](const CheckFinding& e) { return matches(f, e); }))
            << "reported besides: " << describe(f);
    // Every line begins in an author's words, never with the name of a procedure of the game.
    for (const CheckFinding& f : found) {
        const size_t colon = f.text.find(':');
        EXPECT_FALSE(colon != std::string::npos && colon > 0 &&
                     f.text.find_first_not_of("abcdefghijklmnopqrstuvwxyz_()", 0) >= colon)
            << "in the game's words: " << describe(f);
    }
    int faults = 0;
    for (const CheckFinding& f : result.findings) faults += f.warning ? 0 : 1;
    EXPECT_EQ(result.faults, faults);
}

INSTANTIATE_TEST_SUITE_P(ContentCheck, BrokenCopies, ::testing::Range<size_t>(0, broken_copies().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string name;
                             for (char c : std::string(broken_copies()[info.param].name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

namespace {

// Every file below the folder with its size and time of change.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (error) break;
        struct stat info {};
        if (lstat(it->path().c_str(), &info) != 0) continue;
        files[it->path().string()] = int_to_text(static_cast<long long>(info.st_size)) + " " +
                                     int_to_text(static_cast<long long>(info.st_mtim.tv_sec)) + "." +
                                     int_to_text(static_cast<long long>(info.st_mtim.tv_nsec));
    }
    return files;
}

std::set<std::string> scratch_folders() {
    std::set<std::string> found;
    for (const fs::path& base : {fs::path("/dev/shm"), fs::temp_directory_path()}) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(base, error))
            if (entry.path().filename().string().rfind("umbrane-check-", 0) == 0) found.insert(entry.path().string());
    }
    return found;
}

}  // namespace

// Links out of the folder, loops, a pipe, a file nested 100,000 deep, one of
// 50 MB, the fuzz seeds in every place and a savegame: the check ends, reports
// what it must, and leaves every file as it was and no scratch folder behind.
TEST(ContentCheck, HostileFolderIsCheckedWithoutHarm) {
    TempGameFolder folder;
    folder.copy_all_shipped();
    const fs::path root = folder.path();
    fs::create_directories(root / "savegame");
    fs::create_symlink("/dev/zero", root / "maps" / "zero.xml");
    fs::create_symlink("/etc", root / "maps" / "etc.xml");
    fs::create_symlink("/nonexistent", root / "maps" / "dangling.xml");
    fs::create_symlink("loop_b.xml", root / "maps" / "loop_a.xml");
    fs::create_symlink("loop_a.xml", root / "maps" / "loop_b.xml");
    ASSERT_EQ(mkfifo((root / "tilesets" / "pipe.xml").c_str(), 0600), 0);
    std::string deep = "<map>";
    for (int i = 0; i < 100000; ++i) deep += "<field>";
    folder.write("maps\\deep.xml", deep);
    const fs::path seeds = fs::path(UMBRANE_SOURCE_DIR) / "fuzz" / "seeds";
    fs::copy_file(seeds / "map" / "every_element.xml", root / "maps" / "seed.xml");
    fs::copy_file(seeds / "tile_types" / "every_element.xml", root / "tilesets" / "seed.xml");
    fs::copy_file(seeds / "character" / "every_element.xml", root / "savegame" / "character.xml");
    fs::copy_file(seeds / "preferences" / "every_attribute.xml", root / "config" / "preferences.xml",
                  fs::copy_options::overwrite_existing);
    fs::create_symlink("/etc/passwd", root / "savegame" / "passwd.xml");
    std::ofstream(root / "data" / "items.xml", std::ios::binary | std::ios::trunc) << "<items>";
    fs::resize_file(root / "data" / "items.xml", 50LL << 20);  // 50 MB, mostly a hole
    folder.write("data\\monster.xml", "<monsters><monster id=\"1\" name=\"M\"><affliction/><affliction/>"
                                      "<affliction/><affliction/><affliction/><affliction/></monster></monsters>");

    const auto before = snapshot(root);
    const auto scratch_before = scratch_folders();
    const CheckResult result = check_game(root.string());
    EXPECT_GT(result.faults, 0);
    EXPECT_EQ(snapshot(root), before);
    // The check leaves no scratch folder of its own. Others' checks running
    // beside it may make theirs meanwhile: those go when their check ends,
    // a folder left by this one never does.
    std::set<std::string> left;
    for (int look = 0; look < 600; ++look) {
        left.clear();
        for (const auto& scratch : scratch_folders())
            if (!scratch_before.count(scratch)) left.insert(scratch);
        if (left.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (const auto& scratch : left) ADD_FAILURE() << "left behind: " << scratch;
    auto reported = [&](const std::string& file) {
        return std::any_of(result.findings.begin(), result.findings.end(),
                           [&](const CheckFinding& f) { return f.file == file; });
    };
    EXPECT_TRUE(reported("maps\\deep.xml"));
    EXPECT_TRUE(reported("data\\items.xml"));
    EXPECT_TRUE(reported("maps\\seed.xml"));
}

// The output as the command prints it: below the folder as given, warnings marked.
TEST(ContentCheck, FindingsArePrintedAsFileLineText) {
    set_game_folder("game");
    EXPECT_EQ(finding_text({"data\\items.xml", 12, "no", false}), "game/data/items.xml:12: no");
    set_game_folder("/g/");
    set_writable_folder("/home/u/.local/share/umbrane");
    EXPECT_EQ(finding_text({"maps\\a.xml", 2, "far", true}), "/g/maps/a.xml:2: warning: far");
    EXPECT_EQ(finding_text({"savegame\\character.xml", 1, "x", false}),
              "/home/u/.local/share/umbrane/savegame/character.xml:1: x");
    set_writable_folder("");
}
