#include "platform/scaler.h"

#include <algorithm>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The picture as large as the target allows, aspect kept, centred.
PictureRect fitted_place(int target_width, int target_height, int picture_width, int picture_height) {
    PictureRect place;
    if (static_cast<long long>(target_width) * picture_height <= static_cast<long long>(target_height) * picture_width) {
        place.width = target_width;
        place.height = std::max(1, static_cast<int>(static_cast<long long>(target_width) * picture_height / picture_width));
    } else {
        place.height = target_height;
        place.width = std::max(1, static_cast<int>(static_cast<long long>(target_height) * picture_width / picture_height));
    }
    return place;
}

// The share of the screen the whole factor may leave empty (beside what the
// fitted picture fills) before the picture is fitted: a fifth.
constexpr int kWholeAtLeastFifths = 4;

}  // namespace

PictureRect fit_picture(int target_width, int target_height, int picture_width, int picture_height) {
    PictureRect place;
    if (target_width <= 0 || target_height <= 0 || picture_width <= 0 || picture_height <= 0) return place;
    const int factor = std::min(target_width / picture_width, target_height / picture_height);
    place = fitted_place(target_width, target_height, picture_width, picture_height);
    if (factor >= 1 && 5LL * factor * picture_width >= static_cast<long long>(kWholeAtLeastFifths) * place.width) {
        place.width = picture_width * factor;
        place.height = picture_height * factor;
    }
    place.x = (target_width - place.width) / 2;
    place.y = (target_height - place.height) / 2;
    return place;
}

bool whole_factor(const PictureRect& place, int picture_width, int picture_height) {
    if (place.empty() || picture_width <= 0 || picture_height <= 0) return false;
    const int factor = place.width / picture_width;
    return factor >= 1 && place.width == picture_width * factor && place.height == picture_height * factor;
}

WindowSize window_size_for(int desktop_width, int desktop_height, int picture_width, int picture_height,
                           int preferred_factor) {
    WindowSize size;
    if (picture_width <= 0 || picture_height <= 0) return size;
    const int largest = std::min(desktop_width / picture_width, desktop_height / picture_height);
    const int comfortable = std::min(desktop_width * 85 / 100 / picture_width, desktop_height * 85 / 100 / picture_height);
    const int factor = preferred_factor > 0 ? std::min(preferred_factor, largest) : comfortable;
    size.factor = std::max(1, factor);
    size.width = picture_width * size.factor;
    size.height = picture_height * size.factor;
    return size;
}

