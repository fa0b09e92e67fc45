#include "screens/look_screen.h"

#include <algorithm>

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/commands.h"
#include "common/database.h"
#include "common/message_ids.h"
#include "presentation/view.h"
#include "common/view_cells.h"
#include "items/inventory.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "map/seen_fields.h"
#include "platform/media.h"
#include "screens/screen_stack.h"
#include "platform/strings.h"

namespace {

constexpr int PANEL_X = (2 * VIEW_CENTRE + 1) * CELL + 8;  // right of the map view
constexpr int PANEL_WIDTH = 640 - PANEL_X - 4;
constexpr int PANEL_BOTTOM = 440;
constexpr int LINE = 12;

std::string with(int id, std::initializer_list<std::pair<const char*, std::string>> values) {
    std::string text = message_text(id);
    for (const auto& [name, value] : values) text = replace_all(text, name, value);
    return text;
}

std::string signed_text(int value) { return (value > 0 ? "+" : "") + int_to_text(value); }

const std::string& ability_name(int id) {
    static const std::string none;
    return id > 0 && id <= kMaxAbilityId ? g_db.abilities[id].display_name : none;
}

void describe_monster(const Monster& monster, std::vector<std::string>& lines) {
    const MonsterType& kind = g_db.monster_types[monster.type];
    lines.push_back(kind.name);
    lines.push_back(with(msg::look_hit_points, {{"[now]", int_to_text(monster.hitpoints)}, {"[max]", int_to_text(kind.hitpoints)}}));
    lines.push_back(with(msg::look_fighting, {{"[attack]", int_to_text(kind.attack)},
                                              {"[defense]", int_to_text(kind.defense)},
                                              {"[armor]", int_to_text(kind.armor)}}));
    lines.push_back(with(msg::look_damage, {{"[strength]", int_to_text(kind.strength)}, {"[speed]", int_to_text(kind.speed)}}));
    if (kind.flying) lines.push_back(message_text(msg::look_flies));
    std::string afflictions;
    for (const MonsterAffliction& affliction : kind.afflictions) {
        const std::string& name = ability_name(affliction.attribute);
        if (affliction.chance <= 0 || name.empty() || afflictions.find(name) != std::string::npos) continue;
        afflictions += (afflictions.empty() ? "" : ", ") + name;
    }
    if (!afflictions.empty()) lines.push_back(with(msg::look_afflicts, {{"[list]", afflictions}}));
}

void describe_item(const MapItem& item, std::vector<std::string>& lines) {
    const ItemType& kind = item_type_of(item.type);
    std::string name = kind.name;
    if (kind.artefact) name += " + " + int_to_text(item.magic_bonus);
    lines.push_back(name);
    lines.push_back(with(msg::look_weight, {{"[weight]", float_to_text(kind.weight / 10.0, 1)}}));
    for (const ItemAbilityBonus& bonus : kind.ability_bonus) {
        if (ability_name(bonus.attribute).empty()) continue;
        int value = bonus.value;
        if (kind.artefact && bonus.magic_bonus_multiplier > 0) value += item.magic_bonus * bonus.magic_bonus_multiplier;
        lines.push_back(ability_name(bonus.attribute) + " " + signed_text(wrap16(value)));
    }
    if (kind.fuel > 0 && !kind.fuel_name.empty()) lines.push_back(replace_all(kind.fuel_name, "[fuel]", int_to_text(item.fuel)));
    if (!kind.use_name.empty()) lines.push_back(with(msg::look_use, {{"[use]", kind.use_name}}));
}

void describe_field(int x, int y, std::vector<std::string>& lines) {
    const TileType& tile = g_map.map.tileset.tile_types[read_map_tile_type(g_map.map, x, y)];
    lines.push_back(tile.name);
    // A hidden field shows the ground it hides under, not what it does.
    if (g_map.map.fields[y][x].hidden) return;
    for (const TileModifyAttribute& slot : tile.modify_attribute) {
        if (ability_name(slot.attribute).empty() || slot.amount == 0) continue;
        lines.push_back(with(msg::look_field_effect,
                             {{"[ability]", ability_name(slot.attribute)}, {"[amount]", signed_text(slot.amount)}}));
    }
}

}  // namespace

std::vector<std::string> look_lines(int x, int y) {
    std::vector<std::string> lines;
    if (!on_map(x, y) || !read_map_seen(g_map.map, x, y)) {
        lines.push_back(message_text(msg::look_nothing_known));
        return lines;
    }
    if (field_in_sight(x, y))
        for (const Monster& monster : g_map.monsters)
            if (monster.x == x && monster.y == y) describe_monster(monster, lines);
    const bool inside = g_map.map.tileset.tile_types[read_map_tile_type(g_map.map, x, y)].container > 0;
    if (!inside)
        for (const MapItem& item : g_map.items)
            if (item.x == x && item.y == y) describe_item(item, lines);
    describe_field(x, y, lines);
    return lines;
}

namespace {

void draw_look_screen(int column, int row) {
    const CharacterRecord& c = g_character_model.character;
    const int x = c.x + column - VIEW_CENTRE, y = c.y + row - VIEW_CENTRE;
    draw_game_picture(g_map.map, 0, 0, 0, 0);
    draw_blinking_cursor(column * CELL, row * CELL);
    draw_box(PANEL_X - 8, 0, 640 - PANEL_X + 8, PANEL_BOTTOM, BLACK);
    int top = 8;
    const Monster* monster = field_in_sight(x, y) ? last_monster_at(x, y) : nullptr;
    if (monster) {
        sprite_display_transparent(clip_monster_type(monster->type), PANEL_X, top);
        top += CELL + 4;
    }
    draw_start();
    draw_select_font(FONT_PANEL);
    const int step = text_line_step(LINE);
    for (const std::string& line : look_lines(x, y)) {
        if (top + step > PANEL_BOTTOM) break;
        top += draw_wrapped_text(PANEL_X, top, line, PANEL_WIDTH, LINE, WHITE) * step;
    }
    draw_stop();
    draw_key_hint(message_text(msg::look_hint));
}

}  // namespace

LookScreen::LookScreen(LookCursor start)
    : cursor_{std::clamp(start.column, 0, 2 * VIEW_CENTRE), std::clamp(start.row, 0, 2 * VIEW_CENTRE)} {}

bool pointer_look_cursor(LookCursor& cursor) {
    int x = 0, y = 0;
    window_mouse_position(x, y);
    return view_cell_at_pixel(x, y, cursor.column, cursor.row);
}

void LookScreen::take(WindowEvent event) {
    if (event == WindowEvent::close_request) {
        window_close_asked();
        return close();
    }
    // Escape when let go, so that its release does not reach the game (which would save and leave).
    if (command_released(Command::cancel) || command_pressed(Command::look)) return close();
    const int dx = command_pressed(Command::cursor_right) - command_pressed(Command::cursor_left);
    const int dy = command_pressed(Command::cursor_down) - command_pressed(Command::cursor_up);
    cursor_.column = std::clamp(cursor_.column + dx, 0, 2 * VIEW_CENTRE);
    cursor_.row = std::clamp(cursor_.row + dy, 0, 2 * VIEW_CENTRE);
}

bool LookScreen::draw() {
    draw_look_screen(cursor_.column, cursor_.row);
    return true;
}
