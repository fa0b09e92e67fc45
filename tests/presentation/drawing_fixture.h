// A game folder with small made-up sprite sheets whose every cell has its own
// colour, so that the drawing procedures can be checked pixel by pixel.
#pragma once
#include <gtest/gtest.h>

#include "platform/media.h"
#include "support/test_game.h"

// The colour of cell k of a made-up sheet (never black, never the darkening grey).
constexpr Colour cell_colour(int sheet, int k) { return RGB(16 + k, 40 + sheet * 20, 200 - k); }
// Colour of frame piece k.
constexpr Colour piece_colour(int k) { return RGB(200, 10 + k * 10, 30); }
// The see-through hole of the made-up light overlays shows what lies below;
// elsewhere overlay n is this colour.
constexpr Colour light_colour(int n) { return RGB(2, 2, 10 + n); }

constexpr int TILESET_SPRITE = 150;
constexpr int TILES_WIDE = 4;

// Sheet numbers used in cell_colour.
namespace sheet {
constexpr int character = 0, abilities = 1, monster = 2, powers = 3, items = 4, tiles = 5;
}

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Colour of the screen's back buffer.
    static Colour at(int x, int y) { return screen_pixel(x, y); }
    // Puts tile type t on a field.
    static void tile(int x, int y, int t);

    TempGameFolder folder;
};
