// Recorded sessions: the format, the recorder and the replay (see recording.h).
#include "platform/recording.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "platform/media_state.h"
#include "platform/recording_input.h"

namespace recording {

namespace {

constexpr char MAGIC[] = "UMBRANE RECORDING\n";
constexpr size_t MAGIC_SIZE = sizeof MAGIC - 1;
constexpr char HEADER_BLOCK = 'H';
constexpr char ITEMS_BLOCK = 'I';
// Bounds that no recording of a real session comes near; beyond them a file is refused.
constexpr uint64_t MAX_EMBEDDED_FILE = 64u << 20;
constexpr uint64_t MAX_EMBEDDED_TOTAL = 256u << 20;
constexpr size_t MAX_EMBEDDED_FILES = 4096;
// Snapshots without a change between two changes: the game takes at most about
// one a millisecond (a flip or a wait comes with every pass that is not left out).
constexpr uint64_t REPEAT_SLACK = 1024;
// A block is written at the latest this long after its first item.
constexpr uint32_t FLUSH_MS = 1000;

// ---- Bytes ----

void put_varint(std::string& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

uint64_t zigzag(int value) {
    const int64_t v = value;
    return static_cast<uint64_t>((v << 1) ^ (v >> 63));
}
int unzigzag(uint64_t value) { return static_cast<int>(static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1)); }

void put_text(std::string& out, const std::string& text) {
    put_varint(out, text.size());
    out += text;
}

void put_u32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string block(char kind, const std::string& content) {
    std::string out(1, kind);
    out += content;
    const uint32_t sum = checksum(out.data(), out.size());
    out.resize(1);
    put_varint(out, content.size());
    out += content;
    put_u32(out, sum);
    return out;
}

// Reads from a range of bytes; any read past its end marks it failed.
class Reader {
public:
    Reader(const char* data, size_t size) : data_(data), size_(size) {}
    bool failed() const { return failed_; }
    bool at_end() const { return pos_ >= size_; }
    size_t position() const { return pos_; }
    uint64_t varint() {
        uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ >= size_) return fail();
            const auto byte = static_cast<uint8_t>(data_[pos_++]);
            value |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if (!(byte & 0x80)) return value;
        }
        return fail();
    }
    uint32_t u32_varint() {
        const uint64_t value = varint();
        return value > UINT32_MAX ? static_cast<uint32_t>(fail()) : static_cast<uint32_t>(value);
    }
    int coordinate() {
        const uint64_t value = varint();
        return value > (1u << 24) ? static_cast<int>(fail()) : unzigzag(value);
    }
    uint8_t byte() {
        if (pos_ >= size_) return static_cast<uint8_t>(fail());
        return static_cast<uint8_t>(data_[pos_++]);
    }
    uint32_t u32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte()) << (8 * i);
        return value;
    }
    std::string text() {
        const uint64_t length = varint();
        if (failed_ || length > size_ - pos_) return fail(), std::string();
        std::string out(data_ + pos_, static_cast<size_t>(length));
        pos_ += static_cast<size_t>(length);
        return out;
    }

private:
    uint64_t fail() {
        failed_ = true;
        pos_ = size_;
        return 0;
    }
    const char* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};

std::string compress_text(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                  static_cast<uLong>(text.size()), 6) != Z_OK)
        return std::string();
    out.resize(size);
    return out;
}

bool uncompress_text(const std::string& packed, uint64_t size, std::string& out) {
    out.assign(static_cast<size_t>(size), '\0');
    uLongf got = static_cast<uLongf>(size);
    const int result = uncompress(reinterpret_cast<Bytef*>(out.data()), &got,
                                  reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size()));
    return result == Z_OK && got == size;
}

