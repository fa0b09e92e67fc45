// The benchmark: how fast the game draws, starts, writes and reads maps and
// lets its monsters act, and how much memory it takes. Each time is the median
// of many calls; its ratio is the median of the ratios of each call to a
// baseline measured right before it, so a machine that speeds up or slows
// down meanwhile does not shift the figures. Not part of the game.
//
//   umbrane_bench [--calls N] [--executable PATH] [FIGURE...]
//
// FIGURE picks some of: redraw, startup, program (the real program under
// Xvfb), steps (where start-up's time goes, step by step), memory, maps, levels, check (the content check of the whole game, as
// the command and in the process), monsters, walk (the real program walking under
// Xvfb in a window and in full screen at 1920 x 1080 and 3840 x 2160: its
// processor time per frame, the time from a key press to the first changed
// picture, the frames that came late); all of them when none is named.
//
// The baseline of the in-game figures (the best of three runs before each
// call) is the least any game picture costs: one copy of a 640 x 480 x 4 frame
// and 169 copies of a 32 x 32 tile (the map view's 13 x 13 fields). The real
// program is watched from outside on an Xvfb of its own until its first
// picture that is not all black, and compared with a bare program of the same
// media layer that opens a window and shows one grey frame; the heap of a
// headless game with the heap of the bare media layer.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "character/abilities_db.h"
#include "character/character_state.h"
#include "game/character_savegame.h"
#include "common/common_state.h"
#include "common/database.h"
#include "common/message_list.h"
#include "common/preferences.h"
#include "items/item_db.h"
#include "monsters/monster_db.h"
#include "powers/power_db.h"
#include "presentation/display.h"
#include "screens/game_state.h"
#include "presentation/view.h"
#include "heap_counter.h"
#include "map/map_file.h"
#include "map/level_creation.h"
#include "map/map_grid.h"
#include "map/map_lists.h"
#include "map/map_state.h"
#include "monsters/melee_combat.h"
#include "monsters/monster_behaviour.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/random.h"
#include "platform/scaler.h"
#include "platform/surface.h"
#include "platform/strings.h"
#include "authoring/content_check.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "game/paths.h"
#include "game/travel.h"
#include "shell/travel_step.h"
#include "game/state_checksum.h"
#include "game/turn_state.h"

// Last: Xlib defines macros (None, Status, True) that no game header should see.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kDataFolders[] = {"config", "data", "graphics", "maps", "sound", "tilesets"};

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// Keeps the compiler from dropping work whose result nobody reads.
void keep(const void* data) { asm volatile("" : : "r"(data) : "memory"); }

// The real program measured: the one built beside the benchmark, or another
// build named by --executable (to compare two builds on the same data).
std::string g_executable = UMBRANE_EXECUTABLE;
// A figure that could not be measured makes the run fail (the smoke test).
bool g_failed = false;

