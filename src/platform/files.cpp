#include "platform/files.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::string& folder() {
    static std::string game_folder_path = ".";
    return game_folder_path;
}
}  // namespace

void set_game_folder(const std::string& path) { folder() = path; }
const std::string& game_folder() { return folder(); }

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
    return (fs::path(folder()) / path).string();
}

long long file_size(const std::string& logical_path) {
    std::error_code error;
    fs::path path = host_path(logical_path);
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

bool write_file_atomically(const std::string& logical_path, const void* data, size_t size) {
    fs::path target = host_path(logical_path);
    std::error_code error;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    fs::path temporary = target;
    temporary += ".tmp-" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

bool write_file_atomically(const std::string& logical_path, const std::string& content) {
    return write_file_atomically(logical_path, content.data(), content.size());
}

bool read_whole_file(const std::string& logical_path, std::string& content) {
    std::error_code error;
    fs::path path = host_path(logical_path);
    if (!fs::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
}