void put_item(std::string& out, const Item& item) {
    out.push_back(static_cast<char>(item.kind));
    switch (item.kind) {
    case ItemKind::poll:
        put_varint(out, item.dt);
        put_varint(out, item.keys.size());
        for (const KeyState& key : item.keys) put_varint(out, key.code * 4u + key.state);
        break;
    case ItemKind::repeat: put_varint(out, item.count); break;
    case ItemKind::window: out.push_back(static_cast<char>(item.value)); break;
    case ItemKind::mouse:
    case ItemKind::mouse_poll:
        put_varint(out, zigzag(item.x));
        put_varint(out, zigzag(item.y));
        if (item.kind == ItemKind::mouse_poll) out.push_back(static_cast<char>(item.value ? 1 : 0));
        break;
    case ItemKind::save:
        put_text(out, item.text);
        put_varint(out, item.count);
        put_u32(out, item.value);
        break;
    case ItemKind::error: put_text(out, item.text); break;
    case ItemKind::end: put_varint(out, item.dt); break;
    case ItemKind::turn:
        put_varint(out, item.count);
        for (uint32_t part : item.parts) put_u32(out, part);
        break;
    }
}

// One item; an empty text when it reads, else what is wrong with it.
std::string read_item(Reader& in, Item& item) {
    const uint8_t tag = in.byte();
    item = Item{};
    item.kind = static_cast<ItemKind>(tag);
    switch (item.kind) {
    case ItemKind::poll: {
        item.dt = in.u32_varint();
        const uint64_t count = in.varint();
        if (count == 0 || count > 256) return "a snapshot with " + std::to_string(count) + " changed keys";
        for (uint64_t i = 0; i < count && !in.failed(); ++i) {
            const uint64_t key = in.varint();
            if (key >= 256 * 4) return "a key code above 255";
            item.keys.push_back({static_cast<uint8_t>(key / 4), static_cast<uint8_t>(key % 4)});
        }
        break;
    }
    case ItemKind::repeat:
        item.count = in.u32_varint();
        if (item.count == 0 && !in.failed()) return "a run of no snapshots";
        break;
    case ItemKind::window:
        item.value = in.byte();
        if ((item.value < 1 || item.value > 3) && !in.failed()) return "an unknown window event";
        break;
    case ItemKind::mouse:
    case ItemKind::mouse_poll:
        item.x = in.coordinate();
        item.y = in.coordinate();
        if (item.kind == ItemKind::mouse_poll) item.value = in.byte() ? 1 : 0;
        break;
    case ItemKind::save:
        item.text = in.text();
        item.count = in.u32_varint();
        item.value = in.u32();
        break;
    case ItemKind::error: item.text = in.text(); break;
    case ItemKind::end: item.dt = in.u32_varint(); break;
    case ItemKind::turn:
        item.count = in.u32_varint();
        for (uint32_t& part : item.parts) part = in.u32();
        break;
    default: return "an unknown item (" + std::to_string(tag) + ")";
    }
    return in.failed() ? "an item cut off inside its block" : "";
}

bool read_header(const std::string& content, Header& header, std::string& error) {
    Reader in(content.data(), content.size());
    header.format = in.u32_varint();
    if ((header.format < OLDEST_FORMAT_VERSION || header.format > FORMAT_VERSION) && !in.failed()) {
        error = "it is of format version " + std::to_string(header.format) + ", this game reads versions " +
                std::to_string(OLDEST_FORMAT_VERSION) + " to " + std::to_string(FORMAT_VERSION);
        return false;
    }
    header.program_version = in.text();
    header.seed = in.u32_varint();
    header.started = in.text();
    const uint64_t count = in.varint();
    if (count > MAX_EMBEDDED_FILES) {
        error = "its header names " + std::to_string(count) + " files";
        return false;
    }
    uint64_t total = 0;
    for (uint64_t i = 0; i < count && !in.failed(); ++i) {
        EmbeddedFile file;
        file.name = in.text();
        const uint64_t size = in.varint();
        const std::string packed = in.text();
        total += size;
        if (in.failed()) break;
        if (size > MAX_EMBEDDED_FILE || total > MAX_EMBEDDED_TOTAL) {
            error = "its saved file " + file.name + " is too large (" + std::to_string(size) + " bytes)";
            return false;
        }
        if (!uncompress_text(packed, size, file.content)) {
            error = "its saved file " + file.name + " does not unpack";
            return false;
        }
        header.files.push_back(std::move(file));
    }
    if (in.failed() || !in.at_end()) {
        error = "its header does not read";
        return false;
    }
    return true;
}

}  // namespace

