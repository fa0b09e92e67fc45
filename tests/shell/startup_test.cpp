#include <filesystem>
#include <fstream>
#include <sstream>

#include "character/character_state.h"
#include "map/map_file.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "game/character_savegame.h"
#include "presentation/display.h"
#include "screens/game_state.h"
#include "shell/shell_fixtures.h"
#include "common/common_state.h"
#include "game/turn_state.h"
#include "shell/startup.h"

namespace fs = std::filesystem;

namespace {

// The shell's own data: shipped preferences and messages, fixture graphics,
// two sounds, and empty databases.
void write_shell_data(const TempGameFolder& folder) {
    folder.copy_shipped("config");
    fs::create_directories(host_path("data"));
    fs::copy_file(std::string(UMBRANE_SOURCE_DIR) + "/game/data/messages.xml", host_path("data\\messages.xml"));
    folder.write("data\\abilities.xml", "<abilities Umbrane_version=\"0.1.0\"/>");
    folder.write("data\\monster.xml", "<monsters Umbrane_version=\"0.1.0\"/>");
    folder.write("data\\powers.xml", "<powers Umbrane_version=\"0.1.0\"/>");
    folder.write("data\\items.xml", "<items Umbrane_version=\"0.1.0\"/>");
    write_all_graphics(folder);
    fs::create_directories(host_path("sound"));
    fs::copy_file(std::string(UMBRANE_SOURCE_DIR) + "/tests/shell/data/tiny.ogg", host_path("sound\\hit.ogg"));
    fs::copy_file(std::string(UMBRANE_SOURCE_DIR) + "/tests/shell/data/tiny.ogg", host_path("sound\\oh_no.ogg"));
}

void close_display() {
    close_screen();
    close_window();
}

}  // namespace

TEST(Startup, LoadsPreferencesMessagesSoundsScreenAndSprites) {
    TempGameFolder folder;
    write_shell_data(folder);
    g_shell.loop.quit = 1;
    startup();

    EXPECT_EQ(g_common.version, "0.1.0");
    EXPECT_EQ(g_common.window_title, "Umbrane 0.1.0");
    EXPECT_TRUE(fs::is_directory(host_path("savegame")));
    EXPECT_EQ(g_common.preferences.fullscreen, 0);
    EXPECT_EQ(g_common.key_bindings[KEY_BINDING_MOVE_RIGHT].code, 205);
    EXPECT_EQ(g_common.messages[29], "New game");
    EXPECT_EQ(g_common.sounds[1].name, "hit");
    EXPECT_EQ(g_common.sounds[2].name, "oh_no");
    EXPECT_TRUE(screen_is_open());
    EXPECT_FALSE(screen_is_fullscreen());
    EXPECT_TRUE(sprite_exists(sprite::splash));
    EXPECT_EQ(g_common.items_sheet.columns, 8);

    const MainLoopFlags& loop = g_shell.loop;
    EXPECT_EQ(loop.quit, 0);
    EXPECT_EQ(loop.redraw, 1);
    EXPECT_EQ(loop.menu, 1);
    EXPECT_EQ(loop.moved, 0);
    EXPECT_EQ(loop.overlay, 0);
    EXPECT_EQ(loop.turn_ended, 0);
    EXPECT_EQ(loop.action_lock, 0);
    EXPECT_EQ(loop.burnt_out, 0);
    EXPECT_EQ(loop.blocked, 0);

    play_sound("oh_no");
    ASSERT_EQ(headless::played_sounds().size(), 1u);
    EXPECT_EQ(headless::played_sounds()[0].file, "sound\\oh_no.ogg");
    close_display();
}

TEST(Startup, FullscreenPreferenceOpensTheFullScreenAndLanguageChoosesTexts) {
    TempGameFolder folder;
    write_shell_data(folder);
    write_preferences(folder, "fullscreen=\"yes\" language=\"German\"");
    startup();
    EXPECT_TRUE(screen_is_open());
    EXPECT_TRUE(screen_is_fullscreen());
    EXPECT_EQ(g_common.messages[29], "Neues Spiel");
    close_display();
}

