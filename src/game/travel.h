// Travelling: walking step after step by itself towards a goal (exploring the
// fields not yet seen, a field chosen on the map, the nearest way down or up)
// until it is reached or something needs the player. Every step is the game's
// real step, taken through the hook the main loop gives, so the turn's rules,
// its events and its saves are those of a step by key.
#pragma once
#include <cstdint>
#include <vector>

#include "game/paths.h"

enum class TravelGoal { explore, field, way_down, way_up };

// Why travelling ended.
enum class TravelStop {
    arrived,             // the chosen field or way is reached
    nothing_to_explore,  // every reachable field is seen (said in the band)
    no_way,              // no known way to the goal (said in the band)
    monster_in_sight,    // a monster came into sight (said in the band)
    message_shown,       // the step showed a message (it stays in the band)
    item_seen,           // an item came into view for the first time
    hurt,                // hit points or another pool fell
    standing_on_something,  // items, a portal or a level exit under the character
    key_pressed,         // the player pressed a key (or the window closes)
    not_moved,           // the step did not happen
    left_play,           // the map changed, the character died or the game ends
};

// What travelling needs from the main loop.
struct TravelHooks {
    // One step in the direction as a movement key makes it: the facing, the
    // step attempt, the after-step processing, the end of the turn when it
    // ended, the game-end check, the seen fields and the picture. True when
    // the character entered the field.
    bool (*step)(int dx, int dy) = nullptr;
    // Polls the input: true when a key was pressed or the window closes.
    bool (*interrupted)() = nullptr;
    // True when play goes on (no death, no menu, no quit).
    bool (*playing)() = nullptr;
};

// The walk under way, for the map view to draw: the fields still ahead, the
// next one first (empty while nothing travels).
struct TravelState {
    bool active = false;
    TravelGoal goal = TravelGoal::field;
    std::vector<MapPoint> path;
};
extern TravelState g_travel;

// The walk from the character's field towards the goal as the map stands now
// (target is used for TravelGoal::field). Explore skips the fields in stood_on.
std::vector<MapPoint> travel_path(TravelGoal goal, MapPoint target, const std::vector<bool>& stood_on = {});

// What the character sees after a step, to compare with what it saw before.
struct TravelWatch {
    uint32_t messages_shown = 0;
    std::vector<int16_t> pools;          // current values of the depletable abilities
    std::vector<const void*> monsters;   // monsters in sight
    std::vector<const void*> items;      // items on seen fields
    std::string map_file;
};
TravelWatch watch_now();
// The reason to stop after a step, comparing with the watch before it; the
// watch is brought up to date. Returns false when travelling goes on.
bool travel_stop_after_step(TravelWatch& watch, TravelStop& why);

// Walks towards the goal until a stop; says in the band why when the reason is
// not in view by itself (nothing to explore, no way, a monster in sight).
// Returns the reason and, through steps, how many steps were taken.
TravelStop travel(TravelGoal goal, MapPoint target, const TravelHooks& hooks, int* steps = nullptr);
