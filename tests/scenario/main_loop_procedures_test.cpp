// The procedures of the main loop on their own: the end of a turn, what
// follows a step, monster spawning, look-ups by position, fades, saving.
#include <gtest/gtest.h>

#include "character/character_state.h"
#include "items/items_state.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "common/database.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "presentation/presentation_state.h"
#include "game/character_savegame.h"
#include "shell/main_loop.h"
#include "common/common_state.h"
#include "game/turn_state.h"
#include "support/test_game.h"
#include "presentation/view.h"

namespace {

AbilityRecord& ability(int id) { return g_db.abilities[id]; }
AbilityState& state(int id) { return g_character_model.character.abilities[id]; }

void give(int id, const char* name, int value) {
    ability(id).name = name;
    state(id).attribute_current_value = static_cast<int16_t>(value);
    state(id).attribute_max_value = static_cast<int16_t>(value);
}

Monster& place_monster(int type, int x, int y) {
    Monster& m = g_map.monsters.append();
    m.type = static_cast<int16_t>(type);
    m.x = static_cast<int16_t>(x);
    m.y = static_cast<int16_t>(y);
    return m;
}

// A floor map with a wall tile type 4.
void floor_map() {
    fill_map(g_map.map, 1);
    g_map.map.tileset.tile_types[4].solid = 1;
}

}  // namespace

TEST(MainLoopProcedures, EndOfTurnChangesAbilitiesInIdOrder) {
    TempGameFolder folder;
    // Ability 1 changes ability 2 by its value divided by 3, rounded away from zero for positive values.
    give(1, "regeneration", 7);
    ability(1).modify_atribute = 2;
    ability(1).modify_divisor = 3;
    give(2, "hit_points", 10);
    end_of_turn();
    EXPECT_EQ(state(2).attribute_current_value, 13);
    state(1).attribute_current_value = -7;  // (-7 + 2) / 3 truncates to -1
    end_of_turn();
    EXPECT_EQ(state(2).attribute_current_value, 12);
    // A multiplier applies after the divisor; a value of 0 changes nothing.
    ability(1).modify_multiplier = -2;
    state(1).attribute_current_value = 4;  // ceil(4 / 3) = 2, times -2
    end_of_turn();
    EXPECT_EQ(state(2).attribute_current_value, 8);
    state(1).attribute_current_value = 0;
    end_of_turn();
    EXPECT_EQ(state(2).attribute_current_value, 8);

    // change_per_turn applies when Random(99) is below the chance.
    ability(1).modify_atribute = 0;
    ability(2).change_per_turn = -3;
    ability(2).change_per_turn_chance = 30;
    script_random({29});
    end_of_turn();
    EXPECT_EQ(state(2).attribute_current_value, 5);
    script_random({30});
    end_of_turn();
    EXPECT_EQ(state(2).attribute_current_value, 5);
}

