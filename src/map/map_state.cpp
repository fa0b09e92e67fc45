#include "map/map_state.h"

#include "map/map_grid.h"

MapState g_map;

void reset_map_state() {
    // reset_map empties the map record and all five lists of the current map.
    reset_map(g_map.map);
    g_map.fallen.clear();
}
