#include "powers/power_effects.h"

#include <cstdlib>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/events.h"
#include "common/view_cells.h"
#include "common/word_lists.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "map/vision.h"
#include "monsters/melee_combat.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/use_power.h"

namespace {

constexpr int AREA_REACH = 6;  // fields from the character in x and in y: the map view
// Messages about a monster that a status effect does not reach.
constexpr int MSG_IMMUNE = 51, MSG_ALREADY_AFFECTED = 52, MSG_RESISTS = 53;

CharacterRecord& hero() { return g_character_model.character; }

const MonsterType& type_of(int type) {
    static const MonsterType none;
    return (type >= 0 && type < kMonsterTypeTableSize) ? g_db.monster_types[type] : none;
}

bool shares_word(const std::string& a, const std::string& b) { return lists_share_entry(a, b, "|") == 1; }

// The character's own ability state, for ids that index it (1..254).
AbilityState* ability_state(int id) {
    return valid_ability_id(id) ? &hero().abilities[id] : nullptr;
}

// A report about a power, beside its icon.
void report(int power, const std::string& text) { show_play_report(text, g_db.powers[power].tile, icon_kind::power); }

// The last monster on the field of a target chosen anywhere on the view;
// nullptr when the choice was cancelled or no monster stands there (which the
// player is told: the cost is paid all the same).
Monster* chosen_monster(int power, TargetCursor& cursor) {
    ask_target(cursor, 2);
    if (cursor.cancel) return nullptr;
    // Where walls block sight, a monster behind one is out of reach.
    if (!sight_reaches(g_map.map, hero().x, hero().y, target_field_x(cursor), target_field_y(cursor))) {
        report(power, message_text(msg::NO_MONSTER_IN_SIGHT));
        return nullptr;
    }
    Monster* target = last_monster_at(target_field_x(cursor), target_field_y(cursor));
    if (!target) report(power, message_text(msg::NO_MONSTER_THERE));
    return target;
}

// What a power's blow did to a monster: killed it, hurt it, or did it no harm.
void report_power_blow(int power, const Monster& monster, int damage) {
    const int id = wrap16(monster.hitpoints - damage) < 1 ? msg::POWER_KILLS
                   : damage == 0                           ? msg::POWER_NO_HARM
                                                           : msg::POWER_HITS;
    report(power, message_with(id, {{"[power]", g_db.powers[power].name},
                                    {"[name]", type_of(monster.type).name},
                                    {"[damage]", int_to_text(damage)}}));
}

void show_monster_message(int power, int message) {
    show_status_message(message_text(message), "", WHITE, g_db.powers[power].tile, icon_kind::power, 2000);
}

}  // namespace

int16_t power_damage_against(int monster_type, int16_t damage, const std::string& damage_class,
                             const std::string& required_class) {
    const MonsterType& type = type_of(monster_type);
    int result = damage;
    if (shares_word(type.resistance, damage_class)) result /= 2;
    if (shares_word(type.vulnerable, damage_class)) result *= 2;
    if (shares_word(type.immune, damage_class)) result = 0;
    if (!required_class.empty() && !shares_word(type.cls, required_class)) result = 0;
    return wrap16(result);
}

void power_attack(int power) {
    const Power& p = g_db.powers[power];
    TargetCursor cursor;
    Monster* target = chosen_monster(power, cursor);
    if (!target) return;
    note_monster_fought(*target);
    tell(event::Animation{p.animation, cursor.column, cursor.row, 0});
    if (Random(99) >= power_success_chance(power)) {
        play_failure_sound(power);
        if (!show_failure_message(power))
            report(power,
                   message_with(msg::POWER_MISSES, {{"[power]", p.name}, {"[name]", type_of(target->type).name}}));
        return;
    }
    const int16_t damage =
        power_damage_against(target->type, rolled_power_strength(power), p.cls, p.affects_only_monster_class);
    show_success_message(power);
    report_power_blow(power, *target, damage);
    play_sound(sound_name::hit);
    // The blow: the blood spot on the target's cell with the damage on it.
    event::Blow blow;
    blow.column = cursor.column;
    blow.row = cursor.row;
    blow.mark = event::Mark::blood;
    blow.numbered = true;
    blow.number = damage;
    tell(blow);
    target->hitpoints = wrap16(target->hitpoints - damage);
    remove_dead_monsters();
    tell(event::Picture{event::BLOW_HOLD_MS});
}

void power_area_attack(int power) {
    const Power& p = g_db.powers[power];
    tell(event::Animation{p.animation, VIEW_CENTRE, VIEW_CENTRE, 0});
    const int x = hero().x, y = hero().y;
    bool in_sight = false;
    for (Monster& monster : g_map.monsters) {
        if (std::abs(monster.x - x) > AREA_REACH || std::abs(monster.y - y) > AREA_REACH) continue;
        if (!sight_reaches(g_map.map, x, y, monster.x, monster.y)) continue;
        in_sight = true;
        // Each monster gets a strength rolled for it.
        const int16_t damage =
            power_damage_against(monster.type, rolled_power_strength(power), p.cls, p.affects_only_monster_class);
        report_power_blow(power, monster, damage);
        play_sound(sound_name::hit);
        tell(event::Animation{"red cloud", monster.x - x + VIEW_CENTRE, monster.y - y + VIEW_CENTRE, damage});
        monster.hitpoints = wrap16(monster.hitpoints - damage);
    }
    if (!in_sight) report(power, message_text(msg::NO_MONSTER_IN_SIGHT));
    remove_dead_monsters();
}

