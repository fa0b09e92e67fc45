// A scrolling list of text lines in the dialog frame: the help and the
// message history are both shown by it.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/media.h"
#include "screens/screen_stack.h"

struct TextLine {
    std::string text;  // wrapped to the width of the list when it is wider
    Colour colour = WHITE;
};

// Lines shown at once, one below the other.
constexpr int TEXT_LIST_PAGE = 23;

// The list under the title with the hint in the footer, from its first line
// on, or showing its last lines with start_at_end. Up and Down scroll one
// line, Page Up and Page Down a page, Home and End to the first and the last
// page. Escape (when let go), Return or one of the close keys leaves; so does
// the window's close request, which ends the game (window_close_asked). Nothing of the game changes.
class TextListScreen : public Screen {
public:
    TextListScreen(std::string title, const std::vector<TextLine>& lines, std::string hint, bool start_at_end,
                   std::vector<int> close_keys);
    bool open() override;
    void take(WindowEvent event) override;
    bool draw() override;
    bool idle() const override { return !changed_; }

private:
    std::string title_, hint_;
    std::vector<TextLine> rows_;
    std::vector<int> close_keys_;
    int last_top_ = 0, top_ = 0;
    bool changed_ = true;
};
// The picture of the list with the wrapped rows from row top on (not flipped).
void draw_text_list(const std::string& title, const std::vector<TextLine>& rows, const std::string& hint, int top);
// The lines as the list shows them: each wrapped to the list's width in its font.
std::vector<TextLine> wrap_text_list(const std::vector<TextLine>& lines);
