// Reading the character's abilities: effective current and maximum values,
// caps, the requirements of abilities and powers, the value text, the game-end check.
#pragma once
#include <cstdint>
#include <string>

#include "common/ability_table.h"

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
// A display entry speaks for the value v when v lies in its range; the range
// 0..0 speaks for every value.
bool display_entry_applies(const DisplayEntry& entry, int v);
// One of the entry's texts with every "[value]" (any letter case) replaced by
// v, or by ability_value_display(id) when the entry asks for the expanded value.
std::string display_entry_text(int16_t id, const DisplayEntry& entry, const std::string& text, int v);
// 1 when an ability with a game-end condition has reached it; sets the death text.
bool check_game_end();
int16_t xp_ability_count();
