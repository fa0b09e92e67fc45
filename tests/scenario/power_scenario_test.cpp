// Whole games in which the character uses powers through the power screen
// (key U) and the target choice, on the headless backend: ranged and area
// attacks, field powers on doors and a fountain, boosts, toggles and cures,
// and curses laid on monsters; every outcome is read back from the saved files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "scenario/scenario_support.h"
#include "game/character_savegame.h"

namespace {

CharacterRecord& hero() { return g_character_model.character; }
std::string n(int v) { return std::to_string(v); }

// Ability ids of the fixture.
constexpr int HIT_POINTS = 1, MANA = 3, DAMAGE = 5, SNEAKING = 6, POISONED = 7;
// Power ids of the fixture; each lies in grid cell id - 1.
constexpr int BOLT = 1, STORM = 2, RAGE = 3, UNLOCK = 4, COMMUNE = 5, SHADOW = 6, PURGE = 7, HEAL = 8, SLOW = 9,
              SLEEP = 10, JAM = 11;
// Tiles of the fixture's tileset: a locked door that opens into an open door, and a fountain.
constexpr int DOOR_TILE = 3, OPEN_DOOR_TILE = 5, FOUNTAIN_TILE = 7;
constexpr Colour BLOOD = RGB(140, 0, 0);
constexpr Colour power_icon_colour(int cell) { return RGB(60, 160, 40 + 5 * cell); }

const char* const kPowers = R"(<powers>
  <power id="1" name="Bolt" tile="1" effect_name="attack" class="fire" range="2" end_turn="yes"
         effect_strength="3" strength_bonus_attribute_name="magic" strength_divisor="10"
         strength_randomized="yes" randomized_strength_bonus="2" cost="2" cost_attribute_name="mana"
         animation="red fireball" sound="fireball" success_message="The bolt hits for [POWER_STRENGTH]."
         description="A bolt of fire for any monster in sight."/>
  <power id="2" name="Storm" tile="2" effect_name="area attack" class="fire" end_turn="yes" effect_strength="5"
         cost="1" cost_attribute_name="mana" animation="fire flood"/>
  <power id="3" name="Rage" tile="3" effect_name="duration" adjust_attribute_name="damage" effect_strength="2"
         duration="3" duration_bonus_attribute_name="magic" duration_divisor="25" cooldown="4"
         cost="2" cost_attribute_name="mana" success_message="Rage!"/>
  <power id="4" name="Unlock" tile="4" effect_name="transform field" class="door" field_effect="unlock" range="1"
         end_turn="yes" cost="1" cost_attribute_name="mana" sound="door" failure_sound="failure" wrong_use_sound="failure"
         success_message="Unlocked." failure_message="Jammed." wrong_use_message="No lock here."
         already_used_message="This lock is ruined."/>
  <power id="5" name="Commune" tile="5" effect_name="use field" class="spring" field_effect="commune" range="1"
         end_turn="yes" modify_attribute_name="mana" effect_strength="4" cooldown="3" sound="magic"
         success_message="Up to [power_strength] mana." already_used_message="Dry."/>
  <power id="6" name="Shadow" tile="6" effect_name="activate ability" activates_ability_name="sneaking"
         cooldown="2" cost="1" cost_attribute_name="mana"/>
  <power id="7" name="Purge" tile="7" effect_name="deplete attribute" deplete_attribute_name="poisoned" end_turn="yes"
         cost="1" cost_attribute_name="mana" sound="heal" success_message="Purged."/>
  <power id="8" name="Heal" tile="8" effect_name="modify attribute" modify_attribute_name="hit_points" end_turn="yes"
         effect_strength="5" cooldown="3" success_message="Healed [power_strength]."/>
  <power id="9" name="Slow" tile="9" effect_name="apply effect to monster" monster_effect="slowed" class="magic"
         range="2" end_turn="yes" sound="frost" success_message="Slowed."/>
  <power id="10" name="Sleep" tile="10" effect_name="apply effect to monster" monster_effect="sleep" class="mind"
         range="2" end_turn="yes" sound="sleep" success_message="Asleep."/>
  <power id="11" name="Jam" tile="11" effect_name="transform field" class="door" field_effect="unlock" range="1"
         end_turn="yes" success_attribute_name="magic" success_bonus="-100" failure_sound="failure"
         failure_message="Jammed."/>
</powers>
)";

