// The power screen of the key U and the choice of a target on the map view.
#pragma once
#include <functional>
#include <string>

#include "common/questions.h"

// The power screen, pushed on the stack: pick a power with the arrows and
// Return (Escape leaves), then use it (use_chosen_power); then gets 1 when the
// power used ends the turn. Closing the window over the screen or over a
// target choice cancels and ends the game: the game is to end.
void use_power(std::function<void(int turn_ended)> then);
// Moves the blinking cursor from the character's cell with the arrows (range
// above 1: the whole view; 1: the character's cell and its neighbours; 0: no
// move) until Return is released (confirmed) or Escape (cancelled). The
// window's close also cancels and ends the game.
void choose_target(TargetCursor& cursor, int range);
// The power screen's line of a power's chance of success ("Chance of success: 95%"),
// between 0 % and 100 % as the roll treats it.
std::string success_chance_line(int power);