uint32_t checksum(const void* data, size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* bytes = static_cast<const Bytef*>(data);
    while (size > 0) {  // crc32 takes at most a uInt at once
        const uInt part = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
        crc = crc32(crc, bytes, part);
        bytes += part;
        size -= part;
    }
    return static_cast<uint32_t>(crc);
}

std::string encode_header(const Header& header) {
    std::string content;
    put_varint(content, header.format);
    put_text(content, header.program_version);
    put_varint(content, header.seed);
    put_text(content, header.started);
    put_varint(content, header.files.size());
    for (const EmbeddedFile& file : header.files) {
        put_text(content, file.name);
        put_varint(content, file.content.size());
        put_text(content, compress_text(file.content));
    }
    return std::string(MAGIC, MAGIC_SIZE) + block(HEADER_BLOCK, content);
}

std::string encode_items(const std::vector<Item>& items) {
    std::string content;
    for (const Item& item : items) put_item(content, item);
    return block(ITEMS_BLOCK, content);
}

bool decode(const std::string& bytes, Recording& out, std::string& error) {
    out = Recording{};
    if (bytes.size() < MAGIC_SIZE || bytes.compare(0, MAGIC_SIZE, MAGIC) != 0) {
        error = "it is no recording of this game (it does not begin as one)";
        return false;
    }
    bool first = true, ended = false;
    uint64_t repeats = 0;  // snapshots without change since the last change
    size_t at = MAGIC_SIZE;
    while (at < bytes.size()) {
        const size_t start = at;
        if (ended) {
            error = "it holds trailing data after the session's end, from byte " + std::to_string(start);
            return false;
        }
        Reader in(bytes.data() + at, bytes.size() - at);
        const char kind = static_cast<char>(in.byte());
        const uint64_t length = in.varint();
        const size_t left = bytes.size() - at - in.position();
        // The content and its checksum, or a block cut off at the file's end.
        if (in.failed() || left < 4 || length > left - 4) {
            if (first) {
                error = "its header is cut off";
                return false;
            }
            out.cut_at = start;
            break;
        }
        const size_t content_at = at + in.position();
        const std::string content = bytes.substr(content_at, static_cast<size_t>(length));
        Reader stored_sum(bytes.data() + content_at + length, 4);
        const uint32_t stored = stored_sum.u32();
        std::string summed(1, kind);
        summed += content;
        if (checksum(summed.data(), summed.size()) != stored) {
            error = "it is damaged: the block at byte " + std::to_string(start) + " does not match its checksum";
            return false;
        }
        at = content_at + static_cast<size_t>(length) + 4;
        if (first) {
            if (kind != HEADER_BLOCK) {
                error = "it has no header";
                return false;
            }
            if (!read_header(content, out.header, error)) return false;
            first = false;
            continue;
        }
        if (kind != ITEMS_BLOCK) {
            error = "it has an unknown block at byte " + std::to_string(start);
            return false;
        }
        Reader items(content.data(), content.size());
        while (!items.at_end()) {
            Item item;
            const std::string wrong = read_item(items, item);
            if (!wrong.empty()) {
                error = "it is damaged: " + wrong + " in the block at byte " + std::to_string(start);
                return false;
            }
            if (ended) {
                error = "it goes on after the session's end";
                return false;
            }
            if (item.kind == ItemKind::repeat) repeats += item.count;
            if (item.kind == ItemKind::poll || item.kind == ItemKind::end) {
                if (repeats > item.dt + REPEAT_SLACK) {
                    error = "it holds " + std::to_string(repeats) + " passes without input within " +
                            std::to_string(item.dt) + " ms, more than any game takes";
                    return false;
                }
                repeats = 0;
            }
            ended = item.kind == ItemKind::end || item.kind == ItemKind::error;
            out.items.push_back(std::move(item));
        }
    }
    if (first) {
        error = "its header is missing";
        return false;
    }
    if (repeats > FLUSH_MS + REPEAT_SLACK) {
        error = "it ends with " + std::to_string(repeats) + " passes without input, more than any game takes";
        return false;
    }
    out.whole = ended;
    return true;
}

