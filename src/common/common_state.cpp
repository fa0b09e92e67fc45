#include "common/common_state.h"

#include "common/events.h"
#include "common/message_ids.h"
#include "platform/strings.h"

CommonState g_common;

void reset_common_state() { g_common = CommonState{}; }

const std::string& message_text(int id) {
    static const std::string none;
    if (id < 0 || id >= MESSAGE_TABLE_SIZE) return none;
    return g_common.messages[id];
}

void play_sound(const std::string& name) {
    if (!name.empty()) tell(event::Sound{name});
}

void show_status_message(const std::string& text, const std::string& second_text, Colour colour, int icon_number,
                         int icon_kind, uint32_t duration_ms) {
    StatusMessage& m = g_common.status_message;
    m.text = text;
    m.second_text = second_text;
    m.colour = colour;
    m.icon_number = wrap16(icon_number);
    m.icon_kind = static_cast<uint8_t>(icon_kind);
    m.time_stamp = tick_ms();
    m.duration = duration_ms;
    m.earlier.clear();

    std::string kept = text;
    if (!kept.empty() && !second_text.empty()) kept += " ";
    kept += second_text;
    if (kept.empty()) return;
    MessageHistory& history = g_common.message_history;
    ++history.shown;
    if (!history.texts.empty() && history.texts.back().text == kept && history.texts.back().colour == colour) {
        ++history.texts.back().count;
        return;
    }
    history.texts.push_back({kept, colour});
    if (history.texts.size() > MESSAGE_HISTORY_SIZE) history.texts.pop_front();
}

void show_play_report(const std::string& text, int icon_number, int icon_kind) {
    const StatusMessage& m = g_common.status_message;
    std::string earlier;
    if (tick_ms() - m.time_stamp < m.duration) {
        earlier = m.text;
        if (!earlier.empty() && !m.second_text.empty()) earlier += " ";
        earlier += m.second_text;
    }
    show_status_message(text, "", WHITE, icon_number, icon_kind, 2000);
    g_common.status_message.earlier = earlier;
}

void add_to_status_message(const std::string& text) {
    StatusMessage& m = g_common.status_message;
    MessageHistory& history = g_common.message_history;
    const bool on_show = tick_ms() - m.time_stamp < m.duration;
    if (!on_show || m.text.empty() || !m.second_text.empty() || history.texts.empty() ||
        history.texts.back().text != m.text || history.texts.back().count != 1) {
        show_status_message(text, "", WHITE, -1, 0, 2000);
        return;
    }
    m.second_text = text;
    history.texts.back().text += " " + text;
}

std::string message_with(int id, std::initializer_list<std::pair<const char*, std::string>> values) {
    std::string text = message_text(id);
    for (const auto& [placeholder, value] : values) text = replace_all(text, placeholder, value);
    return text;
}

void clear_message_history() { g_common.message_history.texts.clear(); }

std::string history_line(const ShownText& shown) {
    if (shown.count <= 1) return shown.text;
    return shown.text + " " + replace_all(message_text(msg::REPEATED), "[count]", std::to_string(shown.count));
}
