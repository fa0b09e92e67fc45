// The shipped armoury as a whole: every item type and power is there, has a
// picture of its own inside its sheet and German texts; and the powers a new
// character starts with follow from its three advancement picks.
#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "character/abilities_db.h"
#include "character/ability_model.h"
#include "character/advancement.h"
#include "character/attribute_changes.h"
#include "character/character_record.h"
#include "common/common_state.h"
#include "common/database.h"
#include "items/item_db.h"
#include "items/items_state.h"
#include "platform/surface.h"
#include "powers/power_db.h"
#include "support/test_game.h"

namespace {

void load_databases(const std::string& language) {
    g_common.preferences.language = language;
    load_abilities_db();
    load_power_db();
    load_item_db();
}

// What the shipped data says of one entry, in the language loaded.
struct Entry {
    int id = 0;
    int tile = 0;
    std::string name, description;
};

struct Kind {
    const char* what;
    const char* sheet;        // below game/graphics
    int count;                // entries, ids 1..count
    int first_cell;           // the cells before it are not for entries
    int reserved_cell;        // a cell the game draws for itself (-1: none)
    std::function<std::vector<Entry>()> entries;
};

std::vector<Entry> item_entries() {
    std::vector<Entry> out;
    for (int id = 1; id <= kLastItemId; ++id)
        if (item_type_defined(id)) {
            const ItemType& t = g_db.item_types[id];
            out.push_back({id, t.tile, t.name, t.description});
        }
    return out;
}

std::vector<Entry> power_entries() {
    std::vector<Entry> out;
    for (int id = 1; id <= kMaxPowerId; ++id)
        if (!g_db.powers[id].name.empty()) {
            const Power& p = g_db.powers[id];
            out.push_back({id, p.tile, p.name, p.description});
        }
    return out;
}

// Pixels of a 32 x 32 cell that are not the see-through black.
int drawn_pixels(const Surface& sheet, int cell) {
    const int columns = sheet.width / 32;
    const int x0 = cell % columns * 32, y0 = cell / columns * 32;
    int drawn = 0;
    for (int y = y0; y < y0 + 32; ++y)
        for (int x = x0; x < x0 + 32; ++x) drawn += sheet.inside(x, y) && sheet.at(x, y) != 0;
    return drawn;
}

TEST(ShippedArmoury, EveryItemAndPowerIsThereWithItsOwnPictureAndGermanTexts) {
    const Kind kinds[] = {
        {"item", "items.png", 60, 0, 47, item_entries},     // 47: the mark of equipped and chosen items
        {"power", "powers.png", 25, 1, -1, power_entries},  // 0: the empty cell of the power grid
    };
    TempGameFolder folder;
    folder.copy_shipped("data");
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.what);
        load_databases("English");
        const std::vector<Entry> english = kind.entries();
        load_databases("German");
        const std::vector<Entry> german = kind.entries();
        ASSERT_EQ(english.size(), static_cast<size_t>(kind.count));
        ASSERT_EQ(german.size(), english.size());
        EXPECT_EQ(english.back().id, kind.count) << "ids without gaps";

        Surface sheet;
        ASSERT_TRUE(decode_image_file(std::string(UMBRANE_SOURCE_DIR) + "/game/graphics/" + kind.sheet, sheet));
        ASSERT_EQ(sheet.width % 32, 0);
        const int cells = sheet.width / 32 * (sheet.height / 32);
        std::map<int, int> owner;  // cell -> id
        for (size_t i = 0; i < english.size(); ++i) {
            const Entry& en = english[i];
            const Entry& de = german[i];
            SCOPED_TRACE(en.name);
            EXPECT_GE(en.tile, kind.first_cell);
            EXPECT_LT(en.tile, cells);
            EXPECT_NE(en.tile, kind.reserved_cell);
            EXPECT_GE(drawn_pixels(sheet, en.tile), 60) << "cell " << en.tile << " holds no picture";
            EXPECT_TRUE(owner.emplace(en.tile, en.id).second) << "cell " << en.tile << " is also " << owner[en.tile];
            EXPECT_FALSE(en.description.empty());
            EXPECT_NE(de.name, en.name);
            EXPECT_NE(de.description, en.description);
        }
    }
}

// ---- the starting powers

int ability_named(const std::string& name) {
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (g_db.abilities[id].name == name) return id;
    return 0;
}

