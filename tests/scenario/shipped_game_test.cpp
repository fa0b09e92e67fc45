// The shipped game data played on the headless backend.
#include <gtest/gtest.h>

#include "character/character_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "shell/main_loop.h"
#include "game/turn_state.h"

TEST(ShippedGame, NewGameStartsOnTheStartMapWalksAndSaves) {
    TempGameFolder folder;
    folder.copy_all_shipped();
    make_folder("savegame");
    tap(300, key::ret);  // no saved game: the first entry starts a new game
    for (uint32_t at : {450u, 550u, 650u}) tap(at, key::ret);  // three picks of the first ability
    int start_x = -1, start_y = -1, game_pictures = 0, framed_pictures = 0;
    headless::on_flip([&] {
        if (g_map.map.filename.empty() || g_shell.loop.overlay) return;
        if (start_x < 0) {
            start_x = g_character_model.character.x;
            start_y = g_character_model.character.y;
        }
        // Every game picture has its frame bars.
        ++game_pictures;
        if (shown_screen_pixel(8, 424) != 0 && shown_screen_pixel(424, 8) != 0) ++framed_pictures;
    });
    hold(800, 1000, key::down);
    hold(1600, 1700, key::right);
    tap(3000, key::escape);
    tap(3600, key::escape);
    play_session();

    EXPECT_GT(game_pictures, 16);
    EXPECT_EQ(framed_pictures, game_pictures);
    EXPECT_EQ(start_x, 2);
    EXPECT_EQ(start_y, 4);
    EXPECT_EQ(g_map.map.filename, "map_start.xml");
    EXPECT_GT(file_size("savegame\\character.xml"), 0);
    EXPECT_GT(file_size("savegame\\map_start.xml"), 0);
    EXPECT_GT(file_size("savegame\\screenshot.jpg"), 0);
    EXPECT_TRUE(headless::message_boxes().empty());
}

TEST(ShippedGame, NewCharacterCarriesFoodADrinkAWeaponArmourAndATorch) {
    TempGameFolder folder;
    folder.copy_all_shipped();
    make_folder("savegame");
    tap(300, key::ret);
    for (uint32_t at : {450u, 550u, 650u}) tap(at, key::ret);  // three picks of the first ability
    // Healing potion, dagger, leather armour, torch, five breads: the armour goes on.
    const int presses[] = {key::i, key::right, key::right, key::ret, key::ret, key::escape, key::escape, key::escape};
    for (int k = 0; k < 8; ++k) tap(1000 + 200 * k, presses[k]);
    play_session();
    const std::string saved = saved_file("savegame\\character.xml");
    EXPECT_NE(saved.find("<item type=\"2\" amount=\"1\"/>\n  <item type=\"9\" amount=\"1\"/>\n  <item type=\"19\" "
                         "amount=\"1\" equipped=\"yes\" selected=\"yes\"/>\n  <item type=\"30\" amount=\"1\" fuel=\"150\"/>\n"
                         "  <item type=\"1\" amount=\"5\"/>"),
              std::string::npos) << saved;
    EXPECT_NE(saved.find("<ability id=\"7\" item_bonus=\"2\"/>"), std::string::npos);  // armour
}
