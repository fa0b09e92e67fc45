// The repository and the build's game folder. Only build_paths.cpp is
// compiled with them, so that every other test file compiles alike in every
// clone of the repository (and ccache serves one clone's objects to another).
#pragma once

const char* umbrane_source_dir();
const char* umbrane_game_dir();
#define UMBRANE_SOURCE_DIR umbrane_source_dir()
#define UMBRANE_GAME_DIR umbrane_game_dir()
