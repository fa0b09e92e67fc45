#include "map/map_test_support.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/files.h"

void write_png(const TempGameFolder& game, const std::string& logical_path, int width, int height) {
    (void)game;
    std::string path = host_path(logical_path);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        throw std::runtime_error("png error");
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(width) * 3, 128);
    for (int y = 0; y < height; ++y) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void write_tileset(const TempGameFolder& game, const std::string& image, const std::string& definition,
                   const std::string& tile_types) {
    write_png(game, "tilesets\\" + image, 640, 256);
    game.write("tilesets\\" + definition, "<tileset filename=\"" + definition + "\">" + tile_types + "</tileset>");
}

std::string map_text(const std::string& root_attributes, const std::string& children) {
    return "<map tileset_definition_filename=\"test.xml\" tileset_image_filename=\"test.png\" " + root_attributes +
           ">" + children + "</map>";
}
