// Start-up of the game: everything from the runtime services' state to the
// saved game, in the fixed order the game relies on. The media layer itself is
// initialised by main() before.
#pragma once

// Steps 1..8: version and title, tables, preferences and messages, input and
// sound, the screen, sprites and databases, the saved game, main-loop state.
void startup();
// Loads the saved character and its map when "savegame\character.xml" holds something.
void load_saved_game_if_any();
// The main-loop state at the start: redraw, and the menu shown on the first pass.
void set_main_loop_start_state();
