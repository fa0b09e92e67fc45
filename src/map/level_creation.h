// Generated dungeon levels: what level creation draws for the things it places.
#pragma once

// The magic bonus of a new artefact piece: 1 with chance 1/2, 2 with 1/4, 3
// with 1/8 and so on, never above 999.
int random_magic_bonus();
