#include "shell/main_loop.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "character/ability_model.h"
#include "character/advancement.h"
#include "screens/advancement_screen.h"
#include "character/attribute_changes.h"
#include "character/character_record.h"
#include "character/character_state.h"
#include "common/commands.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/raise_error.h"
#include "common/events.h"
#include "presentation/view.h"
#include "items/inventory.h"
#include "screens/item_screens.h"
#include "map/field_effects.h"
#include "map/level_creation.h"
#include "map/map_events.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "map/seen_fields.h"
#include "monsters/melee_combat.h"
#include "monsters/monster_behaviour.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/use_power.h"
#include "screens/power_screens.h"
#include "screens/look_screen.h"
#include "screens/map_screen.h"
#include "screens/ending_screen.h"
#include "game/character_savegame.h"
#include "presentation/display.h"
#include "screens/guide_screens.h"
#include "screens/main_menu.h"
#include "game/run_account.h"
#include "game/turn_state.h"
#include "shell/travel_step.h"

namespace {

constexpr const char* CHARACTER_FILE = "savegame\\character.xml";
constexpr const char* SCREENSHOT_FILE = "savegame\\screenshot.jpg";
// Resting (R) ends after this many turns at the latest.
constexpr int REST_TURNS = 200;

// The field the character walks against while a movement key stays down.
struct Bump {
    bool held = false;
    int x = 0, y = 0;
} g_bump;
// The loop ended in the main menu (its quit entry, Escape or the window closed
// there), not during play (Alt+X, the window closed).
bool g_quit_from_menu = false;

// A new character is being made: until its first save the saved game is the old one.
bool g_new_game_under_way = false;

MainLoopFlags& loop() { return g_shell.loop; }
CharacterRecord& hero() { return g_character_model.character; }

std::string current_map_save_path() { return "savegame\\" + file_part(g_map.map.filename); }

void end_turn() { loop().turn_ended = 1; }

// The last game picture, darkened when the fade effect is on, shown before the menu.
void show_parting_picture() {
    draw_game_picture(g_map.map, 0, 0, 0, 0);
    if (g_common.preferences.fade_effect) sprite_display_translucent(sprite::screen_dark, 0, 0, 150);
    flip();
}

// A screen of a subsystem saw the window's close request: the game ends as after the loop's own.
void pass_on_close_request() {
    if (!g_common.close_requested) return;
    g_common.close_requested = 0;
    loop().quit = 1;
}

// A save that could not be written, in words: the disk is full, or the folder cannot be written.
std::string save_failure_text(int cause) {
    const int id = cause == ENOSPC || cause == EDQUOT ? msg::save_disk_full : msg::save_not_writable;
    return replace_all(message_text(id), "[folder]", host_path("savegame"));
}

// Ends a save step. One that could not be written is said in the band; the
// last good save stays whole, the game goes on and the next save tries again.
bool finish_save(SaveBatch& save) {
    if (save.commit()) return true;
    show_status_message(save_failure_text(save.error()), message_text(msg::save_tries_again), WHITE, -1, 0, 2000);
    return false;
}

void show_rest_message(int id) { show_status_message(message_text(id), "", WHITE, -1, 0, 2000); }

// Returns true when a new game was started.
bool run_main_menu() {
    loop().redraw = 1;
    loop().menu = 0;
    loop().overlay = 0;
    loop().quit = 0;
    MenuChoice choice = main_menu();
    bool new_game = false;
    if (choice == MenuChoice::new_game && !loop().quit) {
        new_game_flow();
        new_game = true;
    } else if (choice == MenuChoice::continue_game && !loop().quit) {
        continue_flow();
    } else if (choice == MenuChoice::quit) {
        loop().quit = 1;
    }
    pass_on_close_request();
    return new_game;
}

}  // namespace

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

Step read_movement_keys(bool overlay) {
    struct Move {
        Command command;
        int dx, dy, facing;
    };
    static constexpr Move moves[] = {{Command::walk_up, 0, -1, facing::up},
                                     {Command::walk_down, 0, 1, facing::down},
                                     {Command::walk_right, 1, 0, facing::right},
                                     {Command::walk_left, -1, 0, facing::left}};
    Step step;
    if (overlay) return step;
    for (const Move& move : moves) {
        if (!command_held(move.command)) continue;
        if (movement_total() > 0) {
            step.dx = move.dx;
            step.dy = move.dy;
        }
        step.facing = move.facing;
        step.key_held = true;
    }
    return step;
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

void new_game_flow() {
    // The saved game stays until the new one stands: the new character's first
    // save replaces it in one step (killed before, the old game is whole).
    g_new_game_under_way = true;
    clear_message_history();
    forget_ended_run();
    reset_character();
    give_starting_equipment();
    advancement_screen(3, 1);
    load_map(g_map.map, "maps\\" + file_part(hero().map_file_name));
    // One step, the map before the character: killed on the way, no character file tells of a game without its map.
    SaveBatch save("savegame");
    save.replace_saved_game();
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_FILE);
    finish_save(save);  // not written, it goes into the next save all the same
    g_new_game_under_way = false;
    show_opening_text();  // the goal, in the band of the first picture
}

