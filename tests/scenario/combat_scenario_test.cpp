// Whole games with monsters on the headless backend: fights to the death in
// both directions, sneaking, a monster finding its way round a wall, a
// hidden field found beside the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <tuple>

#include "character/character_state.h"
#include "common/common_state.h"
#include "presentation/view.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/strings.h"
#include "scenario/scenario_support.h"

namespace {

CharacterRecord& hero() { return g_character_model.character; }
std::string n(int v) { return std::to_string(v); }

// Puts text into a file of the game folder before the first marker.
void insert_before(const TempGameFolder& folder, const std::string& path, const std::string& marker,
                   const std::string& text) {
    std::string content = saved_file(path);
    content.insert(content.find(marker), text);
    folder.write(path, content);
}

void write_combat_game(const TempGameFolder& folder, int hit_points, int attack, int sneaking, int rat_attack,
                       const std::string& map_elements) {
    write_fixture_game(folder);
    folder.copy_shipped("sound");
    insert_before(folder, "data\\messages.xml", "</messages>",
                  R"(<message id="44"><text language="English">Killed by:</text></message>)");
    folder.write("data\\abilities.xml",
                 "<abilities><ability id=\"1\" name=\"hit_points\" depletable=\"yes\" attribute_start_value=\"" +
                     n(hit_points) + "\" modify_per_point_of_damage=\"-1\" game_ends=\"lower\" game_ends_val=\"1\"/>"
                     "<ability id=\"2\" name=\"movement\" movement=\"yes\" attribute_start_value=\"3\"/>"
                     "<ability id=\"3\" name=\"attack\" attack_melee=\"yes\" attribute_start_value=\"" + n(attack) + "\"/>"
                     "<ability id=\"4\" name=\"damage\" damage_in_melee=\"yes\" attribute_start_value=\"4\"/>"
                     "<ability id=\"5\" name=\"sneaking\" sneaking=\"yes\"/>"
                     "<ability id=\"6\" name=\"kills\" modify_with_each_kill=\"1\"/>"
                     "<ability id=\"7\" name=\"perception\" perception_tile_class=\"all\" attribute_start_value=\"100\"/>"
                     "</abilities>");
    folder.write("data\\monster.xml", "<monsters><monster id=\"1\" name=\"Rat\" attack=\"" + n(rat_attack) +
                                          "\" strength=\"3\" hitpoints=\"4\" speed=\"1\"/></monsters>");
    insert_before(folder, "tilesets\\test_tiles.xml", "</tileset>",
                  R"(<tile_type id="7" name="snare" detection_message="A snare!" detection_sound="trap"/>)");
    // The character at (5, 5) facing right, sneaking switched on.
    write_saved_game(folder, 5, 5, 1);
    std::string character = saved_file("savegame\\character.xml");
    character.replace(character.find("/>"), 2, "><ability id=\"5\" attribute_current_value=\"" + n(sneaking) +
                                                    "\" activated=\"yes\"/></character>");
    folder.write("savegame\\character.xml", character);
    insert_before(folder, "savegame\\map_start.xml", "</map>", map_elements);
}

std::string rat(int x, int y, const std::string& extra = "") {
    return "<monster type=\"1\" xpos=\"" + n(x) + "\" ypos=\"" + n(y) + "\" hitpoints=\"4\"" + extra + "/>";
}
std::string field(int x, int y, int tile, const std::string& extra = "") {
    return "<field x=\"" + n(x) + "\" y=\"" + n(y) + "\"" + extra + ">" + n(tile) + "</field>";
}

std::vector<std::string> sounds() {
    std::vector<std::string> names;
    for (const auto& played : headless::played_sounds()) names.push_back(remove_all_nocase(file_part(played.file), ".ogg"));
    return names;
}
long played(const std::string& name) {
    const std::vector<std::string> names = sounds();
    return std::count(names.begin(), names.end(), name);
}

void tap_every(int code, uint32_t from_ms, int times, uint32_t interval_ms) {
    for (int i = 0; i < times; ++i) tap(from_ms + i * interval_ms, code);
}

}  // namespace

