// The game program: start-up, the game, program end. A fatal error ends it at
// once with status 1; nothing is saved then.
#include <chrono>
#include <cstdio>

#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "shell/raise_error.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

int main() {
    set_game_folder(executable_folder());
    try {
        if (!media_init(BackendKind::desktop)) raise_error("Can't open sprite environment!");
        seed_random(static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
        startup();
        run_main_loop();
    } catch (const FatalError& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        std::fflush(stderr);
        message_box("Error", error.what());  // shown wherever a display exists
        media_close();
        return 1;
    }
    media_close();
    return 0;
}