namespace {

inline uint32_t target_pixel(uint32_t pixel, bool swap) {
    if (!swap) return pixel;
    return (pixel & 0x0000FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
}

// A copy of a finished target row to a row below. The rows go to the display
// and are not read here again: on x86 they bypass the cache (streaming
// stores), which saves reading every target line before writing it.
void copy_row(uint32_t* to, const uint32_t* from, size_t count) {
#ifdef __SSE2__
    while (count > 0 && (reinterpret_cast<uintptr_t>(to) & 15) != 0) {
        *to++ = *from++;
        --count;
    }
    for (; count >= 4; count -= 4, to += 4, from += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
#endif
    std::memcpy(to, from, count * 4);
}

// count picture pixels, each written factor times side by side.
void expand_row(const uint32_t* source, uint32_t* out, int count, int factor, bool swap) {
    switch (factor) {
    case 1:
        for (int x = 0; x < count; ++x) out[x] = target_pixel(source[x], swap);
        break;
    case 2:
        for (int x = 0; x < count; ++x) out[2 * x] = out[2 * x + 1] = target_pixel(source[x], swap);
        break;
    case 4:
        for (int x = 0; x < count; ++x) out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = out[4 * x + 3] = target_pixel(source[x], swap);
        break;
    default:
        for (int x = 0; x < count; ++x) {
            const uint32_t pixel = target_pixel(source[x], swap);
            for (int k = 0; k < factor; ++k) *out++ = pixel;
        }
    }
}

void fill_rows(const FramebufferTarget& target, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    for (int row = y; row < y + height; ++row)
        std::memset(target.pixels + static_cast<size_t>(row) * target.pitch + x, 0, static_cast<size_t>(width) * 4);
}

}  // namespace

PictureRect PictureScaler::draw(const Surface& frame, const FramebufferTarget& target) {
    const size_t count = static_cast<size_t>(frame.width) * frame.height;
    const bool full = full_ || shown_.size() != count || frame.width != picture_width_ || frame.height != picture_height_ ||
                      target.width != target_width_ || target.height != target_height_;
    if (full) {
        place_ = fit_picture(target.width, target.height, frame.width, frame.height);
        picture_width_ = frame.width;
        picture_height_ = frame.height;
        target_width_ = target.width;
        target_height_ = target.height;
        // The bars around the picture.
        fill_rows(target, 0, 0, target.width, place_.y);
        fill_rows(target, 0, place_.y + place_.height, target.width, target.height - place_.y - place_.height);
        fill_rows(target, 0, place_.y, place_.x, place_.height);
        fill_rows(target, place_.x + place_.width, place_.y, target.width - place_.x - place_.width, place_.height);
        shown_.assign(frame.pixels.begin(), frame.pixels.end());
        full_ = false;
    }
    if (place_.empty()) return full ? PictureRect{0, 0, target.width, target.height} : PictureRect{};

    if (!whole_factor(place_, frame.width, frame.height)) return draw_fitted(frame, target, full);
    const int factor = place_.width / frame.width;

    // Row by row: the span of the row that changed, each pixel copied factor
    // times, then the finished target row copied to the factor - 1 rows below.
    int left = frame.width, right = -1, top = frame.height, bottom = -1;
    const size_t row_bytes = static_cast<size_t>(frame.width) * 4;
    for (int y = 0; y < frame.height; ++y) {
        const uint32_t* source = frame.pixels.data() + static_cast<size_t>(y) * frame.width;
        uint32_t* before = shown_.data() + static_cast<size_t>(y) * frame.width;
        int first = 0, last = frame.width - 1;
        if (!full) {
            if (std::memcmp(source, before, row_bytes) == 0) continue;
            while (source[first] == before[first]) ++first;
            while (source[last] == before[last]) --last;
            std::memcpy(before + first, source + first, static_cast<size_t>(last - first + 1) * 4);
        }
        uint32_t* out = target.pixels + static_cast<size_t>(place_.y + y * factor) * target.pitch + place_.x;
        expand_row(source + first, out + first * factor, last - first + 1, factor, target.swap_red_blue);
        const size_t count = static_cast<size_t>(last - first + 1) * factor;
        for (int k = 1; k < factor; ++k)
            copy_row(out + static_cast<size_t>(k) * target.pitch + first * factor, out + first * factor, count);
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
#ifdef __SSE2__
    _mm_sfence();  // the streaming stores are done before the display reads the rows
#endif
    if (full) return {0, 0, target.width, target.height};
    if (bottom < 0) return {};
    return {place_.x + left * factor, place_.y + top * factor, (right - left + 1) * factor, (bottom - top + 1) * factor};
}

// Fitted: the target rows of each picture row that changed, the first one
// made column by column from the picture row, the others copied from it.
PictureRect PictureScaler::draw_fitted(const Surface& frame, const FramebufferTarget& target, bool full) {
    if (full || static_cast<int>(columns_.size()) != place_.width) {
        columns_.resize(static_cast<size_t>(place_.width));
        for (int x = 0; x < place_.width; ++x)
            columns_[static_cast<size_t>(x)] = static_cast<int>(static_cast<long long>(x) * frame.width / place_.width);
    }
    const size_t row_bytes = static_cast<size_t>(frame.width) * 4;
    int top = place_.height, bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
        const uint32_t* source = frame.pixels.data() + static_cast<size_t>(y) * frame.width;
        uint32_t* before = shown_.data() + static_cast<size_t>(y) * frame.width;
        if (!full) {
            if (std::memcmp(source, before, row_bytes) == 0) continue;
            std::memcpy(before, source, row_bytes);
        }
        // The target rows ty with ty * height / place height == y.
        const long long h = place_.height, ph = frame.height;
        const int first = static_cast<int>((y * h + ph - 1) / ph), end = static_cast<int>(((y + 1) * h + ph - 1) / ph);
        if (first >= end) continue;
        uint32_t* out = target.pixels + static_cast<size_t>(place_.y + first) * target.pitch + place_.x;
        for (int x = 0; x < place_.width; ++x) out[x] = target_pixel(source[columns_[static_cast<size_t>(x)]], target.swap_red_blue);
        for (int row = first + 1; row < end; ++row)
            copy_row(out + static_cast<size_t>(row - first) * target.pitch, out, static_cast<size_t>(place_.width));
        top = std::min(top, first);
        bottom = end - 1;
    }
#ifdef __SSE2__
    _mm_sfence();
#endif
    if (full) return {0, 0, target.width, target.height};
    if (bottom < 0) return {};
    return {place_.x, place_.y + top, place_.width, bottom - top + 1};
}

PictureRect PictureScaler::redraw(const FramebufferTarget& target) {
    if (shown_.empty()) return {};
    Surface last(picture_width_, picture_height_);
    last.pixels = shown_;
    full_ = true;
    return draw(last, target);
}

void PictureScaler::to_picture(int& x, int& y) const {
    if (place_.empty() || picture_width_ <= 0) return;
    x = std::clamp(static_cast<int>(static_cast<long long>(x - place_.x) * picture_width_ / place_.width), 0,
                   picture_width_ - 1);
    y = std::clamp(static_cast<int>(static_cast<long long>(y - place_.y) * picture_height_ / place_.height), 0,
                   picture_height_ - 1);
}
