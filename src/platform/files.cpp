#include "platform/files.h"
#include "platform/strings.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/recording.h"

namespace fs = std::filesystem;

namespace {
std::string& folder() {
    static std::string game_folder_path = ".";
    return game_folder_path;
}
std::string& writable_folder_setting() {
    static std::string path;
    return path;
}
// The user's preferences folder ($XDG_CONFIG_HOME/umbrane) and the writable
// folder it belongs to: it holds preferences.xml only while that one is in use,
// so a replay's folder of its own takes the preferences too.
struct PreferencesFolder {
    std::string folder, for_writable;
};
PreferencesFolder& preferences_folder_setting() {
    static PreferencesFolder setting;
    return setting;
}
constexpr const char* kPreferencesPath = "config/preferences.xml";
// The logical paths the game writes (slashes already): its savegame and its preferences.
bool is_writable_path(const std::string& path) {
    return path == "savegame" || path.rfind("savegame/", 0) == 0 || path == kPreferencesPath;
}

bool writable(const fs::path& folder) { return access(folder.c_str(), W_OK) == 0; }

bool is_folder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// An absolute path from the environment, or empty.
std::string absolute_from_environment(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}
}  // namespace

void set_writable_folder(const std::string& host_folder) { writable_folder_setting() = host_folder; }
const std::string& writable_folder() { return writable_folder_setting(); }

void set_game_folder(const std::string& path) { folder() = path; }
const std::string& game_folder() { return folder(); }
const std::string& save_folder() { return writable_folder().empty() ? folder() : writable_folder(); }

namespace {
// $NAME/umbrane, else HOME/FALLBACK/umbrane (home from $HOME or the password
// database); empty when there is no home at all.
std::string user_folder(const char* name, const char* fallback) {
    std::string base = absolute_from_environment(name);  // a relative one counts as unset
    if (base.empty()) {
        std::string home = absolute_from_environment("HOME");
        if (home.empty()) {
            const passwd* user = getpwuid(getuid());
            if (user && user->pw_dir && user->pw_dir[0] == '/') home = user->pw_dir;
        }
        if (home.empty()) return "";
        base = (fs::path(home) / fallback).string();
    }
    return (fs::path(base) / "umbrane").string();
}
}  // namespace

std::string user_data_folder() { return user_folder("XDG_DATA_HOME", ".local/share"); }
std::string user_config_folder() { return user_folder("XDG_CONFIG_HOME", ".config"); }

GameFolders locate_game_folders(const std::string& executable_folder) {
    GameFolders folders;
    const fs::path beside = executable_folder;
    // Installed: Debian's PREFIX/games beside PREFIX/share/games/umbrane, or PREFIX/bin beside PREFIX/share/umbrane.
    fs::path installed;
    for (const char* data : {"share/games/umbrane", "share/umbrane"}) {
        const fs::path candidate = (beside.parent_path() / data).lexically_normal();
        if (installed.empty() && is_folder(candidate)) installed = candidate;
    }
    folders.installed = !is_folder(beside / "config") && !is_folder(beside / "data") && !installed.empty();
    folders.game = folders.installed ? installed.string() : executable_folder;
    // A folder the game writes into as always: itself and the folders it writes into writable.
    const fs::path game = folders.game;
    bool can_write = !folders.installed && writable(game);
    for (const char* own : {"savegame", "config"})
        if (can_write && is_folder(game / own)) can_write = writable(game / own);
    folders.save = folders.game;
    if (!can_write) {
        const std::string user = user_data_folder();
        if (!user.empty()) folders.save = user;
        folders.preferences = user_config_folder();
    }
    return folders;
}

namespace {
fs::path temporary_for(const fs::path& target);
bool rename_over(const fs::path& temporary, const fs::path& target);

// Moves a file, across file systems too; false when nothing was moved.
bool move_file(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_directories(to.parent_path(), error);
    fs::rename(from, to, error);
    if (!error) return true;
    // Another file system: a whole copy first, so that a killed game never leaves half of one.
    const fs::path temporary = temporary_for(to);
    error.clear();
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
    if (error || !rename_over(temporary, to)) return false;
    fs::remove(from, error);
    return true;
}
}  // namespace

