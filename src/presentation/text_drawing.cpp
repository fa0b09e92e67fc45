#include <algorithm>

#include "common/view.h"
#include "platform/media.h"
#include "platform/strings.h"

namespace {

// 1-based position of the first space after the 1-based position `after` (0: none).
int next_space(const std::string& text, int after) { return find_text(text, " ", after) + 1; }

}  // namespace

void draw_text_on_black(int x, int y, const std::string& text, Colour colour) {
    draw_text_background(RGB(0, 0, 0));
    draw_text(x, y, text, colour);
}

void draw_outlined_text(int x, int y, const std::string& text, Colour colour, Colour outline) {
    draw_text_transparent();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0) draw_text(x + dx, y + dy, text, outline);
    draw_text(x, y, text, colour);
}

int text_line_step(int line_height) {
    // A line's picture is as tall as its letters reach: these reach highest
    // and lowest among the texts of the game's languages.
    return std::max({line_height, text_height(""), text_height("ÄÖÜßgjpqy()[]|_")});
}

int draw_wrapped_text(int x, int y, const std::string& text, int width, int line_height, Colour colour) {
    line_height = text_line_step(line_height);
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
                draw_text_on_black(x, cy, rest, colour);
            } else {
                draw_text_on_black(x, cy, left_part(rest, last), colour);
                cy += line_height;
                ++lines;
                draw_text_on_black(x, cy, rest.substr(last), colour);
            }
            rest.clear();
        } else if (last == 0) {
            // Even the first word is too wide: it stands alone on its line.
            draw_text_on_black(x, cy, left_part(rest, p), colour);
            rest = rest.substr(p);
        } else {
            draw_text_on_black(x, cy, left_part(rest, last), colour);
            rest = rest.substr(last);
        }
        cy += line_height;
        ++lines;
    }
    if (!rest.empty()) {
        draw_text_on_black(x, cy, rest, colour);
        ++lines;
    }
    return lines;
}
