// What entering a field does: the tile's slots, its sound, message and
// removal, and the items lying there.
#include <gtest/gtest.h>

#include <vector>

#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/database.h"
#include "map/field_effects.h"
#include "map/map_grid.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "support/test_game.h"

namespace {

constexpr int HP = 1, ARMOUR = 2, TILE = 20, X = 5, Y = 6;
// Flags of a slot: randomized, reduced by armour (7), replenish, trigger_hidden, turn_ends.
enum : int { R = 1, A = 2, P = 4, H = 8, T = 16 };
struct Slot {
    int attribute, amount, flags = 0;
};

}  // namespace

TEST(FieldEffects, EachSlotRuleAndTheItemsLyingThere) {
    TempGameFolder game;
    game.copy_shipped("sound");
    g_common.sounds[1] = {"trap", sound_load("sound\\trap.ogg")};
    g_db.abilities[HP].display_name = "Life";
    g_db.abilities[HP].depletable = true;
    AbilityState& hp = g_character_model.character.abilities[HP];
    g_character_model.character.abilities[ARMOUR].attribute_current_value = 7;
    g_character_model.character.x = X;
    g_character_model.character.y = Y;
    g_map.map.background_tile = 1;
    g_common.messages[26] = "An item";
    g_common.messages[27] = "Items";
    TileType& tile = g_map.map.tileset.tile_types[TILE];

    struct Case {
        const char* what;
        std::vector<Slot> slots;
        int hp, draw;  // hit points before (of 20); the scripted Random draw, -1 for none
        bool hidden;
        int expected_hp, turn_ends;
        const char* text;  // second line of the tile's message; nullptr: nothing applied
    };
    for (const Case& c : std::vector<Case>{
             {"hidden, no trigger_hidden: nothing at all", {{HP, -5, T}}, 20, -1, true, 20, 0, nullptr},
             {"hidden, trigger_hidden", {{HP, -5, H | T}}, 20, -1, true, 15, 1, "Life - 5"},
             {"-5 randomized, lowest", {{HP, -5, R}}, 20, 0, false, 19, 0, "Life - 1"},
             {"-5 randomized, highest", {{HP, -5, R}}, 20, 4, false, 15, 0, "Life - 5"},
             {"+5 randomized", {{HP, 5, R}}, 10, 2, false, 13, 0, "Life + 3"},
             {"+1 randomized is 1", {{HP, 1, R}}, 10, -1, false, 11, 0, "Life + 1"},
             {"-5 less armour 7: no change, yet applied", {{HP, -5, A}}, 20, -1, false, 20, 0, ""},
             {"+3 less armour 7 stays 0", {{HP, 3, A}}, 10, -1, false, 10, 0, ""},
             {"a change of 0 keeps the slot before", {{HP, -2}, {HP, -5, A}}, 20, -1, false, 18, 0, "Life - 2"},
             {"hidden, turn_ends alone", {{0, 0, H | T}}, 20, -1, true, 20, 1, nullptr},
             {"attribute 0, amount 0: nothing applies", {{0, -5}, {HP, 0}}, 20, -1, false, 20, 0, nullptr},
             {"turn_ends without an attribute", {{0, 0, T}}, 20, -1, false, 20, 1, nullptr},
             {"replenish below the maximum", {{HP, 0, P}}, 10, -1, false, 20, 0, ""},
             {"replenish at the maximum", {{HP, 0, P}}, 20, -1, false, 20, 0, nullptr},
             {"the last slot's text", {{HP, -2}, {HP, 4}, {0, 0}}, 10, -1, false, 12, 0, "Life + 4"}}) {
        SCOPED_TRACE(c.what);
        tile = {};
        tile.message = "Ouch";
        tile.sound = "trap";
        tile.remove_after_entering = 1;
        for (size_t k = 0; k < c.slots.size(); ++k) {
            TileModifyAttribute& m = tile.modify_attribute[k];
            const Slot& s = c.slots[k];
            m.attribute = static_cast<int16_t>(s.attribute);
            m.amount = static_cast<int16_t>(s.amount);
            m.amount_randomized = (s.flags & R) != 0;
            m.amount_reduced_by_ability = (s.flags & A) ? ARMOUR : 0;
            m.replenish = (s.flags & P) != 0;
            m.trigger_hidden = (s.flags & H) != 0;
            m.turn_ends = (s.flags & T) != 0;
        }
        set_map_tile_type(g_map.map, X, Y, TILE);
        set_map_hidden(g_map.map, X, Y, c.hidden);
        hp.attribute_max_value = 20;
        hp.attribute_current_value = static_cast<int16_t>(c.hp);
        recalculate_adjustments();
        g_common.status_message = {};
        const size_t sounds = headless::played_sounds().size();
        script_random(c.draw < 0 ? std::vector<int>{} : std::vector<int>{c.draw});

        EXPECT_EQ(field_effects(), c.turn_ends);
        EXPECT_EQ(hp.attribute_current_value, c.expected_hp);
        const bool applied = c.text != nullptr;
        EXPECT_EQ(std::tie(g_common.status_message.text, g_common.status_message.second_text),
                  std::tuple(applied ? "Ouch" : "", applied ? c.text : ""));
        EXPECT_EQ(headless::played_sounds().size() - sounds, applied ? 1u : 0u);
        EXPECT_EQ(read_map_tile_type(g_map.map, X, Y), applied ? 1 : TILE);  // removed only when applied
        // A hidden field that acted (changed something or ended the turn) is found.
        EXPECT_EQ(read_map_hidden(g_map.map, X, Y), c.hidden && !applied && !c.turn_ends);
    }

    // A field that hurts (lowers what blows lower) without a message of its own names itself.
    g_common.messages[msg::FIELD_HURTS] = "The [field] hurts.";
    g_db.abilities[HP].modify_per_point_of_damage = -1;
    tile = {};
    tile.name = "Bramble";
    tile.modify_attribute[0].attribute = HP;
    tile.modify_attribute[0].amount = -3;
    set_map_tile_type(g_map.map, X, Y, TILE);
    field_effects();
    EXPECT_EQ(std::tie(g_common.status_message.text, g_common.status_message.second_text),
              std::tuple("The Bramble hurts.", "Life - 3"));

    // The items lying there are named on every entering, after the tile's message.
    g_db.item_types[3].name = "Bread";
    g_db.item_types[4].name = "Torch";
    g_db.item_types[4].tile = 9;
    g_map.items.append() = {.x = X, .y = Y, .type = 3};
    g_map.items.append() = {.x = X + 1, .y = Y, .type = 4};
    field_effects();
    EXPECT_EQ(std::tie(g_common.status_message.text, g_common.status_message.second_text), std::tuple("An item:", "Bread"));
    g_map.items.append() = {.x = X, .y = Y, .type = 4};
    field_effects();
    const StatusMessage& m = g_common.status_message;
    EXPECT_EQ(std::tie(m.text, m.second_text, m.icon_number, m.icon_kind), std::tuple("Items:", "Bread, Torch", 9, 1));
}
