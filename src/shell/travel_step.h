// Travelling and exploring as the main loop starts them: the hook that makes
// each travelled step the loop's own step, and the mapping of a click on the
// map view to a field.
#pragma once
#include "game/travel.h"

// One step as a held movement key makes it (see TravelHooks::step).
bool travel_step(int dx, int dy);
// Travels towards the goal with the main loop's step; a key that stops it
// does nothing else. Nothing happens while an overlay shows.
TravelStop travel_command(TravelGoal goal, MapPoint target = {});
// A click on the map view (the window event left_button_down): travels to
// the seen field under the pointer. False, and nothing done, when the pointer
// is not over a seen field of the view or over the character's own.
bool travel_to_pointer(TravelStop* why = nullptr);
// The field under a point of the 640 x 480 picture when it lies in the map
// view (13 x 13 fields of 32 pixels at the top left, the character's in the middle).
bool map_view_field_at(int px, int py, MapPoint& field);
