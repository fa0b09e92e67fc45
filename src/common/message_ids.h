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
// Blows of melee, both ways ([name] the monster type, [damage] the damage).
constexpr int HIT = 100;
constexpr int HIT_NO_HARM = 101;
constexpr int MISS = 102;
constexpr int KILL = 103;
constexpr int CRITICAL_KILL = 104;
constexpr int MONSTER_HITS = 105;
constexpr int MONSTER_HITS_NO_HARM = 106;
constexpr int MONSTER_MISSES = 107;
// A power striking a monster ([power] its name), or finding nothing to act on.
constexpr int POWER_HITS = 108;
constexpr int POWER_NO_HARM = 109;
constexpr int POWER_KILLS = 110;
constexpr int POWER_MISSES = 120;
constexpr int NO_MONSTER_THERE = 111;
constexpr int NO_MONSTER_IN_SIGHT = 112;
constexpr int NOTHING_FOR_POWER = 113;
constexpr int FIELD_USED_UP = 114;
// A field that hurts and has no message of its own ([field] its name).
constexpr int FIELD_HURTS = 115;
// A monster's regeneration, one hit point or several ([value]).
constexpr int REGENERATES_ONE = 116;
constexpr int REGENERATES_MANY = 117;
// A burning item running low and going out ([item] its name, [value] the turns left).
constexpr int LIGHT_LOW = 118;
constexpr int LIGHT_OUT = 119;
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
        msg::HIT,
        msg::HIT_NO_HARM,
        msg::MISS,
        msg::KILL,
        msg::CRITICAL_KILL,
        msg::MONSTER_HITS,
        msg::MONSTER_HITS_NO_HARM,
        msg::MONSTER_MISSES,
        msg::POWER_HITS,
        msg::POWER_NO_HARM,
        msg::POWER_KILLS,
        msg::NO_MONSTER_THERE,
        msg::NO_MONSTER_IN_SIGHT,
        msg::NOTHING_FOR_POWER,
        msg::FIELD_USED_UP,
        msg::FIELD_HURTS,
        msg::REGENERATES_ONE,
        msg::REGENERATES_MANY,
        msg::LIGHT_LOW,
        msg::LIGHT_OUT,
        msg::POWER_MISSES,
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
