#include "map/field_effects.h"

#include <cstdlib>
#include <string>

#include "character/ability_model.h"
#include "character/attribute_changes.h"
#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "common/events.h"
#include "common/view_cells.h"
#include "map/map_grid.h"
#include "map/map_state.h"
#include "platform/random.h"
#include "platform/strings.h"

namespace {


// The change a slot makes before the ability takes it: a randomized amount
// lies in 1..amount (or amount..-1), and the reducing ability's current value
// shrinks it towards 0 without ever turning its sign.
int16_t slot_change(const TileModifyAttribute& slot) {
    int v = slot.amount;
    if (slot.amount_randomized) {
        v = Random(std::abs(static_cast<int>(slot.amount)) - 1) + 1;
        if (slot.amount < 0) v = -v;
    }
    if (slot.amount_reduced_by_ability > 0) {
        const int r = attribute_current_val(slot.amount_reduced_by_ability, Cap::apply, PowerAdjustment::add,
                                            ItemBonus::add);
        v = slot.amount < 0 ? std::min(0, v + r) : std::max(0, v - r);
    }
    return wrap16(v);
}

// Names the items lying on (x, y): message 26 for one, 27 for several.
void name_items_here(int x, int y) {
    std::string names;
    int count = 0, last_tile = 0;
    for (const MapItem& item : g_map.items) {
        if (item.x != x || item.y != y) continue;
        const bool known = item.type >= 0 && item.type < kItemTypeTableSize;
        const ItemType& type = g_db.item_types[known ? item.type : 0];
        if (!names.empty()) names += ", ";
        names += type.name;
        last_tile = type.tile;
        ++count;
    }
    if (count == 0) return;
    show_status_message(message_text(count == 1 ? 26 : 27) + ":", names, WHITE, last_tile, icon_kind::item, 2000);
}

}  // namespace

int field_effects() {
    GameMap& map = g_map.map;
    const int x = g_character_model.character.x, y = g_character_model.character.y;
    const int16_t t = read_map_tile_type(map, x, y);
    bool applied = false, turn_ends = false, hurt = false;
    std::string text;
    int16_t v = 0;
    if (t >= 0 && t < kTileTypeCount) {
        const TileType& tile = map.tileset.tile_types[t];
        const bool hidden = read_map_hidden(map, x, y);
        for (const TileModifyAttribute& slot : tile.modify_attribute) {
            v = slot.amount;
            if (hidden && !slot.trigger_hidden) continue;
            // A slot may end the turn without changing anything.
            if (slot.turn_ends) turn_ends = true;
            if (slot.attribute > 0 && v != 0) {
                applied = true;
                v = modify_attribute(slot.attribute, slot_change(slot));
                // A change of nothing says nothing ("- 0"): an earlier slot's text stays.
                if (v != 0) {
                    const std::string& name = g_db.abilities[slot.attribute].display_name;
                    text = slot.amount < 0 ? name + " - " + int_to_text(std::abs(static_cast<int>(v)))
                                           : name + " + " + int_to_text(v);
                    // Hurt: an ability that blows lower (hit points) went down.
                    if (slot.amount < 0 && g_db.abilities[slot.attribute].modify_per_point_of_damage != 0) hurt = true;
                }
            }
            if (slot.attribute > 0 && slot.replenish && restore_ability(slot.attribute)) applied = true;
        }
        // A hidden field that acted on the character is found from then on, as
        // if the search had found it: drawn as it is, and saved so with the map.
        if (hidden && (applied || turn_ends)) set_map_hidden(map, x, y, 0);
        if (applied) {
            if (!tile.sound.empty()) play_sound(tile.sound);
            // The animation shows the value of the last slot.
            if (!tile.animation_enter.empty()) tell(event::Animation{tile.animation_enter, VIEW_CENTRE, VIEW_CENTRE, v});
            if (!tile.message.empty()) show_status_message(tile.message, text, WHITE, t, icon_kind::tile, 2000);
            // A field that hurts without a word of its own names itself.
            else if (hurt)
                show_status_message(message_with(msg::FIELD_HURTS, {{"[field]", tile.name}}), text, WHITE, t,
                                    icon_kind::tile, 2000);
            if (tile.remove_after_entering) set_map_tile_type(map, x, y, map.background_tile);
        }
    }
    name_items_here(x, y);
    return turn_ends ? 1 : 0;
}
