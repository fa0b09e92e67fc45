// The input layer's side of recorded sessions (recording.cpp): every snapshot
// and event the game reads is recorded when a recording runs, and comes from
// the recording instead of the devices when a replay runs.
#pragma once
#include "platform/media_state.h"

// A replay gives the game its input.
bool input_replayed();
// The keyboard snapshot from the recording; the devices' own key presses only
// steer the replay (pause, speed, end).
void replay_keyboard_snapshot(InputState& input);
void record_keyboard_snapshot(const InputState& input);
WindowEvent replay_window_event();
void record_window_event(WindowEvent event);
void replay_mouse_position(int& x, int& y);
void record_mouse_position(int x, int y);
void replay_mouse_snapshot(InputState& input);
void record_mouse_snapshot(const InputState& input);
