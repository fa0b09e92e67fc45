// The right mouse button as a window event: queued once per press beside the
// left one, and kept apart from it by a recording and its replay (value 3;
// recordings made before it, with 1 and 2 only, read as ever).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/headless.h"
#include "platform/media.h"
#include "platform/recording.h"
#include "support/test_game.h"

using namespace recording;

TEST(RightClick, IsAWindowEventOfItsOwnThatARecordingKeeps) {
    TempGameFolder game;
    const std::string file = game.path() + "/session.umbrec";
    Header header;
    header.program_version = "0.1.0";
    header.started = "2024-05-01 18:30:05";
    ASSERT_TRUE(start_recording(file, header));
    headless::mouse_right_button(10, true);
    headless::mouse_right_button(20, true);  // a repeat of the press: no second event
    headless::mouse_right_button(30, false);
    headless::mouse_button(40, true);
    headless::mouse_button(50, false);
    headless::mouse_right_button(60, true);
    headless::mouse_right_button(70, false);
    headless::close_request(80);
    const std::vector<WindowEvent> expected = {WindowEvent::right_button_down, WindowEvent::left_button_down,
                                               WindowEvent::right_button_down, WindowEvent::close_request};
    auto play = [] {
        std::vector<WindowEvent> events;
        for (int pass = 0; pass < 20; ++pass) {
            keyboard_poll();
            const WindowEvent event = take_window_event();
            if (event != WindowEvent::none) events.push_back(event);
            flip();
        }
        return events;
    };
    EXPECT_EQ(play(), expected);
    finish_recording();

    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    Recording rec;
    std::string error;
    ASSERT_TRUE(decode(bytes.str(), rec, error)) << error;
    std::vector<uint32_t> values;
    for (const Item& item : rec.items)
        if (item.kind == ItemKind::window) values.push_back(item.value);
    EXPECT_EQ(values, (std::vector<uint32_t>{3, 2, 3, 1}));

    headless::reset();
    start_replay(rec, ReplayMode::verify);
    EXPECT_EQ(play(), expected);
    stop_replay();
}
