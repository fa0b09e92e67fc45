// The software path's picture: whole-number enlargement between black bars,
// only what changed drawn again, mouse positions back in picture pixels.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/scaler.h"

namespace {

struct Target {
    int width, height, pitch;
    std::vector<uint32_t> pixels;
    Target(int w, int h) : width(w), height(h), pitch(w + 3), pixels(static_cast<size_t>(pitch) * h, 0xDEADBEEF) {}
    FramebufferTarget framebuffer(bool swap) { return {pixels.data(), width, height, pitch, swap}; }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * pitch + x]; }
};

}  // namespace

TEST(PictureScaler, FitsTheLargestWholeFactorCentredOrReducesKeepingTheShape) {
    struct Case {
        int width, height;
        PictureRect expected;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},
        {1024, 768, {0, 0, 1024, 768}},     // 1x would leave more than a fifth empty: fitted
        {1280, 800, {107, 0, 1066, 800}},   // the same on a 1280 x 800 screen
        {800, 600, {80, 60, 640, 480}},       // 1x leaves a fifth exactly: whole
        {1920, 1080, {320, 60, 1280, 960}}, // 2x is within a fifth of 2.25x: whole
        {3840, 2160, {640, 120, 2560, 1920}},
        {2560, 1440, {320, 0, 1920, 1440}},  // 1440 / 480 = 3, 2560 / 640 = 4: the smaller one
        {320, 480, {0, 120, 320, 240}},     // smaller than the picture: reduced
        {0, 480, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const PictureRect place = fit_picture(c.width, c.height, 640, 480);
        EXPECT_EQ(place.x, c.expected.x) << c.width << "x" << c.height;
        EXPECT_EQ(place.y, c.expected.y) << c.width << "x" << c.height;
        EXPECT_EQ(place.width, c.expected.width) << c.width << "x" << c.height;
        EXPECT_EQ(place.height, c.expected.height) << c.width << "x" << c.height;
    }
}

TEST(PictureScaler, CopiesEveryPixelFactorTimesAndRedrawsOnlyWhatChanged) {
    Surface frame(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) frame.at(x, y) = static_cast<uint32_t>(0x010000 * (x + 1) + 0x10 * (y + 1));
    Target target(14, 9);  // factor 3 (12 x 9) with a bar of one pixel on each side
    PictureScaler scaler;
    PictureRect changed = scaler.draw(frame, target.framebuffer(true));
    EXPECT_EQ(changed.width, 14);  // the first picture: everything, the bars too
    EXPECT_EQ(changed.height, 9);
    for (int y = 0; y < 9; ++y) {
        EXPECT_EQ(target.at(0, y), 0u);
        EXPECT_EQ(target.at(13, y), 0u);
        for (int x = 1; x < 13; ++x) {
            const uint32_t source = frame.at((x - 1) / 3, y / 3);  // 0x00BBGGRR shown as 0x00RRGGBB
            const uint32_t shown = ((source & 0xFF) << 16) | (source & 0xFF00) | ((source >> 16) & 0xFF);
            ASSERT_EQ(target.at(x, y), shown) << x << "," << y;
        }
    }
    // Nothing new: nothing drawn, nothing to send.
    EXPECT_TRUE(scaler.draw(frame, target.framebuffer(true)).empty());
    // Two pixels of two rows changed: the rectangle around them, in target pixels.
    frame.at(1, 0) = 0x123456;
    frame.at(2, 1) = 0x654321;
    target.pixels[static_cast<size_t>(8) * target.pitch + 5] = 0xABCDEF;  // a row left alone stays as it is
    changed = scaler.draw(frame, target.framebuffer(false));
    EXPECT_EQ(changed.x, 1 + 3);
    EXPECT_EQ(changed.y, 0);
    EXPECT_EQ(changed.width, 6);
    EXPECT_EQ(changed.height, 6);
    EXPECT_EQ(target.at(4, 2), 0x123456u);
    EXPECT_EQ(target.at(9, 5), 0x654321u);
    EXPECT_EQ(target.at(5, 8), 0xABCDEFu);
    // The window uncovered: the last picture whole again.
    changed = scaler.redraw(target.framebuffer(false));
    EXPECT_EQ(changed.width, 14);
    EXPECT_EQ(target.at(5, 8), frame.at(1, 2));
    // Mouse positions: in the bars they clamp to the picture's edge.
    int x = 7, y = 4;
    scaler.to_picture(x, y);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 1);
    x = 0;
    y = 100;
    scaler.to_picture(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 2);
    // A resized window: all again, at its new factor.
    Target small(4, 3);
    EXPECT_EQ(scaler.draw(frame, small.framebuffer(false)).width, 4);
    EXPECT_EQ(small.at(1, 0), 0x123456u);
}