// The fixture game with these powers, monsters of three kinds (guardians
// that never walk unless slowed) and the character at (5, 5).
void write_power_game(const TempGameFolder& folder, const std::string& character_abilities,
                      const std::string& map_elements) {
    write_fixture_game(folder);
    folder.copy_shipped("sound");
    folder.copy_shipped("data");  // the game's messages; the other data files are the fixture's
    folder.write("data\\items.xml", "<items/>");
    folder.write("data\\abilities.xml", R"(<abilities>
  <ability id="1" name="hit_points" depletable="yes" attribute_start_value="20"/>
  <ability id="2" name="movement" movement="yes" attribute_start_value="3"/>
  <ability id="3" name="mana" depletable="yes" attribute_start_value="10"/>
  <ability id="4" name="magic" attribute_start_value="50"/>
  <ability id="5" name="damage" attribute_start_value="2"/><ability id="6" name="sneaking"/><ability id="7" name="poisoned"/>
</abilities>)");
    folder.write("data\\monster.xml", R"(<monsters><monster id="1" name="Rat" class="animal" hitpoints="4"/>
  <monster id="2" name="Imp" class="demon" immune="fire|magic" hitpoints="6"/>
  <monster id="3" name="Ghoul" class="undead" resistance="fire|mind" hitpoints="10"/></monsters>)");
    folder.write("data\\powers.xml", kPowers);
    folder.write_png("graphics\\powers.png", 256, 96, [](int x, int y) { return power_icon_colour(y / 32 * 8 + x / 32); });
    std::string tiles = saved_file("tilesets\\test_tiles.xml");
    tiles.insert(tiles.find("</tileset>"), R"(<tile_type id="3" name="door" solid="yes" class="door|wood" transforms_into="5"/>
  <tile_type id="5" name="open door" class="open_door"/><tile_type id="7" name="fountain" class="fountain|spring"/>)");
    folder.write("tilesets\\test_tiles.xml", tiles);
    write_saved_game(folder, 5, 5, 1);
    std::string character = saved_file("savegame\\character.xml");
    folder.write("savegame\\character.xml", character.replace(character.find("/>"), 2, ">" + character_abilities + "</character>"));
    std::string map = saved_file("savegame\\map_start.xml");
    folder.write("savegame\\map_start.xml", map.insert(map.find("</map>"), map_elements));
}

std::string monster(int type, int x, int y, const std::string& extra = "") {
    return "<monster type=\"" + n(type) + "\" xpos=\"" + n(x) + "\" ypos=\"" + n(y) + "\" hitpoints=\"" +
           n(type == 1 ? 4 : type * 3) + "\"" + extra + "/>";
}
std::string field(int x, int y, int tile, const std::string& extra = "") {
    return "<field x=\"" + n(x) + "\" y=\"" + n(y) + "\"" + extra + ">" + n(tile) + "</field>";
}
std::string ability(int id, int current, int max) {
    return "<ability id=\"" + n(id) + "\" attribute_current_value=\"" + n(current) + "\" attribute_max_value=\"" + n(max) + "\"/>";
}

// Keys on the virtual clock from t on: U, the moves to the power's grid cell
// and Return, then the keys of the target choice, then a pause for the
// power's animations and the monsters' turn.
void use(uint32_t& t, int power, const std::vector<int>& target_keys = {}, uint32_t pause = 3000) {
    std::vector<int> keys(static_cast<size_t>((power - 1) % 6), key::right);
    keys.insert(keys.end(), static_cast<size_t>((power - 1) / 6), key::down);
    keys.push_back(key::ret);
    keys.insert(keys.end(), target_keys.begin(), target_keys.end());
    tap(t, key::u);
    for (int code : keys) tap(t += 150, code);
    t += pause;
}
// The keys that move the target cursor from the character's cell onto (dx, dy), and Return.
std::vector<int> aim(int dx, int dy) {
    std::vector<int> keys(static_cast<size_t>(std::abs(dx)), dx > 0 ? key::right : key::left);
    keys.insert(keys.end(), static_cast<size_t>(std::abs(dy)), dy > 0 ? key::down : key::up);
    keys.push_back(key::ret);
    return keys;
}
// Escape saves and returns to the menu; Escape there ends the program.
void leave(uint32_t t) {
    tap(t, key::escape);
    tap(t + 600, key::escape);
}

