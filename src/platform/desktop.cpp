// The desktop backend: an SDL2 window (or the desktop's full screen) showing
// the 640 x 480 picture scaled with black bars, SDL keyboard and mouse, and
// an SDL audio device fed by our own mixer.
#include <SDL.h>
#include <dlfcn.h>
#include <csignal>
#include <png.h>
#include <signal.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/gamepad.h"
#include "platform/keymap.h"
#include "platform/media_state.h"
#include "platform/scaler.h"
#include "platform/sound_mixer.h"

namespace {

// The window's icon: the adventurer of the desktop icons (graphics/icon.png of
// the game folder), see-through where it is. A game without the file keeps the
// window system's own icon.
void set_window_icon(SDL_Window* window) {
    const std::string file = host_path("graphics\\icon.png");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return;
    if (image.width == 0 || image.height == 0 || image.width > 256 || image.height > 256) {
        png_image_free(&image);
        return;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return;
    }
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace

namespace {

// Standard error is the game's channel for its fatal errors alone. The
// libraries behind SDL (ALSA without a sound card, Wayland without a session,
// graphics drivers) print their own chatter there while SDL probes them; it is
// kept out while a device is opened.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_ = -1;
};

// A graphics processor with a driver this user may use: a DRM render node it
// can open. (LIBGL_ALWAYS_SOFTWARE asks Mesa for its software rasteriser.)
bool graphics_driver_present() {
    const char* software = SDL_getenv("LIBGL_ALWAYS_SOFTWARE");
    if (software && *software && std::string(software) != "0") return false;
    for (int node = 128; node < 192; ++node) {
        const std::string path = "/dev/dri/renderD" + std::to_string(node);
        const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            close(fd);
            return true;
        }
    }
    return false;
}

// A renderer that draws with the processor after all: SDL's own software
// renderer, or OpenGL on a software rasteriser (Mesa's llvmpipe, softpipe, swrast).
bool renders_in_software(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE)) return true;
    if (std::string(info.name).rfind("opengl", 0) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = get_string ? get_string(0x1F01 /* GL_RENDERER */) : nullptr;
    if (!name) return false;
    std::string text(reinterpret_cast<const char*>(name));
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* rasteriser : {"llvmpipe", "softpipe", "swrast", "software"})
        if (text.find(rasteriser) != std::string::npos) return true;
    return false;
}

// When the X server goes away (the session ends, the server dies), Xlib
// ends the program from inside the call that found out: its handler prints
// the loss and calls exit(). The window must then not be destroyed on the
// way out: SDL would wait on the dead connection for the window's unmapping,
// and the game would spin for ever instead of ending. So the loss is noted
// first; Xlib's own handler still says it and ends the program (status 1),
// and every other exit handler (the recording's last block) still runs.
using XIoErrorHandler = int (*)(void* display);
using XSetIoErrorHandler = XIoErrorHandler (*)(XIoErrorHandler handler);
bool g_display_lost = false;
XIoErrorHandler g_xlib_io_error_handler = nullptr;
void (*g_display_lost_hook)() = nullptr;

int note_display_lost(void* display) {
    g_display_lost = true;
    // The game saves first (it draws nothing more); the hook runs once.
    if (auto hook = g_display_lost_hook) {
        g_display_lost_hook = nullptr;
        const int cause = errno;  // Xlib's handler tells the loss by it
        hook();
        errno = cause;
    }
    if (g_xlib_io_error_handler) g_xlib_io_error_handler(display);
    std::exit(1);  // Xlib's handler does not return; should one ever, the program ends all the same
}

// SDL loads libX11 itself when its video driver is x11: the handler is set
// through that very library, so the game links no X library of its own.
void watch_for_lost_display() {
    static bool watching = false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (watching || !driver || std::string(driver) != "x11") return;
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!xlib) return;
    if (auto set = reinterpret_cast<XSetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"))) {
        g_xlib_io_error_handler = set(note_display_lost);
        watching = true;
    }
    dlclose(xlib);  // SDL keeps the library loaded
}

// A closed terminal (SIGHUP) and the quit key of one (SIGQUIT) end the game as
// SIGTERM and SIGINT do (SDL makes those a close request): the game saves and
// ends. The handler only notes it; the next look at the events asks to close.
volatile sig_atomic_t g_end_asked = 0;

void note_end_asked(int) { g_end_asked = 1; }

