// The game's pictures: the game picture, the cells of the sprite sheets,
// animations, wrapped text and menus. The presentation draws from the state
// of every subsystem and so stands above them all; the rules never call it
// (they tell events, common/events.h, which the event player plays with these).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/view_cells.h"
#include "platform/media.h"

struct GameMap;

// Screen geometry of the game picture.
constexpr int CELL = 32;                        // pixels of a field
constexpr int VIEW_PIXELS = VIEW_CELLS * CELL;  // 416

// Fonts of the game (loaded with the sprites).
constexpr int FONT_PANEL = 1;    // small panel texts
constexpr int FONT_DEFAULT = 3;  // message lines and numbers over the view
constexpr int FONT_TITLE = 4;    // the panel's title line, the dialog screens' texts
constexpr int FONT_BOLD = 5;     // names in the advancement list

// ---- The game picture ----

// The one composition of the game picture: clear the screen, the map view
// (scrolled by the offsets, darkened by fade 0..255), the frame bars, the
// status panel and the character figure lifted or lowered by
// character_shift. Nothing is flipped: blows and animations draw over it.
void draw_game_picture(GameMap& map, int offset_x, int offset_y, int fade, int character_shift);
// draw_game_picture, then flip.
void redraw_screen(GameMap& map, int offset_x, int offset_y, int fade, int character_shift);
// What the screens of the right panel (inventory, pick-up, powers) draw
// behind them: the map view with the character and the frame, the right
// panel emptied below its title line (no piece of the panel's own rulings
// is left beside their grids), and the title in the title font.
void draw_panel_screen_behind(const std::string& title);
// The map view and the message lines of the bottom band; leaves the right panel black.
void draw_map_view(GameMap& map, int offset_x, int offset_y, int fade);
// The bars between the map view, the right panel and the bottom band.
void draw_frame();
// The right panel: title, location, abilities, running power adjustments, activated abilities.
void draw_status_panel();
// The character's figure for its facing and walking frame, shifted vertically
// by the given pixels. A facing outside 0..3 or a frame other than 0 and 1 is fatal.
void draw_character(int vertical_shift);
// The map view brightening from dark (52 frames) and darkening (51 frames).
void fade_in(GameMap& map);
void fade_out(GameMap& map);

// ---- The whole map as one picture (for the people who make maps) ----
constexpr int MAP_PICTURE_PIXELS = 50 * CELL;
// Makes the sprite a picture of the whole current map: every field fully lit
// (a hidden field shows the tile it hides), the items lying on it (in
// containers too) and its monsters, and signs: a cyan frame on a portal, a
// yellow frame with an arrow on a level exit, small squares in the corners of a
// field with a message (white, top left), an event (magenta, top right) and of
// a hidden field (orange, bottom left).
void draw_map_picture(GameMap& map, int picture);

// ---- The mouse pointer over the map view: a picture only, no rule reads it ----
// Where the pointer is (screen pixels) while over_window; the band then names
// the monster, item or field of the map view under it.
void set_map_pointer(bool over_window, int x, int y);
// True when the band would name something else under the pointer than the
// last picture did (the main loop then draws the picture anew).
bool map_pointer_text_changed();

// ---- Animations over the game picture (cells of the 13 x 13 view, the character at 6, 6) ----

// Plays the animation of that name at view cell (x, y); value is the number
// the icon animations show. An empty name plays nothing; an unknown name is fatal.
void animation(const std::string& name, int x, int y, int value);
// True for a name animation plays (the empty name included: it plays nothing).
bool animation_known(const std::string& name);
// count sparkles of a colour (0..7: blue, red, purple, green, yellow, aqua,
// grey, skull) twinkling in a cell for 50 frames; mixed 1: random colours.
void sparkles(int colour, int x, int y, int count, int mixed, int second_colour);
// A ring of sparkles turning around a cell, 41 frames.
void ring(int colour, int x, int y);
// A missile flying from cell (x1, y1) to cell (x2, y2).
void missile(int number, int x1, int y1, int x2, int y2);
// An effect icon with a number on a cell, shown for half a second.
void icon_with_number(int icon, int x, int y, int number);
// An effect icon over every cell of the view, shown for half a second.
void flood(int icon);

// Pieces of the shown blows and effects, drawn over the game picture (not flipped).
// Cell icon of the effects sheet, see-through, with its top-left corner at (left, top).
void draw_fx_icon(int icon, int left, int top);
// A number in white digits of the default font, centred on the 32 x 32 cell at (left, top).
void draw_number_on_cell(int left, int top, int number);

