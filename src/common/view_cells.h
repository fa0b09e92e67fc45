// The map view the rules speak of: 13 x 13 fields around the character, which
// stands in view cell (6, 6). Targets, animations and what is in sight are
// given in these cells.
#pragma once

constexpr int VIEW_CELLS = 13;   // fields across and down the map view
constexpr int VIEW_CENTRE = 6;   // view cell of the character
