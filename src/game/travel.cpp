#include "game/travel.h"

#include "game/turn.h"

#include <algorithm>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "map/vision.h"
#include "map/map_grid.h"
#include "map/seen_fields.h"

TravelState g_travel;

namespace {

const CharacterRecord& hero() { return g_character_model.character; }
MapPoint hero_field() { return {hero().x, hero().y}; }

template <typename T>
bool holds(const std::vector<T>& list, const T& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool standing_on_something() {
    const int x = hero().x, y = hero().y;
    for (const MapItem& item : g_map.items)
        if (item.x == x && item.y == y) return true;
    return portal_at(g_map.map, x, y) || level_exit_at(x, y);
}

void say(int message_id) { show_status_message(message_text(message_id), "", WHITE, -1, 0, 2000); }

int no_way_message(TravelGoal goal) {
    switch (goal) {
        case TravelGoal::way_down: return msg::no_way_down;
        case TravelGoal::way_up: return msg::no_way_up;
        default: return msg::no_way_there;
    }
}

}  // namespace

std::vector<MapPoint> travel_path(TravelGoal goal, MapPoint target, const std::vector<bool>& stood_on) {
    const GameMap& map = g_map.map;
    const MapPoint from = hero_field();
    const PathObstacles obstacles{g_map.monsters, g_map.level_exits};
    switch (goal) {
        case TravelGoal::explore:
            return path_to_nearest(map, obstacles, from,
                                   [&](int x, int y) { return exploring_goal(map, g_map.level_exits, stood_on, x, y); });
        case TravelGoal::way_down:
            return path_to_nearest(map, obstacles, from,
                                   [&](int x, int y) { return way_down_at(map, g_map.level_exits, x, y); });
        case TravelGoal::way_up:
            return path_to_nearest(map, obstacles, from, [&](int x, int y) { return way_up_at(map, x, y); });
        case TravelGoal::field: break;
    }
    return path_to_field(map, obstacles, from, target);
}

TravelWatch watch_now() {
    TravelWatch watch;
    watch.messages_shown = g_common.message_history.shown;
    watch.pools = pool_values();
    for (const Monster& monster : g_map.monsters)
        if (field_in_sight(monster.x, monster.y)) watch.monsters.push_back(&monster);
    for (const MapItem& item : g_map.items)
        if (on_map(item.x, item.y) && g_map.map.fields[item.y][item.x].seen) watch.items.push_back(&item);
    watch.map_file = g_map.map.filename;
    return watch;
}

bool travel_stop_after_step(TravelWatch& watch, TravelStop& why) {
    const TravelWatch now = watch_now();
    bool stop = true;
    if (now.map_file != watch.map_file) why = TravelStop::left_play;
    else if (pool_fell(watch.pools, now.pools)) why = TravelStop::hurt;
    else if (now.messages_shown != watch.messages_shown) why = TravelStop::message_shown;
    else if (std::any_of(now.monsters.begin(), now.monsters.end(), [&](const void* m) { return !holds(watch.monsters, m); }))
        why = TravelStop::monster_in_sight;
    else if (std::any_of(now.items.begin(), now.items.end(), [&](const void* i) { return !holds(watch.items, i); }))
        why = TravelStop::item_seen;
    else if (standing_on_something()) why = TravelStop::standing_on_something;
    else stop = false;
    // What was in view stays known: a monster that steps out of sight and back comes into sight again.
    for (const void* item : now.items)
        if (!holds(watch.items, item)) watch.items.push_back(item);
    std::vector<const void*> items = std::move(watch.items);
    watch = now;
    watch.items = std::move(items);
    return stop;
}

TravelStop travel(TravelGoal goal, MapPoint target, const TravelHooks& hooks, int* steps) {
    g_travel = {true, goal, {}};
    std::vector<bool> stood_on(kMapSize * kMapSize, false);
    stood_on[hero().y * kMapSize + hero().x] = true;
    TravelWatch watch = watch_now();
    int taken = 0;
    TravelStop why = TravelStop::arrived;
    for (;;) {
        if (!hooks.playing()) {
            why = TravelStop::left_play;
            break;
        }
        const std::vector<MapPoint> path = travel_path(goal, target, stood_on);
        if (path.empty()) {
            if (goal == TravelGoal::explore) {
                why = TravelStop::nothing_to_explore;
                say(msg::nothing_to_explore);
            } else if (goal == TravelGoal::field && hero_field() == target && taken > 0) {
                why = TravelStop::arrived;
            } else {
                why = TravelStop::no_way;
                say(no_way_message(goal));
            }
            break;
        }
        g_travel.path = path;
        const MapPoint from = hero_field();
        const bool last = path.size() == 1;
        const bool moved = hooks.step(path[0].x - from.x, path[0].y - from.y);
        if (moved) ++taken;
        if (!hooks.playing()) {
            why = TravelStop::left_play;
            break;
        }
        if (!moved) {
            why = TravelStop::not_moved;
            break;
        }
        // Reaching a way down or up takes the character along it at once.
        if (last && goal != TravelGoal::explore) {
            why = TravelStop::arrived;
            break;
        }
        stood_on[hero().y * kMapSize + hero().x] = true;
        if (travel_stop_after_step(watch, why)) {
            if (why == TravelStop::monster_in_sight) say(msg::monster_in_sight);
            break;
        }
        if (hooks.interrupted()) {
            why = TravelStop::key_pressed;
            break;
        }
    }
    g_travel = {};
    if (steps) *steps = taken;
    return why;
}
