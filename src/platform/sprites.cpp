// Sprites and images: loading, creating, clipping and displaying them on the
// back buffer, grabbing the shown picture and saving JPEG files.
#include <algorithm>

#include "platform/files.h"
#include "platform/media_state.h"
#include "platform/work_queue.h"

namespace {

Surface* find_sprite(int number) { return sprite_surface(number); }

// A number given a new sprite no longer stands for the one pending under it.
Surface& new_sprite(int number) {
    g_media.pending_sprites.erase(number);
    return g_media.sprites[number];
}

// Numbers that sprite_load_any hands out start above the game's fixed ones.
constexpr int FIRST_FREE_SPRITE = 100;

void display(int number, int x, int y, BlitMode mode, int intensity) {
    Surface* sprite = find_sprite(number);
    if (!sprite) return;
    if (g_media.display_target == SCREEN_TARGET) {
        if (!g_media.screen_drawing_off) blit(*sprite, screen_for_drawing(), x, y, mode, intensity);
    } else if (Surface* target = find_sprite(g_media.display_target); target && target != sprite) {
        blit(*sprite, *target, x, y, mode, intensity);
    }
}

}  // namespace

Surface* sprite_surface(int number) {
    if (auto found = g_media.sprites.find(number); found != g_media.sprites.end()) return &found->second;
    auto pending = g_media.pending_sprites.find(number);
    if (pending == g_media.pending_sprites.end()) return nullptr;
    const std::shared_ptr<Surface> picture = pending->second.get();
    g_media.pending_sprites.erase(pending);
    if (!picture) return nullptr;
    return &(g_media.sprites[number] = std::move(*picture));
}

void sprite_prefetch(const std::string& logical_path) {
    std::string host_file = host_path(logical_path);
    auto picture = background_work().add_claimable([host_file]() -> std::shared_ptr<Surface> {
        auto decoded = std::make_shared<Surface>();
        return decode_image_file(host_file, *decoded) ? decoded : nullptr;
    });
    g_media.prefetched.push_back({std::move(host_file), std::move(picture)});
}

namespace {

// The picture sprite_prefetch decoded from the file, taken out of the list;
// false when it was not asked for or did not decode.
bool take_prefetched(const std::string& host_file, Surface& out) {
    auto& list = g_media.prefetched;
    auto found = std::find_if(list.begin(), list.end(), [&](const PrefetchedPicture& p) { return p.host_file == host_file; });
    if (found == list.end()) return false;
    std::shared_ptr<Surface> picture = found->picture.get();
    list.erase(found);
    if (!picture) return false;
    out = std::move(*picture);
    return true;
}

}  // namespace

bool sprite_load(int number, const std::string& logical_path) {
    if (number < 0) return false;
    const std::string host_file = host_path(logical_path);
    Surface loaded;
    if (!take_prefetched(host_file, loaded) && !decode_image_file(host_file, loaded)) return false;
    new_sprite(number) = std::move(loaded);
    return true;
}

bool sprite_load_later(int number, const std::string& logical_path) {
    if (number < 0) return false;
    const std::string host_file = host_path(logical_path);
    int width = 0, height = 0;
    if (!png_file_whole(host_file, width, height)) return sprite_load(number, logical_path);
    g_media.sprites.erase(number);
    g_media.pending_sprites[number] = background_work().add_claimable(
        [host_file]() -> std::shared_ptr<Surface> {
            auto decoded = std::make_shared<Surface>();
            return decode_image_file(host_file, *decoded) ? decoded : nullptr;
        },
        true);
    return true;
}

namespace {

// The tileset pictures decoded lately; a few are plenty.
constexpr size_t KEPT_PICTURES = 2;

// The picture of the file, decoded again only when the file's bytes are no
// longer those it was decoded from (reading them costs little beside decoding).
const Surface* decoded_picture(const std::string& logical_path) {
    auto& kept = g_media.decoded_pictures;
    const std::string host_file = host_path(logical_path);
    std::string bytes;
    if (!read_whole_file(logical_path, bytes)) return nullptr;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->host_file != host_file) continue;
        if (it->bytes == bytes) return &it->picture;
        kept.erase(it);
        break;
    }
    Surface picture;
    if (!decode_image_file(host_file, picture)) return nullptr;
    ++g_media.pictures_decoded;
    if (kept.size() >= KEPT_PICTURES) kept.pop_front();
    kept.push_back({host_file, std::move(bytes), std::move(picture)});
    return &kept.back().picture;
}

}  // namespace

