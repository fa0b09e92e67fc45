// All game state is global and lives for the whole run. Each subsystem keeps
// its tables and records in one state struct with a reset procedure;
// reset_game_state() brings every one of them back to its start-up contents
// (tests call it between cases).
#pragma once

void reset_game_state();
