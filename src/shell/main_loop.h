// The main loop of the game and the flows it runs: the pass over the keys,
// the step with its scroll, what follows a step, the end of a turn, monster
// spawning, new game, continue, save-and-return, death and program end; and
// the small look-ups by position the loop and other parts use.
#pragma once
#include <functional>

#include "game/turn.h"
#include "map/map_state.h"

// Runs passes until the quit flag is set, then saves at program end.
void run_main_loop();
// One pass of the loop (keys, menu, actions, step, turn end, game end, redraw).
void main_loop_pass();

// A movement key read in a pass: the direction of the step (0, 0 when the
// character may not move) and the facing it turns to.
struct Step {
    int dx = 0, dy = 0;
    int facing = 0;
    bool key_held = false;  // a movement key was held: the character turns
};
// What a step attempt came to.
struct StepOutcome {
    bool moved = false;       // the character entered the field
    bool turn_ended = false;  // it attacked, or a monster noticed it sneaking
};

// The movement keys in the order up, down, right, left (the last one held
// wins); no key is read while an overlay shows.
Step read_movement_keys(bool overlay);
// A step from the character's field in the step's direction.
StepOutcome attempt_step(GameMap& map, const Step& step);
void after_step();          // after the character entered a new field
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
// A portal journey or a level change, saved as one step with the map left, the
// map entered and the character, so the savegame always holds a pair that belongs together.
void save_journey(void (*journey)());

// Tries to slip past the monster on (x, y) with the given sneaking value:
// 1 when the character slipped past, 0 when the monster noticed it (then the
// monsters there are alerted; the caller ends the turn).
int sneak_past_monster(int x, int y, int sneaking);
