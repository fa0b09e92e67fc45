#include "support/build_paths.h"

const char* umbrane_source_dir() { return UMBRANE_BUILD_SOURCE_DIR; }
const char* umbrane_game_dir() { return UMBRANE_BUILD_GAME_DIR; }
