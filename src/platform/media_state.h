// The media layer's global state and the machine side that the desktop and
// headless backends implement. Everything else (surfaces, drawing, fonts,
// input snapshots, sound decoding and mixing) is shared by both.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/media.h"
#include "platform/surface.h"
#include "platform/work_queue.h"

struct _TTF_Font;

// The machine side of one backend.
class Machine {
public:
    virtual ~Machine() = default;
    virtual BackendKind kind() const = 0;
    virtual bool open_window(const std::string& title) = 0;
    virtual bool open_window_screen() = 0;
    virtual bool open_full_screen(const std::string& title) = 0;
    virtual void close_screen() = 0;
    virtual void close_window() = 0;
    virtual void set_title(const std::string& title) = 0;
    virtual bool screen_is_open() const = 0;
    virtual bool screen_is_fullscreen() const = 0;
    // Show the frame that flip just copied into the shown picture.
    virtual void present(const Surface& frame) = 0;
    // Bring every input event that has arrived into the shared input state.
    virtual void pump_events() = 0;
    virtual void wait_for_event(int max_ms) = 0;
    virtual void message_box(const std::string& caption, const std::string& text) = 0;
    virtual void wait_ms(int milliseconds) = 0;
    virtual uint32_t tick_ms() = 0;
    virtual void sound_init() = 0;
    virtual void sound_close() = 0;
    virtual void sound_play(int sound) = 0;
};

std::unique_ptr<Machine> make_desktop_machine();
std::unique_ptr<Machine> make_headless_machine();

struct Font {
    _TTF_Font* handle = nullptr;
    bool high_quality = false;
    int serial = 0;  // tells every font opened apart, also one opened where another was closed
};

// A loaded sound, decoded once as it is loaded into the mixer's format
// (interleaved stereo 16-bit at MIX_RATE).
struct SoundData {
    std::string file;  // the logical path it was loaded from
    // Decoded beside the game's thread after the first picture: samples()
    // waits for it, or decodes it itself when that has not started (empty
    // when the stream broke after its headers).
    Claimable<std::shared_ptr<const std::vector<int16_t>>> decoding;
    const std::shared_ptr<const std::vector<int16_t>>& samples() const;
    int volume = 100;
};

// Keyboard, mouse and window events as both backends feed them.
struct KeyChange {
    int code;
    bool down;
};
struct InputState {
    // What the machine reported: every key's state after its last report, and
    // the changes no snapshot has taken yet, in order.
    std::array<bool, 256> reported_down{};
    std::deque<KeyChange> key_changes;
    // Every key's state after the changes taken so far.
    std::array<bool, 256> down{};
    // The snapshot the game reads.
    std::array<bool, 256> held{};
    std::array<bool, 256> pressed{};
    std::array<bool, 256> released{};
    bool any_held = false, any_pressed = false, any_released = false;
    int mouse_x = 0, mouse_y = 0;
    bool mouse_inside = false;  // the pointer moved in the window and has not left it since
    bool mouse_down = false, mouse_pressed_since = false;
    bool right_mouse_down = false;
    int snapshot_mouse_x = 0, snapshot_mouse_y = 0;
    bool snapshot_mouse_held = false;
    std::deque<WindowEvent> window_events;
};

// A picture with the bytes of the file it was decoded from.
struct DecodedPicture {
    std::string host_file;
    std::string bytes;
    Surface picture;
};

// A picture sprite_prefetch is decoding, or leaves to the first to ask for
// it (none when it failed).
struct PrefetchedPicture {
    std::string host_file;
    Claimable<std::shared_ptr<Surface>> picture;
};

// The sprite of the number (a pending one decoded now), or nullptr.
Surface* sprite_surface(int number);

struct MediaState {
    std::unique_ptr<Machine> machine;
    Surface screen{SCREEN_WIDTH, SCREEN_HEIGHT};  // back buffer
    Surface shown{SCREEN_WIDTH, SCREEN_HEIGHT};   // last flipped picture, unless shown_is_screen
    // Nothing was drawn since the last flip: the back buffer itself is the
    // shown picture, and it is copied only when drawing on it begins.
    bool shown_is_screen = false;
    std::map<int, Surface> sprites;
    std::map<int, Surface> images;
    int next_image = 1;
    // Every map loads its tileset picture, mostly the one the map before had:
    // sprite_load_any decodes a file again only when its bytes changed.
    std::deque<DecodedPicture> decoded_pictures;
    std::vector<PrefetchedPicture> prefetched;
    // Sprites sprite_load_later checked and left to decode: each becomes a
    // sprite where it is first wanted (sprite_surface).
    std::map<int, Claimable<std::shared_ptr<Surface>>> pending_sprites;
    int pictures_decoded = 0;  // how often it decoded a file (counted for the tests)
    // Drawing.
    int draw_target = SCREEN_TARGET;
    int display_target = SCREEN_TARGET;  // where sprite displays go (set_display_target)
    bool drawing = false;
    bool text_transparent = false;
    Colour text_background = 0;
    int current_font = 0;
    bool locked = false;
    std::map<int, Font> fonts;
    InputState input;
    std::map<int, SoundData> sounds;
    int next_sound = 1;
    // Waits and frames take this many times their time (a replay shown at another speed).
    double time_scale = 1.0;
    // Nothing is drawn on the screen (set_screen_drawing).
    bool screen_drawing_off = false;
    // The factor of the next window (set_window_scale); 0 = as the desktop allows.
    int window_scale = 0;
};

extern MediaState g_media;

// The machine of the running backend (a headless one before media_init).
Machine& media_machine();

// The back buffer, to draw on: a shown picture that still is the back
// buffer is kept first.
Surface& screen_for_drawing();
// The last flipped picture.
const Surface& shown_picture();

// Everything but the machine back to the state right after start-up
// (sprites, images, fonts and sounds freed).
void reset_media_content();

// Input feeding (input.cpp). A key reported down while it is down (the
// keyboard's repeat) changes nothing.
void input_key_down(int code);
void input_key_up(int code);
bool input_key_reported_down(int code);
void input_mouse_move(int x, int y);
void input_mouse_leave();
void input_mouse_button(bool down);
// The right button went down or up (a press is the window event right_button_down).
void input_mouse_right_button(bool down);
void input_window_event(WindowEvent event);
void input_reset();

// Fonts (fonts.cpp).
bool fonts_init();
// Drops the text lines and sizes drawing keeps for the fonts (drawing.cpp).
void forget_drawn_text();
void fonts_close();
void free_all_fonts();
