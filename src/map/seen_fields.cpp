#include "map/seen_fields.h"

#include "character/character_state.h"
#include "map/map_grid.h"
#include "map/vision.h"

bool field_in_sight(int x, int y) { return sight_shows_field(character_sight(), x, y); }

void mark_seen_fields(GameMap& map) {
    const CharacterRecord& c = g_character_model.character;
    const ViewCells sight = character_sight();
    for (int y = c.y - VIEW_CENTRE; y <= c.y + VIEW_CENTRE; ++y)
        for (int x = c.x - VIEW_CENTRE; x <= c.x + VIEW_CENTRE; ++x)
            if (on_map(x, y) && sight_shows_field(sight, x, y)) set_map_seen(map, x, y, 1);
}

bool monster_in_sight() {
    const ViewCells sight = character_sight();
    for (const Monster& monster : g_map.monsters)
        if (sight_shows_field(sight, monster.x, monster.y)) return true;
    return false;
}
