// Saves under failing files. The file layer fails the n-th operation that
// changes a file (opening, a write, a sync, a rename, a removal), once or from
// then on (a full disk), at every point of a new game, a save, a journey and a
// level change. After each, the game starts up as after the program's end: the
// savegame must load as a pair, from the last good save or the step under way,
// never a mix; a full disk keeps the last good save whole, is said in the band,
// and the next save writes what the failed one could not.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "character/character_state.h"
#include "common/common_state.h"
#include "map/level_creation.h"
#include "map/map_events.h"
#include "map/map_file.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "screens/main_menu.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "support/screen_driver.h"
#include "game/turn_state.h"

namespace {

constexpr const char* CHARACTER_FILE = "savegame\\character.xml";

// The shipped texts of saving, for the band.
std::string saving_messages() {
    std::ifstream file(std::string(UMBRANE_SOURCE_DIR) + "/game/data/messages.xml");
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t from = all.find("<!-- 450..469"), to = all.find("<!-- end of 450..469 -->");
    return from == std::string::npos || to == std::string::npos ? "" : all.substr(from, to - from);
}

// The start map's portal at (2, 5) leads to the second map; its field (4, 4) goes down a one-level dungeon.
void write_game(const TempGameFolder& folder) {
    FixtureOptions options;
    options.messages = saving_messages();
    options.start_map = "<field x=\"2\" y=\"5\" portal_mapfile=\"map_two.xml\" portal_x=\"5\" portal_y=\"5\">1</field>\n";
    write_fixture_game(folder, options);
    folder.write("maps\\map_two.xml",
                 R"(<map name="Second Map" tileset_definition_filename="test_tiles.xml" tileset_image_filename="test_tiles.png"
     tile_outside_map="4" default_tile="1">
  <field x="3" y="3" portal_mapfile="map_start.xml" portal_x="2" portal_y="6">1</field>
  <dungeon xpos="4" ypos="4" name="Pit" map_filename="pit" number_of_levels="1" dimension_x="9" dimension_y="9"
    lighting="8" default_tile="4" background_tile="1" tile_outside_map="4"/>
</map>
)");
    folder.write("tilesets\\tiles_standard.xml", "<tileset><tile_type id=\"1\" name=\"floor\"/><tile_type id=\"4\" "
                                                 "name=\"rock\" solid=\"yes\"/></tileset>");
    folder.write_png("tilesets\\tiles_standard.png", 640, 256,
                     [](int x, int y) { return fixture_tile_colour(x / 32 + y / 32); });
}

enum class SaveStep { new_game, save_and_return, portal, level_change };
const char* name_of(SaveStep step) {
    switch (step) {
        case SaveStep::new_game: return "new game";
        case SaveStep::save_and_return: return "save";
        case SaveStep::portal: return "journey";
        default: return "level change";
    }
}

// The game before the step: a character named "old" on the second map, which
// it changed (renamed "old map"), with the start map visited before.
void set_up_old_game() {
    startup();
    headless::set_deadline(0);
    new_game_flow();
    CharacterRecord& hero = g_character_model.character;
    hero.x = 2, hero.y = 5;
    save_journey(portal_journey);
    hero.name = "old";
    g_map.map.name = "old map";
    save_and_return_flow();
}

// The step; the character carries "new" and the map it stands on "changed".
void run_step(SaveStep step) {
    CharacterRecord& hero = g_character_model.character;
    g_shell.loop.menu = 0;
    hero.name = "new";  // a new character keeps the name
    if (step == SaveStep::new_game) {
        new_game_flow();
        return;
    }
    g_map.map.name = "changed";
    if (step == SaveStep::save_and_return) save_and_return_flow();
    if (step == SaveStep::portal) hero.x = 3, hero.y = 3, save_journey(portal_journey);
    if (step == SaveStep::level_change) hero.x = 4, hero.y = 4, save_journey(change_level);
}

// The saved game as start-up finds it: "old" or the step's own, each with its own maps.
std::string saved_game(SaveStep step) {
    startup();
    if (file_size(CHARACTER_FILE) <= 0) return "none";
    const CharacterRecord& hero = g_character_model.character;
    if (hero.name == "old") {
        EXPECT_EQ(g_map.map.name, "old map");
        EXPECT_EQ(hero.map_file_name, "map_two.xml");
        return "old";
    }
    if (step == SaveStep::new_game) {
        // The first save of a new character: the start map afresh, nothing of the old game's maps.
        EXPECT_EQ(hero.map_file_name, "map_start.xml");
        EXPECT_LT(file_size("savegame\\map_two.xml"), 0) << "a map of the replaced game stayed";
    } else if (step == SaveStep::save_and_return) {
        EXPECT_EQ(g_map.map.name, "changed");
    } else {
        // The map left was saved with the journey.
        GameMap left;
        load_map(left, "savegame\\map_two.xml", 0);
        EXPECT_EQ(left.name, "changed");
        EXPECT_EQ(hero.map_file_name, step == SaveStep::portal ? "map_start.xml" : "pit_1.xml");
    }
    return hero.name;
}

bool band_said(const std::string& text) {
    for (const ShownText& shown : g_common.message_history.texts)
        if (shown.text.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(SaveFaults, EveryOperationOfEveryStepFailingLeavesOneWholeGame) {
    // Syncs are operations too; without them a point of each save is hit in a fraction of the time.
    struct Durable {
        ~Durable() { set_durable_saves(true); }
    } durable_again;
    for (SaveStep step : {SaveStep::new_game, SaveStep::save_and_return, SaveStep::portal, SaveStep::level_change}) {
        TempGameFolder folder;
        write_game(folder);
        set_durable_saves(step == SaveStep::save_and_return);
        set_up_old_game();
        const std::filesystem::path savegame = host_path("savegame"), snapshot = folder.path() + "/old_game";
        std::filesystem::copy(savegame, snapshot, std::filesystem::copy_options::recursive);
        startup();
        inject_file_fault(0, 0, false);
        run_step(step);
        const long operations = file_operations();
        ASSERT_GT(operations, 5) << name_of(step);
        EXPECT_EQ(saved_game(step), "new") << name_of(step) << " without a fault";
        for (long nth = 1; nth <= operations && !HasFailure(); ++nth) {
            for (bool full_disk : {false, true}) {
                // The old game again, as it was saved.
                std::filesystem::remove_all(savegame);
                std::filesystem::copy(snapshot, savegame, std::filesystem::copy_options::recursive);
                startup();
                g_shell.loop.menu = 0;
                inject_file_fault(nth, full_disk ? ENOSPC : EIO, full_disk);
                run_step(step);
                inject_file_fault(0, 0, false);
                const bool kept = unsaved_changes();
                const std::string where = std::string(name_of(step)) + ", operation " + std::to_string(nth) +
                                          (full_disk ? " of a full disk" : " failing once");
                if (full_disk && kept) {
                    // Nothing of the step reached the disk, and the band says why.
                    EXPECT_TRUE(band_said("the disk of")) << where;
                    EXPECT_EQ(saved_game(step), "old") << where;
                    continue;
                }
                if (full_disk) {
                    // Failing only after the step's list of renames stood: start-up finishes it.
                    EXPECT_EQ(saved_game(step), "new") << where;
                    continue;
                }
                if (kept) {
                    // With room again, the next save writes what the failed step held, and the game as it stands.
                    save_and_return_flow();
                    EXPECT_FALSE(unsaved_changes()) << where;
                }
                const std::string found = saved_game(step);
                EXPECT_TRUE(found == "old" || found == "new") << where << ": " << found;
                if (kept) {
                    EXPECT_EQ(found, "new") << where;
                }
            }
        }
    }
}

TEST(SaveFaults, AFullDiskKeepsTheGameRunningUntilThereIsRoomAgain) {
    TempGameFolder folder;
    write_game(folder);
    set_up_old_game();
    // Full from the first operation: the journey and the level change happen in play all the same.
    inject_file_fault(1, ENOSPC, true);
    run_step(SaveStep::portal);
    EXPECT_EQ(g_map.map.filename, "map_start.xml");
    CharacterRecord& hero = g_character_model.character;
    hero.x = 2, hero.y = 5;
    save_journey(portal_journey);  // back to the second map: it reads as the failed step left it
    EXPECT_EQ(g_map.map.name, "changed");
    save_and_return_flow();  // Escape stays in the game
    EXPECT_EQ(g_shell.loop.menu, 0);
    EXPECT_TRUE(band_said("The game goes on; the next save tries again."));
    // Room again: the next save writes it all.
    inject_file_fault(0, 0, false);
    save_and_return_flow();
    EXPECT_EQ(g_shell.loop.menu, 1);
    EXPECT_FALSE(unsaved_changes());
    startup();
    EXPECT_EQ(g_character_model.character.name, "new");
    EXPECT_EQ(g_map.map.name, "changed");
    GameMap visited;
    load_map(visited, "savegame\\map_start.xml", 0);
    EXPECT_EQ(visited.filename, "map_start.xml");
    // A full disk at the program's end is said, and the last save stays whole.
    inject_file_fault(1, ENOSPC, true);
    g_character_model.character.name = "lost";
    try {
        save_at_program_end(true);
        ADD_FAILURE() << "no word of the full disk at the end";
    } catch (const FatalError& error) {
        EXPECT_NE(std::string(error.what()).find("the disk of"), std::string::npos) << error.what();
    }
    inject_file_fault(0, 0, false);
    startup();
    EXPECT_EQ(g_character_model.character.name, "new");
}

TEST(SaveFaults, NewGameRemovesOnlyTheFilesTheGameSaved) {
    TempGameFolder folder;
    write_game(folder);
    set_up_old_game();
    folder.write("savegame\\notes.xml", "<mine/>");  // the player's own file
    folder.write("savegame\\notes.txt", "mine");
    const std::string screenshot = saved_file("savegame\\screenshot.jpg");
    new_game_flow();
    EXPECT_EQ(saved_file("savegame\\notes.xml"), "<mine/>");
    EXPECT_EQ(saved_file("savegame\\notes.txt"), "mine");
    EXPECT_LT(file_size("savegame\\map_two.xml"), 0);
    EXPECT_EQ(saved_file("savegame\\screenshot.jpg"), screenshot);
    // The death clears the game the same way.
    clear_saved_game("savegame", "character.xml");
    EXPECT_LT(file_size(CHARACTER_FILE), 0);
    EXPECT_LT(file_size("savegame\\map_start.xml"), 0);
    EXPECT_EQ(saved_file("savegame\\notes.xml"), "<mine/>");
}

namespace {

// The files of the first folder made by keep_aside, by name.
std::vector<std::string> kept_aside(const std::string& file) {
    std::vector<std::string> found;
    for (const FolderEntry& entry : list_folder("savegame", "damaged_*"))
        if (entry.type == 2 && file_size("savegame\\" + entry.name + "\\" + file) >= 0)
            found.push_back(saved_file("savegame\\" + entry.name + "\\" + file));
    return found;
}

}  // namespace

TEST(DamagedSaves, AVisitedMapThatDoesNotReadIsKeptAsideAndReadAfresh) {
    TempGameFolder folder;
    write_game(folder);
    set_up_old_game();
    g_shell.loop.menu = 0;
    const std::string whole = saved_file("savegame\\map_start.xml");
    const std::string cut = whole.substr(0, whole.size() / 2);
    folder.write("savegame\\map_start.xml", cut);
    CharacterRecord& hero = g_character_model.character;
    hero.x = 3, hero.y = 3;
    save_journey(portal_journey);
    EXPECT_EQ(g_map.map.name, "Fixture Meadow");
    EXPECT_EQ(hero.map_file_name, "map_start.xml");
    EXPECT_EQ(hero.x, 2);
    EXPECT_EQ(hero.y, 6);
    EXPECT_TRUE(band_said("The saved map savegame\\map_start.xml does not read; it is kept in savegame\\damaged_"));
    EXPECT_EQ(kept_aside("map_start.xml"), std::vector<std::string>{cut});
    // A damaged level is made anew, without a second pick for it.
    hero.x = 2, hero.y = 5;
    save_journey(portal_journey);
    folder.write("savegame\\pit_1.xml", "garbage");
    hero.x = 4, hero.y = 4;
    save_journey(change_level);
    EXPECT_EQ(hero.map_file_name, "pit_1.xml");
    EXPECT_EQ(hero.x, 1);
    EXPECT_EQ(hero.y, 1);
    EXPECT_EQ(kept_aside("pit_1.xml"), std::vector<std::string>{"garbage"});
    startup();  // the game saved with it reads
    EXPECT_EQ(g_character_model.character.map_file_name, "pit_1.xml");
}

TEST(DamagedSaves, ASavegameThatDoesNotReadOpensTheMenuWithItsFaultAndIsKept) {
    for (const char* damage : {"cut", "out of range"}) {
        TempGameFolder folder;
        write_game(folder);
        set_up_old_game();
        const std::string character = saved_file(CHARACTER_FILE);
        const std::string map = saved_file("savegame\\map_two.xml");
        std::string broken = character.substr(0, character.size() / 2);
        if (std::string(damage) == "out of range") {
            broken = character;
            broken.replace(broken.find("xpos=\"") + 6, 1, "999");
        }
        folder.write(CHARACTER_FILE, broken);
        startup();  // no fatal error
        EXPECT_NE(menu_notice(0).find("The savegame does not read: load_character(): "), std::string::npos)
            << damage << ": " << menu_notice(0);
        EXPECT_EQ(menu_notice(1).rfind("It is kept in savegame\\damaged_", 0), 0u) << menu_notice(1);
        EXPECT_LT(file_size(CHARACTER_FILE), 0) << damage;
        EXPECT_EQ(kept_aside("character.xml"), std::vector<std::string>{broken});
        EXPECT_EQ(kept_aside("map_two.xml"), std::vector<std::string>{map});
        // The menu offers a new game, which starts afresh.
        headless::set_deadline(0);
        MenuChoice choice = MenuChoice::continue_game;
        main_menu([&](MenuChoice chosen) { choice = chosen; });
        run_screens();
        EXPECT_EQ(choice, MenuChoice::quit);  // Escape at once
        EXPECT_EQ(menu_notice(0), "");
        new_game_flow();
        startup();
        EXPECT_EQ(g_character_model.character.map_file_name, "map_start.xml") << damage;
        EXPECT_EQ(kept_aside("character.xml"), std::vector<std::string>{broken}) << "the broken savegame stays";
    }
}
