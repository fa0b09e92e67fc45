#include "screens/game_state.h"

#include "character/character_state.h"
#include "common/common_state.h"
#include "common/database.h"
#include "items/items_state.h"
#include "map/map_state.h"
#include "presentation/presentation_state.h"
#include "game/turn_state.h"
#include "common/events.h"
#include "common/questions.h"
#include "presentation/event_player.h"
#include "screens/advancement_screen.h"
#include "screens/power_screens.h"
#include "screens/screen_stack.h"

// Each subsystem's reset is called here, from the bottom layer up.
void reset_game_state() {
    reset_common_state();
    reset_database();
    reset_character_model_state();
    reset_items_state();
    reset_map_state();
    reset_presentation_state();
    reset_shell_state();
    screen_stack().clear();
    // The rules ask the player through the screens.
    set_player_questions({choose_target, advancement_screen});
    // What the rules tell is played by the presentation.
    set_event_player(play_event);
}
