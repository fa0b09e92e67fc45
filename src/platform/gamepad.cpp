#include "platform/gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "platform/media.h"
#include "platform/media_state.h"

namespace {

GamepadMapping g_mapping = default_gamepad_mapping();
GamepadKeys g_keys;
std::map<SDL_JoystickID, SDL_GameController*> g_pads;
bool g_subsystem = false;

void report_changes() {
    for (const auto& [code, down] : g_keys.changes()) {
        if (down) input_key_down(code);
        else input_key_up(code);
    }
}

bool control_of(Uint8 button, PadControl& control) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: control = PadControl::a; return true;
    case SDL_CONTROLLER_BUTTON_B: control = PadControl::b; return true;
    case SDL_CONTROLLER_BUTTON_X: control = PadControl::x; return true;
    case SDL_CONTROLLER_BUTTON_Y: control = PadControl::y; return true;
    case SDL_CONTROLLER_BUTTON_BACK: control = PadControl::back; return true;
    case SDL_CONTROLLER_BUTTON_GUIDE: control = PadControl::guide; return true;
    case SDL_CONTROLLER_BUTTON_START: control = PadControl::start; return true;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: control = PadControl::left_stick; return true;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: control = PadControl::right_stick; return true;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: control = PadControl::left_shoulder; return true;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: control = PadControl::right_shoulder; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: control = PadControl::dpad_up; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: control = PadControl::dpad_down; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: control = PadControl::dpad_left; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: control = PadControl::dpad_right; return true;
    default: return false;
    }
}

void close_pad(SDL_JoystickID id) {
    auto pad = g_pads.find(id);
    if (pad == g_pads.end()) return;
    SDL_GameControllerClose(pad->second);
    g_pads.erase(pad);
    g_keys.pad_removed(id);
    report_changes();
}

}  // namespace

GamepadMapping default_gamepad_mapping() {
    GamepadMapping m;
    m[PadControl::dpad_up] = m[PadControl::stick_up] = key::up;
    m[PadControl::dpad_down] = m[PadControl::stick_down] = key::down;
    m[PadControl::dpad_left] = m[PadControl::stick_left] = key::left;
    m[PadControl::dpad_right] = m[PadControl::stick_right] = key::right;
    m[PadControl::a] = key::ret;
    m[PadControl::b] = key::escape;
    m[PadControl::left_shoulder] = key::i;
    m[PadControl::right_shoulder] = key::u;
    m[PadControl::start] = key::escape;
    return m;
}

void set_gamepad_mapping(const GamepadMapping& mapping) {
    g_mapping = mapping;
    g_mapping.dead_zone = std::clamp(mapping.dead_zone, 0, 32000);
}

const GamepadMapping& gamepad_mapping() { return g_mapping; }

void GamepadKeys::control(int pad, PadControl control, bool down) {
    if (control == PadControl::count) return;
    held_[pad][static_cast<size_t>(control)] = down;
}

void GamepadKeys::stick(int pad, int x, int y) {
    std::array<bool, kPadControls>& held = held_[pad];
    for (PadControl c : {PadControl::stick_up, PadControl::stick_down, PadControl::stick_left, PadControl::stick_right})
        held[static_cast<size_t>(c)] = false;
    const int dead = g_mapping.dead_zone;
    if (std::abs(x) >= std::abs(y) && std::abs(x) > dead)
        held[static_cast<size_t>(x < 0 ? PadControl::stick_left : PadControl::stick_right)] = true;
    else if (std::abs(y) > dead)
        held[static_cast<size_t>(y < 0 ? PadControl::stick_up : PadControl::stick_down)] = true;
}

void GamepadKeys::pad_removed(int pad) { held_.erase(pad); }

std::vector<std::pair<int, bool>> GamepadKeys::changes() {
    std::array<bool, 256> now{};
    for (const auto& [pad, held] : held_)
        for (int c = 0; c < kPadControls; ++c) {
            const int code = g_mapping.keys[static_cast<size_t>(c)];
            if (held[static_cast<size_t>(c)] && code > 0 && code < 256) now[static_cast<size_t>(code)] = true;
        }
    std::vector<std::pair<int, bool>> changed;
    // Let go first: a direction turned from right to down is never both at once.
    for (int code = 1; code < 256; ++code)
        if (keys_down_[static_cast<size_t>(code)] && !now[static_cast<size_t>(code)]) changed.push_back({code, false});
    for (int code = 1; code < 256; ++code)
        if (!keys_down_[static_cast<size_t>(code)] && now[static_cast<size_t>(code)]) changed.push_back({code, true});
    keys_down_ = now;
    return changed;
}

void gamepad_init() {
    if (g_subsystem) return;
    // The pads plugged in already come as "added" events, as later ones do.
    g_subsystem = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void gamepad_close() {
    while (!g_pads.empty()) close_pad(g_pads.begin()->first);
    g_keys = GamepadKeys{};
    if (g_subsystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_subsystem = false;
}

bool gamepad_event(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
        SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which);
        if (!pad) return true;
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
        if (g_pads.count(id)) SDL_GameControllerClose(pad);  // opened already
        else g_pads[id] = pad;
        return true;
    }
    case SDL_CONTROLLERDEVICEREMOVED:
        close_pad(event.cdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        PadControl control;
        if (g_pads.count(event.cbutton.which) && control_of(event.cbutton.button, control)) {
            g_keys.control(event.cbutton.which, control, event.type == SDL_CONTROLLERBUTTONDOWN);
            report_changes();
        }
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        const SDL_JoystickID id = event.caxis.which;
        auto pad = g_pads.find(id);
        if (pad == g_pads.end()) return true;
        if (event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX && event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY) return true;
        g_keys.stick(id, SDL_GameControllerGetAxis(pad->second, SDL_CONTROLLER_AXIS_LEFTX),
                     SDL_GameControllerGetAxis(pad->second, SDL_CONTROLLER_AXIS_LEFTY));
        report_changes();
        return true;
    }
    case SDL_CONTROLLERDEVICEREMAPPED:
        return true;
    default:
        return false;
    }
}

int gamepads_open() { return static_cast<int>(g_pads.size()); }