TEST(MainLoopProcedures, EndOfTurnExpiresAdjustmentsCooldownsFuelAndRestores) {
    TempGameFolder folder;
    give(3, "strength", 5);
    state(3).power_adjustment = 4;
    state(3).adjustment_duration = 2;
    state(3).adjustment_name = "Battle rage";
    state(3).adjustment_power_id = 7;
    g_character_model.character.cooldown[7] = 2;
    g_character_model.character.cooldown[8] = 0;
    end_of_turn();
    EXPECT_EQ(state(3).adjustment_duration, 1);
    EXPECT_EQ(state(3).power_adjustment, 4);
    EXPECT_EQ(g_character_model.character.cooldown[7], 1);
    end_of_turn();
    EXPECT_EQ(state(3).power_adjustment, 0);
    EXPECT_EQ(state(3).adjustment_duration, 0);
    EXPECT_EQ(state(3).adjustment_name, "");
    EXPECT_EQ(state(3).adjustment_power_id, 0);
    EXPECT_EQ(g_character_model.character.cooldown[7], 0);
    EXPECT_EQ(g_character_model.character.cooldown[8], 0);

    // An equipped torch burns down and goes out; a stack that needs no fuel is left alone.
    g_db.item_types[2].fuel = 100;
    g_db.item_types[2].fuel_consumed_per_turn = 3;
    InventoryEntry& torch = g_items.inventory.append();
    torch.type = 2;
    torch.equipped = 1;
    torch.fuel = 4;
    InventoryEntry& sword = g_items.inventory.append();
    sword.type = 3;
    sword.equipped = 1;
    end_of_turn();
    EXPECT_EQ(g_items.inventory.begin()->fuel, 1);
    EXPECT_EQ(g_shell.loop.burnt_out, 0);
    end_of_turn();
    EXPECT_EQ(g_items.inventory.begin()->fuel, 0);
    EXPECT_EQ(g_items.inventory.begin()->equipped, 0);
    EXPECT_EQ(g_shell.loop.burnt_out, 1);
    EXPECT_EQ(std::next(g_items.inventory.begin())->equipped, 1);

    // An ability restored at the end of every turn is back at its maximum.
    give(4, "movement", 3);
    state(4).attribute_current_value = 0;
    ability(4).restore_at_end_of_turn = true;
    end_of_turn();
    EXPECT_EQ(state(4).attribute_current_value, 3);
}

TEST(MainLoopProcedures, AfterStepChangesPerMoveAndEndsTheTurnBelowTheLimit) {
    TempGameFolder folder;
    g_character_model.character.x = 5;
    g_character_model.character.y = 5;
    give(5, "movement", 2);
    ability(5).movement = true;
    ability(5).change_per_move = -1;
    ability(5).turn_ends_if_lower = 1;
    give(6, "hunger", 10);
    ability(6).change_per_move = 2;
    EXPECT_EQ(movement_total(), 2);
    after_step();
    EXPECT_EQ(state(5).attribute_current_value, 1);
    EXPECT_EQ(state(6).attribute_current_value, 12);
    EXPECT_EQ(g_shell.loop.turn_ended, 0);
    after_step();
    EXPECT_EQ(movement_total(), 0);
    EXPECT_EQ(g_shell.loop.turn_ended, 1);

    // An ability that no step changes ends the turn as well while it is below its limit.
    g_shell.loop.turn_ended = 0;
    state(5).attribute_current_value = 5;
    give(7, "courage", 3);
    ability(7).turn_ends_if_lower = 4;
    after_step();
    EXPECT_EQ(g_shell.loop.turn_ended, 1);
}

TEST(MainLoopProcedures, SpawningPicksATypeOfTheMapLevelOnAFreeField) {
    TempGameFolder folder;
    floor_map();
    set_map_tile_type(g_map.map, 4, 4, 4);
    g_map.map.spawn_monster_chance = 50;
    g_map.map.spawn_monster_level = 2;
    g_db.monster_types[1] = {};
    g_db.monster_types[1].name = "rat";
    g_db.monster_types[1].level = 1;
    g_db.monster_types[3].name = "kobold";
    g_db.monster_types[3].level = 2;
    g_db.monster_types[3].hitpoints = 9;
    g_db.monster_types[5].name = "snake";
    g_db.monster_types[5].level = 2;
    place_monster(1, 6, 7);
    // Chance 50 passes, type 1 has the wrong level, type 3 fits; (4, 4) is a wall, (6, 7) taken.
    script_random({50, 1, 3, 4, 4, 6, 7, 8, 9});
    EXPECT_EQ(spawn_monsters(g_map.map), 1);
    ASSERT_EQ(g_map.monsters.count(), 2);
    const Monster& spawned = *std::next(g_map.monsters.begin());
    EXPECT_EQ(spawned.type, 3);
    EXPECT_EQ(spawned.x, 8);
    EXPECT_EQ(spawned.y, 9);
    EXPECT_EQ(spawned.hitpoints, 9);
    EXPECT_EQ(spawned.alerted, 0);

    script_random({51});
    EXPECT_EQ(spawn_monsters(g_map.map), 0);
    // No type of that level, or no free field: nothing spawns, and nothing hangs.
    g_map.map.spawn_monster_level = 4;
    script_random({0});
    EXPECT_EQ(spawn_monsters(g_map.map), 0);
    g_map.map.spawn_monster_level = 2;
    fill_map(g_map.map, 4);
    script_random({0});
    EXPECT_EQ(spawn_monsters(g_map.map), 0);
    g_map.map.spawn_monster_chance = 0;
    EXPECT_EQ(spawn_monsters(g_map.map), 0);
    EXPECT_EQ(g_map.monsters.count(), 2);

    // Never on the character's own field, where a monster could be neither seen nor attacked.
    fill_map(g_map.map, 1);
    g_map.map.spawn_monster_chance = 50;
    g_character_model.character.x = 3;
    g_character_model.character.y = 3;
    script_random({0, 3, 3, 3, 3, 4});
    EXPECT_EQ(spawn_monsters(g_map.map), 1);
    EXPECT_EQ(std::prev(g_map.monsters.end())->y, 4);
}

