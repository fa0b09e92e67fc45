// The headless backend: no window and no devices. Input comes from a script
// of events at virtual times, the clock only moves when the game flips or
// waits, and played sounds and message boxes are recorded for tests.
#include "platform/headless.h"

#include <algorithm>
#include <map>

#include "platform/media_state.h"

namespace {

constexpr uint32_t FRAME_MS = 16;
// After the deadline has fired, it fires again each time this much time
// passes without scripted input, so even a game that needs two Escapes
// (the game, then the menu) comes to its end.
constexpr uint32_t DEADLINE_REPEAT_MS = 1000;

enum class EventKind { key_down, key_up, mouse_move, mouse_leave, mouse_button, right_button, close_request };

struct ScriptEvent {
    EventKind kind;
    int code = 0;  // key code, or x of a mouse move
    int y = 0;
    bool down = false;
};

struct Script {
    uint32_t clock = 0;
    // Ordered by time; events of the same time keep the order they were given in.
    std::multimap<uint32_t, ScriptEvent> events;
    bool has_deadline = false;
    uint32_t deadline = 0;
    std::function<void()> flip_hook;
    std::function<void()> idle_hook;
    std::function<void()> look_hook;
    std::vector<headless::PlayedSound> sounds;
    std::vector<headless::ShownMessageBox> boxes;
    int flips = 0;
    bool window = false, screen = false, fullscreen = false;
};

Script g_script;

void schedule(uint32_t at_ms, ScriptEvent event) { g_script.events.emplace(at_ms, event); }

// Apply every scripted event whose time has come, then the deadline rule.
void apply_due_events() {
    Script& s = g_script;
    while (!s.events.empty() && s.events.begin()->first <= s.clock) {
        ScriptEvent event = s.events.begin()->second;
        s.events.erase(s.events.begin());
        switch (event.kind) {
        case EventKind::key_down: input_key_down(event.code); break;
        case EventKind::key_up: input_key_up(event.code); break;
        case EventKind::mouse_move: input_mouse_move(event.code, event.y); break;
        case EventKind::mouse_leave: input_mouse_leave(); break;
        case EventKind::mouse_button: input_mouse_button(event.down); break;
        case EventKind::right_button: input_mouse_right_button(event.down); break;
        case EventKind::close_request: input_window_event(WindowEvent::close_request); break;
        }
    }
    if (s.has_deadline && s.events.empty() && s.clock >= s.deadline) {
        input_window_event(WindowEvent::close_request);
        headless::key_tap(s.clock, key::escape);
        s.deadline = s.clock + DEADLINE_REPEAT_MS;
        apply_due_events();  // the Escape press is due at once
    }
    if (s.events.empty() && s.look_hook) {
        auto hook = s.look_hook;  // the hook may replace itself
        hook();
    }
}

// The next time something scripted happens (the deadline counts once the
// script is empty); false when nothing will.
bool next_event_time(uint32_t& at) {
    const Script& s = g_script;
    if (!s.events.empty()) {
        at = s.events.begin()->first;
        return true;
    }
    if (s.has_deadline) {
        at = s.deadline;
        return true;
    }
    return false;
}

class HeadlessMachine : public Machine {
public:
    BackendKind kind() const override { return BackendKind::headless; }
    bool open_window(const std::string&) override {
        if (g_script.fullscreen) close_screen();
        g_script.window = true;
        return true;
    }
    bool open_window_screen() override {
        g_script.window = true;
        g_script.screen = true;
        g_script.fullscreen = false;
        return true;
    }
    bool open_full_screen(const std::string&) override {
        g_script.window = false;
        g_script.screen = true;
        g_script.fullscreen = true;
        return true;
    }
    void close_screen() override {
        g_script.screen = false;
        g_script.fullscreen = false;
    }
    void close_window() override {
        g_script.window = false;
        if (!g_script.fullscreen) g_script.screen = false;
    }
    void set_title(const std::string&) override {}
    bool screen_is_open() const override { return g_script.screen; }
    bool screen_is_fullscreen() const override { return g_script.screen && g_script.fullscreen; }
    void present(const Surface&) override {
        g_script.clock += FRAME_MS;
        ++g_script.flips;
        if (g_script.flip_hook) {
            auto hook = g_script.flip_hook;  // the hook may replace itself
            hook();
        }
    }
    void pump_events() override { apply_due_events(); }
    void wait_for_event(int max_ms) override {
        if (g_script.events.empty() && g_script.idle_hook) {
            auto hook = g_script.idle_hook;  // the hook may replace itself
            hook();
        }
        uint32_t target = g_script.clock + static_cast<uint32_t>(max_ms);
        uint32_t at = 0;
        if (next_event_time(at)) target = std::min(target, std::max(at, g_script.clock));
        g_script.clock = target;
        apply_due_events();
    }
    void message_box(const std::string& caption, const std::string& text) override {
        g_script.boxes.push_back({caption, text});
    }
    void wait_ms(int milliseconds) override { g_script.clock += static_cast<uint32_t>(milliseconds); }
    uint32_t tick_ms() override { return g_script.clock; }
    void sound_init() override {}
    void sound_close() override {}
    void sound_play(int sound) override {
        const SoundData& data = g_media.sounds.at(sound);
        g_script.sounds.push_back({g_script.clock, data.file, data.volume});
    }
};

}  // namespace

std::unique_ptr<Machine> make_headless_machine() { return std::make_unique<HeadlessMachine>(); }

namespace headless {

void key_down(uint32_t at_ms, int code) { schedule(at_ms, {EventKind::key_down, code, 0, true}); }
void key_up(uint32_t at_ms, int code) { schedule(at_ms, {EventKind::key_up, code, 0, false}); }

void key_tap(uint32_t at_ms, int code, uint32_t hold_ms) {
    key_down(at_ms, code);
    key_up(at_ms + hold_ms, code);
}

void mouse_move(uint32_t at_ms, int x, int y) { schedule(at_ms, {EventKind::mouse_move, x, y, false}); }
void mouse_leave(uint32_t at_ms) { schedule(at_ms, {EventKind::mouse_leave, 0, 0, false}); }
void mouse_button(uint32_t at_ms, bool down) { schedule(at_ms, {EventKind::mouse_button, 0, 0, down}); }
void mouse_right_button(uint32_t at_ms, bool down) { schedule(at_ms, {EventKind::right_button, 0, 0, down}); }
void close_request(uint32_t at_ms) { schedule(at_ms, {EventKind::close_request, 0, 0, false}); }

uint32_t now() { return g_script.clock; }
void advance(uint32_t ms) { g_script.clock += ms; }

void on_flip(std::function<void()> hook) { g_script.flip_hook = std::move(hook); }
void on_idle(std::function<void()> hook) { g_script.idle_hook = std::move(hook); }
void on_input_look(std::function<void()> hook) { g_script.look_hook = std::move(hook); }

void set_deadline(uint32_t at_ms) {
    g_script.has_deadline = true;
    g_script.deadline = at_ms;
}

const std::vector<PlayedSound>& played_sounds() { return g_script.sounds; }
const std::vector<ShownMessageBox>& message_boxes() { return g_script.boxes; }
int flip_count() { return g_script.flips; }

void reset() {
    g_script = Script{};
    // Sprites, fonts, sounds and input go too, when this backend is the one running.
    if (g_media.machine && g_media.machine->kind() == BackendKind::headless) reset_media_content();
}

}  // namespace headless
