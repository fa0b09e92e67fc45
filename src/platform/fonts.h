// Font look-up and the font text is drawn with (private to the media layer).
#pragma once
#include <string>

#include "platform/media_state.h"

struct FontFile {
    std::string path;    // empty when nothing fits
    std::string family;  // the family that was found
    bool bold_face = false;
};

// The font file that stands for a face name (Arial -> Liberation Sans,
// Verdana -> DejaVu Sans, Harrington -> DejaVu Serif, ...).
FontFile find_font_file(const std::string& face, bool bold);

// The selected font, or a default face when none is loaded under its number;
// nullptr only when no font can be opened at all.
const Font* active_font();
