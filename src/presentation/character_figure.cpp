#include "presentation/view.h"

#include "character/character_state.h"
#include "platform/media.h"
#include "platform/strings.h"
#include "common/raise_error.h"
#include "common/common_state.h"

void draw_character(int vertical_shift) {
    const CharacterRecord& c = g_character_model.character;
    if (c.facing < 0 || c.facing > 3) raise_error("draw_character: wrong facing: " + int_to_text(c.facing));
    if (c.frame != 0 && c.frame != 1) raise_error("draw_character: wrong frame: " + int_to_text(c.frame));
    sprite_clip(sprite::character, c.facing * 64 + c.frame * 32, 0, 32, 32);
    sprite_display_transparent(sprite::character, 192, 192 + wrap8(vertical_shift));
}
