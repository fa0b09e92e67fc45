#include "screens/main_menu.h"

#include "character/character_state.h"
#include "common/commands.h"
#include "common/message_ids.h"
#include "map/map_state.h"
#include "platform/files.h"
#include "platform/media.h"
#include "presentation/view.h"
#include "presentation/presentation_state.h"
#include "presentation/display.h"
#include "game/character_savegame.h"
#include "common/common_state.h"
#include "game/run_account.h"
#include "game/turn_state.h"
#include "common/commands.h"
#include "screens/guide_screens.h"
#include "screens/options_screen.h"
#include "screens/screen_stack.h"

#include <functional>
#include <memory>

namespace {

constexpr const char* SCREENSHOT_FILE = "savegame\\screenshot.jpg";
// The menu's own font (Arial 10, the face it shows at the first start): left
// at 0 it would keep whichever font was drawn with last, and its boxes would
// shrink after a game, whose status panel draws with font 1.
constexpr int MENU_FONT = 3;
// The outline around the red death text.
constexpr Colour DEATH_OUTLINE = RGB(0, 0, 0);
// The lines of the run's end below the death text, between it and the menu.
constexpr Colour RUN_COLOUR = RGB(255, 200, 125);
constexpr int RUN_LINE = 16;

// The band's notice: a saved game that did not read.
std::string g_notice[2];
constexpr Colour NOTICE_COLOUR = RGB(255, 255, 255);
constexpr int NOTICE_X = 8, NOTICE_Y = 440, NOTICE_LINE = 18;

bool load_screenshot() {
    if (file_size(SCREENSHOT_FILE) <= 0) return false;
    return sprite_load(sprite::screenshot, SCREENSHOT_FILE);
}

void draw_background(bool screenshot_loaded) {
    clear_screen(RGB(0, 0, 0));
    if (screenshot_loaded) {
        sprite_clip(sprite::screenshot, 0, 0, sprite_width(sprite::screenshot), sprite_height(sprite::screenshot));
        sprite_display_opaque(sprite::screenshot, 0, 0);
    }
    sprite_clip(sprite::splash, 0, 0, sprite_width(sprite::splash), sprite_height(sprite::splash));
    sprite_display_transparent(sprite::splash, 320 - sprite_width(sprite::splash) / 2, 0);
}

void draw_menu_screen(Menu& menu, bool screenshot_loaded, int mouse_x, int mouse_y) {
    draw_background(screenshot_loaded);
    menu.mouse_x = static_cast<int16_t>(mouse_x);
    menu.mouse_y = static_cast<int16_t>(mouse_y);
    const uint8_t selected_before = menu.selected;
    menu_draw(menu, 1);
    // The mouse picked another entry while the list was drawn: the entries drawn
    // before it still show the old choice. A menu that redraws only on input
    // would keep that picture, so it is drawn once more at once.
    if (menu.selected != selected_before) {
        draw_background(screenshot_loaded);
        menu_draw(menu, 1);
    }
    if (screen_is_fullscreen()) {
        sprite_clip(sprite::mouse_pointer, 0, 0, sprite_width(sprite::mouse_pointer),
                    sprite_height(sprite::mouse_pointer));
        sprite_display_transparent(sprite::mouse_pointer, mouse_x, mouse_y);
    }
    if (!g_notice[0].empty() || !g_notice[1].empty()) {
        draw_start();
        for (int line = 0; line < 2; ++line)
            draw_outlined_text(NOTICE_X, NOTICE_Y + line * NOTICE_LINE, g_notice[line], NOTICE_COLOUR, DEATH_OUTLINE);
        draw_text_background(RGB(0, 0, 0));
        draw_stop();
    }
    const std::string& death_text = g_character_model.character.death_text;
    if (!death_text.empty()) {
        draw_start();
        // With a dark outline, so that the red reads over any picture.
        draw_outlined_text(320 - text_width(death_text) / 2, 170, death_text, RGB(255, 0, 0), DEATH_OUTLINE);
        // Below it, what the run came to: where it ended, turns, kills, the deepest level.
        if (const FameEntry* run = last_ended_run()) {
            int y = 170 + RUN_LINE;
            for (const std::string& line : run_summary_lines(*run)) {
                draw_outlined_text(320 - text_width(line) / 2, y, line, RUN_COLOUR, DEATH_OUTLINE);
                y += RUN_LINE;
            }
        }
        draw_text_background(RGB(0, 0, 0));
        draw_stop();
    }
    flip();
}

}  // namespace

void set_menu_notice(const std::string& line1, const std::string& line2) {
    g_notice[0] = line1;
    g_notice[1] = line2;
}

const std::string& menu_notice(int line) { return g_notice[line == 0 ? 0 : 1]; }

