// Saves that survive a kill. A child process runs the game's own save flows
// one after the other on a large map (new game, save-and-return, program end,
// death) and is killed with SIGKILL at a random moment; then the game starts
// up as after the kill. The savegame must always load as a pair (the character
// with the map saved with it), from the last save done or the one under way (a
// new game or a death may also leave no game), and no temporary may be left.
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
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

constexpr const char* CHARACTER_FILE = "savegame\\character.xml";

// Every field with long messages: about a megabyte of XML, so a save takes long enough to be hit.
void write_large_start_map(const TempGameFolder& folder) {
    std::string map = "<map name=\"Large Map\" tileset_definition_filename=\"test_tiles.xml\" "
                      "tileset_image_filename=\"test_tiles.png\" tile_outside_map=\"4\" default_tile=\"1\">\n";
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            map += "<field x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" message_line1=\"" +
                   std::string(300, 'm') + "\">" + (x == 2 && y == 3 ? "4" : "1") + "</field>\n";
    folder.write("maps\\map_start.xml", map + "</map>\n");
}

// What a save step does (by the step's number; without a game only a new game
// is possible) and the state it leaves: "none", "new <step>" or "gen <step>".
int kind_of(int step) { return file_size(CHARACTER_FILE) > 0 ? step % 5 : 0; }
std::string state_after(int step) {
    const int kind = kind_of(step);
    return kind == 4 ? "none" : (kind == 0 ? "new " : "gen ") + std::to_string(step);
}

// One save flow. The character carries the state as its name, and so does the
// map except after a new game, which loads it afresh.
void save_step(int step) {
    const int kind = kind_of(step);
    g_character_model.character.name = state_after(step);
    if (kind == 0) new_game_flow();
    else if (kind == 4) death_flow();
    g_map.map.name = g_character_model.character.name;
    if (kind == 2) save_at_program_end();
    else if (kind == 1 || kind == 3) save_and_return_flow();
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
        EXPECT_TRUE(wildcard_match("*.xml", entry.name) || entry.name == "screenshot.jpg") << "left: " << entry.name;
    if (file_size(CHARACTER_FILE) <= 0) return "none";
    const std::string tag = g_character_model.character.name;
    const std::string map = tag.rfind("new ", 0) == 0 ? "Large Map" : tag;
    EXPECT_EQ(g_map.map.name, map) << "the character " << tag << " with another save's map";
    return tag;
}

}  // namespace

TEST(SaveKill, TheSavegameAlwaysLoadsAsAPair) {
    const char* runs_setting = std::getenv("UMBRANE_KILL_RUNS");
    const char* seed_setting = std::getenv("UMBRANE_KILL_SEED");
    const int runs = runs_setting ? std::atoi(runs_setting) : 150;
    std::mt19937 random(seed_setting ? static_cast<unsigned>(std::strtoul(seed_setting, nullptr, 10)) : 20261207u);
    TempGameFolder folder;
    write_fixture_game(folder);
    write_large_start_map(folder);
    headless::set_deadline(0);  // Escape at once to every screen that waits for keys (a new character's picks)
    startup();
    const auto before = std::chrono::steady_clock::now();
    save_step(0);
    save_step(1);
    const auto save_us = (std::chrono::steady_clock::now() - before) / std::chrono::microseconds(1) / 2;
    std::string state = start_up_after_kill();

    std::uniform_int_distribution<long long> delay(0, 4 * save_us);  // over a few saves
    std::map<std::string, int> outcomes;
    for (int run = 0, step = 2; run < runs && !HasFailure(); ++run) {
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
        else if (under_way.rfind("new ", 0) == 0 && state == "none") ++outcomes["a new game without a game yet"];
        else ADD_FAILURE() << "run " << run << ": found " << state << ", expected " << done << " or " << under_way;
    }
    std::printf("%d kills, a save takes about %lld us:", runs, static_cast<long long>(save_us));
    for (const auto& [outcome, count] : outcomes) std::printf(" %s %d;", outcome.c_str(), count);
    std::printf("\n");
}
