#include "game/step_rules.h"

#include <cerrno>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/events.h"
#include "common/message_ids.h"
#include "game/character_savegame.h"
#include "game/run_account.h"
#include "game/turn.h"
#include "game/turn_state.h"
#include "map/field_effects.h"
#include "map/level_creation.h"
#include "map/map_events.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/seen_fields.h"
#include "monsters/melee_combat.h"
#include "monsters/monster_behaviour.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace {

// The field the character walks against while a movement key stays down.
struct Bump {
    bool held = false;
    int x = 0, y = 0;
} g_bump;

MainLoopFlags& loop() { return g_shell.loop; }
CharacterRecord& hero() { return g_character_model.character; }

}  // namespace

void end_turn() { loop().turn_ended = 1; }

std::string current_map_save_path() { return "savegame\\" + file_part(g_map.map.filename); }

void let_go_of_bump() { g_bump.held = false; }

// A save that could not be written, in words: the disk is full, or the folder cannot be written.
std::string save_failure_text(int cause) {
    const int id = cause == ENOSPC || cause == EDQUOT ? msg::save_disk_full : msg::save_not_writable;
    return replace_all(message_text(id), "[folder]", host_path("savegame"));
}

bool finish_save(SaveBatch& save) {
    if (save.commit()) return true;
    show_status_message(save_failure_text(save.error()), message_text(msg::save_tries_again), WHITE, -1, 0, 2000);
    return false;
}

int sneak_past_monster(int x, int y, int sneaking) {
    // The second line names the monster and why the step did not strike it.
    const Monster* monster = last_monster_at(x, y);
    const std::string name = monster ? g_db.monster_types[monster->type].name : std::string();
    int r = Random(99);
    if (r >= sneaking || monster_alerted_at(x, y)) {
        play_sound(sound_name::oh_no);
        alert_monsters_at(x, y);
        show_status_message(message_text(42), message_with(msg::SNEAK_NOTICED_BY, {{"[name]", name}}), WHITE, -1, 0,
                            2000);
        return 0;
    }
    play_sound(sound_name::evasion);
    show_status_message(message_text(43), message_with(msg::SNEAK_UNSEEN_BY, {{"[name]", name}}), WHITE, -1, 0, 2000);
    return 1;
}

StepOutcome attempt_step(GameMap& map, const Step& step) {
    StepOutcome outcome;
    const int dx = step.dx, dy = step.dy;
    const int nx = hero().x + dx, ny = hero().y + dy;
    loop().redraw = 1;
    loop().blocked = 0;
    // The last row and column (49) are never entered by a step.
    if (nx < 0 || nx > kLastStepField || ny < 0 || ny > kLastStepField) return outcome;

    if (monster_at(nx, ny)) {
        loop().blocked = 1;
        const int sneaking = sneaking_total(1);
        if (sneaking > 0 && backstab_total(1) == 0) {
            // Slipping past goes on onto the monster's field; being noticed ends the turn.
            if (sneak_past_monster(nx, ny, sneaking)) loop().blocked = 0;
            else outcome.turn_ended = true;
        } else {
            melee_attack_monster(map, nx, ny);
            outcome.turn_ended = true;
        }
    }
    if (loop().blocked) return outcome;

    // Before the blocking test, so a lever in a wall works. A field walked
    // against tells its message once per bump, not again in every pass while
    // the key stays down (unless its event just changed it).
    const bool bumped_again = g_bump.held && g_bump.x == nx && g_bump.y == ny;
    if (trigger_map_event(map, nx, ny) || !bumped_again) show_field_message(map, nx, ny);
    if (field_blocked(map, nx, ny)) {
        g_bump = {true, nx, ny};
        return outcome;
    }
    g_bump.held = false;

    // Right and down the view scrolls in from behind the character's new
    // field; left and up it scrolls towards the field the character then enters.
    auto move_character = [&] {
        hero().x = static_cast<int8_t>(nx);
        hero().y = static_cast<int8_t>(ny);
    };
    if (dx > 0 || dy > 0) move_character();
    tell(event::CharacterStep{dx, dy});
    if (!(dx > 0 || dy > 0)) move_character();
    outcome.moved = true;
    return outcome;
}

void after_step() {
    // What the character sees from the new field, also when a portal takes it away at once.
    mark_seen_fields(g_map.map);
    if (field_effects()) end_turn();
    if (detect_hidden_fields()) tell(event::Picture{1000});
    const int x = hero().x, y = hero().y;
    if (portal_at(g_map.map, x, y)) {
        save_journey(portal_journey);
        loop().redraw = 1;
    } else if (level_exit_at(x, y)) {
        note_level_exit(x, y);
        save_journey(change_level);
        loop().redraw = 1;
    }
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_db.abilities[id];
        if (ability.change_per_move != 0) modify_attribute(static_cast<int16_t>(id), ability.change_per_move);
        // Every ability below its limit after a step ends the turn, also one that no step changes.
        if (!loop().turn_ended && ability.turn_ends_if_lower > kTurnEndsNotSet &&
            attribute_current_val(static_cast<int16_t>(id), Cap::apply, PowerAdjustment::add, ItemBonus::add) < ability.turn_ends_if_lower)
            end_turn();
    }
}

void save_journey(void (*journey)()) {
    // The journey saves the map it leaves into this batch (and a new level as it is made).
    SaveBatch save("savegame");
    journey();
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_SAVE_FILE);
    finish_save(save);
}
