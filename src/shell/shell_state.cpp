#include "shell/shell_state.h"

ShellState g_shell;

void reset_shell_state() { g_shell = ShellState{}; }

const std::string& message_text(int id) {
    static const std::string none;
    if (id < 0 || id >= MESSAGE_TABLE_SIZE) return none;
    return g_shell.messages[id];
}