TEST(MainLoopProcedures, LookUpsByPosition) {
    TempGameFolder folder;
    floor_map();
    set_map_tile_type(g_map.map, 3, 3, 4);
    g_map.map.tile_outside_map = 4;
    EXPECT_EQ(field_blocked(g_map.map, 3, 3), 1);
    EXPECT_EQ(field_blocked(g_map.map, 3, 4), 0);
    EXPECT_EQ(field_blocked(g_map.map, -1, 4), 1);
    EXPECT_EQ(field_blocked(g_map.map, 4, 50), 1);
    g_map.map.tile_outside_map = 1;
    EXPECT_EQ(field_blocked(g_map.map, 50, 4), 0);
    g_map.map.tile_outside_map = 600;  // no tile type can stand there
    EXPECT_EQ(field_blocked(g_map.map, 50, 4), 1);

    place_monster(2, 5, 5);
    Monster& second = place_monster(3, 5, 5);
    g_map.monsters.select(0);
    EXPECT_EQ(monster_at(5, 5), 1);
    EXPECT_EQ(monster_at(5, 6), 0);
    EXPECT_EQ(g_map.monsters.index(), 0);  // the current element stays
    EXPECT_EQ(monster_alerted_at(5, 5), 0);
    second.alerted = 1;
    EXPECT_EQ(monster_alerted_at(5, 5), 1);
    EXPECT_EQ(alert_monsters_at(6, 6), 0);
    EXPECT_EQ(alert_monsters_at(5, 5), 1);
    EXPECT_EQ(g_map.monsters.begin()->alerted, 1);

    DungeonRecord& exit = g_map.level_exits.append();
    exit.name = "Crypt";
    exit.xpos = 9;
    exit.ypos = 8;
    EXPECT_EQ(level_exit_at(9, 8), 1);
    EXPECT_EQ(level_exit_at(8, 9), 0);
    set_map_portal(g_map.map, 2, 2, "map_crypt.xml", 4, 4);
    EXPECT_EQ(portal_at(g_map.map, 2, 2), 1);
    EXPECT_EQ(portal_at(g_map.map, 2, 3), 0);

    g_character_model.character.frame = 0;
    toggle_walk_frame();
    EXPECT_EQ(g_character_model.character.frame, 1);
    toggle_walk_frame();
    EXPECT_EQ(g_character_model.character.frame, 0);
}