// ---- The recorder ----

namespace {

struct Recorder {
    std::FILE* file = nullptr;
    std::vector<Item> pending;
    std::array<uint8_t, 256> keys{};  // the states of the last recorded snapshot
    uint32_t repeats = 0;             // unchanged snapshots not written yet
    uint32_t last_change = 0, last_flush = 0;
    bool waited = false;  // the game waited for input since the last snapshot
    bool extras = false;  // the game took an event or a mouse position since the last snapshot
    bool left_out = false;  // the last snapshot was left out (the game waited, nothing changed)
    int mouse_x = 0, mouse_y = 0;
    int poll_x = 0, poll_y = 0;
    bool poll_held = false;
    uint32_t turns = 0;  // turns ended in the session
};

Recorder g_recorder;

void write_pending() {
    Recorder& r = g_recorder;
    if (!r.file || r.pending.empty()) return;
    const std::string bytes = encode_items(r.pending);
    std::fwrite(bytes.data(), 1, bytes.size(), r.file);
    std::fflush(r.file);
    r.pending.clear();
    r.last_flush = tick_ms();
}

void flush_repeats() {
    Recorder& r = g_recorder;
    if (r.repeats == 0) return;
    Item item;
    item.kind = ItemKind::repeat;
    item.count = r.repeats;
    r.pending.push_back(item);
    r.repeats = 0;
}

void add_extra(Item item) {
    // The pass of a snapshot left out takes an event after all: the snapshot counts.
    if (g_recorder.left_out) ++g_recorder.repeats;
    g_recorder.left_out = false;
    flush_repeats();
    g_recorder.pending.push_back(std::move(item));
    g_recorder.extras = true;
}

uint32_t elapsed_since_change();

void close_recording(Item last) {
    Recorder& r = g_recorder;
    if (!r.file) return;
    flush_repeats();
    r.pending.push_back(std::move(last));
    write_pending();
    std::fclose(r.file);
    r = Recorder{};
}

}  // namespace

bool start_recording(const std::string& host_file, const Header& header) {
    if (g_recorder.file) std::fclose(g_recorder.file);
    g_recorder = Recorder{};
    std::FILE* file = std::fopen(host_file.c_str(), "wb");
    if (!file) return false;
    Header written = header;
    written.format = FORMAT_VERSION;  // a replay recorded anew is of this game's format
    const std::string start = encode_header(written);
    if (std::fwrite(start.data(), 1, start.size(), file) != start.size() || std::fflush(file) != 0) {
        std::fclose(file);
        return false;
    }
    g_recorder.file = file;
    g_recorder.last_change = g_recorder.last_flush = tick_ms();
    return true;
}

void finish_recording() {
    Item item;
    item.kind = ItemKind::end;
    item.dt = elapsed_since_change();
    close_recording(item);
}

void finish_recording_with_error(const std::string& text) {
    Item item;
    item.kind = ItemKind::error;
    item.text = text;
    close_recording(item);
}

// ---- The replay ----