void watch_for_end_signals() {
    struct sigaction action {};
    action.sa_handler = note_end_asked;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal_number : {SIGHUP, SIGQUIT}) {
        struct sigaction before {};
        // One the player chose to ignore (nohup) stays ignored.
        if (sigaction(signal_number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(signal_number, &action, nullptr);
    }
}

constexpr double FRAME_MS = 1000.0 / 60.0;
// A key held through a screen switch is confirmed by the keyboard's repeat,
// which starts about half a second after the new window got the focus.
constexpr Uint32 CARRIED_KEYS_AFTER_FOCUS_MS = 800;
constexpr Uint32 CARRIED_KEYS_WITHOUT_FOCUS_MS = 2000;

class DesktopMachine : public Machine {
public:
    DesktopMachine() {
        events_ = SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
        // No display is no error here: opening the window reports it.
        {
            QuietStandardError quiet;
            video_ = events_ && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        }
        // Without any display SDL falls back to drivers that show nothing; a
        // game nobody can see or steer counts as having no display, unless
        // such a driver was asked for by name.
        if (video_ && !SDL_getenv("SDL_VIDEODRIVER")) {
            std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
            if (driver == "offscreen" || driver == "dummy") {
                SDL_QuitSubSystem(SDL_INIT_VIDEO);
                video_ = false;
            }
        }
        if (video_) watch_for_lost_display();
        if (events_) {
            watch_for_end_signals();
            QuietStandardError quiet;
            gamepad_init();
        }
    }
    ~DesktopMachine() override {
        sound_close();
        if (g_display_lost) return;  // nothing more can be said to the X server
        destroy_screen();
        destroy_window();
        gamepad_close();
        if (events_) SDL_Quit();
    }

    BackendKind kind() const override { return BackendKind::desktop; }

    bool open_window(const std::string& title) override {
        title_ = title;
        if (!video_) return false;
        if (window_ && fullscreen_) {
            destroy_screen();
            destroy_window();
        }
        if (window_) {
            SDL_SetWindowTitle(window_, title.c_str());
            return true;
        }
        QuietStandardError quiet;
        const WindowSize size = window_size();
        window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width,
                                   size.height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
        fullscreen_ = false;
        if (window_) set_window_icon(window_);
        return window_ != nullptr;
    }

    bool open_window_screen() override {
        if (!window_ && !open_window(title_)) return false;
        if (renderer_) return true;
        SDL_ShowCursor(SDL_ENABLE);
        return create_screen();
    }

    bool open_full_screen(const std::string& title) override {
        title_ = title;
        if (!video_) return false;
        destroy_screen();
        destroy_window();
        // The window is made as large as the desktop, so the picture covers it
        // also where no window manager carries out the full-screen request.
        SDL_Rect desktop{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
        if (SDL_GetDisplayBounds(0, &desktop) != 0) desktop = SDL_Rect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
        QuietStandardError quiet;
        window_ = SDL_CreateWindow(title.c_str(), desktop.x, desktop.y, desktop.w, desktop.h,
                                   SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
        if (!window_) return false;
        set_window_icon(window_);
        fullscreen_ = true;
        if (!create_screen()) {
            destroy_window();
            return false;
        }
        // The game draws its own mouse pointer on the full screen.
        SDL_ShowCursor(SDL_DISABLE);
        return true;
    }

    void close_screen() override {
        destroy_screen();
        // The full screen is a window of its own: it goes with its screen.
        if (fullscreen_) destroy_window();
        SDL_ShowCursor(SDL_ENABLE);
    }

    void close_window() override {
        destroy_screen();
        destroy_window();
    }

    void set_title(const std::string& title) override {
        if (window_) SDL_SetWindowTitle(window_, title.c_str());
    }

    bool screen_is_open() const override { return renderer_ != nullptr || software_; }
    bool screen_is_fullscreen() const override { return screen_is_open() && fullscreen_; }

    void present(const Surface& frame) override {
        pump_events();  // keeps the window answering while the game animates
        if (renderer_ && texture_) {
            SDL_UpdateTexture(texture_, nullptr, frame.pixels.data(), frame.width * 4);
            show_texture();
            pace_frame();  // the present has waited for the display already
        } else if (software_) {
            // The picture is made ready first and sent when its time has come,
            // so that the work on it does not make it late.
            show_on_framebuffer(&frame, true);
        } else {
            pace_frame();
        }
    }

    // Shows the last presented picture again (also after the window was
    // uncovered or resized, when the game itself has nothing new to draw).
    void show_texture() {
        if (software_) {
            show_on_framebuffer(nullptr, false);
            return;
        }
        if (!renderer_ || !texture_) return;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    // The software path: the frame (or, without one, the last frame again)
    // scaled into the window's own pixels, and only what changed sent to the
    // display (after the pause of the frame when paced).
    void show_on_framebuffer(const Surface* frame, bool paced) {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        if (!surface) {
            if (paced) pace_frame();
            return;
        }
        const Uint32 format = surface->format->format;
        const bool ours = format == SDL_PIXELFORMAT_XBGR8888 || format == SDL_PIXELFORMAT_ABGR8888;
        const bool swapped = format == SDL_PIXELFORMAT_XRGB8888 || format == SDL_PIXELFORMAT_ARGB8888;
        if (!ours && !swapped) {
            if (paced) pace_frame();
            show_converted(surface, frame);
            return;
        }
        if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
        const FramebufferTarget target{static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                                       surface->pitch / 4, swapped};
        const PictureRect changed = frame ? scaler_.draw(*frame, target) : scaler_.redraw(target);
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        if (paced) pace_frame();
        if (changed.empty()) return;
        const SDL_Rect rect{changed.x, changed.y, changed.width, changed.height};
        SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
    }

    // A framebuffer of another pixel format (16-bit displays): SDL converts and scales.
    void show_converted(SDL_Surface* surface, const Surface* frame) {
        if (frame) last_frame_ = *frame;
        if (last_frame_.empty()) return;
        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
            last_frame_.pixels.data(), last_frame_.width, last_frame_.height, 32, last_frame_.width * 4,
            SDL_PIXELFORMAT_XBGR8888);
        if (!picture) return;
        const PictureRect place = fit_picture(surface->w, surface->h, last_frame_.width, last_frame_.height);
        SDL_Rect rect{place.x, place.y, place.width, place.height};
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        SDL_BlitScaled(picture, nullptr, surface, &rect);
        SDL_FreeSurface(picture);
        SDL_UpdateWindowSurface(window_);
    }

    // Mouse positions arrive in window pixels on the software path (a
    // renderer gives them in picture pixels itself).
    void mouse_moved(int x, int y) {
        if (software_) scaler_.to_picture(x, y);
        input_mouse_move(x, y);
    }

    void pump_events() override {
        if (!events_) return;
        if (g_end_asked) {
            g_end_asked = 0;
            input_window_event(WindowEvent::close_request);
        }
        SDL_Event event;
        while (SDL_PollEvent(&event)) handle(event);
        settle_carried_keys();
    }

    void wait_for_event(int max_ms) override {
        if (!events_) {
            wait_ms(max_ms);
            return;
        }
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, max_ms)) handle(event);
        pump_events();
    }

    void message_box(const std::string& caption, const std::string& text) override {
        if (!video_) return;
        Uint32 icon = caption == "Error" ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        SDL_ShowSimpleMessageBox(icon, caption.c_str(), text.c_str(), window_);
    }

    void wait_ms(int milliseconds) override {
        if (milliseconds > 0) SDL_Delay(static_cast<Uint32>(milliseconds));
    }

    uint32_t tick_ms() override { return SDL_GetTicks(); }

    void sound_init() override {
        QuietStandardError quiet;
        if (audio_device_ || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        audio_subsystem_ = true;
        SDL_AudioSpec want{}, have{};
        want.freq = MIX_RATE;
        want.format = AUDIO_S16SYS;
        want.channels = MIX_CHANNELS;
        want.samples = 1024;
        want.callback = &DesktopMachine::audio_callback;
        want.userdata = this;
        // SDL converts from our format to whatever the device wants.
        audio_device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (audio_device_) SDL_PauseAudioDevice(audio_device_, 0);
    }

    void sound_close() override {
        if (audio_device_) SDL_CloseAudioDevice(audio_device_);
        audio_device_ = 0;
        mixer_.clear();
        if (audio_subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audio_subsystem_ = false;
    }

    void sound_play(int sound) override {
        if (!audio_device_) return;  // no device: silence
        const SoundData& data = g_media.sounds.at(sound);
        // Taken (decoded, when it must be) before the device waits for the mixer.
        auto samples = data.samples();
        SDL_LockAudioDevice(audio_device_);
        mixer_.play(std::move(samples), data.volume);
        SDL_UnlockAudioDevice(audio_device_);
    }

private:
    static void audio_callback(void* self, Uint8* stream, int length) {
        auto* machine = static_cast<DesktopMachine*>(self);
        machine->mixer_.mix(reinterpret_cast<int16_t*>(stream),
                            length / static_cast<int>(sizeof(int16_t) * MIX_CHANNELS));
    }

    // The picture is drawn in software already; what is left is scaling it
    // to the window and showing it. A real graphics driver does that for
    // nothing (an accelerated renderer, presenting at the display's refresh).
    // Without one (no graphics processor, or only a software rasteriser such as
    // llvmpipe, whose start took most of the time to the first frame and most
    // of the memory) the picture goes into the window's own pixels (X11 shared
    // memory) through PictureScaler, and pace_frame keeps the 60 frames a
    // second. SDL_RENDER_DRIVER in the environment still rules: "software"
    // chooses the software path, any other renderer is taken as it is.
    bool create_screen() {
        QuietStandardError quiet;
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        const char* asked = SDL_getenv("SDL_RENDER_DRIVER");
        const std::string driver = asked ? asked : "";
        if (!driver.empty() && driver != "software") {
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        } else if (driver.empty() && graphics_driver_present()) {
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
            if (renderer_ && renders_in_software(renderer_)) destroy_screen();
        }
        if (renderer_) {
            // Letterboxed scaling of the 640 x 480 picture; mouse events arrive
            // in picture pixels.
            SDL_RenderSetLogicalSize(renderer_, SCREEN_WIDTH, SCREEN_HEIGHT);
            choose_renderer_scaling();
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING,
                                         SCREEN_WIDTH, SCREEN_HEIGHT);
            if (texture_) return true;
            destroy_screen();
        }
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (!SDL_GetWindowSurface(window_)) return false;
        software_ = true;
        scaler_.forget();
        return true;
    }

public:
    // An open window (not the full screen) takes the size of the window scale now, centred again.
    void fit_window_to_scale() {
        if (!window_ || fullscreen_) return;
        const WindowSize size = window_size();
        SDL_SetWindowSize(window_, size.width, size.height);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        choose_renderer_scaling();
    }

private:
    // The window's size: the preferred factor, or the largest whole one that
    // fits 85 % of the desktop's usable area (its panels left out).
    static WindowSize window_size() {
        SDL_Rect desktop{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
        if (SDL_GetDisplayUsableBounds(0, &desktop) != 0 && SDL_GetDisplayBounds(0, &desktop) != 0)
            desktop = SDL_Rect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
        return window_size_for(desktop.w, desktop.h, SCREEN_WIDTH, SCREEN_HEIGHT, g_media.window_scale);
    }

    // A renderer scales as the software path does: by the largest whole
    // factor, or fitted (nearest pixel: sharp) where that leaves too much
    // empty. SDL maps the mouse back either way.
    void choose_renderer_scaling() {
        int width = 0, height = 0;
        if (!renderer_ || SDL_GetRendererOutputSize(renderer_, &width, &height) != 0) return;
        const PictureRect place = fit_picture(width, height, SCREEN_WIDTH, SCREEN_HEIGHT);
        SDL_RenderSetIntegerScale(renderer_, whole_factor(place, SCREEN_WIDTH, SCREEN_HEIGHT) ? SDL_TRUE : SDL_FALSE);
    }

    void destroy_screen() {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        texture_ = nullptr;
        renderer_ = nullptr;
        software_ = false;
        last_frame_ = Surface();
    }

    // Keys held through a switch of the screen mode. When a window goes while
    // keys are held, SDL reports them released, and the window that gets the
    // focus next reports them pressed again (modifiers at once, other keys with
    // the keyboard's next repeat). The player let go of nothing: without care,
    // Alt+Return held a moment would switch the mode back again. So the
    // releases made up by the destruction are dropped and the keys held then
    // stay held until they are settled:
    // - a modifier by SDL's own look at the keyboard when the new window gets
    //   the focus (still down or not);
    // - any other key by its next press: a repeat follows while the key is
    //   still held; a release before any repeat tells that the key was let go
    //   while no window had the focus and pressed anew, a tap of its own;
    // - a key with no word at all soon after the new window got the focus was
    //   let go while no window had it.
    void destroy_window() {
        if (window_) {
            pump_events();  // what really happened before the switch counts as usual
            SDL_DestroyWindow(window_);
            SDL_FlushEvent(SDL_KEYUP);
            carried_.fill(Carried::no);
            bool any = false;
            for (size_t code = 1; code < carried_.size(); ++code) {
                const bool down = input_key_reported_down(static_cast<int>(code));
                if (down) carried_[code] = Carried::unsettled;
                any = any || down;
            }
            settle_at_ = any ? SDL_GetTicks() + CARRIED_KEYS_WITHOUT_FOCUS_MS : 0;
        }
        window_ = nullptr;
        fullscreen_ = false;
    }

    void settle_carried_modifiers() {
        static constexpr SDL_Scancode MODIFIERS[] = {SDL_SCANCODE_LALT,   SDL_SCANCODE_RALT,   SDL_SCANCODE_LCTRL,
                                                     SDL_SCANCODE_RCTRL,  SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT,
                                                     SDL_SCANCODE_LGUI,   SDL_SCANCODE_RGUI};
        const Uint8* keyboard = SDL_GetKeyboardState(nullptr);
        for (SDL_Scancode modifier : MODIFIERS) {
            const int code = scan_code_from_sdl(modifier);
            if (code <= 0 || carried_[static_cast<size_t>(code)] != Carried::unsettled) continue;
            carried_[static_cast<size_t>(code)] = Carried::no;
            if (!keyboard[modifier]) input_key_up(code);
        }
    }

    void settle_carried_keys() {
        if (settle_at_ == 0 || SDL_TICKS_PASSED(SDL_GetTicks(), settle_at_) == SDL_FALSE) return;
        for (size_t code = 1; code < carried_.size(); ++code) {
            if (carried_[code] != Carried::unsettled) continue;
            carried_[code] = Carried::no;
            input_key_up(static_cast<int>(code));
        }
        settle_at_ = 0;
    }

    void key_event(int code, bool down, bool repeat) {
        if (code <= 0 || code >= static_cast<int>(carried_.size())) return;
        Carried& carried = carried_[static_cast<size_t>(code)];
        if (down) {
            if (carried == Carried::unsettled) carried = Carried::pressed;  // still held, or a new tap
            else if (carried == Carried::pressed) carried = Carried::no;   // its repeat: still held
            else if (!repeat) input_key_down(code);
            return;
        }
        if (carried == Carried::pressed) {
            // Pressed and let go with no repeat between: a tap of its own.
            input_key_up(code);
            input_key_down(code);
        }
        carried = Carried::no;
        input_key_up(code);
    }

    // About 60 frames a second. With vsync the present has already waited
    // for the display and the timer seldom has anything left to wait.
    void pace_frame() {
        using clock = std::chrono::steady_clock;
        auto frame = std::chrono::duration_cast<clock::duration>(
            std::chrono::duration<double, std::milli>(FRAME_MS * g_media.time_scale));
        auto now = clock::now();
        auto due = next_frame_ + frame;
        if (now < due) {
            std::this_thread::sleep_until(due);
            next_frame_ = due;
        } else if (now - due < frame) {
            next_frame_ = due;  // a little late: keep the rhythm
        } else {
            next_frame_ = now;  // far behind (or the first frame): start afresh
        }
    }

    void handle(const SDL_Event& event) {
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            key_event(scan_code_from_sdl(event.key.keysym.scancode), event.type == SDL_KEYDOWN, event.key.repeat != 0);
            break;
        case SDL_MOUSEMOTION:
            mouse_moved(event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) {
                mouse_moved(event.button.x, event.button.y);
                input_mouse_button(event.type == SDL_MOUSEBUTTONDOWN);
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                mouse_moved(event.button.x, event.button.y);
                input_mouse_right_button(event.type == SDL_MOUSEBUTTONDOWN);
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                choose_renderer_scaling();
                show_texture();
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
                show_texture();
            else if (event.window.event == SDL_WINDOWEVENT_LEAVE)
                input_mouse_leave();
            else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && settle_at_ != 0) {
                settle_carried_modifiers();
                settle_at_ = SDL_GetTicks() + CARRIED_KEYS_AFTER_FOCUS_MS;
            }
            break;
        case SDL_QUIT:  // the window's close box, or the process asked to end
            input_window_event(WindowEvent::close_request);
            break;
        default:
            gamepad_event(event);  // a gamepad's buttons and stick as keys
            break;
        }
    }

    bool events_ = false, video_ = false, audio_subsystem_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    bool software_ = false;      // the software path: the window's own pixels
    PictureScaler scaler_;
    Surface last_frame_;         // the software path on a framebuffer of another format
    bool fullscreen_ = false;
    std::string title_ = "Umbrane";
    SDL_AudioDeviceID audio_device_ = 0;
    Mixer mixer_;
    std::chrono::steady_clock::time_point next_frame_{};  // when the last frame was shown
    // Keys held through a screen switch: not settled yet, or pressed since and waiting for a repeat.
    enum class Carried { no, unsettled, pressed };
    std::array<Carried, 256> carried_{};
    Uint32 settle_at_ = 0;                                // when unconfirmed carried keys count as let go
};

}  // namespace

void set_window_scale(int factor) { g_media.window_scale = factor; }

void apply_window_scale(int factor) {
    set_window_scale(factor);
    if (auto* desktop = dynamic_cast<DesktopMachine*>(&media_machine())) desktop->fit_window_to_scale();
}

std::unique_ptr<Machine> make_desktop_machine() { return std::make_unique<DesktopMachine>(); }

void set_display_lost_hook(void (*hook)()) { g_display_lost_hook = hook; }
