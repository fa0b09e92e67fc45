// The game never follows a link out of its own folders: a savegame, recordings
// or config folder, or a file in them, that leads elsewhere is refused before
// anything there is read, written or cleared; a link that stays inside is fine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "shell/startup.h"
#include "support/test_game.h"

namespace fs = std::filesystem;

namespace {

struct LinkCase {
    const char* place;  // below the game folder
    bool folder;        // a link to a folder (else to a file)
};

}  // namespace

TEST(OwnFolders, ALinkOutAtEachPlaceIsRefusedAndNothingOutsideIsTouched) {
    const LinkCase cases[] = {{"savegame", true},
                              {"savegame/recordings", true},
                              {"config", true},
                              {"config/preferences.xml", false},
                              {"savegame/character.xml", false},
                              {"savegame/map_start.xml", false}};
    for (const LinkCase& c : cases) {
        TempGameFolder game;
        TempGameFolder outside;  // another folder of the user's, with files of its own
        set_game_folder(game.path());
        const fs::path elsewhere = fs::path(outside.path()) / "elsewhere";
        fs::create_directories(elsewhere);
        std::ofstream(elsewhere / "letter.xml") << "<letter/>";
        std::ofstream(fs::path(outside.path()) / "file.xml") << "<file/>";
        fs::create_directories(fs::path(game.path()) / "savegame");
        fs::create_directories(fs::path(game.path()) / "config");
        const fs::path link = fs::path(game.path()) / c.place;
        fs::remove(link);
        fs::create_symlink(c.folder ? elsewhere : fs::path(outside.path()) / "file.xml", link);
        const std::string target = c.folder ? elsewhere.string() : (fs::path(outside.path()) / "file.xml").string();
        const std::string expected =
            "\"" + link.string() + "\" is a link to \"" + target + "\" outside the game's folder: the game writes only into its own folders";
        EXPECT_EQ(link_out_of_own_folders(), expected) << c.place;
        EXPECT_FATAL(load_saved_game_if_any(), expected);
        // Clearing and saving through it touch nothing outside.
        finish_interrupted_save("savegame");
        EXPECT_TRUE(fs::exists(elsewhere / "letter.xml")) << c.place;
        EXPECT_TRUE(fs::exists(fs::path(outside.path()) / "file.xml")) << c.place;
    }
}

TEST(OwnFolders, ALinkThatStaysInsideIsTheGamesOwn) {
    TempGameFolder game;
    fs::create_directories(fs::path(game.path()) / "saves_of_mine");
    fs::create_symlink(fs::path(game.path()) / "saves_of_mine", fs::path(game.path()) / "savegame");
    EXPECT_EQ(link_out_of_own_folders(), "");
    EXPECT_TRUE(write_file_atomically("savegame\\character.xml", "<character/>"));
    EXPECT_TRUE(fs::exists(fs::path(game.path()) / "saves_of_mine/character.xml"));
}
