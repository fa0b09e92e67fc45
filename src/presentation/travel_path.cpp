#include "presentation/travel_path.h"

#include "character/character_state.h"
#include "presentation/view.h"
#include "common/view_cells.h"
#include "game/travel.h"
#include "platform/media.h"

namespace {

constexpr int MARK = 6;
constexpr Colour MARK_COLOUR = RGB(255, 220, 80);

}  // namespace

void draw_travel_path(int offset_x, int offset_y) {
    if (!g_travel.active || g_travel.path.empty()) return;
    const CharacterRecord& c = g_character_model.character;
    draw_start();
    for (const MapPoint& field : g_travel.path) {
        const int column = field.x - c.x + VIEW_CENTRE, row = field.y - c.y + VIEW_CENTRE;
        if (column < 0 || column >= VIEW_CELLS || row < 0 || row >= VIEW_CELLS) continue;
        draw_box(column * CELL + (CELL - MARK) / 2 + offset_x, row * CELL + (CELL - MARK) / 2 + offset_y, MARK, MARK,
                 MARK_COLOUR);
    }
    draw_stop();
}