void use_game_folders(const GameFolders& folders) {
    set_game_folder(folders.game);
    set_writable_folder(folders.save == folders.game ? "" : folders.save);
    preferences_folder_setting() = {folders.save == folders.game ? "" : folders.preferences, writable_folder()};
    if (folders.save == folders.game) return;
    // The user's preferences: the ones an earlier version kept in the user's data
    // folder, moved once, else a copy of the shipped ones.
    const fs::path old_place = fs::path(folders.save) / kPreferencesPath;
    std::error_code error;
    if (!folders.preferences.empty() && !file_exists("config\\preferences.xml") && fs::is_regular_file(old_place, error))
        move_file(old_place, host_path("config\\preferences.xml"));
    const std::string shipped = (fs::path(folders.game) / kPreferencesPath).string();
    std::string content;
    if (!file_exists("config\\preferences.xml") && read_whole_file(shipped, content))
        write_file_atomically("config\\preferences.xml", content);
}

std::string executable_folder() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return exe.parent_path().string();
}

std::string host_path(const std::string& logical_path) {
    std::string path = logical_path;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] == '/') return path;
    const PreferencesFolder& preferences = preferences_folder_setting();
    if (path == kPreferencesPath && !preferences.folder.empty() && preferences.for_writable == writable_folder())
        return (fs::path(preferences.folder) / "preferences.xml").string();
    return (fs::path(is_writable_path(path) ? save_folder() : folder()) / path).string();
}

long long file_size(const std::string& logical_path) {
    const std::string* content = nullptr;
    bool missing = false;
    if (SaveBatch::pending_content(host_path(logical_path), content, missing))
        return missing ? -1 : static_cast<long long>(content->size());
    std::error_code error;
    const fs::path path = host_path(logical_path);
    if (!fs::is_regular_file(path, error)) return -1;
    auto size = fs::file_size(path, error);
    return error ? -1 : static_cast<long long>(size);
}

bool file_exists(const std::string& logical_path) { return file_size(logical_path) >= 0; }

