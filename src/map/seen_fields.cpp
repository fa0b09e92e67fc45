#include "map/seen_fields.h"

#include "character/character_state.h"
#include "common/view.h"
#include "map/map_grid.h"

bool field_in_sight(int x, int y, int light) {
    const CharacterRecord& c = g_character_model.character;
    return view_cell_lit(light, x - c.x + VIEW_CENTRE, y - c.y + VIEW_CENTRE);
}

void mark_seen_fields(GameMap& map) {
    const CharacterRecord& c = g_character_model.character;
    const int light = light_level();
    for (int y = c.y - VIEW_CENTRE; y <= c.y + VIEW_CENTRE; ++y)
        for (int x = c.x - VIEW_CENTRE; x <= c.x + VIEW_CENTRE; ++x)
            if (on_map(x, y) && field_in_sight(x, y, light)) set_map_seen(map, x, y, 1);
}

bool monster_in_sight() {
    const int light = light_level();
    for (const Monster& monster : g_map.monsters)
        if (field_in_sight(monster.x, monster.y, light)) return true;
    return false;
}