namespace {

constexpr int MIN_SPEED = 1, MAX_SPEED = 64;  // in quarters
// A pause longer than this in the recorded session is shown shorter.
constexpr uint32_t LONGEST_PAUSE_MS = 3000;

struct Replay {
    bool active = false;
    ReplayMode mode = ReplayMode::verify;
    const Recording* recording = nullptr;
    size_t next = 0;            // the next item to give
    uint32_t repeats_left = 0;  // unchanged snapshots still to give from a run
    std::array<uint8_t, 256> keys{};
    uint64_t passes = 0;
    uint64_t elapsed_ms = 0;  // recorded time up to the last snapshot given
    uint32_t last_dt = 0;     // the time of the last snapshot with a change
    bool waited = false, extras = false;
    int mouse_x = 0, mouse_y = 0;
    bool reported = false;  // a difference was reported (window mode goes on after it)
    bool status_shown = false;
    ReplayStatus status;
    uint32_t last_shown = 0;  // real time when the last change was given (window)
    void (*status_hook)(const ReplayStatus&) = nullptr;
    uint32_t turns = 0;  // turns ended in the replay
};

Replay g_replay;

const Item* peek() {
    const Replay& r = g_replay;
    if (r.repeats_left > 0 || r.next >= r.recording->items.size()) return nullptr;
    return &r.recording->items[r.next];
}

std::string describe(const Item& item) {
    switch (item.kind) {
    case ItemKind::poll:
    case ItemKind::repeat: return "a keyboard snapshot";
    case ItemKind::window:
        return item.value == 1 ? "a close request of the window"
                               : item.value == 3 ? "a right click in the window" : "a click in the window";
    case ItemKind::mouse: return "the mouse at " + std::to_string(item.x) + ", " + std::to_string(item.y);
    case ItemKind::mouse_poll: return "a mouse snapshot at " + std::to_string(item.x) + ", " + std::to_string(item.y);
    case ItemKind::save: return "a save of " + item.text;
    case ItemKind::error: return "the error \"" + item.text + "\"";
    case ItemKind::end: return "the session's end";
    case ItemKind::turn: return "the end of turn " + std::to_string(item.count);
    }
    return "an item";
}

// A difference between the game and the recording: the end of a verifying
// replay; a window replay says so once and goes on.
void differs(const std::string& what) {
    Replay& r = g_replay;
    // A recording that ends early (a killed session, a cut file) ends here: what came before matched.
    if (r.mode != ReplayMode::rerecord && !r.recording->whole && !peek())
        throw ReplayEnded(ReplayEnded::Reason::input_ended, "");
    const std::string text = replay_position() + ": " + what;
    if (r.mode == ReplayMode::verify) throw ReplayEnded(ReplayEnded::Reason::differs, text);
    if (r.mode == ReplayMode::window && !r.reported) {
        std::fprintf(stderr, "replay: %s\n", text.c_str());
        std::fflush(stderr);
        r.reported = true;
    }
}

// Items the game did not take where the recording holds them.
void pass_over_untaken() {
    Replay& r = g_replay;
    while (const Item* item = peek()) {
        if (item->kind == ItemKind::poll || item->kind == ItemKind::repeat || item->kind == ItemKind::end ||
            item->kind == ItemKind::error)
            return;
        if (r.mode != ReplayMode::rerecord) differs("the recording holds " + describe(*item) + " that the game did not take");
        ++r.next;
    }
}

void show_status() {
    if (g_replay.status_hook) g_replay.status_hook(g_replay.status);
}

// The player's keys in a window replay; in every replay the devices' own input goes no further.
void take_player_keys(InputState& input) {
    Replay& r = g_replay;
    const ReplayStatus before = r.status;
    bool stop = false;
    for (const KeyChange& change : input.key_changes) {
        if (!change.down) continue;
        switch (change.code) {
        case key::escape: stop = true; break;
        case key::space: r.status.paused = !r.status.paused; break;
        case 13: case 27: case 78:  // "=" (+ with shift), "+" on German keyboards, the keypad's +
            r.status.speed_quarters = std::min(MAX_SPEED, r.status.speed_quarters * 2);
            break;
        case 12: case 53: case 74:  // "-", "-" on German keyboards, the keypad's -
            r.status.speed_quarters = std::max(MIN_SPEED, r.status.speed_quarters / 2);
            break;
        default: break;
        }
    }
    for (WindowEvent event : input.window_events)
        if (event == WindowEvent::close_request) stop = true;
    input.key_changes.clear();
    input.window_events.clear();
    input.down.fill(false);
    if (r.mode != ReplayMode::window) return;
    if (stop) throw ReplayEnded(ReplayEnded::Reason::stopped, "the replay was ended at " + replay_position());
    g_media.time_scale = 4.0 / r.status.speed_quarters;
    if (!r.status_shown || r.status.paused != before.paused || r.status.speed_quarters != before.speed_quarters) {
        r.status_shown = true;
        show_status();
    }
}

// Window replay: the snapshot with a change comes when its time has come.
void wait_for_recorded_time(InputState& input, uint32_t dt) {
    Replay& r = g_replay;
    const uint32_t pause = std::min(dt, LONGEST_PAUSE_MS);
    while (true) {
        media_machine().pump_events();
        take_player_keys(input);
        const uint32_t due = static_cast<uint32_t>(pause * 4.0 / r.status.speed_quarters);
        const uint32_t now = tick_ms();
        if (!r.status.paused && now - r.last_shown >= due) break;
        media_machine().wait_for_event(r.status.paused ? 50 : static_cast<int>(std::min<uint32_t>(20, due - (now - r.last_shown))));
    }
    r.last_shown = tick_ms();
}

void apply_keys(InputState& input) {
    const Replay& r = g_replay;
    input.any_held = input.any_pressed = input.any_released = false;
    for (size_t code = 0; code < 256; ++code) {
        const uint8_t state = r.keys[code];
        input.held[code] = state == 1 || state == 2;
        input.pressed[code] = state == 2;
        input.released[code] = state == 3;
        input.any_held = input.any_held || input.held[code];
        input.any_pressed = input.any_pressed || input.pressed[code];
        input.any_released = input.any_released || input.released[code];
    }
}

}  // namespace

