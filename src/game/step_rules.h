// The rules of a step of the character: the attempt (a blow, slipping past a
// monster, a field's message and event, a field that blocks), what follows
// the step (what it sees, the field's effects, a portal or a level exit with
// its save, the abilities that change with each step), and the save of a
// journey. They tell events and never draw, wait or read the input.
#pragma once
#include <string>

#include "map/map_state.h"
#include "platform/files.h"

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

constexpr const char* CHARACTER_SAVE_FILE = "savegame\\character.xml";
// Where the current map is saved ("savegame\" + its file name).
std::string current_map_save_path();

// The character's turn is over: the monsters act at the end of the pass.
void end_turn();
// A step from the character's field in the step's direction.
StepOutcome attempt_step(GameMap& map, const Step& step);
void after_step();  // after the character entered a new field
// The movement keys were let go: the next step against a field is a new bump
// (a field walked against says its message once per bump).
void let_go_of_bump();
// Tries to slip past the monster on (x, y) with the given sneaking value:
// 1 when the character slipped past, 0 when the monster noticed it (then the
// monsters there are alerted; the caller ends the turn).
int sneak_past_monster(int x, int y, int sneaking);

// A portal journey or a level change, saved as one step with the map left, the
// map entered and the character, so the savegame always holds a pair that belongs together.
void save_journey(void (*journey)());
// A save that could not be written, in words: the disk is full, or the folder cannot be written.
std::string save_failure_text(int cause);
// Ends a save step. One that could not be written is said in the band; the
// last good save stays whole, the game goes on and the next save tries again.
bool finish_save(SaveBatch& save);
