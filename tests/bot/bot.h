// A player program for the shipped game: it starts a new game and plays it on
// the headless backend through key presses alone, knowing only what the
// screen shows a player (the lit part of the 13 x 13 view, the status panel,
// the inventory), down the dungeons one after the other, each to the foe at
// its bottom and out by its bottom portal, to the last foe, whose fall wins.
#pragma once
#include <cstdint>
#include <string>

struct BotResult {
    bool won = false;     // the last foe fell: the game is won
    int turns = 0;        // turns the character used
    int deepest = 0;      // deepest level entered, counted down through the dungeons in their order (0: the town only)
    bool bottom = false;  // the first dungeon's last level was entered
    int bottoms = 0;      // the dungeons whose last level was entered
    int arrow_walks = 0;  // exploring mode: steps by arrow where the game's exploring found no way
    std::string failure;  // why it did not win: "died: <death text>", "stuck", "time out"
};

struct BotOptions {
    int turn_limit = 30000;  // the game counts as timed out after this many turns
    bool careless = false;  // never heal, cure or rest: how a careless player fares
    bool trace = false;     // print every decision: the place, the life, the keys
    // Walk only by the game's own travelling: X explores, ">" goes down, a
    // click on the view fetches a find in sight; steps by arrow only to fight.
    // Its game ends (as a success) when the first dungeon's last level is entered.
    bool explore = false;
};

// Plays one game from the main menu to the program's end in the game folder
// that is set; the caller seeds the random generator and resets the state.
BotResult play_bot_game(const BotOptions& options);
