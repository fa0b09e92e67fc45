#include "monsters/melee_combat.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/events.h"
#include "common/view_cells.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace {

constexpr int HIT_FX = 1, CRITICAL_FX = 4;  // cells of the effects sheet

const CharacterRecord& hero() { return g_character_model.character; }

// The character's full current value of an ability.
int16_t current(int id) {
    return attribute_current_val(static_cast<int16_t>(id), Cap::apply, PowerAdjustment::add, ItemBonus::add);
}

// Sum of the current values of the abilities a test picks (only switched-on ones when asked).
template <typename Flagged>
int flagged_sum(Flagged flagged, int only_activated) {
    int sum = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        if (!flagged(g_db.abilities[id])) continue;
        if (only_activated && !hero().abilities[id].activated) continue;
        sum += current(id);
    }
    return sum;
}

// A hit chance in percent: never below 10, never above 90.
int clamp_chance(int chance) { return std::clamp(chance, 10, 90); }

const MonsterType& type_of(const Monster& monster) {
    static const MonsterType none;
    if (monster.type < 0 || monster.type > kMaxMonsterTypeId) return none;
    return g_db.monster_types[monster.type];
}

void show_combat_message(const std::string& text) { show_status_message(text, "", WHITE, -1, 0, 2000); }

// The report of the character's blow: a miss, a kill (a critical one), a hit with its damage or without harm.
void report_blow(const MonsterType& type, bool hit, bool critical, bool kills, int damage) {
    int id = msg::HIT;
    if (!hit) id = msg::MISS;
    else if (critical) id = msg::CRITICAL_KILL;
    else if (kills) id = msg::KILL;
    else if (damage == 0) id = msg::HIT_NO_HARM;
    show_play_report(message_with(id, {{"[name]", type.name}, {"[damage]", int_to_text(damage)}}));
}

// The report of a monster's blow on the character.
void report_monster_blow(const MonsterType& type, bool hit, int damage) {
    const int id = !hit ? msg::MONSTER_MISSES : damage == 0 ? msg::MONSTER_HITS_NO_HARM : msg::MONSTER_HITS;
    show_play_report(message_with(id, {{"[name]", type.name}, {"[damage]", int_to_text(damage)}}));
}

}  // namespace

int16_t defense_total() {
    return wrap16(flagged_sum([](const AbilityRecord& a) { return a.defense_melee; }, 0));
}

int16_t armor_total() {
    return wrap16(flagged_sum([](const AbilityRecord& a) { return a.armor; }, 0));
}

int16_t backstab_total(int only_activated) {
    return wrap16(flagged_sum([](const AbilityRecord& a) { return a.backstab; }, only_activated));
}

int8_t sneaking_total(int only_activated) {
    return wrap8(flagged_sum([](const AbilityRecord& a) { return a.sneaking; }, only_activated));
}

int16_t melee_damage_roll() {
    int damage = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_db.abilities[id];
        if (!ability.damage_in_melee) continue;
        damage += current(id);
        if (ability.randomizer_ability > 0) damage += Random(current(ability.randomizer_ability));
    }
    return wrap16(damage);
}

int16_t armor_roll() {
    const int16_t armor = armor_total();
    return armor > 0 ? static_cast<int16_t>(Random(armor)) : 0;
}

void melee_attack_monster(GameMap& /*map*/, int x, int y) {
    Monster* target = last_monster_at(x, y);
    if (!target) return;
    const MonsterType& type = type_of(*target);

    int attack = 0;  // the highest id with the flag gives the chance to hit
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].attack_melee) attack = current(id);
    int chance = attack - type.defense;
    const bool backstab = !target->alerted && backstab_total(1) > 0;
    if (backstab) chance = sneaking_total(0);
    chance = clamp_chance(chance);
    target->alerted = 1;
    note_monster_fought(*target);

    const bool hit = Random(99) <= chance;
    int16_t damage = 0;
    bool critical = false;
    if (hit) {
        play_sound(sound_name::hit);
        damage = static_cast<int16_t>(std::max(0, melee_damage_roll() - type.armor));
        if (backstab) {
            damage = wrap16(damage + backstab_total(0));
            show_combat_message(replace_all(message_text(45), "[damage]", int_to_text(damage)));
        }
        if (damage > 0) {
            for (int id = 1; id <= kMaxAbilityId; ++id) {
                const AbilityRecord& ability = g_db.abilities[id];
                const int16_t ability_id = static_cast<int16_t>(id);
                if (ability.hit_multiplier > 0) modify_attribute(ability_id, ability.hit_multiplier);
                if (ability.hit_attribute > 0) modify_attribute(ability_id, current(ability.hit_attribute));
                // Every critical ability rolls; one success is enough, and a critical kills.
                if (ability.critical_hit_melee && Random(99) <= current(id)) {
                    critical = true;
                    damage = target->hitpoints;
                }
            }
        }
    } else {
        play_sound(sound_name::evasion);
    }

    report_blow(type, hit, critical, hit && wrap16(target->hitpoints - damage) < 1, damage);
    // The blow: the character lifted by 2 pixels, the effect on the target's cell.
    event::Blow blow;
    blow.column = x - hero().x + VIEW_CENTRE;
    blow.row = y - hero().y + VIEW_CENTRE;
    blow.character_shift = -2;
    if (hit) {
        blow.mark = event::Mark::fx_icon;
        blow.icon = critical ? CRITICAL_FX : HIT_FX;
        blow.numbered = !critical;
        blow.number = damage;
    }
    tell(blow);
    if (hit) target->hitpoints = wrap16(target->hitpoints - damage);
    remove_dead_monsters();
    tell(event::Picture{event::BLOW_HOLD_MS});
}

