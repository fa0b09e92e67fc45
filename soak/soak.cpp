// The soak: the shipped game played on the headless backend with random but
// sensible key presses for a number of turns: walks (often along a way to a
// portal, a level exit or a far field), ended turns, the inventory, pick-up,
// power and character screens with arrows, Return and Escape inside them,
// saves, returns to the menu, continued games and new games after deaths.
// After every save the saved files are read back: each must read without
// error and write back byte for byte. Built with the sanitizers
// (build-sanitize) it also meets memory faults and undefined behaviour.
//
// Usage: soak [--turns N] [--seed S] [--report-every N]
// Prints its progress (turns, deaths, new games, map changes, level changes),
// every finding as it comes and a closing summary; exits with status 1 when it
// found anything, and also when a soak of 1,000 turns or more never changed
// map, never changed level or never died. One seed gives the same game again.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <queue>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/raise_error.h"
#include "items/items_state.h"
#include "map/level_creation.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "presentation/presentation_state.h"
#include "game/character_savegame.h"
#include "shell/main_loop.h"
#include "game/turn_state.h"
#include "shell/startup.h"
#include "support/test_game.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCharacterFile = "savegame\\character.xml";
// Presses without an ended turn after which the game counts as stuck.
constexpr long kStuckPresses = 3000;

struct Options {
    long turns = 10000;
    uint32_t seed = 1;
    long report_every = 1000;
};

struct Totals {
    long turns = 0;
    long starts = 0;  // program starts (start-up loads a saved game)
    long new_games = 0;
    long deaths = 0;
    long saves_checked = 0;
    long findings = 0;
    long map_changes = 0;    // from one ordinary map to another (portals)
    long level_changes = 0;  // into, between and out of dungeon levels
    int deepest_level = 0;
    std::set<std::string> maps;
    std::map<std::string, int> levels;  // the file of every dungeon level a level exit named, and its number
};
Totals g_totals;

void report_finding(const std::string& text) {
    ++g_totals.findings;
    std::printf("FINDING (after %ld turns): %s\n", g_totals.turns, text.c_str());
    std::fflush(stdout);
}

struct SoakStuck : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---- Choosing keys ----

struct Press {
    int code;
    uint32_t hold_ms;
    uint32_t gap_ms;  // after the last key went up
    enum Role { plain, opener, inside } role;  // a screen's key, or one of the keys meant for it
};

std::mt19937 g_keys_random;  // the keys' own generator: the game's draws stay the game's
std::deque<Press> g_plan;
long g_presses_since_turn = 0;

// The main menu: the entry the soak goes for (-1 outside the menu), and the
// frames shown before the pass that opens it (its selection counts once the
// menu has drawn itself).
int g_menu_entry = -1;
bool g_menu_new_game = false;
int g_menu_flips = 0;

// A screen runs inside the pass that read its key. Its keys go to it while
// that pass runs; once the pass is over the screen has closed (after a
// Return that chose something, say) and the keys left for it are dropped,
// so an Escape meant for a screen does not save and leave the game instead.
// The screen's key is read by the first pass that starts after it went down.
long g_passes_started = 0, g_passes_completed = 0;
long g_opener_down_at = -1;  // virtual time the screen's key goes down; -1 when read
long g_screen_pass = -1;     // the pass that runs the screen; -1 while not known
int g_idle_calls = 0;        // calls spent waiting for the screen's key to be read

int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(g_keys_random); }
bool chance(int percent) { return pick(100) < percent; }
void plan(int code, uint32_t hold_ms = 40, uint32_t gap_ms = 60, Press::Role role = Press::plain) {
    g_plan.push_back({code, hold_ms, gap_ms, role});
}
void plan_in_screen(int code) { plan(code, 40, 60, Press::inside); }

constexpr int kArrows[] = {key::up, key::right, key::down, key::left};  // in facing order
constexpr int kStepX[] = {0, 1, 0, -1};
constexpr int kStepY[] = {-1, 0, 1, 0};

// The menu lists Continue (with a saved game), New game and Quit. Mostly
// the saved game goes on; new games come mostly after deaths.
void choose_menu_entry() {
    const bool saved = file_size(kCharacterFile) > 0;
    const int roll = pick(100);
    g_menu_entry = saved ? (roll < 94 ? 0 : roll < 98 ? 1 : 2) : (roll < 97 ? 0 : 1);
    g_menu_new_game = g_menu_entry == (saved ? 1 : 0);
    g_menu_flips = headless::flip_count();
    g_plan.clear();
}

// Down to the chosen entry from wherever the selection is, then Return; a new
// character gets its three picks, each somewhere down the list.
void plan_menu() {
    if (g_presentation.menu.selected != g_menu_entry) {
        plan(key::down);
        return;
    }
    plan(key::ret);
    if (g_menu_new_game) {
        ++g_totals.new_games;
        for (int pick_number = 0; pick_number < 3; ++pick_number) {
            for (int k = pick(4); k > 0; --k) plan(key::down);
            plan(key::ret);
        }
    }
    g_menu_entry = -1;
}

