#include "shell/game_state.h"

#include "shell/shell_state.h"
#include "character/character_state.h"
#include "items/items_state.h"
#include "map/map_state.h"
#include "monsters/monsters_state.h"
#include "powers/powers_state.h"
#include "presentation/presentation_state.h"

// Each subsystem's reset is called here, in the order start-up creates the tables.
void reset_game_state() {
    reset_shell_state();
    reset_character_model_state();
    reset_presentation_state();
    reset_items_state();
    reset_monsters_state();
    reset_powers_state();
    reset_map_state();
}
