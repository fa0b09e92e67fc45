// The checksum of the state after a turn: a change of the game's state shows
// in the part it belongs to and in no other; what only the pictures keep
// (cursors, the walking frame, the inventory's selection) shows nowhere.
#include <functional>
#include <string>
#include <vector>

#include "character/character_state.h"
#include "game/state_checksum.h"
#include "items/items_state.h"
#include "map/map_state.h"
#include "support/test_game.h"

TEST(StateChecksum, AChangeShowsInItsOwnPartOnly) {
    TempGameFolder game;
    g_map.monsters.append() = Monster{2, 5, 5, 10, 0, 0, 0, ""};
    g_map.items.append() = MapItem{3, 3, 7, 1, 0, 0, 0, 0};
    g_items.inventory.append() = InventoryEntry{4, 1, 0, 0, 0, 0};
    CharacterRecord& c = g_character_model.character;
    struct Case {
        std::string what;
        std::function<void()> change;
        int part;  // -1: no part changes
    };
    const std::vector<Case> cases = {
        {"hit points", [&] { c.abilities[1].attribute_current_value -= 3; }, 0},
        {"a step", [&] { c.x += 1; }, 0},
        {"a cooldown", [&] { c.cooldown[200] = 2; }, 0},
        {"a field's tile", [] { g_map.map.fields[49][49].tile_type = 9; }, 1},
        {"a field seen", [] { g_map.map.fields[0][17].seen = 1; }, 1},
        {"a monster's blow taken", [] { g_map.monsters.begin()->hitpoints = 4; }, 2},
        {"a monster alerted", [] { g_map.monsters.begin()->alerted = 1; }, 2},
        {"an item picked up", [] { g_map.items.begin()->amount = 0; }, 3},
        {"an item equipped", [] { g_items.inventory.begin()->equipped = 1; }, 3},
        {"the inventory's cursor", [&] { c.inventory_cursor_x = 3; }, -1},
        {"the walking frame", [&] { c.frame = 1; }, -1},
        {"the pick-up screen's marks", [] { g_map.items.begin()->marked = 1; }, -1},
    };
    for (const Case& k : cases) {
        const StateChecksum before = state_checksum();
        k.change();
        const StateChecksum after = state_checksum();
        for (int part = 0; part < kStatePartCount; ++part)
            EXPECT_EQ(before[part] != after[part], part == k.part) << k.what << ": " << state_part_name(part);
    }
    EXPECT_EQ(std::string(state_part_name(2)), "the monsters");
}
