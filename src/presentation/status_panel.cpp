#include "presentation/status_panel.h"

#include <algorithm>
#include <vector>

#include "presentation/view.h"
#include "character/ability_model.h"
#include "character/character_state.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "platform/strings.h"
#include "common/database.h"
#include "common/common_state.h"
#include "common/message_ids.h"

namespace {


std::string with_value(const std::string& message, const std::string& value) {
    return replace_all_nocase(message, "[value]", value);
}

struct PanelIcon {
    int x, y, icon;
    bool power;
};

// The monster in front of the character, at the foot of the panel (above the
// band's frame bar, lower when the groups above reach further): its picture,
// its name and a bar of its hit points against its type's maximum.
constexpr int FOE_TOP = 372;
constexpr int FOE_BAR_X = 468, FOE_BAR_WIDTH = 122, FOE_BAR_HEIGHT = 9;
constexpr Colour FOE_BAR_FRAME = RGB(150, 150, 150), FOE_BAR_FILL = RGB(200, 30, 30);

// Its words and the bar (drawing started); returns the monster whose picture
// goes at (434, top), or nullptr when none is near.
const Monster* draw_foe(int top) {
    const Monster* foe = monster_in_front();
    if (!foe) return nullptr;
    static const MonsterType none;
    const MonsterType& type =
        foe->type >= 0 && foe->type < kMonsterTypeTableSize ? g_db.monster_types[foe->type] : none;
    draw_text_on_black(FOE_BAR_X, top, type.name, WHITE);
    const int bar_top = top + 16;
    draw_box(FOE_BAR_X, bar_top, FOE_BAR_WIDTH, FOE_BAR_HEIGHT, FOE_BAR_FRAME);
    draw_box(FOE_BAR_X + 1, bar_top + 1, FOE_BAR_WIDTH - 2, FOE_BAR_HEIGHT - 2, BLACK);
    const int inner = FOE_BAR_WIDTH - 2;
    const int filled = type.hitpoints > 0 ? std::clamp(inner * foe->hitpoints / type.hitpoints, 0, inner) : 0;
    if (filled > 0) draw_box(FOE_BAR_X + 1, bar_top + 1, filled, FOE_BAR_HEIGHT - 2, FOE_BAR_FILL);
    draw_text_on_black(FOE_BAR_X + FOE_BAR_WIDTH + 4, bar_top - 2,
                       int_to_text(foe->hitpoints) + "/" + int_to_text(type.hitpoints), WHITE);
    return foe;
}

}  // namespace

std::string ability_panel_text(int16_t id) {
    std::string result = ability_value_display(id);
    int v = attribute_current_val(id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
    const AbilityRecord& ability = g_db.abilities[id];
    for (const DisplayEntry& entry : ability.display) {
        if (entry.message.empty()) continue;
        if (entry.start_value <= v && v <= entry.end_value) result = with_value(entry.message, int_to_text(v));
    }
    return result;
}

void draw_status_panel() {
    std::vector<PanelIcon> icons;
    draw_start();
    draw_select_font(FONT_TITLE);
    draw_text_on_black(434, 0, g_common.window_title, RGB(255, 100, 0));
    draw_wrapped_text(434, 34, "Location: " + g_map.map.name, 206, 16, WHITE);
    draw_select_font(FONT_PANEL);
    int y = 86;

    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_db.abilities[id];
        for (const DisplayEntry& entry : ability.display) {
            if (entry.type != kDisplayStatusPanel) continue;
            const int16_t ability_id = static_cast<int16_t>(id);
            int v = attribute_current_val(ability_id, Cap::apply, PowerAdjustment::add, ItemBonus::add);
            if (!display_entry_applies(entry, v)) continue;
            const Colour colour = static_cast<Colour>(entry.color);
            draw_text_on_black(468, y, display_entry_text(ability_id, entry, entry.message, v), colour);
            icons.push_back({434, y, ability.tile, false});
            y += 12;
            if (!entry.message2.empty())
                draw_text_on_black(468, y, display_entry_text(ability_id, entry, entry.message2, v), colour);
            y += 22;
        }
    }

    const CharacterRecord& c = g_character_model.character;
    for (int id = 0; id < kAbilityStateCount; ++id) {
        const AbilityState& state = c.abilities[id];
        if (!state.adjustment_name.empty()) {
            int power = state.adjustment_power_id;
            if (power >= 0 && power < kPowerTableSize) icons.push_back({434, y, g_db.powers[power].tile, true});
            draw_text_on_black(468, y, state.adjustment_name, WHITE);
            y += 12;
            draw_text_on_black(468, y,
                          message_text(11) + ": " + int_to_text(state.power_adjustment) + " " + message_text(12) +
                              ": " + int_to_text(state.adjustment_duration),
                          WHITE);
            y += 22;
        }
        // Index 0 is no ability: nothing can switch it on, and it has no value to show.
        if (state.activated && id >= 1) {
            const AbilityRecord& ability = g_db.abilities[id];
            icons.push_back({434, y, ability.tile, false});
            draw_text_on_black(468, y, ability.display_name, WHITE);
            y += 12;
            draw_text_on_black(468, y, ability_panel_text(static_cast<int16_t>(id)), WHITE);
            y += 22;
        }
    }
    // Advancement picks left for later: how many, and the key that takes them.
    if (c.picks_waiting > 0) {
        draw_text_on_black(468, y, message_with(msg::PANEL_PICKS, {{"[value]", int_to_text(c.picks_waiting)}}),
                           RGB(255, 200, 125));
        y += 34;
    }
    const int foe_top = std::max(y, FOE_TOP);
    const Monster* foe = draw_foe(foe_top);
    draw_stop();

    for (const PanelIcon& icon : icons) {
        int sprite_number = icon.power ? clip_power_icon(icon.icon) : clip_ability_icon(icon.icon);
        sprite_display_opaque(sprite_number, icon.x, icon.y);
    }
    if (foe) sprite_display_transparent(clip_monster_type(foe->type), 434, foe_top + 2);
}
