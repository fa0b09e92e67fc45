#include "screens/text_list_screen.h"
#include "screens/screen_stack.h"

#include <algorithm>

#include "character/advancement.h"
#include "screens/advancement_screen.h"
#include "common/commands.h"
#include "common/common_state.h"
#include "presentation/view.h"

namespace {

// Rows of 16 pixels from below the title band to above the footer band; the
// scroll bar right of them.
constexpr int LIST_X = 24, LIST_TOP = 52, ROW_STEP = 16, LIST_WIDTH = 576;
constexpr int BAR_X = 606, BAR_WIDTH = 10, BAR_HEIGHT = TEXT_LIST_PAGE * ROW_STEP - 4;
constexpr Colour BAR_FRAME = RGB(125, 75, 0), BAR_THUMB = RGB(255, 150, 0);

void draw_scroll_bar(int top, int rows) {
    const int inside = BAR_HEIGHT - 2;
    const int thumb_top = LIST_TOP + 1 + inside * top / rows;
    const int thumb_height = std::max(4, inside * TEXT_LIST_PAGE / rows);
    draw_box(BAR_X, LIST_TOP, BAR_WIDTH, BAR_HEIGHT, BAR_FRAME);
    draw_box(BAR_X + 1, LIST_TOP + 1, BAR_WIDTH - 2, inside, BLACK);
    draw_box(BAR_X + 1, thumb_top, BAR_WIDTH - 2, std::min(thumb_height, LIST_TOP + 1 + inside - thumb_top), BAR_THUMB);
}

// The row the keys of this snapshot scroll to.
int scrolled(int top, int last_top) {
    if (key_pressed(key::up)) --top;
    if (key_pressed(key::down)) ++top;
    if (key_pressed(key::page_up)) top -= TEXT_LIST_PAGE - 1;
    if (key_pressed(key::page_down)) top += TEXT_LIST_PAGE - 1;
    if (key_pressed(key::home)) top = 0;
    if (key_pressed(key::end)) top = last_top;
    return std::clamp(top, 0, last_top);
}

}  // namespace

std::vector<TextLine> wrap_text_list(const std::vector<TextLine>& lines) {
    draw_select_font(FONT_TITLE);
    std::vector<TextLine> rows;
    for (const TextLine& line : lines) {
        const std::vector<std::string> pieces = wrap_text_lines(line.text, LIST_WIDTH);
        if (pieces.empty()) rows.push_back({"", line.colour});  // an empty line keeps its place
        for (const std::string& piece : pieces) rows.push_back({piece, line.colour});
    }
    return rows;
}

void draw_text_list(const std::string& title, const std::vector<TextLine>& rows, const std::string& hint, int top) {
    draw_select_font(FONT_TITLE);
    draw_dialog_frame(title, with_key_names(hint));
    draw_start();
    draw_select_font(FONT_TITLE);
    const int count = static_cast<int>(rows.size());
    for (int k = 0; k < TEXT_LIST_PAGE && top + k < count; ++k)
        draw_text_on_black(LIST_X, LIST_TOP + ROW_STEP * k, rows[top + k].text, rows[top + k].colour);
    if (count > TEXT_LIST_PAGE) draw_scroll_bar(top, count);
    draw_stop();
}

TextListScreen::TextListScreen(std::string title, const std::vector<TextLine>& lines, std::string hint,
                               bool start_at_end, std::vector<int> close_keys)
    : title_(std::move(title)), hint_(std::move(hint)), rows_(wrap_text_list(lines)), close_keys_(std::move(close_keys)) {
    last_top_ = std::max(0, static_cast<int>(rows_.size()) - TEXT_LIST_PAGE);
    top_ = start_at_end ? last_top_ : 0;
}

bool TextListScreen::open() { return draw(); }

void TextListScreen::take(WindowEvent event) {
    if (event == WindowEvent::close_request) {
        window_close_asked();
        return close();
    }
    // Escape when let go, so that its release does not reach the game (which would save and leave).
    if (key_released(key::escape) || key_pressed(key::ret)) return close();
    for (int code : close_keys_)
        if (key_pressed(code)) return close();
    const int wanted = scrolled(top_, last_top_);
    changed_ = wanted != top_;
    top_ = wanted;
}

bool TextListScreen::draw() {
    if (!changed_) return false;
    draw_text_list(title_, rows_, hint_, top_);
    return true;
}
