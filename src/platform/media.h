// The 2D media service layer: program, window and screen, frame, sprites,
// images, 2D drawing with fonts, keyboard, mouse, sound and time. The game
// reaches the machine only through these procedures. Two backends implement
// the machine side: the desktop backend (SDL2 window, keyboard, mouse, audio)
// and the headless backend (no window, scripted input, virtual clock,
// recorded sounds and message boxes). All drawing is software on 32-bit
// surfaces in both.
//
// Colours are RGB(r, g, b) = r + 256 g + 65536 b.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Colour = uint32_t;
constexpr Colour RGB(int r, int g, int b) {
    return static_cast<Colour>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}
constexpr Colour WHITE = RGB(255, 255, 255);
constexpr Colour BLACK = RGB(0, 0, 0);

enum class BackendKind { desktop, headless };

// ---- Program ----
bool media_init(BackendKind kind);  // every service once at start
void media_close();                 // all of them at the end
BackendKind media_backend();
void message_box(const std::string& caption, const std::string& text);
// Called once when the display is lost (the X connection broke) just before
// the program ends: the game saves there as at its end, without a picture.
void set_display_lost_hook(void (*hook)());

// ---- Window and screen ----
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
// Window 0: centred, resizable, with the title; its client area 640 x 480
// enlarged by the window scale.
bool open_window(const std::string& title);
// The factor of the window that opens next: 0 (the start) is the largest
// whole factor that fits 85 % of the desktop.
void set_window_scale(int factor);
// The same, and an open window (not the full screen) takes that size at once.
void apply_window_scale(int factor);
// A 640 x 480 screen inside window 0 that stretches with it.
bool open_window_screen();
// The desktop's full screen showing the same 640 x 480 picture, scaled.
bool open_full_screen(const std::string& title);
void close_screen();
void close_window();
// The title of the open window (or of the full screen's window); nothing without one.
void set_window_title(const std::string& title);
bool screen_is_open();
bool screen_is_fullscreen();
enum class WindowEvent { none, close_request, left_button_down, right_button_down };
// The next window event without waiting.
WindowEvent take_window_event();
// Mouse position in the 640 x 480 picture's pixels.
void window_mouse_position(int& x, int& y);
// The pointer as it is, and true while it is over the window (it moved there
// and has not left it since); false otherwise. For pictures only: unlike
// window_mouse_position it is neither recorded nor replayed.
bool window_mouse_over(int& x, int& y);

// ---- Frame ----
void clear_screen(Colour colour);
// Begins a picture that is drawn over entirely: only the box is cleared with
// the colour; the rest of the back buffer holds an older picture until it is
// drawn over.
void start_picture(int x, int y, int width, int height, Colour colour);
// Show the back buffer. Paced at the display refresh on the desktop (about
// 60 per second); advances the virtual clock by one frame (16 ms) headless.
void flip();
// Off: nothing is drawn on the screen any more (texts still measure, sprites
// still load and take drawing). A replay that checks a recorded game runs so,
// many times faster: what the game decides never depends on its pixels.
void set_screen_drawing(bool on);
// Wait until an input event arrives or max_ms pass (used by passes that have
// nothing to draw, so an idle game does not burn a core).
void wait_for_event(int max_ms);
// How long a pass with nothing to draw waits for input before it looks again.
constexpr int IDLE_WAIT_MS = 5;

// ---- Sprites ----
// Numbers 0..22 are the game's fixed sprites; sprite_load_any chooses a free
// number itself (tileset images) and decodes a file only once while its bytes
// stay the same. Loading fails with false / 0.
constexpr int SCREEN_TARGET = -1;
bool sprite_load(int number, const std::string& logical_path);  // PNG or JPEG
int sprite_load_any(const std::string& logical_path);           // 0 on failure
// Starts decoding a picture beside the game's thread; the next sprite_load of
// that file takes the result (a failed one is decoded again there).
void sprite_prefetch(const std::string& logical_path);
// sprite_load for a picture not wanted before the first frame: a PNG is only
// checked whole now (png_file_whole) and decoded beside the game's thread once
// the first picture is shown, or where the sprite is first drawn, measured or
// asked for. Any other file, and one the check does not take, loads at once
// (sprite_load's verdict). False as sprite_load; a PNG broken behind whole
// chunks (only a made one is) leaves the sprite missing.
bool sprite_load_later(int number, const std::string& logical_path);
bool sprite_create(int number, int width, int height);          // black
void sprite_free(int number);
bool sprite_exists(int number);
int sprite_width(int number);
int sprite_height(int number);
// Source rectangle used by every later display of this sprite until clipped again.
void sprite_clip(int number, int x, int y, int width, int height);
void sprite_display_opaque(int number, int x, int y);
// Pure black (RGB 0,0,0) pixels are not drawn.
void sprite_display_transparent(int number, int x, int y);
// Blend with intensity 0..255: result = (src * i + dst * (255 - i)) / 255.
// Pure black stays out here too (the darkening sprites are RGB(1,1,1)).
// Every display goes onto the back buffer, or onto the sprite chosen by
// set_display_target (pictures bigger than the screen; SCREEN_TARGET again
// for the back buffer).
void sprite_display_translucent(int number, int x, int y, int intensity);
// Grab a rectangle of the shown screen (the last flipped picture) into a sprite.
bool sprite_grab(int number, int x, int y, int width, int height);
bool sprite_save_jpeg(int number, const std::string& logical_path);
void set_display_target(int target);
bool sprite_save_png(int number, const std::string& logical_path);
// Pixel access (tests, generators, where the light overlays leave the view open): 0x00BBGGRR like Colour.
Colour sprite_pixel(int number, int x, int y);
Colour screen_pixel(int x, int y);        // back buffer
Colour shown_screen_pixel(int x, int y);  // last flipped picture