bool wildcard_match(const std::string& pattern, const std::string& name) {
    // Iterative matcher with backtracking over the last "*"; letters compare case-blind.
    size_t p = 0, n = 0, star = std::string::npos, resume = 0;
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<FolderEntry> list_folder(const std::string& logical_folder, const std::string& pattern) {
    std::vector<FolderEntry> entries;
    std::error_code error;
    fs::directory_iterator it(host_path(logical_folder), error), end;
    if (error) return entries;
    for (; it != end; it.increment(error)) {
        if (error) break;
        std::string name = it->path().filename().string();
        if (!wildcard_match(pattern, name)) continue;
        FolderEntry entry;
        entry.name = name;
        std::error_code type_error;
        entry.type = it->is_regular_file(type_error) ? 1 : (it->is_directory(type_error) ? 2 : 0);
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

bool delete_file(const std::string& logical_path) {
    std::error_code error;
    return fs::remove(host_path(logical_path), error) && !error;
}

bool make_folder(const std::string& logical_folder) {
    std::error_code error;
    fs::create_directories(host_path(logical_folder), error);
    return fs::is_directory(host_path(logical_folder), error);
}

std::string unwritable_savegame_folders() {
    if (make_folder("savegame") && writable(host_path("savegame"))) return "";
    // The game folder comes first; a save folder of the user's was taken because it could not be written
    // (or holds an installed game).
    std::string tried = quoted((fs::path(folder()) / "savegame").string());
    if (!writable_folder().empty()) tried += " and " + quoted((fs::path(writable_folder()) / "savegame").string());
    return tried;
}

namespace {

// The batch whose renames wait; nullptr when none is open.
SaveBatch* g_open_batch = nullptr;

// The list of a batch's renames, in its folder.
constexpr const char* RENAME_LIST = "renames.pending";
// The names of the files the game saved into a folder (the savegame), one a
// line: clearing the savegame removes these and nothing else.
constexpr const char* SAVED_LIST = "saved_files.list";
// Temporaries are named after their target: "character.xml" + ".tmp-" + process id.
constexpr const char* TEMPORARY_MARK = ".tmp-";

// Injected faults (tests): the operation counted as `g_fault_at` fails with
// `g_fault_error`, and with `g_fault_sticky` every one after it too.
long g_fault_at = 0, g_operations = 0;
int g_fault_error = 0;
bool g_fault_sticky = false;
bool g_durable = true;

// Counts one operation that changes a file; false (errno set) when it is to fail.
bool operation_allowed() {
    ++g_operations;
    if (g_fault_at > 0 && (g_operations == g_fault_at || (g_fault_sticky && g_operations > g_fault_at))) {
        errno = g_fault_error;
        return false;
    }
    return true;
}

fs::path temporary_for(const fs::path& target) {
    fs::path temporary = target;
    temporary += TEMPORARY_MARK + std::to_string(getpid());
    return temporary;
}

void sync_folder(const fs::path& folder) {
    if (!g_durable) return;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// Writes the whole temporary and syncs it to the disk; on failure removes it
// and leaves the cause in errno.
bool write_temporary(const fs::path& temporary, const void* data, size_t size) {
    int fd = -1;
    bool written = operation_allowed();
    // A link where the temporary goes is never followed.
    if (written) {
        ::unlink(temporary.c_str());
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
        written = fd >= 0;
    }
    const char* bytes = static_cast<const char*>(data);
    for (size_t done = 0; written && done < size;) {
        if (!operation_allowed()) {
            written = false;
            break;
        }
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            written = false;
        } else {
            done += static_cast<size_t>(n);
        }
    }
    if (written && g_durable && (!operation_allowed() || fsync(fd) != 0)) written = false;
    const int cause = errno;
    if (fd >= 0 && close(fd) != 0 && written) written = false;
    if (written) return true;
    ::unlink(temporary.c_str());
    errno = cause ? cause : EIO;
    return false;
}

bool rename_file(const fs::path& from, const fs::path& to) {
    return operation_allowed() && ::rename(from.c_str(), to.c_str()) == 0;
}

bool remove_file(const fs::path& path) { return operation_allowed() && ::unlink(path.c_str()) == 0; }

bool rename_over(const fs::path& temporary, const fs::path& target) {
    if (rename_file(temporary, target)) return true;
    const int cause = errno;
    ::unlink(temporary.c_str());
    errno = cause;
    return false;
}

bool write_through_temporary(const fs::path& target, const std::string& content) {
    const fs::path temporary = temporary_for(target);
    return write_temporary(temporary, content.data(), content.size()) && rename_over(temporary, target);
}

// A name as temporary_for makes them: the target's name, the mark, digits.
bool is_temporary_name(const std::string& name) {
    const size_t mark = name.rfind(TEMPORARY_MARK);
    if (mark == std::string::npos || mark == 0) return false;
    const std::string digits = name.substr(mark + std::string(TEMPORARY_MARK).size());
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string folder_key(const fs::path& folder) { return fs::absolute(folder).lexically_normal().string(); }

bool is_plain_file(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The save step of a folder that could not be written (a full disk): what it
// would have written stays here, is what the game reads, and goes into the
// folder's next save step.
struct Unsaved {
    std::string folder;  // folder_key; empty: nothing unsaved
    std::vector<std::pair<std::string, std::string>> files;  // target (host path), content
    bool replace = false;  // the step replaces the folder's saved game
};
Unsaved g_unsaved;

const std::string* unsaved_content(const std::string& target) {
    for (const auto& [file, content] : g_unsaved.files)
        if (file == target) return &content;
    return nullptr;
}

// The names the game saved into a folder. Without a list yet (a savegame of an
// earlier version of the game) its plain XML files are the game's.
std::vector<std::string> saved_names(const fs::path& folder) {
    std::vector<std::string> names;
    std::ifstream in(folder / SAVED_LIST);
    if (in) {
        for (std::string line; std::getline(in, line);)
            if (!line.empty() && fs::path(line).filename().string() == line) names.push_back(line);
        return names;
    }
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (wildcard_match("*.xml", name) && is_plain_file(it->path())) names.push_back(name);
    }
    return names;
}

std::string saved_list_text(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + "\n";
    return text;
}

// A file the game saved that replacing the saved game removes: the screenshot stays.
bool replaced_with_the_game(const std::string& name) { return !wildcard_match("*.jpg", name); }

}  // namespace

void inject_file_fault(long nth, int error, bool sticky) {
    g_fault_at = nth;
    g_fault_error = error;
    g_fault_sticky = sticky;
    g_operations = 0;
}

long file_operations() { return g_operations; }

void set_durable_saves(bool durable) { g_durable = durable; }

bool write_file_atomically(const std::string& logical_path, const void* data, size_t size) {
    // Every save but the screenshot (a picture, made at whatever moment the clock shows) is checked by replays.
    const bool picture = fs::path(logical_path).extension() == ".jpg";
    if (!picture) recording::note_save(logical_path, data, size);
    fs::path target = host_path(logical_path);
    std::error_code error;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    SaveBatch* batch = g_open_batch;
    if (batch && folder_key(target.parent_path()) == batch->folder_) {
        // The step's fault is told by its commit; what it writes is kept until then.
        std::erase_if(batch->pending_, [&](const SaveBatch::Pending& p) { return p.target == target.string(); });
        SaveBatch::Pending pending{temporary_for(target).string(), target.string(),
                                   std::string(static_cast<const char*>(data), size)};
        if (batch->error_ == 0 && !write_temporary(pending.temporary, data, size)) {
            if (picture) return true;  // a screenshot that does not fit never stops the save: it is left out
            batch->error_ = errno ? errno : EIO;
        }
        batch->pending_.push_back(std::move(pending));
        return true;
    }
    const fs::path temporary = temporary_for(target);
    if (!write_temporary(temporary, data, size) || !rename_over(temporary, target)) return false;
    sync_folder(target.parent_path());
    return true;
}

bool SaveBatch::pending_content(const std::string& target, const std::string*& content, bool& missing) {
    content = nullptr;
    missing = false;
    const std::string folder = folder_key(fs::path(target).parent_path());
    if (g_open_batch && g_open_batch->folder_ == folder) {
        for (const Pending& p : g_open_batch->pending_)
            if (p.target == target) content = &p.content;
    }
    if (!content && g_unsaved.folder == folder) content = unsaved_content(target);
    if (content) return true;
    // A saved game being replaced is gone for the reads of the new one.
    const bool replacing = (g_open_batch && g_open_batch->folder_ == folder && g_open_batch->replace_) ||
                           (g_unsaved.folder == folder && g_unsaved.replace);
    missing = replacing && replaced_with_the_game(fs::path(target).filename().string());
    return missing;
}

SaveBatch::SaveBatch(const std::string& logical_folder)
    : folder_(folder_key(host_path(logical_folder))), outer_(g_open_batch) {
    if (!outer_) g_open_batch = this;
}

SaveBatch::~SaveBatch() {
    if (outer_) return;
    if (g_open_batch == this) g_open_batch = nullptr;
    for (const Pending& p : pending_) ::unlink(p.temporary.c_str());
}

void SaveBatch::replace_saved_game() {
    if (outer_) outer_->replace_saved_game();
    else replace_ = true;
}

int SaveBatch::error() const { return outer_ ? outer_->error() : error_; }

bool SaveBatch::commit() {
    if (outer_) return true;  // the outer batch renames
    if (g_open_batch == this) g_open_batch = nullptr;
    const fs::path folder = folder_;
    // What an earlier step of this folder could not write comes along, under what this one writes.
    if (g_unsaved.folder == folder_) {
        std::vector<Pending> earlier;
        for (const auto& file : g_unsaved.files) {
            const auto& target = file.first;
            if (std::none_of(pending_.begin(), pending_.end(), [&](const Pending& p) { return p.target == target; }))
                earlier.push_back({temporary_for(target).string(), target, file.second});
        }
        for (Pending& p : earlier)
            if (error_ == 0 && !write_temporary(p.temporary, p.content.data(), p.content.size())) error_ = errno;
        pending_.insert(pending_.begin(), earlier.begin(), earlier.end());
        replace_ = replace_ || g_unsaved.replace;
    }
    if (pending_.empty() && !replace_) return error_ == 0;

    // The removals of a replaced game, then the list of saved files, then the renames (the character last).
    std::vector<std::string> removals, saved;
    const std::vector<std::string> before = saved_names(folder);
    auto written = [&](const std::string& name) {
        return std::any_of(pending_.begin(), pending_.end(),
                           [&](const Pending& p) { return fs::path(p.target).filename() == name; });
    };
    for (const std::string& name : before) {
        if (replace_ && replaced_with_the_game(name) && !written(name)) removals.push_back(name);
        else saved.push_back(name);
    }
    for (const Pending& p : pending_) {
        const std::string name = fs::path(p.target).filename().string();
        if (std::find(saved.begin(), saved.end(), name) == saved.end()) saved.push_back(name);
    }
    Pending list_of_saved{temporary_for(folder / SAVED_LIST).string(), (folder / SAVED_LIST).string(),
                          saved_list_text(saved)};
    if (error_ == 0 && !write_temporary(list_of_saved.temporary, list_of_saved.content.data(),
                                        list_of_saved.content.size()))
        error_ = errno;
    pending_.insert(pending_.begin(), list_of_saved);

    std::string lines;
    for (const std::string& name : removals) lines += "\t" + name + "\n";
    for (const Pending& p : pending_)
        lines += fs::path(p.temporary).filename().string() + "\t" + fs::path(p.target).filename().string() + "\n";
    const fs::path list = folder / RENAME_LIST;
    if (error_ == 0 && !write_through_temporary(list, lines)) error_ = errno;
    if (error_ != 0) {
        // Nothing of the step is in the folder: it is kept for the next one.
        g_unsaved.folder = folder_;
        g_unsaved.replace = replace_;
        g_unsaved.files.clear();
        for (Pending& p : pending_) {
            ::unlink(p.temporary.c_str());
            if (p.target != list_of_saved.target) g_unsaved.files.emplace_back(p.target, std::move(p.content));
        }
        pending_.clear();
        return false;
    }
    sync_folder(folder);
    bool done = true;
    for (const std::string& name : removals)
        if (!remove_file(folder / name) && errno != ENOENT) done = false;
    for (const Pending& p : pending_)
        if (!rename_file(p.temporary, p.target)) done = false;  // a temporary that stays is renamed at the next start-up
    if (!done && error_ == 0) error_ = errno ? errno : EIO;
    pending_.clear();
    sync_folder(folder);
    if (done) {
        ::unlink(list.c_str());
        sync_folder(folder);
    }
    if (g_unsaved.folder == folder_) g_unsaved = Unsaved{};
    return done;
}

void finish_interrupted_save(const std::string& logical_folder) {
    const fs::path folder = host_path(logical_folder);
    g_unsaved = Unsaved{};  // a start-up reads the folder as the disk holds it
    if (!link_out_of_own_folders().empty()) return;  // start-up refuses the folder
    const fs::path list = folder / RENAME_LIST;
    std::string lines;
    if (read_whole_file(logical_folder + "\\" + RENAME_LIST, lines)) {
        std::istringstream in(lines);
        std::string line;
        while (std::getline(in, line)) {
            const size_t tab = line.find('\t');
            if (tab == std::string::npos) continue;
            // Only plain file names of this folder.
            const fs::path temporary = fs::path(line.substr(0, tab)).filename();
            const fs::path target = fs::path(line.substr(tab + 1)).filename();
            if (target.empty() || temporary.string() != line.substr(0, tab) || target.string() != line.substr(tab + 1))
                continue;
            if (temporary.empty()) {
                // A file of the saved game the step replaced.
                if (is_plain_file(folder / target)) ::unlink((folder / target).c_str());
                continue;
            }
            if (is_plain_file(folder / temporary)) rename_over(folder / temporary, folder / target);
        }
        sync_folder(folder);
        ::unlink(list.c_str());
        sync_folder(folder);
    }
    for (const FolderEntry& entry : list_folder(logical_folder, "*")) {
        if (entry.type != 1 || !is_temporary_name(entry.name)) continue;
        ::unlink((folder / entry.name).c_str());
    }
}

void clear_saved_game(const std::string& logical_folder, const std::string& first) {
    const fs::path folder = host_path(logical_folder);
    if (g_unsaved.folder == folder_key(folder)) g_unsaved = Unsaved{};
    std::vector<std::string> names = saved_names(folder);
    // The character first: killed on the way, no character is left without its map.
    names.insert(names.begin(), first);
    for (const std::string& name : names)
        if (replaced_with_the_game(name) && is_plain_file(folder / name)) remove_file(folder / name);
    std::vector<std::string> kept;
    for (const std::string& name : saved_names(folder))
        if (!replaced_with_the_game(name) && is_plain_file(folder / name)) kept.push_back(name);
    if (file_size(logical_folder + "\\" + SAVED_LIST) >= 0 || !kept.empty())
        write_through_temporary(folder / SAVED_LIST, saved_list_text(kept));
    sync_folder(folder);
}

bool unsaved_changes() { return !g_unsaved.folder.empty(); }

std::string keep_aside(const std::string& logical_folder, const std::vector<std::string>& names) {
    const fs::path folder = host_path(logical_folder);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "damaged_%Y-%m-%d_%H-%M-%S", &local);
    std::string name = stamp;
    std::error_code error;
    for (int n = 2; fs::exists(folder / name, error); ++n) name = std::string(stamp) + "_" + std::to_string(n);
    fs::create_directories(folder / name, error);
    for (const std::string& file : names)
        if (is_plain_file(folder / file)) rename_file(folder / file, folder / name / file);
    sync_folder(folder);
    std::string logical = logical_folder + "\\" + name;
    std::replace(logical.begin(), logical.end(), '/', '\\');
    return logical;
}

std::vector<std::string> saved_game_files(const std::string& logical_folder) {
    std::vector<std::string> names;
    for (const std::string& name : saved_names(host_path(logical_folder)))
        if (replaced_with_the_game(name)) names.push_back(name);
    return names;
}

std::string link_out_of_own_folders() {
    std::error_code error;
    const fs::path base = save_folder();
    const fs::path real_base = fs::weakly_canonical(base, error);
    if (error) return "";
    // A link that stays inside the folder is the folder's own business.
    auto leads_out = [&](const fs::path& path) -> std::string {
        std::error_code link_error;
        if (!fs::is_symlink(path, link_error)) return "";
        const fs::path real = fs::weakly_canonical(path, link_error);
        const std::string inside = real_base.string() + "/";
        if (!link_error && real.string().rfind(inside, 0) == 0) return "";
        return "\"" + path.string() + "\" is a link to \"" + (link_error ? fs::read_symlink(path, link_error).string() : real.string()) +
               "\" outside the game's folder: the game writes only into its own folders";
    };
    for (const char* own : {"savegame", "savegame/recordings", "config", "config/preferences.xml"})
        if (std::string fault = leads_out(base / own); !fault.empty()) return fault;
    for (fs::directory_iterator it(base / "savegame", error), end; !error && it != end; it.increment(error))
        if (std::string fault = leads_out(it->path()); !fault.empty()) return fault;
    return "";
}

bool write_file_atomically(const std::string& logical_path, const std::string& content) {
    return write_file_atomically(logical_path, content.data(), content.size());
}

namespace {
long long g_largest_read = 0;
}

void limit_file_reads(long long largest) { g_largest_read = largest > 0 ? largest : 0; }

bool file_within_limits(const std::string& host_file) {
    if (g_largest_read == 0) return true;
    std::error_code error;
    const fs::path path(host_file);
    if (!fs::is_regular_file(path, error)) return false;
    const auto size = fs::file_size(path, error);
    if (error || static_cast<long long>(size) > g_largest_read) return false;
    // The kernel's files pretend to be plain files, and some of them wait for ever when read.
    const std::string real = fs::canonical(path, error).string();
    if (error) return false;
    for (const char* system : {"/proc/", "/sys/", "/dev/"})
        if (real.rfind(system, 0) == 0 && real.rfind("/dev/shm/", 0) != 0) return false;  // shared memory holds plain files
    return true;
}

bool read_whole_file(const std::string& logical_path, std::string& content) {
    // A file the save step under way (or one that could not be written) holds reads as that step wrote it.
    const std::string* kept = nullptr;
    bool missing = false;
    if (SaveBatch::pending_content(host_path(logical_path), kept, missing)) {
        if (missing) return false;
        content = *kept;
        return true;
    }
    std::error_code error;
    const fs::path path = host_path(logical_path);
    if (!fs::is_regular_file(path, error)) return false;
    if (!file_within_limits(path.string())) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
}