// Where the walks lead: a field of the current map, given up after a while.
struct Goal {
    std::string map;
    int x = -1, y = -1;
    int age = 0;
};
Goal g_goal;

bool walkable(int x, int y) {
    return x >= 0 && x <= kLastStepField && y >= 0 && y <= kLastStepField && !field_blocked(g_map.map, x, y);
}

// Breadth-first distances from the goal over the fields a step can enter
// (-1: out of reach); the goal itself counts as enterable.
std::vector<int> distances_from(int goal_x, int goal_y) {
    std::vector<int> distance(kMapSize * kMapSize, -1);
    std::queue<int> open;
    distance[goal_y * kMapSize + goal_x] = 0;
    open.push(goal_y * kMapSize + goal_x);
    while (!open.empty()) {
        const int here = open.front();
        open.pop();
        for (int d = 0; d < 4; ++d) {
            const int x = here % kMapSize + kStepX[d], y = here / kMapSize + kStepY[d];
            if (!walkable(x, y) || distance[y * kMapSize + x] >= 0) continue;
            distance[y * kMapSize + x] = distance[here] + 1;
            open.push(y * kMapSize + x);
        }
    }
    return distance;
}

void choose_goal() {
    std::vector<std::pair<int, int>> ways;  // portals, level exits and fields with events (levers)
    for (int y = 0; y <= 48; ++y)
        for (int x = 0; x <= 48; ++x)
            if (portal_at(g_map.map, x, y) || !g_map.map.fields[y][x].event.empty()) ways.emplace_back(x, y);
    for (const DungeonRecord& exit : g_map.level_exits) ways.emplace_back(exit.xpos, exit.ypos);
    g_goal = Goal{g_map.map.filename};
    if (!ways.empty() && chance(60)) {
        std::tie(g_goal.x, g_goal.y) = ways[pick(static_cast<int>(ways.size()))];
    } else {
        g_goal.x = 1 + pick(47);
        g_goal.y = 1 + pick(47);
    }
}

// The arrow of the first step on a shortest way to the goal; -1 when there is none.
int step_towards_goal() {
    const CharacterRecord& hero = g_character_model.character;
    if (g_goal.map != g_map.map.filename || ++g_goal.age > 150 || (hero.x == g_goal.x && hero.y == g_goal.y))
        choose_goal();
    if (g_goal.x < 0 || g_goal.x > 48 || g_goal.y < 0 || g_goal.y > 48) return -1;
    const std::vector<int> distance = distances_from(g_goal.x, g_goal.y);
    int best = -1, best_distance = -1;
    for (int d = 0; d < 4; ++d) {
        const int x = hero.x + kStepX[d], y = hero.y + kStepY[d];
        if (x < 0 || x > 48 || y < 0 || y > 48) continue;
        const int there = distance[y * kMapSize + x];
        if (there >= 0 && (best < 0 || there < best_distance)) {
            best = d;
            best_distance = there;
        }
    }
    if (best < 0) g_goal.age = 1000;  // out of reach: another goal next time
    return best;
}

// A screen: its key, a few keys inside it, Escape to leave.
void plan_screen(int opener, std::vector<int> inside, int most) {
    plan(opener, 40, 60, Press::opener);
    for (int k = pick(most + 1); k > 0; --k) plan_in_screen(inside[pick(static_cast<int>(inside.size()))]);
    plan_in_screen(key::escape);
}

bool items_underfoot() {
    const CharacterRecord& hero = g_character_model.character;
    for (const MapItem& item : g_map.items)
        if (item.x == hero.x && item.y == hero.y) return true;
    return false;
}

void plan_game() {
    if (items_underfoot() && chance(40)) {
        plan(key::p, 40, 60, Press::opener);
        plan_in_screen(key::space);  // mark the first item
        plan_in_screen(key::ret);    // take what is marked
        return;
    }
    const int roll = pick(1000) / 10;
    if (roll < 62) {
        int direction = chance(75) ? step_towards_goal() : -1;
        if (direction < 0) direction = pick(4);
        plan(kArrows[direction], chance(85) ? 40 : 40 + static_cast<uint32_t>(pick(600)), 30);
    } else if (roll < 70) {
        plan(key::e);
    } else if (roll < 78) {
        plan_screen(key::i, {key::left, key::right, key::up, key::down, key::ret}, 6);
    } else if (roll < 83) {
        plan_screen(key::p, {key::left, key::right, key::up, key::down, key::space, key::ret}, 5);
    } else if (roll < 93) {
        plan_screen(key::u, {key::left, key::right, key::up, key::down, key::ret}, 6);
    } else if (roll < 97) {
        plan(key::c);
        plan(key::ret);
    } else if (chance(15)) {
        plan(key::escape);  // save and back to the menu
    } else {
        plan(kArrows[pick(4)]);
    }
}

