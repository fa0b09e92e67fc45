// Physical keys to the game's DirectInput scan codes.
#include <SDL_scancode.h>

#include <map>

#include "platform/keymap.h"
#include "platform/media.h"
#include "support/test_game.h"

TEST(Keymap, GameKeysAndTheWholeMainBlock) {
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_ESCAPE), key::escape);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_E), key::e);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_T), key::t);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_U), key::u);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_I), key::i);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_P), key::p);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_RETURN), key::ret);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_X), key::x);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_C), key::c);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_LALT), key::left_alt);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_UP), key::up);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_LEFT), key::left);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_RIGHT), key::right);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_DOWN), key::down);

    // The rows of the main block run in order on the PC keyboard.
    const SDL_Scancode top[] = {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R, SDL_SCANCODE_T,
                                SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I, SDL_SCANCODE_O, SDL_SCANCODE_P};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(scan_code_from_sdl(top[i]), 0x10 + i);
    const SDL_Scancode home[] = {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D, SDL_SCANCODE_F, SDL_SCANCODE_G,
                                 SDL_SCANCODE_H, SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(scan_code_from_sdl(home[i]), 0x1E + i);
    const SDL_Scancode bottom[] = {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_V,
                                   SDL_SCANCODE_B, SDL_SCANCODE_N, SDL_SCANCODE_M};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(scan_code_from_sdl(bottom[i]), 0x2C + i);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_1), 0x02);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_0), 0x0B);
    for (int f = 0; f < 10; ++f) EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_F1 + f), 0x3B + f);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_F11), 0x57);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_F12), 0x58);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_SPACE), 0x39);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_LCTRL), 0x1D);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_LSHIFT), 0x2A);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_RSHIFT), 0x36);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_RALT), 0xB8);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_KP_ENTER), 0x9C);

    // Distinct keys give distinct codes (apart from the two pairs that are one
    // key on different keyboards), and unknown or impossible codes give 0.
    std::map<int, int> seen;
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        int code = scan_code_from_sdl(s);
        if (code == 0) continue;
        EXPECT_LT(code, 256);
        if (s == SDL_SCANCODE_NONUSHASH || s == SDL_SCANCODE_SYSREQ) continue;
        EXPECT_TRUE(seen.emplace(code, s).second) << "scancode " << s << " repeats code " << code;
    }
    EXPECT_GT(seen.size(), 100u);
    EXPECT_EQ(scan_code_from_sdl(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(scan_code_from_sdl(-1), 0);
    EXPECT_EQ(scan_code_from_sdl(SDL_NUM_SCANCODES), 0);
}
