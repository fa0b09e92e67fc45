// Until the main loop is part of the game: the title picture on black until
// Escape is released or the window is closed.
#pragma once

void run_splash_until_escape();
