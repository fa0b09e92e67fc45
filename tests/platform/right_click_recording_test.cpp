// The right mouse button is a window event of its own (one per press), which a
// recording keeps as value 3 beside the left button's 2 and gives back in a replay.
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
    ASSERT_TRUE(start_recording(file, Header{.program_version = "0.1.0", .started = "2024-05-01 18:30:05", .files = {}}));
    for (uint32_t at : {10u, 60u}) {
        headless::mouse_right_button(at, true);
        headless::mouse_right_button(at + 10, true);  // no second press while held
        headless::mouse_right_button(at + 20, false);
    }
    headless::mouse_button(40, true);
    headless::mouse_button(50, false);
    auto play = [] {
        std::vector<WindowEvent> events;
        for (int pass = 0; pass < 10; ++pass, flip()) {
            keyboard_poll();
            if (const WindowEvent event = take_window_event(); event != WindowEvent::none) events.push_back(event);
        }
        return events;
    };
    using W = WindowEvent;
    const std::vector<W> expected = {W::right_button_down, W::left_button_down, W::right_button_down};
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
    EXPECT_EQ(values, (std::vector<uint32_t>{3, 2, 3}));
    headless::reset();
    start_replay(rec, ReplayMode::verify);
    EXPECT_EQ(play(), expected);
    stop_replay();
}
