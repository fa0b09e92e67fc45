// Generated dungeon levels: the maze walk, what a level holds, and what level
// creation draws for the things it places.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "authoring/level_trials.h"
#include "map/level_creation.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_test_support.h"
#include "map/tileset.h"
#include "platform/files.h"
#include "platform/random.h"

// Records are set up with designated initializers; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr int ROCK = 4, FLOOR = 1;

class LevelCreation : public ::testing::Test {
protected:
    void SetUp() override {
        // Spikes and fire are traps, the trapdoor is not.
        write_tileset(game, "tiles_standard.png", "tiles_standard.xml", R"(<tile_type id="1" name="floor"/>
          <tile_type id="2" name="down"/><tile_type id="3" name="up"/><tile_type id="4" name="rock" solid="yes"/>
          <tile_type id="6" name="spot"/><tile_type id="9" name="spikes" class="trap|spikes"/>
          <tile_type id="24" name="fire" class="fire|trap"/><tile_type id="25" name="trapdoor" class="trapdoor"/>
          <tile_type id="38" name="portal"/><tile_type id="140" name="shrine"/><tile_type id="141" name="crystal"/>)");
        make_folder("savegame");
        g_common.messages[25] = "level";
        const char* items[] = {"", "Bread", "Torch", "Ring", "Crown"};
        const int prices[] = {0, 0, 3, 5, 250};
        for (int id = 1; id <= 4; ++id) g_db.item_types[id] = {.name = items[id], .price = int16_t(prices[id])};
        g_db.item_types[2].fuel = 150;
        g_db.item_types[3].artefact = g_db.item_types[4].artefact = 1;
        const char* monsters[] = {"", "Rat", "Bat", "Troll"};
        const int levels[] = {0, 1, 2, 5};
        for (int id = 1; id <= 3; ++id)
            g_db.monster_types[id] = {.name = monsters[id], .hitpoints = int16_t(3 * id), .level = int16_t(levels[id])};
        CharacterRecord& hero = g_character_model.character;
        hero.map_file_name = "map_start.xml";
        std::tie(hero.x, hero.y) = std::tuple(12, 20);
    }
    static DungeonRecord cave(int levels, int level, int size) {
        return {.name = "Cave", .map_filename = "cave", .number_of_levels = int16_t(levels), .dimension_x = uint8_t(size),
                .dimension_y = uint8_t(size), .entrance_to_level = int16_t(level), .default_tile = ROCK,
                .background_tile = FLOOR, .tile_outside_map = ROCK, .main_treasure = 4, .bottom_portal = "map_start.xml",
                .bottom_portal_target_x = 12, .bottom_portal_target_y = 18, .bottom_portal_tile = 38};
    }
    TempGameFolder game;
    GameMap& map = g_map.map;
};

TEST_F(LevelCreation, TheMainPassageWalksOddCellsTwoAtATimeToItsFirstDeadEnd) {
    map.default_tile = ROCK;
    map.background_tile = FLOOR;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        seed_random(seed);
        fill_map(map, ROCK);
        const FieldPosition end = carve_passage(map, cave(1, 1, 21), {1, 1});
        auto floor = [&](int x, int y) { return read_map_tile_type(map, x, y) == FLOOR; };
        for (int y = 0; y < kMapSize; ++y)
            for (int x = 0; x < kMapSize; ++x)  // cells (both odd) and the walls between them, inside 1..19
                EXPECT_TRUE(!floor(x, y) || (x >= 1 && x <= 19 && y >= 1 && y <= 19 && (x % 2 || y % 2))) << x << "," << y;
        EXPECT_TRUE(end.x % 2 && end.y % 2);
        for (auto [dx, dy] : {std::pair{0, -2}, {2, 0}, {0, 2}, {-2, 0}})  // a dead end
            EXPECT_TRUE(!on_map(end.x + dx, end.y + dy) || end.x + dx > 19 || end.y + dy > 19 || floor(end.x + dx, end.y + dy));
    }
    script_random({2});  // a start on floor is its own end and draws nothing
    EXPECT_EQ(carve_passage(map, cave(1, 1, 21), {1, 1}), (FieldPosition{1, 1}));
    EXPECT_EQ(Random(3), 2);
}

