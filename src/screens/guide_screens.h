// The screens that help the player find the way and take no turn: the help
// with every key of the game and of its screens (F1 or ?), and the history of
// the messages the bottom band showed (L).
#pragma once
#include <memory>
#include <vector>

#include "screens/text_list_screen.h"

// The lines of the help: a heading for the game and for each screen, its keys below.
std::vector<TextLine> help_lines();
// The help screen; leaves on Escape, Return, F1 or ?.
std::unique_ptr<Screen> help_screen();
// The message history, newest at the bottom; leaves on Escape, Return or L.
std::unique_ptr<Screen> history_screen();
// The hall of fame: the best runs, best first (a won run in the headings' colour).
std::vector<TextLine> hall_of_fame_lines();
// The hall of fame screen (H in the main menu); leaves on Escape, Return or H.
std::unique_ptr<Screen> hall_of_fame_screen();
