// The texts the game shows beyond its first 53 messages, by id in
// "data\messages.xml". Each kind of addition has a range of its own:
//   100..199  what happens in play (fights, traps, light, powers)
//   200..299  finding the way (help, key hints, history, the map, resting)
//   300..349  recorded games
//   350..399  start-up and installation
// Every id named here is listed in added_message_ids(), which the content
// check and the tests use to find a text missing in some language.
#pragma once
#include <vector>

namespace msg {
// 100..199: what happens in play.

// end of 100..199

// 200..299: finding the way.

// end of 200..299

// 300..349: recorded games.
// The window's title while a recording is shown: [title] the game's title, [speed] "1/4" .. "16".
constexpr int REPLAY_TITLE = 300;
constexpr int REPLAY_PAUSED_TITLE = 301;

// end of 300..349

// 350..399: start-up and installation.

// end of 350..399
}  // namespace msg

// Every added id the game shows, in ascending order.
inline std::vector<int> added_message_ids() {
    return {
        // 100..199

        // end of 100..199
        // 200..299

        // end of 200..299
        // 300..349
        msg::REPLAY_TITLE, msg::REPLAY_PAUSED_TITLE,

        // end of 300..349
        // 350..399

        // end of 350..399
    };
}