void start_replay(const Recording& recording, ReplayMode mode) {
    const auto hook = g_replay.status_hook;
    g_replay = Replay{};
    g_replay.status_hook = hook;
    g_replay.active = true;
    g_replay.mode = mode;
    g_replay.recording = &recording;
    g_replay.last_shown = tick_ms();
    g_media.time_scale = 1.0;
}

void set_replay_status_hook(void (*hook)(const ReplayStatus&)) { g_replay.status_hook = hook; }

void stop_replay() {
    const auto hook = g_replay.status_hook;
    g_replay = Replay{};
    g_replay.status_hook = hook;
    g_media.time_scale = 1.0;
}

std::string replay_position() {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(g_replay.elapsed_ms) / 1000.0);
    return "pass " + std::to_string(g_replay.passes) + " (" + seconds + " s into the session)";
}

void finish_replay() {
    Replay& r = g_replay;
    pass_over_untaken();
    const Item* item = peek();
    if (item && item->kind == ItemKind::end) {
        ++r.next;
        return;
    }
    if (r.mode == ReplayMode::rerecord) return;
    if (!item && !r.recording->whole) {
        if (r.repeats_left == 0) throw ReplayEnded(ReplayEnded::Reason::input_ended, "");
    }
    differs("the game ended here, the recorded session went on");
}

bool replay_fatal_error_matches(const std::string& text) {
    Replay& r = g_replay;
    pass_over_untaken();
    const Item* item = peek();
    if (item && item->kind == ItemKind::error && item->text == text) {
        ++r.next;
        return true;
    }
    return false;
}

// ---- The media layer's calls ----

bool turns_watched() { return g_recorder.file != nullptr || g_replay.active; }

void note_turn(const std::array<uint32_t, TURN_PARTS>& parts, const char* (*part_name)(int part)) {
    if (g_replay.active) {
        Replay& r = g_replay;
        const uint32_t turn = ++r.turns;
        const Item* item = peek();
        if (item && item->kind == ItemKind::turn) {
            ++r.next;
            if (r.mode != ReplayMode::rerecord) {
                for (int part = 0; part < TURN_PARTS; ++part) {
                    if (item->parts[part] == parts[part] && item->count == turn) continue;
                    char sums[64];
                    std::snprintf(sums, sizeof sums, "checksum %08x, recorded %08x", parts[part], item->parts[part]);
                    differs(item->count != turn ? "the game ended turn " + std::to_string(turn) +
                                                      ", the recorded session turn " + std::to_string(item->count)
                                                : "turn " + std::to_string(turn) + " ends with " + part_name(part) +
                                                      " not as recorded (" + sums + ")");
                    break;
                }
            }
        } else if (r.recording->header.format >= 2 && r.mode != ReplayMode::rerecord) {
            // Format 1 has no turns to compare.
            differs("the game ended turn " + std::to_string(turn) + ", the recorded session " +
                    (item ? "had " + describe(*item) + " next" : "did not"));
        }
    }
    if (g_recorder.file) {
        Item item;
        item.kind = ItemKind::turn;
        item.count = ++g_recorder.turns;
        item.parts = parts;
        flush_repeats();
        g_recorder.pending.push_back(item);
    }
}