TEST(CombatScenario, TheCharacterKillsOneRatAndTheNextWalksRoundAWallAndKillsIt) {
    TempGameFolder folder;
    write_combat_game(folder, 12, 100, 0, 100,
                      rat(6, 5) + field(8, 3, WALL_TILE) + field(8, 4, WALL_TILE) + field(8, 5, WALL_TILE) +
                          field(8, 6, WALL_TILE) + rat(10, 5, " alerted=\"yes\""));
    // The blow: the effect on the rat's view cell (7, 6) with the damage in
    // white, the character (facing right) lifted by 2 pixels.
    int blows = 0, lifted = 0, digits = 0, on_wall = 0, sliding = 0;
    headless::on_flip([&] {
        for (const Monster& m : g_map.monsters) {
            on_wall += m.x == 8 && m.y >= 3 && m.y <= 6;
            sliding += m.offset_x != 0 || m.offset_y > 0;
        }
        if (shown_screen_pixel(7 * 32 + 1, 6 * 32 + 1) != RGB(60, 200, 60)) return;
        ++blows;
        lifted += shown_screen_pixel(200, 190) == RGB(230, 230, 80);
        for (int y = 192; y < 224; ++y)
            for (int x = 224; x < 256; ++x) {
                const Colour p = shown_screen_pixel(x, y);
                if ((p & 255) > 200 && (p >> 8 & 255) > 200 && (p >> 16 & 255) > 200) return void(++digits);
            }
    });
    tap(300, key::ret);
    tap_every(key::right, 800, 3, 1500);  // blows until the rat dies (one hit), then steps
    tap_every(key::e, 5300, 30, 1500);    // then wait, turn after turn
    play_session();

    EXPECT_EQ(std::make_tuple(blows, lifted, digits), std::make_tuple(1, 1, 1));
    EXPECT_EQ(hero().abilities[6].attribute_current_value, 1);  // one kill
    ASSERT_EQ(g_map.monsters.count(), 1);
    const Monster& m = *g_map.monsters.begin();
    EXPECT_EQ(on_wall, 0);
    EXPECT_GE(sliding, 16 * 4);  // shown steps near the character
    EXPECT_EQ(std::abs(m.x - hero().x) + std::abs(m.y - hero().y), 1) << "it struck from beside the character";
    EXPECT_EQ(hero().death_text, "Killed by: Rat");
    EXPECT_FALSE(file_exists("savegame\\character.xml"));
    EXPECT_GE(played("hit"), 2);
    EXPECT_EQ(played("deathcry"), 1);
}

TEST(CombatScenario, SneakingPastOneRatNoticedByTheNextAndASnareSpottedOnTheWay) {
    TempGameFolder folder;
    // The first rat is unaware and slowed; the second is alerted and so always notices.
    write_combat_game(folder, 20, 50, 100, 0,
                      rat(6, 5, " effect=\"slowed\"") + rat(8, 5, " alerted=\"yes\"") +
                          field(7, 4, 7, " hidden=\"yes\"") + field(9, 7, 7, " hidden=\"yes\""));
    std::vector<std::string> messages;
    uint32_t snare_shown_at = 0, next_picture_at = 0;
    headless::on_flip([&] {
        const std::string& text = g_common.status_message.text;
        // The band's lines as they show: a report below the message it followed.
        for (const std::string& line : {g_common.status_message.earlier, text})
            if (!line.empty() && std::find(messages.begin(), messages.end(), line) == messages.end())
                messages.push_back(line);
        if (text == "A snare!" && !snare_shown_at) snare_shown_at = headless::now();
        else if (snare_shown_at && !next_picture_at) next_picture_at = headless::now();
    });
    tap(300, key::ret);
    tap_every(key::right, 800, 3, 1500);  // onto the first rat's field, beside the second, noticed
    tap(6000, key::escape);
    tap(6600, key::escape);
    play_session();

    EXPECT_EQ(hero().x, 7);
    // The monster that noticed the character is named, and why the step did not strike it.
    EXPECT_EQ(messages, (std::vector<std::string>{"You slip past.", "A snare!",
                                                  "You have been noticed! The Rat saw you trying to slip past.",
                                                  "The Rat misses you."}));
    const std::vector<std::string> names = sounds();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
              (std::vector<std::string>{"evasion", "trap", "oh_no"}));
    EXPECT_EQ(g_map.monsters.begin()->alerted, 1);  // it struck the character from behind at the turn's end
    EXPECT_EQ(read_map_hidden(g_map.map, 7, 4), 0);
    EXPECT_EQ(read_map_hidden(g_map.map, 9, 7), 1);  // never beside the character
    EXPECT_GE(next_picture_at - snare_shown_at, 1000u);
    EXPECT_NE(saved_file("savegame\\map_start.xml").find("effect=\"slowed\""), std::string::npos);
}

