// What start-up leans on in the media layer: pictures decoded by the quick
// path are the general path's pixels, and work left to the media layer's
// thread is done by whoever needs it first.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/media.h"
#include "platform/surface.h"
#include "platform/work_queue.h"
#include "support/test_game.h"

namespace {

struct PngLayout {
    const char* name;
    int colour_type;
    int bit_depth;
    bool interlaced;
    bool gamma;        // a gAMA chunk of 1/1.8
    bool transparent;  // a tRNS chunk (one colour see-through)
};

// A picture of width x height in the layout, written with libpng's own writer.
std::string png_bytes(const PngLayout& layout, int width, int height) {
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "";
    }
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t size) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), size);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), layout.bit_depth,
                 layout.colour_type, layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    if (layout.colour_type == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 256; ++i)
            palette.push_back({static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 7)});
        png_set_PLTE(png, info, palette.data(), 256);
    }
    if (layout.gamma) png_set_gAMA(png, info, 1 / 1.8);
    if (layout.transparent) {
        png_color_16 see_through{0, 40, 80, 120, 0};
        png_set_tRNS(png, info, nullptr, 0, &see_through);
    }
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    const int bytes_per_sample = layout.bit_depth / 8;
    std::vector<png_byte> row(static_cast<size_t>(width) * channels * bytes_per_sample);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) {
            for (size_t i = 0; i < row.size(); ++i)
                row[i] = static_cast<png_byte>((i * 37 + static_cast<size_t>(y) * 11) % 251);
            // Rows of one colour too, as the generated pictures have: the filters' other cases.
            if (y % 3 == 0)
                for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<png_byte>(i % channels * 40);
            if (layout.transparent && y == 1 && channels == 3) {
                row[0] = 40;
                row[1] = 80;
                row[2] = 120;
            }
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// What a picture decodes to by libpng's simplified reader laid over black,
// the way every picture was read before the quick path; false when it refuses it.
bool reference_pixels(const std::string& bytes, std::vector<uint32_t>& pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> buffer(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    pixels.assign(buffer.size() / 4, 0);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const unsigned char* p = &buffer[i * 4];
        const unsigned a = p[3];
        pixels[i] = (p[0] * a / 255) | (p[1] * a / 255) << 8 | (p[2] * a / 255) << 16;
    }
    return true;
}

// Also: what the check of a picture left to decode later takes decodes (for
// every file but one made to break behind whole chunks); what it does not take
// is decoded at once, for the general path's verdict.
void expect_decodes_as_reference(const std::string& bytes, const std::string& what) {
    TempGameFolder game;
    game.write("graphics\\picture.png", bytes);
    std::vector<uint32_t> expected;
    const bool accepted = reference_pixels(bytes, expected);
    int width = 0, height = 0;
    if (png_file_whole(host_path("graphics\\picture.png"), width, height)) {
        EXPECT_TRUE(accepted) << what;
    }
    Surface decoded;
    ASSERT_EQ(decode_image_file(host_path("graphics\\picture.png"), decoded), accepted) << what;
    if (accepted) {
        EXPECT_TRUE(decoded.pixels == expected) << what;
    }
}

}  // namespace

