// The screens over the game picture, on one stack. The main loop polls the
// input once a pass and gives it to the screen on top (to play when the stack
// is empty); no screen runs a loop of its own.
//
// A pass of the top screen: the loop has taken the keyboard snapshot and the
// window event of the pass. take(event) acts on them (through the command
// table, command_held / pressed / released, or the keys) and may close the
// screen; a screen still open then draws: draw() returns true when it drew a
// new picture, which the loop presents (flip; a picture the screen presented
// itself returns false). When idle() is true after that, the loop waits for
// input before it polls again (a screen whose pace is the flip keeps it false).
//
// A screen closed by its take is popped; the procedure given with push runs
// then and reads the screen's result. A pushed screen may show its first
// picture at once (open(), presented before the next poll), as a screen does
// that has something to show before any key.
//
// A new screen: derive from Screen, keep the state it shows in members, act
// on the commands in take, draw in draw; push it from play (or from another
// screen: it goes on top and gets the input until it closes).
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/media.h"

class Screen {
public:
    virtual ~Screen() = default;
    // The first picture, drawn when the screen is pushed (not flipped): true when there is one.
    virtual bool open() { return false; }
    // The input of one pass.
    virtual void take(WindowEvent event) = 0;
    // The picture after a take that left the screen open (not flipped): true when drawn.
    virtual bool draw() = 0;
    // The loop waits for input before the next pass.
    virtual bool idle() const { return false; }
    bool closed() const { return closed_; }

protected:
    void close() { closed_ = true; }

private:
    bool closed_ = false;
};

class ScreenStack {
public:
    // Puts the screen on top (shows its first picture); then runs when it closes.
    void push(std::unique_ptr<Screen> screen, std::function<void(Screen&)> then = {});
    template <class S>
    void push(std::unique_ptr<S> screen, std::function<void(S&)> then) {
        push(std::unique_ptr<Screen>(std::move(screen)),
             [then = std::move(then)](Screen& closed) { then(static_cast<S&>(closed)); });
    }
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }
    Screen* top() { return entries_.empty() ? nullptr : entries_.back().screen.get(); }
    // One pass of the top screen with the input the loop took: it takes it,
    // then draws and is presented, or closes, is popped and its procedure runs.
    // True when it closed.
    bool pass(WindowEvent event);
    // Every screen away, none of their procedures run (the game ends).
    void clear() { entries_.clear(); }

private:
    struct Entry {
        std::unique_ptr<Screen> screen;
        std::function<void(Screen&)> then;
    };
    std::vector<Entry> entries_;
};

// A question a rule asks in the middle of its work (a target for a power,
// the picks of an advancement during a level change or for a new character):
// the rule waits for its answer, so its screen is pushed and run at once, the
// loop's poll and pass until it closes, before the rule goes on.
void run_screen_at_once(std::unique_ptr<Screen> screen);

// The one poll of the game's input: the keyboard's snapshot of this pass and
// the window's event (none when there is none). The loop calls it once a pass;
// a rule's question and a walk between its steps read the keys through it too.
WindowEvent poll_input();

// The game's one stack.
ScreenStack& screen_stack();

// The window asked to close (the desktop's close, a terminate signal) while a
// screen held the input: the game ends once the pass is over, as when play
// took the request. The loop's quit flag is the one flag of the window's close.
void window_close_asked();
