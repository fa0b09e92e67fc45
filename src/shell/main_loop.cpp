#include "shell/main_loop.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>
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
#include "screens/screen_stack.h"
#include "game/run_account.h"
#include "game/state_checksum.h"
#include "platform/recording.h"
#include "game/turn_state.h"
#include "shell/travel_step.h"

static_assert(kStatePartCount == recording::TURN_PARTS, "a turn's recorded checksums are the state's parts");

namespace {

constexpr const char* SCREENSHOT_FILE = "savegame\\screenshot.jpg";
// Resting (R) ends after this many turns at the latest.
constexpr int REST_TURNS = 200;

// The loop ended in the main menu (its quit entry, Escape or the window closed
// there), not during play (Alt+X, the window closed).
bool g_quit_from_menu = false;

// A new character is being made: until its first save the saved game is the old one.
bool g_new_game_under_way = false;

MainLoopFlags& loop() { return g_shell.loop; }
CharacterRecord& hero() { return g_character_model.character; }


// The last game picture, darkened when the fade effect is on, shown before the menu.
void show_parting_picture() {
    draw_game_picture(g_map.map, 0, 0, 0, 0);
    if (g_common.preferences.fade_effect) sprite_display_translucent(sprite::screen_dark, 0, 0, 150);
    flip();
}

void show_rest_message(int id) { show_status_message(message_text(id), "", WHITE, -1, 0, 2000); }

// What the menu's choice starts; true when a new game was started.
bool follow_menu_choice(MenuChoice choice) {
    bool new_game = false;
    if (choice == MenuChoice::new_game && !loop().quit) {
        new_game_flow();
        new_game = true;
    } else if (choice == MenuChoice::continue_game && !loop().quit) {
        continue_flow();
    } else if (choice == MenuChoice::quit) {
        loop().quit = 1;
    }
    return new_game;
}

}  // namespace

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
    save_character(hero(), CHARACTER_SAVE_FILE);
    finish_save(save);  // not written, it goes into the next save all the same
    g_new_game_under_way = false;
    show_opening_text();  // the goal, in the band of the first picture
}

void continue_flow() {
    load_character(hero(), CHARACTER_SAVE_FILE);
    load_map(g_map.map, "savegame\\" + file_part(hero().map_file_name));
}

void save_and_return_flow() {
    show_parting_picture();
    SaveBatch save("savegame");  // one step, the character last
    screenshot(SCREENSHOT_FILE);
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_SAVE_FILE);
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

void save_at_program_end(bool from_play) {
    // A new character before its first save is no game yet (the display lost during its picks).
    if (g_new_game_under_way || file_size(CHARACTER_SAVE_FILE) <= 0) return;
    SaveBatch save("savegame");  // one step, the character last
    if (from_play) {
        // As on Escape: the next start shows the menu over the picture of where the game stands.
        show_parting_picture();
        screenshot(SCREENSHOT_FILE);
    }
    save_map(g_map.map, current_map_save_path());
    save_character(hero(), CHARACTER_SAVE_FILE);
    // The program ends all the same: what could not be saved is said on the way out.
    if (!save.commit()) raise_error(save_failure_text(save.error()));
}

