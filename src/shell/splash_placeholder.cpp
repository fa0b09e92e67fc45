#include "shell/splash_placeholder.h"

#include "platform/media.h"
#include "shell/shell_state.h"

void run_splash_until_escape() {
    for (;;) {
        keyboard_poll();
        if (!g_shell.preferences.fullscreen && take_window_event() == WindowEvent::close_request) return;
        if (key_released(key::escape)) return;
        clear_screen(RGB(0, 0, 0));
        sprite_display_transparent(sprite::splash, 320 - sprite_width(sprite::splash) / 2, 0);
        flip();
    }
}
