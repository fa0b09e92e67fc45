// The goal of the game and its end: the opening lines a new game starts with,
// and the ending screen shown when the last foe falls.
#pragma once
#include <string>
#include <vector>

#include "screens/text_list_screen.h"

// The band of a new game's first picture tells the goal (messages 500 and
// 501); a message file without them tells nothing.
void show_opening_text();
// The ending's lines: its story with the foe's name, then what the run came to.
std::vector<TextLine> ending_lines(const std::string& foe);
// The ending screen, drawn as the game's other full screens; Return or Escape
// leaves it, and the game goes on where it stood.
void ending_screen(const std::string& foe);
