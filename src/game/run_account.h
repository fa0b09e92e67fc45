// The run of one character from its making to its end: the counts the
// character record keeps (turns, kills, the deepest level, the treasure at the
// bottom), and what is kept when the run ends by death or by the treasure
// found: a place in the hall of fame and a plain-text account of the run
// beside it ("savegame\hall_of_fame\run_N.txt": the character, its abilities,
// what it carried and the last 50 messages).
#pragma once
#include <string>
#include <vector>

#include "game/hall_of_fame.h"

constexpr size_t ACCOUNT_MESSAGES = 50;

// The character steps onto the level exit at (x, y): the level it leads to
// counts as reached (the deepest one, its dungeon and the dungeon's treasure).
void note_level_exit(int x, int y);
// A turn ended.
void count_turn();
// After every pass: the character carries the treasure of the bottom of the
// deepest dungeon reached for the first time. The run is then recorded as won
// and the player told so; true when that happened now.
bool note_treasure_found();

// After every pass: the monster whose fall wins the game (the bottom monster
// of a final dungeon the character entered) fell. The run is recorded as won
// and the band says so; returns the foe's name when that happened now, else
// nullptr. The fallen monsters noted since the last look are taken either way.
const std::string* note_final_foe_fallen();

// The run as it stands, ended by cause.
FameEntry current_run(const std::string& cause, bool won);
// The plain-text account of the run.
std::string run_account_text(const FameEntry& run);
// Records the run's end: its place in the hall of fame, its account beside
// it. The run stays known for the death screen (last_ended_run).
void record_run_end(const std::string& cause, bool won);
// The run recorded last in this session (nullptr before any); forget_ended_run
// clears it when a new game starts.
const FameEntry* last_ended_run();
void forget_ended_run();
// The lines that tell the run: where it ended, turns, kills, the deepest level.
std::vector<std::string> run_summary_lines(const FameEntry& run);
