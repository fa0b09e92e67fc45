#include "screens/ending_screen.h"

#include <memory>

#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/message_list.h"
#include "game/run_account.h"

namespace {
constexpr Colour STORY = RGB(255, 150, 0);
}

void show_opening_text() {
    const std::string& first = message_text(msg::opening_first);
    if (first.empty() || first == missing_message_placeholder(msg::opening_first)) return;
    show_status_message(first, message_text(msg::opening_second), WHITE, -1, 0, 8000);
}

std::vector<TextLine> ending_lines(const std::string& foe) {
    std::vector<TextLine> lines;
    for (int id = msg::ending_story_first; id <= msg::ending_story_last; ++id) {
        lines.push_back({message_with(id, {{"[monster]", foe}}), STORY});
        lines.push_back({""});
    }
    if (const FameEntry* run = last_ended_run())
        for (const std::string& line : run_summary_lines(*run)) lines.push_back({line});
    return lines;
}

void ending_screen(const std::string& foe) {
    // Asked in the middle of the turn's settling: the screen runs at once, and the turn goes on after it.
    run_screen_at_once(std::make_unique<TextListScreen>(message_text(msg::ending_title), ending_lines(foe),
                                                        message_text(msg::ending_hint), false, std::vector<int>{}));
}
