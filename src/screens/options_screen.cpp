#include "screens/options_screen.h"

#include <algorithm>

#include "character/abilities_db.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/message_list.h"
#include "common/preferences.h"
#include "items/item_db.h"
#include "monsters/monster_db.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "powers/power_db.h"
#include "screens/advancement_screen.h"

namespace {

constexpr const char* PREFERENCES_FILE = "config\\preferences.xml";
constexpr const char* MESSAGES_FILE = "data\\messages.xml";
constexpr Colour CHOSEN = RGB(255, 150, 0), HEADING = RGB(150, 190, 255);
constexpr int VOLUME_STEP = 10;

// The languages the messages come in, by the preferences' word, with the name each gives itself.
struct Language {
    const char* word;
    const char* own_name;
};
constexpr Language LANGUAGES[] = {{"English", "English"}, {"German", "Deutsch"}};

// The n-th word of a "|"-separated list message, or fallback where it has none.
std::string list_word(int message, size_t n, const std::string& fallback) {
    const std::string& list = message_text(message);
    size_t start = 0;
    for (size_t k = 0; k < n; ++k) {
        start = list.find('|', start);
        if (start == std::string::npos) return fallback;
        ++start;
    }
    const size_t end = list.find('|', start);
    std::string word = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return word.empty() || word.find("???") != std::string::npos ? fallback : word;
}

bool selectable(const OptionsScreen::Row& row) { return row.kind != OptionsScreen::RowKind::heading; }

std::string window_text(int scale) {
    if (scale <= 0) return message_text(msg::options_window_auto);
    return int_to_text(scale) + " x (" + int_to_text(SCREEN_WIDTH * scale) + " x " +
           int_to_text(SCREEN_HEIGHT * scale) + ")";
}

// The keys, the sound and the gamepad as the preferences now say.
void put_in_force() {
    set_default_key_bindings();
    apply_preferences(g_common.preferences);
}

}  // namespace

std::string command_label(Command command) {
    if (command == Command::none || command >= Command::count) return message_text(msg::options_none);
    return list_word(msg::options_command_names, static_cast<size_t>(command) - 1, command_info(command).name);
}

std::string pad_control_label(PadControl control) {
    return list_word(msg::options_control_names, static_cast<size_t>(control), pad_control_name(control));
}

OptionsScreen::OptionsScreen() {
    using K = RowKind;
    rows_ = {{K::language}, {K::volume}, {K::sound}, {K::window}, {K::heading, Command::none, PadControl::count,
                                                                   msg::options_keys_heading},
             {K::reset_keys}};
    for (const CommandInfo& info : command_table()) rows_.push_back({K::command, info.command});
    rows_.push_back({K::heading, Command::none, PadControl::count, msg::options_gamepad_heading});
    for (int c = 0; c < kPadControls; ++c) rows_.push_back({K::pad_control, Command::none, static_cast<PadControl>(c)});
}

void OptionsScreen::move(int by) {
    const int count = static_cast<int>(rows_.size());
    int at = std::clamp(selected_ + by, 0, count - 1);
    // Headings are passed over in the direction of the move (back the other way at an end).
    const int step = by < 0 ? -1 : 1;
    while (at >= 0 && at < count && !selectable(rows_[static_cast<size_t>(at)])) at += step;
    if (at < 0 || at >= count) {
        at = std::clamp(at, 0, count - 1);
        while (!selectable(rows_[static_cast<size_t>(at)])) at -= step;
    }
    selected_ = at;
    if (selected_ < top_) top_ = selected_;
    if (selected_ >= top_ + TEXT_LIST_PAGE) top_ = selected_ - TEXT_LIST_PAGE + 1;
}

void OptionsScreen::switch_language() {
    Preferences& preferences = g_common.preferences;
    preferences.language = preferences.language == LANGUAGES[0].word ? LANGUAGES[1].word : LANGUAGES[0].word;
    // Every text in the new language at once: the messages and the names of the databases.
    load_message_list(MESSAGES_FILE);
    load_abilities_db();
    load_monster_db("data\\monster.xml");
    load_power_db();
    load_item_db();
}

void OptionsScreen::change(int step) {
    Preferences& preferences = g_common.preferences;
    const Row& row = rows_[static_cast<size_t>(selected_)];
    switch (row.kind) {
    case RowKind::language: switch_language(); break;
    case RowKind::volume:
        preferences.sound_volume =
            static_cast<int16_t>(std::clamp(preferences.sound_volume + step * VOLUME_STEP, 0, 100));
        break;
    case RowKind::sound: preferences.sound_mute = preferences.sound_mute ? 0 : 1; break;
    case RowKind::window: {
        const int scales = kMaxWindowScale + 1;
        preferences.window_scale = static_cast<int16_t>(((preferences.window_scale + step) % scales + scales) % scales);
        apply_window_scale(preferences.window_scale);
        break;
    }
    case RowKind::pad_control: {
        // Through "none" and every command of the table.
        const int choices = static_cast<int>(Command::count);
        const int now = static_cast<int>(gamepad_command(row.control));
        set_gamepad_command(row.control, static_cast<Command>(((now + step) % choices + choices) % choices));
        break;
    }
    default: return;
    }
    put_in_force();
}