TEST_F(LevelCreation, ALevelIsSavedAtOnceWithItsWaysTrapsMonstersAndAtTheBottomTheTreasure) {
    struct Case {
        int levels, level, size, traps;
        const char* map_filename;
        const char* file;
    } cases[] = {{1, 1, 21, 0, "cave", "cave_1.xml"},      // the first level is the bottom
                 {3, 2, 25, 40, "cave", "cave_2.xml"},     // n = 25: 26 monsters and hidden specials
                 {2, 2, 15, 3, "..\\..\\evil", "evil_2.xml"}};
    for (const Case& c : cases) {
        DungeonRecord record = cave(c.levels, c.level, c.size);
        record.traps_per_level = int16_t(c.traps);
        record.map_filename = c.map_filename;
        record.lighting = 200;  // more than a map file holds
        create_level(map, record);
        EXPECT_EQ(map.name, "Cave level " + std::to_string(c.level));
        EXPECT_EQ(map.filename, c.file);
        EXPECT_TRUE(std::filesystem::exists(host_path(std::string("savegame\\") + c.file)));
        EXPECT_EQ(std::tuple(read_map_tile_type(map, 1, 1), read_map_portal_mapfilename(map, 1, 1),
                             read_map_portal_target_x(map, 1, 1), read_map_portal_target_y(map, 1, 1)),
                  std::tuple(3, "map_start.xml", 12, 20));
        std::map<int, int> shown, hidden;
        for (int y = 0; y < kMapSize; ++y)
            for (int x = 0; x < kMapSize; ++x) ++(read_map_hidden(map, x, y) ? hidden : shown)[read_map_tile_type(map, x, y)];
        const bool bottom = c.level == c.levels;
        const int dwellers = c.size * c.size / 25 + 1;
        EXPECT_EQ(g_map.monsters.count(), dwellers);
        EXPECT_EQ(hidden[9] + hidden[24], dwellers + c.traps);  // specials and traps of class "trap" only
        EXPECT_EQ(hidden.count(25), 0u);
        EXPECT_EQ(std::tuple(shown[2], g_map.level_exits.count(), shown[38], shown[140], shown[141]),
                  std::tuple(bottom ? 0 : 1, bottom ? 0 : 1, bottom ? 1 : 0, 1, 1));
        for (const DungeonRecord& down : g_map.level_exits)
            EXPECT_EQ(std::tuple(read_map_tile_type(map, down.xpos, down.ypos), down.entrance_to_level), std::tuple(2, c.level + 1));
        int crowns = 0;
        for (const MapItem& item : g_map.items) {
            crowns += item.type == 4;
            EXPECT_EQ(std::tuple(item.amount, item.fuel, item.magic_bonus > 0), std::tuple(1, item.type == 2 ? 150 : 0, item.type >= 3));
        }
        EXPECT_EQ(crowns, bottom ? 1 : 0);
        for (const Monster& m : g_map.monsters) {  // of the level or above, never where the character arrives
            EXPECT_LE(g_db.monster_types[m.type].level, c.level);
            EXPECT_EQ(std::tuple(m.hitpoints, m.x == 1 && m.y == 1), std::tuple(3 * m.type, false));
        }
        auto values = [] {
            std::vector<std::tuple<int, int, int, int, int, int>> all;
            for (const MapItem& i : g_map.items) all.emplace_back(i.x, i.y, i.type, i.amount, i.fuel, i.magic_bonus);
            return all;
        };
        const auto items = values();
        load_map(map, std::string("savegame\\") + c.file, 1);  // the level comes back, its items as they were
        EXPECT_EQ(std::tuple(map.lighting, g_map.monsters.count()), std::tuple(8, dwellers));
        EXPECT_EQ(values(), items);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(game.path()).parent_path() / "evil_2.xml"));
}

