// The main loop of the game and the flows it runs: the pass over the keys,
// the screens on their stack, the end of a turn, resting, new game,
// continue, save-and-return, death and program end. The step's own rules are
// in game/step_rules.h.
#pragma once
#include <functional>

#include "game/step_rules.h"
#include "game/turn.h"
#include "map/map_state.h"

// Runs passes until the quit flag is set, then saves at program end.
void run_main_loop();
// One pass of the loop (keys, menu, actions, step, turn end, game end, redraw).
void main_loop_pass();

// The movement keys in the order up, down, right, left (the last one held
// wins); no key is read while an overlay shows.
Step read_movement_keys(bool overlay);
// What a pass does once its keys are handled: the end of a used turn, the
// window's close, the game-end check (with the death flow), burnt-out items.
void settle_turn();
// Resting (R): turn after turn, each a real turn as after E, drawn once each,
// until hit points and mana (the depletable abilities) are full, a monster
// comes into sight, a message is shown, a pool falls, the character dies, any
// key is pressed or 200 turns pass. With a monster in sight or nothing to heal
// it takes no turn and says so. The turns after the first are played on the
// screen stack, one a pass (the key read between two); then gets the turns
// rested when it stops.
void rest(std::function<void(int turns)> then);
void new_game_flow();       // a fresh character on the start map, saved
void continue_flow();       // the saved character and its map
void save_and_return_flow();  // Escape: picture, screenshot, saves, back to the menu
void death_flow();          // the character died: picture, screenshot, savegame gone
// Saves when a character file exists; quitting from play (not from the menu)
// also leaves the parting picture and its screenshot, as Escape does.
void save_at_program_end(bool from_play = false);