// ---- Images (to measure files) ----
int image_load(const std::string& logical_path);  // handle, 0 on failure
int image_width(int handle);
int image_height(int handle);
void image_free(int handle);
// Width and height of a PNG file from its header alone; false when it is no PNG.
bool image_dimensions(const std::string& logical_path, int& width, int& height);
// No picture wider or higher than side is loaded from now on (for a check of
// files that may be hostile); 0 for the media layer's own bound again.
void limit_picture_side(int side);

// ---- 2D drawing (on the screen or on a sprite, between start and stop) ----
void draw_start(int target = SCREEN_TARGET);  // SCREEN_TARGET or a sprite number
void draw_stop();
// Text background: transparent, or opaque in a colour (black by default).
// The background mode and the selected font stay until changed; font 0 or a
// font that is not loaded draws with a default face.
void draw_text_transparent();
void draw_text_background(Colour colour);
void draw_select_font(int font);
int draw_current_font();
void draw_text(int x, int y, const std::string& text, Colour colour);
void draw_box(int x, int y, int width, int height, Colour colour);
void draw_line(int x1, int y1, int x2, int y2, Colour colour);
int text_width(const std::string& text);
int text_height(const std::string& text);
// The locked pixel-access mode used around the map view's lighting.
void lock_pixels();
void unlock_pixels();
bool pixels_locked();

// ---- Fonts ----
bool font_load(int number, const std::string& face, int point_size, bool high_quality, bool bold);
// Starts finding the files of these faces (face, bold) beside the game's
// thread; font_load takes the answers.
void fonts_prefetch(const std::vector<std::pair<std::string, bool>>& faces);

// ---- Keyboard (DirectInput scan codes) ----
namespace key {
constexpr int escape = 1, e = 18, t = 20, u = 22, i = 23, p = 25, ret = 28, x = 45, c = 46, left_alt = 56, space = 57,
              up = 200, left = 203, right = 205, down = 208, any = -1;
// The keys of the help, the history, the map and resting. "?" lies on the
// slash key of a US keyboard and on the sharp s key (the US minus) of a German one.
constexpr int minus = 12, r = 19, l = 38, m = 50, slash = 53, f1 = 59, home = 199, page_up = 201, end = 207,
              page_down = 209;
// The picks left for later (A) and the hall of fame in the menu (H).
constexpr int a = 30, h = 35;
}
bool keyboard_init();
void keyboard_poll();
// Held: down in the last snapshot (a tap between two snapshots counts as held
// in the next one; keys down together at some moment between two snapshots
// are held together in the next one). Pressed: went down since the snapshot
// before (a key held on counts in one snapshot only, also through a switch of
// the screen mode). Released: true once, in the first snapshot after the key
// went up. Code -1 tests any key.
bool key_held(int code);
bool key_pressed(int code);
bool key_released(int code);

// ---- Mouse (full screen) ----
bool mouse_init();
void mouse_poll();
int mouse_x();
int mouse_y();
bool mouse_left_held();

// ---- Sound ----
void sound_init();
int sound_load(const std::string& logical_path);  // 0 on failure
void sound_set_volume(int sound, int volume);     // 0..100; 50 is half amplitude
void sound_play(int sound);                       // mixes, does not wait
// The volume of every sound played from now on, 0..100 (100 as loaded; 0 is silence).
void sound_set_master_volume(int volume);
int sound_master_volume();

// ---- Time ----
void wait_ms(int milliseconds);
uint32_t tick_ms();