void power_duration(int power) {
    const Power& p = g_db.powers[power];
    AbilityState* state = ability_state(p.adjust_attribute);
    if (!state) return;
    if (Random(99) >= power_success_chance(power)) {
        play_failure_sound(power);
        show_failure_message(power);
        return;
    }
    int16_t bonus = 0;
    if (p.duration_bonus_attribute > 0)
        bonus = attribute_current_val(p.duration_bonus_attribute, Cap::apply, PowerAdjustment::add, ItemBonus::add);
    if (p.duration_multiplier > 1) bonus = wrap16(static_cast<long long>(bonus) * p.duration_multiplier);
    if (p.duration_divisor > 1) bonus = wrap16(bonus / p.duration_divisor);
    // A running adjustment of the ability is replaced.
    state->power_adjustment = power_strength(power);
    state->adjustment_duration = wrap16(p.duration + bonus);
    state->adjustment_name = p.name;
    state->adjustment_power_id = static_cast<int16_t>(power);
    recalculate_adjustments();
    tell(event::Animation{p.animation, VIEW_CENTRE, VIEW_CENTRE, 0});
    play_power_sound(power);
    show_success_message(power);
    start_cooldown(power);
}

void power_field_effect(int power, int transform) {
    const Power& p = g_db.powers[power];
    GameMap& map = g_map.map;
    TargetCursor cursor;
    ask_target(cursor, p.range);
    // A cancelled choice uses nothing (the cost stays paid).
    if (cursor.cancel) return;
    const int x = target_field_x(cursor), y = target_field_y(cursor);
    const int t = read_map_tile_type(map, x, y);
    const int16_t chance = power_success_chance(power);
    // Beyond the edge of the grid there is no field to act on.
    const bool on_grid = on_map(x, y) && t >= 0 && t < kTileTypeCount;
    // A power without words of its own for a refusal still says why nothing happened.
    if (!on_grid || !shares_word(p.cls, map.tileset.tile_types[t].cls)) {
        play_wrong_use_sound(power);
        if (!show_wrong_use_message(power)) report(power, message_text(msg::NOTHING_FOR_POWER));
        return;
    }
    if (field_power_used(map, x, y, p.field_effect)) {
        play_wrong_use_sound(power);
        if (!show_already_used_message(power)) report(power, message_text(msg::FIELD_USED_UP));
        return;
    }
    tell(event::Animation{p.animation, cursor.column, cursor.row, 0});
    if (Random(99) >= chance) {
        // A failed attempt uses the field up as well.
        play_failure_sound(power);
        show_failure_message(power);
        add_power_used(map, x, y, p.field_effect);
        return;
    }
    if (transform == 1) transform_field_by_power(map, x, y, map.tileset.tile_types[t].transforms_into);
    play_power_sound(power);
    show_success_message(power);
    power_modify_attribute(power, 1);
    start_cooldown(power);
    add_power_used(map, x, y, p.field_effect);
}

void power_activate_ability(int power) {
    AbilityState* state = ability_state(g_db.powers[power].activates_ability_id);
    if (!state) return;
    state->activated = !state->activated;
    start_cooldown(power);
}

void power_deplete_attribute(int power) {
    const Power& p = g_db.powers[power];
    AbilityState* state = ability_state(p.deplete_attribute_id);
    if (!state) return;
    tell(event::Animation{p.animation, VIEW_CENTRE, VIEW_CENTRE, 0});
    play_power_sound(power);
    show_success_message(power);
    recalculate_adjustments();
    state->attribute_current_value = 0;
}

void power_modify_attribute(int power, int quiet) {
    const Power& p = g_db.powers[power];
    if (p.modify_attribute <= 0) return;
    if (!quiet) {
        tell(event::Animation{p.animation, VIEW_CENTRE, VIEW_CENTRE, 0});
        play_power_sound(power);
        show_success_message(power);
    }
    const int16_t change = modify_attribute(p.modify_attribute, power_strength(power));
    if (change != 0 && !quiet) start_cooldown(power);
}

void power_apply_effect_to_monster(int power) {
    const Power& p = g_db.powers[power];
    TargetCursor cursor;
    Monster* target = chosen_monster(power, cursor);
    if (!target) return;
    const MonsterType& type = type_of(target->type);
    auto refused = [&](int message) {
        tell(event::Animation{p.animation, cursor.column, cursor.row, 0});
        play_sound(sound_name::failure);
        show_monster_message(power, message);
    };
    if (shares_word(target->status, p.monster_effect)) return refused(MSG_ALREADY_AFFECTED);
    if (shares_word(type.immune, p.cls)) return refused(MSG_IMMUNE);
    // A resistant monster shakes the effect off three times in four.
    if (shares_word(type.resistance, p.cls) && Random(3) > 0) return refused(MSG_RESISTS);
    if (p.monster_effect == "sleep") {
        target->alerted = 0;  // it no longer comes for the character
    } else {
        if (!target->status.empty()) target->status += "|";
        target->status += p.monster_effect;
        target->alerted = 1;
    }
    tell(event::Animation{p.animation, cursor.column, cursor.row, 0});
    play_power_sound(power);
    show_success_message(power);
    recalculate_adjustments();
}
