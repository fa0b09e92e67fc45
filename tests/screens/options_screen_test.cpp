// The options screen on the shipped game: the language switched at once (the
// messages and the databases' names), the sound, the window's size, a key
// rebound and one refused, the gamepad following, everything reset, and the
// preferences saved as the screen closes; then the screen reached from the
// main menu by keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/commands.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/preferences.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "presentation/presentation_state.h"
#include "screens/main_menu.h"
#include "screens/options_screen.h"
#include "support/screen_driver.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "support/test_game.h"

namespace {

constexpr int KEY_J = 0x24, KEY_V = 0x2F;

class OptionsScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.copy_all_shipped();
        headless::set_deadline(600000);
        startup();
    }
    void TearDown() override {
        reset_command_keys();
        reset_gamepad_commands();
        apply_preferences(Preferences{});
    }
    // Down until the chosen row is that of the command (or of the gamepad control).
    void choose(OptionsScreen& screen, Command command, PadControl control = PadControl::count) {
        for (size_t k = 0; k < screen.rows().size(); ++k) {
            const OptionsScreen::Row& row = screen.rows()[static_cast<size_t>(screen.selected())];
            if (control == PadControl::count ? row.command == command && row.kind == OptionsScreen::RowKind::command
                                             : row.control == control)
                return;
            screen.take(Command::cursor_down);
        }
        FAIL() << "no such row";
    }
    std::string chosen_line(const OptionsScreen& screen) {
        return screen.lines()[static_cast<size_t>(screen.selected())].text;
    }
    std::string preferences_text() {
        std::ifstream in(folder.path() + "/config/preferences.xml", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    TempGameFolder folder;
};

}  // namespace

