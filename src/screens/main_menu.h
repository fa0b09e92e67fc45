// The main menu over the last screenshot: continue (when a saved game
// exists), new game, quit, and the options after them; by keyboard and mouse.
#pragma once
#include <functional>
#include <string>

enum class MenuChoice { continue_game, new_game, quit };

// Pushes the menu on the stack (its first picture shows at once); when an
// entry is chosen or the player leaves (Escape or closing the window, which
// sets the quit flag: the choice is quit), then gets the choice. Choosing new
// game keeps the saved game: the new character's first save replaces it.
void main_menu(std::function<void(MenuChoice)> then);

// Two lines the menu shows in the band at the foot of the screen until an
// entry is chosen (a saved game that did not read); empty for none.
void set_menu_notice(const std::string& line1, const std::string& line2);
// The notice's line 0 or 1.
const std::string& menu_notice(int line);
