// The turn's own rules: who stands where, spawning, the end of a turn, and
// what resting asks of the character's pools.
#include "game/turn.h"

#include <cstdlib>
#include <vector>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/events.h"
#include "common/view_cells.h"
#include "game/turn_state.h"
#include "items/inventory.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "monsters/melee_combat.h"
#include "monsters/monster_behaviour.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace {

const CharacterRecord& hero() { return g_character_model.character; }

}  // namespace

// The stored values of the pools (hit points, mana: the depletable abilities), to see them fall.
std::vector<int16_t> pool_values() {
    std::vector<int16_t> values;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].depletable) values.push_back(hero().abilities[id].attribute_current_value);
    return values;
}

bool pool_fell(const std::vector<int16_t>& before, const std::vector<int16_t>& after) {
    for (size_t k = 0; k < before.size() && k < after.size(); ++k)
        if (after[k] < before[k]) return true;
    return false;
}

// Every pool is full: at the maximum the panel shows, or as high as healing by itself brings it.
bool rested() {
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        if (!g_db.abilities[id].depletable || g_db.abilities[id].name.empty()) continue;
        const int16_t ability = static_cast<int16_t>(id);
        const AbilityState& state = hero().abilities[id];
        const bool full =
            state.attribute_current_value >= state.attribute_max_value ||
            attribute_current_val(ability, Cap::apply, PowerAdjustment::add, ItemBonus::add) >=
                attribute_max_val(ability, Cap::apply, PowerAdjustment::add, ItemBonus::add);
        if (!full) return false;
    }
    return true;
}

int monster_at(int x, int y) { return last_monster_at(x, y) ? 1 : 0; }

int alert_monsters_at(int x, int y) {
    int found = 0;
    for (Monster& monster : g_map.monsters) {
        if (monster.x == x && monster.y == y) {
            monster.alerted = 1;
            found = 1;
        }
    }
    return found;
}

int monster_alerted_at(int x, int y) {
    for (const Monster& monster : g_map.monsters)
        if (monster.x == x && monster.y == y && monster.alerted) return 1;
    return 0;
}

int level_exit_at(int x, int y) {
    for (const DungeonRecord& exit : g_map.level_exits)
        if (exit.xpos == x && exit.ypos == y) return 1;
    return 0;
}

int portal_at(const GameMap& map, int x, int y) { return read_map_portal_mapfilename(map, x, y).empty() ? 0 : 1; }

int movement_total() {
    int total = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].movement) total += attribute_current_val(static_cast<int16_t>(id), Cap::apply, PowerAdjustment::add, ItemBonus::add);
    return wrap16(total);
}

int spawn_monsters(GameMap& map) {
    if (map.spawn_monster_chance <= 0 || map.spawn_monster_level <= 0) return 0;
    if (Random(99) > map.spawn_monster_chance) return 0;

    int highest = 0;
    for (int id = 0; id <= kMaxMonsterTypeId; ++id)
        if (!g_db.monster_types[id].name.empty()) highest = id;
    if (highest == 0) return 0;
    bool level_exists = false;
    for (int id = 0; id <= highest; ++id)
        if (g_db.monster_types[id].level == map.spawn_monster_level) level_exists = true;
    if (!level_exists) return 0;
    int type;
    do {
        type = Random(highest);
    } while (g_db.monster_types[type].level != map.spawn_monster_level);

    // Never on the character's own field: a monster there would hide under the
    // figure, where it can be neither seen nor attacked.
    auto free = [&](int x, int y) {
        return !field_blocked(map, x, y) && !monster_at(x, y) && !(x == hero().x && y == hero().y);
    };
    bool free_field = false;
    for (int y = 0; y < kMapSize && !free_field; ++y)
        for (int x = 0; x < kMapSize && !free_field; ++x)
            if (free(x, y)) free_field = true;
    if (!free_field) return 0;
    int x, y;
    do {
        x = Random(49);
        y = Random(49);
    } while (!free(x, y));

    Monster monster;
    monster.type = static_cast<int16_t>(type);
    monster.x = static_cast<int16_t>(x);
    monster.y = static_cast<int16_t>(y);
    monster.hitpoints = g_db.monster_types[type].hitpoints;
    monster.alerted = 0;
    add_monster(monster);
    return 1;
}

void end_of_turn() {
    GameMap& map = g_map.map;
    CharacterRecord& c = g_character_model.character;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_db.abilities[id];
        const int16_t ability_id = static_cast<int16_t>(id);
        // The ability changes another one by its value.
        if (ability.modify_atribute > 0) {
            int16_t v = attribute_current_val(ability_id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
            if (v != 0) {
                if (ability.modify_divisor > 1) v = wrap16((v + ability.modify_divisor - 1) / ability.modify_divisor);
                if (ability.modify_multiplier != 1) v = wrap16(static_cast<long long>(v) * ability.modify_multiplier);
                if (v != 0) {
                    modify_attribute(ability.modify_atribute, v);
                    if (!ability.modify_sound.empty()) play_sound(ability.modify_sound);
                    if (!ability.modify_animation.empty())
                        tell(event::Animation{ability.modify_animation, VIEW_CENTRE, VIEW_CENTRE, std::abs(v)});
                }
            }
        }
        if (ability.change_per_turn != 0 && Random(99) < ability.change_per_turn_chance)
            modify_attribute(ability_id, ability.change_per_turn);
        AbilityState& state = c.abilities[id];
        if (state.power_adjustment != 0 || state.adjustment_duration != 0) {
            state.adjustment_duration = wrap16(state.adjustment_duration - 1);
            if (state.adjustment_duration < 1) {
                state.power_adjustment = 0;
                state.adjustment_duration = 0;
                state.adjustment_name.clear();
                state.adjustment_power_id = 0;
            }
        }
    }
    for (int id = 1; id <= 254; ++id)
        if (c.cooldown[id] > 0) --c.cooldown[id];

    move_monsters();
    // The monsters beside the character strike: north, east, south, west.
    monster_melee_attack(c.x, c.y - 1);
    monster_melee_attack(c.x + 1, c.y);
    monster_melee_attack(c.x, c.y + 1);
    monster_melee_attack(c.x - 1, c.y);
    regenerate_monsters();
    spawn_monsters(map);

    if (burn_fuel()) g_shell.loop.burnt_out = 1;

    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].restore_at_end_of_turn) restore_ability(static_cast<int16_t>(id));
}

