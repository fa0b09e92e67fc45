// Where the game finds its data and where it writes: beside the executable as
// always, or, for an installed or read-only game, its savegame in the user's
// data folder and its preferences in the user's config folder, under the same
// logical paths.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/files.h"
#include "common/preferences.h"
#include "shell/shell_fixtures.h"

namespace fs = std::filesystem;

namespace {

// Sets or clears an environment variable for one scope.
class Environment {
public:
    Environment(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value->c_str(), 1);
        else unsetenv(name);
    }
    ~Environment() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string read(const fs::path& path) {
    std::string content;
    return read_whole_file(path.string(), content) ? content : "(missing)";
}

const std::string kShipped =
    "<?xml version=\"1.0\"?>\n<Umbrane_Preferences fullscreen=\"no\" fade_effect=\"no\" language=\"German\"/>\n";

// A game's data folders below root/folder: the shipped preferences and a data folder.
void make_data(const fs::path& folder) {
    fs::create_directories(folder / "config");
    fs::create_directories(folder / "data");
    write_file_atomically((folder / "config/preferences.xml").string(), kShipped);
}

}  // namespace

TEST(GameFolders, ACopiedGameWritesBesideItsExecutable) {
    TempGameFolder root;
    const fs::path game = fs::path(root.path()) / "copy";
    make_data(game);
    // An installed layout above it does not count while the data are beside the executable.
    make_data(fs::path(root.path()) / "share/umbrane");
    const GameFolders folders = locate_game_folders(game.string());
    EXPECT_EQ(folders.game, game.string());
    EXPECT_EQ(folders.save, game.string());
    EXPECT_FALSE(folders.installed);
    use_game_folders(folders);
    EXPECT_EQ(host_path("savegame\\character.xml"), (game / "savegame/character.xml").string());
    EXPECT_EQ(host_path("config\\preferences.xml"), (game / "config/preferences.xml").string());
    // A replay's own folder takes the game's own files while it is set.
    set_writable_folder((game / "replay").string());
    EXPECT_EQ(host_path("savegame\\character.xml"), (game / "replay/savegame/character.xml").string());
    set_writable_folder("");
}

TEST(GameFolders, AnInstalledGameKeepsSavesInTheDataFolderAndPreferencesInTheConfigFolder) {
    TempGameFolder root;
    const fs::path prefix = fs::path(root.path()) / "usr";
    const fs::path data = prefix / "share/games/umbrane";
    const fs::path user = fs::path(root.path()) / "xdg/umbrane";
    const fs::path config = fs::path(root.path()) / "config/umbrane";
    fs::create_directories(prefix / "games");
    make_data(data);
    Environment xdg("XDG_DATA_HOME", (fs::path(root.path()) / "xdg").string());
    Environment xdg_config("XDG_CONFIG_HOME", (fs::path(root.path()) / "config").string());

    // Debian's layout: the executable in PREFIX/games.
    const GameFolders folders = locate_game_folders((prefix / "games").string());
    EXPECT_EQ(folders.game, data.string());
    EXPECT_EQ(folders.save, user.string());
    EXPECT_EQ(folders.preferences, config.string());
    EXPECT_TRUE(folders.installed);
    use_game_folders(folders);
    EXPECT_EQ(game_folder(), data.string());
    EXPECT_EQ(save_folder(), user.string());

    // The user's preferences start as the shipped ones; a switch of the screen
    // mode writes the user's copy, the shipped file stays.
    EXPECT_EQ(read(config / "preferences.xml"), kShipped);
    EXPECT_FALSE(fs::exists(user / "config"));
    Preferences preferences;
    load_preferences(preferences, "config\\preferences.xml");
    EXPECT_EQ(preferences.language, "German");
    preferences.fullscreen = 1;
    save_preferences(preferences, "config\\preferences.xml");
    EXPECT_NE(read(config / "preferences.xml").find("fullscreen=\"yes\""), std::string::npos);
    EXPECT_EQ(read(data / "config/preferences.xml"), kShipped);
    // Started again, the game keeps the user's preferences.
    use_game_folders(locate_game_folders((prefix / "games").string()));
    EXPECT_NE(read(config / "preferences.xml").find("fullscreen=\"yes\""), std::string::npos);
    // A replay's folder of its own takes the preferences too, and gives them back after.
    set_writable_folder((fs::path(root.path()) / "replay").string());
    EXPECT_EQ(host_path("config\\preferences.xml"), (fs::path(root.path()) / "replay/config/preferences.xml").string());
    set_writable_folder(user.string());
    EXPECT_EQ(host_path("config\\preferences.xml"), (config / "preferences.xml").string());

    // The savegame, as one save batch, goes to the user's folder; the data are read where installed.
    ASSERT_TRUE(make_folder("savegame"));
    {
        SaveBatch save("savegame");
        ASSERT_TRUE(write_file_atomically("savegame\\map_start.xml", "<map/>"));
        ASSERT_TRUE(write_file_atomically("savegame\\character.xml", "<character/>"));
        ASSERT_TRUE(save.commit());
    }
    EXPECT_EQ(read(user / "savegame/character.xml"), "<character/>");
    EXPECT_EQ(list_folder("savegame", "*.xml").size(), 2u);
    EXPECT_TRUE(delete_file("savegame\\map_start.xml"));
    EXPECT_FALSE(fs::exists(data / "savegame"));
    EXPECT_EQ(host_path("data\\messages.xml"), (data / "data/messages.xml").string());
    EXPECT_EQ(host_path("config\\other.xml"), (data / "config/other.xml").string());
    // Back in a game folder that is written as always.
    use_game_folders(locate_game_folders(root.path()));
    EXPECT_EQ(save_folder(), root.path());
    EXPECT_EQ(host_path("config\\preferences.xml"), (fs::path(root.path()) / "config/preferences.xml").string());
}

