// Gamepads (SDL's game controllers): their buttons and the left stick act as
// keys of the keyboard, so everything that reads keys reads them too and a
// recorded game keeps them as keys. The d-pad or the stick held is an arrow
// held; without a gamepad nothing changes.
#pragma once
#include <array>
#include <cstddef>
#include <map>
#include <utility>
#include <vector>

union SDL_Event;

// The controls of a gamepad (SDL's names), the stick's four directions last.
enum class PadControl {
    a, b, x, y, back, guide, start, left_stick, right_stick, left_shoulder, right_shoulder,
    dpad_up, dpad_down, dpad_left, dpad_right,
    stick_up, stick_down, stick_left, stick_right,
    count
};
constexpr int kPadControls = static_cast<int>(PadControl::count);

// The key (DirectInput scan code, 0 = none) each control acts as.
struct GamepadMapping {
    std::array<int, kPadControls> keys{};
    int dead_zone = 12000;  // of 32767: a stick pushed further walks
    int& operator[](PadControl control) { return keys[static_cast<size_t>(control)]; }
    int operator[](PadControl control) const { return keys[static_cast<size_t>(control)]; }
};
// The d-pad and the stick walk, A confirms (Return), B cancels (Escape), the
// left shoulder opens the inventory (I), the right one the powers (U), start
// the menu (Escape).
GamepadMapping default_gamepad_mapping();
void set_gamepad_mapping(const GamepadMapping& mapping);
const GamepadMapping& gamepad_mapping();

// The keys the gamepads hold: a key is held while any control of any pad
// that acts as it is held.
class GamepadKeys {
public:
    void control(int pad, PadControl control, bool down);
    // The left stick's position (-32768..32767 each way): the direction it is
    // pushed furthest beyond the dead zone, or none.
    void stick(int pad, int x, int y);
    void pad_removed(int pad);
    // The keys whose held state changed since the last call, in order: (code, down).
    std::vector<std::pair<int, bool>> changes();

private:
    std::map<int, std::array<bool, kPadControls>> held_;  // by pad
    std::map<int, std::pair<int, int>> sticks_;
    std::array<bool, 256> keys_down_{};
};

// SDL's side, used by the desktop backend: the game controller subsystem
// (controllers plugged in later are opened as they come), and its events.
void gamepad_init();
void gamepad_close();
// Takes a controller event (a pad added or removed, a button, an axis) and
// reports the keys it changes; false for any other event.
bool gamepad_event(const SDL_Event& event);
// How many gamepads are open.
int gamepads_open();
