// The game program: start-up, the game, program end. A fatal error ends it at
// once with status 1; nothing is saved then.
#include <chrono>
#include <cstdio>
#include <exception>

#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "common/raise_error.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

int end_with_error(const char* text) {
    std::fprintf(stderr, "Error: %s\n", text);
    std::fflush(stderr);
    message_box("Error", text);  // shown wherever a display exists
    media_close();
    return 1;
}

}  // namespace

int main() {
    use_game_folders(locate_game_folders(executable_folder()));
    try {
        if (!media_init(BackendKind::desktop)) raise_error("Can't open sprite environment!");
        seed_random(static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
        startup();
        run_main_loop();
    } catch (const FatalError& error) {
        return end_with_error(error.what());
    } catch (const std::exception& error) {
        // Anything else that stops the game (no memory left, say) ends it the same way.
        return end_with_error(error.what());
    }
    media_close();
    return 0;
}
