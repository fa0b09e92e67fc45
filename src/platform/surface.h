// Software 32-bit surfaces shared by both backends: sprites, the back buffer
// and the shown picture. Pixels are 0x00BBGGRR like Colour; the top byte is
// always 0, so pure black is exactly 0.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/media.h"

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // Source rectangle of later displays (the whole surface until clipped).
    int clip_x = 0, clip_y = 0, clip_width = 0, clip_height = 0;

    Surface() = default;
    Surface(int w, int h, Colour fill = 0);
    bool empty() const { return width <= 0 || height <= 0; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void reset_clip();
};

// Largest side of a sprite we create (keeps width * height well inside memory).
constexpr int MAX_SURFACE_SIDE = 16384;

enum class BlitMode { opaque, transparent, translucent };

// Draw the source's clip rectangle at (x, y) on the target, cut at the
// target's edges. Transparent and translucent skip pure black source pixels;
// translucent blends (src * i + dst * (255 - i)) / 255 per channel.
void blit(const Surface& source, Surface& target, int x, int y, BlitMode mode, int intensity = 255);
void fill_box(Surface& target, int x, int y, int width, int height, Colour colour);
void draw_line_on(Surface& target, int x1, int y1, int x2, int y2, Colour colour);
// Mix colour over the pixel with a coverage 0..255 (text edges).
void blend_pixel(Surface& target, int x, int y, Colour colour, int coverage);
// Copy a rectangle of the source (parts outside it black) into a new surface.
Surface copy_rectangle(const Surface& source, int x, int y, int width, int height);

// Image files. The format is told by the file's first bytes, not its name.
// PNG alpha is laid over black, so fully transparent pixels become the
// transparent colour.
bool decode_image_file(const std::string& host_file, Surface& out);
// Width and height from a PNG file's header, without decoding it (false for any other file).
bool image_file_dimensions(const std::string& host_file, int& width, int& height);
// A PNG file whose every chunk is there whole (its length inside the file, its
// CRC-32 right), the header first with a size within the limits, the end chunk
// last: what a cut or damaged file fails (and a few that decode all the same:
// a damaged extra chunk, no end chunk). Reads the bytes, unpacks nothing.
bool png_file_whole(const std::string& host_file, int& width, int& height);
// Pictures wider or higher than side are not decoded (the content check's
// bound; the game decodes up to MAX_SURFACE_SIDE).
void limit_image_side(int side);
bool encode_jpeg(const Surface& surface, int quality, std::vector<unsigned char>& out);
bool encode_png(const Surface& surface, std::vector<unsigned char>& out);
