// The picture on a software framebuffer (a window's own pixels, where no
// graphics driver scales it): enlarged by the largest whole-number factor that
// fits, each pixel copied factor times along its row and each row copied
// factor times, centred between black bars. Where the whole factor would leave
// more than a fifth of what a fitted picture fills empty (1x on a 1280 x 800
// screen), the picture is fitted instead, sharp: every target pixel shows the
// picture pixel under it, nothing blended. Only the rows that changed since
// the last picture are drawn again. A window smaller than the picture shows it
// reduced the same way, aspect kept.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/surface.h"

struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Where a picture of picture_width x picture_height lies in a target of the given size.
PictureRect fit_picture(int target_width, int target_height, int picture_width, int picture_height);
// True when the place is a whole-number enlargement of the picture.
bool whole_factor(const PictureRect& place, int picture_width, int picture_height);

// The size a window opens at on a desktop (its usable area): the picture
// enlarged by the preferred factor, or with 0 by the largest whole factor that
// fits 85 % of the desktop; never larger than the desktop, never below 1.
struct WindowSize {
    int width = 0, height = 0;
    int factor = 1;
};
WindowSize window_size_for(int desktop_width, int desktop_height, int picture_width, int picture_height,
                           int preferred_factor);

struct FramebufferTarget {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    int pitch = 0;              // in pixels
    bool swap_red_blue = false; // 0x00RRGGBB pixels (our pictures are 0x00BBGGRR)
};

class PictureScaler {
public:
    // Draws the frame into the target and returns the rectangle of the target
    // that changed (empty when nothing did). After forget(), or when the
    // target's size changed, the whole target is drawn, bars included.
    PictureRect draw(const Surface& frame, const FramebufferTarget& target);
    // The last picture drawn again, whole (the window was uncovered).
    PictureRect redraw(const FramebufferTarget& target);
    void forget() { full_ = true; }
    // A point of the target in picture pixels (mouse positions), clamped to
    // the picture: the very picture pixel drawn there.
    void to_picture(int& x, int& y) const;
    const PictureRect& place() const { return place_; }

private:
    PictureRect draw_fitted(const Surface& frame, const FramebufferTarget& target, bool full);

    std::vector<uint32_t> shown_;  // the frame drawn last
    bool full_ = true;             // the next draw draws everything
    int picture_width_ = 0, picture_height_ = 0;
    int target_width_ = 0, target_height_ = 0;
    PictureRect place_;
    std::vector<int> columns_;     // fitted: the picture column of each target column
};
