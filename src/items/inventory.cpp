#include "items/inventory.h"

#include <algorithm>
#include <vector>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "items/item_db.h"
#include "map/level_creation.h"
#include "map/map_grid.h"
#include "platform/strings.h"

namespace {

constexpr uint32_t MESSAGE_MS = 2000;

// Message numbers of the item rules.
constexpr int MSG_EQUIPMENT_LIMIT = 20, MSG_TOOK_ONE = 23, MSG_TOOK_SEVERAL = 24;
// A burning item tells when it has this many turns left.
constexpr int LOW_FUEL_TURNS = 10;

// The turns a piece with this fuel burns on (none when it burns nothing per turn).
int turns_of_fuel(int fuel, int per_turn) { return per_turn > 0 ? (fuel + per_turn - 1) / per_turn : 0; }

void show_item_message(const std::string& text, const std::string& second_text, int type) {
    show_status_message(text, second_text, WHITE, item_type_of(type).tile, icon_kind::item, MESSAGE_MS);
}

// Removes the selected entry from the list.
void remove_selected() {
    int index = 0;
    for (const InventoryEntry& entry : g_items.inventory) {
        if (entry.selected) break;
        ++index;
    }
    if (g_items.inventory.select(index)) g_items.inventory.remove_current();
}

}  // namespace

const ItemType& item_type_of(int id) {
    // Record 0 is never loaded: it stands for "no item type".
    return g_db.item_types[(id >= kFirstItemId && id <= kLastItemId) ? id : 0];
}

int stack_pieces(int amount) { return amount < 1 ? 1 : amount; }

void add_item_to_inventory(int type, int amount, int fuel, int magic_bonus) {
    // Only kinds the item database knows: anything else could never be shown nor used.
    if (!item_type_defined(type)) return;
    const ItemType& kind = g_db.item_types[type];
    if (fuel == -1) fuel = kind.fuel;
    if (magic_bonus == -1) magic_bonus = kind.artefact ? random_magic_bonus() : 0;
    for (InventoryEntry& entry : g_items.inventory) {
        if (entry.type == type && entry.fuel == fuel && entry.magic_bonus == magic_bonus) {
            // An amount of 0 already holds one piece.
            entry.amount = wrap16(stack_pieces(entry.amount) + 1);
            return;
        }
    }
    InventoryEntry& entry = g_items.inventory.append();
    entry.type = static_cast<int16_t>(type);
    entry.amount = wrap16(amount);
    entry.fuel = wrap16(fuel);
    entry.magic_bonus = wrap16(magic_bonus);
}

void give_starting_equipment() {
    g_items.inventory.clear();
    for (int id = kFirstItemId; id <= kLastItemId; ++id)
        if (g_db.item_types[id].starting_equipment > 0)
            add_item_to_inventory(id, g_db.item_types[id].starting_equipment, -1, -1);
    for (int i = 0; i < STARTING_FOOD_PIECES; ++i) add_item_to_inventory(STARTING_FOOD_TYPE, 1, -1, -1);
}

InventoryEntry* selected_entry() {
    for (InventoryEntry& entry : g_items.inventory)
        if (entry.selected) return &entry;
    return nullptr;
}

int take_from_selected(int amount, int whole_stack) {
    InventoryEntry* entry = selected_entry();
    if (!entry) return 0;
    const int pieces = stack_pieces(entry->amount);
    if (whole_stack == 1) {
        remove_selected();
        return pieces;
    }
    const int taken = std::min(amount, pieces);
    if (pieces - taken < 1) remove_selected();
    else entry->amount = wrap16(pieces - taken);
    return taken;
}

int count_equipped_of_class(const std::string& item_class) {
    int count = 0;
    for (const InventoryEntry& entry : g_items.inventory)
        if (entry.equipped && item_type_of(entry.type).item_class == item_class) ++count;
    return count;
}

void unequip_classes_of(int type) {
    const ItemType& kind = item_type_of(type);
    for (InventoryEntry& entry : g_items.inventory) {
        const std::string& item_class = item_type_of(entry.type).item_class;
        for (const std::string& unequip : kind.unequip)
            if (!unequip.empty() && unequip == item_class) entry.equipped = 0;
    }
}

void recompute_item_bonuses() {
    CharacterRecord& character = g_character_model.character;
    for (AbilityState& state : character.abilities) state.item_bonus = 0;
    for (const InventoryEntry& entry : g_items.inventory) {
        if (!entry.equipped) continue;
        for (const ItemAbilityBonus& bonus : item_type_of(entry.type).ability_bonus) {
            // An id the ability state cannot hold gives nothing.
            if (bonus.attribute <= 0 || !valid_ability_id(bonus.attribute)) continue;
            int value = bonus.value;
            if (bonus.magic_bonus_multiplier > 0) value += entry.magic_bonus * bonus.magic_bonus_multiplier;
            AbilityState& state = character.abilities[bonus.attribute];
            state.item_bonus = wrap16(state.item_bonus + value);
        }
    }
    // What other abilities derive from the values changes with the bonuses.
    recalculate_adjustments();
}