TEST(CombatScenario, AMeleeExchangeReportsEveryBlowInTheBandInTurnBesideTheMonsterInFront) {
    TempGameFolder folder;
    // Two rats beside the character, the one east of it hardier than its kind.
    write_combat_game(folder, 60, 100, 0, 60,
                      R"(<monster type="1" xpos="6" ypos="5" hitpoints="12" alerted="yes"/>)" + rat(5, 6, " alerted=\"yes\""));
    // The band's lines as they are shown, from the first to the last picture.
    struct Band {
        std::string earlier, text;
        uint32_t first, last;
    };
    std::vector<Band> bands;
    bool panel_named_the_rat = false;
    headless::on_flip([&] {
        const StatusMessage& m = g_common.status_message;
        const uint32_t now = headless::now();
        // The first picture of the game names the rat beside the character on the panel.
        if (now > 300 && now < 700 && !panel_named_the_rat)
            panel_named_the_rat = shows_text(468, 372, "Rat", FONT_PANEL, WHITE, true);
        if (now - m.time_stamp >= m.duration) return;
        if (bands.empty() || bands.back().text != m.text || bands.back().earlier != m.earlier)
            bands.push_back({m.earlier, m.text, now, now});
        bands.back().last = now;
    });
    tap(300, key::ret);
    tap(700, key::e);  // the rats strike first: the character waits
    tap_every(key::right, 3500, 5, 3000);  // blows until the hardy rat dies, then a step
    tap(20000, key::escape);
    tap(20600, key::escape);
    play_session();

    EXPECT_TRUE(panel_named_the_rat);
    const std::regex own(R"(You (hit the Rat: 4 damage|miss the Rat|kill the Rat \(4 damage\))\.)");
    const std::regex theirs(R"(The Rat (hits you: \d+ damage|hits you but does no harm|misses you)\.)");
    int own_blows = 0, their_blows = 0, kills = 0;
    for (size_t i = 0; i < bands.size(); ++i) {
        const Band& b = bands[i];
        SCOPED_TRACE(b.earlier + " / " + b.text);
        own_blows += std::regex_match(b.text, own);
        kills += b.text == "You kill the Rat (4 damage).";
        const bool rat_blow = std::regex_match(b.text, theirs);
        their_blows += rat_blow;
        EXPECT_TRUE(rat_blow || std::regex_match(b.text, own));
        // A report comes below the one before it while that one still shows,
        // as every rat's blow does after another blow of the same turn.
        if (!b.earlier.empty()) {
            EXPECT_EQ(b.earlier, bands[i - 1].text);
        }
        if (rat_blow && i > 0 && !std::regex_match(bands[i - 1].text, own)) {
            EXPECT_FALSE(b.earlier.empty());
        }
        // Every report stays readable, below and then above the next, at least as long as its blow is held.
        if (i + 1 < bands.size()) {
            const uint32_t until = bands[i + 1].earlier == b.text ? bands[i + 1].last : b.last;
            EXPECT_GE(until - b.first, 500u);
        }
    }
    EXPECT_GE(own_blows, 3);
    EXPECT_EQ(kills, 1);
    EXPECT_GE(their_blows, 2 + own_blows - 1);  // both rats after the wait, the south one after every blow
    EXPECT_FALSE(bands.empty() || std::regex_match(bands.front().text, own)) << "the rats struck first";
}

