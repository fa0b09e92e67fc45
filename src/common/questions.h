// What the rules ask the player in the middle of a rule: a target on the map
// view for a power, and the picks of an advancement. The rules ask here; the
// screens answer (they are installed by reset_game_state, above the rules), so
// no rule reaches a screen, a picture or the input itself.
#pragma once
#include <cstdint>

// A cell of the 13 x 13 map view (the character at 6, 6) chosen by the player.
struct TargetCursor {
    int column = 6;
    int row = 6;
    uint8_t cancel = 0;  // Escape or the window's close ended the choice
};

struct PlayerQuestions {
    // Moves a cursor from the character's cell (range above 1: the whole view;
    // 1: the character's cell and its neighbours; 0: no move) until the player
    // confirms or cancels.
    void (*choose_target)(TargetCursor& cursor, int range) = nullptr;
    // The player makes that many advancement picks, one after another, or
    // leaves early; new_character 1 for a new character's first picks.
    int (*advancement)(int picks, int new_character) = nullptr;
};

void set_player_questions(const PlayerQuestions& questions);
// Without an answer installed the target is cancelled and no pick is made.
void ask_target(TargetCursor& cursor, int range);
// How many target choices were cancelled since start-up: a power that asked
// for a target and saw this grow was given none.
unsigned cancelled_targets();
int ask_advancement(int picks, int new_character);