// A temporary folder with a copy of the built game's data (and, when asked,
// its executable), removed at the end.
class GameCopy {
public:
    explicit GameCopy(bool with_executable) {
        std::string pattern = (fs::temp_directory_path() / "umbrane-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
        for (const char* folder : kDataFolders)
            fs::copy(fs::path(UMBRANE_GAME_DIR) / folder, fs::path(path_) / folder, fs::copy_options::recursive);
        if (with_executable) fs::copy_file(g_executable, fs::path(path_) / "umbrane");
    }
    ~GameCopy() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    void forget_savegame() const {
        std::error_code ignored;
        fs::remove_all(fs::path(path_) / "savegame", ignored);
    }

private:
    std::string path_;
};

// ---- The baseline ----

class BaselineFrame {
public:
    BaselineFrame() : from_(kPixels, 0x00203040u), to_(kPixels), sheet_(kSheet * kSheet) {
        for (size_t i = 0; i < sheet_.size(); ++i) sheet_[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
    }
    double run() {
        const auto start = Clock::now();
        std::memcpy(to_.data(), from_.data(), kPixels * sizeof(uint32_t));
        for (int k = 0; k < 169; ++k) {
            const int x = k % 13 * 32, y = k / 13 * 32;
            const int sx = k * 7 % 8 * 32, sy = k * 3 % 8 * 32;
            for (int row = 0; row < 32; ++row)
                std::memcpy(&to_[static_cast<size_t>(y + row) * 640 + x], &sheet_[static_cast<size_t>(sy + row) * kSheet + sx],
                            32 * sizeof(uint32_t));
        }
        keep(to_.data());
        return seconds_since(start);
    }

private:
    static constexpr size_t kPixels = 640 * 480;
    static constexpr size_t kSheet = 256;
    std::vector<uint32_t> from_, to_, sheet_;
};

BaselineFrame g_baseline;

struct Figure {
    double median_s = 0;  // of the calls
    double ratio = 0;     // median of call / baseline
    double baseline_s = 0;
};

// calls rounds after a few untimed ones; in each round the baseline, then
// every timed call in turn (each returns the seconds it took). The growth is
// the median of the last call's time over the first's in the same round.
std::vector<Figure> measure_rounds(int calls, const std::vector<std::function<double()>>& timed_calls,
                                   int warm_up = 2, double* growth = nullptr) {
    std::vector<std::vector<double>> times(timed_calls.size()), ratios(timed_calls.size());
    std::vector<double> baselines, growths;
    for (int i = -warm_up; i < calls; ++i) {
        // The best of three: the first may find the caches filled by the call before.
        const double baseline = std::min({g_baseline.run(), g_baseline.run(), g_baseline.run()});
        std::vector<double> round;
        for (const auto& call : timed_calls) round.push_back(call());
        if (i < 0) continue;
        baselines.push_back(baseline);
        for (size_t k = 0; k < round.size(); ++k) {
            times[k].push_back(round[k]);
            ratios[k].push_back(round[k] / baseline);
        }
        growths.push_back(round.back() / round.front());
    }
    std::vector<Figure> figures;
    for (size_t k = 0; k < timed_calls.size(); ++k)
        figures.push_back({median(times[k]), median(ratios[k]), median(baselines)});
    if (growth) *growth = median(growths);
    return figures;
}

Figure measure(int calls, const std::function<double()>& timed_call, int warm_up = 2) {
    return measure_rounds(calls, {timed_call}, warm_up).front();
}

double timed(const std::function<void()>& call) {
    const auto start = Clock::now();
    call();
    return seconds_since(start);
}

std::string duration_text(double seconds) {
    char text[32];
    if (seconds < 1e-3) std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    else if (seconds < 1) std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

void print_figure(const char* what, const Figure& figure, const char* target = "") {
    std::printf("%-52s %12s %10.1f x  %s\n", what, duration_text(figure.median_s).c_str(), figure.ratio, target);
    std::fflush(stdout);
}

void print_memory(const char* what, double megabytes, double baseline_megabytes, const char* target = "") {
    std::printf("%-52s %9.1f MB %10.1f x  %s\n", what, megabytes, megabytes / baseline_megabytes, target);
    std::fflush(stdout);
}

// ---- The game on the headless backend ----

void fresh_headless_media() {
    media_close();
    media_init(BackendKind::headless);
    headless::reset();
    seed_random(1);
}

// Start-up of a first start, until the main menu shows its first frame.
struct FirstFrame {};
double headless_startup(const GameCopy& game) {
    game.forget_savegame();
    fresh_headless_media();
    headless::on_flip([] { throw FirstFrame{}; });
    const auto start = Clock::now();
    try {
        startup();
        run_main_loop();
    } catch (const FirstFrame&) {
    }
    const double time = seconds_since(start);
    headless::on_flip(nullptr);
    return time;
}

// A new character (three picks of the first ability) on the start map.
void start_new_game(const GameCopy& game) {
    game.forget_savegame();
    fresh_headless_media();
    startup();
    const uint32_t now = headless::now();
    for (uint32_t k = 1; k <= 3; ++k) headless::key_tap(now + 100 * k, key::ret);
    new_game_flow();
}

// The map's corner of side x side fields: every field with an event (every
// other one fired), a message and a transformation; a monster on every
// fourth field and an item on every eighth.
void fill_corner(int side) {
    GameMap& map = g_map.map;
    g_map.events.clear();
    g_map.transformations.clear();
    g_map.monsters.clear();
    g_map.items.clear();
    int16_t monster_type = 0;
    for (int id = 1; id <= kMaxMonsterTypeId && !monster_type; ++id)
        if (!g_db.monster_types[id].name.empty()) monster_type = static_cast<int16_t>(id);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const std::string name = "lever_" + int_to_text(x) + "_" + int_to_text(y);
            set_map_event(map, x, y, name, 2);
            add_map_event(name, (x + y) % 2, 2);
            set_map_message(map, x, y, "A worn stone at " + int_to_text(x), "and " + int_to_text(y), 3);
            set_map_visited(map, x, y, 1);
            Transformation change;
            change.event = name;
            change.x = static_cast<int8_t>(x);
            change.y = static_cast<int8_t>(y);
            change.tile_type = 4;
            change.message_line1 = "The stone moved.";
            add_transformation(change);
            if ((x + y) % 4 == 0 && monster_type) {
                Monster monster;
                monster.type = monster_type;
                monster.x = static_cast<int16_t>(x);
                monster.y = static_cast<int16_t>(y);
                monster.hitpoints = 3;
                add_monster(monster);
            }
            if ((x + 2 * y) % 8 == 0) {
                MapItem& item = g_map.items.append();
                item.x = static_cast<int16_t>(x);
                item.y = static_cast<int16_t>(y);
                item.type = 1;
            }
        }
}

// The map of that file read and written back.
double load_and_save_map(const std::string& path) {
    return timed([&] {
        load_map(g_map.map, path);
        save_map(g_map.map, path);
    });
}

// 200 monsters stand on free fields of the start map, alerted, with hit points
// to regenerate; far away ones so far that even a fast one does not come
// within the 7 fields in which steps are shown.
constexpr int kFarAway = 14;
void place_monsters(int count, bool far_away) {
    std::vector<int16_t> types;
    for (int id = 1; id <= kMaxMonsterTypeId; ++id)
        if (!g_db.monster_types[id].name.empty()) types.push_back(static_cast<int16_t>(id));
    seed_random(3);
    const CharacterRecord& hero = g_character_model.character;
    for (int tries = 0; g_map.monsters.count() < count && tries < 100000; ++tries) {
        Monster monster;
        monster.type = types[static_cast<size_t>(Random(static_cast<int>(types.size()) - 1))];
        monster.x = static_cast<int16_t>(Random(kMapSize - 1));
        monster.y = static_cast<int16_t>(Random(kMapSize - 1));
        if ((monster.x == hero.x && monster.y == hero.y) ||
            (far_away && std::abs(monster.x - hero.x) <= kFarAway && std::abs(monster.y - hero.y) <= kFarAway) ||
            field_blocked_for_monster(g_map.map, monster.x, monster.y, monster.type))
            continue;
        monster.hitpoints = static_cast<int16_t>(std::max(1, g_db.monster_types[monster.type].hitpoints / 2));
        monster.alerted = 1;
        add_monster(monster);
    }
}

// ---- Child processes: the real program, the bare window, the heap ----

// fork, with nothing of this process's unwritten output left to be written twice.
pid_t start_child() {
    std::fflush(stdout);
    std::fflush(stderr);
    return fork();
}

// In a child: what it prints goes nowhere (standard output too, unless kept).
void quiet_output(bool keep_standard_output) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0) return;
    if (!keep_standard_output) dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    close(null);
}

