#include "shell/shell_fixtures.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

#include "platform/files.h"

void write_png(const TempGameFolder& folder, const std::string& logical_path, int width, int height, int r, int g,
               int b) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = static_cast<unsigned char>(r);
        pixels[i + 1] = static_cast<unsigned char>(g);
        pixels[i + 2] = static_cast<unsigned char>(b);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("cannot size a fixture PNG");
    std::string data(size, '\0');
    if (!png_image_write_to_memory(&image, data.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("cannot write a fixture PNG");
    data.resize(size);
    folder.write(logical_path, data);
}

const std::vector<SheetFixture>& sheet_fixtures() {
    // Sizes chosen so each measured sheet has its own column and row count,
    // some not a whole number of cells (measuring truncates).
    static const std::vector<SheetFixture> sheets = {
        {"graphics\\characters.png", 256, 128}, {"graphics\\frame.png", 96, 192},
        {"graphics\\abilities.png", 256, 128},  {"graphics\\splash.png", 300, 200},
        {"graphics\\monster.png", 256, 97},     {"graphics\\mousepointer.png", 16, 16},
        {"graphics\\blood.png", 32, 32},        {"graphics\\powers.png", 250, 96},
        {"graphics\\cursor.png", 32, 32},       {"graphics\\starsprites.png", 320, 32},
        {"graphics\\missiles.png", 160, 64},    {"graphics\\light1.png", 416, 416},
        {"graphics\\light2.png", 416, 416},     {"graphics\\light3.png", 416, 416},
        {"graphics\\light4.png", 416, 416},     {"graphics\\light5.png", 416, 416},
        {"graphics\\light6.png", 416, 416},     {"graphics\\light7.png", 416, 416},
        {"graphics\\items.png", 256, 192},      {"graphics\\fx.png", 128, 33},
    };
    return sheets;
}

void write_all_graphics(const TempGameFolder& folder) {
    for (const SheetFixture& sheet : sheet_fixtures()) write_png(folder, sheet.file, sheet.width, sheet.height);
}

void write_preferences(const TempGameFolder& folder, const std::string& attributes) {
    folder.write("config\\preferences.xml",
                 "<?xml version=\"1.0\"?>\n<Umbrane_Preferences " + attributes + "/>\n");
}
