// Using a power: the power screen of the key U, the cost and cooldown tests
// before a power runs, the formulas of a power's strength and success chance,
// the messages and sounds its effects share, and the choice of a target on
// the map view. The effects themselves are in powers/power_effects.h.
#pragma once
#include "map/map_state.h"
#include <cstdint>
#include <string>
#include <vector>

#include "common/questions.h"

// The power the player chose on the power screen (0: none): test its cost
// and its cooldown, pay the cost and run its effect. Returns 1 when the power
// used ends the turn. A target choice the player cancels gives the cost back
// and takes no turn.
int use_chosen_power(int id);
// A field power changes the field's tile type; a message that pictures the
// field's old tile goes with the change.
void transform_field_by_power(GameMap& map, int x, int y, int tile_type);
// The powers the character can use now, in id order, at most max_count.
std::vector<int> usable_powers(size_t max_count);
// The cells of the power grid, at most max_count: each power keeps the cell it
// got when it first became usable (a character's first powers in id order, a
// new one after them), so a new power never moves the others; a power out of
// reach for now leaves its cell empty (0). Changes nothing.
std::vector<int> power_grid_cells(size_t max_count);
// Gives every usable power without a cell the next one (kept in the character
// record); returns those placed now, in their order.
std::vector<int> arrange_power_grid();
// True for an effect_name use_power knows ("attack", "duration", ...); any
// other ends the game when the power is used.
bool power_effect_known(const std::string& name);

// The fixed strength: effect_strength plus the bonus ability's value
// (multiplied unless the multiplier is 1, divided by a divisor above 1).
int16_t power_strength(int power);
// The upper bound of the random strength (0 unless strength_randomized).
int16_t power_strength_random_part(int power);
// power_strength plus Random(random part) when that part is above 0.
int16_t rolled_power_strength(int power);
// Chance of success in percent: 100 without a success ability; a roll
// succeeds when Random(99) is below it.
int16_t power_success_chance(int power);
// The character's counter of the power becomes its cooldown (when it has one).
void start_cooldown(int power);

// The power's texts and sounds; each does nothing for an empty text and
// returns 1 when it showed or played something. Messages are white, with the
// power's picture, for 2000 ms; "[power_strength]" (any letter case) in the
// success message becomes the power's fixed strength.
int show_success_message(int power);
int show_failure_message(int power);
int show_wrong_use_message(int power);
int show_already_used_message(int power);
int play_power_sound(int power);
int play_failure_sound(int power);
int play_wrong_use_sound(int power);

// The map field under the cursor's view cell.
int target_field_x(const TargetCursor& cursor);
int target_field_y(const TargetCursor& cursor);