// Xvfb on a display it picks itself.
class Xvfb {
public:
    bool start(const char* screen = "1024x768x24") {
        int channel[2];
        if (pipe(channel) != 0) return false;
        pid_ = start_child();
        if (pid_ == 0) {
            close(channel[0]);
            quiet_output(false);
            const std::string fd = std::to_string(channel[1]);
            // -br: a black screen behind the windows, so that only a window's picture counts.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
                   "-noreset", "-br", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        std::string number;
        char c;
        while (read(channel[0], &c, 1) == 1 && c != '\n') number += c;
        close(channel[0]);
        if (number.empty()) return false;
        display_ = ":" + number;
        return true;
    }
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Watches an X display from outside, as a person in front of it would: the
// first picture is there when a pixel of a shown window is not black. It
// looks only when the server reports that a window was shown or drawn on
// (DAMAGE extension), so that it takes no processor time from the program
// watched while nothing happens; the pixels come through shared memory
// (MIT-SHM) where the server offers it.
class DisplayWatcher {
public:
    explicit DisplayWatcher(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
        // A window may go between two requests about it: such a request just finds nothing.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        if (!display_) return;
        if (XShmQueryExtension(display_)) attach_shared_memory();
        int error_base = 0;
        has_damage_ = XDamageQueryExtension(display_, &damage_event_, &error_base) != 0;
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, False);
    }
    ~DisplayWatcher() {
        if (!display_) return;
        if (shared_.shmaddr) {
            XShmDetach(display_, &shared_);
            XSync(display_, False);
            shmdt(shared_.shmaddr);
        }
        XCloseDisplay(display_);
    }
    DisplayWatcher(const DisplayWatcher&) = delete;
    DisplayWatcher& operator=(const DisplayWatcher&) = delete;
    bool opened() const { return display_ != nullptr; }

    // Waits at most max_ms for a window to be shown or drawn on; true when
    // something may have changed (always, where the server cannot tell). The
    // time each drawing was reported goes to drawn, the server's time of it
    // (milliseconds, not delayed by this program's own turn) to drawn_at_server.
    bool wait_for_change(int max_ms, std::vector<Clock::time_point>* drawn = nullptr,
                         std::vector<double>* drawn_at_server = nullptr) {
        if (!has_damage_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(max_ms, 2)));
            return true;
        }
        if (XPending(display_) == 0) {
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            poll(&connection, 1, max_ms);
        }
        bool changed = false;
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapNotify) {
                // Every drawing on the window is reported from now on, each one.
                XDamageCreate(display_, event.xmap.window, XDamageReportRawRectangles);
                changed = true;
            } else if (event.type == damage_event_ + XDamageNotify) {
                const auto& damage = reinterpret_cast<XDamageNotifyEvent&>(event);
                XDamageSubtract(display_, damage.damage, None, None);
                if (drawn) drawn->push_back(Clock::now());
                if (drawn_at_server) drawn_at_server->push_back(static_cast<double>(damage.timestamp));
                changed = true;
            } else if (event.type == ConfigureNotify || event.type == UnmapNotify) {
                changed = true;
            }
        }
        return changed;
    }

    // The pixels of the first shown window as the screen shows it; false when none is shown.
    bool window_pixels(std::vector<uint32_t>& pixels) {
        XWindowAttributes attributes{};
        if (!first_shown_window(&attributes)) return false;
        int width = 0, height = 0;
        XImage* image = grab(DefaultRootWindow(display_), attributes, width, height);
        if (!image) return false;
        pixels.resize(static_cast<size_t>(width) * height);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                pixels[static_cast<size_t>(row) * width + column] =
                    image->bits_per_pixel == 32
                        ? reinterpret_cast<const uint32_t*>(image->data + static_cast<size_t>(row) * image->bytes_per_line)[column]
                        : static_cast<uint32_t>(XGetPixel(image, column, row));
        release(image);
        return true;
    }

    // The keyboard goes to the first shown window, the pointer rests on it.
    void focus_window() {
        XWindowAttributes attributes{};
        const Window window = first_shown_window(&attributes);
        if (!window) return;
        XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        XWarpPointer(display_, None, window, 0, 0, 0, 0, attributes.width / 2, attributes.height / 2);
        XSync(display_, False);
    }

    // A key pressed or let go as by the keyboard (XTEST).
    void key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False, CurrentTime);
        XFlush(display_);
    }

    // Waits until nothing was drawn for quiet_ms (at most max_ms in all).
    void settle(int quiet_ms, int max_ms = 5000) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(max_ms);
        auto quiet_since = Clock::now();
        while (Clock::now() < deadline && Clock::now() - quiet_since < std::chrono::milliseconds(quiet_ms))
            if (wait_for_change(5)) quiet_since = Clock::now();
    }

    // True when a window is shown and some pixel of it on the screen is not
    // black; window_shown tells whether a window is shown at all.
    bool shows_picture(bool* window_shown = nullptr) {
        const Window root = DefaultRootWindow(display_);
        Window root_return = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, root, &root_return, &parent, &children, &count)) return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable) continue;
            if (window_shown) *window_shown = true;
            found = area_not_black(root, attributes);
        }
        if (children) XFree(children);
        return found;
    }

private:
    void attach_shared_memory() {
        const int screen = DefaultScreen(display_);
        const size_t bytes = static_cast<size_t>(DisplayWidth(display_, screen)) * DisplayHeight(display_, screen) * 4;
        shared_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (shared_.shmid < 0) return;
        void* address = shmat(shared_.shmid, nullptr, 0);
        shmctl(shared_.shmid, IPC_RMID, nullptr);  // gone once both sides let go
        if (address == reinterpret_cast<void*>(-1)) return;
        shared_.shmaddr = static_cast<char*>(address);
        shared_.readOnly = False;
        if (!XShmAttach(display_, &shared_)) {
            shmdt(address);
            shared_.shmaddr = nullptr;
            return;
        }
        XSync(display_, False);
    }

    Window first_shown_window(XWindowAttributes* attributes) {
        Window root_return = 0, parent = 0, *children = nullptr, found = 0;
        unsigned count = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root_return, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && !found; ++i)
            if (XGetWindowAttributes(display_, children[i], attributes) && attributes->map_state == IsViewable)
                found = children[i];
        if (children) XFree(children);
        return found;
    }

    // The window's area as the screen shows it (what lies on top included).
    bool area_not_black(Window root, const XWindowAttributes& window) {
        int width = 0, height = 0;
        XImage* image = grab(root, window, width, height);
        if (!image) return false;
        bool found = false;
        if (image->bits_per_pixel == 32) {
            for (int row = 0; row < height && !found; ++row) {
                const auto* pixels = reinterpret_cast<const uint32_t*>(image->data + static_cast<size_t>(row) * image->bytes_per_line);
                for (int column = 0; column < width; ++column)
                    if (pixels[column] & 0xFFFFFFu) {
                        found = true;
                        break;
                    }
            }
        } else {
            for (int row = 0; row < height && !found; ++row)
                for (int column = 0; column < width && !found; ++column) found = XGetPixel(image, column, row) != 0;
        }
        release(image);
        return found;
    }

    void release(XImage* image) {
        if (shared_.shmaddr) image->data = nullptr;  // the shared memory is not the image's to free
        XDestroyImage(image);
    }

    // The window's area on the screen (cut at its edges), or nullptr.
    XImage* grab(Window root, const XWindowAttributes& window, int& width, int& height) {
        const int screen = DefaultScreen(display_);
        const int x = std::max(window.x, 0), y = std::max(window.y, 0);
        width = std::min(window.x + window.width, DisplayWidth(display_, screen)) - x;
        height = std::min(window.y + window.height, DisplayHeight(display_, screen)) - y;
        if (width <= 0 || height <= 0) return nullptr;
        XImage* image = nullptr;
        if (shared_.shmaddr) {
            image = XShmCreateImage(display_, DefaultVisual(display_, screen), static_cast<unsigned>(DefaultDepth(display_, screen)),
                                    ZPixmap, shared_.shmaddr, &shared_, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height));
            if (image && !XShmGetImage(display_, root, image, x, y, AllPlanes)) {
                image->data = nullptr;
                XDestroyImage(image);
                image = nullptr;
            }
        } else {
            image = XGetImage(display_, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                              ZPixmap);
        }
        return image;
    }

    Display* display_;
    XShmSegmentInfo shared_{};
    bool has_damage_ = false;
    int damage_event_ = 0;
};

