#include "map/map_events.h"

#include "common/questions.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/raise_error.h"
#include "common/events.h"
#include "map/level_creation.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "platform/files.h"
#include "platform/strings.h"

namespace {


}  // namespace

int trigger_map_event(GameMap& map, int x, int y) {
    if (!on_map(x, y))
        raise_error("trigger_map_event: wrong parameters: x=" + int_to_text(x) + "; y=" + int_to_text(y));
    const std::string event = read_map_event(map, x, y);
    if (event.empty()) return 0;
    bool fired = false;
    for (MapEvent& entry : g_map.events) {
        if (entry.name != event || entry.triggered) continue;
        entry.triggered = 1;
        fired = true;
    }
    if (!fired) return 0;
    const int points = map_event_xp(event);
    if (points > 0) ask_advancement(points, 0);
    apply_transformations(map, event);
    return 1;
}

void apply_transformations(GameMap& map, const std::string& event) {
    for (const Transformation& t : g_map.transformations) {
        if (t.event != event || t.triggered) continue;
        set_map_tile_type(map, t.x, t.y, t.tile_type);
        set_map_portal(map, t.x, t.y, t.portal_mapfile, t.portal_x, t.portal_y);
        set_map_message(map, t.x, t.y, t.message_line1, t.message_line2, t.message_tile);
        if (!t.new_event.empty()) {
            set_map_event(map, t.x, t.y, t.new_event, 0);
            add_map_event(t.new_event, 0, 0);
        }
    }
}

int show_field_message(GameMap& map, int x, int y) {
    if (!on_map(x, y)) return 0;
    const std::string line1 = read_map_message_line1(map, x, y);
    const std::string line2 = read_map_message_line2(map, x, y);
    if (line1.empty() && line2.empty()) return 0;
    show_status_message(line1, line2, WHITE, read_map_message_tile(map, x, y), icon_kind::tile, 2000);
    return 1;
}

void portal_journey() {
    GameMap& map = g_map.map;
    CharacterRecord& character = g_character_model.character;
    tell(event::Fade{false});
    save_map(map, map_file_path("savegame", map.filename));
    const std::string target = file_part(read_map_portal_mapfilename(map, character.x, character.y));
    const int8_t target_x = read_map_portal_target_x(map, character.x, character.y);
    const int8_t target_y = read_map_portal_target_y(map, character.x, character.y);
    // A map visited before comes back as it was left.
    const std::string saved_copy = map_file_path("savegame", target);
    if (file_size(saved_copy) <= 0 || !load_saved_copy(map, saved_copy)) load_map(map, map_file_path("maps", target), 1);
    character.x = target_x;
    character.y = target_y;
    character.map_file_name = target;
    map.visited = 1;
    tell(event::Fade{true});
}
