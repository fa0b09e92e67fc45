#include <algorithm>

#include "presentation/view.h"
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

std::vector<std::string> wrap_text_lines(const std::string& text, int width) {
    std::vector<std::string> lines;
    std::string rest = text;
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
                lines.push_back(rest);
            } else {
                lines.push_back(left_part(rest, last));
                lines.push_back(rest.substr(last));
            }
            rest.clear();
        } else if (last == 0) {
            // Even the first word is too wide: it stands alone on its line.
            lines.push_back(left_part(rest, p));
            rest = rest.substr(p);
        } else {
            lines.push_back(left_part(rest, last));
            rest = rest.substr(last);
        }
    }
    if (!rest.empty()) lines.push_back(rest);
    return lines;
}

int draw_wrapped_text(int x, int y, const std::string& text, int width, int line_height, Colour colour) {
    const std::vector<std::string> lines = wrap_text_lines(text, width);
    const int step = text_line_step(line_height);
    for (size_t k = 0; k < lines.size(); ++k)
        draw_text_on_black(x, y + step * static_cast<int>(k), lines[k], colour);
    return static_cast<int>(lines.size());
}
