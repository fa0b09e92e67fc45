#include "presentation/display.h"

#include "map/tileset.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "common/preferences.h"
#include "common/raise_error.h"
#include "common/common_state.h"

namespace shell {

void open_full_screen() {
    if (!::open_full_screen(g_common.window_title)) raise_error("Can't open fullscreen!");
}

void open_window_screen() {
    set_window_scale(g_common.preferences.window_scale);
    if (!::open_window(g_common.window_title)) raise_error("Can't open program window!");
    if (!::open_window_screen()) raise_error("Can't open windowed screen!");
}

}  // namespace shell

namespace {

SheetSize measure_sheet(int number) { return {sprite_width(number) / 32, sprite_height(number) / 32}; }

void create_dark_sprite(int number, int width, int height) {
    sprite_create(number, width, height);
    draw_start(number);
    draw_box(0, 0, width, height, RGB(1, 1, 1));
    draw_stop();
}

}  // namespace

const std::vector<SpriteFile>& sprite_files() {
    static const std::vector<SpriteFile> files = [] {
        std::vector<SpriteFile> f = {
            {sprite::character, "graphics\\characters.png", "load_sprites(): can't load character sprites!"},
            {sprite::frame, "graphics\\frame.png", "load_sprites(): can't load frame sprites!"},
            {sprite::abilities, "graphics\\abilities.png", "load_sprites(): can't load abilities sprites!"},
            {sprite::splash, "graphics\\splash.png", "load_sprites(): can't load splash sprite!"},
            {sprite::monster, "graphics\\monster.png", "load_sprites(): cannot load monster sprite!"},
            {sprite::mouse_pointer, "graphics\\mousepointer.png", "load_sprites(): cannot load mouse pointer graphics!"},
            {sprite::blood, "graphics\\blood.png", "load_sprites(): cannot load bloodspot image!"},
            {sprite::powers, "graphics\\powers.png", "load_sprites(): cannot load powers image!"},
            {sprite::cursor, "graphics\\cursor.png", "load_sprites(): cannot load cursor image!"},
            {sprite::stars, "graphics\\starsprites.png", "load_sprites(): cannot star sprites!"},
            {sprite::missiles, "graphics\\missiles.png", "load_sprites(): cannot load missiles sprites!"},
        };
        for (int n = 1; n <= 7; ++n)
            f.push_back({13 + n, "graphics\\light" + int_to_text(n) + ".png",
                         "load_sprites(): cannot load light radius sprite!", true});
        f.push_back({sprite::items, "graphics\\items.png", "load_sprites(): cannot load item sprites!"});
        f.push_back({sprite::fx, "graphics\\fx.png", "load_sprites(): cannot load fx sprites!"});
        return f;
    }();
    return files;
}

namespace {

void load_sprite_file(const SpriteFile& file, bool decoded_now) {
    if (decoded_now ? sprite_load(file.number, file.file) : sprite_load_later(file.number, file.file)) return;
    // A file that is there but holds no whole picture (empty, cut, damaged, no picture at all) would
    // leave the sheet half drawn or missing: the same message, then the file, so its maker finds it.
    if (file_size(file.file) >= 0) raise_error(std::string(file.failure) + " " + quoted(file.file));
    raise_error(file.failure);
}

}  // namespace

void load_sprite_file(const SpriteFile& file) { load_sprite_file(file, true); }

void measure_sheets() {
    g_common.abilities_sheet = measure_sheet(sprite::abilities);
    g_common.monster_sheet = measure_sheet(sprite::monster);
    g_common.powers_sheet = measure_sheet(sprite::powers);
    g_common.missiles_sheet = measure_sheet(sprite::missiles);
    g_common.items_sheet = measure_sheet(sprite::items);
    g_common.fx_sheet = measure_sheet(sprite::fx);
}

void prefetch_sprites() {
    fonts_prefetch({{"Arial", false}, {"Harrington", false}, {"Verdana", false}, {"Verdana", true}});
    for (const SpriteFile& file : sprite_files())
        if (!file.in_game_only) sprite_prefetch(file.file);
}

void load_sprites() {
    // The light radius pictures (seven of the twenty, four fifths of the
    // decoding) are checked whole here and decoded after the first picture.
    for (const SpriteFile& file : sprite_files()) load_sprite_file(file, !file.in_game_only);
    measure_sheets();

    create_dark_sprite(sprite::map_dark, 416, 416);
    create_dark_sprite(sprite::screen_dark, SCREEN_WIDTH, SCREEN_HEIGHT);

    // A face missing on the system is replaced by the drawing layer.
    font_load(1, "Arial", 8, false, false);
    font_load(2, "Harrington", 12, true, false);
    font_load(3, "Arial", 10, false, false);
    font_load(4, "Verdana", 10, false, false);
    font_load(5, "Verdana", 10, false, true);
}

std::vector<SoundFile> sound_files() {
    std::vector<SoundFile> files;
    for (const FolderEntry& entry : list_folder("sound\\", "*.ogg")) {
        if (static_cast<int>(files.size()) > SOUND_ENTRY_LAST - SOUND_ENTRY_FIRST) break;
        if (entry.type != 1) continue;
        files.push_back({"sound\\" + entry.name, remove_all_nocase(entry.name, ".ogg")});
    }
    return files;
}

void load_sounds() {
    for (SoundEntry& entry : g_common.sounds) entry = SoundEntry{};
    int n = SOUND_ENTRY_FIRST;
    for (const SoundFile& file : sound_files()) {
        SoundEntry& slot = g_common.sounds[n++];
        // A sound that fails to load keeps its place and name but stays silent.
        slot.sound = sound_load(file.file);
        if (slot.sound != 0) sound_set_volume(slot.sound, 50);
        slot.name = file.name;
    }
}

void toggle_fullscreen(Tileset& tileset, int reload_tileset) {
    Preferences& preferences = g_common.preferences;
    sprite_free(sprite::character);
    sprite_free(sprite::frame);
    close_screen();
    if (!preferences.fullscreen) {
        preferences.fullscreen = 1;
        close_window();
        shell::open_full_screen();
    } else {
        preferences.fullscreen = 0;
        shell::open_window_screen();
    }
    load_sprites();
    if (reload_tileset == 1) load_tileset(tileset, 1, 0);
    save_preferences(preferences, "config\\preferences.xml");
}

void screenshot(const std::string& file_name) {
    if (!sprite_grab(sprite::screenshot, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT))
        raise_error("screenshot(): could not grab screenshot!");
    if (!sprite_save_jpeg(sprite::screenshot, file_name))
        raise_error("screenshot(): could not save screenshot to file \"" + file_name + "\"");
}
