// The command table: one key per command of a context, rebinding, the names
// the help and the hints write, and the keyboard asked through the table.
#include <gtest/gtest.h>

#include "common/commands.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/preferences.h"
#include "platform/headless.h"
#include "platform/media.h"

namespace {

class CommandTable : public ::testing::Test {
protected:
    void SetUp() override { reset_command_keys(); }
    void TearDown() override { reset_command_keys(); }
};

TEST_F(CommandTable, NoKeyServesTwoCommandsOfOneContextAndEveryCommandHasAKeyAndAName) {
    for (const CommandInfo& info : command_table()) {
        EXPECT_FALSE(command_keys(info.command).empty()) << info.name;
        EXPECT_EQ(command_named(info.name), info.command) << info.name;
        for (const KeyChord& chord : command_keys(info.command))
            EXPECT_EQ(commands_of_key(info.context, chord).size(), 1u) << info.name << " " << key_name(chord);
    }
    // The arrows walk in play and move the cursor on a screen: one command of each context.
    EXPECT_EQ(commands_of_key(CommandContext::play, {key::up, false}), std::vector<Command>{Command::walk_up});
    EXPECT_EQ(commands_of_key(CommandContext::screen, {key::up, false}), std::vector<Command>{Command::cursor_up});
}

TEST_F(CommandTable, ARebindingMovesTheCommandAndAKeyTakenTwiceIsRefused) {
    Command taken_by = Command::none;
    // E waits: it cannot also rest.
    EXPECT_FALSE(bind_command(Command::rest, {{key::e, false}}, &taken_by));
    EXPECT_EQ(taken_by, Command::wait);
    EXPECT_EQ(command_key_names(Command::rest), "R");
    // A key of the other context is free: Space marks on a screen, and may rest in play.
    EXPECT_TRUE(bind_command(Command::rest, {{key::space, false}, {key::r, false}}));
    EXPECT_EQ(command_key_names(Command::rest), "Space / R");
    // The preferences' table of written bindings follows the commands.
    EXPECT_TRUE(bind_command(Command::walk_up, {{0x11, false}}));  // W
    set_default_key_bindings();
    EXPECT_EQ(g_common.key_bindings[KEY_BINDING_MOVE_UP].name, "move up");
    EXPECT_EQ(g_common.key_bindings[KEY_BINDING_MOVE_UP].code, 0x11);
    reset_command_keys();
    EXPECT_EQ(command_key_names(Command::walk_up), "Up");
}

TEST_F(CommandTable, KeyNamesAsTheHelpWritesThem) {
    const struct {
        Command command;
        const char* names;
    } cases[] = {{Command::wait, "E"},          {Command::help, "F1 / ?"},     {Command::quit, "Alt+X"},
                 {Command::full_screen, "Alt+Return"}, {Command::save_and_menu, "Escape"}, {Command::history, "L"},
                 {Command::page_down, "Page Down"},    {Command::mark, "Space"},   {Command::walk_left, "Left"},
                 // "<" lies on two keys and is named once.
                 {Command::explore, "X"},     {Command::travel_down, ">"}, {Command::travel_up, "<"}};
    for (const auto& c : cases) EXPECT_EQ(command_key_names(c.command), c.names) << command_info(c.command).name;
}

TEST_F(CommandTable, TheHelpAndTheHintsNameTheKeysOfTheTableInThePlayersLanguage) {
    reset_common_state();
    const std::string help = "[wait]: wait one turn · [walk]: walk · [arrows] [up/down]: choose · [help]: this help";
    EXPECT_EQ(with_key_names(help), "E: wait one turn · Arrows: walk · Arrows Up/Down: choose · F1 / ?: this help");
    // The messages file names the keys in the player's language.
    g_common.messages[msg::key_arrows] = "Pfeile";
    g_common.messages[msg::key_return] = "Eingabetaste";
    EXPECT_EQ(with_key_names("[walk] · [confirm] · [full screen]"), "Pfeile · Eingabetaste · Alt+Eingabetaste");
    // A rebinding shows in the help at once; arrows no longer all arrows are named one by one.
    ASSERT_TRUE(bind_command(Command::wait, {{key::space, false}}));
    ASSERT_TRUE(bind_command(Command::walk_up, {{0x11, false}}));
    EXPECT_EQ(with_key_names("[wait] [walk]"), "Space W / Down / Left / Right");
    reset_common_state();
}

TEST_F(CommandTable, TheKeyboardIsAskedThroughTheTableWithAltChords) {
    headless::reset();
    ASSERT_TRUE(media_init(BackendKind::headless));
    headless::key_down(0, key::x);
    keyboard_poll();
    EXPECT_FALSE(command_held(Command::quit));  // X alone quits nothing
    headless::key_down(0, key::left_alt);
    keyboard_poll();
    EXPECT_TRUE(command_held(Command::quit));
    headless::key_up(0, key::x);
    headless::key_up(0, key::left_alt);
    keyboard_poll();
    EXPECT_FALSE(command_held(Command::quit));
    // A rebound command answers to its new key only.
    ASSERT_TRUE(bind_command(Command::wait, {{0x39, false}}));
    headless::key_tap(0, key::e);
    keyboard_poll();
    EXPECT_FALSE(command_pressed(Command::wait));
    keyboard_poll();
    headless::key_tap(headless::now(), 0x39);
    keyboard_poll();
    EXPECT_TRUE(command_pressed(Command::wait));
    headless::advance(100);
    keyboard_poll();
    EXPECT_TRUE(command_released(Command::wait));
    media_close();
}

}  // namespace
