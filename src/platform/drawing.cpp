// 2D drawing on the screen or on a sprite: boxes, lines and text.
#include <SDL_ttf.h>

#include <algorithm>
#include <initializer_list>
#include <unordered_map>
#include <vector>

#include "platform/fonts.h"
#include "platform/media_state.h"

namespace {

// Where drawing goes: the back buffer, the chosen sprite, or nowhere when
// that sprite does not exist (any more).
Surface* draw_surface() {
    if (g_media.draw_target == SCREEN_TARGET) return g_media.screen_drawing_off ? nullptr : &screen_for_drawing();
    return sprite_surface(g_media.draw_target);
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

namespace {

// Text lines are drawn from the font library's picture of them: the library
// is asked once for each font and text, and the finished line is kept while
// it is drawn again and again (the status panel draws the same lines in every
// frame). Both caches are bounded.
constexpr size_t TEXT_PICTURE_BYTES = 2 * 1024 * 1024;
constexpr size_t TEXT_SIZES = 4096;

// A drawn line: over an opaque background its finished pixels (background,
// glyphs and their edges blended over it), over a transparent one the glyph
// coverage 0..255 per pixel.
struct TextPicture {
    Surface pixels;
    std::vector<uint8_t> coverage;
    int width = 0, height = 0;
    size_t bytes() const { return pixels.pixels.size() * sizeof(uint32_t) + coverage.size(); }
};

struct TextSize {
    bool measured = false;  // false: the font library could not measure the text
    int width = 0, height = 0;
};

// The finished lines by key; when they pass their bound they are all
// dropped and drawn anew (the lines in use come back at once).
class TextPictures {
public:
    const TextPicture* find(const std::string& key) const {
        auto found = pictures_.find(key);
        return found == pictures_.end() ? nullptr : &found->second;
    }
    const TextPicture& add(const std::string& key, TextPicture picture) {
        if (bytes_ + picture.bytes() > TEXT_PICTURE_BYTES) clear();
        bytes_ += picture.bytes();
        return pictures_.insert_or_assign(key, std::move(picture)).first->second;
    }
    void clear() {
        pictures_.clear();
        bytes_ = 0;
    }

private:
    std::unordered_map<std::string, TextPicture> pictures_;
    size_t bytes_ = 0;
};

TextPictures g_text_pictures;
std::unordered_map<std::string, TextSize> g_text_sizes;

// The font and the text in one key; the drawing's colours are put in front.
std::string text_key(const Font& font, const std::string& text, std::initializer_list<uint32_t> more = {}) {
    std::string key;
    key.reserve(text.size() + 4 * (more.size() + 1));
    auto put = [&key](uint32_t value) { key.append(reinterpret_cast<const char*>(&value), sizeof value); };
    put(static_cast<uint32_t>(font.serial));
    for (uint32_t value : more) put(value);
    key += text;
    return key;
}

const TextSize& measured_text(const Font& font, const std::string& text) {
    std::string key = text_key(font, text);
    auto found = g_text_sizes.find(key);
    if (found != g_text_sizes.end()) return found->second;
    if (g_text_sizes.size() >= TEXT_SIZES) g_text_sizes.clear();
    TextSize size;
    size.measured = TTF_SizeUTF8(font.handle, text.c_str(), &size.width, &size.height) == 0;
    return g_text_sizes.emplace(std::move(key), size).first->second;
}

// The glyph coverage of a line, rendered in white (its alpha channel); false
// when the font library cannot render it.
bool render_text(const Font& font, const std::string& text, TextPicture& picture) {
    SDL_Color white{255, 255, 255, 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font.handle, text.c_str(), white);
    if (!glyphs) return false;
    picture.width = glyphs->w;
    picture.height = glyphs->h;
    picture.coverage.assign(static_cast<size_t>(glyphs->w) * static_cast<size_t>(glyphs->h), 0);
    if (SDL_LockSurface(glyphs) == 0) {
        const SDL_PixelFormat* format = glyphs->format;
        for (int row = 0; row < glyphs->h; ++row) {
            const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(glyphs->pixels) +
                                                                 static_cast<size_t>(row) * glyphs->pitch);
            for (int col = 0; col < glyphs->w; ++col)
                picture.coverage[static_cast<size_t>(row) * glyphs->w + col] =
                    static_cast<uint8_t>((line[col] & format->Amask) >> format->Ashift);
        }
        SDL_UnlockSurface(glyphs);
    }
    SDL_FreeSurface(glyphs);
    return true;
}

// The glyphs laid in colour over whatever lies at (x, y) of the target.
void blend_coverage(const TextPicture& picture, Surface& target, int x, int y, Colour colour) {
    for (int row = 0; row < picture.height; ++row)
        for (int col = 0; col < picture.width; ++col) {
            int coverage = picture.coverage[static_cast<size_t>(row) * picture.width + col];
            if (coverage > 0) blend_pixel(target, x + col, y + row, colour, coverage);
        }
}

}  // namespace

void forget_drawn_text() {
    g_text_pictures.clear();
    g_text_sizes.clear();
}

int text_width(const std::string& text) {
    const Font* font = active_font();
    if (!font || text.empty()) return 0;
    const TextSize& size = measured_text(*font, text);
    return size.measured ? size.width : 0;
}

int text_height(const std::string& text) {
    const Font* font = active_font();
    if (!font) return 0;
    if (text.empty()) return TTF_FontHeight(font->handle);
    const TextSize& size = measured_text(*font, text);
    return size.measured ? size.height : TTF_FontHeight(font->handle);
}

void draw_text(int x, int y, const std::string& text, Colour colour) {
    const Font* font = active_font();
    if (!font || text.empty()) return;
    Surface* target = draw_surface();
    if (!target) return;
    colour &= 0xFFFFFFu;  // only the channels count in the blending
    const bool opaque = !g_media.text_transparent;
    const std::string key = opaque ? text_key(*font, text, {1, colour, g_media.text_background}) : text_key(*font, text, {0});
    const TextPicture* picture = g_text_pictures.find(key);
    if (!picture) {
        TextPicture made;
        if (!render_text(*font, text, made)) return;
        if (opaque) {
            // The line's box in the background colour with the glyphs laid over it.
            made.pixels = Surface(made.width, made.height, g_media.text_background);
            blend_coverage(made, made.pixels, 0, 0, colour);
            made.coverage.clear();
            made.coverage.shrink_to_fit();
        }
        picture = &g_text_pictures.add(key, std::move(made));
    }
    if (opaque) blit(picture->pixels, *target, x, y, BlitMode::opaque);
    else blend_coverage(*picture, *target, x, y, colour);
}

// The locked mode brackets direct pixel work (the map view's lighting). Our
// surfaces are always addressable, so it is a flag that draws the same.
void lock_pixels() { g_media.locked = true; }
void unlock_pixels() { g_media.locked = false; }
bool pixels_locked() { return g_media.locked; }