TEST(CombatScenario, ASprungHiddenTrapIsDrawnFoundAndSavedSoAndThePointerChangesNothingButThePicture) {
    // The same keys with and without the pointer over the trap give the same saved game.
    auto play = [](bool pointer) {
        TempGameFolder folder;
        FixtureOptions options;
        options.tile_types = R"(<tile_type id="7" name="spikes" class="trap" message="Spikes!">
  <modify_attribute attribute_name="hit_points" amount="-2" trigger_hidden="yes" turn_ends="yes"/></tile_type>)";
        write_fixture_game(folder, options);
        write_saved_game(folder, 5, 5, 1);
        std::string map = saved_file("savegame\\map_start.xml");
        folder.write("savegame\\map_start.xml",
                     map.insert(map.find("</map>"), R"(<field x="6" y="5" hidden="yes">7</field>)"));
        // The trap's cell beside the character, and the band's right end naming what lies under the pointer.
        std::vector<std::pair<uint32_t, Colour>> trap_cell;
        std::vector<std::pair<uint32_t, std::string>> named;
        headless::on_flip([&] {
            const uint32_t now = headless::now();
            if (hero().x == 5) trap_cell.emplace_back(now, shown_screen_pixel(7 * 32 + 1, 6 * 32 + 1));
            for (const char* name : {"grass", "spikes"}) {
                draw_select_font(FONT_DEFAULT);
                if (shows_text(632 - text_width(name), 448, name, FONT_DEFAULT, RGB(255, 220, 130), true))
                    named.emplace_back(now, name);
            }
        });
        tap(300, key::ret);     // continue
        if (pointer) headless::mouse_move(500, 7 * 32 + 5, 6 * 32 + 5);
        tap(800, key::right);   // onto the hidden trap: it strikes and ends the turn
        tap(2300, key::left);   // back beside it
        tap(3800, key::escape);  // saved
        tap(4400, key::ret);    // and read back
        tap(5000, key::right);  // onto it again: a found trap strikes all the same
        if (pointer) headless::mouse_leave(6000);
        tap(6500, key::escape);
        tap(7100, key::escape);
        play_session();

        auto cell_at = [&](uint32_t from, uint32_t until) {
            std::set<Colour> seen;
            for (const auto& [at, colour] : trap_cell)
                if (at >= from && at < until) seen.insert(colour);
            return seen;
        };
        auto names_at = [&](uint32_t from, uint32_t until) {
            std::set<std::string> seen;
            for (const auto& [at, name] : named)
                if (at >= from && at < until) seen.insert(name);
            return seen;
        };
        EXPECT_EQ(cell_at(300, 800), std::set<Colour>{fixture_tile_colour(1)}) << "hidden: drawn as the floor";
        EXPECT_EQ(cell_at(2300, 3800), std::set<Colour>{fixture_tile_colour(7)}) << "found once it struck";
        EXPECT_EQ(cell_at(4400, 5000), std::set<Colour>{fixture_tile_colour(7)}) << "and so after the save";
        if (pointer) {
            EXPECT_EQ(names_at(500, 800), std::set<std::string>{"grass"}) << "the pointer does not give the trap away";
            EXPECT_EQ(names_at(2300, 3800), std::set<std::string>{"spikes"});
        }
        EXPECT_EQ(names_at(pointer ? 6100 : 0, 20000), std::set<std::string>{});
        EXPECT_EQ(hero().abilities[1].attribute_current_value, 20 - 2 - 2);
        EXPECT_EQ(saved_file("savegame\\map_start.xml").find("hidden="), std::string::npos);
        return saved_file("savegame\\character.xml") + saved_file("savegame\\map_start.xml");
    };
    EXPECT_EQ(play(true), play(false));
}