void monster_melee_attack(int x, int y) {
    Monster* attacker = last_monster_at(x, y);
    if (!attacker) return;
    const MonsterType& type = type_of(*attacker);
    attacker->alerted = 1;
    attacker->offset_y = -2;  // it hops up while it strikes
    note_monster_striking(*attacker);

    const int chance = clamp_chance(type.attack - defense_total());
    const bool hit = Random(99) <= chance;
    int16_t damage = 0;
    std::vector<std::string> afflicted;  // the texts of the afflictions that struck
    if (hit) {
        play_sound(sound_name::hit);
        const int raw = Random(type.strength + 2) + 1;
        const int16_t left_after_buffers = absorb_damage(wrap16(raw));  // the buffers first, then the armour
        damage = static_cast<int16_t>(std::max(0, left_after_buffers - armor_roll()));
        damage_character(damage, message_text(44) + " " + type.name);
        for (const MonsterAffliction& affliction : type.afflictions) {
            if (affliction.chance <= 0 || affliction.attribute <= 0 || damage <= 0) continue;
            if (Random(99) >= affliction.chance) continue;
            int amount = affliction.value;
            if (affliction.randomized && amount != 0) {
                // 1 .. |value|, with the sign of value (a value of 0 stays 0).
                amount = Random(std::abs(static_cast<int>(affliction.value)) - 1) + 1;
                if (affliction.value < 0) amount = -amount;
            }
            if (amount == 0) continue;
            modify_attribute(affliction.attribute, wrap16(amount));
            if (!affliction.message.empty()) afflicted.push_back(affliction.message);
        }
    } else {
        play_sound(sound_name::evasion);
    }

    report_monster_blow(type, hit, damage);
    // What the blow did besides the wound, in the monster type's own words, under the blow's report.
    for (const std::string& text : afflicted) show_play_report(text);
    event::Blow blow;
    blow.column = blow.row = VIEW_CENTRE;
    if (hit) {
        blow.mark = event::Mark::fx_icon;
        blow.icon = HIT_FX;
        blow.numbered = true;
        blow.number = damage;
    }
    tell(blow);
    attacker->offset_y = 0;
    tell(event::Picture{event::BLOW_HOLD_MS});
}

int16_t absorb_damage(int16_t damage) {
    int d = std::abs(static_cast<int>(damage));
    for (int a = 1; a <= kMaxAbilityId; ++a) {
        if (g_db.abilities[a].modify_per_point_of_damage == 0) continue;
        for (int b = 1; b <= kMaxAbilityId && d > 0; ++b) {
            const AbilityRecord& buffer = g_db.abilities[b];
            if (buffer.buffer_for_attribute != a || current(b) <= 0) continue;
            // The buffer takes the whole remaining blow, however few points it holds.
            play_sound(sound_name::hit);
            tell(event::Animation{buffer.buffer_animation, VIEW_CENTRE, VIEW_CENTRE, d});
            modify_attribute(static_cast<int16_t>(b), wrap16(-d));
            d = 0;
        }
    }
    return wrap16(d);
}

int remove_dead_monsters() {
    int removed = 0;
    GameList<Monster>& monsters = g_map.monsters;
    monsters.reset();
    while (monsters.next()) {
        if (monsters.current().hitpoints >= 1) continue;
        g_map.fallen.push_back(monsters.current().type);
        monsters.remove_current();
        ++removed;
        ++g_character_model.character.kills;
        for (int id = 1; id <= kMaxAbilityId; ++id) {
            const int16_t gain = g_db.abilities[id].modify_with_each_kill;
            if (gain > 0) modify_attribute(static_cast<int16_t>(id), gain);
        }
    }
    return removed;
}
