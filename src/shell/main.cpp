// The game program: start-up, the game, program end. A fatal error ends it at
// once with status 1; nothing is saved then.
//   umbrane [--seed N]                        a game, Random seeded by N (else by the clock)
//   umbrane --replay FILE [--verify]          a recorded session shown in the window, or checked
//   umbrane --replay FILE --rerecord NEWFILE  its input given to this game, recorded anew
//   umbrane --check [GAME_FOLDER], --render-map, --render-level, --formats, --schema: the tools for
//   the people who make games (shell/author_tools.h), instead of the game
//   umbrane --help | --version                 to standard output, status 0; a wrong command line
//                                              prints the usage forms to standard error, status 2
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/media.h"
#include "platform/recording.h"
#include "common/raise_error.h"
#include "authoring/author_tools.h"
#include "shell/main_loop.h"
#include "presentation/display.h"
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

const char* const kGameUsage =
    "usage: umbrane [--seed N]\n"
    "       umbrane --replay FILE [--verify | --rerecord NEWFILE]\n";

// A wrong command line: the usage forms on standard error, status 2.
int usage() {
    std::fprintf(stderr, "%s%s       umbrane --help | --version\n", kGameUsage, author_tools_usage());
    return 2;
}

int help() {
    std::printf("%s%s       umbrane --help | --version\n\n", kGameUsage, author_tools_usage());
    std::fputs("Umbrane, a turn-based dungeon role-playing game.\n"
               "\n"
               "  (no option)        the game in a window: continue the saved game, a new one, or quit\n"
               "  --seed N           the same, the random generator seeded by N (0 to 4294967295)\n"
               "  --replay FILE      a recorded session (savegame/recordings/*.umbrec) shown in the window;\n"
               "                     Space pauses, + and - change the speed, Escape ends the replay\n"
               "  --verify           with --replay: replayed without a window, every save checked byte for\n"
               "                     byte; prints \"replay matches\" (status 0) or the first difference (1)\n"
               "  --rerecord NEWFILE with --replay: the recorded input given to this game, recorded anew\n"
               "  --check [GAME_FOLDER]\n"
               "                     checks every data file of the game folder and what they name in each\n"
               "                     other; prints FILE:LINE: TEXT for each fault (status 1 with a fault)\n"
               "  --render-map MAP_FILE OUT.png\n"
               "                     the whole map as one PNG, 32 pixels a field\n"
               "  --render-level DUNGEON_MAP_FILE X Y LEVEL SEED OUT.png\n"
               "                     that level of the dungeon entered at X, Y, made with SEED, as a PNG\n"
               "  --formats          the reference of every file the game reads and writes (Markdown)\n"
               "  --schema NAME      the XML Schema of one kind of file\n"
               "  --help             this text\n"
               "  --version          the version and the licence\n"
               "\n"
               "Keys in the game: the arrows walk, E waits, R rests, C the character, I the inventory,\n"
               "P picks up, U uses a power, M the map, L the message history, F1 or ? the help,\n"
               "Escape saves and returns to the menu, Alt+Return window or full screen, Alt+X quits.\n"
               "See umbrane(6).\n",
               stdout);
    return 0;
}

int version() {
    std::printf("umbrane %s\n"
                "Copyright (C) 2025-2026 The Umbrane developers\n"
                "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                "This is free software: you are free to change and redistribute it.\n"
                "There is NO WARRANTY, to the extent permitted by law.\n",
                UMBRANE_VERSION);
    return 0;
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
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) return help();
    if (argc == 2 && std::string(argv[1]) == "--version") return version();
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
        // The fixed pictures and the fonts decode while the display opens.
        prefetch_sprites();
        const uint32_t seed = line.seeded ? line.seed
                                          : static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
        start_session(BackendKind::desktop, seed, [seed] { start_session_recording(seed); });
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
