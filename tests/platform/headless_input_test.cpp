// Scripted input on the virtual clock of the headless backend.
#include <vector>

#include "platform/headless.h"
#include "platform/media.h"
#include "support/test_game.h"

TEST(HeadlessInput, HeldReleasedOnceAndAnyKey) {
    TempGameFolder game;
    headless::key_down(0, key::up);
    headless::key_up(40, key::up);

    keyboard_poll();  // t = 0
    EXPECT_TRUE(key_held(key::up));
    EXPECT_TRUE(key_held(key::any));
    EXPECT_FALSE(key_held(key::down));
    EXPECT_FALSE(key_released(key::up));
    EXPECT_FALSE(key_released(key::any));

    headless::advance(39);
    keyboard_poll();
    EXPECT_TRUE(key_held(key::up));

    headless::advance(1);  // t = 40: the key went up
    keyboard_poll();
    EXPECT_FALSE(key_held(key::up));
    EXPECT_FALSE(key_held(key::any));
    // Released holds for the whole snapshot, however often it is asked.
    EXPECT_TRUE(key_released(key::up));
    EXPECT_TRUE(key_released(key::up));
    EXPECT_TRUE(key_released(key::any));
    EXPECT_FALSE(key_released(key::down));

    keyboard_poll();  // only once
    EXPECT_FALSE(key_released(key::up));
    EXPECT_FALSE(key_released(key::any));

    // Codes outside the keyboard are never held.
    EXPECT_FALSE(key_held(300));
    EXPECT_FALSE(key_released(-7));
}

TEST(HeadlessInput, ATapBetweenTwoSnapshotsIsNotLost) {
    TempGameFolder game;
    keyboard_poll();
    headless::key_tap(5, key::e, 3);  // down at 5, up at 8
    headless::advance(20);
    keyboard_poll();  // sees down and up at once
    EXPECT_TRUE(key_held(key::e));
    EXPECT_FALSE(key_released(key::e));
    keyboard_poll();
    EXPECT_FALSE(key_held(key::e));
    EXPECT_TRUE(key_released(key::e));
    keyboard_poll();
    EXPECT_FALSE(key_released(key::e));

    // Two keys held together (Left Alt + X).
    headless::key_down(30, key::left_alt);
    headless::key_down(30, key::x);
    headless::advance(10);
    keyboard_poll();
    EXPECT_TRUE(key_held(key::left_alt) && key_held(key::x));
    // An event scheduled in the past is seen by the next snapshot.
    headless::key_up(0, key::x);
    keyboard_poll();
    EXPECT_TRUE(key_held(key::left_alt));
    EXPECT_FALSE(key_held(key::x));
    EXPECT_TRUE(key_released(key::x));
}

// No tap is lost and a chord stays a chord: a quick Alt+Return whose Alt shows
// alone first; Down held through a repeat report, let go and pressed again
// within one frame; Escape tapped twice within one frame. A snapshot every
// frame, each shown as "+" pressed, "=" held on, "-" released.
TEST(HeadlessInput, EveryPressAndReleaseShowsInTheOrderMade) {
    TempGameFolder game;
    headless::key_down(0, key::left_alt);
    headless::key_down(10, key::ret);
    headless::key_up(10, key::left_alt);
    headless::key_up(12, key::ret);
    headless::key_down(20, key::down);
    headless::key_down(25, key::down);
    headless::key_up(50, key::down);
    headless::key_tap(52, key::down, 1);
    headless::key_tap(54, key::escape, 1);
    headless::key_tap(56, key::escape, 1);
    std::string seen;
    for (int snapshot = 0; snapshot < 10; ++snapshot, headless::advance(16)) {
        keyboard_poll();
        for (auto [code, name] : {std::pair{key::left_alt, "alt"}, {key::ret, "ret"}, {key::down, "down"},
                                  {key::escape, "esc"}})
            if (key_held(code) || key_released(code))
                seen += std::string(name) + (key_pressed(code) ? "+ " : key_held(code) ? "= " : "- ");
        seen += "| ";
    }
    EXPECT_EQ(seen, "alt+ | alt= ret+ | alt- ret- down+ | down= | down- | down+ | down- esc+ | esc- | esc+ | esc- | ");
    EXPECT_FALSE(key_pressed(key::any) || key_pressed(300));
}

TEST(HeadlessInput, VirtualClockMovesWithFlipsWaitsAndEvents) {
    TempGameFolder game;
    EXPECT_EQ(tick_ms(), 0u);
    flip();
    flip();
    EXPECT_EQ(tick_ms(), 32u);
    EXPECT_EQ(headless::flip_count(), 2);
    wait_ms(1000);
    EXPECT_EQ(tick_ms(), 1032u);
    wait_ms(-5);
    EXPECT_EQ(tick_ms(), 1032u);

    // Waiting for an event stops at the next scheduled one, or after max_ms.
    headless::key_down(1100, key::ret);
    wait_for_event(500);
    EXPECT_EQ(tick_ms(), 1100u);
    keyboard_poll();
    EXPECT_TRUE(key_held(key::ret));
    wait_for_event(5);
    EXPECT_EQ(tick_ms(), 1105u);
    headless::key_up(1000, key::ret);  // already due: no waiting at all
    wait_for_event(5);
    EXPECT_EQ(tick_ms(), 1105u);

    // The flip hook sees each frame and may add input.
    int seen = 0;
    headless::on_flip([&] {
        ++seen;
        if (seen == 2) headless::key_down(headless::now(), key::i);
    });
    clear_screen(RGB(0, 0, 0));
    flip();
    flip();
    keyboard_poll();
    EXPECT_EQ(seen, 2);
    EXPECT_TRUE(key_held(key::i));

    headless::reset();
    EXPECT_EQ(tick_ms(), 0u);
    EXPECT_EQ(headless::flip_count(), 0);
    flip();
    EXPECT_EQ(seen, 2);  // the hook went with the reset
    keyboard_poll();
    EXPECT_FALSE(key_held(key::any));
}