// The way out of the bottom level touches a field the character can walk to
// from the way up, whatever the size and the draws.
TEST_F(LevelCreation, TheBottomPortalCanAlwaysBeReached) {
    for (int size = 5; size <= 25; ++size)
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            seed_random(seed * 7919u + static_cast<uint32_t>(size));
            create_level(map, cave(1, 1, size));
            std::vector<std::pair<int, int>> open{{1, 1}};
            std::vector<std::vector<bool>> reached(kMapSize, std::vector<bool>(kMapSize, false));
            reached[1][1] = true;
            bool portal_reached = false;
            while (!open.empty() && !portal_reached) {
                const auto [x, y] = open.back();
                open.pop_back();
                for (const auto& [dx, dy] : {std::pair{0, -1}, {1, 0}, {0, 1}, {-1, 0}}) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx > 48 || ny > 48 || reached[ny][nx]) continue;
                    // Reached from a field other than the way up, which every later step onto leads
                    // away; no walk goes on through a portal.
                    if (!read_map_portal_mapfilename(map, nx, ny).empty()) {
                        portal_reached = portal_reached || !(x == 1 && y == 1);
                        continue;
                    }
                    if (read_map_tile_type(map, nx, ny) == ROCK) continue;
                    reached[ny][nx] = true;
                    open.emplace_back(nx, ny);
                }
            }
            EXPECT_TRUE(portal_reached) << "size " << size << ", seed " << seed;
        }
}

TEST_F(LevelCreation, NothingOfTypeZeroIsPlacedAndTheDrawsStopWhereTheyShould) {
    std::vector<int> draws(4 * 101, 0);  // 101 passes over the four item types without a candidate
    draws.push_back(7);
    script_random(draws);
    EXPECT_EQ(random_item_type(10, "", false), 0);
    EXPECT_EQ(Random(9), 7);
    script_random({20, 20, 20, 300, 1});
    EXPECT_EQ(random_item_type(1000, "", true), 4);
    // A monster gives up when it needs its 100th draw, even on a free field; (1, 1) counts as taken.
    create_level(map, cave(1, 1, 3));  // a single floor field: the way up
    set_map_tile_type(map, 5, 5, FLOOR);
    g_map.monsters.clear();
    for (int blocked : {99, 98}) {
        std::vector<int> fields;
        for (int i = 0; i < blocked; ++i) fields.insert(fields.end(), {i % 2 ? 49 : 1, i % 2 ? 49 : 1});
        fields.insert(fields.end(), {5, 5});
        script_random(fields);
        EXPECT_EQ(spawn_level_monster(map, 1), blocked == 98 ? 1 : 0) << blocked;
    }
    EXPECT_EQ(g_map.monsters.count(), 1);
    // Without any monster type of the level and any item type in reach, a level holds neither.
    for (int id = 1; id <= 4; ++id) g_db.item_types[id].price = 9999;
    DungeonRecord record = cave(1, 1, 21);
    record.difficulty_level = 0;
    record.main_treasure = 0;
    create_level(map, record);
    EXPECT_TRUE(g_map.monsters.empty() && g_map.items.empty());
}

TEST_F(LevelCreation, MagicBonusCountsCoinTossesUpTo999) {
    std::vector<int> tosses{1, 0, 0, 1};  // 1, then 3
    tosses.insert(tosses.end(), 999, 0);  // an endless run of zeros stops at 999 after 999 tosses
    tosses.push_back(1);                  // left for the next piece
    script_random(tosses);
    EXPECT_EQ((std::vector<int>{random_magic_bonus(), random_magic_bonus(), random_magic_bonus(), random_magic_bonus()}),
              (std::vector<int>{1, 3, 999, 1}));
}

}  // namespace

