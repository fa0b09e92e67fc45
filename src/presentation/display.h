// Display set-up and assets: the window or full screen, the fixed sprite
// sheets and fonts, the sounds of the sound folder, the screen-mode switch and
// the screenshot that the main menu shows as its background.
#pragma once
#include <string>
#include <vector>

#include "map/map_state.h"

namespace shell {
// Full screen 640 x 480 with the window title; fatal on failure.
void open_full_screen();
// Window 0 with a 640 x 480 screen that stretches with it; fatal on failure.
void open_window_screen();
}  // namespace shell

// A fixed picture sheet: its sprite number, its file and the message the game
// ends with when the file does not load.
struct SpriteFile {
    int number;
    std::string file;
    const char* failure;
    bool in_game_only = false;  // not drawn before a game: start-up checks it whole and decodes it later
};
// Every fixed sheet load_sprites loads, in its order.
const std::vector<SpriteFile>& sprite_files();
// Loads one of them; fatal with its message when it does not load.
void load_sprite_file(const SpriteFile& file);
// Measures the sheets whose cells the game counts (abilities, monsters,
// powers, missiles, items, effects).
void measure_sheets();
// Loads and creates every fixed sprite but the screenshot buffer, measures the
// sheets and loads the five fonts.
void load_sprites();
// Starts decoding what load_sprites decodes (all but the in-game-only
// pictures) and finding its fonts beside the game's thread, to be taken by
// load_sprites; what fails is loaded there again.
void prefetch_sprites();

// A file of "sound\" the game loads and the name it is played by.
struct SoundFile {
    std::string file;
    std::string name;
};
// The files load_sounds loads, in its order: the first ".ogg" files, as many as the sound table holds.
std::vector<SoundFile> sound_files();
// Fills the sound table from "sound\*.ogg" (at most 29 files).
void load_sounds();
// Switches between window and full screen, reloads the sprites (and the
// tileset image when asked) and writes the preferences.
void toggle_fullscreen(Tileset& tileset, int reload_tileset);
// Grabs the whole screen into the screenshot buffer and saves it as JPEG.
void screenshot(const std::string& file_name);
