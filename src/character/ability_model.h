// Reading the character's abilities: effective current and maximum values,
// caps, requirements, the value text, the game-end check.
#pragma once
#include <cstdint>
#include <string>

// 1 for the ids 1..254 that index the ability table and the ability state.
bool valid_ability_id(long long id);

int16_t attribute_current_val(int16_t id, int apply_cap, int add_power_adjustment, int add_item_bonus);
int16_t attribute_max_val(int16_t id, int apply_cap, int add_power_adjustment, int add_item_bonus);
// The lowest cap of the ability, -1 when it has none.
int16_t attribute_cap(int16_t id);
bool ability_capped(int16_t id, int16_t amount);
bool ability_available(int16_t id);
std::string ability_value_display(int16_t id);
// 1 when an ability with a game-end condition has reached it; sets the death text.
bool check_game_end();
int16_t xp_ability_count();
