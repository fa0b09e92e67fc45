// Saves that survive a kill. A child process runs the game's own save flows
// one after the other on a large map (new game, save-and-return, portal
// journeys, program end, level changes, death) and is killed with SIGKILL at a
// random moment; then the game starts up as after the kill. The savegame must
// always load as a pair (the character with the map saved with it), from the
// last save done or the one under way (a new game keeps the old game until its
// first save replaces it), and no temporary may be left. A token item goes back and forth
// between the character and the map it stands on before every save: in the
// character file and all map files together there is always exactly one, with
// the fuel and magic bonus it started with.
// UMBRANE_KILL_RUNS and UMBRANE_KILL_SEED set the number of kills and the seed
// of their moments (scripts/kill-test.sh runs many).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <thread>

#include "character/character_state.h"
#include "items/inventory.h"
#include "items/items_state.h"
#include "map/level_creation.h"
#include "map/map_events.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

constexpr const char* CHARACTER_FILE = "savegame\\character.xml";

constexpr int TOKEN = 9;
constexpr const char* TOKEN_VALUES = "fuel=\"77\" magic_bonus=\"5\"";
// Portals: the start map's at (2, 5) leads to the second map, whose portal at
// (3, 3) leads back; the second map's field (4, 4) goes down a dungeon, whose
// level's way up at (1, 1) leads back to the second map.
constexpr int START_PORTAL_X = 2, START_PORTAL_Y = 5, TWO_PORTAL_X = 3, TWO_PORTAL_Y = 3, DOWN_X = 4, DOWN_Y = 4;

// Every field with long messages: about a megabyte of XML, so a save takes
// long enough to be hit. A portal leads to the second map; the token lies beside the start field.
void write_large_start_map(const TempGameFolder& folder) {
    std::string map = "<map name=\"Large Map\" tileset_definition_filename=\"test_tiles.xml\" "
                      "tileset_image_filename=\"test_tiles.png\" tile_outside_map=\"4\" default_tile=\"1\">\n";
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            map += "<field x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" message_line1=\"" +
                   std::string(300, 'm') + "\"";
            if (x == START_PORTAL_X && y == START_PORTAL_Y)
                map += " portal_mapfile=\"map_two.xml\" portal_x=\"5\" portal_y=\"5\"";
            map += std::string(">") + (x == 2 && y == 3 ? "4" : "1") + "</field>\n";
        }
    map += "<item xpos=\"2\" ypos=\"4\" type=\"" + std::to_string(TOKEN) + "\" " + TOKEN_VALUES + "/>\n";
    folder.write("maps\\map_start.xml", map + "</map>\n");
}

// The second map, with the way back and the way down a dungeon, whose levels use the standard tileset.
void write_second_map(const TempGameFolder& folder) {
    folder.write("maps\\map_two.xml",
                 R"(<map name="Second Map" tileset_definition_filename="test_tiles.xml" tileset_image_filename="test_tiles.png"
     tile_outside_map="4" default_tile="1">
  <field x="3" y="3" portal_mapfile="map_start.xml" portal_x="2" portal_y="6">1</field>
  <dungeon xpos="4" ypos="4" name="Pit" map_filename="pit" number_of_levels="1" dimension_x="9" dimension_y="9"
    lighting="8" default_tile="4" background_tile="1" tile_outside_map="4" main_treasure="8"/>
</map>
)");
    folder.write("tilesets\\tiles_standard.xml", "<tileset><tile_type id=\"1\" name=\"floor\"/><tile_type id=\"4\" "
                                                 "name=\"rock\" solid=\"yes\"/></tileset>");
    folder.write_png("tilesets\\tiles_standard.png", 640, 256, [](int x, int y) { return fixture_tile_colour(x / 32 + y / 32); });
}

// What a save step does (by the step's number; without a game only a new game
// is possible) and the state it leaves: "none", "new <step>", "gen <step>", or
// "jrn <step>" for a journey to another map.
// After a journey the game plays on for a while without a save, as a player
// would: a kill then must find the journey saved with its character.
enum Kind { NEW_GAME, SAVE_AND_RETURN, PORTAL, LEVEL_CHANGE, PLAY, PROGRAM_END, DEATH };
constexpr Kind kCycle[] = {NEW_GAME, SAVE_AND_RETURN, PORTAL, PLAY, LEVEL_CHANGE, PLAY, PORTAL,
                           PLAY,     PORTAL,          PLAY,   PROGRAM_END,  DEATH};
