// Physical keys (SDL scancodes, which follow the USB HID usage numbers) to
// the DirectInput scan codes the game speaks. 0 for keys the game's keyboard
// does not know.
#pragma once

int scan_code_from_sdl(int sdl_scancode);
