// Keys act when pressed, on the shipped game (its start map without its
// monsters, so every key press is a step): a tap is one step, also when it was
// made while the game drew something (steps, a trap, a level change); a held
// arrow walks until it is let go and finishes at most the step under way; the
// keyboard's own repeats of a held key are no taps.
#include <gtest/gtest.h>

#include <regex>

#include "character/character_state.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"

namespace {

// A pass with a step: 15 frames of the scroll and the redraw, 16 virtual ms each (256 ms).
constexpr uint32_t PLAY_FROM = 1000;  // the new character's three picks are made by then

void new_game_on_a_quiet_start_map(const TempGameFolder& folder) {
    folder.copy_all_shipped();
    std::string map;
    read_whole_file("maps\\map_start.xml", map);
    folder.write("maps\\map_start.xml", std::regex_replace(map, std::regex("<monster [^>]*/>"), ""));
    make_folder("savegame");
    tap(300, key::ret);
    for (uint32_t at : {450u, 550u, 650u}) tap(at, key::ret);
}

// Taps one after the other: down for 30 ms, 10 ms apart.
uint32_t taps(uint32_t at, int code, int count) {
    for (int i = 0; i < count; ++i, at += 40) tap(at, code, 30);
    return at;
}

}  // namespace

TEST(KeysActWhenPressed, TapsMadeWhileTheGameDrawsActInTheirOrderAfterThePicture) {
    TempGameFolder folder;
    new_game_on_a_quiet_start_map(folder);
    // Along the path to (14, 4), down onto the hidden spike trap at (14, 5) and
    // on to (14, 18), over to the cave entrance at (12, 20): all tapped at once,
    // so nearly every tap comes while a step, the trap or the level change is drawn.
    uint32_t at = taps(PLAY_FROM, key::right, 12);
    at = taps(at, key::down, 14);
    at = taps(at, key::left, 2);
    at = taps(at, key::down, 2);
    taps(at, key::down, 1);  // the first step in the cave, tapped during the level change
    int cave_x = -1, cave_y = -1;
    uint32_t trap_sound_at = 0;
    headless::on_flip([&] {
        if (cave_x < 0 && g_map.map.filename == "old_cave_1.xml") {
            cave_x = g_character_model.character.x;
            cave_y = g_character_model.character.y;
        }
    });
    tap(60000, key::escape);
    tap(61000, key::escape);
    play_session(90000);
    for (const headless::PlayedSound& sound : headless::played_sounds())
        if (sound.file.find("trap") != std::string::npos) trap_sound_at = sound.at_ms;

    EXPECT_GT(trap_sound_at, at) << "the trap fired after the last tap was made";
    ASSERT_GE(cave_x, 0) << "the taps did not reach the cave";
    const std::string character = saved_file("savegame\\character.xml");
    EXPECT_NE(character.find("map_filename=\"old_cave_1.xml\""), std::string::npos);
    EXPECT_NE(character.find("xpos=\"" + std::to_string(cave_x) + "\" ypos=\"" + std::to_string(cave_y + 1) + "\""),
              std::string::npos)
        << character;
}

TEST(KeysActWhenPressed, AHeldArrowStopsWithTheStepUnderWayAndItsRepeatsAreNoTaps) {
    struct Case {
        uint32_t held_ms;
        bool keyboard_repeats;  // the keyboard sends the held key again and again, as a real one does
        int steps;
    };
    for (const Case c : {Case{1100, false, 5}, Case{1100, true, 5}, Case{700, true, 3}, Case{30, false, 1}}) {
        SCOPED_TRACE(std::to_string(c.held_ms) + (c.keyboard_repeats ? " ms with repeats" : " ms"));
        TempGameFolder folder;
        new_game_on_a_quiet_start_map(folder);
        hold(PLAY_FROM, PLAY_FROM + c.held_ms, key::right);
        if (c.keyboard_repeats)
            for (uint32_t at = PLAY_FROM + 500; at < PLAY_FROM + c.held_ms; at += 33) headless::key_down(at, key::right);
        tap(PLAY_FROM + 5000, key::escape);
        tap(PLAY_FROM + 6000, key::escape);
        play_session();
        EXPECT_NE(saved_file("savegame\\character.xml").find("xpos=\"" + std::to_string(2 + c.steps) + "\" ypos=\"4\""),
                  std::string::npos);
    }
}
