#include "presentation/status_panel.h"

#include <vector>

#include "common/view.h"
#include "character/ability_model.h"
#include "character/character_state.h"
#include "map/map_state.h"
#include "platform/strings.h"
#include "common/database.h"
#include "common/common_state.h"

namespace {


std::string with_value(const std::string& message, const std::string& value) {
    return replace_all_nocase(message, "[value]", value);
}

struct PanelIcon {
    int x, y, icon;
    bool power;
};

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
    draw_stop();

    for (const PanelIcon& icon : icons) {
        int sprite_number = icon.power ? clip_power_icon(icon.icon) : clip_ability_icon(icon.icon);
        sprite_display_opaque(sprite_number, icon.x, icon.y);
    }
}