void note_save(const std::string& logical_path, const void* data, size_t size) {
    const bool recording = g_recorder.file != nullptr;
    if (!recording && !g_replay.active) return;
    const uint32_t sum = checksum(data, size);
    if (g_replay.active) {
        Replay& r = g_replay;
        const Item* item = peek();
        if (r.mode == ReplayMode::rerecord) {
            if (item && item->kind == ItemKind::save) ++r.next;
        } else if (!item || item->kind != ItemKind::save) {
            differs("the game saved " + logical_path + " (" + std::to_string(size) + " bytes), the recorded session " +
                    (item ? "had " + describe(*item) + " next" : "did not"));
        } else {
            ++r.next;
            if (item->text != logical_path || item->count != size || item->value != sum) {
                char sums[64];
                std::snprintf(sums, sizeof sums, "checksum %08x, recorded %08x", sum, item->value);
                differs(item->text == logical_path
                            ? "the save of " + logical_path + " differs: " + std::to_string(size) + " bytes, recorded " +
                                  std::to_string(item->count) + ", " + sums
                            : "the game saved " + logical_path + ", the recorded session " + item->text);
            }
        }
    }
    if (recording) {
        Item item;
        item.kind = ItemKind::save;
        item.text = logical_path;
        item.count = static_cast<uint32_t>(size);
        item.value = sum;
        flush_repeats();
        g_recorder.pending.push_back(item);
        write_pending();  // the checksum reaches the file with the save
    }
}

void note_wait() {
    g_recorder.waited = true;
    g_replay.waited = true;
}

namespace {

uint32_t elapsed_since_change() {
    if (g_replay.active) return g_replay.last_dt;
    return tick_ms() - g_recorder.last_change;
}

uint8_t key_state(const InputState& input, size_t code) {
    if (input.pressed[code]) return 2;
    if (input.held[code]) return 1;
    return input.released[code] ? 3 : 0;
}

}  // namespace

}  // namespace recording

// ---- Hooks of the input layer (recording_input.h) ----

using namespace recording;

bool input_replayed() { return g_replay.active; }

void replay_keyboard_snapshot(InputState& input) {
    Replay& r = g_replay;
    take_player_keys(input);
    const bool waited = r.waited, extras = r.extras;
    r.waited = r.extras = false;
    bool unchanged = true;
    if (r.repeats_left > 0) {
        --r.repeats_left;
    } else {
        pass_over_untaken();
        const Item* item = peek();
        if (!item && !r.recording->whole) throw ReplayEnded(ReplayEnded::Reason::input_ended, "");
        if (!item || item->kind == ItemKind::end || item->kind == ItemKind::error) {
            const std::string text = "the recorded session ended here, the game goes on";
            differs(text);
            throw ReplayEnded(ReplayEnded::Reason::differs, replay_position() + ": " + text);
        }
        ++r.next;
        if (item->kind == ItemKind::repeat) {
            r.repeats_left = item->count - 1;
        } else {
            unchanged = false;
            if (r.mode == ReplayMode::window) wait_for_recorded_time(input, item->dt);
            for (const KeyState& key : item->keys) r.keys[key.code] = key.state;
            r.elapsed_ms += item->dt;
            r.last_dt = item->dt;
        }
    }
    ++r.passes;
    // After a wait with nothing new the recorder keeps a snapshot only when the
    // pass took an event or a mouse position: such a one comes next.
    if (unchanged && waited && !extras && r.mode != ReplayMode::rerecord) {
        const Item* next = peek();
        const bool taken = next && (next->kind == ItemKind::window || next->kind == ItemKind::mouse ||
                                    next->kind == ItemKind::mouse_poll);
        if (!taken) differs("the recording holds a pass where the game waited for input and none came (no game records so)");
    }
    apply_keys(input);
}

