#include "authoring/author_tools.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "character/abilities_db.h"
#include "common/common_state.h"
#include "common/raise_error.h"
#include "presentation/view.h"
#include "items/item_db.h"
#include "map/map_file.h"
#include "map/map_state.h"
#include "monsters/monster_db.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/power_db.h"
#include "authoring/content_check.h"
#include "presentation/display.h"
#include "authoring/format_reference.h"
#include "screens/game_state.h"
#include "authoring/level_trials.h"
#include "common/message_list.h"
#include "common/preferences.h"

namespace fs = std::filesystem;

namespace {

// A sprite number of its own for the picture (the game's are 0..22, loaded tilesets 100 and up).
constexpr int kPictureSprite = 90;

const char* const kUsage =
    "       umbrane --check [GAME_FOLDER]\n"
    "       umbrane --render-map MAP_FILE OUT.png\n"
    "       umbrane --render-level DUNGEON_MAP_FILE X Y LEVEL SEED OUT.png\n"
    "       umbrane --formats\n"
    "       umbrane --schema NAME\n";

int usage() {
    std::fprintf(stderr, "usage:%s", kUsage + 6);
    return 2;
}

int check(const std::vector<std::string>& args) {
    if (args.size() > 1) return usage();
    // Without a folder: the game this executable plays, with its savegame wherever the game keeps it.
    const GameFolders folders = locate_game_folders(executable_folder());
    const std::string folder = args.empty() ? folders.game : args[0];
    CheckOptions options;
    if (args.empty() && folders.save != folders.game) options.save_folder = folders.save;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        std::fprintf(stderr, "umbrane --check: there is no game folder %s\n", folder.c_str());
        return 2;
    }
    media_init(BackendKind::headless);
    const CheckResult result = check_game(folder, options);
    for (const CheckFinding& finding : result.findings) std::printf("%s\n", finding_text(finding).c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "umbrane --check %s: %d fault%s, %d warning%s\n", folder.c_str(), result.faults,
                 result.faults == 1 ? "" : "s", result.warnings, result.warnings == 1 ? "" : "s");
    media_close();
    return result.faults > 0 ? 1 : 0;
}

// The game folder of a map file: the folder above its own ("maps", "savegame")
// when that holds the game's data, else the game this executable plays.
std::string game_folder_of(const fs::path& map_file) {
    const fs::path above = map_file.parent_path().parent_path();
    std::error_code error;
    if (fs::is_directory(above / "data", error) && fs::is_directory(above / "tilesets", error)) return above.string();
    return locate_game_folders(executable_folder()).game;
}

// The game's tables as start-up fills them (no screen, fonts or sounds).
void load_game_tables(const std::string& folder) {
    set_game_folder(folder);
    reset_game_state();
    load_preferences(g_common.preferences, "config\\preferences.xml");
    load_message_list("data\\messages.xml");
    for (const SpriteFile& file : sprite_files()) load_sprite_file(file);
    measure_sheets();
    load_abilities_db();
    load_monster_db("data\\monster.xml");
    load_power_db();
    load_item_db();
}

void save_picture(const std::string& out) {
    draw_map_picture(g_map.map, kPictureSprite);
    if (!sprite_save_png(kPictureSprite, out)) raise_error("could not write the picture " + quoted(out));
}

int render(const std::vector<std::string>& args, bool level) {
    if (args.size() != (level ? 6u : 2u)) return usage();
    const fs::path map_file = fs::absolute(args[0]);
    const std::string out = fs::absolute(args.back()).string();
    media_init(BackendKind::headless);
    int status = 0;
    try {
        load_game_tables(game_folder_of(map_file));
        load_map(g_map.map, map_file.string(), 1);
        if (level) {
            long long x = 0, y = 0, depth = 0, seed = 0;
            for (size_t i = 1; i <= 4; ++i)
                if (!whole_number(args[i], i == 1 ? x : i == 2 ? y : i == 3 ? depth : seed))
                    raise_error(std::string(i == 1 ? "X" : i == 2 ? "Y" : i == 3 ? "LEVEL" : "SEED") + " " +
                                ::quoted(args[i]) + " is no number");
            const DungeonRecord* found = nullptr;
            for (const DungeonRecord& exit : g_map.level_exits)
                if (exit.xpos == x && exit.ypos == y) found = &exit;
            if (!found)
                raise_error("no dungeon at " + args[1] + ", " + args[2] + " of " + quoted(map_file.string()));
            DungeonRecord record = *found;
            const int deepest = std::max<int>(record.entrance_to_level, record.number_of_levels);
            if (depth < record.entrance_to_level || depth > deepest)
                raise_error("dungeon " + ::quoted(record.name) + " has the levels " +
                            int_to_text(record.entrance_to_level) + ".." + int_to_text(deepest) + ", no level " +
                            args[3]);
            record.entrance_to_level = static_cast<int16_t>(depth);
            seed_random(static_cast<uint32_t>(seed));
            // Made in a scratch folder of its own, with the game's standard tileset.
            const LevelScratch scratch;
            if (!scratch.made()) raise_error("could not make a scratch folder for the level");
            make_level_from(file_part(map_file.string()), record);
        }
        save_picture(out);
    } catch (const FatalError& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        status = 1;
    }
    media_close();
    return status;
}

int schema(const std::vector<std::string>& args) {
    const XmlFileFormat* format = args.size() == 1 ? find_file_format(args[0]) : nullptr;
    if (!format) {
        std::fputs("usage: umbrane --schema NAME, NAME one of:", stderr);
        for (const XmlFileFormat* f : file_formats()) std::fprintf(stderr, " %s", f->name.c_str());
        std::fputs("\n", stderr);
        return 2;
    }
    std::fputs(format_schema(*format).c_str(), stdout);
    return 0;
}

}  // namespace

const char* author_tools_usage() { return kUsage; }

bool run_author_tool(int argc, char** argv, int& status) {
    if (argc < 2) return false;
    const std::string tool = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (tool == "--check") status = check(args);
    else if (tool == "--render-map") status = render(args, false);
    else if (tool == "--render-level") status = render(args, true);
    else if (tool == "--formats") status = args.empty() ? (std::fputs(formats_reference().c_str(), stdout), 0) : usage();
    else if (tool == "--schema") status = schema(args);
    else return false;
    return true;
}