int burn_fuel() {
    int burnt_out = 0;
    for (InventoryEntry& entry : g_items.inventory) {
        const ItemType& kind = item_type_of(entry.type);
        if (!entry.equipped || kind.fuel <= 0) continue;
        const int per_turn = kind.fuel_consumed_per_turn;
        const int turns_before = turns_of_fuel(entry.fuel, per_turn);
        entry.fuel = wrap16(entry.fuel - per_turn);
        if (entry.fuel < 1) {
            entry.fuel = 0;
            entry.equipped = 0;
            burnt_out = 1;
            show_play_report(message_with(msg::LIGHT_OUT, {{"[item]", kind.name}}), kind.tile, icon_kind::item);
        } else if (const int turns = turns_of_fuel(entry.fuel, per_turn);
                   turns <= LOW_FUEL_TURNS && turns_before > LOW_FUEL_TURNS) {
            show_play_report(message_with(msg::LIGHT_LOW, {{"[item]", kind.name}, {"[value]", int_to_text(turns)}}),
                             kind.tile, icon_kind::item);
        }
    }
    return burnt_out;
}

bool entry_can_be_equipped(const InventoryEntry& entry) {
    const ItemType& kind = item_type_of(entry.type);
    return kind.can_be_equipped == 1 && !(kind.fuel > 0 && entry.fuel == 0);
}

bool entry_can_be_used(const InventoryEntry& entry) {
    const ItemType& kind = item_type_of(entry.type);
    return !kind.use_name.empty() && !(kind.fuel_consumed_per_use > 0 && entry.fuel < 1);
}

int equip_selected() {
    InventoryEntry* entry = selected_entry();
    if (!entry) return 0;
    const ItemType& kind = item_type_of(entry->type);
    if (kind.equipment_limit > 0 && count_equipped_of_class(kind.item_class) >= kind.equipment_limit) {
        std::string text = replace_all(message_text(MSG_EQUIPMENT_LIMIT), "[limit]", int_to_text(kind.equipment_limit));
        show_item_message(replace_all(text, "[item_class]", kind.class_name), "", entry->type);
        return 0;
    }
    unequip_classes_of(entry->type);
    entry->equipped = 1;
    return 1;
}

int use_selected() {
    InventoryEntry* entry = selected_entry();
    if (!entry) return 0;
    const int type = entry->type;
    const ItemType& kind = item_type_of(type);
    // The second line says what the use did: the abilities it raised, or that it did nothing.
    std::string gains;
    bool raised = false, changed = false;
    for (const ItemAbilityBonus& bonus : kind.ability_bonus) {
        if (bonus.attribute <= 0 || bonus.value == 0) continue;
        const int16_t made = modify_attribute(bonus.attribute, bonus.value);
        if (made == 0) continue;
        changed = true;
        if (made < 0 || !valid_ability_id(bonus.attribute)) continue;
        raised = true;
        if (!gains.empty()) gains += ", ";
        gains += message_with(msg::USE_GAIN, {{"[ability]", g_db.abilities[bonus.attribute].display_name},
                                              {"[value]", int_to_text(made)}});
    }
    bool has_bonus = false;
    for (const ItemAbilityBonus& bonus : kind.ability_bonus)
        if (bonus.attribute > 0 && bonus.value != 0) has_bonus = true;
    if (!kind.use_message.empty())
        show_item_message(kind.use_message,
                          raised ? gains : (has_bonus && !changed ? message_text(msg::USE_NO_EFFECT) : ""), type);
    if (kind.fuel_consumed_per_use != 0) entry->fuel = wrap16(std::max(0, entry->fuel - kind.fuel_consumed_per_use));
    if (kind.consumed_after_use) take_from_selected(1, 0);
    return kind.turn_ends_after_use ? 1 : 0;
}

void drop_selected(int x, int y) {
    InventoryEntry* entry = selected_entry();
    if (!entry) return;
    MapItem& item = g_map.items.append();
    item.x = static_cast<int16_t>(x);
    item.y = static_cast<int16_t>(y);
    item.type = entry->type;
    item.amount = 1;
    item.fuel = entry->fuel;
    item.magic_bonus = entry->magic_bonus;
    take_from_selected(1, 0);
}

int map_items_at(int x, int y) {
    int count = 0;
    for (const MapItem& item : g_map.items)
        if (item.x == x && item.y == y) ++count;
    return count;
}

int take_marked_items() {
    std::string names;
    int taken = 0, last_type = 0;
    GameList<MapItem>& items = g_map.items;
    items.reset();
    while (items.next()) {
        const MapItem item = items.current();
        if (!item.marked) continue;
        items.remove_current();
        InventoryEntry& entry = g_items.inventory.append();
        entry.type = item.type;
        entry.amount = item.amount;
        entry.fuel = item.fuel;
        entry.magic_bonus = item.magic_bonus;
        if (taken > 0) names += ", ";
        names += item_type_of(item.type).name;
        last_type = item.type;
        ++taken;
    }
    if (taken == 0) return 0;
    show_item_message(message_text(taken == 1 ? MSG_TOOK_ONE : MSG_TOOK_SEVERAL) + ":", names, last_type);
    return 1;
}

void clear_empty_container(GameMap& map, int x, int y) {
    const int tile = read_map_tile_type(map, x, y);
    if (tile < 0 || tile >= kTileTypeCount || map.tileset.tile_types[tile].container <= 0) return;
    if (map_items_at(x, y) == 0) set_map_tile_type(map, x, y, map.background_tile);
}