std::vector<std::string> g_messages;
void record_messages() {
    g_messages.clear();
    headless::on_flip([] {
        const StatusMessage& m = g_common.status_message;
        const std::string text = m.second_text.empty() ? m.text : m.text + " / " + m.second_text;
        if (!m.text.empty() && (g_messages.empty() || g_messages.back() != text)) g_messages.push_back(text);
    });
}

long played(const std::string& name) {
    return std::count_if(headless::played_sounds().begin(), headless::played_sounds().end(),
                         [&](const headless::PlayedSound& s) { return file_part(s.file) == name + ".ogg"; });
}

// The saved game read back, and its monsters as "type@x,y:hit points:status(:alerted)".
std::vector<std::string> saved_monsters() {
    load_character(hero(), "savegame\\character.xml");
    load_map(g_map.map, "savegame\\map_start.xml");
    std::vector<std::string> seen;
    for (const Monster& m : g_map.monsters)
        seen.push_back(n(m.type) + "@" + n(m.x) + "," + n(m.y) + ":" + n(m.hitpoints) + ":" + m.status +
                       (m.alerted ? ":alerted" : ""));
    return seen;
}

bool whitish(Colour c) { return (c & 255) > 200 && (c >> 8 & 255) > 200 && (c >> 16 & 255) > 200; }

}  // namespace

TEST(PowerScenario, ABoltKillsARatAndAStormSweepsTheViewByEachMonstersResistance) {
    TempGameFolder folder;
    write_power_game(folder, "",
                     monster(1, 8, 5) + monster(2, 5, 8) + monster(3, 3, 3) + monster(1, 11, 5) + monster(1, 12, 5));
    // The power grid (Storm's picture beside the cursor, an empty cell last), the cursors, the blow.
    int grid = 0, grid_cursor = 0, target_cursor = 0, blood = 0, digits = 0;
    std::vector<std::string> reports;
    headless::on_flip([&] {
        const std::string& text = g_common.status_message.text;
        if (!text.empty() && (reports.empty() || reports.back() != text)) reports.push_back(text);
        if (shown_screen_pixel(471, 37) == power_icon_colour(2) && shown_screen_pixel(599, 197) == power_icon_colour(0)) {
            ++grid;
            grid_cursor += shown_screen_pixel(439, 37) != power_icon_colour(1);
        }
        const Colour at_rat = shown_screen_pixel(9 * 32 + 1, 6 * 32 + 1);  // the rat at (8, 5)
        if (at_rat == BLOOD) {
            ++blood;
            for (int i = 0; i < 32 * 32; ++i) digits += whitish(shown_screen_pixel(288 + i % 32, 192 + i / 32));
        } else if (!blood && (at_rat & 255) > 150 && (at_rat >> 16 & 255) < 150 && at_rat != RGB(255, 160, 0)) {
            ++target_cursor;  // yellow over the rat's picture, not the missile
        }
    });
    tap(300, key::ret);
    uint32_t t = 1000;
    use(t, BOLT, {key::ret});               // at the character's own field: nothing
    use(t, BOLT, {key::right, key::escape});  // cancelled
    use(t, BOLT, aim(3, 0));
    use(t, STORM, {}, 5000);
    leave(t);
    play_session();

    EXPECT_GT(grid * grid_cursor * target_cursor * blood, 0);
    EXPECT_GT(digits, 0);
    // The bolt killed the rat at (8, 5); the storm killed the one at (11, 5), did
    // nothing to the immune imp, half to the resistant ghoul, and did not reach
    // beyond the view. Nobody woke up.
    EXPECT_EQ(saved_monsters(), (std::vector<std::string>{"2@5,8:6:", "3@3,3:7:", "1@12,5:4:"}));
    EXPECT_EQ(hero().abilities[MANA].attribute_current_value, 10 - 2 * 2 - 1)
        << "every bolt that went off is paid; the cancelled one is given back";
    EXPECT_EQ(played("hit"), 1 + 3);
    // Each blow of a power names its monster; a bolt at a field without a monster says so.
    EXPECT_EQ(reports, (std::vector<std::string>{"There is no monster there.", "Your Bolt kills the Rat (10 damage).",
                                                 "Your Storm does the Imp no harm.", "Your Storm hits the Ghoul: 2 damage.",
                                                 "Your Storm kills the Rat (5 damage)."}));
}

