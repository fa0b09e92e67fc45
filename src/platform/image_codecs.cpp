// PNG (libpng) and JPEG (libjpeg) files to and from surfaces.
#include <algorithm>
#include <array>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <png.h>

#include "platform/files.h"
#include "platform/surface.h"

namespace {

// The largest side of a picture that is decoded (limit_image_side).
int g_largest_side = MAX_SURFACE_SIDE;

constexpr uint32_t pack(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file) std::fclose(file);
    }
};

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

// libpng's own handlers print to standard error, which is the game's channel
// for its fatal errors alone: a fault ends the read quietly, a warning is dropped.
[[noreturn]] void png_quiet_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void png_no_warning(png_structp, png_const_charp) {}

// The pictures our generators make: 8-bit RGB, not interlaced, with no
// chunk that changes colours (transparency, gamma, colour profile). Their
// rows go straight into the surface as RGB plus a zero byte, which is the
// surface's own pixel for an opaque colour: the same pixels as the general
// path below, at about half its cost. Any other file, or one that breaks,
// is read by the general path.
bool decode_plain_rgb_png(std::FILE* file, Surface& out) {
    if constexpr (std::endian::native != std::endian::little) return false;
    PngReader reader;
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_quiet_error, png_no_warning);
    if (!reader.png) return false;
    reader.info = png_create_info_struct(reader.png);
    if (!reader.info) return false;
    // Objects changed after setjmp live on the heap, so a longjmp back leaves them whole.
    const auto result = std::make_unique<Surface>();
    const auto rows = std::make_unique<std::vector<png_bytep>>();
    if (setjmp(png_jmpbuf(reader.png))) return false;
    png_init_io(reader.png, file);
#ifdef PNG_IGNORE_ADLER32
    // zlib's own checksum runs over every unpacked byte (a fifth of the time
    // here); every chunk's CRC-32 still proves the file's bytes whole.
    png_set_option(reader.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(reader.png, reader.info);
    const png_uint_32 width = png_get_image_width(reader.png, reader.info);
    const png_uint_32 height = png_get_image_height(reader.png, reader.info);
    const png_uint_32 largest = static_cast<png_uint_32>(g_largest_side);
    if (width == 0 || height == 0 || width > largest || height > largest ||
        png_get_bit_depth(reader.png, reader.info) != 8 ||
        png_get_color_type(reader.png, reader.info) != PNG_COLOR_TYPE_RGB ||
        png_get_interlace_type(reader.png, reader.info) != PNG_INTERLACE_NONE ||
        png_get_valid(reader.png, reader.info, PNG_INFO_tRNS | PNG_INFO_gAMA | PNG_INFO_sRGB | PNG_INFO_iCCP | PNG_INFO_cHRM))
        return false;
    png_set_filler(reader.png, 0, PNG_FILLER_AFTER);
    png_read_update_info(reader.png, reader.info);
    if (png_get_rowbytes(reader.png, reader.info) != static_cast<size_t>(width) * 4) return false;
    *result = Surface(static_cast<int>(width), static_cast<int>(height));
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        (*rows)[y] = reinterpret_cast<png_bytep>(&result->pixels[static_cast<size_t>(y) * width]);
    png_read_image(reader.png, rows->data());
    png_read_end(reader.png, nullptr);
    out = std::move(*result);
    return true;
}

bool decode_png(const std::string& host_file, Surface& out) {
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(host_file.c_str(), "rb"));
        if (!file) return false;
        if (decode_plain_rgb_png(file.get(), out)) return true;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, host_file.c_str())) return false;
    const png_uint_32 largest = static_cast<png_uint_32>(g_largest_side);
    if (image.width == 0 || image.height == 0 || image.width > largest || image.height > largest) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> buffer(PNG_IMAGE_SIZE(image));
    // A picture cut short or damaged (a chunk's checksum, its compressed
    // data) fails here; libpng's warnings concern extra chunks only.
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    Surface result(static_cast<int>(image.width), static_cast<int>(image.height));
    for (size_t i = 0; i < result.pixels.size(); ++i) {
        const unsigned char* p = &buffer[i * 4];
        unsigned a = p[3];
        // Lay the picture over black: see-through pixels become the transparent
        // colour. Most pixels are fully opaque or fully see-through.
        if (a == 255) result.pixels[i] = pack(p[0], p[1], p[2]);
        else if (a != 0) result.pixels[i] = pack(p[0] * a / 255, p[1] * a / 255, p[2] * a / 255);
    }
    out = std::move(result);
    return true;
}

// libjpeg reports errors through a callback that must not return.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jpeg_error_exit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(error->jump, 1);
}

void jpeg_no_message(j_common_ptr, int) {}