Kind kind_of(int step) { return file_size(CHARACTER_FILE) > 0 ? kCycle[step % std::size(kCycle)] : NEW_GAME; }
std::string state_after(int step) {
    const Kind kind = kind_of(step);
    if (kind == PLAY) return g_character_model.character.name;  // saves nothing: the game stays as it is
    if (kind == DEATH) return "none";
    const char* tag = kind == NEW_GAME ? "new " : (kind == PORTAL || kind == LEVEL_CHANGE) ? "jrn " : "gen ";
    return tag + std::to_string(step);
}
// How long a step of play lasts (set from the time a save takes).
std::chrono::microseconds g_play_time{0};

// The token moves between the character and the field it stands on.
void move_token() {
    g_items.inventory.reset();
    while (g_items.inventory.next()) {
        const InventoryEntry entry = g_items.inventory.current();
        if (entry.type != TOKEN) continue;
        g_items.inventory.remove_current();
        g_map.items.append() = {.x = g_character_model.character.x, .y = g_character_model.character.y,
                                .type = TOKEN, .amount = 1, .fuel = entry.fuel, .magic_bonus = entry.magic_bonus};
        return;
    }
    g_map.items.reset();
    while (g_map.items.next()) {
        const MapItem item = g_map.items.current();
        if (item.type != TOKEN) continue;
        g_map.items.remove_current();
        add_item_to_inventory(TOKEN, 1, item.fuel, item.magic_bonus);
        return;
    }
}

// A journey from the map the character is on: down the dungeon from the second
// map when asked for, else through the map's portal.
void journey(bool down) {
    CharacterRecord& hero = g_character_model.character;
    const std::string& map = g_map.map.filename;
    if (map == "map_start.xml") hero.x = START_PORTAL_X, hero.y = START_PORTAL_Y;
    else if (map == "map_two.xml" && down) hero.x = DOWN_X, hero.y = DOWN_Y;
    else if (map == "map_two.xml") hero.x = TWO_PORTAL_X, hero.y = TWO_PORTAL_Y;
    else hero.x = 1, hero.y = 1;  // the way up of the level
    save_journey(map == "map_two.xml" && down ? change_level : portal_journey);
}

// One save flow. The character carries the state as its name, and so does the
// map it is saved with, except after a new game (which loads the map afresh)
// and a journey (which saves the map it arrives on as it finds it).
void save_step(int step) {
    const Kind kind = kind_of(step);
    if (kind == PLAY) {
        std::this_thread::sleep_for(g_play_time);
        return;
    }
    if (kind != NEW_GAME && kind != DEATH) move_token();
    g_character_model.character.name = state_after(step);
    if (kind == NEW_GAME) new_game_flow();
    else if (kind == DEATH) death_flow();
    g_map.map.name = g_character_model.character.name;
    if (kind == PROGRAM_END) save_at_program_end();
    else if (kind == SAVE_AND_RETURN) save_and_return_flow();
    else if (kind == PORTAL || kind == LEVEL_CHANGE) journey(kind == LEVEL_CHANGE);
}

// Tokens in the character file and every map file of the savegame; each must keep its values.
int tokens_saved() {
    int tokens = 0;
    const std::string element = "type=\"" + std::to_string(TOKEN) + "\"";
    for (const FolderEntry& entry : list_folder("savegame", "*.xml")) {
        std::string text;
        read_whole_file("savegame\\" + entry.name, text);
        for (size_t at = text.find("<item "); at != std::string::npos; at = text.find("<item ", at + 1)) {
            const std::string item = text.substr(at, text.find('>', at) - at);
            if (item.find(element) == std::string::npos) continue;
            ++tokens;
            EXPECT_NE(item.find(TOKEN_VALUES), std::string::npos) << entry.name << ": " << item;
        }
    }
    return tokens;
}

