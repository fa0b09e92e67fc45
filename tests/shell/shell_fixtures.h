// Small fixture files for the shell tests: PNG sheets of chosen sizes, a full
// set of the fixed graphics, preferences and messages.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "support/test_game.h"

// A PNG of the given size, every pixel one colour (r, g, b).
void write_png(const TempGameFolder& folder, const std::string& logical_path, int width, int height, int r = 200,
               int g = 100, int b = 50);

// The graphics files load_sprites reads, in its order, with their sizes.
struct SheetFixture {
    std::string file;
    int width;
    int height;
};
const std::vector<SheetFixture>& sheet_fixtures();
void write_all_graphics(const TempGameFolder& folder);

// A preferences file whose root carries the given attribute text.
void write_preferences(const TempGameFolder& folder, const std::string& attributes);
