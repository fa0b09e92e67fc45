// Reading the character's abilities: effective current and maximum values,
// caps, the requirements of abilities and powers, the value text, the game-end check.
#pragma once
#include <cstdint>
#include <string>

// 1 for the ids 1..254 that index the ability table and the ability state.
bool valid_ability_id(long long id);

// What the value queries count beside the stored value. The game's "current
// value" of an ability is attribute_current_val(id, Cap::apply,
// PowerAdjustment::add, ItemBonus::add); only a power's requirements leave the
// power adjustment and the item bonus out.
enum class Cap { skip = 0, apply = 1 };
enum class PowerAdjustment { skip = 0, add = 1 };
enum class ItemBonus { skip = 0, add = 1 };

int16_t attribute_current_val(int16_t id, Cap cap, PowerAdjustment power_adjustment, ItemBonus item_bonus);
int16_t attribute_max_val(int16_t id, Cap cap, PowerAdjustment power_adjustment, ItemBonus item_bonus);
// The lowest cap of the ability, -1 when it has none.
int16_t attribute_cap(int16_t id);
bool ability_capped(int16_t id, int16_t amount);
bool ability_available(int16_t id);
// 1 when the power exists and the character meets all its requirements;
// raised_ability (an ability id, or 0) is counted raise_amount higher.
bool power_available(int power_id, int raised_ability, int raise_amount);
std::string ability_value_display(int16_t id);
// 1 when an ability with a game-end condition has reached it; sets the death text.
bool check_game_end();
int16_t xp_ability_count();