void OptionsScreen::take(Command command) {
    if (capturing_) {
        if (command == Command::cancel) capturing_ = false;  // the command keeps its keys
        return;
    }
    notice_.clear();
    const Row& row = rows_[static_cast<size_t>(selected_)];
    switch (command) {
    case Command::cursor_up: move(-1); break;
    case Command::cursor_down: move(1); break;
    case Command::page_up: move(-(TEXT_LIST_PAGE - 1)); break;
    case Command::page_down: move(TEXT_LIST_PAGE - 1); break;
    case Command::first: move(-static_cast<int>(rows_.size())); break;
    case Command::last: move(static_cast<int>(rows_.size())); break;
    case Command::cursor_left: change(-1); break;
    case Command::cursor_right: change(1); break;
    case Command::confirm:
        if (row.kind == RowKind::command) {
            capturing_ = true;
        } else if (row.kind == RowKind::reset_keys) {
            reset_command_keys();
            reset_gamepad_commands();
            put_in_force();
            notice_ = message_text(msg::options_keys_reset);
        } else if (row.kind != RowKind::volume) {
            change(1);
        }
        break;
    case Command::cancel:
        closed_ = true;
        save_preferences(g_common.preferences, PREFERENCES_FILE);
        break;
    default: break;
    }
}

void OptionsScreen::take_key(const KeyChord& chord) {
    if (!capturing_) return;
    capturing_ = false;
    const Command command = rows_[static_cast<size_t>(selected_)].command;
    Command taken_by = Command::none;
    if (bind_command(command, {chord}, &taken_by)) {
        put_in_force();
        return;
    }
    std::string text = message_text(msg::options_key_taken);
    text = replace_all(text, "[key]", key_name(chord));
    notice_ = replace_all(text, "[command]", command_label(taken_by));
}

std::vector<TextLine> OptionsScreen::lines() const {
    const Preferences& preferences = g_common.preferences;
    std::vector<TextLine> lines;
    for (size_t k = 0; k < rows_.size(); ++k) {
        const Row& row = rows_[k];
        std::string text;
        switch (row.kind) {
        case RowKind::language: {
            std::string name = preferences.language;
            for (const Language& language : LANGUAGES)
                if (preferences.language == language.word) name = language.own_name;
            text = replace_all(message_text(msg::options_language), "[value]", name);
            break;
        }
        case RowKind::volume:
            text = replace_all(message_text(msg::options_volume), "[value]", int_to_text(preferences.sound_volume));
            break;
        case RowKind::sound:
            text = message_text(preferences.sound_mute ? msg::options_sound_off : msg::options_sound_on);
            break;
        case RowKind::window:
            text = replace_all(message_text(msg::options_window), "[value]", window_text(preferences.window_scale));
            break;
        case RowKind::reset_keys: text = message_text(msg::options_reset_keys); break;
        case RowKind::heading: text = message_text(row.heading); break;
        case RowKind::command: {
            const std::string keys = command_key_names(row.command);
            text = command_label(row.command) + ": " + (keys.empty() ? message_text(msg::options_none) : keys);
            break;
        }
        case RowKind::pad_control: {
            const Command command = gamepad_command(row.control);
            text = pad_control_label(row.control) + ": " +
                   (command == Command::none ? message_text(msg::options_none) : command_label(command));
            break;
        }
        }
        const bool chosen = static_cast<int>(k) == selected_;
        lines.push_back({(chosen ? "> " : "  ") + text, chosen ? CHOSEN : row.kind == RowKind::heading ? HEADING : WHITE});
    }
    return lines;
}

std::string OptionsScreen::footer() const {
    if (!notice_.empty()) return notice_;
    const Row& row = rows_[static_cast<size_t>(selected_)];
    if (capturing_)
        return with_key_names(replace_all(message_text(msg::options_press_key), "[command]", command_label(row.command)));
    return with_key_names(message_text(row.kind == RowKind::pad_control ? msg::options_gamepad_hint : msg::options_hint));
}

void OptionsScreen::draw() const {
    draw_text_list(message_text(msg::options), lines(), footer(), top_);
}

OptionsStackScreen::OptionsStackScreen() = default;

bool OptionsStackScreen::open() {
    screen_.draw();
    return true;
}

void OptionsStackScreen::take(WindowEvent event) {
    input_ = false;
    if (event == WindowEvent::close_request) {
        window_close_asked();
        save_preferences(g_common.preferences, PREFERENCES_FILE);
        return close();
    }
    // Cancel when let go, so that its release does not reach the menu (which would quit).
    if (command_released(Command::cancel)) {
        screen_.take(Command::cancel);
        input_ = true;
    }
    const std::vector<KeyChord>& cancel_keys = command_keys(Command::cancel);
    for (int code = 1; code < 256 && !screen_.closed(); ++code) {
        if (!key_pressed(code) || code == key::left_alt) continue;
        const KeyChord chord{code, key_held(key::left_alt)};
        input_ = true;
        if (std::find(cancel_keys.begin(), cancel_keys.end(), KeyChord{code, false}) != cancel_keys.end()) continue;
        if (screen_.capturing()) {
            screen_.take_key(chord);
            break;
        }
        for (Command command : commands_of_key(CommandContext::screen, KeyChord{code, false})) screen_.take(command);
    }
    if (screen_.closed()) close();
}

bool OptionsStackScreen::draw() {
    if (!input_) return false;
    screen_.draw();
    return true;
}
