// Display set-up and assets: the window or full screen, the fixed sprite
// sheets and fonts, the sounds of the sound folder, the screen-mode switch and
// the screenshot that the main menu shows as its background.
#pragma once
#include <string>

#include "map/map_state.h"

namespace shell {
// Full screen 640 x 480 with the window title; fatal on failure.
void open_full_screen();
// Window 0 with a 640 x 480 screen that stretches with it; fatal on failure.
void open_window_screen();
}  // namespace shell

// Loads and creates every fixed sprite but the screenshot buffer, measures the
// sheets and loads the five fonts.
void load_sprites();
// Fills the sound table from "sound\*.ogg" (at most 29 files).
void load_sounds();
// Switches between window and full screen, reloads the sprites (and the
// tileset image when asked) and writes the preferences.
void toggle_fullscreen(Tileset& tileset, int reload_tileset);
// Grabs the whole screen into the screenshot buffer and saves it as JPEG.
void screenshot(const std::string& file_name);
