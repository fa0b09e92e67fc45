// Sprites on the headless backend: image files, display modes, clipping,
// grabbing and saving.
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/media_state.h"
#include "support/test_game.h"

namespace {

struct Rgba {
    unsigned char r, g, b, a;
};

// Write a PNG below the game folder with libpng itself.
void write_png(const std::string& logical_path, int width, int height, const std::vector<Rgba>& pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    make_folder("graphics");
    ASSERT_TRUE(png_image_write_to_file(&image, host_path(logical_path).c_str(), 0, pixels.data(), 0, nullptr));
}

// A 4 x 3 picture whose every pixel differs.
std::vector<Rgba> pattern_pixels() {
    std::vector<Rgba> pixels;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.push_back({static_cast<unsigned char>(10 + x * 60), static_cast<unsigned char>(20 + y * 70),
                              static_cast<unsigned char>(200 - x * 20 - y * 30), 255});
    return pixels;
}

// A sprite filled with one colour, made through the drawing procedures.
void make_filled_sprite(int number, int width, int height, Colour colour) {
    ASSERT_TRUE(sprite_create(number, width, height));
    draw_start(number);
    draw_box(0, 0, width, height, colour);
    draw_stop();
}

}  // namespace

TEST(Sprites, PngLoadsPixelForPixelAndSeeThroughBecomesBlack) {
    TempGameFolder game;
    std::vector<Rgba> pixels = pattern_pixels();
    pixels[5] = {250, 250, 250, 0};     // fully see-through
    pixels[6] = {200, 100, 50, 128};    // half see-through: laid over black
    write_png("graphics\\pattern.png", 4, 3, pixels);

    ASSERT_TRUE(sprite_load(4, "graphics\\pattern.png"));
    EXPECT_EQ(sprite_width(4), 4);
    EXPECT_EQ(sprite_height(4), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            int i = y * 4 + x;
            if (i == 5 || i == 6) continue;
            EXPECT_EQ(sprite_pixel(4, x, y), RGB(pixels[i].r, pixels[i].g, pixels[i].b)) << x << "," << y;
        }
    EXPECT_EQ(sprite_pixel(4, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(sprite_pixel(4, 2, 1), RGB(100, 50, 25));

    // Images measure the same file.
    int image = image_load("graphics\\pattern.png");
    ASSERT_GT(image, 0);
    EXPECT_EQ(image_width(image), 4);
    EXPECT_EQ(image_height(image), 3);
    image_free(image);
    EXPECT_EQ(image_width(image), 0);
}

TEST(Sprites, LoadFailuresAndNumbers) {
    TempGameFolder game;
    EXPECT_FALSE(sprite_load(1, "graphics\\missing.png"));
    EXPECT_FALSE(sprite_exists(1));
    game.write("graphics\\broken.png", "\x89PNG\r\n\x1a\n but nothing after the signature");
    EXPECT_FALSE(sprite_load(1, "graphics\\broken.png"));
    game.write("graphics\\text.png", "just some text, no picture at all");
    EXPECT_FALSE(sprite_load(1, "graphics\\text.png"));
    EXPECT_EQ(sprite_load_any("graphics\\missing.png"), 0);
    EXPECT_EQ(image_load("graphics\\missing.png"), 0);

    // sprite_load_any picks free numbers above the fixed ones, reusing freed ones.
    write_png("graphics\\tiles.png", 4, 3, pattern_pixels());
    int first = sprite_load_any("graphics\\tiles.png");
    int second = sprite_load_any("graphics\\tiles.png");
    EXPECT_GE(first, 100);
    EXPECT_NE(first, second);
    sprite_free(first);
    EXPECT_FALSE(sprite_exists(first));
    EXPECT_EQ(sprite_load_any("graphics\\tiles.png"), first);

    EXPECT_FALSE(sprite_create(3, 0, 10));
    EXPECT_FALSE(sprite_create(-2, 10, 10));
    ASSERT_TRUE(sprite_create(3, 5, 6));
    EXPECT_EQ(sprite_pixel(3, 4, 5), RGB(0, 0, 0));
    EXPECT_EQ(sprite_width(77), 0);
}

TEST(Sprites, DisplayModesArePixelExact) {
    TempGameFolder game;
    ASSERT_TRUE(sprite_create(8, 2, 1));
    draw_start(8);
    draw_box(0, 0, 1, 1, RGB(200, 100, 50));
    draw_stop();  // pixel (1, 0) stays pure black

    clear_screen(RGB(10, 20, 30));
    sprite_display_opaque(8, 100, 100);
    EXPECT_EQ(screen_pixel(100, 100), RGB(200, 100, 50));
    EXPECT_EQ(screen_pixel(101, 100), RGB(0, 0, 0));

    clear_screen(RGB(10, 20, 30));
    sprite_display_transparent(8, 100, 100);
    EXPECT_EQ(screen_pixel(100, 100), RGB(200, 100, 50));
    EXPECT_EQ(screen_pixel(101, 100), RGB(10, 20, 30));

    // (src * i + dst * (255 - i)) / 255 per channel, truncated; black stays out.
    clear_screen(RGB(10, 20, 30));
    sprite_display_translucent(8, 100, 100, 100);
    EXPECT_EQ(screen_pixel(100, 100), RGB((200 * 100 + 10 * 155) / 255, (100 * 100 + 20 * 155) / 255,
                                         (50 * 100 + 30 * 155) / 255));
    EXPECT_EQ(screen_pixel(101, 100), RGB(10, 20, 30));
    clear_screen(RGB(10, 20, 30));
    sprite_display_translucent(8, 100, 100, 0);
    EXPECT_EQ(screen_pixel(100, 100), RGB(10, 20, 30));
    sprite_display_translucent(8, 100, 100, 255);
    EXPECT_EQ(screen_pixel(100, 100), RGB(200, 100, 50));

    // The game's darkening sprite: RGB(1,1,1) at intensity 150 over white.
    make_filled_sprite(2, 416, 416, RGB(1, 1, 1));
    clear_screen(RGB(255, 255, 255));
    sprite_display_translucent(2, 0, 0, 150);
    Colour dark = static_cast<Colour>((1 * 150 + 255 * 105) / 255);
    EXPECT_EQ(screen_pixel(415, 415), RGB(dark, dark, dark));
    EXPECT_EQ(screen_pixel(416, 0), RGB(255, 255, 255));
}

TEST(Sprites, DisplayIsCutAtEveryEdgeOfTheScreen) {
    TempGameFolder game;
    make_filled_sprite(5, 32, 32, RGB(0, 200, 0));
    clear_screen(RGB(0, 0, 0));
    sprite_display_opaque(5, -16, -8);  // top-left corner
    EXPECT_EQ(screen_pixel(0, 0), RGB(0, 200, 0));
    EXPECT_EQ(screen_pixel(15, 23), RGB(0, 200, 0));
    EXPECT_EQ(screen_pixel(16, 0), RGB(0, 0, 0));
    EXPECT_EQ(screen_pixel(0, 24), RGB(0, 0, 0));

    clear_screen(RGB(0, 0, 0));
    sprite_display_transparent(5, 630, 470);  // bottom-right corner
    EXPECT_EQ(screen_pixel(639, 479), RGB(0, 200, 0));
    EXPECT_EQ(screen_pixel(630, 470), RGB(0, 200, 0));
    EXPECT_EQ(screen_pixel(629, 479), RGB(0, 0, 0));

    // Wholly outside: nothing drawn, nothing broken.
    clear_screen(RGB(1, 2, 3));
    for (auto [x, y] : {std::pair{-32, 0}, {640, 0}, {0, -32}, {0, 480}, {-100000, 100000}})
        sprite_display_translucent(5, x, y, 128);
    for (int y = 0; y < SCREEN_HEIGHT; y += 7)
        for (int x = 0; x < SCREEN_WIDTH; x += 7) ASSERT_EQ(screen_pixel(x, y), RGB(1, 2, 3));
}

TEST(Sprites, ClipRectangleStaysUntilClippedAgain) {
    TempGameFolder game;
    // A sheet of two 2 x 2 cells: red left, blue right.
    ASSERT_TRUE(sprite_create(6, 4, 2));
    draw_start(6);
    draw_box(0, 0, 2, 2, RGB(255, 0, 0));
    draw_box(2, 0, 2, 2, RGB(0, 0, 255));
    draw_stop();

    sprite_clip(6, 2, 0, 2, 2);
    clear_screen(RGB(0, 0, 0));
    sprite_display_opaque(6, 10, 10);
    sprite_display_opaque(6, 20, 20);  // still the same cell
    EXPECT_EQ(screen_pixel(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(screen_pixel(11, 11), RGB(0, 0, 255));
    EXPECT_EQ(screen_pixel(12, 10), RGB(0, 0, 0));
    EXPECT_EQ(screen_pixel(20, 20), RGB(0, 0, 255));
    EXPECT_EQ(sprite_width(6), 4);  // clipping does not change the size

    // A rectangle reaching beyond the sheet shows only the part that exists,
    // at the place it would have had.
    sprite_clip(6, -1, 0, 3, 2);
    clear_screen(RGB(9, 9, 9));
    sprite_display_opaque(6, 10, 10);
    EXPECT_EQ(screen_pixel(10, 10), RGB(9, 9, 9));
    EXPECT_EQ(screen_pixel(11, 10), RGB(255, 0, 0));
    EXPECT_EQ(screen_pixel(12, 11), RGB(255, 0, 0));
    EXPECT_EQ(screen_pixel(13, 10), RGB(9, 9, 9));

    // A clipped cell cut by the left screen edge.
    sprite_clip(6, 2, 0, 2, 2);
    clear_screen(RGB(0, 0, 0));
    sprite_display_opaque(6, -1, 0);
    EXPECT_EQ(screen_pixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(screen_pixel(1, 0), RGB(0, 0, 0));

    // An empty clip shows nothing.
    sprite_clip(6, 0, 0, 0, 0);
    sprite_display_opaque(6, 30, 30);
    EXPECT_EQ(screen_pixel(30, 30), RGB(0, 0, 0));
}

TEST(Sprites, GrabTakesTheShownPictureAndJpegRoundTrips) {
    TempGameFolder game;
    clear_screen(RGB(0, 0, 0));
    draw_start();
    draw_box(0, 0, 320, 480, RGB(200, 40, 40));
    draw_box(320, 0, 320, 480, RGB(40, 40, 200));
    draw_stop();
    EXPECT_EQ(shown_screen_pixel(10, 10), RGB(0, 0, 0));  // nothing flipped yet
    flip();
    clear_screen(RGB(0, 255, 0));  // the back buffer changes after the flip
    EXPECT_EQ(shown_screen_pixel(10, 10), RGB(200, 40, 40));

    ASSERT_TRUE(sprite_grab(9, 0, 0, 640, 480));
    EXPECT_EQ(sprite_pixel(9, 10, 10), RGB(200, 40, 40));
    EXPECT_EQ(sprite_pixel(9, 630, 470), RGB(40, 40, 200));
    // Parts beyond the screen come out black.
    ASSERT_TRUE(sprite_grab(12, 630, 0, 20, 4));
    EXPECT_EQ(sprite_pixel(12, 9, 0), RGB(40, 40, 200));
    EXPECT_EQ(sprite_pixel(12, 10, 0), RGB(0, 0, 0));
    EXPECT_FALSE(sprite_grab(12, 0, 0, 0, 4));

    // Saved into a folder that does not exist yet, loaded back within JPEG's error.
    ASSERT_TRUE(sprite_save_jpeg(9, "savegame\\screenshot.jpg"));
    EXPECT_GT(file_size("savegame\\screenshot.jpg"), 0);
    ASSERT_TRUE(sprite_load(20, "savegame\\screenshot.jpg"));
    EXPECT_EQ(sprite_width(20), 640);
    EXPECT_EQ(sprite_height(20), 480);
    auto near = [](Colour a, Colour b) {
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)) > 6) return false;
        return true;
    };
    for (auto [x, y] : {std::pair{10, 10}, {300, 400}, {340, 10}, {630, 470}})
        EXPECT_TRUE(near(sprite_pixel(20, x, y), sprite_pixel(9, x, y))) << x << "," << y;

    EXPECT_FALSE(sprite_save_jpeg(55, "savegame\\none.jpg"));
    // A folder in the way of the file name: saving reports failure.
    make_folder("savegame\\blocked.jpg");
    EXPECT_FALSE(sprite_save_jpeg(9, "savegame\\blocked.jpg"));
}

TEST(Sprites, ResetFreesEverything) {
    TempGameFolder game;
    ASSERT_TRUE(sprite_create(0, 2, 2));
    ASSERT_TRUE(sprite_create(150, 2, 2));
    headless::reset();
    EXPECT_FALSE(sprite_exists(0));
    EXPECT_FALSE(sprite_exists(150));
}

// flip shows the back buffer without copying it: whatever is drawn after a
// flip, over the old picture or after a clear, stays out of the shown
// picture until the next flip.
TEST(Sprites, DrawingAfterAFlipNeverReachesTheShownPicture) {
    TempGameFolder game;
    ASSERT_TRUE(sprite_create(3, 4, 4));
    draw_start(3);
    draw_box(0, 0, 4, 4, RGB(0, 0, 40));
    draw_stop();
    clear_screen(RGB(10, 0, 0));
    flip();
    draw_box(0, 0, 5, 5, RGB(0, 20, 0));  // on the flipped picture, no clear
    sprite_display_opaque(3, 20, 20);
    EXPECT_EQ(shown_screen_pixel(0, 0), RGB(10, 0, 0));
    EXPECT_EQ(shown_screen_pixel(20, 20), RGB(10, 0, 0));
    EXPECT_EQ(screen_pixel(0, 0), RGB(0, 20, 0));
    EXPECT_EQ(screen_pixel(9, 9), RGB(10, 0, 0));
    flip();
    flip();  // nothing drawn between: the same picture
    clear_screen(RGB(0, 0, 30));
    EXPECT_EQ(shown_screen_pixel(0, 0), RGB(0, 20, 0));
    EXPECT_EQ(shown_screen_pixel(20, 20), RGB(0, 0, 40));
    EXPECT_EQ(shown_screen_pixel(9, 9), RGB(10, 0, 0));
    ASSERT_TRUE(sprite_grab(4, 0, 0, 30, 30));
    EXPECT_EQ(sprite_pixel(4, 9, 9), RGB(10, 0, 0));
    EXPECT_EQ(screen_pixel(9, 9), RGB(0, 0, 30));
    flip();
    EXPECT_EQ(shown_screen_pixel(0, 0), RGB(0, 0, 30));
}

// sprite_load_any keeps the pictures it decoded: a file loaded again gives
// the same pixels, a file written anew (same size, other pixels) its new ones,
// and a sprite drawn on never changes the picture the next load gets.
TEST(Sprites, PicturesLoadedAgainAreTheFilesPixels) {
    TempGameFolder game;
    std::vector<Rgba> pixels = pattern_pixels();
    write_png("graphics\\tiles.png", 4, 3, pixels);
    const int decoded_before = g_media.pictures_decoded;
    const int first = sprite_load_any("graphics\\tiles.png");
    draw_start(first);
    draw_box(0, 0, 4, 3, RGB(1, 2, 3));
    draw_stop();
    const int second = sprite_load_any("graphics\\tiles.png");
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(sprite_pixel(second, i % 4, i / 4), RGB(pixels[i].r, pixels[i].g, pixels[i].b)) << i;
    EXPECT_EQ(g_media.pictures_decoded - decoded_before, 1);  // the second load took the kept picture
    for (Rgba& pixel : pixels) pixel.g = 7;
    write_png("graphics\\tiles.png", 4, 3, pixels);
    const int third = sprite_load_any("graphics\\tiles.png");
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(sprite_pixel(third, i % 4, i / 4), RGB(pixels[i].r, 7, pixels[i].b)) << i;
    EXPECT_EQ(g_media.pictures_decoded - decoded_before, 2);
    std::filesystem::remove(host_path("graphics\\tiles.png"));
    EXPECT_EQ(sprite_load_any("graphics\\tiles.png"), 0);
}

// Pictures decoded beside the game's thread are the same pictures; one that
// did not decode is tried again where it is loaded, and a load of a file never
// asked for decodes it there.
TEST(Sprites, PrefetchedPicturesAreTheFilesPixels) {
    TempGameFolder game;
    const std::vector<Rgba> pixels = pattern_pixels();
    write_png("graphics\\pattern.png", 4, 3, pixels);
    game.write("graphics\\broken.png", "not a picture");
    sprite_prefetch("graphics\\pattern.png");
    sprite_prefetch("graphics\\broken.png");
    sprite_prefetch("graphics\\later.png");  // not there yet
    write_png("graphics\\later.png", 4, 3, pixels);

    ASSERT_TRUE(sprite_load(4, "graphics\\pattern.png"));
    EXPECT_FALSE(sprite_load(5, "graphics\\broken.png"));
    ASSERT_TRUE(sprite_load(6, "graphics\\later.png"));
    ASSERT_TRUE(sprite_load(7, "graphics\\pattern.png"));  // taken once, then decoded again
    for (int number : {4, 6, 7})
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const Rgba& p = pixels[y * 4 + x];
                ASSERT_EQ(sprite_pixel(number, x, y), RGB(p.r, p.g, p.b)) << number << ": " << x << "," << y;
            }
    EXPECT_TRUE(g_media.prefetched.empty());
}
