// Recorded sessions: what decides a game (the seed, the files it started
// from, and pass by pass the input the game read), kept as it is played and
// given back to the game in place of the devices.
//
// The input layer records what the game reads, as it reads it: every keyboard
// snapshot (only the keys whose state changed, and runs of unchanged
// snapshots as one count), the window events and the mouse positions it
// takes, and the checksum of every file it saves. A snapshot taken after the
// game waited for input, with nothing changed since the one before, is left
// out: the game waits only where the same input again does nothing.
//
// File format: the text "UMBRANE RECORDING\n", then blocks, each a kind byte,
// the length of its content (a varint), the content and a CRC-32 of the kind
// and the content. The first block ('H') holds the header; every later one
// ('I') holds input items. Format 2 adds, after every turn the game ended,
// the checksums of the state's parts (the character, the map, the monsters,
// the items), so that a replay names the first turn that departs and what
// departs; a recording of format 1 has none and replays as before. A block is written whole as the game goes (at
// least every second, and with every save), so a killed game loses at most
// its last second, and a cut file reads up to its last whole block.
#pragma once
#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace recording {

constexpr uint32_t FORMAT_VERSION = 2;
constexpr uint32_t OLDEST_FORMAT_VERSION = 1;  // the oldest format this game replays
// The parts of the state a turn's checksum covers.
constexpr int TURN_PARTS = 4;

struct EmbeddedFile {
    std::string name;  // logical path: "config\preferences.xml" or "savegame\<file>.xml"
    std::string content;
};

struct Header {
    uint32_t format = FORMAT_VERSION;
    std::string program_version;
    uint32_t seed = 0;
    std::string started;  // local date and time of the session's start, "2024-05-01 18:30:05"
    std::vector<EmbeddedFile> files;
};

enum class ItemKind : uint8_t {
    poll = 1,        // a keyboard snapshot with changes: dt (ms since the last one), keys
    repeat = 2,      // count snapshots without any change
    window = 3,      // a window event the game took: value 1 close request, 2 left button
    mouse = 4,       // the mouse position the game read in the window: x, y
    mouse_poll = 5,  // a mouse snapshot (full screen): x, y, value = left button held
    save = 6,        // a file the game saved: text = logical path, count = size, value = CRC-32
    error = 7,       // the session ended with this fatal error (text)
    end = 8,         // the session ended normally; dt as with poll
    turn = 9,        // a turn ended: count = its number in the session, parts = the state's checksums
};

// A key's state in a snapshot: 0 up, 1 held, 2 pressed (and held), 3 released.
struct KeyState {
    uint8_t code = 0;
    uint8_t state = 0;
    bool operator==(const KeyState&) const = default;
};

struct Item {
    ItemKind kind = ItemKind::poll;
    uint32_t dt = 0;
    uint32_t count = 0;
    uint32_t value = 0;
    int x = 0, y = 0;
    std::string text;
    std::vector<KeyState> keys;
    std::array<uint32_t, TURN_PARTS> parts{};
    bool operator==(const Item&) const = default;
};

struct Recording {
    Header header;
    std::vector<Item> items;
    // The session's end (an end or error item) is there; a recording of a
    // killed game, or a cut file, has not.
    bool whole = false;
    size_t cut_at = 0;  // the bytes read when a last block was cut off (0: none was)
};

// The bytes of a recording's start (the text and the header block) and of one
// block of items.
std::string encode_header(const Header& header);
std::string encode_items(const std::vector<Item>& items);
// Reads a recording; false with a description of what is wrong (a bad start,
// a block whose checksum does not match, content that makes no sense). A
// last block that is cut off is no error: what comes before it is read.
bool decode(const std::string& bytes, Recording& out, std::string& error);
// CRC-32 as zlib computes it.
uint32_t checksum(const void* data, size_t size);

// ---- Recording a session ----

// Starts writing a recording to a host file (created anew). False when the
// file cannot be written: the game then goes on without a recording.
bool start_recording(const std::string& host_file, const Header& header);
// The session's end: normal, or by a fatal error. Writes what is left and closes the file.
void finish_recording();
void finish_recording_with_error(const std::string& text);

// ---- Replaying a recording ----

enum class ReplayMode {
    window,    // shown in the window at its own speed, with the player's keys to pause, speed up, end
    verify,    // as fast as it goes; the first difference ends it
    rerecord,  // the input given to a changed game: saves are not compared, input the game does not read is dropped
};

// How a replay ended before the game did.
class ReplayEnded : public std::exception {
public:
    enum class Reason { stopped, differs, input_ended };
    ReplayEnded(Reason reason, std::string text) : reason_(reason), text_(std::move(text)) {}
    Reason reason() const { return reason_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    Reason reason_;
    std::string text_;
};

// What the replay window shows of itself (the shell puts it into the title).
struct ReplayStatus {
    int speed_quarters = 4;  // the speed in quarters: 1 (1/4) .. 64 (16 times)
    bool paused = false;
};

void start_replay(const Recording& recording, ReplayMode mode);
void set_replay_status_hook(void (*hook)(const ReplayStatus&));
// The game ended normally: the recording must end here too (a difference
// otherwise). In rerecord mode the game may end earlier.
void finish_replay();
// The game ended with a fatal error: true when the recording ended with the
// same one (the session it holds ended so), else a difference is thrown.
bool replay_fatal_error_matches(const std::string& text);
void stop_replay();
// Where the replay is, for messages: "pass 120 (14.2 s into the session)".
std::string replay_position();

// ---- Calls of the media layer ----

// A file the game saved (every file written through the file service but the screenshot).
void note_save(const std::string& logical_path, const void* data, size_t size);
// The game waits for input: a pass with the same input again would do nothing.
void note_wait();
// A recording or a replay runs: the turns' checksums are wanted.
bool turns_watched();
// A turn ended with the state whose parts have these checksums: recorded, or
// compared with the recorded ones (the first that differs ends a verifying
// replay, naming the turn and the part by part_name).
void note_turn(const std::array<uint32_t, TURN_PARTS>& parts, const char* (*part_name)(int part));

}  // namespace recording
