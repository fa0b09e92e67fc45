#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "shell/display.h"
#include "shell/shell_fixtures.h"
#include "shell/shell_state.h"
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

    EXPECT_EQ(g_shell.version, "0.1.0");
    EXPECT_EQ(g_shell.window_title, "Umbrane 0.1.0");
    EXPECT_TRUE(fs::is_directory(host_path("savegame")));
    EXPECT_EQ(g_shell.preferences.fullscreen, 0);
    EXPECT_EQ(g_shell.key_bindings[KEY_BINDING_MOVE_RIGHT].code, 205);
    EXPECT_EQ(g_shell.messages[29], "New game");
    EXPECT_EQ(g_shell.sounds[1].name, "hit");
    EXPECT_EQ(g_shell.sounds[2].name, "oh_no");
    EXPECT_TRUE(screen_is_open());
    EXPECT_FALSE(screen_is_fullscreen());
    EXPECT_TRUE(sprite_exists(sprite::splash));
    EXPECT_EQ(g_shell.items_sheet.columns, 8);

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
    EXPECT_EQ(loop.step_dx, 0);
    EXPECT_EQ(loop.step_dy, 0);

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
    EXPECT_EQ(g_shell.messages[29], "Neues Spiel");
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

TEST(Startup, MissingStarSpritesEndsTheStartUp) {
    TempGameFolder folder;
    write_shell_data(folder);
    fs::remove(host_path("graphics\\starsprites.png"));
    EXPECT_FATAL(startup(), "load_sprites(): cannot star sprites!");
    close_display();
}
