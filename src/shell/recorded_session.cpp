#include "shell/recorded_session.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <cerrno>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/common_state.h"
#include "common/message_ids.h"
#include "common/raise_error.h"
#include "game/hall_of_fame.h"
#include "platform/files.h"
#include "platform/media.h"
#include "platform/recording.h"
#include "platform/strings.h"
#include "shell/main_loop.h"
#include "shell/startup.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* PREFERENCES_FILE = "config\\preferences.xml";
constexpr const char* RECORDING_PATTERN = "*.umbrec";

std::string local_time(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// The files a session starts from: the preferences and the saved game.
std::vector<recording::EmbeddedFile> starting_files() {
    std::vector<recording::EmbeddedFile> files;
    recording::EmbeddedFile preferences{PREFERENCES_FILE, ""};
    if (read_whole_file(PREFERENCES_FILE, preferences.content)) files.push_back(preferences);
    for (const FolderEntry& entry : list_folder("savegame", "*.xml")) {
        if (entry.type != 1) continue;
        recording::EmbeddedFile file{"savegame\\" + entry.name, ""};
        if (read_whole_file(file.name, file.content)) files.push_back(file);
    }
    // The hall of fame a run's end adds to.
    recording::EmbeddedFile hall{HALL_OF_FAME_FILE, ""};
    if (read_whole_file(hall.name, hall.content)) files.push_back(hall);
    return files;
}

// A new file of the recordings folder named by the date and time; the oldest go.
std::string new_recording_file() {
    make_folder(RECORDINGS_FOLDER);
    const std::string stem = std::string(RECORDINGS_FOLDER) + "\\" + local_time("%Y-%m-%d_%H-%M-%S");
    std::string name = stem + ".umbrec";
    for (int n = 2; file_exists(name); ++n) name = stem + "_" + int_to_text(n) + ".umbrec";
    // The new one counts: RECORDINGS_KEPT - 1 older ones stay.
    std::vector<FolderEntry> kept = list_folder(RECORDINGS_FOLDER, RECORDING_PATTERN);
    for (size_t i = 0; i + RECORDINGS_KEPT <= kept.size(); ++i)
        delete_file(std::string(RECORDINGS_FOLDER) + "\\" + kept[i].name);
    return name;
}

// Only the files a session starts from, each in its own folder.
bool startable_name(const std::string& name) {
    if (name == PREFERENCES_FILE || name == HALL_OF_FAME_FILE) return true;
    const std::string folder = "savegame\\";
    if (name.rfind(folder, 0) != 0) return false;
    const std::string file = name.substr(folder.size());
    return file.size() > 4 && file.find_first_of("\\/") == std::string::npos && file.compare(file.size() - 4, 4, ".xml") == 0 &&
           file != "..";
}

std::string speed_text(int quarters) {
    if (quarters >= 4) return int_to_text(quarters / 4);
    return "1/" + int_to_text(4 / quarters);
}

void show_replay_status(const recording::ReplayStatus& status) {
    const std::string& pattern = message_text(status.paused ? msg::REPLAY_PAUSED_TITLE : msg::REPLAY_TITLE);
    std::string title = replace_all(pattern, "[title]", g_common.window_title);
    title = replace_all(title, "[speed]", speed_text(status.speed_quarters));
    set_window_title(title);
}

// The folder a replay's game writes into, removed when the replay ends.
class ReplayFolder {
public:
    ReplayFolder() {
        remove_left_behind();
        std::string pattern = (fs::temp_directory_path() / (PREFIX + std::to_string(getpid()) + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data())) raise_error("replay: no folder for the replay's savegame can be made");
        path_ = pattern;
        previous_ = writable_folder();
        set_writable_folder(path_);
    }
    ~ReplayFolder() {
        set_writable_folder(previous_);  // an installed game's user data folder
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ReplayFolder(const ReplayFolder&) = delete;
    ReplayFolder& operator=(const ReplayFolder&) = delete;

private:
    static constexpr const char* PREFIX = "umbrane-replay-";
    // The folders of replays that were killed: named by a process that is gone, and this user's own.
    static void remove_left_behind() {
        std::error_code error;
        for (fs::directory_iterator it(fs::temp_directory_path(error), error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.rfind(PREFIX, 0) != 0) continue;
            const std::string rest = name.substr(std::string(PREFIX).size());
            const long pid = std::strtol(rest.c_str(), nullptr, 10);
            struct stat info {};
            if (pid <= 0 || rest.find('-') == std::string::npos || ::lstat(it->path().c_str(), &info) != 0 ||
                !S_ISDIR(info.st_mode) || info.st_uid != getuid())
                continue;
            if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // still replaying
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
    std::string path_;
    std::string previous_;  // the writable folder before the replay
};

// The replay's own ends, told as the kind of replay asks.
int replay_outcome(ReplayKind kind, const recording::ReplayEnded& end, const std::string& file, size_t cut_at) {
    using Reason = recording::ReplayEnded::Reason;
    switch (end.reason()) {
    case Reason::stopped: return 0;
    case Reason::differs:
        std::printf("replay differs at %s\n", end.what());
        return 1;
    case Reason::input_ended:
        std::printf("the recording %s ends early at %s without the session's end (the game was killed, or the file is "
                    "cut%s)%s\n",
                    file.c_str(), recording::replay_position().c_str(),
                    cut_at > 0 ? (": its last complete block ends at byte " + std::to_string(cut_at)).c_str() : "",
                    kind == ReplayKind::verify ? "; up to there the replay matches" : "");
        return 1;
    }
    return 1;
}

}  // namespace

void start_session_recording(uint32_t seed, const std::string& host_file) {
    if (const std::string fault = link_out_of_own_folders(); !fault.empty()) raise_error(fault);
    make_folder("savegame");
    finish_interrupted_save("savegame");
    recording::Header header;
    header.program_version = UMBRANE_VERSION;
    header.seed = seed;
    header.started = local_time("%Y-%m-%d %H:%M:%S");
    header.files = starting_files();
    const std::string file = host_file.empty() ? host_path(new_recording_file()) : host_file;
    recording::start_recording(file, header);
}

recording::Recording read_recording(const std::string& file) {
    std::string bytes;
    if (!read_whole_file(file, bytes)) raise_error("replay: cannot read the recording " + quoted(file));
    recording::Recording rec;
    std::string wrong;
    if (!recording::decode(bytes, rec, wrong))
        raise_error("replay: the recording " + quoted(file) + " cannot be replayed: " + wrong);
    if (rec.header.program_version != UMBRANE_VERSION)
        raise_error("replay: the recording " + quoted(file) + " was made by Umbrane " + rec.header.program_version +
                    ", this is Umbrane " + UMBRANE_VERSION);
    for (const recording::EmbeddedFile& embedded : rec.header.files)
        if (!startable_name(embedded.name))
            raise_error("replay: the recording " + quoted(file) + " holds a file no game starts from: " +
                        quoted(embedded.name));
    return rec;
}

int replay_session(const std::string& recording_file, ReplayKind kind, const std::string& new_recording) {
    const recording::Recording rec = read_recording(recording_file);
    ReplayFolder folder;
    for (const recording::EmbeddedFile& file : rec.header.files)
        if (!write_file_atomically(file.name, file.content))
            raise_error("replay: cannot unpack " + quoted(file.name) + " of the recording");
    const BackendKind backend = kind == ReplayKind::window ? BackendKind::desktop : BackendKind::headless;
    int status = 0;
    auto set_up = [&] {
        // A replay nobody watches need not draw.
        set_screen_drawing(kind == ReplayKind::window);
        if (kind == ReplayKind::rerecord && !recording::start_recording(new_recording, rec.header))
            raise_error("replay: cannot write the new recording " + quoted(new_recording));
        recording::set_replay_status_hook(show_replay_status);
        recording::start_replay(rec, kind == ReplayKind::window   ? recording::ReplayMode::window
                                     : kind == ReplayKind::verify ? recording::ReplayMode::verify
                                                                  : recording::ReplayMode::rerecord);
    };
    // The session from its start-up on, as it was played: its end is compared with the recorded one.
    auto play = [&](void (*start)()) {
        try {
            try {
                start();
                run_main_loop();
                recording::finish_replay();
                if (kind == ReplayKind::rerecord) recording::finish_recording();
            } catch (const FatalError& error) {
                if (!recording::replay_fatal_error_matches(error.what()))
                    throw recording::ReplayEnded(recording::ReplayEnded::Reason::differs,
                                                 recording::replay_position() + ": the game stopped with the error: " + error.what());
                if (kind == ReplayKind::rerecord) recording::finish_recording_with_error(error.what());
            }
            if (kind != ReplayKind::window) std::printf("replay matches\n");
        } catch (const recording::ReplayEnded& end) {
            status = replay_outcome(kind, end, recording_file, rec.cut_at);
            if (kind == ReplayKind::rerecord && status != 0) std::printf("no new recording was made\n");
        }
    };
    start_session(backend, rec.header.seed, set_up, play);
    std::fflush(stdout);
    recording::stop_replay();
    if (kind == ReplayKind::rerecord && status != 0) {
        recording::finish_recording();
        std::error_code ignored;
        fs::remove(new_recording, ignored);
    }
    set_screen_drawing(true);
    media_close();
    return status;
}
