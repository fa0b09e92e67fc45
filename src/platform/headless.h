// Control of the headless backend for tests: scripted input on a virtual
// clock, recorded sounds and message boxes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace headless {

// Input events are scheduled at virtual times (ms). Keyboard snapshots taken at
// or after an event's time see it.
void key_down(uint32_t at_ms, int code);
void key_up(uint32_t at_ms, int code);
// Down at at_ms, up at at_ms + hold_ms.
void key_tap(uint32_t at_ms, int code, uint32_t hold_ms = 50);
void mouse_move(uint32_t at_ms, int x, int y);
// The pointer leaves the window.
void mouse_leave(uint32_t at_ms);
void mouse_button(uint32_t at_ms, bool down);
void mouse_right_button(uint32_t at_ms, bool down);
void close_request(uint32_t at_ms);

// Virtual clock.
uint32_t now();
void advance(uint32_t ms);

// A hook run at every flip (tests inspect frames or inject input there).
void on_flip(std::function<void()> hook);
// A hook run when the game waits for input and the script holds nothing more:
// a player program decides its next keys there (it may schedule events; they
// are seen by this very wait when they are due at once).
void on_idle(std::function<void()> hook);
// A hook run whenever the game looks for input (also in screens that draw
// every frame and never wait) and the script holds nothing more: a soak
// schedules its next keys there, from wherever the game is.
void on_input_look(std::function<void()> hook);
// When the script has no events left and the clock passes this time, a close
// request is sent and Escape is tapped once, so a scripted game always ends.
// A game still running one virtual second later (the menu after a game saved
// by that Escape) gets both again, and so on every second.
void set_deadline(uint32_t at_ms);

struct PlayedSound {
    uint32_t at_ms;
    std::string file;  // logical path the sound was loaded from
    int volume;
};
const std::vector<PlayedSound>& played_sounds();
struct ShownMessageBox {
    std::string caption, text;
};
const std::vector<ShownMessageBox>& message_boxes();
int flip_count();

// Back to a fresh state: no events, clock 0, nothing recorded.
void reset();

}  // namespace headless
