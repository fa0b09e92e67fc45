// A player program for the shipped game: it starts a new game and plays it on
// the headless backend through key presses alone, knowing only what the
// screen shows a player (the lit part of the 13 x 13 view, the status panel,
// the inventory), down the dungeon to the treasure at its bottom.
#pragma once
#include <cstdint>
#include <string>

struct BotResult {
    bool won = false;     // the dungeon's main treasure was picked up
    int turns = 0;        // turns the character used
    int deepest = 0;      // deepest dungeon level entered (0: never left the town)
    std::string failure;  // why it did not win: "died: <death text>", "stuck", "time out"
};

// Plays one game from the main menu to the program's end in the game folder
// that is set; the caller seeds the random generator and resets the state.
// With trace, every decision is printed: the place, the life and the key codes.
BotResult play_bot_game(int turn_limit, bool trace = false);
