// What the tile of the field the character has just entered does to it: up
// to three changes of abilities, a sound, an animation, a message, perhaps
// the tile's removal; and the items lying there.
#pragma once

// Applies the tile effects of the character's field on the current map and
// names the items lying there. Returns 1 when the character's turn ends.
int field_effects();
