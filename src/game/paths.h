// Finding the way over the current map: the shortest walk over the fields the
// character has seen, for travelling to a field, to the nearest way down or up,
// and for exploring. The character walks in the four directions only, every
// step costs the same, and a step never enters the last row or column (49).
// Pure functions of the map, its monsters and level exits: nothing is saved.
#pragma once
#include <functional>
#include <vector>

#include "map/map_state.h"

struct MapPoint {
    int x = 0, y = 0;
    bool operator==(const MapPoint&) const = default;
};

// A field the character knows to be harmful: not hidden (any more), and its
// tile type is of the class "trap" or one of its slots lowers an ability that
// blows lower (hit points). A hidden trap that struck is found, so it counts.
bool known_harmful_field(const GameMap& map, int x, int y);
// A field a travelling step may enter: inside 0..48, seen, not solid, not
// known to be harmful (monsters are not asked here).
bool travel_field_open(const GameMap& map, int x, int y);

// What a walk goes around besides the fields: the monsters (a step onto one
// would fight it) and the level exits (passing one would take the character
// down; so would a portal, which the map itself tells).
struct PathObstacles {
    const GameList<Monster>& monsters;
    const GameList<DungeonRecord>& level_exits;
};

// The shortest walk from `from` to the nearest field (not `from` itself) for
// which goal(x, y) holds, over open fields free of monsters, never through a
// portal or a level exit (one may be the goal): the fields in the order they
// are entered, the goal last. Empty when no such field is reached. Ties go to
// the field found first, the directions tried up, right, down, left.
std::vector<MapPoint> path_to_nearest(const GameMap& map, const PathObstacles& obstacles, MapPoint from,
                                      const std::function<bool(int x, int y)>& goal);
// The shortest walk to one field (empty when it cannot be reached or is `from`).
std::vector<MapPoint> path_to_field(const GameMap& map, const PathObstacles& obstacles, MapPoint from, MapPoint to);

// A way down: a level exit, or a portal whose tile type is of the class
// "way_down" (a map's own stairs into a deeper map). Every other portal is a
// way up or back.
bool way_down_at(const GameMap& map, const GameList<DungeonRecord>& level_exits, int x, int y);
bool way_up_at(const GameMap& map, int x, int y);

// A field worth walking to when exploring: open, no portal or level exit, with
// an unseen field beside it (up, right, down or left, anywhere on the grid),
// and not yet stood on
// while exploring (standing there showed what it could: a field seen by no
// light stays unseen, and exploring must come to an end all the same).
// stood_on is indexed y * kMapSize + x; empty means none.
bool exploring_goal(const GameMap& map, const GameList<DungeonRecord>& level_exits, const std::vector<bool>& stood_on,
                    int x, int y);
