#include "platform/gamepad_virtual.h"

#include "platform/gamepad.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/media_state.h"

bool start_gamepad_events() {
    media_init(BackendKind::headless);
    headless::reset();
    input_reset();
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_Init(SDL_INIT_EVENTS) != 0) return false;
    gamepad_init();
    return true;
}

void stop_gamepad_events() {
    gamepad_close();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

void pump_gamepad() {
    SDL_GameControllerUpdate();
    SDL_Event event;
    while (SDL_PollEvent(&event)) gamepad_event(event);
    keyboard_poll();
}

int attach_virtual_pad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Virtual Umbrane Pad";
    return SDL_JoystickAttachVirtualEx(&desc);
}

SDL_Joystick* virtual_pad_joystick(int index) {
    return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
}