// Saves until killed, telling the parent "B <step> <state>" before a save and "C" after it.
[[noreturn]] void save_until_killed(int pipe, int step) {
    auto tell = [pipe](const std::string& line) {
        if (write(pipe, line.data(), line.size()) < 0) _exit(3);
    };
    try {
        for (;; ++step) {
            tell("B " + std::to_string(step) + " " + state_after(step) + "\n");
            save_step(step);
            tell("C\n");
        }
    } catch (const std::exception& error) {
        tell(std::string("E ") + error.what() + "\n");
        _exit(2);
    }
}

// The savegame as start-up finds it: "none", or the character's tag.
std::string start_up_after_kill() {
    try {
        startup();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "start-up after the kill: " << error.what();
        return "unusable";
    }
    for (const FolderEntry& entry : list_folder("savegame", "*"))
        EXPECT_TRUE(wildcard_match("*.xml", entry.name) || entry.name == "screenshot.jpg" ||
                    entry.name == "saved_files.list" || entry.name == "hall_of_fame")
            << "left: " << entry.name;
    if (file_size(CHARACTER_FILE) <= 0) return "none";
    const std::string tag = g_character_model.character.name;
    const std::string map = tag.rfind("new ", 0) == 0 ? "Large Map" : tag;
    if (tag.rfind("jrn ", 0) != 0) {
        EXPECT_EQ(g_map.map.name, map) << "the character " << tag << " with another save's map";
    }
    EXPECT_EQ(tokens_saved(), 1) << "the character " << tag << " with maps of another save";
    return tag;
}

}  // namespace

TEST(SaveKill, TheSavegameAlwaysLoadsAsAPair) {
    const char* runs_setting = std::getenv("UMBRANE_KILL_RUNS");
    const char* seed_setting = std::getenv("UMBRANE_KILL_SEED");
    const int runs = runs_setting ? std::atoi(runs_setting) : 150;
    std::mt19937 random(seed_setting ? static_cast<unsigned>(std::strtoul(seed_setting, nullptr, 10)) : 20261207u);
    TempGameFolder folder;
    FixtureOptions options;
    // The token is too dear for a level to make one; the pebble lies at the bottom of the dungeon.
    options.items = "<item id=\"8\" name=\"Pebble\"/><item id=\"" + std::to_string(TOKEN) +
                    "\" name=\"Token\" price=\"30000\" fuel=\"100\" artefact=\"yes\"/>";
    write_fixture_game(folder, options);
    write_large_start_map(folder);
    write_second_map(folder);
    headless::set_deadline(0);  // Escape at once to every screen that waits for keys (a new character's picks)
    startup();
    const auto before = std::chrono::steady_clock::now();
    save_step(0);
    save_step(1);
    const auto save_us = (std::chrono::steady_clock::now() - before) / std::chrono::microseconds(1) / 2;
    g_play_time = std::chrono::microseconds(save_us);
    save_step(2);
    std::string state = start_up_after_kill();

    std::uniform_int_distribution<long long> delay(0, 4 * save_us);  // over a few saves
    std::map<std::string, int> outcomes;
    for (int run = 0, step = 3; run < runs && !HasFailure(); ++run) {
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) save_until_killed(channel[1], step);
        close(channel[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string said, done = state, under_way;
        char buffer[4096];
        for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<size_t>(n));
        close(channel[0]);
        for (size_t start = 0, end; (end = said.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string line = said.substr(start, end - start);
            ASSERT_NE(line[0], 'E') << "a save failed: " << line;
            if (line[0] == 'B') {
                step = std::stoi(line.substr(2)) + 1;
                under_way = line.substr(line.find(' ', 2) + 1);
            } else {
                done = under_way;
                under_way.clear();
            }
        }
        if (file_size("savegame\\renames.pending") >= 0) ++outcomes["renames finished by start-up"];
        if (!list_folder("savegame", "*.tmp-*").empty()) ++outcomes["temporaries removed by start-up"];
        state = start_up_after_kill();
        if (state == done) ++outcomes[under_way.empty() ? "between saves" : "the last save kept"];
        else if (state == under_way) ++outcomes["the save under way complete"];
        else ADD_FAILURE() << "run " << run << ": found " << state << ", expected " << done << " or " << under_way;
    }
    std::printf("%d kills, a save takes about %lld us:", runs, static_cast<long long>(save_us));
    for (const auto& [outcome, count] : outcomes) std::printf(" %s %d;", outcome.c_str(), count);
    std::printf("\n");
}
