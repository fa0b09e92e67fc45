// The grid of the current map: field accessors with their position checks,
// and the map-wide operations (reset, fill, statistics, random search).
#pragma once
#include <cstdint>
#include <string>

#include "map/map_state.h"

// True for positions inside the 50 x 50 grid.
bool on_map(int x, int y);
// 1 when the field's tile type is solid (outside the grid: the map's outside
// tile); a tile type the tileset cannot hold is no ground to stand on either.
int field_blocked(const GameMap& map, int x, int y);

// Reads. Outside the grid the first four give tile_outside_map, 0, 0 and "";
// the others end the program.
int16_t read_map_tile_type(const GameMap& map, int x, int y);
int read_map_hidden(const GameMap& map, int x, int y);
int read_map_visited(const GameMap& map, int x, int y);
int read_map_seen(const GameMap& map, int x, int y);
std::string read_map_power_used(const GameMap& map, int x, int y);
std::string read_map_event(const GameMap& map, int x, int y);
int8_t read_map_event_xp(const GameMap& map, int x, int y);
std::string read_map_message_line1(const GameMap& map, int x, int y);
std::string read_map_message_line2(const GameMap& map, int x, int y);
int16_t read_map_message_tile(const GameMap& map, int x, int y);
std::string read_map_portal_mapfilename(const GameMap& map, int x, int y);
int8_t read_map_portal_target_x(const GameMap& map, int x, int y);
int8_t read_map_portal_target_y(const GameMap& map, int x, int y);

// Writes. The tile type and the portal are checked (fatal); the others are
// silently dropped outside the grid.
void set_map_tile_type(GameMap& map, int x, int y, int tile_type);
void set_map_portal(GameMap& map, int x, int y, const std::string& mapfile, int target_x, int target_y);
void set_map_message(GameMap& map, int x, int y, const std::string& line1, const std::string& line2,
                     int message_tile);
void set_map_event(GameMap& map, int x, int y, const std::string& event, int event_xp);
void set_map_power_used(GameMap& map, int x, int y, const std::string& list);
void set_map_hidden(GameMap& map, int x, int y, int flag);
void set_map_visited(GameMap& map, int x, int y, int flag);
void set_map_seen(GameMap& map, int x, int y, int flag);

// The "|"-separated list of powers used on a field.
void add_power_used(GameMap& map, int x, int y, const std::string& power_name);
int field_power_used(const GameMap& map, int x, int y, const std::string& power_name);

// Empties the map record, its tileset and the five lists of the current map.
void reset_map(GameMap& map);
// Every field gets the tile type, no portal and no message.
void fill_map(GameMap& map, int tile_type);
// The tile type found on most fields; the lowest id wins a tie.
int most_common_tile_type(const GameMap& map);
// Up to 100 random positions in 0..width-1 x 0..height-1 are tried for a field
// of tile type t (-1: the background tile). Returns 1 and sets x, y when found;
// otherwise returns 0 and leaves x, y unchanged.
int find_random_field(const GameMap& map, int t, int width, int height, int& x, int& y);
