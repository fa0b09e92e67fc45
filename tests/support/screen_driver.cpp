#include "support/screen_driver.h"

#include "platform/media.h"
#include "screens/screen_stack.h"

void run_screens() {
    while (!screen_stack().empty()) {
        keyboard_poll();
        screen_stack().pass(take_window_event());
    }
}
