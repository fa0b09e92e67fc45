// A right click on the map view opens the look screen on the field under the
// pointer; it takes no turn, and the Escape that closes the screen does not
// save and leave. A right click beside the view looks at nothing.
#include <gtest/gtest.h>

#include "character/character_state.h"
#include "common/view_cells.h"
#include "game/turn_state.h"
#include "map/seen_fields.h"
#include "platform/headless.h"
#include "scenario/scenario_support.h"
#include "screens/look_screen.h"
#include "support/screen_driver.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace {

void start_game(const TempGameFolder& folder) {
    write_fixture_game(folder);
    write_saved_game(folder, 2, 4, 0);
    headless::set_deadline(600000);
    startup();
    g_shell.loop.menu = 0;
    mark_seen_fields(g_map.map);
}

}  // namespace

TEST(RightClick, OpensTheLookScreenOnTheFieldUnderThePointer) {
    TempGameFolder folder;
    start_game(folder);
    const int turns = g_character_model.character.turns;
    // Through the main loop: the screen opens, its cursor moves, Escape closes it.
    const uint32_t t = headless::now() + 5;
    headless::mouse_move(t, 9 * 32 + 16, 5 * 32 + 16);
    headless::mouse_right_button(t + 10, true);
    headless::mouse_right_button(t + 40, false);
    headless::key_tap(t + 200, key::left, 30);
    headless::key_tap(t + 300, key::escape, 30);
    headless::advance(60);
    main_loop_pass();
    ASSERT_EQ(screen_stack().size(), 1u);  // the look screen, opened by the click's pass
    // The loop's passes until the screen closes.
    for (int pass = 0; pass < 200 && !screen_stack().empty(); ++pass) main_loop_pass();
    EXPECT_TRUE(screen_stack().empty());
    EXPECT_EQ(g_shell.loop.menu, 0);  // the Escape closed the look screen, it did not save and leave
    EXPECT_EQ(g_character_model.character.turns, turns);
    EXPECT_EQ(g_character_model.character.x, 2);  // Left moved the cursor, not the character

    // The screen reports where its cursor closed: it started under the pointer. Over the status panel: no look.
    for (const auto& [column, opens] : {std::pair{9, true}, {VIEW_CELLS, false}}) {
        const uint32_t at = headless::now() + 5;
        headless::mouse_move(at, column * 32 + 16, 5 * 32 + 16);
        headless::key_tap(at + 100, key::left, 30);
        headless::key_tap(at + 200, key::escape, 30);
        headless::advance(20);
        LookCursor cursor{-1, -1};
        EXPECT_EQ(pointer_look_cursor(cursor), opens);
        if (opens) {
            LookCursor closed{-1, -1};
            screen_stack().push<LookScreen>(std::make_unique<LookScreen>(cursor),
                                            [&](LookScreen& look) { closed = look.cursor(); });
            run_screens();
            EXPECT_TRUE(closed.column == column - 1 && closed.row == 5) << closed.column << ", " << closed.row;
        }
        headless::advance(400);
        keyboard_poll();
    }
}
