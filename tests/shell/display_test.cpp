#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "presentation/display.h"
#include "common/preferences.h"
#include "shell/shell_fixtures.h"
#include "common/common_state.h"

namespace fs = std::filesystem;

namespace {

std::string tiny_ogg() {
    std::ifstream in(std::string(UMBRANE_SOURCE_DIR) + "/tests/shell/data/tiny.ogg", std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

int plays_of(const std::string& file) {
    int count = 0;
    for (const headless::PlayedSound& played : headless::played_sounds())
        if (played.file == file) ++count;
    return count;
}

// The failure message of each graphics file, in the order of sheet_fixtures().
const std::vector<std::string> kSheetFailures = {
    "load_sprites(): can't load character sprites!",    "load_sprites(): can't load frame sprites!",
    "load_sprites(): can't load abilities sprites!",    "load_sprites(): can't load splash sprite!",
    "load_sprites(): cannot load monster sprite!",      "load_sprites(): cannot load mouse pointer graphics!",
    "load_sprites(): cannot load bloodspot image!",     "load_sprites(): cannot load powers image!",
    "load_sprites(): cannot load cursor image!",        "load_sprites(): cannot star sprites!",
    "load_sprites(): cannot load missiles sprites!",    "load_sprites(): cannot load light radius sprite!",
    "load_sprites(): cannot load light radius sprite!", "load_sprites(): cannot load light radius sprite!",
    "load_sprites(): cannot load light radius sprite!", "load_sprites(): cannot load light radius sprite!",
    "load_sprites(): cannot load light radius sprite!", "load_sprites(): cannot load light radius sprite!",
    "load_sprites(): cannot load item sprites!",        "load_sprites(): cannot load fx sprites!",
};

}  // namespace

TEST(LoadSprites, LoadsEverySheetMeasuresAndCreatesTheDarkSprites) {
    TempGameFolder folder;
    write_all_graphics(folder);
    load_sprites();

    const int loaded[] = {0, 1, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
    ASSERT_EQ(std::size(loaded), sheet_fixtures().size());
    for (size_t i = 0; i < std::size(loaded); ++i) {
        SCOPED_TRACE(sheet_fixtures()[i].file);
        ASSERT_TRUE(sprite_exists(loaded[i]));
        EXPECT_EQ(sprite_width(loaded[i]), sheet_fixtures()[i].width);
        EXPECT_EQ(sprite_height(loaded[i]), sheet_fixtures()[i].height);
    }
    EXPECT_FALSE(sprite_exists(sprite::screenshot));

    // Whole 32-pixel cells only.
    const std::pair<const SheetSize*, SheetSize> measured[] = {
        {&g_common.abilities_sheet, {8, 4}}, {&g_common.monster_sheet, {8, 3}}, {&g_common.powers_sheet, {7, 3}},
        {&g_common.missiles_sheet, {5, 2}},  {&g_common.items_sheet, {8, 6}},   {&g_common.fx_sheet, {4, 1}}};
    for (const auto& [sheet, size] : measured) {
        EXPECT_EQ(sheet->columns, size.columns);
        EXPECT_EQ(sheet->rows, size.rows);
    }

    for (auto [number, width, height] : {std::tuple{sprite::map_dark, 416, 416}, {sprite::screen_dark, 640, 480}}) {
        ASSERT_TRUE(sprite_exists(number));
        EXPECT_EQ(sprite_width(number), width);
        EXPECT_EQ(sprite_height(number), height);
        EXPECT_EQ(sprite_pixel(number, 0, 0), RGB(1, 1, 1));
        EXPECT_EQ(sprite_pixel(number, width - 1, height - 1), RGB(1, 1, 1));
    }
}

TEST(LoadSprites, EachMissingSheetEndsWithItsOwnMessage) {
    ASSERT_EQ(kSheetFailures.size(), sheet_fixtures().size());
    for (size_t missing = 0; missing < sheet_fixtures().size(); ++missing) {
        SCOPED_TRACE(sheet_fixtures()[missing].file);
        TempGameFolder folder;
        write_all_graphics(folder);
        fs::remove(host_path(sheet_fixtures()[missing].file));
        EXPECT_FATAL(load_sprites(), kSheetFailures[missing]);
    }
    // A file that is there but no whole picture gets the same message followed by the file.
    TempGameFolder folder;
    write_all_graphics(folder);
    std::string whole;
    ASSERT_TRUE(read_whole_file("graphics\\monster.png", whole));
    const std::pair<const char*, std::string> broken[] = {
        {"graphics\\starsprites.png", "not a picture"},
        {"graphics\\light3.png", ""},
        {"graphics\\monster.png", whole.substr(0, whole.size() * 2 / 3)},
    };
    const char* messages[] = {"load_sprites(): cannot star sprites! \"graphics\\starsprites.png\"",
                              "load_sprites(): cannot load light radius sprite! \"graphics\\light3.png\"",
                              "load_sprites(): cannot load monster sprite! \"graphics\\monster.png\""};
    for (size_t i = 0; i < std::size(broken); ++i) {
        write_all_graphics(folder);
        folder.write(broken[i].first, broken[i].second);
        EXPECT_FATAL(load_sprites(), messages[i]);
    }
}

TEST(LoadSounds, OnlyTheFilesThatFitTheTableAreLoaded) {
    TempGameFolder folder;
    const std::string ogg = tiny_ogg();
    ASSERT_FALSE(ogg.empty());
    constexpr int kFitting = SOUND_ENTRY_LAST - SOUND_ENTRY_FIRST + 1;
    static_assert(kFitting >= 60, "room for the sounds of a game with many monsters and powers");
    auto name_of = [](int i) {
        std::string digits = std::to_string(i);
        return "s" + std::string(3 - digits.size(), '0') + digits;
    };
    for (int i = 0; i <= kFitting; ++i) folder.write("sound\\" + name_of(i) + ".ogg", ogg);
    load_sounds();
    EXPECT_EQ(g_common.sounds[0].name, "");
    EXPECT_EQ(g_common.sounds[SOUND_ENTRY_FIRST].name, "s000");
    EXPECT_EQ(g_common.sounds[SOUND_ENTRY_LAST].name, name_of(kFitting - 1));
    for (int n = SOUND_ENTRY_LAST + 1; n < SOUND_TABLE_SIZE; ++n) EXPECT_EQ(g_common.sounds[n].name, "") << n;
    for (int n = SOUND_ENTRY_FIRST; n <= SOUND_ENTRY_LAST; ++n) EXPECT_NE(g_common.sounds[n].sound, 0) << n;

    // The file past the table plays nothing; the first and the last that fit play.
    play_sound(name_of(kFitting));
    EXPECT_TRUE(headless::played_sounds().empty());
    play_sound(name_of(kFitting - 1));
    play_sound("s000");
    ASSERT_EQ(headless::played_sounds().size(), 2u);
    EXPECT_EQ(headless::played_sounds()[0].file, "sound\\" + name_of(kFitting - 1) + ".ogg");
    EXPECT_EQ(headless::played_sounds()[0].volume, 50);
    EXPECT_EQ(headless::played_sounds()[1].file, "sound\\s000.ogg");
}

TEST(LoadSounds, ExtensionsAreRemovedIgnoringCaseAndNamesCompareExactly) {
    TempGameFolder folder;
    const std::string ogg = tiny_ogg();
    folder.write("sound\\Growl.OGG", ogg);
    folder.write("sound\\hit.ogg", ogg);
    folder.write("sound\\hit.Ogg.ogg", ogg);  // also named "hit"
    folder.write("sound\\readme.txt", "not a sound");
    fs::create_directories(host_path("sound\\folder.ogg"));  // a folder is no sound
    load_sounds();

    EXPECT_EQ(g_common.sounds[1].name, "Growl");
    EXPECT_EQ(g_common.sounds[2].name, "hit");
    EXPECT_EQ(g_common.sounds[3].name, "hit");
    EXPECT_EQ(g_common.sounds[4].name, "");

    play_sound("growl");
    play_sound("GROWL");
    play_sound("Growl.OGG");
    play_sound("");
    EXPECT_TRUE(headless::played_sounds().empty());

    play_sound("Growl");
    EXPECT_EQ(plays_of("sound\\Growl.OGG"), 1);
    // Every entry of that name plays.
    play_sound("hit");
    EXPECT_EQ(plays_of("sound\\hit.ogg"), 1);
    EXPECT_EQ(plays_of("sound\\hit.Ogg.ogg"), 1);
    EXPECT_EQ(headless::played_sounds().size(), 3u);
}

TEST(LoadSounds, MissingFolderAndBrokenFilesAreSilent) {
    TempGameFolder folder;
    g_common.sounds[4] = {"stale", 7};
    load_sounds();
    for (const SoundEntry& entry : g_common.sounds) {
        EXPECT_EQ(entry.name, "");
        EXPECT_EQ(entry.sound, 0);
    }
    play_sound("stale");
    EXPECT_TRUE(headless::played_sounds().empty());

    folder.write("sound\\broken.ogg", "this is not vorbis");
    folder.write("sound\\good.ogg", tiny_ogg());
    load_sounds();
    // The broken file keeps its place in the table but plays nothing.
    EXPECT_EQ(g_common.sounds[1].name, "broken");
    EXPECT_EQ(g_common.sounds[1].sound, 0);
    EXPECT_EQ(g_common.sounds[2].name, "good");
    play_sound("broken");
    EXPECT_TRUE(headless::played_sounds().empty());
    play_sound("good");
    EXPECT_EQ(plays_of("sound\\good.ogg"), 1);
}

TEST(Screenshot, SavesTheShownScreenAsJpeg) {
    TempGameFolder folder;
    shell::open_window_screen();
    clear_screen(RGB(0, 0, 255));
    flip();
    screenshot("savegame\\screenshot.jpg");
    EXPECT_GT(file_size("savegame\\screenshot.jpg"), 0);
    EXPECT_EQ(sprite_width(sprite::screenshot), 640);
    EXPECT_EQ(sprite_height(sprite::screenshot), 480);

    int picture = sprite_load_any("savegame\\screenshot.jpg");
    ASSERT_NE(picture, 0);
    EXPECT_EQ(sprite_width(picture), 640);
    EXPECT_EQ(sprite_height(picture), 480);
    Colour middle = sprite_pixel(picture, 320, 240);
    EXPECT_LT(middle & 0xFF, 40u);                 // red
    EXPECT_GT((middle >> 16) & 0xFF, 200u);        // blue
    sprite_free(picture);

    fs::create_directories(host_path("savegame\\blocked.jpg") + "/inside");
    EXPECT_FATAL(screenshot("savegame\\blocked.jpg"),
                 "screenshot(): could not save screenshot to file \"savegame\\blocked.jpg\"");
    close_screen();
    close_window();
}

TEST(ToggleFullscreen, SwitchesReloadsSpritesAndWritesThePreferences) {
    TempGameFolder folder;
    write_all_graphics(folder);
    write_preferences(folder, "fullscreen=\"no\" message_delay=\"9\" language=\"German\"");
    load_preferences(g_common.preferences, "config\\preferences.xml");
    shell::open_window_screen();
    ASSERT_TRUE(screen_is_open());
    EXPECT_FALSE(screen_is_fullscreen());
    load_sprites();

    toggle_fullscreen(g_map.map.tileset, 0);
    EXPECT_EQ(g_common.preferences.fullscreen, 1);
    EXPECT_TRUE(screen_is_open());
    EXPECT_TRUE(screen_is_fullscreen());
    EXPECT_TRUE(sprite_exists(sprite::character));
    EXPECT_TRUE(sprite_exists(sprite::frame));
    Preferences written;
    load_preferences(written, "config\\preferences.xml");
    EXPECT_EQ(written.fullscreen, 1);
    EXPECT_EQ(written.message_delay, 9);
    EXPECT_EQ(written.language, "German");

    toggle_fullscreen(g_map.map.tileset, 0);
    EXPECT_EQ(g_common.preferences.fullscreen, 0);
    EXPECT_TRUE(screen_is_open());
    EXPECT_FALSE(screen_is_fullscreen());
    load_preferences(written, "config\\preferences.xml");
    EXPECT_EQ(written.fullscreen, 0);

    // Every switch loads the sheets again from their files.
    fs::remove(host_path("graphics\\frame.png"));
    EXPECT_FATAL(toggle_fullscreen(g_map.map.tileset, 0), "load_sprites(): can't load frame sprites!");
    close_screen();
    close_window();
}

TEST(ToggleFullscreen, ReloadsTheTilesetImageOnlyWhenAsked) {
    TempGameFolder folder;
    write_all_graphics(folder);
    write_preferences(folder, "");
    load_preferences(g_common.preferences, "config\\preferences.xml");
    shell::open_window_screen();
    load_sprites();
    Tileset& tileset = g_map.map.tileset;
    tileset.image_filename = "tiles_test.png";

    write_png(folder, "tilesets\\tiles_test.png", 640, 256);
    toggle_fullscreen(tileset, 1);
    EXPECT_EQ(tileset.sprite_loaded, 1);
    EXPECT_EQ(tileset.tiles_wide, 20);
    EXPECT_EQ(tileset.tiles_high, 8);

    // Without the reload flag the sheet stays as it was.
    write_png(folder, "tilesets\\tiles_test.png", 320, 64);
    toggle_fullscreen(tileset, 0);
    EXPECT_EQ(tileset.tiles_wide, 20);
    toggle_fullscreen(tileset, 1);
    EXPECT_EQ(tileset.tiles_wide, 10);
    EXPECT_EQ(tileset.tiles_high, 2);
    EXPECT_TRUE(sprite_exists(tileset.sprite));
    close_screen();
    close_window();
}
