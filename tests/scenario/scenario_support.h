// Whole games on the headless backend: a small made-up game folder (a meadow
// map with a wall, made-up pictures, a few abilities) and helpers to script
// keys and play a session from start-up to program end.
#pragma once
#include <cstdint>
#include <string>

#include "platform/media.h"
#include "support/test_game.h"

struct FixtureOptions {
    int hit_points = 20;       // start value of "hit_points"
    int hp_per_move = 0;       // its change_per_move
    int hp_per_turn = 0;       // its change_per_turn (always applied)
    int movement = 3;          // start value of "movement"
    bool fullscreen = false;   // preference at start-up
    // More data for a test: ability, message, power and item elements, tile
    // types (ids 7..31 are free) and children of the start map.
    std::string abilities, messages, powers, items, tile_types, start_map;
};

// Colour of tile k of the made-up tileset (never red, never black).
constexpr Colour fixture_tile_colour(int k) { return RGB(20 + 10 * k, 120, 90 + 5 * k); }
constexpr int WALL_TILE = 4, MARK_TILE = 6;
// The mark tile lies here on the start map; a wall stands right above the start field (2, 4).
constexpr int MARK_X = 7, MARK_Y = 6;

// The shipped messages of a range of ids as the messages file groups them ("100..199").
std::string shipped_messages(const std::string& range);
void write_fixture_game(const TempGameFolder& folder, const FixtureOptions& options = {});
// A saved game: the character at (x, y) with a facing, on a copy of the start map.
void write_saved_game(const TempGameFolder& folder, int x, int y, int facing);

// Start-up and the main loop until the loop ends (program end included).
// A deadline makes sure a script always comes to an end.
void play_session(uint32_t deadline_ms = 60000);

// Key helpers on the virtual clock.
void tap(uint32_t at_ms, int code, uint32_t hold_ms = 40);
void hold(uint32_t from_ms, uint32_t until_ms, int code);
// Return on the menu's selected entry "New game" at at_ms, then Escape leaves
// the new character's advancement screen without a pick (done by at_ms + 200).
void new_game_without_picks(uint32_t at_ms);

// The text of one saved file ("" when missing).
std::string saved_file(const std::string& logical_path);
