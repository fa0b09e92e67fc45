// The fuzz targets' inputs replayed in the ordinary build: the shipped files
// read without error (the save files write back unchanged), and every seed and
// every input a fuzz target once found is handled: refused with a fatal error
// or read, never a crash (the sanitizer build sees memory faults) and never a
// save file that changes when written back. A finding kept with a ".expected"
// file must come out exactly so: "accepted" or the fatal error's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/build_paths.h"
#include "fuzz/reader_harness.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = UMBRANE_SOURCE_DIR;

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped files that seed the reader (fuzz/shipped_seeds.txt).
std::vector<fs::path> shipped_seeds(const std::string& reader) {
    std::vector<fs::path> found;
    std::istringstream lines(contents(kSource / "fuzz" / "shipped_seeds.txt"));
    std::string name, pattern;
    while (lines >> name >> pattern) {
        if (name != reader) continue;
        const fs::path folder = kSource / "game" / fs::path(pattern).parent_path();
        for (const auto& entry : fs::directory_iterator(folder))
            if (wildcard_match(fs::path(pattern).filename().string(), entry.path().filename().string()))
                found.push_back(entry.path());
    }
    return found;
}

std::vector<fs::path> files_in(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file() && entry.path().extension() != ".expected") found.push_back(entry.path());
    return found;
}

class FuzzReplay : public ::testing::Test {
protected:
    void SetUp() override { prepare_fuzz_readers((kSource / "game").string()); }
    void TearDown() override { set_game_folder(UMBRANE_GAME_DIR); }
};

}  // namespace

TEST_F(FuzzReplay, ShippedFilesAndSeedsReadAndWriteBack) {
    for (const FuzzReader& reader : fuzz_readers()) {
        SCOPED_TRACE(reader.name);
        EXPECT_TRUE(fs::is_regular_file(kSource / "fuzz" / "dict" / (std::string(reader.name) + ".dict")));
        std::vector<fs::path> seeds = shipped_seeds(reader.name);
        for (const fs::path& own : files_in(kSource / "fuzz" / "seeds" / reader.name)) seeds.push_back(own);
        EXPECT_FALSE(seeds.empty());
        for (const fs::path& seed : seeds) {
            const FuzzResult result = run_fuzz_reader(reader, contents(seed));
            EXPECT_EQ(result.outcome, FuzzOutcome::accepted) << seed << ": " << result.detail;
        }
    }
}

TEST_F(FuzzReplay, KeptFindingsAreHandled) {
    int replayed = 0;
    for (const FuzzReader& reader : fuzz_readers()) {
        for (const fs::path& finding : files_in(kSource / "fuzz" / "regressions" / reader.name)) {
            SCOPED_TRACE(finding.string());
            const FuzzResult result = run_fuzz_reader(reader, contents(finding));
            ++replayed;
            EXPECT_NE(result.outcome, FuzzOutcome::unstable) << result.detail;
            fs::path expected_file = finding;
            expected_file.replace_extension(".expected");
            if (!fs::exists(expected_file)) continue;
            std::string expected = contents(expected_file);
            while (!expected.empty() && expected.back() == '\n') expected.pop_back();
            if (expected == "accepted") EXPECT_EQ(result.outcome, FuzzOutcome::accepted) << result.detail;
            else EXPECT_EQ(result.detail, expected);
        }
    }
    RecordProperty("replayed", replayed);
}