struct ProgramRun {
    bool shown = false;
    double to_window_s = 0;  // until its window was on the screen
    double to_first_frame_s = 0;
    double cpu_s = 0;  // user and system time until it was ended
    long peak_rss_kb = 0;
};

// Starts the program and looks at the display until its first picture that is
// not all black is on the screen, then ends it. The time is taken when the
// look that found the picture has its answer, so it errs on the long side by
// one look (about a millisecond).
ProgramRun run_until_first_frame(const std::string& program, const std::string& argument, const std::string& display,
                                 DisplayWatcher& watcher) {
    ProgramRun run;
    const auto started = Clock::now();
    const pid_t pid = start_child();
    if (pid == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        quiet_output(false);
        if (argument.empty()) execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        else execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    for (bool changed = true; Clock::now() < deadline; changed = watcher.wait_for_change(5)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return run;  // it ended without a picture
        if (!changed) continue;
        bool window_shown = false;
        const bool picture = watcher.shows_picture(&window_shown);
        if (window_shown && run.to_window_s == 0) run.to_window_s = seconds_since(started);
        if (picture) {
            run.to_first_frame_s = seconds_since(started);
            run.shown = true;
            break;
        }
    }
    kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.peak_rss_kb = usage.ru_maxrss;
    run.cpu_s = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    // The window is gone from the screen before the next run starts.
    for (int i = 0; i < 2000 && watcher.shows_picture(); ++i) watcher.wait_for_change(1);
    while (watcher.wait_for_change(0)) {
    }
    return run;
}

// The time a trivial X client (xdpyinfo) takes from its start to its end.
double trivial_client_time(const std::string& display) {
    const auto started = Clock::now();
    const pid_t pid = start_child();
    if (pid == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        quiet_output(false);
        execlp("xdpyinfo", "xdpyinfo", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds_since(started) : -1;
}

// What this program prints in one of its child modes (on the display, when one is named).
std::string child_mode_output(const char* mode, const std::string& display = "") {
    int channel[2];
    if (pipe(channel) != 0) return "";
    const pid_t pid = start_child();
    if (pid == 0) {
        close(channel[0]);
        dup2(channel[1], STDOUT_FILENO);
        quiet_output(true);
        if (!display.empty()) {
            setenv("DISPLAY", display.c_str(), 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
        }
        execl("/proc/self/exe", "umbrane_bench", mode, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(channel[1]);
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return text;
}

// Runs this program in one of its child modes and reads the two numbers it prints.
bool run_child_mode(const char* mode, long long& first, long long& second) {
    return std::sscanf(child_mode_output(mode).c_str(), "%lld %lld", &first, &second) == 2;
}

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Child mode: a whole game on the headless backend (start-up, a new
// character, a few steps, save and back to the menu, quit); prints the heap
// peak in bytes and the peak resident size in kB.
int session_mode() {
    GameCopy game(false);
    set_game_folder(game.path());
    fresh_headless_media();
    headless::key_tap(300, key::ret);  // "New game"
    for (uint32_t at : {450u, 550u, 650u}) headless::key_tap(at, key::ret);
    headless::key_down(800, key::down);
    headless::key_up(1000, key::down);
    headless::key_down(1600, key::right);
    headless::key_up(1700, key::right);
    headless::key_tap(3000, key::escape);  // save, back to the menu
    headless::key_tap(3600, key::escape);  // leave the menu
    headless::set_deadline(60000);
    startup();
    run_main_loop();
    media_close();
    std::printf("%lld %ld\n", heap_peak_bytes(), peak_rss_kb());
    return 0;
}

// Child mode: the media layer alone on the headless backend, one black frame.
int bare_session_mode() {
    media_init(BackendKind::headless);
    open_window("Umbrane");
    open_window_screen();
    clear_screen(RGB(0, 0, 0));
    flip();
    media_close();
    std::printf("%lld %ld\n", heap_peak_bytes(), peak_rss_kb());
    return 0;
}

// Child mode: a window with one grey frame on the desktop backend, then wait to be ended.
int bare_window_mode() {
    if (!media_init(BackendKind::desktop) || !open_window("Umbrane") || !open_window_screen()) return 1;
    clear_screen(RGB(64, 64, 64));
    flip();
    while (take_window_event() != WindowEvent::close_request) wait_for_event(100);
    media_close();
    return 0;
}

// Child mode: the display's steps of start-up on the desktop backend, each
// timed as the game makes them (SDL and the display, SDL's audio, the window
// and its screen, a first grey frame); prints their microseconds.
int window_steps_mode() {
    std::vector<long long> steps;
    auto step = [&steps, start = Clock::now()]() mutable {
        steps.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
        start = Clock::now();
    };
    if (!media_init(BackendKind::desktop)) return 1;
    step();
    sound_init();
    step();
    if (!open_window("Umbrane") || !open_window_screen()) return 1;
    step();
    clear_screen(RGB(64, 64, 64));
    flip();
    step();
    media_close();
    for (long long microseconds : steps) std::printf("%lld ", microseconds);
    std::printf("\n");
    return 0;
}

// Where start-up's time goes: startup()'s steps one by one in its order, each
// timed, on the headless backend (the pictures decoded on this thread, the
// font look-up made afresh), and the display's steps in a child on Xvfb.
void startup_step_figures(int calls, const GameCopy& game) {
    game.forget_savegame();
    struct Step {
        const char* what;
        std::function<void()> call;
        std::function<void()> before = [] {};  // not timed
    };
    const std::vector<Step> steps = {
        {"  tables, preferences, texts (XML)", [] {
             reset_game_state();
             load_preferences(g_common.preferences, "config\\preferences.xml");
             load_message_list("data\\messages.xml");
         }},
        {"  sounds known by their first pages", [] { load_sounds(); }},
        {"  the 20 fixed pictures decoded (PNG)", [] {
             for (const SpriteFile& file : sprite_files()) {
                 Surface picture;
                 decode_image_file(host_path(file.file), picture);
                 keep(picture.pixels.data());
             }
         }},
        {"  fontconfig set up afresh, the five fonts opened", [] {
             font_load(1, "Arial", 8, false, false);
             font_load(2, "Harrington", 12, true, false);
             font_load(3, "Arial", 10, false, false);
             font_load(4, "Verdana", 10, false, false);
             font_load(5, "Verdana", 10, false, true);
         },
         [] {
             // The media layer anew: fontconfig's set-up and look-ups are made again.
             media_close();
             media_init(BackendKind::headless);
         }},
        {"  load_sprites (the pictures and fonts again)", [] { load_sprites(); }},
        {"  the databases (XML)", [] {
             load_abilities_db();
             load_monster_db("data\\monster.xml");
             load_power_db();
             load_item_db();
         }},
        {"  the first menu frame composed and flipped", [] {
             headless::on_flip([] { throw FirstFrame{}; });
             try {
                 run_main_loop();
             } catch (const FirstFrame&) {
             }
             headless::on_flip(nullptr);
         }},
    };
    std::vector<std::vector<double>> times(steps.size()), wall_times(steps.size());
    for (int i = -1; i < calls; ++i) {
        fresh_headless_media();
        startup();  // every table as the game has it, then each step again on its own
        for (size_t k = 0; k < steps.size(); ++k) {
            steps[k].before();
            // The thread's processor time: other programs on the machine do not stretch it.
            const auto thread_seconds = [] {
                timespec now{};
                clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
                return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
            };
            const double start = thread_seconds();
            const double wall = timed(steps[k].call);
            if (i >= 0) {
                times[k].push_back(thread_seconds() - start);
                wall_times[k].push_back(wall);
            }
        }
    }
    std::printf("start-up step by step, headless, on one thread (medians: processor time, wall time):\n");
    for (size_t k = 0; k < steps.size(); ++k)
        std::printf("%-52s %12s %12s\n", steps[k].what, duration_text(median(times[k])).c_str(),
                    duration_text(median(wall_times[k])).c_str());

    Xvfb xvfb;
    if (!xvfb.start()) {
        std::printf("%-52s %s\n", "  the display's steps", "skipped: Xvfb did not start");
        return;
    }
    const char* names[] = {"  SDL and the display opened (media_init)", "  SDL audio opened (dummy driver)",
                           "  the window and its screen", "  a first frame shown"};
    std::vector<std::vector<double>> window_times(4);
    for (int i = -1; i < std::max(5, calls / 2); ++i) {
        const std::string text = child_mode_output("--window-steps", xvfb.display());
        long long step[4];
        if (std::sscanf(text.c_str(), "%lld %lld %lld %lld", &step[0], &step[1], &step[2], &step[3]) != 4) {
            std::printf("%-52s %s\n", "  the display's steps", "failed");
            g_failed = true;
            return;
        }
        if (i >= 0)
            for (int k = 0; k < 4; ++k) window_times[k].push_back(static_cast<double>(step[k]) / 1e6);
    }
    std::printf("the display's steps (medians; desktop backend, Xvfb):\n");
    for (int k = 0; k < 4; ++k) std::printf("%-52s %12s\n", names[k], duration_text(median(window_times[k])).c_str());
}

// The whole real program with the arguments, to its end (its output thrown away).
double program_seconds(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = start_child();
    if (child < 0) throw std::runtime_error("cannot start a program");
    if (child == 0) {
        quiet_output(false);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = seconds_since(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) throw std::runtime_error(arguments.front() + " failed");
    return seconds;
}

// ---- The figures ----

// The start map made open ground, every field seen, no monster: walls
// (the map's outside tile) on every row of a serpentine when maze is set, so
// the way from corner to corner runs along every row (about 1,200 steps).
void seen_ground(bool maze) {
    GameMap& map = g_map.map;
    g_map.monsters.clear();
    g_map.level_exits.clear();
    g_map.items.clear();
    int floor = map.background_tile;
    if (map.tileset.tile_types[floor].solid) floor = 0;
    fill_map(map, floor);
    for (int y = 0; y < kMapSize; ++y)
        for (int x = 0; x < kMapSize; ++x) set_map_seen(map, x, y, 1);
    if (!maze) return;
    int wall = 0;
    while (wall < kTileTypeCount - 1 && !map.tileset.tile_types[wall].solid) ++wall;
    for (int y = 1; y < kMapSize - 1; y += 2)
        for (int x = 0; x < kMapSize - 1; ++x)
            if (x != ((y / 2) % 2 == 0 ? kMapSize - 2 : 0)) set_map_tile_type(map, x, y, wall);
}

// The software path's scaling of a whole new frame (every row changed) into
// a framebuffer of the screen's size: whole factors and fitted pictures.
void scale_figures(int calls) {
    struct Screen {
        int width, height;
    };
    for (const Screen screen : {Screen{1280, 800}, Screen{1366, 768}, Screen{1920, 1080}, Screen{3840, 2160}}) {
        std::vector<uint32_t> pixels(static_cast<size_t>(screen.width) * screen.height);
        const FramebufferTarget target{pixels.data(), screen.width, screen.height, screen.width, true};
        Surface frames[2] = {Surface(SCREEN_WIDTH, SCREEN_HEIGHT), Surface(SCREEN_WIDTH, SCREEN_HEIGHT)};
        for (size_t k = 0; k < frames[0].pixels.size(); ++k) {
            frames[0].pixels[k] = static_cast<uint32_t>(k * 2654435761u) & 0xFFFFFF;
            frames[1].pixels[k] = ~frames[0].pixels[k] & 0xFFFFFF;
        }
        PictureScaler scaler;
        int which = 0;
        scaler.draw(frames[which], target);
        const Figure figure = measure(calls * 5, [&] {
            which = 1 - which;
            return timed([&] { scaler.draw(frames[which], target); });
        });
        const PictureRect place = scaler.place();
        char what[96];
        std::snprintf(what, sizeof what, "a new frame scaled to %d x %d (%s %d x %d)", screen.width, screen.height,
                      whole_factor(place, SCREEN_WIDTH, SCREEN_HEIGHT) ? "whole" : "fitted", place.width, place.height);
        print_figure(what, figure);
    }
}

void path_figures(int calls, const GameCopy& game) {
    start_new_game(game);
    const PathObstacles obstacles{g_map.monsters, g_map.level_exits};
    for (bool maze : {false, true}) {
        seen_ground(maze);
        size_t length = 0;
        const Figure figure = measure(calls * 10, [&] {
            return timed([&] { length = path_to_field(g_map.map, obstacles, {0, 0}, {48, 48}).size(); });
        });
        char what[96];
        std::snprintf(what, sizeof what, "path across a 50 x 50 map, %s (%zu steps)", maze ? "serpentine" : "open",
                      length);
        print_figure(what, figure, "(target 0.2 ms)");
        if (length == 0) {
            std::printf("  no path found\n");
            g_failed = true;
        }
    }
    // Exploring with every field seen but the last row: the next step's whole search.
    seen_ground(false);
    for (int x = 0; x < kMapSize; ++x) set_map_seen(g_map.map, x, kMapSize - 1, 0);
    g_character_model.character.x = 0;
    g_character_model.character.y = 0;
    print_figure("explore: the next step's path, unseen only at the far end", measure(calls * 10, [] {
                     return timed([] { travel_path(TravelGoal::explore, {}); });
                 }));
    // A step by key against a step of travel (its path and the same step), to and fro.
    g_character_model.character.x = 24;
    g_character_model.character.y = 24;
    g_shell.loop.menu = 0;
    int direction = 1;
    const std::vector<Figure> steps = measure_rounds(calls, {
        [&] {
            Step step;
            step.dx = direction;
            direction = -direction;
            return timed([&] {
                if (attempt_step(g_map.map, step).moved) after_step();
                settle_turn();
                redraw_screen(g_map.map, 0, 0, 0, 0);
            });
        },
        [&] {
            const MapPoint to{g_character_model.character.x + direction, 24};
            direction = -direction;
            return timed([&] {
                const std::vector<MapPoint> path = travel_path(TravelGoal::field, to);
                if (!path.empty()) travel_step(path[0].x - g_character_model.character.x, 0);
            });
        }});
    print_figure("a step by key with its 15 pictures, headless", steps[0]);
    print_figure("a step of travel: its path and the same step", steps[1], "(no more than by key)");
}

void real_program_figures(int calls) {
    Xvfb xvfb;
    if (!xvfb.start()) {
        std::printf("%-52s %s\n", "real program under Xvfb", "skipped: Xvfb did not start");
        return;
    }
    DisplayWatcher watcher(xvfb.display());
    if (!watcher.opened()) {
        std::printf("%-52s %s\n", "real program under Xvfb", "skipped: the display did not open");
        return;
    }
    GameCopy game(true);
    const std::string program = game.path() + "/umbrane";
    std::vector<double> game_times, bare_times, client_times, ratios, game_cpu, bare_cpu, game_window, bare_window;
    long game_rss = 0, bare_rss = 0;
    for (int i = -1; i < calls; ++i) {  // the first round warms the caches up
        game.forget_savegame();
        const double client = trivial_client_time(xvfb.display());
        ProgramRun bare = run_until_first_frame("/proc/self/exe", "--bare-window", xvfb.display(), watcher);
        ProgramRun played = run_until_first_frame(program, "", xvfb.display(), watcher);
        if (!bare.shown || !played.shown) {
            std::printf("%-52s %s\n", "real program under Xvfb", "failed: no first frame");
            return;
        }
        if (i < 0) continue;
        game_times.push_back(played.to_first_frame_s);
        bare_times.push_back(bare.to_first_frame_s);
        if (client > 0) client_times.push_back(client);
        ratios.push_back(played.to_first_frame_s / bare.to_first_frame_s);
        game_window.push_back(played.to_window_s);
        bare_window.push_back(bare.to_window_s);
        game_cpu.push_back(played.cpu_s);
        bare_cpu.push_back(bare.cpu_s);
        game_rss = std::max(game_rss, played.peak_rss_kb);
        bare_rss = std::max(bare_rss, bare.peak_rss_kb);
    }
    Figure figure{median(game_times), median(ratios), median(bare_times)};
    print_figure("start-up to first menu frame, real program, Xvfb", figure, "(target 150 ms)");
    std::printf("%-52s %12s\n", "  the fastest run (the machine's load stretches others)",
                duration_text(*std::min_element(game_times.begin(), game_times.end())).c_str());
    std::printf("%-52s %12s\n", "  the bare window's first frame (its baseline)", duration_text(figure.baseline_s).c_str());
    std::printf("%-52s %12s\n", "  until the game's window was shown", duration_text(median(game_window)).c_str());
    std::printf("%-52s %12s\n", "  until the bare window was shown", duration_text(median(bare_window)).c_str());
    if (!client_times.empty())
        std::printf("%-52s %12s\n", "  a trivial X client (xdpyinfo), start to end", duration_text(median(client_times)).c_str());
    // Processor time does not stretch when other programs share the machine.
    std::printf("%-52s %12s %10.1f x\n", "  processor time of the game until then", duration_text(median(game_cpu)).c_str(),
                median(game_cpu) / median(bare_cpu));
    std::printf("%-52s %12s\n", "  processor time of the bare window", duration_text(median(bare_cpu)).c_str());
    print_memory("peak RSS of the real program at its menu", game_rss / 1024.0, bare_rss / 1024.0,
                 "(baseline: the bare window)");
}

// ---- Walking in the real program, as a player sees it ----

// User and system time of a process so far (all its threads).
double process_cpu_s(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t after_name = text.rfind(')');
    if (after_name == std::string::npos) return 0;
    std::istringstream fields(text.substr(after_name + 2));
    std::string field;
    double ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number)
        if (number == 14 || number == 15) ticks += std::atof(field.c_str());
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5))];
}

// Frames of a walk that came more than 4 ms after their time. A frame's time
// is a whole number of 60 Hz frames after the picture before it: a frame that
// showed nothing new (the redraw after a step) draws nothing the server could
// report, so the next one comes two frames later, on time. A frame that comes
// early after a late one (the game keeps its rhythm) counts as one frame.
int late_frames(const std::vector<double>& frames_ms, double* worst_ms) {
    constexpr double kFrameMs = 1000.0 / 60.0, kJitterMs = 2.0;
    int late = 0;
    *worst_ms = 0;
    for (size_t i = 1; i < frames_ms.size(); ++i) {
        const double interval = frames_ms[i] - frames_ms[i - 1];
        const double whole = std::max(1.0, std::floor((interval + kJitterMs) / kFrameMs));
        const double lateness = interval - whole * kFrameMs;
        if (lateness > 4.0) ++late;
        *worst_ms = std::max(*worst_ms, lateness);
    }
    return late;
}

struct WalkRun {
    std::string failure;                  // empty when measured
    int frames = 0;                       // pictures shown while walking
    double walk_s = 0;
    double cpu_per_frame_s = 0, server_cpu_per_frame_s = 0;
    std::vector<double> press_to_picture_ms;
    int late = 0;
    double worst_late_ms = 0;
};

WalkRun failed(const std::string& why) {
    WalkRun run;
    run.failure = why;
    return run;
}

// The real program on an Xvfb of the given screen, in a window or full
// screen: a new game, then presses of the arrows (Right, Left, ...) each
// timed from the key's press (XTEST) to the first picture that differs from
// the one before, then a walk of walk_s seconds holding Right and then Left,
// whose frames are the drawings the server reports.
WalkRun walk_in_program(const char* screen, bool fullscreen, int presses, double walk_s) {
    WalkRun run;
    Xvfb xvfb;
    if (!xvfb.start(screen)) return failed("Xvfb did not start");
    DisplayWatcher watcher(xvfb.display());
    if (!watcher.opened()) return failed("the display did not open");
    GameCopy game(true);
    {
        std::string preferences;
        read_whole_file(game.path() + "/config/preferences.xml", preferences);
        preferences = replace_all(preferences, "fullscreen=\"no\"", fullscreen ? "fullscreen=\"yes\"" : "fullscreen=\"no\"");
        write_file_atomically(game.path() + "/config/preferences.xml", preferences);
    }
    const pid_t pid = start_child();
    if (pid == 0) {
        setenv("DISPLAY", xvfb.display().c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        quiet_output(false);
        const std::string program = game.path() + "/umbrane";
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    struct EndGame {
        pid_t pid;
        ~EndGame() {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } end_game{pid};
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (!watcher.shows_picture() && Clock::now() < deadline) watcher.wait_for_change(20);
    if (!watcher.shows_picture()) return failed("no menu appeared");
    watcher.focus_window();
    watcher.settle(300);
    auto tap = [&](KeySym symbol) {
        watcher.key(symbol, true);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        watcher.key(symbol, false);
        watcher.settle(300);
    };
    tap(XK_Return);  // "New game"
    for (int pick = 0; pick < 3; ++pick) tap(XK_Return);
    watcher.settle(500);

    std::vector<uint32_t> before, after;
    std::vector<Clock::time_point> drawn;
    for (int press = 0; press < presses; ++press) {
        const KeySym symbol = press % 2 ? XK_Left : XK_Right;
        if (!watcher.window_pixels(before)) return failed("the window went");
        drawn.clear();
        const auto pressed = Clock::now();
        watcher.key(symbol, true);
        bool changed = false;
        while (!changed && Clock::now() - pressed < std::chrono::seconds(10)) {  // a busy machine may take seconds
            const size_t seen = drawn.size();
            if (!watcher.wait_for_change(50, &drawn) || drawn.size() == seen) continue;
            changed = watcher.window_pixels(after) && after != before;
            if (changed) run.press_to_picture_ms.push_back(milliseconds(drawn[seen] - pressed));
        }
        watcher.key(symbol, false);
        if (!changed) return failed("a press of an arrow changed nothing on the screen");
        // The step, and the monsters' steps after it (shown with pauses of 250 ms), are over.
        watcher.settle(600);
    }

    drawn.clear();
    std::vector<double> drawn_ms;  // by the server's clock
    const double cpu_before = process_cpu_s(pid), server_before = process_cpu_s(xvfb.pid());
    const auto started = Clock::now();
    for (const KeySym symbol : {XK_Right, XK_Left}) {
        watcher.key(symbol, true);
        const auto until = started + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(walk_s * (symbol == XK_Right ? 0.5 : 1.0)));
        while (Clock::now() < until)
            watcher.wait_for_change(static_cast<int>(std::max(1.0, milliseconds(until - Clock::now()))), &drawn, &drawn_ms);
        watcher.key(symbol, false);
    }
    run.walk_s = seconds_since(started);
    const double cpu = process_cpu_s(pid) - cpu_before, server = process_cpu_s(xvfb.pid()) - server_before;
    run.frames = static_cast<int>(drawn.size());
    // A busy machine shows few pictures of a large screen in the smoke run's one
    // second: that is a figure, not a failure; none at all is.
    if (run.frames < 2) return failed("the walk showed " + std::to_string(run.frames) + " pictures");
    run.cpu_per_frame_s = cpu / run.frames;
    run.server_cpu_per_frame_s = server / run.frames;
    run.late = late_frames(drawn_ms, &run.worst_late_ms);
    return run;
}

void walk_figures(int calls) {
    struct Setting {
        const char* name;
        const char* screen;
        bool fullscreen;
        const char* target;
    };
    const Setting settings[] = {
        {"window 640 x 480 (screen 1024 x 768)", "1024x768x24", false, ""},
        {"full screen 1920 x 1080", "1920x1080x24", true, "(target 1.5 ms)"},
        {"full screen 3840 x 2160", "3840x2160x24", true, "(target 3 ms)"},
    };
    // The full run: 5 s of walking and 30 presses in each setting; a smoke run (few calls) less.
    const double walk_s = calls >= 10 ? 5.0 : 1.0;
    const int presses = calls >= 10 ? std::max(30, calls) : calls;
    std::vector<double> all_presses;
    std::printf("walking in the real program under Xvfb (%.0f s holding an arrow, %d presses):\n", walk_s, presses);
    for (const Setting& setting : settings) {
        const WalkRun run = walk_in_program(setting.screen, setting.fullscreen, presses, walk_s);
        if (!run.failure.empty()) {
            std::printf("  %-50s failed: %s\n", setting.name, run.failure.c_str());
            g_failed = true;
            continue;
        }
        std::printf("  %-50s %9.2f ms %s\n", setting.name, run.cpu_per_frame_s * 1000, setting.target);
        std::printf("  %-50s %9.2f ms\n", "    the X server's time per frame", run.server_cpu_per_frame_s * 1000);
        std::printf("  %-50s %6d of %d (%.0f a second; the latest %.1f ms)\n",
                    "    frames later than their time by > 4 ms", run.late, run.frames, run.frames / run.walk_s,
                    run.worst_late_ms);
        std::printf("  %-50s %9.1f ms / %.1f ms\n", "    key press to changed picture, median / 95 %",
                    percentile(run.press_to_picture_ms, 0.5), percentile(run.press_to_picture_ms, 0.95));
        all_presses.insert(all_presses.end(), run.press_to_picture_ms.begin(), run.press_to_picture_ms.end());
    }
    if (!all_presses.empty())
        std::printf("%-52s %9.1f ms / %.1f ms (target 17 ms at the median)\n",
                    "key press to changed picture, all, median / 95 %", percentile(all_presses, 0.5),
                    percentile(all_presses, 0.95));
}

void memory_figures() {
    long long game_heap = 0, game_rss = 0, bare_heap = 0, bare_rss = 0;
    if (!run_child_mode("--session", game_heap, game_rss) || !run_child_mode("--bare-session", bare_heap, bare_rss)) {
        std::printf("%-52s %s\n", "heap peak", "failed");
        return;
    }
    const double mb = 1024.0 * 1024.0;
    print_memory("heap peak of a headless game session", game_heap / mb, bare_heap / mb,
                 "(target 24 MB; baseline: bare media layer)");
    print_memory("peak RSS of that session", game_rss / 1024.0, bare_rss / 1024.0);
}

int run_benchmark(int calls, const std::vector<std::string>& chosen) {
    auto wanted = [&](const char* figure) {
        return chosen.empty() || std::find(chosen.begin(), chosen.end(), figure) != chosen.end();
    };
    std::printf("Umbrane benchmark: medians of %d calls; ratio = median of (call / baseline right before it)\n", calls);
    {
        std::vector<double> times;
        for (int i = 0; i < 200; ++i) times.push_back(g_baseline.run());
        std::printf("%-52s %12s\n", "baseline: memcpy of a 640x480x4 frame + 169 tile blits",
                    duration_text(median(times)).c_str());
    }

    GameCopy game(false);
    set_game_folder(game.path());

    if (wanted("redraw")) {
    start_new_game(game);
    print_figure("redraw_screen, start map, headless", measure(calls * 10, [] {
                     return timed([] { redraw_screen(g_map.map, 0, 0, 0, 0); });
                 }, 20),
                 "(target 2 x)");
    }
    if (wanted("startup"))
        print_figure("start-up to first menu frame, headless", measure(calls, [&] { return headless_startup(game); }));
    if (wanted("program")) real_program_figures(std::max(5, calls / 2));
    if (wanted("steps")) startup_step_figures(calls, game);
    if (wanted("memory")) memory_figures();
    if (wanted("walk")) walk_figures(calls);
    if (wanted("paths")) path_figures(calls, game);
    if (wanted("scale")) scale_figures(calls);
    if (wanted("checksum")) {
    // The state a recording checks after every turn: on the start map, and on
    // a map whose every field has an event, a message and a transformation, with 625 monsters.
    start_new_game(game);
    const Figure start_map = measure(calls * 10, [] { return timed([] { (void)state_checksum(); }); }, 20);
    print_figure("state checksum of a turn, start map", start_map,
                 "(target: under 1 % of a walking frame's processor time)");
    std::printf("%-52s %11.2f %%   (of 0.9 ms, the walk's frame in a window)\n", "  share of a walking frame",
                start_map.median_s / 0.9e-3 * 100.0);
    fill_corner(kMapSize);
    print_figure("the same, 2,500 event fields and 625 monsters",
                 measure(calls * 10, [] { return timed([] { (void)state_checksum(); }); }, 20));
    }
    if (wanted("maps")) {
    start_new_game(game);
    fill_corner(25);
    save_map(g_map.map, "savegame\\quarter.xml");
    fill_corner(kMapSize);
    save_map(g_map.map, "savegame\\full.xml");
    double growth = 0;
    const std::vector<Figure> maps =
        measure_rounds(calls, {[] { return load_and_save_map("savegame\\quarter.xml"); },
                               [] { return load_and_save_map("savegame\\full.xml"); }},
                       2, &growth);
    print_figure("load_map + save_map, full map (2,500 event fields)", maps[1]);
    print_figure("load_map + save_map, quarter map (625 event fields)", maps[0]);
    std::printf("%-52s %12.1f    (4 when linear)\n", "  growth from the quarter to the full map", growth);
    }
    if (wanted("saves")) {
        // One save step of the start map and the character, with and without the syncs to the disk.
        start_new_game(game);
        auto save_step = [] {
            return timed([] {
                SaveBatch save("savegame");
                save_map(g_map.map, "savegame\\map_start.xml");
                save_character(g_character_model.character, "savegame\\character.xml");
                save.commit();
            });
        };
        set_durable_saves(false);
        print_figure("save step (map + character), not synced", measure(calls, save_step));
        set_durable_saves(true);
        print_figure("save step (map + character), synced to the disk", measure(calls, save_step));
    }
    if (wanted("levels")) {
        // The Old Cave's first level, made 49 x 49 fields large.
        start_new_game(game);
        if (g_map.level_exits.empty()) throw std::runtime_error("the start map has no dungeon");
        DungeonRecord record = *g_map.level_exits.begin();
        record.dimension_x = 49;
        record.dimension_y = 49;
        record.entrance_to_level = 1;
        for (const char* maker : {"maze", "rooms", "caverns"}) {
            record.level_maker = maker;
            const std::string name = std::string("create_level, 49 x 49 (made and saved), ") + maker;
            print_figure(name.c_str(), measure(calls, [&] {
                             seed_random(5);
                             return timed([&] { create_level(g_map.map, record); });
                         }));
        }
    }
    if (wanted("check")) {
        // Every file read, every name looked up, every level of the Old Cave made with 20 seeds.
        print_figure("umbrane --check of the shipped game (the command)",
                     measure(calls, [&] { return program_seconds({g_executable, "--check", game.path()}); }, 1),
                     "(target 2 s)");
        print_figure("check_game, the same in the process, headless",
                     measure(calls, [&] { return timed([&] { check_game(game.path()); }); }, 1));
        set_game_folder(game.path());
    }
    if (wanted("monsters")) {
        for (bool far_away : {false, true}) {
            start_new_game(game);
            place_monsters(200, far_away);
            const GameList<Monster> monsters = g_map.monsters;
            const CharacterRecord hero = g_character_model.character;
            const CommonState common = g_common;
            print_figure(far_away ? "monster turn, 200 monsters, none near (14 fields)"
                                  : "monster turn, 200 monsters, start map",
                         measure(calls, [&] {
                             g_map.monsters = monsters;
                             g_character_model.character = hero;
                             g_common = common;
                             seed_random(11);
                             return timed([] {
                                 const CharacterRecord& c = g_character_model.character;
                                 const int x = c.x, y = c.y;
                                 move_monsters();
                                 monster_melee_attack(x, y - 1);
                                 monster_melee_attack(x + 1, y);
                                 monster_melee_attack(x, y + 1);
                                 monster_melee_attack(x - 1, y);
                                 regenerate_monsters();
                             });
                         }));
        }
    }
    media_close();
    return g_failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--session") return session_mode();
    if (mode == "--bare-session") return bare_session_mode();
    if (mode == "--bare-window") return bare_window_mode();
    if (mode == "--window-steps") return window_steps_mode();
    int calls = 21;
    std::vector<std::string> chosen;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--calls" && i + 1 < argc) calls = std::max(3, std::atoi(argv[++i]));
        else if (argument == "--executable" && i + 1 < argc) g_executable = argv[++i];
        else if (argument.rfind("--", 0) != 0) chosen.push_back(argument);
        else {
            std::fprintf(stderr, "usage: umbrane_bench [--calls N] [--executable PATH] [redraw|startup|program|steps|memory|checksum|maps|saves|levels|check|monsters|walk|paths|scale]...\n");
            return 2;
        }
    }
    try {
        return run_benchmark(calls, chosen);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "umbrane_bench: %s\n", error.what());
        return 1;
    }
}