TEST(PowerScenario, FieldPowersOpenADoorRuinAnotherAndDrawFromAFountainOnce) {
    TempGameFolder folder;
    // Both doors say they are locked, in words with the door's picture; the well has a sign of its own.
    const std::string locked = " message_line1=\"Locked.\" message_tile=\"" + n(DOOR_TILE) + "\"";
    write_power_game(folder, ability(MANA, 3, 10),
                     field(6, 5, DOOR_TILE, locked) + field(4, 5, DOOR_TILE, locked) +
                         field(5, 6, FOUNTAIN_TILE, " message_line1=\"A well.\" message_tile=\"1\""));
    record_messages();
    tap(300, key::ret);
    uint32_t t = 1000;
    use(t, COMMUNE, {key::ret});                       // nothing here answers, and the power has no words for it
    use(t, UNLOCK, {key::ret});                        // the character's own field: no lock
    use(t, UNLOCK, {key::right, key::right, key::ret});  // range 1: the second move is refused
    use(t, JAM, aim(-1, 0));                           // fails and ruins the lock
    use(t, JAM, aim(-1, 0));                           // ruined: said without words of the power's own
    use(t, UNLOCK, aim(-1, 0));
    use(t, UNLOCK);                                    // no mana left
    use(t, COMMUNE, aim(0, 1));
    use(t, COMMUNE);                                   // cooling down
    use(t, UNLOCK, {key::escape});                     // cancelled: given back, the turn goes on
    tap(t, key::u);
    tap(t + 300, key::escape);                         // leaves the power screen, not the game
    tap(t += 1000, key::e);                            // two turns of waiting end the cooldown
    tap(t += 1000, key::e);
    use(t += 1000, COMMUNE, aim(0, 1));
    leave(t);
    play_session();

    EXPECT_EQ(g_messages, (std::vector<std::string>{"There is nothing here for this power.", "No lock here.", "Unlocked.",
                                                    "Jammed.", "This power has already been used here.", "This lock is ruined.",
                                                    "Not enough mana! / You cannot use this power now.", "Up to 4 mana.",
                                                    "This power needs 2 more turns to recover.", "Dry."}));
    saved_monsters();
    EXPECT_EQ(std::vector<int>({read_map_tile_type(g_map.map, 6, 5), read_map_tile_type(g_map.map, 4, 5)}),
              std::vector<int>({OPEN_DOOR_TILE, DOOR_TILE}));
    EXPECT_EQ(read_map_power_used(g_map.map, 6, 5) + read_map_power_used(g_map.map, 4, 5) +
                  read_map_power_used(g_map.map, 5, 6) + read_map_power_used(g_map.map, 5, 5),
              "unlockunlockcommune");
    EXPECT_EQ(hero().abilities[MANA].attribute_current_value, 3 - 3 + 4) << "the cancelled Unlock is given back";
    // The opened door no longer says it is locked; the ruined one still does, and the well keeps its sign.
    EXPECT_EQ(read_map_message_line1(g_map.map, 6, 5) + "|" + read_map_message_line1(g_map.map, 4, 5) + "|" +
                  read_map_message_line1(g_map.map, 5, 6),
              "|Locked.|A well.");
    EXPECT_EQ(hero().cooldown[COMMUNE], 0);
    EXPECT_EQ(played("failure"), 5);
}

TEST(PowerScenario, BoostsTogglesAndCuresChangeTheSavedCharacterAndTheirCooldownsRunWithTheTurns) {
    TempGameFolder folder;
    write_power_game(folder, ability(HIT_POINTS, 15, 20) + ability(POISONED, 4, 4), "");
    record_messages();
    tap(300, key::ret);
    uint32_t t = 1000;
    use(t, SHADOW);  // the turn goes on
    use(t, RAGE);    // +2 damage for 3 + 50 / 25 turns; the turn goes on
    use(t, PURGE);
    use(t, RAGE);    // cooling down: refused before it costs anything
    use(t, HEAL);
    use(t, SHADOW);  // off again
    tap(t, key::u);
    headless::close_request(t + 300);  // the window closes over the power screen: the game ends, saved
    play_session(t + 30000);

    EXPECT_LT(headless::now(), t + 5000);
    EXPECT_EQ(g_messages, (std::vector<std::string>{"Rage!", "Purged.", "This power needs 3 more turns to recover.", "Healed 5."}));
    saved_monsters();
    const CharacterRecord& c = hero();
    EXPECT_FALSE(c.abilities[SNEAKING].activated);
    EXPECT_EQ(c.abilities[DAMAGE].power_adjustment, 2);
    EXPECT_EQ(c.abilities[DAMAGE].adjustment_duration, 5 - 2);
    EXPECT_EQ(c.abilities[DAMAGE].adjustment_name + n(c.abilities[DAMAGE].adjustment_power_id), "Rage3");
    EXPECT_EQ(c.abilities[POISONED].attribute_current_value, 0);
    EXPECT_EQ(c.abilities[HIT_POINTS].attribute_current_value, 20);
    EXPECT_EQ(c.abilities[MANA].attribute_current_value, 10 - 1 - 2 - 1 - 1);
    EXPECT_EQ(std::vector<int>({c.cooldown[RAGE], c.cooldown[HEAL], c.cooldown[SHADOW]}), std::vector<int>({4 - 2, 3 - 1, 2}));
}

