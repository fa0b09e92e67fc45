#include "presentation/status_panel.h"

#include <vector>

#include "character/ability_model.h"
#include "character/character_state.h"
#include "map/map_state.h"
#include "platform/strings.h"
#include "powers/powers_state.h"
#include "presentation/map_view.h"
#include "presentation/presentation_state.h"
#include "shell/shell_state.h"

namespace {

constexpr Colour BLACK = RGB(0, 0, 0);
constexpr Colour WHITE = RGB(255, 255, 255);

void text_on_black(int x, int y, const std::string& text, Colour colour) {
    draw_text_background(BLACK);
    draw_text(x, y, text, colour);
}

std::string with_value(const std::string& message, const std::string& value) {
    return replace_all_nocase(message, "[value]", value);
}

// 1-based position of the first space after the 1-based position `after` (0: none).
int next_space(const std::string& text, int after) { return find_text(text, " ", after) + 1; }

struct PanelIcon {
    int x, y, icon;
    bool power;
};

}  // namespace

void show_status_message(const std::string& text, const std::string& second_text, Colour colour, int icon_number,
                         int icon_kind, uint32_t duration_ms) {
    StatusMessage& m = g_presentation.status_message;
    m.text = text;
    m.second_text = second_text;
    m.colour = colour;
    m.icon_number = wrap16(icon_number);
    m.icon_kind = static_cast<uint8_t>(icon_kind);
    m.time_stamp = tick_ms();
    m.duration = duration_ms;
}

bool draw_message_lines() {
    const StatusMessage& m = g_presentation.status_message;
    if (tick_ms() - m.time_stamp >= m.duration) return false;
    if (m.text.empty() && m.second_text.empty()) return false;
    draw_select_font(FONT_DEFAULT);
    int x = m.icon_number < 0 ? 0 : 36;
    if (!m.text.empty() && !m.second_text.empty()) {
        text_on_black(x, 440, m.text, m.colour);
        text_on_black(x, 456, m.second_text, m.colour);
    } else if (!m.text.empty()) {
        text_on_black(x, 448, m.text, m.colour);
    } else {
        text_on_black(x, 448, m.second_text, m.colour);
    }
    return true;
}

void draw_message_icon() {
    const StatusMessage& m = g_presentation.status_message;
    if (m.icon_number < 0) return;
    int sprite_number;
    switch (m.icon_kind) {
        case 0: sprite_number = clip_tile(m.icon_number); break;
        case 1: sprite_number = clip_item_icon(m.icon_number); break;
        case 2: sprite_number = clip_power_icon(m.icon_number); break;
        case 3: sprite_number = clip_monster_icon(m.icon_number); break;
        case 4: sprite_number = clip_ability_icon(m.icon_number); break;
        default: return;
    }
    sprite_display_opaque(sprite_number, 0, 440);
}

int draw_wrapped_text(int x, int y, const std::string& text, int width, int line_height, Colour colour) {
    std::string rest = text;
    int lines = 0;
    int cy = y;
    while (text_width(rest) > width) {
        // The last space up to which the line still fits (positions count from 1 and include the space).
        int last = 0;
        int p = next_space(rest, 0);
        while (p > 0 && text_width(left_part(rest, p)) < width) {
            last = p;
            p = next_space(rest, last);
        }
        if (p == 0) {
            if (last == 0) {
                text_on_black(x, cy, rest, colour);
            } else {
                text_on_black(x, cy, left_part(rest, last), colour);
                cy += line_height;
                ++lines;
                text_on_black(x, cy, rest.substr(last), colour);
            }
            rest.clear();
        } else if (last == 0) {
            // Even the first word is too wide: it stands alone on its line.
            text_on_black(x, cy, left_part(rest, p), colour);
            rest = rest.substr(p);
        } else {
            text_on_black(x, cy, left_part(rest, last), colour);
            rest = rest.substr(last);
        }
        cy += line_height;
        ++lines;
    }
    if (!rest.empty()) {
        text_on_black(x, cy, rest, colour);
        ++lines;
    }
    return lines;
}

std::string ability_panel_text(int16_t id) {
    std::string result = ability_value_display(id);
    int v = attribute_current_val(id, 1, 1, 1);
    const AbilityRecord& ability = g_character_model.abilities[id];
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
    text_on_black(434, 0, g_shell.window_title, RGB(255, 100, 0));
    draw_wrapped_text(434, 34, "Location: " + g_map.map.name, 206, 16, WHITE);
    draw_select_font(FONT_PANEL);
    int y = 86;

    for (int id = 1; id <= kMaxAbilityId; ++id) {
        const AbilityRecord& ability = g_character_model.abilities[id];
        for (const DisplayEntry& entry : ability.display) {
            if (entry.type != kDisplayStatusPanel) continue;
            int v = attribute_current_val(static_cast<int16_t>(id), 1, 1, 1);
            bool applies = (entry.start_value <= v && v <= entry.end_value) ||
                           (entry.start_value == 0 && entry.end_value == 0);
            if (!applies) continue;
            std::string value = entry.expanded_value_display ? ability_value_display(static_cast<int16_t>(id))
                                                             : int_to_text(v);
            text_on_black(468, y, with_value(entry.message, value), static_cast<Colour>(entry.color));
            icons.push_back({434, y, ability.tile, false});
            y += 12;
            if (!entry.message2.empty()) text_on_black(468, y, with_value(entry.message2, value), static_cast<Colour>(entry.color));
            y += 22;
        }
    }

    const CharacterRecord& c = g_character_model.character;
    for (int id = 0; id < kAbilityStateCount; ++id) {
        const AbilityState& state = c.abilities[id];
        if (!state.adjustment_name.empty()) {
            int power = state.adjustment_power_id;
            if (power >= 0 && power < kPowerTableSize) icons.push_back({434, y, g_powers.powers[power].tile, true});
            text_on_black(468, y, state.adjustment_name, WHITE);
            y += 12;
            text_on_black(468, y,
                          message_text(11) + ": " + int_to_text(state.power_adjustment) + " " + message_text(12) +
                              ": " + int_to_text(state.adjustment_duration),
                          WHITE);
            y += 22;
        }
        // Index 0 is no ability: nothing can switch it on, and it has no value to show.
        if (state.activated && id >= 1) {
            const AbilityRecord& ability = g_character_model.abilities[id];
            icons.push_back({434, y, ability.tile, false});
            text_on_black(468, y, ability.display_name, WHITE);
            y += 12;
            text_on_black(468, y, ability_panel_text(static_cast<int16_t>(id)), WHITE);
            y += 22;
        }
    }
    draw_stop();

    for (const PanelIcon& icon : icons) {
        int sprite_number = icon.power ? clip_power_icon(icon.icon) : clip_ability_icon(icon.icon);
        sprite_display_opaque(sprite_number, icon.x, icon.y);
    }
}
