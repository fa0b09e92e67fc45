#include "fuzz/reader_harness.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "character/abilities_db.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/raise_error.h"
#include "items/item_db.h"
#include "items/items_state.h"
#include "map/map_file.h"
#include "map/map_state.h"
#include "map/tileset.h"
#include "monsters/monster_db.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "powers/power_db.h"
#include "game/character_savegame.h"
#include "authoring/content_check.h"
#include "screens/game_state.h"
#include "common/message_list.h"
#include "common/preferences.h"
#include "shell/recorded_session.h"

namespace fs = std::filesystem;

namespace {

// The name under which a fuzzed map and tile type definition are stored.
constexpr const char* kFuzzMap = "fuzz.xml";

const std::vector<FuzzReader> kReaders = {
    {"preferences", "config\\preferences.xml"},
    {"messages", "data\\messages.xml"},
    {"abilities", "data\\abilities.xml"},
    {"monsters", "data\\monster.xml"},
    {"powers", "data\\powers.xml"},
    {"items", "data\\items.xml"},
    {"tile_types", "tilesets\\fuzz.xml"},
    {"map", "maps\\fuzz.xml"},
    {"character", "savegame\\character.xml"},
    {"recording", "savegame\\recordings\\fuzz.umbrec"},
    // The content check of a game whose map is the input: every name it gives
    // looked up, its portals followed, its dungeons made (with one seed).
    {"check", "maps\\fuzz.xml"},
};

// The scratch game folder, removed when the program ends normally.
struct ScratchFolder {
    std::string path;
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};
ScratchFolder g_scratch;

// The shipped state every run starts from.
struct ShippedState {
    std::unique_ptr<Database> database;
    Preferences preferences;
};
ShippedState g_shipped;

// Every reader starts by emptying what it fills, so runs of one reader need
// only the preferences put back (the language decides which texts are kept).
// The tables are all put back when another reader ran last.
void restore_shipped_state(const FuzzReader& reader) {
    static const FuzzReader* last = nullptr;
    if (last != &reader) {
        reset_tileset(g_map.map.tileset);  // gives back the sheet of the last map read
        reset_game_state();
        g_db = *g_shipped.database;
        last = &reader;
    }
    g_common.preferences = g_shipped.preferences;
}

std::string file_text(const std::string& logical_path) {
    std::string text;
    read_whole_file(logical_path, text);
    return text;
}

// Written, read back and written again: the two writes must agree, and the
// reader must take what the writer wrote.
template <typename Write, typename Read>
FuzzResult write_back(const std::string& first_path, const std::string& second_path, Write write, Read read) {
    write(first_path);
    const std::string first = file_text(first_path);
    try {
        read(first_path);
    } catch (const FatalError& error) {
        return {FuzzOutcome::unstable, std::string("the written file is refused: ") + error.what()};
    }
    write(second_path);
    const std::string second = file_text(second_path);
    if (first != second) return {FuzzOutcome::unstable, "written again it differs:\n" + first + "----\n" + second};
    return {FuzzOutcome::accepted, ""};
}

FuzzResult read_and_check(const std::string& name, const std::string& path) {
    if (name == "preferences") {
        load_preferences(g_common.preferences, path);
        return write_back(
            "check\\preferences.xml", "check\\preferences_again.xml",
            [](const std::string& to) { save_preferences(g_common.preferences, to); },
            [](const std::string& from) { load_preferences(g_common.preferences, from); });
    }
    if (name == "messages") load_message_list(path);
    else if (name == "abilities") load_abilities_db();
    else if (name == "monsters") load_monster_db(path);
    else if (name == "powers") load_power_db();
    else if (name == "items") load_item_db();
    else if (name == "tile_types") {
        g_map.map.tileset.definition_filename = kFuzzMap;
        load_tile_type_definition(g_map.map.tileset);
    } else if (name == "map") {
        load_map(g_map.map, path, 1);
        // A map names itself by the file it is written to: both writes use the same file name.
        return write_back(
            std::string("savegame\\") + kFuzzMap, std::string("check\\") + kFuzzMap,
            [](const std::string& to) { save_map(g_map.map, to); },
            [](const std::string& from) { load_map(g_map.map, from, 0); });
    } else if (name == "recording") {
        // Read as a replay reads it; written again from what was read, it reads the same.
        const recording::Recording first = read_recording(path);
        std::string again = recording::encode_header(first.header);
        if (!first.items.empty()) again += recording::encode_items(first.items);
        recording::Recording second;
        std::string error;
        if (!recording::decode(again, second, error)) return {FuzzOutcome::unstable, "written again it is refused: " + error};
        const bool same = second.items == first.items && second.whole == first.whole &&
                          second.header.seed == first.header.seed && second.header.files.size() == first.header.files.size();
        if (!same) return {FuzzOutcome::unstable, "written again it reads otherwise"};
    } else if (name == "check") {
        const CheckResult result = check_game(g_scratch.path, {.trial_seeds = 1});
        set_game_folder(g_scratch.path);
        // Whatever it finds is the check's answer, not a fault of the check.
        return {FuzzOutcome::accepted, int_to_text(result.faults) + " faults, " + int_to_text(result.warnings) +
                                           " warnings"};
    } else if (name == "character") {
        CharacterRecord& character = g_character_model.character;
        load_character(character, path);
        return write_back(
            "check\\character.xml", "check\\character_again.xml",
            [&](const std::string& to) { save_character(character, to); },
            [&](const std::string& from) { load_character(character, from); });
    }
    return {FuzzOutcome::accepted, ""};
}

}  // namespace

