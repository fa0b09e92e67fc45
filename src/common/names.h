// What a value in a data file names elsewhere: an entry of another table, a
// file, a cell of a picture sheet. The attribute tables mark such values
// (XmlField::names); the content check looks every one up and the format
// reference shows what each names. The texts are those of the reference.
#pragma once
#include <string_view>

namespace names {
inline constexpr const char* ability = "an ability id (0: none)";
inline constexpr const char* ability_name = "an ability's name";
inline constexpr const char* item_type = "an item type id";
inline constexpr const char* monster_type = "a monster type id";
inline constexpr const char* power = "a power id";
inline constexpr const char* tile_type = "a tile type of the map's tileset";
inline constexpr const char* level_tile_type = "a tile type of the standard tileset";
inline constexpr const char* sound = "a sound (a file of sound\\)";
inline constexpr const char* animation = "an animation";
inline constexpr const char* map_file = "a map file";
inline constexpr const char* tileset_file = "a file of tilesets\\";
inline constexpr const char* ability_icon = "a cell of graphics\\abilities.png";
inline constexpr const char* item_icon = "a cell of graphics\\items.png";
inline constexpr const char* monster_icon = "a cell of graphics\\monster.png";
inline constexpr const char* power_icon = "a cell of graphics\\powers.png";
inline constexpr const char* event = "an event of the map";
}  // namespace names

// Whether a field's mark is that kind.
inline bool names_kind(const char* mark, const char* kind) { return mark && std::string_view(mark) == kind; }