TEST(MainLoopProcedures, SneakingPastAMonster) {
    TempGameFolder folder;
    g_common.messages[42] = "Noticed!";
    g_common.messages[43] = "Slipped past.";
    Monster& m = place_monster(2, 3, 3);
    script_random({39});
    EXPECT_EQ(sneak_past_monster(3, 3, 40), 1);
    EXPECT_EQ(g_common.status_message.text, "Slipped past.");
    EXPECT_EQ(m.alerted, 0);
    script_random({40});
    EXPECT_EQ(sneak_past_monster(3, 3, 40), 0);
    EXPECT_EQ(g_common.status_message.text, "Noticed!");
    EXPECT_EQ(g_common.status_message.duration, 2000u);
    EXPECT_EQ(m.alerted, 1);
    // An alerted monster always notices.
    script_random({0});
    EXPECT_EQ(sneak_past_monster(3, 3, 40), 0);
}

TEST(MainLoopProcedures, StepOntoAMonsterIsBlockedAndEndsTheTurn) {
    TempGameFolder folder;
    floor_map();
    g_character_model.character.x = 5;
    g_character_model.character.y = 5;
    place_monster(2, 6, 5);
    Step step;
    step.dx = 1;
    const StepOutcome outcome = attempt_step(g_map.map, step);
    EXPECT_EQ(g_character_model.character.x, 5);
    EXPECT_EQ(g_shell.loop.blocked, 1);
    EXPECT_TRUE(outcome.turn_ended);
    EXPECT_FALSE(outcome.moved);
    EXPECT_EQ(g_shell.loop.redraw, 1);
}

TEST(MainLoopProcedures, FadesDrawTheirFramesFromDarkAndToDark) {
    TempGameFolder folder;
    sprite_create(150, 32, 32);
    draw_start(150);
    draw_box(0, 0, 32, 32, RGB(200, 200, 200));
    draw_stop();
    sprite_create(sprite::map_dark, 416, 416);
    draw_start(sprite::map_dark);
    draw_box(0, 0, 416, 416, RGB(1, 1, 1));
    draw_stop();
    g_map.map.tileset.sprite = 150;
    g_map.map.tileset.tiles_wide = 1;
    g_map.map.lighting = 8;
    int flips = headless::flip_count();
    fade_out(g_map.map);
    EXPECT_EQ(headless::flip_count() - flips, 51);
    EXPECT_EQ(shown_screen_pixel(10, 10), RGB(4, 4, 4));  // (200 * 4 + 1 * 251) / 255
    flips = headless::flip_count();
    fade_in(g_map.map);
    EXPECT_EQ(headless::flip_count() - flips, 52);
    EXPECT_EQ(shown_screen_pixel(10, 10), RGB(200, 200, 200));
}

TEST(MainLoopProcedures, SavegameDeletionAndProgramEnd) {
    TempGameFolder folder;
    folder.write("savegame\\character.xml", "<character/>");
    folder.write("savegame\\map_start.xml", "<map/>");
    folder.write("savegame\\LEVEL_2.XML", "<map/>");
    folder.write("savegame\\screenshot.jpg", "jpeg");
    delete_savegame();
    EXPECT_FALSE(file_exists("savegame\\character.xml"));
    EXPECT_FALSE(file_exists("savegame\\map_start.xml"));
    EXPECT_FALSE(file_exists("savegame\\LEVEL_2.XML"));
    EXPECT_TRUE(file_exists("savegame\\screenshot.jpg"));

    // Without a character file program end saves nothing ...
    g_map.map.filename = "map_start.xml";
    g_map.map.name = "Meadow";
    save_at_program_end();
    EXPECT_FALSE(file_exists("savegame\\map_start.xml"));
    EXPECT_FALSE(file_exists("savegame\\character.xml"));
    // ... with one it saves the map and the character.
    folder.write("savegame\\character.xml", "<character/>");
    g_character_model.character.x = 12;
    g_character_model.character.map_file_name = "map_start.xml";
    save_at_program_end();
    std::string map, character;
    ASSERT_TRUE(read_whole_file("savegame\\map_start.xml", map));
    ASSERT_TRUE(read_whole_file("savegame\\character.xml", character));
    EXPECT_NE(map.find("Meadow"), std::string::npos);
    EXPECT_NE(character.find("xpos=\"12\""), std::string::npos);
}
