// Every change of the character's stored ability values goes through here;
// each change ends with recalculate_adjustments so the queries stay consistent.
#pragma once
#include <cstdint>
#include <string>

// Adds a signed amount to the current value; returns the increase made for a
// positive amount, the amount itself otherwise.
int16_t modify_attribute(int16_t attribute_id, int16_t amount);
// Raises the current value (a depletable ability stops at its stored maximum).
int16_t increase_attribute(int16_t id, int16_t amount);
// Lowers the current value by amount (>= 0), never below the ability's minimum
// nor, unless allow_negative, below 0.
int16_t reduce_ability(int16_t id, int amount, int allow_negative);
// Current value up to the effective maximum; 1 when it was below.
bool restore_ability(int16_t id);
// Damage the character has taken; cause becomes the death text when it kills.
int16_t damage_character(int16_t damage, const std::string& cause);
// Rebuilds adjustment_other and adjustment_percentage of every ability.
void recalculate_adjustments();
