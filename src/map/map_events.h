// How the fields of a map react to the character: named events that fire
// once and rewrite other fields, messages shown on stepping onto or against a
// field, and portals that carry the character to another map.
#pragma once
#include <string>

#include "map/map_state.h"

// Fires the event of field (x, y) when it has not fired yet: its advancement
// points open the advancement screen, then its transformations apply.
// Returns 1 when the event fired now. A position off the grid is fatal.
int trigger_map_event(GameMap& map, int x, int y);
// Applies, in list order, every transformation waiting for the event.
void apply_transformations(GameMap& map, const std::string& event);
// Shows the field's message lines (either may be empty) with its icon; 1 when shown.
int show_field_message(GameMap& map, int x, int y);
// The character stands on a portal: the current map is saved, the target map
// is loaded (its saved copy when there is one), the character placed on the
// arrival field. Only the file part of the portal's target is used.
void portal_journey();
