#include "presentation/event_player.h"

#include <cstdlib>
#include <type_traits>

#include "character/character_state.h"
#include "common/common_state.h"
#include "presentation/view.h"
#include "map/map_state.h"
#include "platform/media.h"

namespace {

void hold(int ms) {
    if (ms > 0) wait_ms(ms);
}

void play(const event::Picture& e) {
    redraw_screen(g_map.map, 0, 0, 0, 0);
    hold(e.hold_ms);
}

void play(const event::Blow& e) {
    draw_game_picture(g_map.map, 0, 0, 0, e.character_shift);
    const int left = e.column * CELL, top = e.row * CELL;
    if (e.mark == event::Mark::fx_icon) draw_fx_icon(e.icon, left, top);
    if (e.mark == event::Mark::blood) sprite_display_transparent(sprite::blood, left, top);
    if (e.numbered) draw_number_on_cell(left, top, e.number);
    flip();
    hold(event::BLOW_HOLD_MS);
}

void play(const event::MonsterStep& e) {
    for (int s = 2; s <= 32; s += 2) {
        e.monster->offset_x = static_cast<int8_t>(s * e.dx);
        e.monster->offset_y = static_cast<int8_t>(s * e.dy);
        redraw_screen(g_map.map, 0, 0, 0, 0);
    }
    hold(event::BLOW_HOLD_MS);
}

// The figure walks through its two frames while the view scrolls; it ends on
// the frame it started with (as many changes as pictures, and one more).
void play(const event::CharacterStep& e) {
    toggle_walk_frame();
    if (e.dx > 0 || e.dy > 0) {
        for (int i = 30; i >= 2; i -= 2) {
            redraw_screen(g_map.map, e.dx * i, e.dy * i, 0, 0);
            toggle_walk_frame();
        }
    } else {
        for (int i = 2; i <= 30; i += 2) {
            redraw_screen(g_map.map, std::abs(e.dx) * i, std::abs(e.dy) * i, 0, 0);
            toggle_walk_frame();
        }
    }
}

void play(const event::Animation& e) { animation(e.name, e.column, e.row, e.value); }
void play(const event::Ring& e) { ring(e.colour, e.column, e.row); }

void play(const event::Fade& e) {
    if (e.in) fade_in(g_map.map);
    else fade_out(g_map.map);
}

void play(const event::Sound& e) { play_sound_now(e.name); }

}  // namespace

void play_sound_now(const std::string& name) {
    for (int n = SOUND_ENTRY_FIRST; n <= SOUND_ENTRY_LAST; ++n) {
        const SoundEntry& entry = g_common.sounds[n];
        if (entry.name == name && entry.sound != 0) sound_play(entry.sound);
    }
}

void play_event(const Event& happening) {
    std::visit([](const auto& e) { play(e); }, happening);
}