void continue_flow() {
    load_character(hero(), CHARACTER_FILE);
    load_map(g_map.map, "savegame\\" + file_part(hero().map_file_name));
}

void save_and_return_flow() {
    show_parting_picture();
    SaveBatch save("savegame");  // one step, the character last
    screenshot(SCREENSHOT_FILE);
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_FILE);
    if (!finish_save(save)) {
        // Not saved: the game goes on where it stands instead of going to the menu.
        loop().redraw = 1;
        return;
    }
    loop().menu = 1;
    loop().overlay = 1;
}

void death_flow() {
    record_run_end(hero().death_text, false);
    play_sound(sound_name::deathcry);
    fade_out(g_map.map);
    show_parting_picture();
    {
        SaveBatch picture("savegame");  // a screenshot that cannot be written is left out
        screenshot(SCREENSHOT_FILE);
        picture.commit();
    }
    delete_savegame();
    loop().menu = 1;
    loop().overlay = 1;
    loop().redraw = 0;
}

void save_journey(void (*journey)()) {
    // The journey saves the map it leaves into this batch (and a new level as it is made).
    SaveBatch save("savegame");
    journey();
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_FILE);
    finish_save(save);
}

void save_at_program_end(bool from_play) {
    // A new character before its first save is no game yet (the display lost during its picks).
    if (g_new_game_under_way || file_size(CHARACTER_FILE) <= 0) return;
    SaveBatch save("savegame");  // one step, the character last
    if (from_play) {
        // As on Escape: the next start shows the menu over the picture of where the game stands.
        show_parting_picture();
        screenshot(SCREENSHOT_FILE);
    }
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_FILE);
    // The program ends all the same: what could not be saved is said on the way out.
    if (!save.commit()) raise_error(save_failure_text(save.error()));
}

void settle_turn() {
    MainLoopFlags& f = loop();
    if (f.turn_ended) {
        end_of_turn();
        count_turn();
        ++g_shell.turns_ended;
        f.turn_ended = 0;
        f.redraw = 1;
    }
    pass_on_close_request();
    note_treasure_found();
    // The last foe fell: the ending, then the game goes on where it stands.
    if (const std::string* foe = note_final_foe_fallen()) {
        ending_screen(*foe);
        f.redraw = 1;
    }
    if (check_game_end() && !f.quit) death_flow();
    if (f.burnt_out) {
        recompute_item_bonuses();
        f.burnt_out = 0;
    }
}

int rest() {
    MainLoopFlags& f = loop();
    if (monster_in_sight()) {
        show_rest_message(msg::monster_in_sight);
        return 0;
    }
    if (rested()) {
        show_rest_message(msg::rested);
        return 0;
    }
    int turns = 0;
    while (turns < REST_TURNS) {
        const uint32_t messages_before = g_common.message_history.shown;
        const std::vector<int16_t> pools_before = pool_values();
        end_turn();
        settle_turn();
        ++turns;
        if (f.menu || f.quit) break;  // the character died, or the window closes
        mark_seen_fields(g_map.map);
        redraw_screen(g_map.map, 0, 0, 0, 0);
        f.redraw = 0;
        // A message of the turn stays in view: nothing is said over it.
        if (g_common.message_history.shown != messages_before || pool_fell(pools_before, pool_values())) break;
        if (monster_in_sight()) {
            show_rest_message(msg::monster_in_sight);
            break;
        }
        if (rested()) {
            show_rest_message(msg::rested);
            break;
        }
        keyboard_poll();
        if (take_window_event() == WindowEvent::close_request) {
            f.quit = 1;
            break;
        }
        if (key_pressed(key::any)) {
            // The key that stopped the rest does nothing else: it is let go here (an Escape would save and leave).
            while (key_held(key::any) && !f.quit) {
                wait_for_event(IDLE_WAIT_MS);
                keyboard_poll();
                if (take_window_event() == WindowEvent::close_request) f.quit = 1;
            }
            break;
        }
    }
    if (!f.menu) f.redraw = 1;  // the death picture stays
    // The rest saw R let go: the next key acts at once, as after any turn.
    f.action_lock = key_held(key::any) ? 1 : 0;
    return turns;
}

