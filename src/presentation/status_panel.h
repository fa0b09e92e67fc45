// The right panel of the game picture.
#pragma once
#include <cstdint>
#include <string>

// The text shown under an activated ability.
std::string ability_panel_text(int16_t id);
