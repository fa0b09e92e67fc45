// Helpers of the map tests: small tile sheets and definition files written
// into a test game folder.
#pragma once
#include <string>

#include "support/test_game.h"

// Writes a PNG of the given size (grey pixels) below the game folder.
void write_png(const TempGameFolder& game, const std::string& logical_path, int width, int height);

// A tile sheet "tilesets\<image>" and a definition "tilesets\<definition>" with the given tile_type elements.
void write_tileset(const TempGameFolder& game, const std::string& image, const std::string& definition,
                   const std::string& tile_types);

// A minimal map file naming the test tileset, with extra root attributes and children.
std::string map_text(const std::string& root_attributes, const std::string& children);
