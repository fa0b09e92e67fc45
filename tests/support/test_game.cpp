#include "support/test_game.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "shell/game_state.h"

namespace fs = std::filesystem;

TempGameFolder::TempGameFolder() {
    std::string pattern = (fs::temp_directory_path() / "umbrane-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("cannot create a temporary game folder");
    path_ = made;
    set_game_folder(path_);
    headless::reset();
    seed_random(12345);
    reset_game_state();
}

TempGameFolder::~TempGameFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempGameFolder::write(const std::string& logical_path, const std::string& content) const {
    fs::path target = host_path(logical_path);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << content;
}

void TempGameFolder::copy_shipped(const std::string& folder) const {
    fs::copy(fs::path(UMBRANE_SOURCE_DIR) / "game" / folder, fs::path(path_) / folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void TempGameFolder::copy_all_shipped() const {
    for (const char* folder : {"config", "data", "graphics", "maps", "sound", "tilesets"}) copy_shipped(folder);
}
