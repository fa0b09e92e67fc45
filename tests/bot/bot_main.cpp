// Runs the player program over seeds, one fresh copy of the shipped game for
// each, and reports per seed whether it reached the end of the game.
//   umbrane_bot [--turns N] [--need K] [--careless] [--explore] [--trace] [--game DIR] [--record DIR] SEED|FIRST-LAST ...
// --explore walks only by the game's travelling (X, ">", a click on a find in view) and by fighting.
// A game reaches the end when the last foe falls (the exploring one: when it enters the
// first dungeon's last level); every game tells how many dungeons' last levels it entered
// ("bottoms"), and one that entered the first one's without reaching the end says so ("the bottom").
// Levels are counted down through the dungeons in their order. The exit status is 1 when
// fewer than K seeds (default 1) reached the end.
// The game's data comes from DIR (default: the shipped game of the source tree).
// --record DIR records each seed's session as the game does, into DIR/seed-N.umbrec.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bot/bot.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/recording.h"
#include "screens/game_state.h"
#include "shell/recorded_session.h"

namespace fs = std::filesystem;

namespace {

BotResult play_seed(uint32_t seed, const std::string& game, const BotOptions& options, const std::string& record) {
    std::string folder = (fs::temp_directory_path() / "umbrane-bot-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("umbrane_bot: temporary folder");
        std::exit(2);
    }
    for (const char* part : {"config", "data", "graphics", "maps", "sound", "tilesets"})
        fs::copy(fs::path(game) / part, fs::path(folder) / part, fs::copy_options::recursive);
    set_game_folder(folder);
    headless::reset();
    reset_game_state();
    seed_random(seed);
    if (!record.empty()) start_session_recording(seed, record + "/seed-" + std::to_string(seed) + ".umbrec");
    BotResult result = play_bot_game(options);
    recording::finish_recording();
    fs::remove_all(folder);
    return result;
}

std::string arrows(const BotResult& r) {
    return r.arrow_walks ? " (" + std::to_string(r.arrow_walks) + " steps by arrow)" : "";
}

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: umbrane_bot [--turns N] [--need K] [--careless] [--explore] [--trace] [--game DIR] [--record DIR] SEED|FIRST-LAST ...\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    BotOptions options;
    int need = 1;
    std::string game = std::string(UMBRANE_SOURCE_DIR) + "/game";
    std::string record;
    std::vector<uint32_t> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--careless") {
            options.careless = true;
        } else if (arg == "--explore") {
            options.explore = true;
        } else if (arg == "--game" && i + 1 < argc) {
            game = argv[++i];
        } else if (arg == "--record" && i + 1 < argc) {
            record = fs::absolute(argv[++i]).string();
            fs::create_directories(record);
        } else if ((arg == "--turns" || arg == "--need") && i + 1 < argc) {
            (arg == "--turns" ? options.turn_limit : need) = std::atoi(argv[++i]);
        } else if (!arg.empty() && std::isdigit(static_cast<unsigned char>(arg[0]))) {
            const size_t dash = arg.find('-');
            const uint32_t first = static_cast<uint32_t>(std::stoul(arg));
            const uint32_t last = dash == std::string::npos ? first : static_cast<uint32_t>(std::stoul(arg.substr(dash + 1)));
            for (uint32_t s = first; s <= last; ++s) seeds.push_back(s);
        } else {
            usage();
        }
    }
    if (seeds.empty()) usage();

    media_init(BackendKind::headless);
    int wins = 0, bottoms = 0;
    long arrow_walks = 0;
    long won_turns = 0;
    for (uint32_t seed : seeds) {
        const BotResult r = play_seed(seed, game, options, record);
        if (r.won || r.bottom) ++bottoms;
        arrow_walks += r.arrow_walks;
        // The exploring player's game is the first dungeon, down to its last level.
        const bool success = options.explore ? r.bottom : r.won;
        if (success) {
            ++wins;
            won_turns += r.turns;
            std::printf("seed %u: reached the %s in %d turns, bottoms %d%s\n", seed, options.explore ? "bottom" : "end",
                        r.turns, r.bottoms, arrows(r).c_str());
        } else {
            std::printf("seed %u: failed after %d turns, deepest level %d, bottoms %d%s: %s\n", seed, r.turns,
                        r.deepest, r.bottoms, r.bottom ? ", the bottom" : "", r.failure.c_str());
        }
        std::fflush(stdout);
    }
    media_close();
    std::printf("%d of %zu seeds reached the %s (%.0f %%)", wins, seeds.size(), options.explore ? "first bottom" : "end",
                100.0 * wins / seeds.size());
    if (wins > 0) std::printf(", %ld turns on average", won_turns / wins);
    std::printf("; %d entered the first dungeon's bottom level", bottoms);
    if (options.explore) std::printf("; %ld steps by arrow where exploring found no way", arrow_walks);
    std::printf("\n");
    return wins >= need ? 0 : 1;
}
