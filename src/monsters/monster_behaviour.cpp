#include "monsters/monster_behaviour.h"

#include <algorithm>
#include <cstdlib>

#include "character/ability_model.h"
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
#include "platform/random.h"
#include "platform/strings.h"

namespace {

constexpr int SHOWN_STEP_RANGE = 7;   // fields from the character in x and in y
constexpr int REGENERATION_RANGE = 6; // the map view around the character
constexpr int YELLOW = 4;             // ring colour of regeneration

const CharacterRecord& hero() { return g_character_model.character; }

const MonsterType& type_of(const Monster& monster) {
    static const MonsterType none;
    if (monster.type < 0 || monster.type > kMaxMonsterTypeId) return none;
    return g_db.monster_types[monster.type];
}

bool has_status(const Monster& monster, const char* word) { return lists_share_entry(monster.status, word, "|") != 0; }

int sign(int v) { return (v > 0) - (v < 0); }

bool within(int x, int y, int range) {
    return std::abs(x - hero().x) <= range && std::abs(y - hero().y) <= range;
}

// The directions a blocked monster tries, from Random(3) on: north, east, south, west.
struct Direction {
    int dx, dy;
};
constexpr Direction DIRECTIONS[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};

// One step of a monster; within sight of the character it slides over 16 frames.
void step_monster(Monster& monster, int dx, int dy) {
    if (within(monster.x, monster.y, SHOWN_STEP_RANGE)) tell(event::MonsterStep{&monster, dx, dy});
    monster.offset_x = 0;
    monster.offset_y = 0;
    monster.x = wrap16(monster.x + dx);
    monster.y = wrap16(monster.y + dy);
}

void move_monster(Monster& monster) {
    const GameMap& map = g_map.map;
    const int cx = hero().x, cy = hero().y;
    int steps = type_of(monster).speed;
    if (has_status(monster, "slowed")) steps = 1;
    const bool confused = has_status(monster, "confused");
    while (steps > 0) {
        int dx = 0, dy = 0;
        if (!monster.alerted) {
            steps = 0;
        } else if (monster.x != cx || monster.y != cy) {
            // The larger distance wins; a tie goes along x.
            if (std::abs(cx - monster.x) >= std::abs(cy - monster.y)) dx = sign(cx - monster.x);
            else dy = sign(cy - monster.y);
            if (monster.x + dx == cx && monster.y + dy == cy) {
                // Beside the character it stays and strikes.
                steps = 0;
                dx = dy = 0;
            }
        }
        if ((dx != 0 || dy != 0) && (confused || field_blocked_for_monster(map, monster.x + dx, monster.y + dy, monster.type))) {
            bool free_direction = false;
            for (int tries = 0, d = Random(3); tries < 4 && !free_direction; ++tries, d = (d + 1) % 4) {
                if (field_blocked_for_monster(map, monster.x + DIRECTIONS[d].dx, monster.y + DIRECTIONS[d].dy, monster.type))
                    continue;
                dx = DIRECTIONS[d].dx;
                dy = DIRECTIONS[d].dy;
                free_direction = true;
            }
            if (!free_direction) steps = 0;
        }
        if (steps > 0 && (dx != 0 || dy != 0)) step_monster(monster, dx, dy);
        --steps;
    }
}

}  // namespace

void move_monsters() {
    for (Monster& monster : g_map.monsters) move_monster(monster);
}

void regenerate_monsters() {
    for (Monster& monster : g_map.monsters) {
        const MonsterType& type = type_of(monster);
        if (type.regeneration <= 0 || monster.hitpoints >= type.hitpoints) continue;
        const int amount = std::min(type.hitpoints - monster.hitpoints, Random(type.regeneration - 1) + 1);
        if (within(monster.x, monster.y, REGENERATION_RANGE)) {
            // The monster by its name, in the singular or plural form of the amount.
            const int id = amount == 1 ? msg::REGENERATES_ONE : msg::REGENERATES_MANY;
            show_play_report(message_with(id, {{"[name]", type.name}, {"[value]", int_to_text(amount)}}), type.tile,
                             icon_kind::monster);
            tell(event::Ring{YELLOW, monster.x - hero().x + VIEW_CENTRE, monster.y - hero().y + VIEW_CENTRE});
        }
        monster.hitpoints = static_cast<int16_t>(std::min<int>(type.hitpoints, monster.hitpoints + amount));
    }
}

int detect_hidden_fields() {
    GameMap& map = g_map.map;
    int found = 0;
    for (int x = hero().x - 1; x <= hero().x + 1; ++x) {
        for (int y = hero().y - 1; y <= hero().y + 1; ++y) {
            // Each field gets one chance ever: the first time the character stands on or beside it.
            if (read_map_visited(map, x, y)) continue;
            set_map_visited(map, x, y, 1);
            if (!read_map_hidden(map, x, y)) continue;
            const int t = read_map_tile_type(map, x, y);
            if (t < 0 || t >= kTileTypeCount) continue;
            const TileType& tile = map.tileset.tile_types[t];
            if (Random(99) >= perception_value(tile.cls)) continue;
            set_map_hidden(map, x, y, 0);
            found = 1;
            if (!tile.detection_message.empty())
                show_status_message(tile.detection_message, "", WHITE, t, icon_kind::tile, 2000);
            if (!tile.detection_sound.empty()) play_sound(tile.detection_sound);
        }
    }
    return found;
}

int16_t perception_value(const std::string& tile_class) {
    int sum = 0;
    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const std::string& perceives = g_db.abilities[id].perception_tile_class;
        if (perceives.empty()) continue;
        if (perceives != "all" && !lists_share_entry(perceives, tile_class, "|")) continue;
        sum += attribute_current_val(static_cast<int16_t>(id), Cap::apply, PowerAdjustment::add, ItemBonus::add);
    }
    return wrap16(sum);
}
