#include "map/map_test_support.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/files.h"

void write_png(const TempGameFolder& game, const std::string& logical_path, int width, int height) {
    game.write_png(logical_path, width, height, [](int, int) { return RGB(128, 128, 128); });
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