int sprite_load_any(const std::string& logical_path) {
    int number = FIRST_FREE_SPRITE;
    while (g_media.sprites.count(number) || g_media.pending_sprites.count(number)) ++number;
    const Surface* picture = decoded_picture(logical_path);
    if (!picture) return 0;
    new_sprite(number) = *picture;
    return number;
}

bool sprite_create(int number, int width, int height) {
    if (number < 0 || width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE)
        return false;
    new_sprite(number) = Surface(width, height, 0);
    return true;
}

void sprite_free(int number) {
    g_media.sprites.erase(number);
    g_media.pending_sprites.erase(number);
}
bool sprite_exists(int number) { return find_sprite(number) != nullptr; }

int sprite_width(int number) {
    Surface* sprite = find_sprite(number);
    return sprite ? sprite->width : 0;
}

int sprite_height(int number) {
    Surface* sprite = find_sprite(number);
    return sprite ? sprite->height : 0;
}

void sprite_clip(int number, int x, int y, int width, int height) {
    if (Surface* sprite = find_sprite(number)) {
        sprite->clip_x = x;
        sprite->clip_y = y;
        sprite->clip_width = width;
        sprite->clip_height = height;
    }
}

void sprite_display_opaque(int number, int x, int y) { display(number, x, y, BlitMode::opaque, 255); }
void sprite_display_transparent(int number, int x, int y) { display(number, x, y, BlitMode::transparent, 255); }
void sprite_display_translucent(int number, int x, int y, int intensity) {
    display(number, x, y, BlitMode::translucent, intensity);
}

bool sprite_grab(int number, int x, int y, int width, int height) {
    if (number < 0 || width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE)
        return false;
    new_sprite(number) = copy_rectangle(shown_picture(), x, y, width, height);
    return true;
}

bool sprite_save_jpeg(int number, const std::string& logical_path) {
    Surface* sprite = find_sprite(number);
    if (!sprite) return false;
    std::vector<unsigned char> data;
    if (!encode_jpeg(*sprite, 90, data)) return false;
    return write_file_atomically(logical_path, data.data(), data.size());
}

void set_display_target(int target) { g_media.display_target = target; }

bool sprite_save_png(int number, const std::string& logical_path) {
    Surface* sprite = find_sprite(number);
    if (!sprite) return false;
    std::vector<unsigned char> data;
    if (!encode_png(*sprite, data)) return false;
    return write_file_atomically(logical_path, data.data(), data.size());
}

Colour sprite_pixel(int number, int x, int y) {
    Surface* sprite = find_sprite(number);
    return sprite && sprite->inside(x, y) ? sprite->at(x, y) : 0;
}

Colour screen_pixel(int x, int y) { return g_media.screen.inside(x, y) ? g_media.screen.at(x, y) : 0; }
Colour shown_screen_pixel(int x, int y) {
    const Surface& shown = shown_picture();
    return shown.inside(x, y) ? shown.at(x, y) : 0;
}

// ---- Images ----

int image_load(const std::string& logical_path) {
    Surface loaded;
    if (!decode_image_file(host_path(logical_path), loaded)) return 0;
    int handle = g_media.next_image++;
    g_media.images[handle] = std::move(loaded);
    return handle;
}

int image_width(int handle) {
    auto found = g_media.images.find(handle);
    return found == g_media.images.end() ? 0 : found->second.width;
}

int image_height(int handle) {
    auto found = g_media.images.find(handle);
    return found == g_media.images.end() ? 0 : found->second.height;
}

void image_free(int handle) { g_media.images.erase(handle); }

bool image_dimensions(const std::string& logical_path, int& width, int& height) {
    return image_file_dimensions(host_path(logical_path), width, height);
}

void limit_picture_side(int side) { limit_image_side(side); }
