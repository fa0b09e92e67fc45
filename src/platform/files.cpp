#include "platform/files.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
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

namespace {
fs::path readable_path(const std::string& logical_path);
}

long long file_size(const std::string& logical_path) {
    std::error_code error;
    fs::path path = readable_path(logical_path);
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

namespace {

// The batch whose renames wait; nullptr when none is open.
SaveBatch* g_open_batch = nullptr;

// The list of a batch's renames, in its folder.
constexpr const char* RENAME_LIST = "renames.pending";
// Temporaries are named after their target: "character.xml" + ".tmp-" + process id.
constexpr const char* TEMPORARY_MARK = ".tmp-";

fs::path temporary_for(const fs::path& target) {
    fs::path temporary = target;
    temporary += TEMPORARY_MARK + std::to_string(getpid());
    return temporary;
}

bool write_temporary(const fs::path& temporary, const void* data, size_t size) {
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.flush();
        if (out) return true;
    }
    fs::remove(temporary, error);
    return false;
}

bool rename_over(const fs::path& temporary, const fs::path& target) {
    std::error_code error;
    fs::rename(temporary, target, error);
    if (!error) return true;
    std::error_code ignored;
    fs::remove(temporary, ignored);
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

// Where a file is read from: a file written into the open batch reads as written
// (its temporary) until the batch renames it, so a save step sees its own saves.
fs::path readable_path(const std::string& logical_path) {
    const std::string target = host_path(logical_path);
    const std::string temporary = SaveBatch::pending_temporary(target);
    return temporary.empty() ? target : temporary;
}

}  // namespace

bool write_file_atomically(const std::string& logical_path, const void* data, size_t size) {
    // Every save but the screenshot (a picture, made at whatever moment the clock shows) is checked by replays.
    if (fs::path(logical_path).extension() != ".jpg") recording::note_save(logical_path, data, size);
    fs::path target = host_path(logical_path);
    std::error_code error;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    const fs::path temporary = temporary_for(target);
    if (!write_temporary(temporary, data, size)) return false;
    SaveBatch* batch = g_open_batch;
    if (batch && folder_key(target.parent_path()) == batch->folder_) {
        std::erase_if(batch->pending_, [&](const SaveBatch::Pending& p) { return p.target == target.string(); });
        batch->pending_.push_back({temporary.string(), target.string()});
        return true;
    }
    return rename_over(temporary, target);
}

std::string SaveBatch::pending_temporary(const std::string& target) {
    if (g_open_batch)
        for (const Pending& p : g_open_batch->pending_)
            if (p.target == target) return p.temporary;
    return "";
}

SaveBatch::SaveBatch(const std::string& logical_folder)
    : folder_(folder_key(host_path(logical_folder))), outer_(g_open_batch) {
    if (!outer_) g_open_batch = this;
}

SaveBatch::~SaveBatch() {
    if (outer_) return;
    if (g_open_batch == this) g_open_batch = nullptr;
    std::error_code ignored;
    for (const Pending& p : pending_) fs::remove(p.temporary, ignored);
}

bool SaveBatch::commit() {
    if (outer_) return true;  // the outer batch renames
    if (g_open_batch == this) g_open_batch = nullptr;
    if (pending_.empty()) return true;
    const fs::path list = fs::path(folder_) / RENAME_LIST;
    std::string lines;
    for (const Pending& p : pending_)
        lines += fs::path(p.temporary).filename().string() + "\t" + fs::path(p.target).filename().string() + "\n";
    const bool listed = write_through_temporary(list, lines);
    bool renamed = true;
    for (const Pending& p : pending_) {
        std::error_code error;  // a temporary that stays is renamed at the next start-up
        fs::rename(p.temporary, p.target, error);
        renamed = renamed && !error;
    }
    pending_.clear();
    std::error_code ignored;
    if (listed && renamed) fs::remove(list, ignored);
    return renamed;
}

void finish_interrupted_save(const std::string& logical_folder) {
    const fs::path folder = host_path(logical_folder);
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
            if (temporary.empty() || target.empty() || temporary.string() != line.substr(0, tab) ||
                target.string() != line.substr(tab + 1))
                continue;
            std::error_code error;
            if (fs::is_regular_file(folder / temporary, error)) rename_over(folder / temporary, folder / target);
        }
        std::error_code ignored;
        fs::remove(list, ignored);
    }
    for (const FolderEntry& entry : list_folder(logical_folder, "*")) {
        if (entry.type != 1 || !is_temporary_name(entry.name)) continue;
        std::error_code ignored;
        fs::remove(folder / entry.name, ignored);
    }
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
    std::error_code error;
    fs::path path = readable_path(logical_path);
    if (!fs::is_regular_file(path, error)) return false;
    if (!file_within_limits(path.string())) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
}
