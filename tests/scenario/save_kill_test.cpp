// Saves that survive a kill. A child process runs the game's own save flows
// one after the other on a large map (new game, save-and-return, program end,
// death) and is killed with SIGKILL at a random moment; then the game starts
// up as it would after the kill. The savegame must always load, as a pair: the
// character with the map saved together with it, from the last save that was
// done or the one that was under way (a new game or a death may also have
// left no game at all), and no temporary file may be left behind.
// UMBRANE_KILL_RUNS sets the number of kills and UMBRANE_KILL_SEED the seed of
// their moments (scripts/kill-test.sh runs many).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "character/character_state.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "scenario/scenario_support.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

constexpr const char* CHARACTER_FILE = "savegame\\character.xml";
constexpr const char* NEW_MAP_NAME = "Large Map";

// A start map whose every field carries long messages: about a megabyte of
// XML, so a save takes long enough to be hit anywhere.
void write_large_start_map(const TempGameFolder& folder) {
    std::string map = "<map Umbrane_version=\"0.1.0\" name=\"" + std::string(NEW_MAP_NAME) +
                      "\" tileset_definition_filename=\"test_tiles.xml\" tileset_image_filename=\"test_tiles.png\" "
                      "tile_outside_map=\"4\" default_tile=\"1\" background_tile=\"1\" lighting=\"8\">\n";
    const std::string line(300, 'm');
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            map += "  <field x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" message_line1=\"" + line +
                   "\" message_line2=\"field " + std::to_string(x) + "," + std::to_string(y) + "\">" +
                   (x == 2 && y == 3 ? "4" : "1") + "</field>\n";
    folder.write("maps\\map_start.xml", map + "</map>\n");
}

// Runs save after save until killed, telling the parent through the pipe
// what each one saves ("B tag") and when it is done ("C").
[[noreturn]] void save_until_killed(int pipe, int step) {
    auto tell = [pipe](const std::string& line) {
        if (write(pipe, line.data(), line.size()) < 0) _exit(3);
    };
    try {
        for (;; ++step) {
            const std::string number = std::to_string(step);
            // Without a saved game the menu offers nothing but a new game.
            const int kind = file_size(CHARACTER_FILE) > 0 ? step % 5 : 0;
            if (kind == 0) {
                tell("B new " + number + "\n");
                g_character_model.character.name = "new " + number;
                new_game_flow();
            } else if (kind == 4) {
                tell("B none " + number + "\n");
                death_flow();
            } else {
                tell("B gen " + number + "\n");
                g_character_model.character.name = g_map.map.name = "gen " + number;
                if (kind == 2) save_at_program_end();
                else save_and_return_flow();
            }
            tell("C\n");
        }
    } catch (const std::exception& error) {
        tell(std::string("E ") + error.what() + "\n");
        _exit(2);
    }
}

// What the child said before it was killed.
struct Report {
    std::string done;      // the state the last finished save left ("" when none finished)
    std::string under_way;  // the save begun after it ("" when none)
    std::string error;
    int last_step = -1;
};

Report read_report(int pipe) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipe, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    Report report;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        if (line.rfind("B ", 0) == 0) {
            const std::string tag = line.substr(2);
            report.under_way = tag.rfind("none", 0) == 0 ? "none" : tag;
            report.last_step = std::stoi(tag.substr(tag.find(' ') + 1));
        } else if (line == "C") {
            report.done = report.under_way;
            report.under_way.clear();
        } else if (line.rfind("E ", 0) == 0) {
            report.error = line.substr(2);
        }
    }
    return report;
}

// The savegame as start-up finds it: "none", or the character's tag; fails
// the test when the pair does not belong together or start-up cannot use it.
std::string start_up_after_kill() {
    try {
        startup();
    } catch (const std::exception& error) {
        ADD_FAILURE() << "start-up after the kill: " << error.what();
        return "unusable";
    }
    for (const FolderEntry& entry : list_folder("savegame", "*"))
        EXPECT_TRUE(entry.name.rfind(".xml") == entry.name.size() - 4 || entry.name == "screenshot.jpg")
            << "left behind: " << entry.name;
    if (file_size(CHARACTER_FILE) <= 0) return "none";
    const std::string tag = g_character_model.character.name;
    const std::string expected_map = tag.rfind("new ", 0) == 0 ? NEW_MAP_NAME : tag;
    EXPECT_EQ(g_map.map.name, expected_map) << "the character " << tag << " with another save's map";
    // Continuing the game loads the same pair again.
    continue_flow();
    EXPECT_EQ(g_character_model.character.name, tag);
    return tag;
}

}  // namespace

TEST(SaveKill, TheSavegameAlwaysLoadsAsAPair) {
    const char* runs_setting = std::getenv("UMBRANE_KILL_RUNS");
    const int runs = runs_setting ? std::atoi(runs_setting) : 150;
    TempGameFolder folder;
    write_fixture_game(folder);
    write_large_start_map(folder);
    startup();

    // How long one save takes here, to spread the kills over a few of them.
    const auto before = std::chrono::steady_clock::now();
    g_character_model.character.name = "new 0";
    new_game_flow();
    g_character_model.character.name = g_map.map.name = "gen 1";
    save_and_return_flow();
    const auto save_us =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - before).count() / 2;
    std::string state = start_up_after_kill();

    const char* seed_setting = std::getenv("UMBRANE_KILL_SEED");
    std::mt19937 random(seed_setting ? static_cast<unsigned>(std::strtoul(seed_setting, nullptr, 10)) : 20261207u);
    std::uniform_int_distribution<long long> delay(0, 4 * save_us);
    std::map<std::string, int> outcomes;
    int step = 2;
    for (int run = 0; run < runs && !HasFailure(); ++run) {
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(channel[0]);
            save_until_killed(channel[1], step);
        }
        close(channel[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const Report report = read_report(channel[0]);
        close(channel[0]);
        ASSERT_TRUE(report.error.empty()) << "a save failed: " << report.error;
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself";

        const std::string before_kill = report.done.empty() ? state : report.done;
        if (file_size("savegame\\renames.pending") >= 0) ++outcomes["renames finished at start-up"];
        for (const FolderEntry& entry : list_folder("savegame", "*.tmp-*"))
            if (entry.name.find("renames") == std::string::npos) ++outcomes["temporaries removed"];
        state = start_up_after_kill();
        if (state == before_kill) ++outcomes[report.under_way.empty() ? "between saves" : "old save kept"];
        else if (!report.under_way.empty() && state == report.under_way) ++outcomes["save under way complete"];
        else if (report.under_way.rfind("new ", 0) == 0 && state == "none") ++outcomes["new game, no game yet"];
        else ADD_FAILURE() << "run " << run << ": found " << state << ", expected " << before_kill
                           << (report.under_way.empty() ? "" : " or " + report.under_way);
        if (report.last_step >= step) step = report.last_step + 1;
    }
    std::string summary;
    for (const auto& [outcome, count] : outcomes) summary += " " + outcome + ": " + std::to_string(count) + ";";
    std::printf("%d kills (a save takes about %lld us):%s\n", runs, static_cast<long long>(save_us), summary.c_str());
}
