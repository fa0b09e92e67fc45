// The software path's picture: whole-number enlargement between black bars,
// only what changed drawn again, mouse positions back in picture pixels.
#include <gtest/gtest.h>

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
        {1024, 768, {192, 144, 640, 480}},
        {1920, 1080, {320, 60, 1280, 960}},
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