TEST(PowerScenario, CursesOnMonstersMeetTheirImmunitiesResistancesAndStatusWords) {
    TempGameFolder folder;
    write_power_game(folder, "",
                     monster(1, 8, 5) + monster(1, 8, 7, " effect=\"slowed\"") + monster(2, 5, 8) +
                         monster(3, 3, 3, " alerted=\"yes\"") + monster(1, 9, 9, " alerted=\"yes\""));
    record_messages();
    script_random({2, 0});  // the only draws of the game: the ghoul's resistance rolls
    tap(300, key::ret);
    uint32_t t = 1000;
    use(t, SLEEP, aim(4, 4));   // the alerted rat at (9, 9) falls asleep
    use(t, SLOW, aim(0, 3));    // the imp is immune
    use(t, SLOW, aim(3, 2));    // this rat is slowed already
    use(t, SLEEP, aim(-2, -2));  // the ghoul resists
    use(t, SLEEP, aim(-2, -2));  // and falls asleep
    use(t, SLOW, aim(3, 0));    // the rat at (8, 5) wakes up slowed and comes one step
    use(t, SLOW, {key::right});
    // The window closes over the target choice: the slow is cancelled, given
    // back, and takes no turn (the rat stays); the game ends, saved.
    headless::close_request(t - 2500);
    play_session(t + 30000);

    EXPECT_LT(headless::now(), t);
    EXPECT_EQ(g_messages, (std::vector<std::string>{"Asleep.", "The monster is immune to this power.",
                                                    "The monster is already affected.", "The monster resists the power.",
                                                    "Asleep.", "Slowed."}));
    EXPECT_EQ(played("failure"), 3);
    EXPECT_EQ(saved_monsters(), (std::vector<std::string>{"1@7,5:4:slowed:alerted", "1@8,7:4:slowed", "2@5,8:6:",
                                                          "3@3,3:9:", "1@9,9:4:"}));
}

// On a map whose walls block sight, a bolt at a rat behind a door finds nothing
// in sight (the mana is paid, the rat unharmed and unalerted), and the storm
// sweeps only the monsters on a clear line; the same map without the option
// lets the bolt through (the first test).
TEST(PowerScenario, WhereWallsBlockSightABoltStopsAtADoorAndTheStormSparesWhatItHides) {
    TempGameFolder folder;
    write_power_game(folder, "", monster(1, 8, 5) + monster(1, 5, 8) + field(7, 5, DOOR_TILE));
    std::string map = saved_file("savegame\\map_start.xml");
    folder.write("savegame\\map_start.xml", map.insert(map.find("<map ") + 5, "walls_block_sight=\"yes\" "));
    record_messages();
    tap(300, key::ret);
    uint32_t t = 1000;
    use(t, BOLT, aim(3, 0));
    use(t, STORM, {}, 5000);
    leave(t);
    play_session();

    EXPECT_EQ(saved_monsters(), (std::vector<std::string>{"1@8,5:4:"}));
    EXPECT_EQ(g_map.map.walls_block_sight, 1) << "the option stays with the saved map";
    EXPECT_EQ(hero().abilities[MANA].attribute_current_value, 10 - 2 - 1);
    EXPECT_EQ(played("hit"), 1);
    EXPECT_EQ(g_messages, (std::vector<std::string>{"There is no monster in sight.", "Your Storm kills the Rat (5 damage)."}));
}
