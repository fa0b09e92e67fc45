#include "screens/guide_screens.h"

#include <vector>

#include "common/commands.h"
#include "common/common_state.h"
#include "common/message_ids.h"
#include "game/hall_of_fame.h"

namespace {

constexpr Colour HEADING = RGB(255, 150, 0);
constexpr int MSG_CHARACTER_FOOTER = 2;  // "Press Return to go back"

// The help: the keys of the game, then of each screen, each screen under a heading.
struct HelpSection {
    int heading;
    std::vector<int> lines;
};

const std::vector<HelpSection>& help_sections() {
    static const std::vector<HelpSection> sections = {
        {msg::help_heading_game,
         {msg::help_walk, msg::help_wait, msg::help_rest, msg::help_character, msg::help_inventory, msg::help_pick_up,
          msg::help_power, msg::help_advance, msg::help_explore, msg::help_travel, msg::help_look, msg::help_map, msg::help_history, msg::help_help, msg::help_escape,
          msg::help_screen_mode, msg::help_quit, msg::help_no_turn}},
        {msg::help_heading_menu, {msg::help_menu, msg::help_menu_fame}},
        {msg::help_heading_inventory, {msg::hint_inventory, msg::hint_item_menu, msg::help_inventory_empty_cell}},
        {msg::help_heading_pick_up, {msg::hint_pick_up, msg::help_pick_up_return}},
        {msg::help_heading_power, {msg::hint_power, msg::help_target_intro, msg::hint_target}},
        {msg::help_heading_character, {MSG_CHARACTER_FOOTER}},
        {msg::help_heading_advancement, {msg::hint_advancement, msg::help_advancement_escape}},
        {msg::help_heading_lists, {msg::list_hint, msg::help_lists}},
        {msg::help_heading_map, {msg::map_hint}},
    };
    return sections;
}

}  // namespace

std::vector<TextLine> help_lines() {
    std::vector<TextLine> lines;
    for (const HelpSection& section : help_sections()) {
        if (!lines.empty()) lines.push_back({""});
        lines.push_back({message_text(section.heading), HEADING});
        for (int id : section.lines) lines.push_back({with_key_names(message_text(id))});
    }
    return lines;
}

std::unique_ptr<Screen> help_screen() {
    return std::make_unique<TextListScreen>(message_text(msg::help_title), help_lines(), message_text(msg::list_hint), false,
                     std::vector<int>{key::f1, key::slash, key::minus});
}

std::unique_ptr<Screen> history_screen() {
    std::vector<TextLine> lines;
    for (const ShownText& shown : g_common.message_history.texts) lines.push_back({history_line(shown), shown.colour});
    if (lines.empty()) lines.push_back({message_text(msg::history_empty)});
    return std::make_unique<TextListScreen>(message_text(msg::history_title), lines, message_text(msg::list_hint), true, std::vector<int>{key::l});
}

std::vector<TextLine> hall_of_fame_lines() {
    std::vector<TextLine> lines;
    const HallOfFame hall = load_hall_of_fame();
    for (size_t k = 0; k < hall.entries.size(); ++k) {
        const FameEntry& run = hall.entries[k];
        const std::string line = message_with(msg::fame_line, {{"[rank]", std::to_string(k + 1)},
                                                               {"[map]", run.map},
                                                               {"[value]", std::to_string(run.deepest_level)},
                                                               {"[turns]", std::to_string(run.turns)},
                                                               {"[kills]", std::to_string(run.kills)},
                                                               {"[cause]", run.cause}});
        lines.push_back({line, run.won ? HEADING : WHITE});
    }
    if (lines.empty()) lines.push_back({message_text(msg::fame_empty)});
    return lines;
}

std::unique_ptr<Screen> hall_of_fame_screen() {
    return std::make_unique<TextListScreen>(message_text(msg::fame_title), hall_of_fame_lines(), message_text(msg::list_hint), false,
                     std::vector<int>{key::h});
}
