// The lists of the current map: its events, the transformations waiting for
// them, and the monsters standing on it with the look-ups by field.
#pragma once
#include <bitset>
#include <string>
#include <unordered_set>

#include "map/map_state.h"

// The map event list: the first registration of a name wins. Returns 1 when added.
int add_map_event(const std::string& name, int triggered, int xp);
// 1 when an entry of that name has fired.
int map_event_triggered(const std::string& name);
// The xp of the entry of that name; 0 when there is none.
int map_event_xp(const std::string& name);
// Appends to the transformation list unless an entry with the same x, y and
// event exists. Returns 1 when added.
int add_transformation(const Transformation& record);
// Appends a monster with the record's type, position, hit points, alerted flag
// and offset_y when its field lies on the grid and no monster stands there;
// offset_x starts at 0 and the status words empty. Returns 1 when added.
int add_monster(const Monster& record);
// The same three for filling empty lists with many entries (reading a map
// file): the index remembers what was added through it, so that the test for
// an entry that is there already takes no search. It knows only its own
// entries: the lists must be empty when it is made, and nothing else may add
// to them while it is used.
class MapListIndex {
public:
    int add_map_event(const std::string& name, int triggered, int xp);
    int add_transformation(const Transformation& record);
    int add_monster(const Monster& record);

private:
    std::unordered_set<std::string> events_;
    std::unordered_set<std::string> transformations_;  // event, x and y in one key
    std::bitset<kMapSize * kMapSize> monster_fields_;
};
// The monster the status panel shows: the one the character fought last while
// it lives and stands on the map view, else the first standing next to the
// character (north, east, south, west, then the corners); nullptr when none is
// near. A picture only: no rule asks for it.
const Monster* monster_in_front();
// The character strikes this monster: it is the one fought last.
void note_monster_fought(const Monster& monster);
// This monster strikes the character: it is the one fought last unless the
// character's own foe is still in sight.
void note_monster_striking(const Monster& monster);
// The last monster of the list standing on (x, y) (the one found where two
// share a field); nullptr when none stands there.
Monster* last_monster_at(int x, int y);
// 1 when a monster of that type cannot step onto (x, y): a solid field for a
// walker, a field that blocks flight for a flyer, or any monster standing
// there. The character is no monster: its own field does not count. Fields
// outside the grid are blocked for every monster.
int field_blocked_for_monster(const GameMap& map, int x, int y, int type);