TEST(HeadlessInput, DeadlineEndsAScriptedGame) {
    TempGameFolder game;
    headless::key_tap(100, key::right, 50);
    headless::set_deadline(500);
    // Events still pending: the deadline waits for them.
    wait_for_event(10000);
    EXPECT_EQ(tick_ms(), 100u);
    wait_for_event(10000);
    EXPECT_EQ(tick_ms(), 150u);
    keyboard_poll();  // the game sees the tap
    EXPECT_EQ(take_window_event(), WindowEvent::none);
    // Then the clock runs to the deadline: a close request and one Escape tap.
    wait_for_event(10000);
    EXPECT_EQ(tick_ms(), 500u);
    EXPECT_EQ(take_window_event(), WindowEvent::close_request);
    EXPECT_EQ(take_window_event(), WindowEvent::none);
    keyboard_poll();
    EXPECT_TRUE(key_held(key::escape));
    headless::advance(100);
    keyboard_poll();
    EXPECT_TRUE(key_released(key::escape));
    // A game that is still running later gets another close request and Escape.
    for (int i = 0; i < 100 && take_window_event() == WindowEvent::none; ++i) wait_for_event(50);
    EXPECT_GE(tick_ms(), 1500u);
    EXPECT_LE(tick_ms(), 1550u);
}

TEST(HeadlessInput, IdleHookGivesKeysOnlyWhenTheScriptIsEmpty) {
    TempGameFolder game;
    std::vector<uint32_t> calls;
    headless::on_idle([&] {
        calls.push_back(tick_ms());
        if (calls.size() == 1) headless::key_tap(tick_ms(), key::e, 30);  // due at once
    });
    headless::key_tap(20, key::up, 10);
    wait_for_event(100);  // the scripted tap is still to come: no call
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(tick_ms(), 20u);
    wait_for_event(100);
    EXPECT_EQ(tick_ms(), 30u);
    keyboard_poll();  // the snapshot of the Up tap: a later press shows in the next one
    EXPECT_TRUE(key_pressed(key::up));
    // Nothing left: the hook decides, and this same wait already sees its key.
    wait_for_event(100);
    EXPECT_EQ(calls, std::vector<uint32_t>{30});
    EXPECT_EQ(tick_ms(), 30u);
    keyboard_poll();
    EXPECT_TRUE(key_held(key::e));
    wait_for_event(100);  // the release is pending
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(tick_ms(), 60u);
    // A hook that gives nothing lets the wait run its time.
    wait_for_event(100);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(tick_ms(), 160u);
    headless::on_idle(nullptr);
}

TEST(HeadlessInput, WindowEventsAndMouse) {
    TempGameFolder game;
    EXPECT_TRUE(keyboard_init());
    EXPECT_TRUE(mouse_init());
    EXPECT_TRUE(open_window("Umbrane 0.1.0"));
    EXPECT_TRUE(open_window_screen());
    EXPECT_TRUE(screen_is_open());
    EXPECT_FALSE(screen_is_fullscreen());

    headless::mouse_move(10, 300, 260);
    headless::mouse_button(20, true);
    headless::mouse_button(30, false);
    headless::close_request(40);
    EXPECT_EQ(take_window_event(), WindowEvent::none);
    headless::advance(15);
    int x = 0, y = 0;
    window_mouse_position(x, y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 260);
    headless::advance(50);
    EXPECT_EQ(take_window_event(), WindowEvent::left_button_down);
    EXPECT_EQ(take_window_event(), WindowEvent::close_request);
    EXPECT_EQ(take_window_event(), WindowEvent::none);

    // Full screen: the mouse is read through snapshots; a click between two
    // snapshots still shows as held once.
    close_screen();
    close_window();
    EXPECT_FALSE(screen_is_open());
    EXPECT_TRUE(open_full_screen("Umbrane 0.1.0"));
    EXPECT_TRUE(screen_is_fullscreen());
    mouse_poll();
    EXPECT_EQ(mouse_x(), 300);
    EXPECT_FALSE(mouse_left_held());
    headless::mouse_move(100, 20, 30);
    headless::mouse_button(101, true);
    headless::mouse_button(102, false);
    headless::advance(50);
    mouse_poll();
    EXPECT_EQ(mouse_x(), 20);
    EXPECT_EQ(mouse_y(), 30);
    EXPECT_TRUE(mouse_left_held());
    mouse_poll();
    EXPECT_FALSE(mouse_left_held());

    message_box("Error", "Something went wrong");
    ASSERT_EQ(headless::message_boxes().size(), 1u);
    EXPECT_EQ(headless::message_boxes()[0].caption, "Error");
    EXPECT_EQ(headless::message_boxes()[0].text, "Something went wrong");
    EXPECT_EQ(media_backend(), BackendKind::headless);
}
