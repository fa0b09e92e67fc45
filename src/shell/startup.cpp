#include "shell/startup.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "character/abilities_db.h"
#include "character/character_state.h"
#include "items/item_db.h"
#include "character/character_record.h"
#include "common/message_ids.h"
#include "map/map_file.h"
#include "map/map_grid.h"
#include "map/tileset.h"
#include "screens/main_menu.h"
#include "shell/main_loop.h"
#include "map/map_state.h"
#include "monsters/monster_db.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/strings.h"
#include "powers/power_db.h"
#include "game/character_savegame.h"
#include "presentation/display.h"
#include "screens/game_state.h"
#include "common/message_list.h"
#include "common/preferences.h"
#include "common/raise_error.h"
#include "common/common_state.h"
#include "game/turn_state.h"

namespace {
// The display went away under the game: it saves as at its end (nothing can be drawn any more).
void save_when_display_lost() {
    try {
        save_at_program_end(false);
    } catch (const FatalError& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
    }
}
}  // namespace

void load_saved_game_if_any() {
    set_display_lost_hook(save_when_display_lost);
    // A savegame that leads elsewhere is refused before anything is read, written or cleared there.
    if (const std::string fault = link_out_of_own_folders(); !fault.empty()) raise_error(fault);
    if (file_size("savegame\\character.xml") <= 0) return;
    CharacterRecord& character = g_character_model.character;
    try {
        load_character(character, "savegame\\character.xml");
        load_map(g_map.map, "savegame\\" + file_part(character.map_file_name), 0);
    } catch (const FatalError& error) {
        // No lock-out: the saved game goes aside whole, the menu says why and offers a new game.
        std::vector<std::string> files = saved_game_files("savegame");
        if (std::find(files.begin(), files.end(), "character.xml") == files.end()) files.insert(files.begin(), "character.xml");
        const std::string kept = keep_aside("savegame", files);
        reset_character();
        reset_map(g_map.map);
        set_menu_notice(replace_all(message_text(msg::savegame_damaged), "[fault]", error.what()),
                        replace_all(message_text(msg::savegame_kept), "[kept]", kept));
        return;
    }
    // The tileset is the game's own data: a fault there stays fatal.
    load_tileset(g_map.map.tileset);
}

void set_main_loop_start_state() {
    MainLoopFlags& loop = g_shell.loop;
    loop.redraw = 1;
    loop.moved = 0;
    loop.overlay = 0;
    loop.turn_ended = 0;
    loop.menu = 1;
    loop.action_lock = 0;
    loop.burnt_out = 0;
    loop.blocked = 0;
}

void startup() {
    // 1. Version, window title; the game writes below "savegame\". A save
    // killed on its way is finished, or its temporaries removed.
    // Neither the game folder nor the user's data folder taking the savegame would end the first save with
    // a fault that names no cause: it ends here, naming the folders tried.
    if (const std::string tried = unwritable_savegame_folders(); !tried.empty())
        raise_error("startup(): cannot write the savegame folder; tried " + tried);
    finish_interrupted_save("savegame");

    // 2. Every global table, fresh.
    reset_game_state();  // the version and the window title come with the tables
    g_shell.loop.quit = 0;

    // 3. Preferences (with the key bindings), then the texts in the chosen language.
    load_preferences(g_common.preferences, "config\\preferences.xml");
    load_message_list("data\\messages.xml");

    // 4. Input devices and sound.
    if (!keyboard_init()) raise_error("Can't open keyboard for input!");
    if (!mouse_init()) raise_error("Can't open mouse for input!");
    sound_init();
    load_sounds();

    // 5. The screen.
    if (!g_common.preferences.fullscreen) shell::open_window_screen();
    else shell::open_full_screen();

    // 6. Sprites, fonts and the databases.
    load_sprites();
    load_abilities_db();
    load_monster_db("data\\monster.xml");
    load_power_db();
    load_item_db();

    // 7. A saved game is restored before the menu shows.
    load_saved_game_if_any();

    // 8.
    set_main_loop_start_state();
}

void start_session(BackendKind backend, uint32_t seed, const std::function<void()>& before,
                   const std::function<void(void (*)())>& run_startup) {
    if (!media_init(backend)) raise_error("Can't open sprite environment!");
    seed_random(seed);
    if (before) before();
    if (run_startup) run_startup(startup);
    else startup();
}