TEST(PictureScaler, AFittedPictureIsSharpAndTheMouseFindsThePixelDrawnUnderIt) {
    // 64 x 48 pixels each of its own colour, fitted into 107 x 80 (factor 1.66).
    Surface frame(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) frame.at(x, y) = static_cast<uint32_t>(0x010000 * x + 0x000100 * y + 7);
    Target target(107, 80);
    PictureScaler scaler;
    scaler.draw(frame, target.framebuffer(false));
    const PictureRect place = scaler.place();
    EXPECT_FALSE(whole_factor(place, 64, 48));
    EXPECT_EQ(std::tie(place.x, place.y, place.width, place.height), std::tuple(0, 0, 106, 80));
    std::vector<int> widths(64, 0);
    for (int y = 0; y < target.height; ++y) {
        for (int x = 0; x < place.width; ++x) {
            int px = x, py = y;
            scaler.to_picture(px, py);
            ASSERT_EQ(target.at(x, y), frame.at(px, py)) << x << "," << y;  // the mouse maps back exactly
            if (y == 0) ++widths[static_cast<size_t>(px)];
        }
        EXPECT_EQ(target.at(106, y), 0u);  // the bar
    }
    // Sharp: every picture column is one or two target columns wide, none blended away.
    for (int w : widths) EXPECT_TRUE(w == 1 || w == 2);
    // One pixel changed: only the target rows of its picture row are drawn again.
    EXPECT_TRUE(scaler.draw(frame, target.framebuffer(false)).empty());
    frame.at(10, 19) = 0xFFFFFF;
    const PictureRect changed = scaler.draw(frame, target.framebuffer(false));
    EXPECT_EQ(changed.y, 32);  // rows 32 and 33 show picture row 19 (19 * 80 / 48 = 31.7 up to 33.3)
    EXPECT_EQ(changed.height, 2);
    EXPECT_EQ(target.at(17, 32), 0xFFFFFFu);
    EXPECT_EQ(target.at(17, 33), 0xFFFFFFu);
    EXPECT_NE(target.at(17, 34), 0xFFFFFFu);
}

TEST(PictureScaler, TheWindowOpensAtTheLargestWholeFactorThatFitsMostOfTheDesktop) {
    struct Case {
        int desktop_width, desktop_height, preferred;
        int factor;
    };
    const Case cases[] = {
        {1920, 1080, 0, 1},  // 85 % of 1080 holds 480 once
        {2560, 1440, 0, 2},
        {3840, 2160, 0, 3},
        {1280, 800, 0, 1},
        {600, 400, 0, 1},    // never below the picture's own size
        {1920, 1080, 2, 2},  // the preference rules
        {1920, 1080, 5, 2},  // but no larger than the desktop
    };
    for (const Case& c : cases) {
        const WindowSize size = window_size_for(c.desktop_width, c.desktop_height, 640, 480, c.preferred);
        EXPECT_EQ(size.factor, c.factor) << c.desktop_width << "x" << c.desktop_height << " " << c.preferred;
        EXPECT_EQ(size.width, 640 * c.factor);
        EXPECT_EQ(size.height, 480 * c.factor);
    }
}
