#include "support/test_game.h"


#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "presentation/view.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "platform/surface.h"
#include "screens/game_state.h"

namespace fs = std::filesystem;

bool shows_text(int x, int y, const std::string& text, int font, Colour colour, bool shown) {
    constexpr int SCRATCH = 899;  // a sprite number no game picture uses
    const int font_before = draw_current_font();
    draw_select_font(font);
    const int width = text_width(text), height = text_height(text);
    sprite_create(SCRATCH, width, height);
    draw_start(SCRATCH);
    draw_select_font(font);
    draw_text_on_black(0, 0, text, colour);
    draw_select_font(font_before);
    draw_stop();
    bool same = width > 0;
    for (int py = 0; py < height && same; ++py)
        for (int px = 0; px < width && same; ++px)
            same = sprite_pixel(SCRATCH, px, py) ==
                   (shown ? shown_screen_pixel(x + px, y + py) : screen_pixel(x + px, y + py));
    sprite_free(SCRATCH);
    return same;
}

TempGameFolder::TempGameFolder() {
    std::string pattern = (fs::temp_directory_path() / "umbrane-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("cannot create a temporary game folder");
    path_ = made;
    set_game_folder(path_);
    set_writable_folder("");  // the game's own files in this folder too
    headless::reset();
    seed_random(12345);
    reset_game_state();
}

TempGameFolder::~TempGameFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempGameFolder::write(const std::string& logical_path, const std::string& content) const {
    fs::path target = host_path(logical_path);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << content;
}

void TempGameFolder::write_png(const std::string& logical_path, int width, int height,
                               const std::function<Colour(int x, int y)>& colour_at) const {
    Surface picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.at(x, y) = colour_at(x, y) & 0xFFFFFFu;
    std::vector<unsigned char> png;
    if (!encode_png(picture, png)) throw std::runtime_error("cannot write a test picture");
    const std::string data(png.begin(), png.end());
    write(logical_path, data);
}

void TempGameFolder::copy_shipped(const std::string& folder) const {
    fs::copy(fs::path(UMBRANE_SOURCE_DIR) / "game" / folder, fs::path(path_) / folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void TempGameFolder::copy_all_shipped() const {
    for (const char* folder : {"config", "data", "graphics", "maps", "sound", "tilesets"}) copy_shipped(folder);
}