const std::vector<FuzzReader>& fuzz_readers() { return kReaders; }

const FuzzReader* find_fuzz_reader(const std::string& name) {
    for (const FuzzReader& reader : kReaders)
        if (name == reader.name) return &reader;
    return nullptr;
}

const std::string& fuzz_scratch_folder() { return g_scratch.path; }

void prepare_fuzz_readers(const std::string& shipped_game_folder) {
    if (g_scratch.path.empty()) {
        // In memory where the machine offers it: every run writes files, and on a disk that costs most of the time.
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "umbrane-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch game folder");
        g_scratch.path = pattern;
    }
    set_game_folder(g_scratch.path);
    const fs::path shipped(shipped_game_folder), scratch(g_scratch.path);
    for (const char* folder : {"config", "data", "tilesets"})
        fs::copy(shipped / folder, scratch / folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // A fuzzed map names the standard tileset: here a small picture and a short
    // definition stand in for it, as the map reader does not look into them and
    // the big ones would only slow every run (the definition has a target of its own).
    fs::copy_file(shipped / "graphics" / "cursor.png", scratch / "tilesets" / "tiles_standard.png",
                  fs::copy_options::overwrite_existing);
    write_file_atomically("tilesets\\tiles_standard.xml",
                          "<tileset><tile_type id=\"1\" name=\"floor\"/><tile_type id=\"2\" solid=\"yes\"/></tileset>\n");
    for (const char* folder : {"maps", "savegame", "check"}) make_folder(folder);

    reset_game_state();
    load_preferences(g_common.preferences, "config\\preferences.xml");
    load_abilities_db();
    load_monster_db("data\\monster.xml");
    load_power_db();
    load_item_db();
    g_shipped.database = std::make_unique<Database>(g_db);
    g_shipped.preferences = g_common.preferences;
}

FuzzResult run_fuzz_reader(const FuzzReader& reader, const std::string& content) {
    if (!g_shipped.database) throw std::logic_error("prepare_fuzz_readers() was not called");
    set_game_folder(g_scratch.path);
    restore_shipped_state(reader);
    if (!write_file_atomically(reader.logical_path, content)) throw std::runtime_error("cannot write the input");
    try {
        return read_and_check(reader.name, reader.logical_path);
    } catch (const FatalError& error) {
        return {FuzzOutcome::refused, error.what()};
    }
}