int power_named(const std::string& name) {
    for (int id = 1; id <= kMaxPowerId; ++id)
        if (g_db.powers[id].name == name) return id;
    return 0;
}

std::set<int> usable_powers() {
    std::set<int> out;
    for (int id = 1; id <= kMaxPowerId; ++id)
        if (power_available(id, 0, 0)) out.insert(id);
    return out;
}

// A new character, then the picks in order as the advancement screen makes
// them (a pick the character may not make yet is refused). False when refused.
bool new_character_picks(const std::vector<int>& picks) {
    reset_character();
    recalculate_adjustments();
    for (int id : picks) {
        if (!ability_available(static_cast<int16_t>(id))) return false;
        apply_advancement_pick(static_cast<int16_t>(id));
        recalculate_adjustments();
    }
    return true;
}

TEST(StartingPowers, FollowTheThreePicksOfANewCharacter) {
    TempGameFolder folder;
    folder.copy_shipped("data");
    load_databases("English");
    std::vector<int> xp_abilities;
    for (int id = 1; id <= kMaxAbilityId; ++id)
        if (!g_db.abilities[id].name.empty() && g_db.abilities[id].xp) xp_abilities.push_back(id);
    ASSERT_GE(xp_abilities.size(), 5u);

    ASSERT_TRUE(new_character_picks({}));
    const std::set<int> untouched = usable_powers();
    // Without picks: healing and light for everyone, and no attack at all.
    EXPECT_EQ(untouched.count(power_named("Heal")), 1u);
    EXPECT_EQ(untouched.count(power_named("Light")), 1u);
    for (int id : untouched) EXPECT_NE(g_db.powers[id].effect_name, "attack") << g_db.powers[id].name;

    // The power each first-rank ability brings, whatever the other picks.
    const std::pair<const char*, const char*> brings[] = {
        {"intelligence", "Fire bolt"}, {"agility", "Throwing knife"},
        {"strength", "Second wind"},   {"perception", "Keen senses"},
    };
    // Deeper combinations: (picks, power they must give).
    const std::pair<std::vector<const char*>, const char*> deeper[] = {
        {{"strength", "strength"}, "Battle rage"},
        {{"strength", "strength"}, "Bash"},
        {{"agility", "sneaking"}, "Shadow walk"},
        {{"intelligence", "magic_skill"}, "Frost bolt"},
        {{"intelligence", "intelligence", "magic_skill"}, "Magic shield"},
        {{"intelligence", "intelligence", "magic_skill"}, "Stone skin"},
    };

    std::set<std::set<int>> distinct;
    int combinations = 0;
    for (int a : xp_abilities)
        for (int b : xp_abilities)
            for (int c : xp_abilities) {
                const std::vector<int> picks{a, b, c};
                if (!new_character_picks(picks)) continue;
                ++combinations;
                const std::set<int> powers = usable_powers();
                std::string trace;
                for (int id : picks) trace += g_db.abilities[id].name + " ";
                SCOPED_TRACE(trace);
                distinct.insert(powers);
                EXPECT_TRUE(std::includes(powers.begin(), powers.end(), untouched.begin(), untouched.end()));
                EXPECT_GT(powers.size(), untouched.size()) << "every choice of picks brings a power";
                for (const auto& [ability, power] : brings) {
                    const bool picked = std::count(picks.begin(), picks.end(), ability_named(ability)) > 0;
                    EXPECT_EQ(powers.count(power_named(power)) == 1, picked) << power;
                }
                for (const auto& [needed, power] : deeper) {
                    std::vector<int> ids;
                    for (const char* name : needed) ids.push_back(ability_named(name));
                    bool contained = true;
                    for (int id : ids)
                        contained = contained && std::count(picks.begin(), picks.end(), id) >=
                                                     std::count(ids.begin(), ids.end(), id);
                    // Picks that hold the needed ones (in an order the screen allows) give the power.
                    if (contained && std::search(picks.begin(), picks.end(), ids.begin(), ids.end()) != picks.end())
                        EXPECT_EQ(powers.count(power_named(power)), 1u) << power;
                }
            }
    EXPECT_GE(combinations, 80);
    EXPECT_GE(distinct.size(), 20u) << "the picks make characters that differ";
}

}  // namespace