void main_loop_pass() {
    MainLoopFlags& f = loop();
    keyboard_poll();
    f.moved = 0;
    // The screens, blows and steps of this pass name nothing under the pointer.
    set_map_pointer(false, 0, 0);

    // The Escape that leaves a new character's advancement screen is released
    // in this pass too; it must not save the game and return to the menu.
    bool new_game_started = false;
    if (f.menu) {
        new_game_started = run_main_menu();
        // Leaving from the menu ends the game here: the keys that ended the
        // menu (Escape) must not act on the game again.
        if (f.quit) {
            g_quit_from_menu = true;
            return;
        }
    }

    // A close request ends the game also in full screen: there it comes from the
    // desktop (the window manager's close key, a terminate signal), which would
    // otherwise go unheard.
    const WindowEvent window_event = take_window_event();
    if (window_event == WindowEvent::close_request) f.quit = 1;
    // A click on a seen field of the map view travels there once this pass's turn is over.
    const bool clicked = window_event == WindowEvent::left_button_down && !f.overlay;
    if (command_released(Command::save_and_menu) && !new_game_started) save_and_return_flow();
    if (command_held(Command::quit)) f.quit = 1;

    const Step step = read_movement_keys(f.overlay);
    if (!step.key_held) g_bump.held = false;  // let go: the next step against a field is a new bump
    if (step.key_held) {
        hero().facing = static_cast<int8_t>(step.facing);
        f.redraw = 1;
    }
    if ((step.dx != 0 || step.dy != 0) && !f.overlay) {
        const StepOutcome outcome = attempt_step(g_map.map, step);
        f.moved = outcome.moved;
        if (outcome.turn_ended) end_turn();
    }
    // A completed step has its consequences before any screen asked for in the
    // same pass opens (a screen sets the overlay, which would skip them).
    if (f.moved && !f.overlay) after_step();

    // Alt+Return switches the screen mode once per press.
    if (command_pressed(Command::full_screen)) {
        toggle_fullscreen(g_map.map.tileset, 1);
        f.redraw = 1;
    }

    if (command_held(Command::character) && !f.overlay) {
        character_screen();
        flip();
        f.overlay = 1;
    }
    if (command_held(Command::use_power) && !f.overlay && !f.action_lock) {
        if (use_power() == 1) end_turn();
        f.redraw = 1;
        f.action_lock = 1;
    }
    if (command_held(Command::pick_up) && !f.overlay && !f.action_lock) {
        // A screen that used the turn ends it: the monsters act next.
        if (pick_up_screen(hero().x, hero().y) == 1) end_turn();
        f.action_lock = 1;
        f.redraw = 1;
    }
    if (command_held(Command::inventory) && !f.overlay && !f.action_lock) {
        if (inventory_screen() == 1) end_turn();
        f.redraw = 1;
        f.action_lock = 1;
    }
    if (command_held(Command::advance) && !f.overlay && !f.action_lock) {
        take_waiting_picks();
        f.redraw = 1;
        f.action_lock = 1;
    }
    if (command_held(Command::wait) && !f.overlay && !f.action_lock) {
        end_turn();
        f.redraw = 1;
        f.action_lock = 1;
    }
    // The screens that help the player take no turn; resting starts when this pass's turn is over.
    // So do travelling and exploring; X with Alt held quits instead.
    bool rest_asked = false;
    std::optional<TravelGoal> travel_asked;
    MapPoint travel_target;
    if (!f.overlay && !f.action_lock) {
        bool handled = true;
        if (command_held(Command::help)) help_screen();
        else if (command_held(Command::history)) history_screen();
        else if (command_held(Command::map)) {
            // A click on a seen field of the map screen travels there.
            if (map_screen(&travel_target.x, &travel_target.y)) travel_asked = TravelGoal::field;
        }
        else if (command_held(Command::rest)) rest_asked = true;
        else if (command_held(Command::explore) && !key_held(key::left_alt)) travel_asked = TravelGoal::explore;
        else if (command_held(Command::travel_down)) travel_asked = TravelGoal::way_down;
        else if (command_held(Command::travel_up)) travel_asked = TravelGoal::way_up;
        else if (command_held(Command::look)) look_screen();
        else handled = false;
        if (handled) {
            f.redraw = 1;
            f.action_lock = 1;
        }
    }
    if (command_held(Command::test_picture) && !f.action_lock) {
        animation("fire flood", VIEW_CENTRE, VIEW_CENTRE, 0);
        f.action_lock = 1;
    }
    if (command_held(Command::confirm) && f.overlay) {
        f.overlay = 0;
        f.redraw = 1;
    }
    if (key_released(key::any)) f.action_lock = 0;

    settle_turn();
    if (rest_asked && !f.menu && !f.quit) rest();
    if (travel_asked && !f.menu && !f.quit) travel_command(*travel_asked, travel_target);
    if (clicked && !f.overlay && !f.menu && !f.quit) travel_to_pointer();
    // The pointer over the map view only changes the picture: the band names
    // what lies under it (in a window; the full screen shows no pointer). A
    // pass that draws for it still waits as an idle one: what the game does
    // and records pass by pass is the same wherever the pointer is.
    int pointer_x = 0, pointer_y = 0;
    const bool pointer_over = !screen_is_fullscreen() && window_mouse_over(pointer_x, pointer_y);
    set_map_pointer(pointer_over && !f.overlay, pointer_x, pointer_y);
    if (f.redraw) {
        mark_seen_fields(g_map.map);
        redraw_screen(g_map.map, 0, 0, 0, 0);
        f.redraw = 0;
    } else {
        if (!f.overlay && !f.menu && map_pointer_text_changed()) redraw_screen(g_map.map, 0, 0, 0, 0);
        wait_for_event(IDLE_WAIT_MS);
    }
}

void run_main_loop() {
    g_bump = {};
    g_quit_from_menu = false;
    while (!loop().quit) main_loop_pass();
    save_at_program_end(!g_quit_from_menu);
}
