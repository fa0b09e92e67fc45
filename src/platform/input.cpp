// Keyboard and mouse snapshots. The machine side reports raw key and button
// changes as they happen; the game reads snapshots taken by keyboard_poll and
// mouse_poll. No tap is lost:
// - a key that went down and up again between two snapshots shows as held
//   (and pressed) in the next one and as released in the one after;
// - keys down together at some moment between two snapshots show as held
//   together in the next one (Alt pressed, Return pressed, Alt let go, Return
//   let go within one frame is the Alt+Return it was, even where Alt already
//   showed alone in the snapshot before);
// - presses one after the other come in snapshots one after the other: a
//   press that follows a whole tap, or a press of a key whose snapshots have
//   not shown its last press and release yet, waits for the next snapshot
//   with every change reported after it. Two quick taps are two taps, and
//   Down, Up, Return typed within one frame act in this order.
#include "platform/media_state.h"
#include "platform/recording_input.h"

namespace {

constexpr size_t MAX_WINDOW_EVENTS = 64;

bool valid_code(int code) { return code >= 0 && code < 256; }

void report_key(int code, bool down) {
    InputState& input = g_media.input;
    if (input.reported_down[code] == down) return;  // a repeat: no change
    input.reported_down[code] = down;
    input.key_changes.push_back({code, down});
}

}  // namespace

void input_reset() { g_media.input = InputState{}; }

void input_key_down(int code) {
    if (code > 0 && valid_code(code)) report_key(code, true);  // 0: a key the game does not know
}

void input_key_up(int code) {
    if (code > 0 && valid_code(code)) report_key(code, false);
}

bool input_key_reported_down(int code) { return valid_code(code) && g_media.input.reported_down[code]; }

void input_mouse_move(int x, int y) {
    g_media.input.mouse_x = x;
    g_media.input.mouse_y = y;
    g_media.input.mouse_inside = true;
}

void input_mouse_leave() { g_media.input.mouse_inside = false; }

void input_mouse_button(bool down) {
    InputState& input = g_media.input;
    if (down && !input.mouse_down) {
        input.mouse_pressed_since = true;
        input_window_event(WindowEvent::left_button_down);
    }
    input.mouse_down = down;
}

void input_mouse_right_button(bool down) {
    InputState& input = g_media.input;
    if (down && !input.right_mouse_down) input_window_event(WindowEvent::right_button_down);
    input.right_mouse_down = down;
}

void input_window_event(WindowEvent event) {
    auto& queue = g_media.input.window_events;
    if (queue.size() < MAX_WINDOW_EVENTS) queue.push_back(event);
}

bool keyboard_init() { return true; }

void keyboard_poll() {
    media_machine().pump_events();
    InputState& input = g_media.input;
    if (input_replayed()) {
        replay_keyboard_snapshot(input);
        return record_keyboard_snapshot(input);  // a replay recording anew
    }
    const std::array<bool, 256> was_held = input.held;
    input.held.fill(false);
    input.pressed.fill(false);
    bool tapped = false;  // a key pressed in this snapshot was let go again
    while (!input.key_changes.empty()) {
        const KeyChange change = input.key_changes.front();
        const size_t code = static_cast<size_t>(change.code);
        if (change.down) {
            // The next snapshot takes a press that follows a whole tap, and one
            // whose key showed its press already or not yet its release.
            if (tapped || input.pressed[code] || (was_held[code] && !input.down[code])) break;
            input.pressed[code] = true;
            input.down[code] = true;
            // Every key down at this moment is held together with this one.
            for (size_t other = 0; other < input.down.size(); ++other)
                input.held[other] = input.held[other] || input.down[other];
        } else {
            input.down[code] = false;
            tapped = tapped || input.pressed[code];
        }
        input.key_changes.pop_front();
    }
    input.any_held = input.any_pressed = input.any_released = false;
    for (size_t code = 0; code < 256; ++code) {
        input.held[code] = input.held[code] || input.down[code];
        input.released[code] = was_held[code] && !input.held[code];
        input.any_held = input.any_held || input.held[code];
        input.any_pressed = input.any_pressed || input.pressed[code];
        input.any_released = input.any_released || input.released[code];
    }
    record_keyboard_snapshot(input);
}

bool key_held(int code) {
    if (code == key::any) return g_media.input.any_held;
    return valid_code(code) && g_media.input.held[code];
}

bool key_pressed(int code) {
    if (code == key::any) return g_media.input.any_pressed;
    return valid_code(code) && g_media.input.pressed[code];
}

bool key_released(int code) {
    if (code == key::any) return g_media.input.any_released;
    return valid_code(code) && g_media.input.released[code];
}

bool mouse_init() { return true; }

void mouse_poll() {
    media_machine().pump_events();
    InputState& input = g_media.input;
    if (input_replayed()) {
        replay_mouse_snapshot(input);
        return record_mouse_snapshot(input);
    }
    input.snapshot_mouse_x = input.mouse_x;
    input.snapshot_mouse_y = input.mouse_y;
    input.snapshot_mouse_held = input.mouse_down || input.mouse_pressed_since;
    input.mouse_pressed_since = false;
    record_mouse_snapshot(input);
}

int mouse_x() { return g_media.input.snapshot_mouse_x; }
int mouse_y() { return g_media.input.snapshot_mouse_y; }
bool mouse_left_held() { return g_media.input.snapshot_mouse_held; }
