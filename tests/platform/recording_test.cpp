// The recording format (written, read back, cut, damaged, hostile) and the
// input layer's recording and replay of what the game reads.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/recording.h"
#include "support/test_game.h"

using namespace recording;

namespace {

Item poll(uint32_t dt, std::vector<KeyState> keys) {
    Item item;
    item.kind = ItemKind::poll;
    item.dt = dt;
    item.keys = std::move(keys);
    return item;
}

Item of_kind(ItemKind kind, uint32_t count = 0, uint32_t value = 0, std::string text = "") {
    Item item;
    item.kind = kind;
    item.count = count;
    item.value = value;
    item.text = std::move(text);
    return item;
}

Header sample_header() {
    Header header;
    header.program_version = "0.1.0";
    header.seed = 4000000000u;
    header.started = "2024-05-01 18:30:05";
    header.files.push_back({"config\\preferences.xml", "<Umbrane_Preferences fullscreen=\"no\"/>"});
    recording::EmbeddedFile character;
    character.name = "savegame\\character.xml";
    character.content.assign(5000, 'x');
    character.content += "<character/>";
    header.files.push_back(std::move(character));
    return header;
}

std::string read_file(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(RecordingFormat, ReadsBackWhatItWroteAndReadsACutFileUpToItsLastWholeBlock) {
    Item mouse = of_kind(ItemKind::mouse);
    mouse.x = -3;
    mouse.y = 479;
    Item mouse_poll = of_kind(ItemKind::mouse_poll, 0, 1);
    mouse_poll.x = 640;
    Item turn = of_kind(ItemKind::turn, 300);
    turn.parts = {0xFFFFFFFFu, 0, 0x12345678u, 7};
    const std::vector<Item> first = {poll(1234, {{200, 2}, {56, 1}}), of_kind(ItemKind::repeat, 17),
                                     of_kind(ItemKind::window, 0, 2), mouse, mouse_poll, turn,
                                     of_kind(ItemKind::save, 24447, 0xDEADBEEF, "savegame\\map_start.xml")};
    const std::vector<Item> second = {poll(16, {{200, 3}}), poll(16, {{200, 0}}), of_kind(ItemKind::end)};
    const std::string start = encode_header(sample_header());
    const std::string bytes = start + encode_items(first) + encode_items(second);
    // The saved files are packed.
    EXPECT_LT(start.size(), 300u);

    Recording read;
    std::string error;
    ASSERT_TRUE(decode(bytes, read, error)) << error;
    EXPECT_TRUE(read.whole);
    EXPECT_EQ(read.cut_at, 0u);
    EXPECT_EQ(read.header.seed, 4000000000u);
    EXPECT_EQ(read.header.started, "2024-05-01 18:30:05");
    ASSERT_EQ(read.header.files.size(), 2u);
    EXPECT_EQ(read.header.files[1].name, "savegame\\character.xml");
    EXPECT_EQ(read.header.files[1].content, sample_header().files[1].content);
    std::vector<Item> all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(read.items, all);

    // Cut anywhere in the last block: the blocks before it read, without the session's end.
    const size_t second_at = start.size() + encode_items(first).size();
    for (size_t cut : {second_at, second_at + 1, bytes.size() - 1}) {
        ASSERT_TRUE(decode(bytes.substr(0, cut), read, error)) << cut << ": " << error;
        EXPECT_FALSE(read.whole);
        EXPECT_EQ(read.items, first);
        EXPECT_EQ(read.cut_at, cut == second_at ? 0u : second_at);
    }
    // Cut in the header: nothing to replay.
    EXPECT_FALSE(decode(bytes.substr(0, start.size() - 2), read, error));
    EXPECT_EQ(error, "its header is cut off");
}

TEST(RecordingFormat, RefusesDamagedAndHostileFilesWithWhatIsWrong) {
    const std::string start = encode_header(sample_header());
    struct Case {
        std::string bytes, error;
    };
    std::string damaged = start + encode_items({poll(5, {{28, 2}})});
    damaged[damaged.size() - 6] ^= 0x20;
    Header future = sample_header();
    future.format = 3;
    // A block whose checksum is right but whose items make no sense.
    auto raw_block = [](const std::string& content) {
        std::string summed = "I" + content;
        const uint32_t crc = checksum(summed.data(), summed.size());
        std::string out = "I" + std::string(1, static_cast<char>(content.size())) + content;
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
        return out;
    };
    const std::string unknown_item = raw_block(std::string("\x63\x00", 2));
    const std::vector<Case> cases = {
        {"", "it is no recording of this game (it does not begin as one)"},
        {"<Umbrane_Preferences/>", "it is no recording of this game (it does not begin as one)"},
        {damaged, "it is damaged: the block at byte " + std::to_string(start.size()) + " does not match its checksum"},
        {encode_header(future), "it is of format version 3, this game reads versions 1 to 2"},
        {start + unknown_item, "it is damaged: an unknown item (99) in the block at byte " + std::to_string(start.size())},
        // A million passes of nothing within a second.
        {start + encode_items({of_kind(ItemKind::repeat, 1000000), poll(1000, {{1, 2}})}),
         "it holds 1000000 passes without input within 1000 ms, more than any game takes"},
        {start + encode_items({of_kind(ItemKind::repeat, 1000000)}),
         "it ends with 1000000 passes without input, more than any game takes"},
        {start + encode_items({of_kind(ItemKind::end), poll(1, {{1, 2}})}), "it goes on after the session's end"},
        // Junk after a whole session: a part of a block, or a whole one.
        {start + encode_items({of_kind(ItemKind::end)}) + "junk",
         "it holds trailing data after the session's end, from byte " +
             std::to_string(start.size() + encode_items({of_kind(ItemKind::end)}).size())},
        {start + encode_items({of_kind(ItemKind::end)}) + encode_items({poll(1, {{1, 2}})}),
         "it holds trailing data after the session's end, from byte " +
             std::to_string(start.size() + encode_items({of_kind(ItemKind::end)}).size())},
        {start + encode_items({of_kind(ItemKind::window, 0, 7)}),
         "it is damaged: an unknown window event in the block at byte " + std::to_string(start.size())},
    };
    for (const Case& c : cases) {
        Recording read;
        std::string error;
        EXPECT_FALSE(decode(c.bytes, read, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

// What the game reads is recorded as it reads it, and given back in the same
// order by a replay; snapshots taken while the game waits and nothing changes are left out.
TEST(RecordingInput, ReplayGivesTheGameWhatItReadAndLeavesOutIdleWaits) {
    TempGameFolder game;
    const std::string file = game.path() + "/session.umbrec";
    ASSERT_TRUE(start_recording(file, sample_header()));
    headless::key_tap(10, key::right, 100);
    headless::key_tap(300, key::e, 30);
    headless::mouse_move(400, 120, 250);
    headless::close_request(400);
    struct Seen {
        bool held, pressed, released;
        WindowEvent event;
        int mouse_x;
        bool operator==(const Seen&) const = default;
    };
    // A loop as the game's: a snapshot, a look at the window, then a frame or a wait.
    auto play = [](int passes) {
        std::vector<Seen> seen;
        for (int pass = 0; pass < passes; ++pass) {
            keyboard_poll();
            const WindowEvent event = take_window_event();
            int x = 0, y = 0;
            window_mouse_position(x, y);
            seen.push_back({key_held(key::right), key_pressed(key::e), key_released(key::any), event, x});
            if (key_held(key::any)) flip();
            else wait_for_event(5);
        }
        return seen;
    };
    const std::vector<Seen> recorded = play(120);
    finish_recording();

    Recording rec;
    std::string error;
    ASSERT_TRUE(decode(read_file(file), rec, error)) << error;
    EXPECT_TRUE(rec.whole);
    // Of 120 passes only those with a change, the frames of held keys and one idle look after each change are kept.
    uint64_t kept = 0;
    for (const Item& item : rec.items) kept += item.kind == ItemKind::repeat ? item.count : item.kind == ItemKind::poll;
    EXPECT_LT(kept, 20u);

    headless::reset();
    start_replay(rec, ReplayMode::verify);
    std::vector<Seen> replayed = play(static_cast<int>(kept));
    // The same changes in the same order (runs of equal passes as one).
    auto changes = [](std::vector<Seen> seen) {
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        return seen;
    };
    EXPECT_EQ(changes(replayed), changes(recorded));
    EXPECT_EQ(replayed.back().event, WindowEvent::none);
    EXPECT_NO_THROW(finish_replay());
    // Asked for more than the session held: the recorded session ended before.
    start_replay(rec, ReplayMode::verify);
    play(static_cast<int>(kept));
    EXPECT_THROW(play(1), ReplayEnded);
    stop_replay();
}

namespace {

const char* part_name(int part) {
    static const char* const names[] = {"the character", "the map", "the monsters", "the items"};
    return names[part];
}

// The message a verifying replay ends with at the turn, or "" when it goes on.
std::string turn_verdict(const std::array<uint32_t, TURN_PARTS>& parts) {
    try {
        note_turn(parts, part_name);
    } catch (const ReplayEnded& end) {
        const std::string text = end.what();
        return text.substr(text.find(": ") + 2);  // after the pass
    }
    return "";
}

}  // namespace

// A replay compares the state after every turn with the recorded checksums
// and names the first turn that departs and what departs; a recording of
// format 1 has none, and replays without them.
TEST(RecordingTurns, AVerifyingReplayNamesTheFirstTurnThatDepartsAndThePart) {
    TempGameFolder game;
    const std::array<uint32_t, TURN_PARTS> state = {11, 22, 33, 44};
    auto turn_item = [](uint32_t number, std::array<uint32_t, TURN_PARTS> parts) {
        Item item = of_kind(ItemKind::turn, number);
        item.parts = parts;
        return item;
    };
    Recording rec;
    rec.header = sample_header();
    rec.whole = true;
    rec.items = {poll(5, {{28, 2}}), turn_item(1, state), turn_item(2, state), turn_item(3, state),
                 of_kind(ItemKind::end)};
    struct Case {
        std::array<uint32_t, TURN_PARTS> second;  // the state after the game's second turn
        std::string verdict;
    };
    const std::vector<Case> cases = {
        {state, ""},
        {{11, 22, 34, 44}, "turn 2 ends with the monsters not as recorded (checksum 00000022, recorded 00000021)"},
        {{10, 22, 33, 40}, "turn 2 ends with the character not as recorded (checksum 0000000a, recorded 0000000b)"},
        {{11, 22, 33, 45}, "turn 2 ends with the items not as recorded (checksum 0000002d, recorded 0000002c)"},
    };
    for (const Case& c : cases) {
        start_replay(rec, ReplayMode::verify);
        keyboard_poll();
        EXPECT_EQ(turn_verdict(state), "");
        EXPECT_EQ(turn_verdict(c.second), c.verdict);
        stop_replay();
    }
    // The game ends a turn the session did not: named with what the recording holds instead.
    start_replay(rec, ReplayMode::verify);
    keyboard_poll();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(turn_verdict(state), "");
    EXPECT_EQ(turn_verdict(state), "the game ended turn 4, the recorded session had the session's end next");
    stop_replay();

    // Format 1: no turns recorded, none compared; the session replays to its end.
    Recording old = rec;
    old.header.format = 1;
    old.items = {poll(5, {{28, 2}}), of_kind(ItemKind::end)};
    start_replay(old, ReplayMode::verify);
    keyboard_poll();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(turn_verdict({1, 2, 3, 4}), "");
    EXPECT_NO_THROW(finish_replay());
    stop_replay();
}
