// A checksum of the game's state after a turn, one for each part, so that a
// replay that departs from its recording can name the turn and what differs:
// the character, the map (its fields, events and transformations), the
// monsters and the items (lying on the map and carried). It reads what
// decides the game, never a picture; pictures' own state (cursors, the
// walking frame, the inventory's selection) is left out.
#pragma once
#include <array>
#include <cstdint>

enum class StatePart : uint8_t { character, map, monsters, items, count };
constexpr int kStatePartCount = static_cast<int>(StatePart::count);

using StateChecksum = std::array<uint32_t, kStatePartCount>;

StateChecksum state_checksum();
// The part's name as a replay names it ("the monsters").
const char* state_part_name(int part);
