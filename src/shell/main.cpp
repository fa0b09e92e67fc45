// The game program: start-up, the game, program end. A fatal error ends it at
// once with status 1; nothing is saved then.
//   umbrane [--seed N]                        a game, Random seeded by N (else by the clock)
//   umbrane --replay FILE [--verify]          a recorded session shown in the window, or checked
//   umbrane --replay FILE --rerecord NEWFILE  its input given to this game, recorded anew
//   umbrane --check [GAME_FOLDER], --render-map, --render-level, --formats, --schema: the tools for
//   the people who make games (shell/author_tools.h), instead of the game
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/recording.h"
#include "common/raise_error.h"
#include "authoring/author_tools.h"
#include "shell/main_loop.h"
#include "shell/recorded_session.h"
#include "shell/startup.h"

namespace {

int end_with_error(const char* text) {
    recording::finish_recording_with_error(text);
    std::fprintf(stderr, "Error: %s\n", text);
    std::fflush(stderr);
    message_box("Error", text);  // shown wherever a display exists
    media_close();
    return 1;
}

struct CommandLine {
    bool seeded = false;
    uint32_t seed = 0;
    std::string replay, rerecord;
    bool verify = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: umbrane [--seed N]\n"
                 "       umbrane --replay FILE [--verify | --rerecord NEWFILE]\n%s",
                 author_tools_usage());
    return 2;
}

// False on anything it does not know.
bool read_command_line(int argc, char** argv, CommandLine& line) {
    auto absolute = [](const char* path) { return std::filesystem::absolute(path).string(); };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool value = i + 1 < argc;
        if (arg == "--seed" && value) {
            const std::string number = argv[++i];
            if (number.empty() || number.size() > 10 || number.find_first_not_of("0123456789") != std::string::npos ||
                std::stoull(number) > UINT32_MAX)
                return false;
            line.seeded = true;
            line.seed = static_cast<uint32_t>(std::stoull(number));
        } else if (arg == "--replay" && value) {
            line.replay = absolute(argv[++i]);
        } else if (arg == "--rerecord" && value) {
            line.rerecord = absolute(argv[++i]);
        } else if (arg == "--verify") {
            line.verify = true;
        } else {
            return false;
        }
    }
    const bool replay_option = line.verify || !line.rerecord.empty();
    return (line.replay.empty() ? !replay_option : !line.seeded) && !(line.verify && !line.rerecord.empty());
}

}  // namespace

int main(int argc, char** argv) {
    // The tools for the people who make games (--check, --render-map, ...) run instead of the game.
    if (int status = 0; run_author_tool(argc, argv, status)) return status;
    CommandLine line;
    if (!read_command_line(argc, argv, line)) return usage();
    use_game_folders(locate_game_folders(executable_folder()));
    try {
        if (!line.replay.empty()) {
            const ReplayKind kind = line.verify              ? ReplayKind::verify
                                    : !line.rerecord.empty() ? ReplayKind::rerecord
                                                             : ReplayKind::window;
            return replay_session(line.replay, kind, line.rerecord);
        }
        if (!media_init(BackendKind::desktop)) raise_error("Can't open sprite environment!");
        const uint32_t seed = line.seeded ? line.seed
                                          : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
        seed_random(seed);
        start_session_recording(seed);
        startup();
        run_main_loop();
        recording::finish_recording();
    } catch (const FatalError& error) {
        return end_with_error(error.what());
    } catch (const std::exception& error) {
        // Anything else that stops the game (no memory left, say) ends it the same way.
        return end_with_error(error.what());
    }
    media_close();
    return 0;
}
