// 2D drawing on the screen or on a sprite: boxes, lines and text.
#include <SDL_ttf.h>

#include <algorithm>

#include "platform/fonts.h"
#include "platform/media_state.h"

namespace {

// Where drawing goes: the back buffer, the chosen sprite, or nowhere when
// that sprite does not exist (any more).
Surface* draw_surface() {
    if (g_media.draw_target == SCREEN_TARGET) return &g_media.screen;
    auto found = g_media.sprites.find(g_media.draw_target);
    return found == g_media.sprites.end() ? nullptr : &found->second;
}

}  // namespace

void draw_start(int target) {
    g_media.draw_target = target;
    g_media.drawing = true;
}

void draw_stop() {
    g_media.draw_target = SCREEN_TARGET;
    g_media.drawing = false;
}

void draw_text_transparent() { g_media.text_transparent = true; }

void draw_text_background(Colour colour) {
    g_media.text_transparent = false;
    g_media.text_background = colour & 0xFFFFFFu;
}

void draw_select_font(int font) { g_media.current_font = font; }
int draw_current_font() { return g_media.current_font; }

void draw_box(int x, int y, int width, int height, Colour colour) {
    if (Surface* target = draw_surface()) fill_box(*target, x, y, width, height, colour);
}

void draw_line(int x1, int y1, int x2, int y2, Colour colour) {
    if (Surface* target = draw_surface()) draw_line_on(*target, x1, y1, x2, y2, colour);
}

int text_width(const std::string& text) {
    const Font* font = active_font();
    int w = 0, h = 0;
    if (!font || text.empty() || TTF_SizeUTF8(font->handle, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

int text_height(const std::string& text) {
    const Font* font = active_font();
    if (!font) return 0;
    int w = 0, h = 0;
    if (text.empty() || TTF_SizeUTF8(font->handle, text.c_str(), &w, &h) != 0) return TTF_FontHeight(font->handle);
    return h;
}

void draw_text(int x, int y, const std::string& text, Colour colour) {
    Surface* target = draw_surface();
    const Font* font = active_font();
    if (!target || !font || text.empty()) return;
    SDL_Color white{255, 255, 255, 255};
    // Rendered in white: the alpha channel is the glyph coverage, laid in
    // our colour over the target ourselves.
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font->handle, text.c_str(), white);
    if (!glyphs) return;
    if (!g_media.text_transparent) fill_box(*target, x, y, glyphs->w, glyphs->h, g_media.text_background);
    if (SDL_LockSurface(glyphs) == 0) {
        const SDL_PixelFormat* format = glyphs->format;
        for (int row = 0; row < glyphs->h; ++row) {
            const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(glyphs->pixels) +
                                                                 static_cast<size_t>(row) * glyphs->pitch);
            for (int col = 0; col < glyphs->w; ++col) {
                int coverage = static_cast<int>((line[col] & format->Amask) >> format->Ashift);
                if (coverage > 0) blend_pixel(*target, x + col, y + row, colour, coverage);
            }
        }
        SDL_UnlockSurface(glyphs);
    }
    SDL_FreeSurface(glyphs);
}

// The locked mode brackets direct pixel work (the map view's lighting). Our
// surfaces are always addressable, so it is a flag that draws the same.
void lock_pixels() { g_media.locked = true; }
void unlock_pixels() { g_media.locked = false; }
bool pixels_locked() { return g_media.locked; }
