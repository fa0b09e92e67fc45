#include "screens/screen_stack.h"

#include "game/turn_state.h"

void ScreenStack::push(std::unique_ptr<Screen> screen, std::function<void(Screen&)> then) {
    Screen& shown = *screen;
    entries_.push_back({std::move(screen), std::move(then)});
    if (shown.open()) flip();
}

bool ScreenStack::pass(WindowEvent event) {
    if (entries_.empty()) return false;
    Screen& screen = *entries_.back().screen;
    screen.take(event);
    if (!screen.closed()) {
        // A screen pushed by this take is on top now: it has shown its first picture.
        if (&screen != top()) return false;
        if (screen.draw()) flip();
        if (screen.idle()) wait_for_event(IDLE_WAIT_MS);
        return false;
    }
    // Popped before its procedure runs, which may push the next screen, or
    // close the one below (a menu left from the screen it opened).
    while (!entries_.empty() && entries_.back().screen->closed()) {
        Entry entry = std::move(entries_.back());
        entries_.pop_back();
        if (entry.then) entry.then(*entry.screen);
    }
    return true;
}

void run_screen_at_once(std::unique_ptr<Screen> screen) {
    ScreenStack& stack = screen_stack();
    const size_t below = stack.size();
    stack.push(std::move(screen));
    while (stack.size() > below) {
        stack.pass(poll_input());
    }
}

WindowEvent poll_input() {
    keyboard_poll();
    return take_window_event();
}

ScreenStack& screen_stack() {
    static ScreenStack stack;
    return stack;
}

void window_close_asked() { g_shell.loop.quit = 1; }