TEST_F(OptionsScreenTest, EveryChangeTakesEffectAtOnceAndIsSavedAsTheScreenCloses) {
    OptionsScreen screen;
    EXPECT_EQ(chosen_line(screen), "> Language: English");
    EXPECT_EQ(screen.footer(), "Up/Down: choose · Return: change · Left / Right: less / more · Escape: back");
    // The language: the screen's texts, the keys' names and the monsters' names at once.
    screen.take(Command::confirm);
    EXPECT_EQ(g_common.preferences.language, "German");
    EXPECT_EQ(chosen_line(screen), "> Sprache: Deutsch");
    EXPECT_EQ(message_text(msg::options), "Optionen");
    EXPECT_EQ(g_db.monster_types[1].name, "Ratte");
    EXPECT_EQ(screen.footer(), "Auf/Ab: wählen · Eingabetaste: ändern · Links / Rechts: weniger / mehr · Escape: zurück");

    // The volume in steps of ten, within 0..100; muting; the window's size around to automatic.
    screen.take(Command::cursor_down);
    for (int k = 0; k < 3; ++k) screen.take(Command::cursor_left);
    EXPECT_EQ(sound_master_volume(), 70);
    for (int k = 0; k < 5; ++k) screen.take(Command::cursor_right);
    EXPECT_EQ(sound_master_volume(), 100);
    screen.take(Command::cursor_down);
    screen.take(Command::confirm);
    EXPECT_EQ(sound_master_volume(), 0);
    EXPECT_EQ(chosen_line(screen), "> Ton: aus");
    screen.take(Command::cursor_down);
    screen.take(Command::cursor_right);
    EXPECT_EQ(chosen_line(screen), "> Fenstergröße: 1 x (640 x 480)");
    screen.take(Command::cursor_left);
    screen.take(Command::cursor_left);
    EXPECT_EQ(g_common.preferences.window_scale, OptionsScreen::kMaxWindowScale);
    screen.take(Command::cursor_right);
    EXPECT_EQ(chosen_line(screen), "> Fenstergröße: automatisch");

    // A key taken by another command of the play is refused with a word in the band.
    choose(screen, Command::wait);
    screen.take(Command::confirm);
    EXPECT_TRUE(screen.capturing());
    EXPECT_EQ(screen.footer(), "Drücke die neue Taste für Warten · Escape: Tasten behalten");
    screen.take_key({key::r, false});
    EXPECT_FALSE(screen.capturing());
    EXPECT_EQ(screen.notice(), "Abgelehnt: R dient schon für Ausruhen.");
    EXPECT_EQ(command_key_names(Command::wait), "E");
    // Cancel while waiting for the key keeps the keys and the screen.
    screen.take(Command::confirm);
    screen.take(Command::cancel);
    EXPECT_FALSE(screen.capturing());
    EXPECT_FALSE(screen.closed());
    EXPECT_EQ(command_key_names(Command::wait), "E");
    // A free key: V waits now, and only V.
    screen.take(Command::confirm);
    screen.take_key({KEY_V, false});
    EXPECT_EQ(chosen_line(screen), "> Warten: V");
    // The gamepad's left shoulder follows the inventory to its new key.
    choose(screen, Command::inventory);
    screen.take(Command::confirm);
    screen.take_key({KEY_J, false});
    EXPECT_EQ(gamepad_mapping()[PadControl::left_shoulder], KEY_J);
    // Its X serves no command, then the first of the table (walking up, as the Up arrow).
    choose(screen, Command::none, PadControl::x);
    EXPECT_EQ(chosen_line(screen), "> X: keine");
    screen.take(Command::cursor_right);
    EXPECT_EQ(chosen_line(screen), "> X: Nach oben gehen");
    EXPECT_EQ(gamepad_mapping()[PadControl::x], key::up);
    screen.take(Command::last);
    EXPECT_EQ(chosen_line(screen), "> Linker Stick rechts: Nach rechts gehen");

    // Saved as the screen closes, and read back so.
    screen.take(Command::cancel);
    EXPECT_TRUE(screen.closed());
    const std::string saved = preferences_text();
    for (const char* part : {"language=\"German\"", "sound_mute=\"yes\"", "<key_binding command=\"wait\" keys=\"47\"/>",
                             "<key_binding command=\"inventory\" keys=\"36\"/>",
                             "<gamepad_button control=\"x\" command=\"move up\"/>"})
        EXPECT_NE(saved.find(part), std::string::npos) << part << " in " << saved;
    Preferences read;
    load_preferences(read, "config\\preferences.xml");
    EXPECT_EQ(command_key_names(Command::wait), "V");
    EXPECT_EQ(gamepad_command(PadControl::x), Command::walk_up);

    // Everything reset to its defaults from the first rows; the word says so.
    OptionsScreen again;
    again.take(Command::last);
    again.take(Command::first);
    EXPECT_EQ(again.selected(), 0);
    while (again.rows()[static_cast<size_t>(again.selected())].kind != OptionsScreen::RowKind::reset_keys)
        again.take(Command::cursor_down);
    EXPECT_EQ(again.selected(), 5);  // the heading of the keys is passed over
    again.take(Command::confirm);
    EXPECT_EQ(again.notice(), "Alle Tasten und Knöpfe sind wieder wie zu Beginn.");
    for (const CommandInfo& info : command_table()) EXPECT_EQ(command_keys(info.command), info.default_keys);
    EXPECT_EQ(gamepad_mapping().keys, default_gamepad_mapping().keys);
    again.draw();  // the picture of a long list, scrolled
}

TEST_F(OptionsScreenTest, TheMainMenuOpensTheOptionsAfterItsWrittenEntries) {
    // No saved game: new game, quit, options. Down twice, Return: the options;
    // Return switches the language; Escape closes them (when let go) and the
    // menu is there again, in German, until its own Escape.
    const uint32_t t = headless::now() + 10;
    headless::key_tap(t, key::down, 30);
    headless::key_tap(t + 100, key::down, 30);
    headless::key_tap(t + 200, key::ret, 30);
    headless::key_tap(t + 400, key::ret, 30);
    headless::key_tap(t + 600, key::escape, 30);
    headless::key_tap(t + 900, key::down, 30);
    headless::key_tap(t + 1100, key::escape, 30);
    MenuChoice choice = MenuChoice::continue_game;
    main_menu([&](MenuChoice chosen) { choice = chosen; });
    run_screens();
    EXPECT_EQ(choice, MenuChoice::quit);
    EXPECT_EQ(g_common.preferences.language, "German");
    EXPECT_NE(preferences_text().find("language=\"German\""), std::string::npos);
    // The menu came back after the options: its Down moved to the second entry, now in German.
    EXPECT_EQ(g_presentation.menu.selected, 1);
    EXPECT_EQ(g_presentation.menu.count, 3);
    EXPECT_EQ(message_text(msg::options), "Optionen");
}