// Run whenever the game waits for input that the script does not hold.
void feed_keys() {
    for (;;) {
        if (g_menu_entry >= 0) {
            if (headless::flip_count() == g_menu_flips) return;  // the menu is not up yet
            g_plan.clear();
            plan_menu();
        }
        if (g_plan.empty()) plan_game();
        const Press press = g_plan.front();
        if (press.role == Press::inside) {
            if (g_screen_pass < 0) {
                // Not read yet. A screen already open (a key for it opened
                // another) reads no pass: after a while its keys go to it.
                if (++g_idle_calls < 400) return;
                g_screen_pass = g_passes_started;
            }
            if (g_passes_completed >= g_screen_pass) {
                g_plan.pop_front();
                continue;
            }
        }
        g_plan.pop_front();
        headless::key_tap(headless::now() + press.gap_ms, press.code, press.hold_ms);
        if (press.role == Press::opener) {
            g_opener_down_at = headless::now() + press.gap_ms;
            g_screen_pass = -1;
            g_idle_calls = 0;
        }
        if (++g_presses_since_turn > kStuckPresses)
            throw SoakStuck(std::to_string(kStuckPresses) + " key presses without an ended turn");
        return;
    }
}

// ---- Reading the saves back ----

std::string text_of(const std::string& logical_path) {
    std::string text;
    read_whole_file(logical_path, text);
    return text;
}

// The first line where two texts differ, both ways.
std::string first_difference(const std::string& a, const std::string& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const size_t start = a.rfind('\n', at) == std::string::npos ? 0 : a.rfind('\n', at) + 1;
    auto line = [start](const std::string& text) { return text.substr(start, text.find('\n', start) - start); };
    return "saved: " + line(a) + "\n  written back: " + line(b);
}

// One saved file read as the game reads it and written again into
// "soakcheck\": it must read without error and come out the same. The game's
// own state stays as it was.
void check_saved_file(const std::string& name) {
    const std::string path = "savegame\\" + name, copy = "soakcheck\\" + name;
    ++g_totals.saves_checked;
    const auto items = std::make_unique<ItemsState>(g_items);
    const auto map_state = std::make_unique<MapState>(g_map);
    std::string map_of_character;
    try {
        if (name == "character.xml") {
            const auto character = std::make_unique<CharacterRecord>();
            load_character(*character, path);
            save_character(*character, copy);
            map_of_character = file_part(character->map_file_name);
        } else {
            const auto map = std::make_unique<GameMap>();
            load_map(*map, path, 0);
            save_map(*map, copy);
        }
    } catch (const FatalError& error) {
        g_items = *items;
        g_map = *map_state;
        report_finding("the saved " + name + " does not read back: " + error.what());
        return;
    }
    g_items = *items;
    g_map = *map_state;
    const std::string saved = text_of(path), again = text_of(copy);
    if (saved != again) report_finding("the saved " + name + " writes back otherwise:\n  " + first_difference(saved, again));
    if (!map_of_character.empty() && file_size("savegame\\" + map_of_character) <= 0)
        report_finding("the saved character stands on " + map_of_character + ", which is not saved");
}

struct Stamp {
    fs::file_time_type time;
    uintmax_t size = 0;
    bool operator==(const Stamp&) const = default;
};
std::map<std::string, Stamp> g_saves_seen;

// Every file of "savegame\" written since the last look is checked.
void check_new_saves() {
    std::map<std::string, Stamp> now;
    for (const FolderEntry& entry : list_folder("savegame", "*.xml")) {
        if (entry.type != 1) continue;
        std::error_code error;
        const fs::path host = host_path("savegame\\" + entry.name);
        now[entry.name] = {fs::last_write_time(host, error), fs::file_size(host, error)};
    }
    for (const auto& [name, stamp] : now) {
        auto seen = g_saves_seen.find(name);
        if (seen == g_saves_seen.end() || !(seen->second == stamp)) check_saved_file(name);
    }
    g_saves_seen = std::move(now);
}

// ---- Playing ----

void print_progress(const char* what) {
    std::string maps;
    for (const std::string& map : g_totals.maps) maps += " " + map;
    std::printf("soak %s: %ld turns, %ld starts, %ld new games, %ld deaths, %ld map changes, %ld level changes "
                "(deepest level %d), %ld saves read back, %ld findings; maps:%s\n",
                what, g_totals.turns, g_totals.starts, g_totals.new_games, g_totals.deaths, g_totals.map_changes,
                g_totals.level_changes, g_totals.deepest_level, g_totals.saves_checked, g_totals.findings, maps.c_str());
    std::fflush(stdout);
}

