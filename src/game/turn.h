// The turn's own rules, below the main loop that runs them: who stands
// where, spawning, the end-of-turn sequence, and what resting asks of the
// character's pools (hit points, mana: the depletable abilities).
#pragma once
#include <cstdint>
#include <vector>

#include "map/map_state.h"

// 1 when a monster of the monster list stands on (x, y).
int monster_at(int x, int y);
// Sets the alerted flag of every monster on (x, y); 1 when there was one.
int alert_monsters_at(int x, int y);
// 1 when a monster on (x, y) is alerted.
int monster_alerted_at(int x, int y);
// 1 when a level exit lies exactly on (x, y).
int level_exit_at(int x, int y);
// 1 when the field leads to another map.
int portal_at(const GameMap& map, int x, int y);
// Sum of the current values of the abilities that count as movement.
int movement_total();
// Perhaps places one monster of the map's spawn level on a free field; 1 when placed.
int spawn_monsters(GameMap& map);
// The end-of-turn sequence: the abilities' turn changes, the power
// adjustments and cooldowns running out, the monsters' turn and strikes, their
// regeneration, spawning, fuel, restoration.
void end_of_turn();

// The stored values of the pools, to see them fall.
std::vector<int16_t> pool_values();
bool pool_fell(const std::vector<int16_t>& before, const std::vector<int16_t>& after);
// Every pool is full: at the maximum the panel shows, or as high as healing by itself brings it.
bool rested();