bool decode_jpeg(const std::string& host_file, Surface& out) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(host_file.c_str(), "rb"));
    if (!file) return false;
    // Everything with a destructor lives outside the setjmp region.
    std::vector<unsigned char> row;
    std::vector<uint32_t> pixels;
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpeg_error_exit;
    error.manager.emit_message = jpeg_no_message;
    volatile int width = 0, height = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || width > g_largest_side || height > g_largest_side ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    row.resize(static_cast<size_t>(width) * 3);
    pixels.resize(static_cast<size_t>(width) * height);
    while (info.output_scanline < info.output_height) {
        size_t y = info.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < width; ++x) pixels[y * width + x] = pack(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
    }
    jpeg_finish_decompress(&info);
    // libjpeg fills a cut or damaged picture with grey and only warns.
    const bool whole = error.manager.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    if (!whole) return false;
    Surface result;
    result.width = width;
    result.height = height;
    result.pixels = std::move(pixels);
    result.reset_clip();
    out = std::move(result);
    return true;
}

}  // namespace

namespace {

bool png_dimensions(const std::string& host_file, int& width, int& height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, host_file.c_str())) return false;
    width = static_cast<int>(std::min<png_uint_32>(image.width, 1u << 30));
    height = static_cast<int>(std::min<png_uint_32>(image.height, 1u << 30));
    png_image_free(&image);
    return true;
}

enum class ImageKind { none, png, jpeg };

ImageKind image_kind(const std::string& host_file) {
    unsigned char magic[8] = {};
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(host_file.c_str(), "rb"));
    if (!file || std::fread(magic, 1, sizeof magic, file.get()) != sizeof magic) return ImageKind::none;
    if (png_sig_cmp(magic, 0, sizeof magic) == 0) return ImageKind::png;
    if (magic[0] == 0xFF && magic[1] == 0xD8) return ImageKind::jpeg;
    return ImageKind::none;
}

}  // namespace

namespace {

uint32_t crc32_of(const unsigned char* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 255] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint32_t big_endian(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace

bool png_file_whole(const std::string& host_file, int& width, int& height) {
    if (!file_within_limits(host_file) || image_kind(host_file) != ImageKind::png) return false;
    std::string text;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(host_file.c_str(), "rb"));
        if (!file) return false;
        char buffer[16384];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, got);
        if (std::ferror(file.get())) return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    size_t at = 8;  // after the signature
    bool header = false, data = false;
    while (at + 12 <= size) {
        const uint32_t length = big_endian(bytes + at);
        if (length > size - at - 12) return false;  // cut inside the chunk
        const unsigned char* type = bytes + at + 4;
        if (crc32_of(type, length + 4) != big_endian(type + 4 + length)) return false;
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (!header) {
            // The header first: a size within the limits, a layout PNG knows.
            if (name != "IHDR" || length != 13) return false;
            const uint32_t w = big_endian(type + 4), h = big_endian(type + 8);
            const unsigned depth = type[12], colour = type[13];
            const bool layout = (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                                (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                                ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
            const png_uint_32 largest = static_cast<png_uint_32>(g_largest_side);
            if (w == 0 || h == 0 || w > largest || h > largest || !layout || type[14] != 0 || type[15] != 0 ||
                type[16] > 1)
                return false;
            width = static_cast<int>(w);
            height = static_cast<int>(h);
            header = true;
        }
        data = data || name == "IDAT";
        at += 12 + static_cast<size_t>(length);
        if (name == "IEND") return data;  // what may follow it is never read
    }
    return false;
}

void limit_image_side(int side) { g_largest_side = side > 0 && side < MAX_SURFACE_SIDE ? side : MAX_SURFACE_SIDE; }

bool image_file_dimensions(const std::string& host_file, int& width, int& height) {
    return file_within_limits(host_file) && image_kind(host_file) == ImageKind::png &&
           png_dimensions(host_file, width, height);
}

bool decode_image_file(const std::string& host_file, Surface& out) {
    if (!file_within_limits(host_file)) return false;
    switch (image_kind(host_file)) {
        case ImageKind::png: return decode_png(host_file, out);
        case ImageKind::jpeg: return decode_jpeg(host_file, out);
        default: return false;
    }
}

bool encode_jpeg(const Surface& surface, int quality, std::vector<unsigned char>& out) {
    if (surface.empty()) return false;
    std::vector<unsigned char> row(static_cast<size_t>(surface.width) * 3);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpeg_error_exit;
    error.manager.emit_message = jpeg_no_message;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(surface.width);
    info.image_height = static_cast<JDIMENSION>(surface.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < surface.width; ++x) {
            uint32_t p = surface.at(x, y);
            row[x * 3] = p & 255;
            row[x * 3 + 1] = (p >> 8) & 255;
            row[x * 3 + 2] = (p >> 16) & 255;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    out.assign(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return true;
}

bool encode_png(const Surface& surface, std::vector<unsigned char>& out) {
    if (surface.empty()) return false;
    std::vector<unsigned char> rgb(static_cast<size_t>(surface.width) * surface.height * 3);
    for (int y = 0; y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x) {
            const uint32_t p = surface.at(x, y);
            unsigned char* o = &rgb[(static_cast<size_t>(y) * surface.width + x) * 3];
            o[0] = p & 255;
            o[1] = (p >> 8) & 255;
            o[2] = (p >> 16) & 255;
        }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(surface.width);
    image.height = static_cast<png_uint_32>(surface.height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) return false;
    out.resize(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr)) return false;
    out.resize(size);
    return true;
}
