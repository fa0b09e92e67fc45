// Gamepads as keys: the d-pad and the stick walk (held as arrows are held),
// the face, shoulder and start buttons act as their keys, pads plugged in and
// out while the game runs, and SDL's virtual gamepad driving the snapshots the
// game reads, also with a mapping the preferences changed.
#include <gtest/gtest.h>

#include <SDL.h>

#include <utility>
#include <vector>

#include "common/commands.h"
#include "common/preferences.h"
#include "platform/gamepad.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/media_state.h"
#include "support/test_game.h"

namespace {

using Changes = std::vector<std::pair<int, bool>>;

}  // namespace

TEST(Gamepad, ControlsAndTheStickHoldKeysWhileAnyOfThemIsHeld) {
    set_gamepad_mapping(default_gamepad_mapping());
    GamepadKeys keys;
    EXPECT_TRUE(keys.changes().empty());
    // The d-pad and the stick both right: one key, held until both let go.
    keys.control(0, PadControl::dpad_right, true);
    keys.stick(0, 30000, 2000);
    EXPECT_EQ(keys.changes(), (Changes{{key::right, true}}));
    keys.control(0, PadControl::dpad_right, false);
    EXPECT_TRUE(keys.changes().empty());
    // The stick turned down (pushed further down than right): right let go first, then down.
    keys.stick(0, 9000, 20000);
    EXPECT_EQ(keys.changes(), (Changes{{key::right, false}, {key::down, true}}));
    // Inside the dead zone: nothing held.
    keys.stick(0, 11000, -11000);
    EXPECT_EQ(keys.changes(), (Changes{{key::down, false}}));
    keys.stick(0, -12001, 0);
    EXPECT_EQ(keys.changes(), (Changes{{key::left, true}}));
    // The buttons: A confirms, B and start the menu's Escape, the shoulders inventory and powers.
    const std::pair<PadControl, int> buttons[] = {{PadControl::a, key::ret},           {PadControl::b, key::escape},
                                                  {PadControl::start, key::escape},    {PadControl::left_shoulder, key::i},
                                                  {PadControl::right_shoulder, key::u}, {PadControl::x, 0}};
    for (const auto& [control, code] : buttons) {
        keys.control(1, control, true);
        const Changes pressed = code ? Changes{{code, true}} : Changes{};
        const Changes let_go = code ? Changes{{code, false}} : Changes{};
        EXPECT_EQ(keys.changes(), pressed) << static_cast<int>(control);
        keys.control(1, control, false);
        EXPECT_EQ(keys.changes(), let_go) << static_cast<int>(control);
    }
    // A pad pulled out lets go of all it held; the other pad's keys stay.
    keys.control(1, PadControl::a, true);
    keys.changes();
    keys.pad_removed(0);
    EXPECT_EQ(keys.changes(), (Changes{{key::left, false}}));
    // Another mapping: X waits (E).
    GamepadMapping mapping = default_gamepad_mapping();
    mapping[PadControl::x] = key::e;
    set_gamepad_mapping(mapping);
    keys.control(1, PadControl::x, true);
    EXPECT_EQ(keys.changes(), (Changes{{key::e, true}}));
    set_gamepad_mapping(default_gamepad_mapping());
}

TEST(Gamepad, SdlsVirtualGamepadWalksAndIsPluggedInAndOut) {
    TempGameFolder folder;
    media_init(BackendKind::headless);
    headless::reset();
    input_reset();
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    gamepad_init();
    auto pump = [] {
        SDL_GameControllerUpdate();
        SDL_Event event;
        while (SDL_PollEvent(&event)) gamepad_event(event);
        keyboard_poll();
    };
    pump();
    EXPECT_EQ(gamepads_open(), 0);  // no gamepad: nothing changes
    EXPECT_FALSE(key_held(key::any));

    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Virtual Umbrane Pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(index));
    pump();  // plugged in while the game runs
    ASSERT_EQ(gamepads_open(), 1);
    SDL_Joystick* joystick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(joystick, nullptr);

    // The d-pad held: the arrow held, snapshot after snapshot, until let go.
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    pump();
    EXPECT_TRUE(key_pressed(key::right));
    pump();
    EXPECT_TRUE(key_held(key::right));
    EXPECT_FALSE(key_pressed(key::right));
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
    pump();
    EXPECT_TRUE(key_released(key::right));
    // The stick pushed up walks up.
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -32000);
    pump();
    EXPECT_TRUE(key_held(key::up));
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, 0);
    pump();
    EXPECT_FALSE(key_held(key::up));
    // A tapped between two snapshots is a tap of Return all the same.
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_GameControllerUpdate();
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 0);
    pump();
    EXPECT_TRUE(key_pressed(key::ret));
    pump();
    EXPECT_TRUE(key_released(key::ret));
    // A mapping of the preferences: X waits, waiting is on V; the right shoulder serves nothing.
    folder.write("config\\preferences.xml",
                 "<p><key_binding command=\"wait\" keys=\"47\"/><gamepad_button control=\"x\" command=\"wait\"/>"
                 "<gamepad_button control=\"right_shoulder\" command=\"\"/></p>");
    Preferences preferences;
    load_preferences(preferences, "config\\preferences.xml");
    for (const auto& [button, code] : {std::pair{SDL_CONTROLLER_BUTTON_X, 0x2F}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0}}) {
        SDL_JoystickSetVirtualButton(joystick, button, 1);
        pump();
        EXPECT_EQ(key_held(key::any), code != 0);
        EXPECT_EQ(command_pressed(Command::wait), code != 0);
        SDL_JoystickSetVirtualButton(joystick, button, 0);
        pump();
        pump();
    }
    reset_command_keys();
    reset_gamepad_commands();
    apply_preferences(Preferences{});
    // Pulled out with the shoulder held: inventory let go.
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1);
    pump();
    EXPECT_TRUE(key_held(key::i));
    SDL_JoystickDetachVirtual(index);
    pump();
    EXPECT_EQ(gamepads_open(), 0);
    EXPECT_TRUE(key_released(key::i));
    gamepad_close();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}