// ---- Cells of the sprite sheets ----
// Each clips its sheet to one 32 x 32 cell, numbered row by row, so that the
// next display of that sheet shows it, and returns the sprite number to display.
int clip_ability_icon(int cell);
int clip_fx_icon(int cell);
int clip_item_icon(int cell);
int clip_missile(int cell);
int clip_monster_type(int type_id);  // the type's tile
int clip_monster_icon(int cell);
int clip_power_icon(int cell);
int clip_tile(int tile);  // the current map's tileset sheet
// The frame sheet is one row of 16 x 16 pieces; piece k lies at (16 k, 0).
constexpr int FRAME_PIECE = 16;
int clip_frame_piece(int piece);
// Only the rows first_row .. first_row + rows - 1 of an item icon (a cell
// pushed partly out of a grid that slides).
int clip_item_icon_rows(int cell, int first_row, int rows);
// The selection cursor (sprite 11) over the cell at x, y, pulsing from faint
// to full and back (phases 0 -> 4 -> 0) as the clock runs.
void draw_blinking_cursor(int x, int y);

// ---- Key hints ----
constexpr Colour KEY_HINT_COLOUR = RGB(170, 170, 170);
// The keys of a screen in one line at the foot of the bottom band, where the
// status message would stand: drawn only while no message shows, so a message
// is never covered.
void draw_key_hint(const std::string& hint);

// ---- Text ----
// Text at x, y in the colour on black (drawing must have been started).
void draw_text_on_black(int x, int y, const std::string& text, Colour colour);
// Text at x, y in the colour over whatever lies there, ringed by a one-pixel
// outline in the outline colour so that it reads over any picture; leaves
// the text background transparent (drawing must have been started).
void draw_outlined_text(int x, int y, const std::string& text, Colour colour, Colour outline);
// The step from one line of text to the next in the selected font: the
// written line height, or the height the font's letters reach where the
// written one is smaller (every line is drawn on a black box as tall as its
// letters, which would cut the bottoms of g, p, y off the line above).
int text_line_step(int line_height);
// Draws text at x, y broken at spaces into lines no wider than width where
// possible, in the colour on black (drawing must have been started), one
// text_line_step(line_height) apart; returns the number of lines drawn.
int draw_wrapped_text(int x, int y, const std::string& text, int width, int line_height, Colour colour);
// The lines draw_wrapped_text draws for the text and width (current font).
std::vector<std::string> wrap_text_lines(const std::string& text, int width);

// ---- Menus: a vertical list of choices ----
constexpr int MENU_SLOTS = 30;

struct Menu {
    int16_t x = 0, y = 0;                        // top-left corner of the first entry
    int16_t entry_width = 0, entry_height = 0;   // measured
    int16_t inset = 2;                           // space around the text inside an entry
    int16_t gap = 4;                             // space added between entries
    uint8_t selected = 0;                        // index of the selected entry
    int16_t count = 0;                           // number of non-empty entries (measured)
    Colour colour = RGB(255, 255, 255);          // text and box colour
    uint8_t mouse_tracking = 0;                  // 1: the entry under the mouse becomes selected
    int16_t mouse_x = 0, mouse_y = 0;            // set by the caller before drawing
    int16_t hovered = -1;                        // result of drawing
    std::array<std::string, MENU_SLOTS> entries;  // entry texts
    uint8_t visible = 1;                         // 0: draw nothing
    uint8_t background_margin = 0;               // above 0: background box behind the list
    uint8_t entry_outline = 1;                   // above 0: every entry as an outlined box
    int16_t font = 0;                            // 0: keep the current font
    uint8_t bevel = 0;                           // 1: raised bevel around the selected entry
    Colour light_colour = 0, dark_colour = 0;    // bevel colours
};

// Every setting back to its reset value and every entry empty.
void menu_reset(Menu& menu);
// Puts the text into the first empty slot and returns its index; with all 30
// slots used nothing is stored and 0 is returned.
int menu_add(Menu& menu, const std::string& text);
// Grows the entry size to the widest and tallest text and counts the entries.
// With start_drawing 1 the procedure starts and stops drawing itself.
void menu_measure(Menu& menu, int start_drawing);
// Draws the entries; with mouse tracking the entry under the mouse becomes the
// selected and hovered one.
void menu_draw(Menu& menu, int start_drawing);
// Room the panel of menu_draw_on_panel takes on each side of the entries.
constexpr int MENU_PANEL_BORDER = 7;
// Height of the measured entries from the top of the first to the bottom of the last.
int menu_list_height(const Menu& menu);
// menu_draw on a panel of its own: a dark background and a gilded frame
// around the whole list, for a menu that opens over other pictures.
void menu_draw_on_panel(Menu& menu, int start_drawing);