// The generators' pictures (8-bit RGB) take the quick path; every other layout
// the general one: either way the same pixels, and a cut or damaged file is
// refused where the general path refuses it.
TEST(StartUpMedia, PicturesDecodeAsTheGeneralPathDecodesThem) {
    const PngLayout layouts[] = {
        {"8-bit RGB", PNG_COLOR_TYPE_RGB, 8, false, false, false},
        {"8-bit RGB with gamma", PNG_COLOR_TYPE_RGB, 8, false, true, false},
        {"8-bit RGB, one colour see-through", PNG_COLOR_TYPE_RGB, 8, false, false, true},
        {"8-bit RGB interlaced", PNG_COLOR_TYPE_RGB, 8, true, false, false},
        {"16-bit RGB", PNG_COLOR_TYPE_RGB, 16, false, false, false},
        {"8-bit RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, false},
        {"palette", PNG_COLOR_TYPE_PALETTE, 8, false, false, false},
        {"grey", PNG_COLOR_TYPE_GRAY, 8, false, false, false},
    };
    for (const PngLayout& layout : layouts)
        for (const auto& [width, height] : {std::pair{1, 1}, std::pair{45, 72}, std::pair{416, 20}}) {
            const std::string bytes = png_bytes(layout, width, height);
            ASSERT_FALSE(bytes.empty()) << layout.name;
            expect_decodes_as_reference(bytes, std::string(layout.name) + " " + std::to_string(width));
        }

    const std::string whole = png_bytes(layouts[0], 64, 48);
    for (size_t cut = 8; cut < whole.size(); cut += whole.size() / 23)
        expect_decodes_as_reference(whole.substr(0, cut), "cut at " + std::to_string(cut));
    expect_decodes_as_reference(whole.substr(0, whole.size() - 12), "without its end chunk");
    for (size_t at : {size_t{20}, size_t{40}, whole.size() / 2, whole.size() - 20, whole.size() - 2}) {
        std::string damaged = whole;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        expect_decodes_as_reference(damaged, "byte " + std::to_string(at) + " changed");
    }
}

// A job asked for before the queue's thread took it runs on the asking
// thread, once; one the queue's thread is running is waited for.
TEST(StartUpMedia, ClaimableWorkRunsOnceWhereverItIsFirstWanted) {
    WorkQueue queue(1);
    std::promise<void> started, go;
    std::shared_future<void> gate = go.get_future().share();
    std::atomic<int> runs{0};
    std::thread::id ran_on;
    auto blocker = queue.add_claimable([&] {
        started.set_value();
        gate.wait();  // the queue's only thread stays busy until the test lets it go
        return std::this_thread::get_id();
    });
    started.get_future().wait();
    auto waiting = queue.add_claimable([&] {
        ++runs;
        ran_on = std::this_thread::get_id();
        return 42;
    });
    EXPECT_EQ(waiting.get(), 42);
    EXPECT_EQ(ran_on, std::this_thread::get_id());
    go.set_value();
    EXPECT_NE(blocker.get(), std::this_thread::get_id());  // running already: waited for
    // Jobs start in order: once a later one ran, the queue's thread has passed the claimed one by.
    queue.add([] { return 0; }).wait();
    EXPECT_EQ(waiting.get(), 42);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(Claimable<int>().valid());
}

// A picture left to decode later is the file's pixels wherever it is first
// wanted (drawn, measured, drawn on); a cut or damaged file is refused at once;
// a number given another sprite, or freed, does not bring the pending one back.
TEST(StartUpMedia, PicturesLoadedLaterAreTheFilesPixelsWhereFirstWanted) {
    TempGameFolder game;
    const std::string bytes = png_bytes({"8-bit RGB", PNG_COLOR_TYPE_RGB, 8, false, false, false}, 45, 72);
    std::vector<uint32_t> expected;
    ASSERT_TRUE(reference_pixels(bytes, expected));
    game.write("graphics\\light.png", bytes);
    ASSERT_TRUE(sprite_load_later(14, "graphics\\light.png"));
    ASSERT_TRUE(sprite_load_later(15, "graphics\\light.png"));
    ASSERT_TRUE(sprite_load_later(16, "graphics\\light.png"));
    EXPECT_EQ(sprite_width(14), 45);
    EXPECT_EQ(sprite_height(14), 72);
    for (int y = 0; y < 72; y += 7)
        for (int x = 0; x < 45; x += 4) ASSERT_EQ(sprite_pixel(14, x, y), expected[y * 45 + x]) << x << "," << y;
    // Drawn on first: the drawing lands on the decoded picture.
    draw_start(15);
    draw_box(0, 0, 1, 1, RGB(9, 9, 9));
    draw_stop();
    EXPECT_EQ(sprite_pixel(15, 0, 0), RGB(9, 9, 9));
    EXPECT_EQ(sprite_pixel(15, 1, 0), expected[1]);
    // Shown on the screen first.
    sprite_clip(16, 0, 0, 45, 72);
    clear_screen(RGB(0, 0, 0));
    sprite_display_opaque(16, 10, 20);
    EXPECT_EQ(screen_pixel(10 + 44, 20 + 71), expected[71 * 45 + 44]);

    ASSERT_TRUE(sprite_load_later(17, "graphics\\light.png"));
    ASSERT_TRUE(sprite_create(17, 2, 3));
    EXPECT_EQ(sprite_width(17), 2);
    ASSERT_TRUE(sprite_load_later(18, "graphics\\light.png"));
    sprite_free(18);
    EXPECT_FALSE(sprite_exists(18));

    for (const std::string& broken : {bytes.substr(0, bytes.size() / 2), bytes.substr(0, 40), std::string("not a picture"),
                                      std::string()}) {
        game.write("graphics\\broken.png", broken);
        EXPECT_FALSE(sprite_load_later(19, "graphics\\broken.png")) << broken.size();
        EXPECT_FALSE(sprite_exists(19));
    }
    std::string damaged = bytes;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 1);
    game.write("graphics\\broken.png", damaged);
    EXPECT_FALSE(sprite_load_later(19, "graphics\\broken.png"));
}
