#include "presentation/message_line.h"

#include "common/commands.h"
#include "common/common_state.h"
#include "presentation/view.h"
#include "platform/media.h"

namespace {

constexpr Colour EARLIER_COLOUR = RGB(150, 150, 150);

bool status_message_visible() {
    const StatusMessage& m = g_common.status_message;
    return tick_ms() - m.time_stamp < m.duration && !(m.text.empty() && m.second_text.empty());
}

}  // namespace

bool draw_message_lines() {
    const StatusMessage& m = g_common.status_message;
    if (!status_message_visible()) return false;
    draw_select_font(FONT_DEFAULT);
    int x = m.icon_number < 0 ? 0 : 36;
    if (!m.earlier.empty() && !m.text.empty() && m.second_text.empty()) {
        // A report below the message it followed, which is drawn dimmer.
        draw_text_on_black(x, 440, m.earlier, EARLIER_COLOUR);
        draw_text_on_black(x, 456, m.text, m.colour);
    } else if (!m.text.empty() && !m.second_text.empty()) {
        draw_text_on_black(x, 440, m.text, m.colour);
        draw_text_on_black(x, 456, m.second_text, m.colour);
    } else if (!m.text.empty()) {
        draw_text_on_black(x, 448, m.text, m.colour);
    } else {
        draw_text_on_black(x, 448, m.second_text, m.colour);
    }
    return true;
}

void draw_message_icon() {
    const StatusMessage& m = g_common.status_message;
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

void draw_key_hint(const std::string& hint) {
    if (status_message_visible()) return;
    draw_start();
    draw_select_font(FONT_DEFAULT);
    draw_text_on_black(0, 448, with_key_names(hint), KEY_HINT_COLOUR);
    draw_stop();
}
