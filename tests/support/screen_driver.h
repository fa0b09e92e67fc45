// Runs the screens a test pushed as the main loop does: a poll, the top
// screen's pass, until none is left.
#pragma once

void run_screens();