TEST(GameFolders, PreferencesAnEarlierVersionKeptInTheDataFolderMoveOnce) {
    TempGameFolder root;
    const fs::path prefix = fs::path(root.path()) / "usr";
    const fs::path data = prefix / "share/umbrane";  // the older layout: PREFIX/bin
    const fs::path user = fs::path(root.path()) / "xdg/umbrane";
    const fs::path config = fs::path(root.path()) / "config/umbrane";
    fs::create_directories(prefix / "bin");
    make_data(data);
    const std::string mine = "<?xml version=\"1.0\"?>\n<Umbrane_Preferences fullscreen=\"yes\"/>\n";
    fs::create_directories(user / "config");
    write_file_atomically((user / "config/preferences.xml").string(), mine);
    Environment xdg("XDG_DATA_HOME", (fs::path(root.path()) / "xdg").string());
    Environment xdg_config("XDG_CONFIG_HOME", (fs::path(root.path()) / "config").string());

    use_game_folders(locate_game_folders((prefix / "bin").string()));
    EXPECT_EQ(read(config / "preferences.xml"), mine);
    EXPECT_FALSE(fs::exists(user / "config/preferences.xml"));
    // Once: a later file in the old place (an older version run again) does not overwrite.
    write_file_atomically((user / "config/preferences.xml").string(), kShipped);
    use_game_folders(locate_game_folders((prefix / "bin").string()));
    EXPECT_EQ(read(config / "preferences.xml"), mine);
    use_game_folders(locate_game_folders(root.path()));
}

TEST(GameFolders, TheUserFoldersFollowTheirXdgVariableThenHome) {
    struct Case {
        const char* variable;
        std::string (*folder)();
        std::optional<std::string> xdg, home;
        std::string expected;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME", user_data_folder, "/x/data", "/home/a", "/x/data/umbrane"},
        {"XDG_DATA_HOME", user_data_folder, std::nullopt, "/home/a", "/home/a/.local/share/umbrane"},
        {"XDG_DATA_HOME", user_data_folder, "", "/home/a", "/home/a/.local/share/umbrane"},
        {"XDG_DATA_HOME", user_data_folder, "relative/data", "/home/a", "/home/a/.local/share/umbrane"},  // as unset
        {"XDG_CONFIG_HOME", user_config_folder, "/x/config", "/home/a", "/x/config/umbrane"},
        {"XDG_CONFIG_HOME", user_config_folder, std::nullopt, "/home/a", "/home/a/.config/umbrane"},
        {"XDG_CONFIG_HOME", user_config_folder, "config", "/home/a", "/home/a/.config/umbrane"},
    };
    for (const Case& c : cases) {
        Environment xdg(c.variable, c.xdg);
        Environment home("HOME", c.home);
        EXPECT_EQ(c.folder(), c.expected) << c.variable << "=" << c.xdg.value_or("(unset)");
    }
    // Without $HOME the password database names the home.
    Environment xdg("XDG_DATA_HOME", std::nullopt);
    Environment xdg_config("XDG_CONFIG_HOME", std::nullopt);
    Environment home("HOME", std::nullopt);
    EXPECT_EQ(user_data_folder().substr(0, 1), "/");
    EXPECT_NE(user_data_folder().find("/.local/share/umbrane"), std::string::npos);
    EXPECT_NE(user_config_folder().find("/.config/umbrane"), std::string::npos);
}

TEST(GameFolders, AGameFolderThatCannotBeWrittenWritesInTheUserDataFolder) {
    TempGameFolder root;
    const fs::path game = fs::path(root.path()) / "readonly";
    make_data(game);
    Environment xdg("XDG_DATA_HOME", (fs::path(root.path()) / "xdg").string());
    chmod(game.c_str(), 0555);
    if (access(game.c_str(), W_OK) == 0) {
        chmod(game.c_str(), 0755);
        GTEST_SKIP() << "the folder stays writable for this user (root); the package test covers it";
    }
    const GameFolders folders = locate_game_folders(game.string());
    chmod(game.c_str(), 0755);
    EXPECT_EQ(folders.game, game.string());
    EXPECT_EQ(folders.save, (fs::path(root.path()) / "xdg/umbrane").string());
    EXPECT_FALSE(folders.installed);

    // The same for a writable folder whose savegame folder cannot be written.
    fs::create_directories(game / "savegame");
    chmod((game / "savegame").c_str(), 0555);
    EXPECT_EQ(locate_game_folders(game.string()).save, (fs::path(root.path()) / "xdg/umbrane").string());
    chmod((game / "savegame").c_str(), 0755);
}
