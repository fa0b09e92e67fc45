// The command-line tools for the people who make games with the engine; each
// runs instead of the game and writes only what it is asked to:
//   umbrane --check [GAME_FOLDER]
//   umbrane --render-map MAP_FILE OUT.png
//   umbrane --render-level DUNGEON_MAP_FILE X Y LEVEL SEED OUT.png
//   umbrane --formats
//   umbrane --schema NAME
#pragma once

// True when the arguments ask for one of the tools, which has then run;
// status is its exit status (0 done / no fault, 1 faults found or an error,
// 2 it could not run: wrong arguments, no such folder).
bool run_author_tool(int argc, char** argv, int& status);
// The lines of the usage text that name the tools.
const char* author_tools_usage();
