// SDL's virtual gamepad for the tests: the headless backend with SDL's events
// and game controllers, a pad plugged in and out, and a pump that hands SDL's
// events to the gamepad layer and takes a keyboard snapshot.
#pragma once
#include <SDL.h>

// Starts the headless backend afresh with SDL's events and the gamepad layer.
bool start_gamepad_events();
// The gamepad layer and SDL's events closed again.
void stop_gamepad_events();
// SDL's events to the gamepad layer, then a keyboard snapshot.
void pump_gamepad();
// A virtual game controller plugged in: its device index (below 0 on failure).
int attach_virtual_pad();
// The joystick of that device, to set its buttons and axes.
SDL_Joystick* virtual_pad_joystick(int index);