TEST(Startup, FailuresEndItBeforeTheScreenOpens) {
    {
        TempGameFolder folder;
        write_shell_data(folder);
        write_preferences(folder, "fullscreen=\"no\" volume=\"80\"");
        EXPECT_FATAL(startup(), "load_preferences(): unknown attribute \"volume\" in preferences xml file "
                                "\"config\\preferences.xml\"");
        EXPECT_FALSE(screen_is_open());
    }
    {
        TempGameFolder folder;
        write_shell_data(folder);
        fs::remove(host_path("data\\messages.xml"));
        EXPECT_FATAL(startup(), "load_message_list(): could not open message xml file: \"data\\messages.xml\"");
        EXPECT_FALSE(screen_is_open());
    }
    {
        TempGameFolder folder;
        write_shell_data(folder);
        fs::remove(host_path("config\\preferences.xml"));
        EXPECT_FATAL(startup(),
                     "load_preferences(): could not open preferences xml file: \"config\\preferences.xml\"");
    }
}

// Where no savegame folder can be written, start-up ends naming every folder it tried.
TEST(Startup, NoWritableSavegameFolderNamesTheFoldersTried) {
    TempGameFolder folder;
    write_shell_data(folder);
    folder.write("savegame", "a file where the folder belongs");
    const std::string game_savegame = (fs::path(game_folder()) / "savegame").string();
    EXPECT_FATAL(startup(), "startup(): cannot write the savegame folder; tried \"" + game_savegame + "\"");
    // The user's data folder, beneath that file, cannot be made either.
    const std::string user = game_savegame + "/user";
    set_writable_folder(user);
    EXPECT_FATAL(startup(), "startup(): cannot write the savegame folder; tried \"" + game_savegame + "\" and \"" +
                                user + "/savegame\"");
    set_writable_folder("");
    fs::remove(host_path("savegame"));
    startup();
    EXPECT_TRUE(fs::is_directory(host_path("savegame")));
    close_display();
}

TEST(Startup, MissingStarSpritesEndsTheStartUp) {
    TempGameFolder folder;
    write_shell_data(folder);
    fs::remove(host_path("graphics\\starsprites.png"));
    EXPECT_FATAL(startup(), "load_sprites(): cannot star sprites!");
    close_display();
}

TEST(Startup, StartsWithTheShippedGameAndRestoresTheSavedGame) {
    TempGameFolder folder;
    folder.copy_all_shipped();
    startup();
    EXPECT_EQ(g_common.preferences.language, "English");
    EXPECT_EQ(g_common.messages[31], "Quit");
    // Every sound the game plays by a fixed name is there.
    for (const char* name : {"oh_no", "evasion", "deathcry", "hit", "failure"}) {
        bool found = false;
        for (int n = SOUND_ENTRY_FIRST; n <= SOUND_ENTRY_LAST; ++n) found = found || (g_common.sounds[n].name == name && g_common.sounds[n].sound != 0);
        EXPECT_TRUE(found) << name;
    }
    // Nothing saved yet: no character and no map.
    EXPECT_EQ(g_map.map.filename, "");

    // A saved game: the start map, changed, and a character standing on it.
    load_map(g_map.map, "maps\\map_start.xml");
    g_map.map.name = "The start map, as saved";
    g_character_model.character.x = 5;
    g_character_model.character.y = 7;
    g_character_model.character.map_file_name = "map_start.xml";
    save_character(g_character_model.character, "savegame\\character.xml");
    save_map(g_map.map, "savegame\\map_start.xml");
    close_display();

    reset_game_state();
    startup();
    EXPECT_EQ(g_character_model.character.x, 5);
    EXPECT_EQ(g_character_model.character.y, 7);
    EXPECT_EQ(g_map.map.filename, "map_start.xml");
    EXPECT_EQ(g_map.map.name, "The start map, as saved");
    EXPECT_EQ(g_shell.loop.menu, 1);
    close_display();

    // An empty character file means there is no saved game.
    folder.write("savegame\\character.xml", "");
    reset_game_state();
    startup();
    EXPECT_EQ(g_character_model.character.x, 0);
    EXPECT_EQ(g_map.map.filename, "");
    close_display();
}
