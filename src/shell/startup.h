// Start-up of the game: everything from the runtime services' state to the
// saved game, in the fixed order the game relies on. Every session (a game
// played, a replay, one recorded anew) starts through start_session.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/media.h"

// A session's start, the same for all: the media layer on the backend, the
// generator seeded, what the session records or replays set up (before), then
// the game's start-up (startup, through the given runner, so that a replay can
// watch it for the recorded end). A media layer that does not open is fatal.
void start_session(BackendKind backend, uint32_t seed, const std::function<void()>& before,
                   const std::function<void(void (*)())>& run_startup = {});

// Steps 1..8: version and title, tables, preferences and messages, input and
// sound, the screen, sprites and databases, the saved game, main-loop state.
void startup();
// Loads the saved character and its map when "savegame\character.xml" holds something.
void load_saved_game_if_any();
// The main-loop state at the start: redraw, and the menu shown on the first pass.
void set_main_loop_start_state();
