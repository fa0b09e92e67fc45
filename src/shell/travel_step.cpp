#include "shell/travel_step.h"

#include "character/character_state.h"
#include "presentation/view.h"
#include "common/view_cells.h"
#include "map/map_grid.h"
#include "map/seen_fields.h"
#include "platform/media.h"
#include "screens/screen_stack.h"
#include "shell/main_loop.h"
#include "game/turn_state.h"

namespace {

// How long a wait for the stopping key's release lasts before the keys are read again.
constexpr int RELEASE_WAIT_MS = 5;

MainLoopFlags& loop() { return g_shell.loop; }

bool still_playing() { return !loop().menu && !loop().quit; }

bool travel_interrupted() {
    if (poll_input() == WindowEvent::close_request) loop().quit = 1;
    return loop().quit || key_pressed(key::any);
}

int facing_of(int dx, int dy) {
    if (dy < 0) return facing::up;
    if (dy > 0) return facing::down;
    return dx > 0 ? facing::right : facing::left;
}

}  // namespace

bool travel_step(int dx, int dy) {
    MainLoopFlags& f = loop();
    // As a movement key: without movement it only turns the character.
    if (movement_total() <= 0 || f.overlay) return false;
    Step step;
    step.dx = dx;
    step.dy = dy;
    step.facing = facing_of(dx, dy);
    step.key_held = true;
    g_character_model.character.facing = static_cast<int8_t>(step.facing);
    f.moved = 0;
    const StepOutcome outcome = attempt_step(g_map.map, step);
    f.moved = outcome.moved;
    if (outcome.turn_ended) f.turn_ended = 1;
    if (f.moved && !f.overlay) after_step();
    settle_turn();
    if (still_playing()) {
        mark_seen_fields(g_map.map);
        redraw_screen(g_map.map, 0, 0, 0, 0);
        f.redraw = 0;
    }
    return outcome.moved;
}

TravelStop travel_command(TravelGoal goal, MapPoint target) {
    MainLoopFlags& f = loop();
    if (f.overlay || !still_playing()) return TravelStop::left_play;
    const TravelHooks hooks{travel_step, travel_interrupted, still_playing};
    const TravelStop why = travel(goal, target, hooks);
    if (why == TravelStop::key_pressed) {
        // The key that stopped the walk does nothing else: it is let go here (an Escape would save and leave).
        while (key_held(key::any) && !f.quit) {
            wait_for_event(RELEASE_WAIT_MS);
            if (poll_input() == WindowEvent::close_request) f.quit = 1;
        }
    }
    if (!f.menu) f.redraw = 1;  // the death picture stays
    f.action_lock = key_held(key::any) ? 1 : 0;
    return why;
}

bool travel_to_pointer(TravelStop* why) {
    int x = 0, y = 0;
    window_mouse_position(x, y);
    MapPoint field;
    const CharacterRecord& c = g_character_model.character;
    if (!map_view_field_at(x, y, field) || !on_map(field.x, field.y) || !read_map_seen(g_map.map, field.x, field.y) ||
        (field.x == c.x && field.y == c.y))
        return false;
    const TravelStop stop = travel_command(TravelGoal::field, field);
    if (why) *why = stop;
    return true;
}

bool map_view_field_at(int px, int py, MapPoint& field) {
    int column = 0, row = 0;
    if (!view_cell_at_pixel(px, py, column, row)) return false;
    const CharacterRecord& c = g_character_model.character;
    field = {c.x + column - VIEW_CENTRE, c.y + row - VIEW_CENTRE};
    return true;
}
