#include "platform/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

Surface::Surface(int w, int h, Colour fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill & 0xFFFFFFu) {
    reset_clip();
}

void Surface::reset_clip() {
    clip_x = 0;
    clip_y = 0;
    clip_width = width;
    clip_height = height;
}

namespace {

inline uint32_t mix_channel(uint32_t src, uint32_t dst, int shift, int intensity) {
    uint32_t s = (src >> shift) & 255u;
    uint32_t d = (dst >> shift) & 255u;
    return ((s * intensity + d * (255 - intensity)) / 255u) << shift;
}

inline uint32_t mix(uint32_t src, uint32_t dst, int intensity) {
    return mix_channel(src, dst, 0, intensity) | mix_channel(src, dst, 8, intensity) |
           mix_channel(src, dst, 16, intensity);
}

}  // namespace

void blit(const Surface& source, Surface& target, int x, int y, BlitMode mode, int intensity) {
    if (source.empty() || target.empty()) return;
    intensity = std::clamp(intensity, 0, 255);
    // The source rectangle, cut to the source itself.
    int sx0 = std::max(source.clip_x, 0);
    int sy0 = std::max(source.clip_y, 0);
    long long sx1 = std::min<long long>(static_cast<long long>(source.clip_x) + source.clip_width, source.width);
    long long sy1 = std::min<long long>(static_cast<long long>(source.clip_y) + source.clip_height, source.height);
    if (sx1 <= sx0 || sy1 <= sy0) return;
    // Where the first pixel of the rectangle lands: clipping the source moves it.
    long long dx0 = static_cast<long long>(x) + (sx0 - source.clip_x);
    long long dy0 = static_cast<long long>(y) + (sy0 - source.clip_y);
    // Cut at the target's edges.
    long long skip_x = std::max<long long>(0, -dx0);
    long long skip_y = std::max<long long>(0, -dy0);
    long long w = std::min<long long>(sx1 - sx0 - skip_x, target.width - (dx0 + skip_x));
    long long h = std::min<long long>(sy1 - sy0 - skip_y, target.height - (dy0 + skip_y));
    if (w <= 0 || h <= 0) return;
    for (long long row = 0; row < h; ++row) {
        const uint32_t* src = &source.pixels[static_cast<size_t>(sy0 + skip_y + row) * source.width + sx0 + skip_x];
        uint32_t* dst = &target.pixels[static_cast<size_t>(dy0 + skip_y + row) * target.width + dx0 + skip_x];
        switch (mode) {
        case BlitMode::opaque:
            std::copy(src, src + w, dst);
            break;
        case BlitMode::transparent:
            for (long long i = 0; i < w; ++i)
                if (src[i] != 0) dst[i] = src[i];
            break;
        case BlitMode::translucent:
            for (long long i = 0; i < w; ++i)
                if (src[i] != 0) dst[i] = mix(src[i], dst[i], intensity);
            break;
        }
    }
}

void fill_box(Surface& target, int x, int y, int width, int height, Colour colour) {
    if (width <= 0 || height <= 0) return;
    long long x0 = std::max(x, 0), y0 = std::max(y, 0);
    long long x1 = std::min<long long>(static_cast<long long>(x) + width, target.width);
    long long y1 = std::min<long long>(static_cast<long long>(y) + height, target.height);
    if (x1 <= x0 || y1 <= y0) return;
    const uint32_t value = colour & 0xFFFFFFu;
    const size_t count = static_cast<size_t>(x1 - x0);
    for (long long row = y0; row < y1; ++row) {
        uint32_t* first = &target.pixels[static_cast<size_t>(row) * target.width + x0];
        // Black, the usual fill, is all zero bytes.
        if (value == 0) std::memset(first, 0, count * sizeof(uint32_t));
        else std::fill_n(first, count, value);
    }
}

void draw_line_on(Surface& target, int x1, int y1, int x2, int y2, Colour colour) {
    // Bresenham over the whole line, both end points included; pixels off
    // the target are skipped one by one (lines are short in this game).
    uint32_t value = colour & 0xFFFFFFu;
    long long x = x1, y = y1;
    long long dx = std::llabs(static_cast<long long>(x2) - x1), sx = x1 < x2 ? 1 : -1;
    long long dy = -std::llabs(static_cast<long long>(y2) - y1), sy = y1 < y2 ? 1 : -1;
    long long err = dx + dy;
    for (;;) {
        if (x >= 0 && y >= 0 && x < target.width && y < target.height)
            target.pixels[static_cast<size_t>(y) * target.width + x] = value;
        if (x == x2 && y == y2) break;
        long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void blend_pixel(Surface& target, int x, int y, Colour colour, int coverage) {
    if (!target.inside(x, y) || coverage <= 0) return;
    uint32_t& pixel = target.at(x, y);
    pixel = coverage >= 255 ? (colour & 0xFFFFFFu) : mix(colour, pixel, coverage);
}

Surface copy_rectangle(const Surface& source, int x, int y, int width, int height) {
    Surface result(width, height, 0);
    for (int row = 0; row < height; ++row) {
        long long sy = static_cast<long long>(y) + row;
        if (sy < 0 || sy >= source.height) continue;
        for (int col = 0; col < width; ++col) {
            long long sx = static_cast<long long>(x) + col;
            if (sx >= 0 && sx < source.width) result.at(col, row) = source.at(static_cast<int>(sx), static_cast<int>(sy));
        }
    }
    return result;
}
