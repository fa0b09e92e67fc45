// The way still ahead of a travelling character, marked on the map view.
#pragma once

// A small mark in the middle of every field of the walk under way that lies
// in the view (shifted with the view while it scrolls); nothing while no walk is under way.
void draw_travel_path(int offset_x, int offset_y);
