// The main menu over the last screenshot: continue (when a saved game
// exists), new game, quit; by keyboard and mouse.
#pragma once

enum class MenuChoice { continue_game, new_game, quit };

// Shows the menu until an entry is chosen or the player leaves (Escape or
// closing the window, which sets the quit flag and returns quit). Choosing
// new game deletes the savegame at once.
MenuChoice main_menu();
