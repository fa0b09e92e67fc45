// The rules of advancement: a pick of an ability and the text of its bonuses.
// The character sheet and the advancement screen are in screens/advancement_screen.h.
#pragma once
#include <cstdint>
#include <string>

// "Strength+1; Hit points+3": the displayed attribute bonuses of an ability.
std::string attribute_bonus_text(int16_t id);
// A pick of the ability: each attribute bonus raises its target's stored
// maximum and current value by the bonus, and the target's ability_value by 1.
// (The caller checks that the ability is available and recalculates.)
void apply_advancement_pick(int16_t id);
