// The rules of carried items: stacking, the starting equipment, taking and
// dropping pieces, equipping with limits and swaps, bonuses, fuel and use.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/database.h"
#include "items/inventory.h"
#include "platform/random.h"
#include "support/test_game.h"

namespace {

enum { BREAD = 1, TORCH, RING, SHIELD, STAFF, RUNE };
enum { HP = 1, LIGHT, DEFENCE };
using Rows = std::vector<std::vector<int>>;

struct Inventory : ::testing::Test {
    TempGameFolder game;

    // An item type: its class, what it can do, one bonus and up to two unequip classes.
    static ItemType& kind(int id, const std::string& item_class, int equip, int ability, int value, int multiplier = 0,
                          const std::string& unequip1 = "", const std::string& unequip2 = "") {
        ItemType& t = g_db.item_types[id];
        t.name = item_class + "!";
        t.item_class = t.class_name = item_class;
        t.tile = static_cast<int16_t>(id);
        t.can_be_equipped = static_cast<int8_t>(equip);
        t.ability_bonus[id == SHIELD ? 4 : 0] = {static_cast<int16_t>(ability), "", static_cast<int16_t>(value),
                                                 static_cast<int8_t>(multiplier)};
        t.unequip[0] = unequip1;
        t.unequip[3] = unequip2;  // a gap in the list is no end of it
        return t;
    }
    void SetUp() override {
        for (int id : {HP, LIGHT, DEFENCE}) g_db.abilities[id].name = "a" + std::to_string(id);
        kind(BREAD, "food", 0, HP, 5);
        ItemType& torch = kind(TORCH, "light", 1, LIGHT, 2, 0, "light");
        torch.fuel = 3;
        torch.fuel_consumed_per_turn = 1;
        ItemType& ring = kind(RING, "ring", 1, DEFENCE, 1, 2);
        ring.class_name = "finger ring";
        ring.equipment_limit = 2;
        ring.artefact = 1;
        kind(SHIELD, "shield", 1, DEFENCE, 10, 0, "shield", "two-handed");
        kind(STAFF, "two-handed", 1, 0, 0, 0, "two-handed", "shield");
        ItemType& rune = kind(RUNE, "rune", 0, HP, 1);
        rune.use_name = "Invoke";
        rune.fuel = 3;
        rune.fuel_consumed_per_use = 5;
        g_common.messages[20] = "No more than [limit] of [item_class]. [limit]!";
    }
    static void carry(const Rows& rows) {  // type, amount, fuel, equipped, magic bonus
        for (const std::vector<int>& r : rows)
            g_items.inventory.append() = InventoryEntry{static_cast<int16_t>(r[0]), static_cast<int16_t>(r[1]),
                                                        static_cast<int16_t>(r[2]), static_cast<int8_t>(r[3]), 0,
                                                        static_cast<int16_t>(r[4])};
    }
    static InventoryEntry& at(int index) { return *std::next(g_items.inventory.begin(), index); }
    static void select(int index) {
        for (InventoryEntry& e : g_items.inventory) e.selected = &e == &at(index);
    }
    static Rows contents() {
        Rows rows;
        for (const InventoryEntry& e : g_items.inventory) rows.push_back({e.type, e.amount, e.fuel, e.equipped, e.magic_bonus});
        return rows;
    }
};

TEST_F(Inventory, StackingAndTheStartingEquipment) {
    carry({{TORCH, 3, 3, 0, 0}, {BREAD, 0, 0, 0, 0}});  // the bread came from a map file: one piece
    add_item_to_inventory(TORCH, 5, -1, -1);  // full and no artefact: joins the stack, one piece only
    add_item_to_inventory(TORCH, 2, 1, 0);    // burnt down: a stack of its own
    add_item_to_inventory(BREAD, 1, -1, -1);  // one more piece makes two
    add_item_to_inventory(99, 4, -1, -1);     // no such item type
    script_random({0, 0, 1, 1});
    add_item_to_inventory(RING, 1, -1, -1);  // an artefact draws its bonus: 3
    add_item_to_inventory(RING, 1, -1, -1);  // bonus 1: another entry
    add_item_to_inventory(RING, 1, -1, 3);
    EXPECT_EQ(contents(), (Rows{{TORCH, 4, 3, 0, 0}, {BREAD, 2, 0, 0, 0}, {TORCH, 2, 1, 0, 0}, {RING, 2, 0, 0, 3},
                                {RING, 1, 0, 0, 1}}));

    g_db.item_types[TORCH].starting_equipment = 2;
    g_db.item_types[BREAD].starting_equipment = 1;
    give_starting_equipment();  // the bread's own piece and five more make six
    EXPECT_EQ(contents(), (Rows{{BREAD, 6, 0, 0, 0}, {TORCH, 2, 3, 0, 0}}));
}

TEST_F(Inventory, TakingDroppingAndUsingPieces) {
    carry({{TORCH, 3, 2, 1, 4}, {BREAD, 0, 0, 0, 0}, {RUNE, 1, 3, 0, 0}});
    EXPECT_EQ(take_from_selected(1, 0), 0);  // nothing selected
    select(0);
    EXPECT_EQ(take_from_selected(2, 0), 2);
    drop_selected(3, 7);  // the last piece lies on the field with its fuel and bonus; the entry goes
    EXPECT_EQ(selected_entry(), nullptr);
    select(0);
    drop_selected(4, 7);  // amount 0 is one piece
    Rows lying;
    for (const MapItem& m : g_map.items) lying.push_back({m.x, m.y, m.type, m.amount, m.fuel, m.magic_bonus});
    EXPECT_EQ(lying, (Rows{{3, 7, TORCH, 1, 2, 4}, {4, 7, BREAD, 1, 0, 0}}));
    // The rune's last 3 fuel pay for one more use of 5; then it cannot be used.
    select(0);
    EXPECT_EQ(use_selected(), 0);
    EXPECT_EQ(contents(), (Rows{{RUNE, 1, 0, 0, 0}}));
    EXPECT_FALSE(entry_can_be_used(at(0)));
    EXPECT_EQ(take_from_selected(1, 1), 1);  // the whole stack
    EXPECT_TRUE(g_items.inventory.empty());
}

TEST_F(Inventory, LimitsSwapsBonusesAndFuel) {
    carry({{RING, 1, 0, 1, 2}, {RING, 1, 0, 1, 1}, {RING, 1, 0, 0, 5}, {SHIELD, 1, 0, 1, 0}, {STAFF, 1, 0, 0, 0},
           {TORCH, 1, 2, 1, 0}});
    select(2);
    EXPECT_EQ(equip_selected(), 0);  // a third ring
    EXPECT_EQ(g_common.status_message.text, "No more than 2 of finger ring. 2!");
    EXPECT_EQ(g_common.status_message.icon_number, RING);
    select(4);
    EXPECT_EQ(equip_selected(), 1);  // the staff puts the shield away
    EXPECT_EQ((std::vector<int>{at(3).equipped, at(4).equipped}), (std::vector<int>{0, 1}));
    select(3);
    EXPECT_EQ(equip_selected(), 1);  // and the shield the staff
    EXPECT_EQ((std::vector<int>{at(3).equipped, at(4).equipped}), (std::vector<int>{1, 0}));
    recompute_item_bonuses();  // rings 1 + 2 x 2 and 1 + 1 x 2, the shield 10
    EXPECT_EQ(g_character_model.character.abilities[DEFENCE].item_bonus, 18);
    EXPECT_EQ(g_character_model.character.abilities[LIGHT].item_bonus, 2);

    EXPECT_EQ(burn_fuel(), 0);
    EXPECT_EQ(burn_fuel(), 1);  // the torch goes out and is put away for good
    EXPECT_EQ(contents()[5], (std::vector<int>{TORCH, 1, 0, 0, 0}));
    EXPECT_FALSE(entry_can_be_equipped(at(5)));
}

TEST_F(Inventory, ABurningLightTellsWhenItRunsLowAndWhenItGoesOut) {
    g_common.messages[msg::LIGHT_LOW] = "[item]: [value] turns.";
    g_common.messages[msg::LIGHT_OUT] = "[item] out.";
    ItemType& torch = g_db.item_types[TORCH];
    torch.fuel = 300;
    struct Case {
        int per_turn, fuel;  // fuel before the turn
        const char* text;    // the report, "" for none
    };
    for (const Case& c : {Case{1, 12, ""}, Case{1, 11, "light!: 10 turns."}, Case{1, 10, ""},
                          Case{2, 22, "light!: 10 turns."}, Case{2, 21, "light!: 10 turns."}, Case{2, 20, ""},
                          Case{3, 40, ""}, Case{1, 1, "light! out."}, Case{2, 2, "light! out."}, Case{0, 5, ""}}) {
        SCOPED_TRACE(std::to_string(c.per_turn) + " of " + std::to_string(c.fuel));
        g_items.inventory.clear();
        torch.fuel_consumed_per_turn = static_cast<int8_t>(c.per_turn);
        carry({{TORCH, 1, c.fuel, 1, 0}, {TORCH, 1, 11, 0, 0}});  // a torch put away burns nothing
        g_common.status_message = {};
        burn_fuel();
        EXPECT_EQ(g_common.status_message.text, c.text);
        const StatusMessage& m = g_common.status_message;
        if (*c.text) {
            EXPECT_EQ(m.icon_kind * 100 + m.icon_number, 100 + TORCH) << "beside the item's picture";
        }
    }
}

}  // namespace
