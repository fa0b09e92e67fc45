#include "scenario/scenario_support.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/files.h"
#include "platform/headless.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

// A PNG of cells of 32 x 32, cell k in colour(k) (black stays see-through).
template <typename ColourOf>
void write_png(const TempGameFolder& folder, const std::string& path, int width, int height, ColourOf colour_of,
               int cell = 32) {
    const int columns = std::max(1, width / cell);
    folder.write_png(path, width, height,
                     [&](int x, int y) { return static_cast<Colour>(colour_of((y / cell) * columns + x / cell)); });
}

void write_graphics(const TempGameFolder& folder) {
    auto plain = [](Colour c) { return [c](int) { return c; }; };
    write_png(folder, "graphics\\characters.png", 256, 32, [](int k) { return RGB(230, 230, 40 + 20 * k); });
    write_png(folder, "graphics\\frame.png", 192, 16, [](int k) { return RGB(150, 110, 20 + 10 * k); }, 16);
    write_png(folder, "graphics\\abilities.png", 256, 128, plain(RGB(90, 90, 200)));
    write_png(folder, "graphics\\splash.png", 200, 60, plain(RGB(250, 220, 120)));
    write_png(folder, "graphics\\monster.png", 256, 128, plain(RGB(120, 60, 160)));
    write_png(folder, "graphics\\mousepointer.png", 16, 16, plain(RGB(255, 255, 255)));
    write_png(folder, "graphics\\blood.png", 32, 32, plain(RGB(140, 0, 0)));
    write_png(folder, "graphics\\powers.png", 256, 96, plain(RGB(60, 160, 160)));
    write_png(folder, "graphics\\cursor.png", 32, 32, plain(RGB(255, 255, 0)));
    write_png(folder, "graphics\\starsprites.png", 45, 72, plain(RGB(200, 200, 255)));
    write_png(folder, "graphics\\missiles.png", 192, 32, plain(RGB(255, 160, 0)));
    // Light overlays all see-through: the made-up maps are fully lit anyway.
    for (int n = 1; n <= 7; ++n)
        write_png(folder, "graphics\\light" + std::to_string(n) + ".png", 416, 416, plain(RGB(0, 0, 0)));
    write_png(folder, "graphics\\items.png", 256, 192, plain(RGB(180, 140, 60)));
    write_png(folder, "graphics\\fx.png", 320, 32, plain(RGB(60, 200, 60)));
    write_png(folder, "tilesets\\test_tiles.png", 128, 64, [](int k) { return fixture_tile_colour(k); });
}

// The shipped texts of what happens in play (ids 100..199), as message elements.
std::string shipped_play_messages() { return shipped_messages("100..199"); }

}  // namespace

std::string shipped_messages(const std::string& range) {
    std::ifstream file(std::string(UMBRANE_SOURCE_DIR) + "/game/data/messages.xml");
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string first = "<!-- " + range, last = "<!-- end of " + range + " -->";
    const size_t from = all.find(first), to = all.find(last);
    if (from == std::string::npos || to == std::string::npos) throw std::runtime_error("no texts " + range + " shipped");
    return all.substr(from, to - from);
}

void write_fixture_game(const TempGameFolder& folder, const FixtureOptions& o) {
    folder.write("config\\preferences.xml",
                 std::string("<Umbrane_Preferences Umbrane_version=\"0.1.0\" fullscreen=\"") +
                     (o.fullscreen ? "yes" : "no") +
                     "\" message_delay=\"0\" DDD_effects=\"no\" fade_effect=\"yes\" language=\"English\"/>\n");
    folder.write("data\\messages.xml", R"(<messages Umbrane_version="0.1.0">
  <message id="29"><text language="English">New game</text></message>
  <message id="30"><text language="English">Continue</text></message>
  <message id="31"><text language="English">Quit</text></message>
  <message id="42"><text language="English">You have been noticed!</text></message>
  <message id="43"><text language="English">You slip past.</text></message>
)" + shipped_play_messages() + o.messages + "</messages>\n");
    folder.write("data\\abilities.xml",
                 "<abilities>\n"
                 "  <ability id=\"1\" name=\"hit_points\" depletable=\"yes\" attribute_start_value=\"" +
                     std::to_string(o.hit_points) + "\" change_per_move=\"" + std::to_string(o.hp_per_move) +
                     "\" change_per_turn=\"" + std::to_string(o.hp_per_turn) +
                     "\" change_per_turn_chance=\"100\" game_ends=\"lower\" game_ends_val=\"1\" game_ends_message=\"You wasted away.\"/>\n"
                     "  <ability id=\"2\" name=\"movement\" movement=\"yes\" attribute_start_value=\"" +
                     std::to_string(o.movement) + "\"/>\n" + o.abilities + "</abilities>\n");
    folder.write("data\\monster.xml", "<monsters/>\n");
    folder.write("data\\powers.xml", "<powers>" + o.powers + "</powers>\n");
    folder.write("data\\items.xml", "<items>" + o.items + "</items>\n");
    folder.write("tilesets\\test_tiles.xml", R"(<tileset>
  <tile_type id="1" name="grass"/>
  <tile_type id="4" name="wall" solid="yes"/>
  <tile_type id="6" name="mark"/>
)" + o.tile_types + "</tileset>\n");
    folder.write("maps\\map_start.xml",
                 R"(<map Umbrane_version="0.1.0" name="Fixture Meadow" tileset_definition_filename="test_tiles.xml"
     tileset_image_filename="test_tiles.png" tile_outside_map="4" default_tile="1" background_tile="1" lighting="8">
  <field x="2" y="3">4</field>
  <field x="7" y="6">6</field>
)" + o.start_map + "</map>\n");
    write_graphics(folder);
    make_folder("savegame");
}

void write_saved_game(const TempGameFolder& folder, int x, int y, int facing) {
    folder.write("savegame\\character.xml",
                 "<character Umbrane_version=\"0.1.0\" name=\"\" xpos=\"" + std::to_string(x) + "\" ypos=\"" +
                     std::to_string(y) + "\" facing=\"" + std::to_string(facing) +
                     "\" frame=\"0\" map_filename=\"map_start.xml\" inventory_cursor_x=\"0\" "
                     "inventory_cursor_y=\"0\"/>\n");
    std::string map;
    read_whole_file("maps\\map_start.xml", map);
    folder.write("savegame\\map_start.xml", map);
}

void play_session(uint32_t deadline_ms) {
    headless::set_deadline(deadline_ms);
    startup();
    run_main_loop();
}

void tap(uint32_t at_ms, int code, uint32_t hold_ms) { headless::key_tap(at_ms, code, hold_ms); }

void hold(uint32_t from_ms, uint32_t until_ms, int code) {
    headless::key_down(from_ms, code);
    headless::key_up(until_ms, code);
}

void new_game_without_picks(uint32_t at_ms) {
    tap(at_ms, key::ret);
    tap(at_ms + 150, key::escape);
}

std::string saved_file(const std::string& logical_path) {
    std::string content;
    if (!read_whole_file(logical_path, content)) return "";
    return content;
}
