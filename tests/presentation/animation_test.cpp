#include <string>
#include <vector>

#include "common/common_state.h"
#include "presentation/view.h"
#include "platform/headless.h"
#include "presentation/drawing_fixture.h"

namespace {

// Sparkle frame f of colour c in the made-up star sheet.
constexpr Colour star_colour(int frame, int colour) { return RGB(100 + frame, 10 + colour, 250); }
constexpr Colour MISSILE = RGB(250, 120, 0);
constexpr Colour FX = RGB(30, 250, 30);

class AnimationTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        sprite_create(sprite::stars, 45, 72);
        draw_start(sprite::stars);
        for (int c = 0; c < 8; ++c)
            for (int f = 0; f < 5; ++f) draw_box(f * 9, c * 9, 9, 9, star_colour(f, c));
        draw_stop();
        for (auto [number, colour] : {std::pair{sprite::missiles, MISSILE}, std::pair{sprite::fx, FX}}) {
            sprite_create(number, 320, 32);
            draw_start(number);
            draw_box(0, 0, 320, 32, colour);
            draw_stop();
        }
        g_common.missiles_sheet = {10, 1};
        g_common.fx_sheet = {10, 1};
        headless::on_flip([this] { frames.push_back({shown_screen_pixel(probe_x, probe_y)}); });
    }
    void TearDown() override { headless::on_flip(nullptr); }

    int probe_x = 0, probe_y = 0;
    std::vector<Colour> frames;  // the probed pixel of every flipped frame
};

}  // namespace

TEST_F(AnimationTest, EveryNameRunsItsFramesOnTheVirtualClock) {
    struct Case {
        const char* name;
        int flips;
        uint32_t milliseconds;  // flips take 16 ms each on the virtual clock
    };
    const Case cases[] = {
        {"", 0, 0},
        {"green stars", 50, 50 * (16 + 25)},
        {"mixed stars", 50, 50 * (16 + 25)},
        {"skull circle", 41, 41 * (16 + 25)},
        {"blue lightning", 33, 33 * 16},
        {"magic shield", 2, 2 * 16 + 500},
        {"wind flood", 2, 2 * 16 + 500},
    };
    for (const Case& c : cases) {
        const int flips = headless::flip_count();
        const uint32_t start = headless::now();
        animation(c.name, 9, 6, 3);
        EXPECT_EQ(headless::flip_count() - flips, c.flips) << c.name;
        EXPECT_EQ(headless::now() - start, c.milliseconds) << c.name;
    }
    EXPECT_FATAL(animation("Green stars", 6, 6, 0), "animation(): unknown animation: \"Green stars\"");
}

TEST_F(AnimationTest, RingTurnsAroundTheCentreOfItsCell) {
    // At t = 0 the point at angle 0 lies 20 pixels right of the cell's centre (204, 204).
    probe_x = 192 + 20 + 12 + 4;
    probe_y = 204 + 4;
    ring(4, 6, 6);
    ASSERT_EQ(frames.size(), 41u);
    EXPECT_EQ(frames.front(), star_colour(4, 4));
}

TEST_F(AnimationTest, MissilesStopOnTheirTargetCell) {
    // Straight from (6, 6) to (9, 6): 33 frames; only the last one covers the
    // target cell's right edge.
    probe_x = 9 * 32 + 31;
    probe_y = 6 * 32 + 16;
    animation("red fireball", 9, 6, 0);
    ASSERT_EQ(frames.size(), 33u);
    EXPECT_EQ(frames.back(), MISSILE);
    EXPECT_NE(frames[31], MISSILE);
    // At a slant the flight follows the line and also ends on the target cell (9, 7).
    frames.clear();
    probe_y = 7 * 32 + 31;
    missile(0, 6, 6, 9, 7);
    ASSERT_EQ(frames.size(), 33u);
    EXPECT_EQ(frames.back(), MISSILE);
    EXPECT_NE(frames[31], MISSILE);
}

TEST_F(AnimationTest, IconWithNumberShowsOverThePictureThenGoes) {
    probe_x = 5 * 32 + 1;
    probe_y = 4 * 32 + 1;
    animation("red cloud", 5, 4, 7);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], FX);
    EXPECT_NE(frames[1], FX);
}
