// The nine effects a power can have. use_power (powers/use_power.h) has
// chosen the power, paid its cost and tested its cooldown; each effect picks
// its own target, rolls for success or not, shows its animation, sound and
// messages, changes the game and may start the power's cooldown.
#pragma once
#include <cstdint>
#include <string>

// The damage a monster of that type takes from a power of the damage class:
// halved when it resists the class, doubled when vulnerable to it, none when
// immune, and none when a required class is given that the monster lacks.
int16_t power_damage_against(int monster_type, int16_t damage, const std::string& damage_class,
                             const std::string& required_class);

// "attack": one monster chosen on the view is struck, with the blood spot and the damage shown.
void power_attack(int power);
// "area attack": every monster within the view is struck, each with a strength rolled for it.
void power_area_attack(int power);
// "duration": a temporary adjustment of an ability, replacing one that runs on it.
void power_duration(int power);
// "transform field" (transform 1) and "use field" (transform 0) on a field within the power's range.
void power_field_effect(int power, int transform);
// "activate ability": switches an ability on or off.
void power_activate_ability(int power);
// "deplete attribute": an ability's current value becomes 0.
void power_deplete_attribute(int power);
// "modify attribute": the fixed strength is added to an ability; quiet 1
// (inside a field power) shows nothing and starts no cooldown.
void power_modify_attribute(int power, int quiet);
// "apply effect to monster": a status word on one monster chosen on the view, or sleep.
void power_apply_effect_to_monster(int power);
