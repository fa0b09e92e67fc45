// The two full-screen views of the character's abilities: the character
// sheet (key C), and the advancement screen where the character grows, one
// pick at a time, by the attribute bonuses of the ability it chooses; with the
// dialog frame and the text shortening both use.
#pragma once
#include <functional>
#include <cstdint>
#include <string>

// Clears the screen and draws the border, the title band (title centred at
// y 16) and, when the footer is not empty, the footer band with the footer.
void draw_dialog_frame(const std::string& title, const std::string& footer);
// The text, shortened from its end until it fits width pixels (current font)
// together with the ellipsis, which then ends it; unchanged when text +
// ellipsis fits.
std::string fit_text(const std::string& text, int width, const std::string& ellipsis);

// Draws the character sheet once: every ability's "character info" entries
// that speak for its current value, in columns of eleven rows. The main loop
// keeps it up until Return.
void character_screen();

// The advancement dialog: picks choices, one after another, until all are
// made or the player leaves with Escape; new_character 1 gives the title of a
// new character. A close request of the window leaves too and sets
// ends the game (window_close_asked). Returns 0.
// Picks left with Escape wait in the character record for the key A (said in
// the band); a power the picks made usable takes the next cell of the power
// grid and is named. Picks that come in the game are announced first.
int advancement_screen(int picks, int new_character);
// What an advancement screen's end tells: the picks left for later, the new powers.
void tell_advancement_end(int unmade, bool new_character);
// The key A: the advancement screen with the picks waiting (pushed on the
// stack; then runs when it closes), or when none wait, what the next pick
// comes with (then runs at once).
void take_waiting_picks(std::function<void()> then);
// What the next advancement pick comes with ("Next pick: on reaching level 3 of the Old Cave").
std::string next_pick_text();
// Draws the advancement list with the cursor on the ability at index cursor
// of the count advancement abilities, the details of that ability and the
// powers choosing it would unlock. Returns its id (0 for an empty list).
int16_t draw_advancement_screen(int cursor, int count, const std::string& title);
