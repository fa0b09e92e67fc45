#include "game/turn_state.h"


ShellState g_shell;

void reset_shell_state() { g_shell = ShellState{}; }