// A pass that began in the game and ends on another map went through a portal
// or a level exit: a level change when it enters or leaves a dungeon level.
void note_level_exits() {
    for (const DungeonRecord& exit : g_map.level_exits) g_totals.levels[level_file_name(exit)] = exit.entrance_to_level;
}

void count_map_change(const std::string& map_before) {
    note_level_exits();
    const std::string& map_now = g_map.map.filename;
    if (map_now == map_before || map_before.empty() || map_now.empty()) return;
    const auto level = g_totals.levels.find(map_now);
    if (level != g_totals.levels.end() || g_totals.levels.count(map_before)) {
        ++g_totals.level_changes;
        if (level != g_totals.levels.end()) g_totals.deepest_level = std::max(g_totals.deepest_level, level->second);
    } else {
        ++g_totals.map_changes;
    }
}

// One program run: start-up, passes of the main loop until the game quits
// (or enough turns are played: then it ends as when the window closes), the
// saves at program end.
void play_one_start(const Options& options) {
    headless::reset();
    headless::on_input_look(feed_keys);
    g_plan.clear();
    startup();
    ++g_totals.starts;
    uint32_t turns_before = 0;
    long next_report = (g_totals.turns / options.report_every + 1) * options.report_every;
    while (!g_shell.loop.quit && g_totals.turns < options.turns) {
        if (g_shell.loop.menu) choose_menu_entry();
        const bool alive_before = g_character_model.character.death_text.empty();
        const bool playing_before = alive_before && !g_shell.loop.menu;
        const std::string map_before = g_map.map.filename;
        note_level_exits();
        ++g_passes_started;
        if (g_opener_down_at >= 0 && headless::now() >= g_opener_down_at) {
            g_screen_pass = g_passes_started;
            g_opener_down_at = -1;
        }
        main_loop_pass();
        ++g_passes_completed;
        if (g_shell.turns_ended != turns_before) {
            g_totals.turns += g_shell.turns_ended - turns_before;
            turns_before = g_shell.turns_ended;
            g_presses_since_turn = 0;
        }
        if (alive_before && !g_character_model.character.death_text.empty()) ++g_totals.deaths;
        if (!g_map.map.filename.empty()) g_totals.maps.insert(g_map.map.filename);
        if (playing_before) count_map_change(map_before);
        check_new_saves();
        if (g_totals.turns >= next_report) {
            print_progress("progress");
            next_report += options.report_every;
        }
    }
    save_at_program_end();
    check_new_saves();
}

void play(const Options& options) {
    TempGameFolder folder;  // a fresh copy of the shipped game, removed at the end
    folder.copy_all_shipped();
    make_folder("savegame");
    make_folder("soakcheck");
    seed_random(options.seed);
    g_keys_random.seed(options.seed);
    int broken_in_a_row = 0;  // starts that broke before a single turn
    while (g_totals.turns < options.turns && broken_in_a_row < 3) {
        const long turns_before = g_totals.turns;
        std::string broken;
        try {
            play_one_start(options);
        } catch (const SoakStuck& stuck) {
            broken = std::string("stuck: ") + stuck.what();
        } catch (const FatalError& error) {
            broken = std::string("fatal error in play: ") + error.what();
        } catch (const std::exception& error) {
            broken = std::string("exception in play: ") + error.what();
        }
        if (broken.empty()) continue;
        report_finding(broken);
        broken_in_a_row = g_totals.turns == turns_before ? broken_in_a_row + 1 : 0;
        // A fresh game next: the saved files may be what broke this one.
        delete_savegame();
        g_presses_since_turn = 0;
    }
}

bool read_options(int argc, char** argv, Options& options) {
    for (int k = 1; k + 1 < argc; k += 2) {
        const std::string name = argv[k];
        const long value = std::strtol(argv[k + 1], nullptr, 10);
        if (name == "--turns") options.turns = value;
        else if (name == "--seed") options.seed = static_cast<uint32_t>(value);
        else if (name == "--report-every") options.report_every = value > 0 ? value : 1000;
        else return false;
    }
    return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!read_options(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--turns N] [--seed S] [--report-every N]\n", argv[0]);
        return 2;
    }
    std::printf("soak: %ld turns of the shipped game, seed %u\n", options.turns, options.seed);
    media_init(BackendKind::headless);
    play(options);
    // A soak of some length that never left its first map or never died has
    // not played what it should: the key choice needs another look.
    if (options.turns >= 1000 && (g_totals.map_changes == 0 || g_totals.level_changes == 0 || g_totals.deaths == 0))
        report_finding("the soak did not get around: no map change, no level change or no death");
    media_close();
    print_progress("done");
    return g_totals.findings == 0 ? 0 : 1;
}
