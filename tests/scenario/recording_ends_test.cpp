// Recordings judged rightly: a recording that ends early (a killed session, a
// cut file) is told as ending early, with how far it matched, never as a
// replay that differs; a replay's scratch folder that a killed replay left is
// removed by the next one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/random.h"
#include "platform/recording.h"
#include "scenario/scenario_support.h"
#include "shell/recorded_session.h"

namespace fs = std::filesystem;

namespace {

// A session: a new game, two steps down, Escape (a save), the menu left.
std::string record_session(const TempGameFolder& folder) {
    const std::string file = folder.path() + "/session.umbrec";
    seed_random(7);
    start_session_recording(7, file);
    new_game_without_picks(500);
    tap(1500, key::down);
    tap(2000, key::down);
    tap(3000, key::escape);
    tap(4000, key::escape);
    play_session(20000);
    recording::finish_recording();
    return file;
}

std::string verify(const std::string& file, int& status) {
    testing::internal::CaptureStdout();
    status = replay_session(file, ReplayKind::verify);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(RecordingEnds, ARecordingThatEndsEarlyIsToldSoAtItsLastCompleteBlock) {
    TempGameFolder folder;
    write_fixture_game(folder);
    const std::string file = record_session(folder);
    int status = -1;
    EXPECT_EQ(verify(file, status), "replay matches\n");
    EXPECT_EQ(status, 0);

    // The session killed before its last saves were written down: the items end before the Escape's save.
    std::string bytes;
    ASSERT_TRUE(read_whole_file(file, bytes));
    recording::Recording rec;
    std::string error;
    ASSERT_TRUE(recording::decode(bytes, rec, error)) << error;
    size_t last_save = rec.items.size();
    while (last_save > 0 && rec.items[last_save - 1].kind != recording::ItemKind::save) --last_save;
    ASSERT_GT(last_save, 1u);
    const std::vector<recording::Item> before(rec.items.begin(), rec.items.begin() + static_cast<long>(last_save - 1));
    const std::string killed = folder.path() + "/killed.umbrec";
    std::ofstream(killed, std::ios::binary) << recording::encode_header(rec.header) + recording::encode_items(before);
    std::string said = verify(killed, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("ends early at pass"), std::string::npos) << said;
    EXPECT_NE(said.find("up to there the replay matches"), std::string::npos) << said;

    // Cut inside its last block: the byte where the last complete one ends is named.
    const std::string whole_blocks = recording::encode_header(rec.header) + recording::encode_items(before);
    std::ofstream(killed, std::ios::binary) << whole_blocks + recording::encode_items(rec.items).substr(0, 9);
    said = verify(killed, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("its last complete block ends at byte " + std::to_string(whole_blocks.size())), std::string::npos)
        << said;
}

TEST(RecordingEnds, TheScratchFolderOfAKilledReplayIsRemovedByTheNext) {
    TempGameFolder folder;
    write_fixture_game(folder);
    const std::string file = record_session(folder);
    // A replay killed long ago: its process is gone. One of a replay still running stays.
    const fs::path gone = fs::temp_directory_path() / "umbrane-replay-2147483646-abcdef";
    const fs::path running = fs::temp_directory_path() / ("umbrane-replay-" + std::to_string(getpid()) + "-abcdef");
    fs::create_directories(gone / "savegame");
    fs::create_directories(running);
    int status = -1;
    verify(file, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::exists(running));
    fs::remove_all(running);
}