namespace {

// Every open field of the level is reached from the arrival (the written maze
// may leave cells of its last row and column cut off); the way down (or,
// at the bottom, the treasure) and the bottom portal too, the way down at
// least a third of the level away. Returns what went wrong, empty when nothing.
std::string file_text(const std::string& logical_path) {
    std::ifstream in(host_path(logical_path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string level_faults(const DungeonRecord& record) {
    const GameMap& map = g_map.map;
    const std::vector<int> steps = steps_from_arrival(map);
    auto reached = [&](int x, int y) { return x >= 0 && y >= 0 && x < kMapSize && y < kMapSize && steps[y * kMapSize + x] >= 0; };
    std::string faults;
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x)
            if (record.level_maker != "maze" && read_map_tile_type(map, x, y) != ROCK && !reached(x, y) &&
                read_map_portal_mapfilename(map, x, y).empty())
                faults += " open field " + std::to_string(x) + "," + std::to_string(y) + " cut off;";
    FieldPosition goal{-1, -1};
    for (const DungeonRecord& down : g_map.level_exits) goal = {down.xpos, down.ypos};
    for (const MapItem& item : g_map.items)
        if (item.type == 4) goal = {item.x, item.y};
    if (!reached(goal.x, goal.y)) return faults + " no way on";
    const int away = std::abs(goal.x - kLevelArrival.x) + std::abs(goal.y - kLevelArrival.y);
    // The written maze puts it where its main passage first runs into a dead end, near or far.
    if (record.level_maker != "maze" && 3 * away < record.dimension_x + record.dimension_y - 4)
        faults += " way on only " + std::to_string(away) + " fields away;";
    return faults;
}

}  // namespace

// Each level maker over many seeds and sizes: connected, the way on reachable
// and far from the arrival, and the same rules as the maze for what a level
// holds; the same seed makes the same level.
TEST_F(LevelCreation, EveryLevelMakerMakesConnectedLevelsWithTheWayOnFarFromTheArrival) {
    std::map<std::string, int> finds;
    for (const char* maker : {"maze", "rooms", "caverns"})
        for (int size : {9, 15, 25, 37, 49})
            for (uint32_t seed = 1; seed <= 30; ++seed) {
                DungeonRecord record = cave(seed % 2 ? 1 : 3, 1, size);
                record.level_maker = maker;
                record.traps_per_level = 4;
                seed_random(seed);
                create_level(map, record);
                const std::string where = std::string(maker) + " size " + std::to_string(size) + " seed " + std::to_string(seed);
                EXPECT_EQ(level_faults(record), "") << where;
                EXPECT_EQ(read_map_tile_type(map, 1, 1), 3) << where;
                if (size >= 15) {
                    EXPECT_GT(g_map.monsters.count(), 0) << where;
                }
                finds[maker] += g_map.items.count();
                const std::string made = file_text("savegame\\cave_1.xml");
                seed_random(seed);
                create_level(map, record);
                EXPECT_EQ(file_text("savegame\\cave_1.xml"), made) << where;
            }
    for (const char* maker : {"maze", "rooms", "caverns"}) EXPECT_GT(finds[maker], 100) << maker;  // the nooks' items
    // The maze stays the written one: an unknown maker is no maker.
    write_tileset(game, "test.png", "test.xml", "");
    game.write("maps\\bad.xml", map_text("", R"(<dungeon xpos="3" ypos="3" level_maker="halls"/>)"));
    EXPECT_FATAL(load_map(map, "maps\\bad.xml", 1),
                 "load_map(): wrong level_maker attribute \"halls\" in map file \"maps\\bad.xml\"");
}

// The content check's level trials make the levels with the dungeon's own
// maker: the shipped Old Cave, made as rooms and as caverns with 20 seeds down
// all five levels, has its way on every time, and where walls block sight the
// levels keep the option in their files.
TEST(LevelTrials, TheOldCaveMadeByEachMakerHasItsWayOnOnEveryLevel) {
    TempGameFolder game;
    game.copy_shipped("tilesets");
    game.copy_shipped("maps");
    make_folder("savegame");
    load_map(g_map.map, "maps\\map_start.xml", 1);
    ASSERT_EQ(g_map.level_exits.count(), 3);  // the Old Cave, the Flooded Halls, the Umbral Depths
    const std::vector<DungeonRecord> shipped(g_map.level_exits.begin(), g_map.level_exits.end());
    for (const DungeonRecord& dungeon : shipped)
        EXPECT_EQ(first_level_without_a_way_on("map_start.xml", dungeon, 10, 6, false), "") << dungeon.name;
    DungeonRecord cave = shipped.front();
    for (const char* maker : {"maze", "rooms", "caverns"}) {
        cave.level_maker = maker;
        EXPECT_EQ(first_level_without_a_way_on("map_start.xml", cave, 20, 5, false), "") << maker;
    }
    cave.walls_block_sight = 1;
    make_level_from("map_start.xml", cave);
    EXPECT_EQ(g_map.map.walls_block_sight, 1);
    save_map(g_map.map, "savegame\\cave_copy.xml");
    reset_map(g_map.map);
    load_map(g_map.map, "savegame\\cave_copy.xml", 1);
    EXPECT_EQ(g_map.map.walls_block_sight, 1);
    const DungeonRecord down = *g_map.level_exits.begin();
    EXPECT_EQ(std::tuple(down.level_maker, down.walls_block_sight, down.entrance_to_level), std::tuple("caverns", 1, 2));
}

namespace {

// FNV-1a of a saved level, to hold a made level to the bytes it had.
uint32_t fingerprint(const std::string& text) {
    uint32_t h = 2166136261u;
    for (unsigned char c : text) h = (h ^ c) * 16777619u;
    return h;
}

}  // namespace

// The dungeon's options over every maker, many seeds and every level of a
// three-level dungeon: only monsters of the class word live in the levels,
// the bottom monster stands on the nearest free field beside the treasure,
// the traps rise by the step with each level, and a maze asked to keep its
// way down far keeps it at least a third of the level away.
TEST_F(LevelCreation, TheDungeonOptionsShapeEveryLevelOfEveryMaker) {
    g_db.monster_types[1].cls = "vermin|cave";
    g_db.monster_types[2].cls = "halls";
    g_db.monster_types[3].cls = "cave";
    g_db.monster_types[4] = {.name = "Warden", .cls = "foe", .hitpoints = 40, .level = 13};
    for (const char* maker : {"maze", "rooms", "caverns"})
        for (int level = 1; level <= 3; ++level)
            for (uint32_t seed = 1; seed <= 25; ++seed) {
                DungeonRecord record = cave(3, level, 21);
                record.level_maker = maker;
                record.difficulty_level = 5;  // every type of the fixture is of the levels' range
                record.monster_class = "cave";
                record.bottom_monster = 4;
                record.traps_per_level = 1;
                record.traps_per_level_step = 2;
                record.way_down_far = 1;
                seed_random(seed);
                create_level(map, record);
                const std::string where = std::string(maker) + " level " + std::to_string(level) + " seed " + std::to_string(seed);
                const bool bottom = level == 3;
                EXPECT_EQ(level_faults(record), "") << where;
                FieldPosition goal{-1, -1};
                for (const DungeonRecord& down : g_map.level_exits) goal = {down.xpos, down.ypos};
                if (bottom) goal = {g_map.items.begin()->x, g_map.items.begin()->y};
                EXPECT_EQ(bottom ? g_map.items.begin()->type : 4, 4) << where << ": the treasure is the first item";
                const int away = std::abs(goal.x - kLevelArrival.x) + std::abs(goal.y - kLevelArrival.y);
                EXPECT_GE(3 * away, 19 + 19) << where;
                int guards = 0, others = 0, wrong = 0;
                for (const Monster& m : g_map.monsters) {
                    if (m.type == 4) {
                        ++guards;
                        // Nothing nearer the treasure was free: a walk of one field when a neighbour is open.
                        const int steps = std::abs(m.x - goal.x) + std::abs(m.y - goal.y);
                        EXPECT_TRUE(steps >= 1 && steps <= 3) << where << ": the warden stands " << steps << " away";
                        EXPECT_EQ(m.hitpoints, 40);
                    } else {
                        ++others;
                        wrong += m.type == 2;
                    }
                }
                EXPECT_EQ(guards, bottom ? 1 : 0) << where;
                EXPECT_EQ(wrong, 0) << where << ": a bat of the halls in the cave";
                EXPECT_GT(others, 0) << where;
                int traps = 0;
                for (int y = 0; y < kMapSize; ++y)
                    for (int x = 0; x < kMapSize; ++x)
                        traps += read_map_hidden(map, x, y) && (read_map_tile_type(map, x, y) == 9 || read_map_tile_type(map, x, y) == 24);
                EXPECT_EQ(traps, 21 * 21 / 25 + 1 + 1 + 2 * (level - 1)) << where;  // the hidden specials, then the traps
            }
    // A class word no type carries leaves the levels without dwellers; a step
    // that takes more than there are leaves none, never fewer than none.
    DungeonRecord empty = cave(3, 3, 21);
    empty.monster_class = "depths";
    empty.traps_per_level = 2;
    empty.traps_per_level_step = -5;
    create_level(map, empty);
    EXPECT_EQ(g_map.monsters.count(), 0);
    EXPECT_EQ(level_monster_types(5, "cave"), (std::vector<int>{1, 3}));
    EXPECT_EQ(level_monster_types(1, ""), (std::vector<int>{1}));
}

// A dungeon element without the options makes, seed for seed, the very level
// it made before they came (the fingerprints of the saved levels; the game
// built without the options drew the Old Cave's levels pixel for pixel as the
// game with them does); the options are written only where set, and read back
// as written.
TEST_F(LevelCreation, ADungeonWithoutTheOptionsMakesTheSameLevelsAsBefore) {
    std::vector<uint32_t> made;
    for (const char* maker : {"maze", "rooms", "caverns"})
        for (uint32_t seed : {1u, 7u}) {
            DungeonRecord record = cave(2, 2, 21);
            record.level_maker = maker;
            record.traps_per_level = 3;
            seed_random(seed);
            create_level(map, record);
            made.push_back(fingerprint(file_text("savegame\\cave_2.xml")));
        }
    EXPECT_EQ(made, (std::vector<uint32_t>{1675604641u, 2147676561u, 705059491u, 3627457204u, 173547807u, 2623488258u}));

    write_tileset(game, "test.png", "test.xml", "");
    game.write("maps\\old.xml", map_text("", R"(<dungeon xpos="3" ypos="3" name="Old" map_filename="old"/>)"));
    load_map(map, "maps\\old.xml", 1);
    save_map(map, "savegame\\old_copy.xml");
    const std::string old_copy = file_text("savegame\\old_copy.xml");
    for (const char* option : {"monster_class", "bottom_monster", "final", "traps_per_level_step", "way_down_far"})
        EXPECT_EQ(old_copy.find(option), std::string::npos) << option;
    game.write("maps\\new.xml", map_text("", R"(<dungeon xpos="3" ypos="3" name="New" map_filename="new" monster_class="halls"
        bottom_monster="7" final="yes" traps_per_level_step="2" way_down_far="yes"/>)"));
    load_map(map, "maps\\new.xml", 1);
    save_map(map, "savegame\\new_copy.xml");
    load_map(map, "savegame\\new_copy.xml", 1);
    const DungeonRecord r = *g_map.level_exits.begin();
    EXPECT_EQ(std::tuple(r.monster_class, r.bottom_monster, r.is_final, r.traps_per_level_step, r.way_down_far),
              std::tuple("halls", 7, 1, 2, 1));
}
