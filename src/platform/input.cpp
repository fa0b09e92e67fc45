// Keyboard and mouse snapshots. The machine side feeds raw key and button
// changes as they happen; the game reads snapshots taken by keyboard_poll and
// mouse_poll. A key that went down and up again between two snapshots still
// shows as held in the next one, so no tap is lost.
#include "platform/media_state.h"

namespace {

constexpr size_t MAX_WINDOW_EVENTS = 64;

bool valid_code(int code) { return code >= 0 && code < 256; }

}  // namespace

void input_reset() { g_media.input = InputState{}; }

void input_key_down(int code) {
    if (code <= 0 || !valid_code(code)) return;  // 0: a key the game does not know
    g_media.input.down[code] = true;
    g_media.input.pressed_since[code] = true;
}

void input_key_up(int code) {
    if (valid_code(code)) g_media.input.down[code] = false;
}

void input_mouse_move(int x, int y) {
    g_media.input.mouse_x = x;
    g_media.input.mouse_y = y;
}

void input_mouse_button(bool down) {
    InputState& input = g_media.input;
    if (down && !input.mouse_down) {
        input.mouse_pressed_since = true;
        input_window_event(WindowEvent::left_button_down);
    }
    input.mouse_down = down;
}

void input_window_event(WindowEvent event) {
    auto& queue = g_media.input.window_events;
    if (queue.size() < MAX_WINDOW_EVENTS) queue.push_back(event);
}

bool keyboard_init() { return true; }

void keyboard_poll() {
    media_machine().pump_events();
    InputState& input = g_media.input;
    input.any_held = false;
    input.any_released = false;
    for (size_t code = 0; code < 256; ++code) {
        bool was_held = input.held[code];
        input.held[code] = input.down[code] || input.pressed_since[code];
        input.pressed_since[code] = false;
        input.released[code] = was_held && !input.held[code];
        input.any_held = input.any_held || input.held[code];
        input.any_released = input.any_released || input.released[code];
    }
}

bool key_held(int code) {
    if (code == key::any) return g_media.input.any_held;
    return valid_code(code) && g_media.input.held[code];
}

bool key_released(int code) {
    if (code == key::any) return g_media.input.any_released;
    return valid_code(code) && g_media.input.released[code];
}

bool mouse_init() { return true; }

void mouse_poll() {
    media_machine().pump_events();
    InputState& input = g_media.input;
    input.snapshot_mouse_x = input.mouse_x;
    input.snapshot_mouse_y = input.mouse_y;
    input.snapshot_mouse_held = input.mouse_down || input.mouse_pressed_since;
    input.mouse_pressed_since = false;
}

int mouse_x() { return g_media.input.snapshot_mouse_x; }
int mouse_y() { return g_media.input.snapshot_mouse_y; }
bool mouse_left_held() { return g_media.input.snapshot_mouse_held; }
