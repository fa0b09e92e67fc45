// The gamepad's controls as the options set them: a control serves a command
// and acts as its first key, also after the command is rebound; read from the
// preferences and driven by SDL's virtual gamepad.
#include <gtest/gtest.h>

#include <SDL.h>

#include "common/commands.h"
#include "common/common_state.h"
#include "common/preferences.h"
#include "platform/gamepad.h"
#include "platform/gamepad_virtual.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/media_state.h"
#include "support/test_game.h"

TEST(GamepadOptions, AChangedMappingFromThePreferencesDrivesTheVirtualGamepad) {
    constexpr int KEY_V = 0x2F;
    TempGameFolder folder;
    // X waits, and waiting is on V; the right shoulder serves nothing; A stays Return.
    folder.write("config\\preferences.xml",
                 "<Umbrane_Preferences><key_binding command=\"wait\" keys=\"47\"/>"
                 "<gamepad_button control=\"x\" command=\"wait\"/>"
                 "<gamepad_button control=\"right_shoulder\" command=\"\"/></Umbrane_Preferences>");
    Preferences preferences;
    load_preferences(preferences, "config\\preferences.xml");
    EXPECT_EQ(gamepad_mapping()[PadControl::x], KEY_V);
    EXPECT_EQ(gamepad_mapping()[PadControl::right_shoulder], 0);

    ASSERT_TRUE(start_gamepad_events()) << SDL_GetError();
    auto pump = pump_gamepad;
    const int index = attach_virtual_pad();
    ASSERT_GE(index, 0) << SDL_GetError();
    pump();
    ASSERT_EQ(gamepads_open(), 1);
    SDL_Joystick* joystick = virtual_pad_joystick(index);
    ASSERT_NE(joystick, nullptr);

    const struct {
        SDL_GameControllerButton button;
        int key;  // the key it holds, 0 for none
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_X, KEY_V},
        {SDL_CONTROLLER_BUTTON_A, key::ret},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, key::i},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0},
    };
    for (const auto& c : cases) {
        SDL_JoystickSetVirtualButton(joystick, c.button, 1);
        pump();
        EXPECT_EQ(key_held(key::any), c.key != 0) << c.button;
        if (c.key) {
            EXPECT_TRUE(key_pressed(c.key)) << c.button;
            // The table asked through the gamepad: X is the wait command now.
            if (c.key == KEY_V) {
                EXPECT_TRUE(command_pressed(Command::wait));
            }
        }
        SDL_JoystickSetVirtualButton(joystick, c.button, 0);
        pump();
        pump();
        EXPECT_FALSE(key_held(key::any)) << c.button;
    }
    // Rebound while the pad is plugged in: the left shoulder follows the inventory to J.
    ASSERT_TRUE(bind_command(Command::inventory, {{0x24, false}}));
    apply_preferences(preferences);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1);
    pump();
    EXPECT_TRUE(key_held(0x24));
    EXPECT_TRUE(command_held(Command::inventory));
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0);
    pump();

    SDL_JoystickDetachVirtual(index);
    pump();
    stop_gamepad_events();
    reset_command_keys();
    reset_gamepad_commands();
    apply_preferences(Preferences{});
}