void settle_turn() {
    MainLoopFlags& f = loop();
    if (f.turn_ended) {
        end_of_turn();
        count_turn();
        ++g_shell.turns_ended;
        // What the turn left, for the recording (and a replay's check of it).
        if (recording::turns_watched()) recording::note_turn(state_checksum(), state_part_name);
        f.turn_ended = 0;
        f.redraw = 1;
    }
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

namespace {

// Resting, turn after turn: a turn is played before the keys are read again.
struct RestTurns {
    int turns = 0;
    // One turn of the rest: false when the rest stops after it (the
    // character died, a message of the turn stays in view, a pool fell, a
    // monster came into sight, nothing is left to heal).
    bool next() {
        MainLoopFlags& f = loop();
        const uint32_t messages_before = g_common.message_history.shown;
        const std::vector<int16_t> pools_before = pool_values();
        end_turn();
        settle_turn();
        ++turns;
        if (f.menu || f.quit) return false;  // the character died, or the window closes
        mark_seen_fields(g_map.map);
        redraw_screen(g_map.map, 0, 0, 0, 0);
        f.redraw = 0;
        // A message of the turn stays in view: nothing is said over it.
        if (g_common.message_history.shown != messages_before || pool_fell(pools_before, pool_values())) return false;
        if (monster_in_sight()) {
            show_rest_message(msg::monster_in_sight);
            return false;
        }
        if (rested()) {
            show_rest_message(msg::rested);
            return false;
        }
        return true;
    }
    // The rest is over: the next key acts at once, as after any turn.
    void end() {
        MainLoopFlags& f = loop();
        if (!f.menu) f.redraw = 1;  // the death picture stays
        f.action_lock = key_held(key::any) ? 1 : 0;
    }
};

// The rest on the stack: each pass's keys are read between two turns. A key
// pressed stops it; that key does nothing else: it is let go first (an Escape
// would save and leave).
class RestActivity : public Screen {
public:
    explicit RestActivity(RestTurns rest) : rest_(rest) {}
    void take(WindowEvent event) override {
        MainLoopFlags& f = loop();
        if (event == WindowEvent::close_request) f.quit = 1;
        if (f.quit) return stop();
        if (!letting_go_ && key_pressed(key::any)) letting_go_ = true;
        if (letting_go_) {
            if (!key_held(key::any)) stop();
            return;
        }
        if (rest_.turns >= REST_TURNS || !rest_.next()) stop();
    }
    bool draw() override { return false; }  // each turn drew its picture
    bool idle() const override { return letting_go_; }
    int turns() const { return rest_.turns; }

private:
    void stop() {
        rest_.end();
        close();
    }
    RestTurns rest_;
    bool letting_go_ = false;
};

}  // namespace

void rest(std::function<void(int turns)> then) {
    if (monster_in_sight()) {
        show_rest_message(msg::monster_in_sight);
        return then(0);
    }
    if (rested()) {
        show_rest_message(msg::rested);
        return then(0);
    }
    RestTurns first;
    if (!first.next()) {
        first.end();
        return then(first.turns);
    }
    screen_stack().push<RestActivity>(std::make_unique<RestActivity>(first),
                                      [then](RestActivity& rest) { then(rest.turns()); });
}

namespace {

// What a pass has yet to do when it opened a screen: the pass ends when the
// screen closes, in the pass whose input closed it.
struct PassEnd {
    bool clicked = false;        // a click on the map view in the pass that opened it
    bool right_clicked = false;  // a right click on the map view: look at the field under the pointer
    bool rest_asked = false;
    std::optional<TravelGoal> travel_asked;
    MapPoint travel_target;
} g_pass;

void end_pass();
void draw_pass_end();

// The end of a pass: the last keys, the turn settled, what was asked to
// start once it is over, the picture.
void finish_pass() {
    MainLoopFlags& f = loop();
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
    // Resting turns until it stops; the pass ends after it.
    if (g_pass.rest_asked && !f.menu && !f.quit) return rest([](int) { end_pass(); });
    end_pass();
}

// The end of a pass after its turn: walks asked for, the picture.
void end_pass() {
    MainLoopFlags& f = loop();
    if (g_pass.travel_asked && !f.menu && !f.quit) travel_command(*g_pass.travel_asked, g_pass.travel_target);
    if (g_pass.clicked && !f.overlay && !f.menu && !f.quit) travel_to_pointer();
    LookCursor cursor;
    if (g_pass.right_clicked && !f.overlay && !f.menu && !f.quit && pointer_look_cursor(cursor)) {
        g_pass.right_clicked = false;
        screen_stack().push<LookScreen>(std::make_unique<LookScreen>(cursor), [](LookScreen&) {
            loop().redraw = 1;
            loop().action_lock = key_held(key::any) ? 1 : 0;
            draw_pass_end();
        });
        return;
    }
    draw_pass_end();
}

// The picture at the end of a pass.
void draw_pass_end() {
    MainLoopFlags& f = loop();
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

// A screen asked for by a key has closed: the key acts no more until let go.
void after_screen() {
    loop().redraw = 1;
    loop().action_lock = 1;
    finish_pass();
}

// A screen that takes no turn, opened by a key of play.
void open_guide(std::unique_ptr<Screen> screen) {
    screen_stack().push(std::move(screen), [](Screen&) { after_screen(); });
}

// The screens and actions of play's keys; false when a screen was pushed (its
// close ends the pass).
bool play_keys() {
    MainLoopFlags& f = loop();
    if (command_held(Command::character) && !f.overlay) {
        character_screen();
        flip();
        f.overlay = 1;
    }
    // A screen that used the turn ends it: the monsters act next.
    auto end_turn_if = [](int turn_used) {
        if (turn_used == 1) end_turn();
        after_screen();
    };
    if (command_held(Command::use_power) && !f.overlay && !f.action_lock) {
        use_power(end_turn_if);
        return false;
    }
    if (command_held(Command::pick_up) && !f.overlay && !f.action_lock) {
        pick_up_screen(hero().x, hero().y, end_turn_if);
        return false;
    }
    if (command_held(Command::inventory) && !f.overlay && !f.action_lock) {
        inventory_screen(end_turn_if);
        return false;
    }
    if (command_held(Command::advance) && !f.overlay && !f.action_lock) {
        take_waiting_picks(after_screen);
        return false;
    }
    if (command_held(Command::wait) && !f.overlay && !f.action_lock) {
        end_turn();
        f.redraw = 1;
        f.action_lock = 1;
    }
    // The screens that help the player take no turn; resting starts when this pass's turn is over.
    // So do travelling and exploring; X with Alt held quits instead.
    if (f.overlay || f.action_lock) return true;
    if (command_held(Command::help)) return open_guide(help_screen()), false;
    if (command_held(Command::history)) return open_guide(history_screen()), false;
    if (command_held(Command::map)) {
        // A click on a seen field of the map screen travels there.
        screen_stack().push<MapScreen>(std::make_unique<MapScreen>(true), [](MapScreen& map) {
            if (map.clicked()) {
                g_pass.travel_asked = TravelGoal::field;
                g_pass.travel_target = {map.x(), map.y()};
            }
            after_screen();
        });
        return false;
    }
    bool handled = true;
    if (command_held(Command::rest)) g_pass.rest_asked = true;
    else if (command_held(Command::explore) && !key_held(key::left_alt)) g_pass.travel_asked = TravelGoal::explore;
    else if (command_held(Command::travel_down)) g_pass.travel_asked = TravelGoal::way_down;
    else if (command_held(Command::travel_up)) g_pass.travel_asked = TravelGoal::way_up;
    else if (command_held(Command::look)) return open_guide(std::make_unique<LookScreen>()), false;
    else handled = false;
    if (handled) {
        f.redraw = 1;
        f.action_lock = 1;
    }
    return true;
}

}  // namespace

namespace {

// Play's part of a pass, from the window's event on.
void play_pass(WindowEvent window_event, bool new_game_started);

// The menu over the last picture: its choice is followed in the pass that
// made it, and play takes that pass's keys after it.
void open_main_menu() {
    MainLoopFlags& f = loop();
    f.redraw = 1;
    f.menu = 0;
    f.overlay = 0;
    f.quit = 0;
    main_menu([](MenuChoice choice) {
        // The Escape that leaves a new character's advancement screen is released
        // in this pass too; it must not save the game and return to the menu.
        const bool new_game_started = follow_menu_choice(choice);
        // Leaving from the menu ends the game here: the keys that ended the
        // menu (Escape) must not act on the game again.
        if (loop().quit) {
            g_quit_from_menu = true;
            return;
        }
        // The menu took the event of the pass that closed it; play takes the next one queued.
        play_pass(take_window_event(), new_game_started);
    });
}

}  // namespace

void main_loop_pass() {
    MainLoopFlags& f = loop();
    const WindowEvent event = poll_input();
    // A screen on the stack takes the pass's input; play waits below it.
    if (!screen_stack().empty()) {
        screen_stack().pass(event);
        return;
    }
    f.moved = 0;
    g_pass = {};
    // The screens, blows and steps of this pass name nothing under the pointer.
    set_map_pointer(false, 0, 0);
    if (f.menu) {
        open_main_menu();
        // The menu's first look is at this pass's keys.
        screen_stack().pass(event);
        return;
    }
    play_pass(event, false);
}

namespace {

void play_pass(WindowEvent window_event, bool new_game_started) {
    MainLoopFlags& f = loop();
    // A close request ends the game also in full screen: there it comes from the
    // desktop (the window manager's close key, a terminate signal), which would
    // otherwise go unheard.
    if (window_event == WindowEvent::close_request) f.quit = 1;
    // A click on a seen field of the map view travels there once this pass's turn is over.
    g_pass.clicked = window_event == WindowEvent::left_button_down && !f.overlay;
    // A right click on the map view looks at the field under the pointer, once this pass's turn is over.
    g_pass.right_clicked = window_event == WindowEvent::right_button_down && !f.overlay;
    if (command_released(Command::save_and_menu) && !new_game_started) save_and_return_flow();
    if (command_held(Command::quit)) f.quit = 1;

    const Step step = read_movement_keys(f.overlay);
    if (!step.key_held) let_go_of_bump();  // the next step against a field is a new bump
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

    if (play_keys()) finish_pass();
}

}  // namespace

void run_main_loop() {
    let_go_of_bump();
    g_quit_from_menu = false;
    while (!loop().quit) main_loop_pass();
    screen_stack().clear();
    save_at_program_end(!g_quit_from_menu);
}