namespace {

// Every key acts once per press. The first look is at the snapshot the game
// took as the menu opened, so a key pressed while the game was saving on the
// way here acts too. A key held on (from the game, or through a switch of the
// screen mode) acts only when it is pressed anew: the release of some other
// key never lets it act again.
class MainMenu : public Screen {
public:
    MainMenu();
    bool open() override {
        draw_menu_screen(g_presentation.menu, screenshot_loaded_, mx_, my_);
        return false;  // shown already
    }
    void take(WindowEvent event) override;
    bool draw() override {
        if (input_) draw_menu_screen(g_presentation.menu, screenshot_loaded_, mx_, my_);
        return false;  // shown already
    }
    bool idle() const override { return !input_; }
    MenuChoice choice() const { return choice_; }

private:
    void finish(bool left);
    // The hall of fame closed over the menu.
    void back_from_hall();
    // The entries in the player's language, the first chosen.
    void build();
    // Options chosen: its screen over the menu; the menu again afterwards, in
    // the language chosen there. The options come after the written three,
    // which keep their places.
    void open_options();
    int continue_index_ = -1, new_game_index_ = -1, options_index_ = -1;
    bool screenshot_loaded_ = false;
    int mx_ = 0, my_ = 0;
    bool input_ = false;
    MenuChoice choice_ = MenuChoice::quit;
};

MainMenu::MainMenu() {
    build();
    screenshot_loaded_ = load_screenshot();
}

void MainMenu::build() {
    Menu& menu = g_presentation.menu;
    menu_reset(menu);
    if (file_size("savegame\\character.xml") > 0) continue_index_ = menu_add(menu, message_text(30));
    new_game_index_ = menu_add(menu, message_text(29));
    menu_add(menu, message_text(31));
    options_index_ = menu_add(menu, message_text(msg::options));
    menu.colour = RGB(255, 100, 0);
    menu.inset = 6;
    menu.x = 280;
    menu.y = 250;
    menu.mouse_tracking = 1;
    menu.bevel = 1;
    menu.light_colour = RGB(255, 200, 125);
    menu.dark_colour = RGB(125, 75, 0);
    menu.font = MENU_FONT;
    menu.selected = 0;
}

void MainMenu::take(WindowEvent event) {
    Menu& menu = g_presentation.menu;
    const int last_x = mx_, last_y = my_, last_selected = menu.selected;
    const bool last_fullscreen = screen_is_fullscreen();
    bool input = false, chosen = false;
    // Full screen: the mouse is polled; a close request from the desktop still ends the menu.
    if (event == WindowEvent::close_request) return finish(true);
    if (!screen_is_fullscreen()) {
        input = event != WindowEvent::none;
        window_mouse_position(mx_, my_);
        if (event == WindowEvent::left_button_down && menu.hovered >= 0) {
            menu.selected = static_cast<uint8_t>(menu.hovered);
            chosen = true;
        }
    } else {
        mouse_poll();
        mx_ = mouse_x();
        my_ = mouse_y();
        if (mouse_left_held() && menu.hovered >= 0) {
            menu.selected = static_cast<uint8_t>(menu.hovered);
            chosen = true;
        }
    }
    // Alt+Return: both held, one of them pressed just now.
    const bool screen_switch = command_pressed(Command::full_screen);
    if (screen_switch) {
        toggle_fullscreen(g_map.map.tileset, 0);
        screenshot_loaded_ = load_screenshot();
    }
    if (key_released(key::escape)) return finish(true);
    if (chosen && menu.selected == options_index_) return open_options();
    if (chosen) return finish(false);  // by the mouse
    // One action per snapshot; the Return of Alt+Return chooses nothing.
    const int count = menu.count > 0 ? menu.count : 1;
    if (!screen_switch) {
        if (key_pressed(key::up)) {
            menu.selected = static_cast<uint8_t>(menu.selected == 0 ? count - 1 : menu.selected - 1);
        } else if (key_pressed(key::down)) {
            menu.selected = static_cast<uint8_t>(menu.selected + 1 >= count ? 0 : menu.selected + 1);
        } else if (key_pressed(key::ret)) {
            if (menu.selected == options_index_) return open_options();
            return finish(false);
        } else if (command_pressed(Command::hall_of_fame)) {
            screen_stack().push(hall_of_fame_screen(), [this](Screen&) { back_from_hall(); });
            return;
        }
    }
    // The picture changes only with input; a menu left alone waits for it instead of drawing again.
    input_ = input || key_held(key::any) || key_released(key::any) || mx_ != last_x || my_ != last_y ||
             menu.selected != last_selected || screen_is_fullscreen() != last_fullscreen;
}

void MainMenu::back_from_hall() {
    if (g_shell.loop.quit) return finish(true);
    input_ = true;
    draw();
}

void MainMenu::open_options() {
    // The menu looks at a new snapshot afterwards, so the key that closed the options does nothing here.
    screen_stack().push(std::make_unique<OptionsStackScreen>(), [this](Screen&) {
        if (g_shell.loop.quit) return finish(true);
        build();
        input_ = true;
        draw();
    });
}

void MainMenu::finish(bool left) {
    if (screenshot_loaded_) sprite_free(sprite::screenshot);
    set_menu_notice("", "");
    const int selected = g_presentation.menu.selected;
    // Leaving the menu quits; it never deletes the saved game. The saved game
    // stays until the new character's first save replaces it.
    if (!left && selected == continue_index_) choice_ = MenuChoice::continue_game;
    else if (!left && selected == new_game_index_) choice_ = MenuChoice::new_game;
    else {
        choice_ = MenuChoice::quit;
        g_shell.loop.quit = 1;
    }
    close();
}

}  // namespace

void main_menu(std::function<void(MenuChoice)> then) {
    ScreenStack& stack = screen_stack();
    stack.push<MainMenu>(std::make_unique<MainMenu>(), [then](MainMenu& menu) { then(menu.choice()); });
}