void record_keyboard_snapshot(const InputState& input) {
    Recorder& r = g_recorder;
    if (!r.file) return;
    Item item;
    item.kind = ItemKind::poll;
    for (size_t code = 0; code < 256; ++code) {
        const uint8_t state = key_state(input, code);
        if (state == r.keys[code]) continue;
        item.keys.push_back({static_cast<uint8_t>(code), state});
        r.keys[code] = state;
    }
    const bool left_out = item.keys.empty() && r.waited && !r.extras;
    r.waited = r.extras = false;
    r.left_out = left_out;
    if (!item.keys.empty()) {
        flush_repeats();
        const uint32_t now = tick_ms();
        item.dt = g_replay.active ? g_replay.last_dt : now - r.last_change;
        r.last_change = now;
        r.pending.push_back(std::move(item));
    } else if (!left_out) {
        ++r.repeats;
    }
    if (!r.pending.empty() && tick_ms() - r.last_flush >= FLUSH_MS) write_pending();
}

WindowEvent replay_window_event() {
    const Item* item = peek();
    if (!item || item->kind != ItemKind::window) return WindowEvent::none;
    ++g_replay.next;
    g_replay.extras = true;
    if (item->value == 1) return WindowEvent::close_request;
    return item->value == 3 ? WindowEvent::right_button_down : WindowEvent::left_button_down;
}

void record_window_event(WindowEvent event) {
    if (!g_recorder.file || event == WindowEvent::none) return;
    Item item;
    item.kind = ItemKind::window;
    // 1 a close request, 2 a left click, 3 a right click.
    item.value = event == WindowEvent::close_request ? 1 : event == WindowEvent::right_button_down ? 3 : 2;
    add_extra(item);
}

void replay_mouse_position(int& x, int& y) {
    const Item* item = peek();
    if (item && item->kind == ItemKind::mouse) {
        ++g_replay.next;
        g_replay.extras = true;
        g_replay.mouse_x = item->x;
        g_replay.mouse_y = item->y;
    }
    x = g_replay.mouse_x;
    y = g_replay.mouse_y;
}

void record_mouse_position(int x, int y) {
    Recorder& r = g_recorder;
    if (!r.file || (x == r.mouse_x && y == r.mouse_y)) return;
    r.mouse_x = x;
    r.mouse_y = y;
    Item item;
    item.kind = ItemKind::mouse;
    item.x = x;
    item.y = y;
    add_extra(item);
}

void replay_mouse_snapshot(InputState& input) {
    const Item* item = peek();
    if (item && item->kind == ItemKind::mouse_poll) {
        ++g_replay.next;
        g_replay.extras = true;
        input.snapshot_mouse_x = item->x;
        input.snapshot_mouse_y = item->y;
        input.snapshot_mouse_held = item->value != 0;
    }
    input.mouse_pressed_since = false;
}

void record_mouse_snapshot(const InputState& input) {
    Recorder& r = g_recorder;
    if (!r.file) return;
    if (input.snapshot_mouse_x == r.poll_x && input.snapshot_mouse_y == r.poll_y &&
        input.snapshot_mouse_held == r.poll_held)
        return;
    r.poll_x = input.snapshot_mouse_x;
    r.poll_y = input.snapshot_mouse_y;
    r.poll_held = input.snapshot_mouse_held;
    Item item;
    item.kind = ItemKind::mouse_poll;
    item.x = r.poll_x;
    item.y = r.poll_y;
    item.value = r.poll_held ? 1 : 0;
    add_extra(item);
}
