#include "presentation/view.h"

#include "platform/media.h"

namespace {

// The panel behind a menu that opens over other pictures: the frame sheet's
// gold between dark edges, around the frame's dark slate.
constexpr Colour PANEL_EDGE = RGB(0x40, 0x26, 0x12), PANEL_GOLD = RGB(0xDC, 0xB3, 0x5F),
                 PANEL_BRONZE = RGB(0x94, 0x60, 0x20), PANEL_BACKGROUND = RGB(0x1D, 0x1B, 0x24);

}  // namespace

void menu_reset(Menu& menu) { menu = Menu{}; }

int menu_add(Menu& menu, const std::string& text) {
    for (int i = 0; i < MENU_SLOTS; ++i) {
        if (menu.entries[i].empty()) {
            menu.entries[i] = text;
            return i;
        }
    }
    return 0;
}

void menu_measure(Menu& menu, int start_drawing) {
    if (start_drawing == 1) draw_start();
    if (menu.font > 0) draw_select_font(menu.font);
    int count = 0;
    for (const std::string& entry : menu.entries) {
        int width = text_width(entry) + 2 * menu.inset;
        int height = text_height(entry) + 2 * menu.inset;
        if (width > menu.entry_width) menu.entry_width = static_cast<int16_t>(width);
        if (height > menu.entry_height) menu.entry_height = static_cast<int16_t>(height);
        if (!entry.empty()) ++count;
    }
    menu.count = static_cast<int16_t>(count);
    if (start_drawing == 1) draw_stop();
}

void menu_draw(Menu& menu, int start_drawing) {
    if (menu.visible != 1) return;
    if (start_drawing == 1) draw_start();
    if (menu.font > 0) draw_select_font(menu.font);
    if (menu.entry_width == 0) menu_measure(menu, 0);
    menu.hovered = -1;
    const int w = menu.entry_width, h = menu.entry_height;
    int cx = menu.x, cy = menu.y;

    if (menu.background_margin > 0) {
        draw_box(menu.x - 1, menu.y - 1, w + 3, (h + 2 * menu.inset + menu.gap) * menu.count + 3, menu.colour);
        draw_box(menu.x, menu.y, w, (h + menu.gap) * menu.count, BLACK);
    }

    for (int i = 0; i < menu.count && i < MENU_SLOTS; ++i) {
        if (menu.entry_outline > 0 || i == menu.selected) {
            draw_box(cx, cy, w, h, menu.colour);
            if (i == menu.selected && menu.bevel == 1) {
                draw_line(cx, cy, cx + w, cy, menu.light_colour);
                draw_line(cx, cy, cx, cy + h, menu.light_colour);
                draw_line(cx + w, cy + 1, cx + w, cy + h, menu.dark_colour);
                draw_line(cx + 1, cy + h, cx + w, cy + h, menu.dark_colour);
            }
        }
        if (menu.mouse_tracking == 1 && menu.hovered == -1 && menu.x <= menu.mouse_x &&
            menu.mouse_x <= menu.x + w && cy <= menu.mouse_y && menu.mouse_y <= cy + h) {
            menu.selected = static_cast<uint8_t>(i);
            menu.hovered = static_cast<int16_t>(i);
        }
        int tx = cx + menu.inset + menu.entry_outline + menu.background_margin;
        int ty = cy + menu.inset + menu.entry_outline + menu.background_margin;
        if (i == menu.selected) {
            draw_text_background(menu.colour);
            draw_text(tx, ty, menu.entries[i], BLACK);
        } else {
            draw_box(cx + 1, cy + 1, w - 2 * menu.entry_outline, h - 2, BLACK);
            draw_text_background(BLACK);
            draw_text(tx, ty, menu.entries[i], menu.colour);
        }
        cy += h + menu.gap + menu.inset;
    }
    draw_text_background(BLACK);
    if (start_drawing == 1) draw_stop();
}

int menu_list_height(const Menu& menu) {
    if (menu.count <= 0) return 0;
    return menu.count * (menu.entry_height + menu.gap + menu.inset) - menu.gap - menu.inset;
}

void menu_draw_on_panel(Menu& menu, int start_drawing) {
    if (menu.visible != 1) return;
    if (start_drawing == 1) draw_start();
    if (menu.entry_width == 0) menu_measure(menu, 0);
    const int b = MENU_PANEL_BORDER;
    int x = menu.x - b, y = menu.y - b;
    int w = menu.entry_width + 2 * b, h = menu_list_height(menu) + 2 * b;
    for (Colour ring : {PANEL_EDGE, PANEL_GOLD, PANEL_BRONZE, PANEL_EDGE}) {
        draw_box(x, y, w, h, ring);
        ++x, ++y, w -= 2, h -= 2;
    }
    draw_box(x, y, w, h, PANEL_BACKGROUND);
    menu_draw(menu, 0);
    if (start_drawing == 1) draw_stop();
}
