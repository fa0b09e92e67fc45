// Program, window, frame and time: the game's calls handed to the machine
// side of the chosen backend.
#include <algorithm>

#include "platform/media_state.h"
#include "platform/work_queue.h"
#include "platform/recording.h"
#include "platform/recording_input.h"

MediaState g_media;

// Calls made before media_init (or after media_close) land on a headless
// machine, so nothing ever dereferences a missing backend.
Machine& media_machine() {
    if (!g_media.machine) g_media.machine = make_headless_machine();
    return *g_media.machine;
}

namespace {

Machine& machine() { return media_machine(); }

bool g_initialised = false;

}  // namespace

Surface& screen_for_drawing() {
    if (g_media.shown_is_screen) {
        g_media.shown.pixels = g_media.screen.pixels;
        g_media.shown_is_screen = false;
    }
    return g_media.screen;
}

const Surface& shown_picture() { return g_media.shown_is_screen ? g_media.screen : g_media.shown; }

void reset_media_content() {
    free_all_fonts();
    g_media.sprites.clear();
    g_media.images.clear();
    g_media.next_image = 1;
    g_media.decoded_pictures.clear();
    g_media.prefetched.clear();
    g_media.pending_sprites.clear();
    g_media.pictures_decoded = 0;
    g_media.sounds.clear();
    g_media.next_sound = 1;
    g_media.screen = Surface(SCREEN_WIDTH, SCREEN_HEIGHT);
    g_media.shown = Surface(SCREEN_WIDTH, SCREEN_HEIGHT);
    g_media.shown_is_screen = false;
    g_media.draw_target = SCREEN_TARGET;
    g_media.display_target = SCREEN_TARGET;
    g_media.drawing = false;
    g_media.text_transparent = false;
    g_media.text_background = 0;
    g_media.current_font = 0;
    g_media.locked = false;
    input_reset();
}

// ---- Program ----

bool media_init(BackendKind kind) {
    if (g_initialised && g_media.machine && g_media.machine->kind() == kind) return true;
    if (g_initialised) media_close();
    g_media.machine = kind == BackendKind::desktop ? make_desktop_machine() : make_headless_machine();
    if (!g_media.machine) return false;
    // Pictures asked for before the display opened stay asked for.
    std::vector<PrefetchedPicture> prefetched = std::move(g_media.prefetched);
    reset_media_content();
    g_media.prefetched = std::move(prefetched);
    if (!fonts_init()) return false;
    g_initialised = true;
    return true;
}

void media_close() {
    if (g_media.machine) {
        g_media.machine->sound_close();
        g_media.machine->close_screen();
        g_media.machine->close_window();
    }
    reset_media_content();
    fonts_close();
    g_media.machine.reset();  // the desktop machine shuts SDL down here
    g_initialised = false;
}

BackendKind media_backend() { return machine().kind(); }

void message_box(const std::string& caption, const std::string& text) { machine().message_box(caption, text); }

// ---- Window and screen ----

namespace {

// Clicks made on the previous screen must not act on the new one (the menu
// would take a click from before Alt+Return as a choice); a close request stays.
bool forget_clicks(bool opened) {
    InputState& input = g_media.input;
    input.mouse_pressed_since = false;
    input.snapshot_mouse_held = false;
    std::erase(input.window_events, WindowEvent::left_button_down);
    std::erase(input.window_events, WindowEvent::right_button_down);
    return opened;
}

}  // namespace

bool open_window(const std::string& title) { return forget_clicks(machine().open_window(title)); }
bool open_window_screen() { return forget_clicks(machine().open_window_screen()); }
bool open_full_screen(const std::string& title) { return forget_clicks(machine().open_full_screen(title)); }
void close_screen() { machine().close_screen(); }
void close_window() { machine().close_window(); }
void set_window_title(const std::string& title) { machine().set_title(title); }
bool screen_is_open() { return machine().screen_is_open(); }
bool screen_is_fullscreen() { return machine().screen_is_fullscreen(); }

WindowEvent take_window_event() {
    machine().pump_events();
    WindowEvent event = WindowEvent::none;
    auto& queue = g_media.input.window_events;
    if (input_replayed()) {
        event = replay_window_event();
    } else if (!queue.empty()) {
        event = queue.front();
        queue.pop_front();
    }
    record_window_event(event);
    return event;
}

void window_mouse_position(int& x, int& y) {
    machine().pump_events();
    if (input_replayed()) {
        replay_mouse_position(x, y);
    } else {
        x = g_media.input.mouse_x;
        y = g_media.input.mouse_y;
    }
    record_mouse_position(x, y);
}

bool window_mouse_over(int& x, int& y) {
    // The pointer as it is, never recorded nor replayed: what it is read for
    // (a name in the band) is a picture only.
    machine().pump_events();
    x = g_media.input.mouse_x;
    y = g_media.input.mouse_y;
    return g_media.input.mouse_inside;
}

// ---- Frame ----

void clear_screen(Colour colour) { start_picture(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, colour); }

void set_screen_drawing(bool on) { g_media.screen_drawing_off = !on; }

void start_picture(int x, int y, int width, int height, Colour colour) {
    if (g_media.screen_drawing_off) return;
    // Every pixel is drawn anew: the shown picture takes the back buffer's
    // pixels as they are, and the back buffer takes over its old room.
    if (g_media.shown_is_screen) {
        std::swap(g_media.shown.pixels, g_media.screen.pixels);
        g_media.shown_is_screen = false;
    }
    fill_box(g_media.screen, x, y, width, height, colour);
}

// The frame is not copied: the back buffer is the shown picture until the
// next drawing on it.
void flip() {
    g_media.shown_is_screen = true;
    machine().present(g_media.screen);
    // What was held for later (the sounds' decoding) starts once a picture is there.
    background_work().release_later();
}

void wait_for_event(int max_ms) {
    recording::note_wait();
    machine().wait_for_event(std::max(max_ms, 0));
}

// ---- Time ----

// A replay shown faster or slower waits for a part or a multiple of the time.
void wait_ms(int milliseconds) { machine().wait_ms(static_cast<int>(std::max(milliseconds, 0) * g_media.time_scale)); }
uint32_t tick_ms() { return machine().tick_ms(); }

// ---- Sound device ----

void sound_init() { machine().sound_init(); }
void sound_play(int sound) {
    if (g_media.sounds.count(sound)) machine().sound_play(sound);
}
