// Loading sounds (Ogg Vorbis through vorbisfile), their volumes, and the
// mixer that the desktop backend's audio device plays from.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/media_state.h"
#include "platform/sound_mixer.h"
#include "platform/work_queue.h"

namespace {

// Longest sound we keep (ten minutes); anything longer is cut there.
constexpr size_t MAX_SOUND_SAMPLES = static_cast<size_t>(MIX_RATE) * MIX_CHANNELS * 600;

}  // namespace

std::vector<int16_t> to_mix_format(const std::vector<int16_t>& samples, int channels, long rate) {
    std::vector<int16_t> result;
    if (channels <= 0 || rate <= 0) return result;
    size_t frames = samples.size() / static_cast<size_t>(channels);
    auto sample = [&](size_t frame, int channel) {
        return samples[frame * channels + std::min(channel, channels - 1)];
    };
    if (rate == MIX_RATE) {
        result.resize(frames * MIX_CHANNELS);
        for (size_t f = 0; f < frames; ++f)
            for (int c = 0; c < MIX_CHANNELS; ++c) result[f * MIX_CHANNELS + c] = sample(f, c);
        return result;
    }
    if (frames == 0) return result;
    // At most the longest sound we keep, also from absurdly low rates.
    size_t out_frames = static_cast<size_t>(
        std::min(static_cast<double>(frames) * MIX_RATE / rate, static_cast<double>(MAX_SOUND_SAMPLES / MIX_CHANNELS)));
    result.resize(out_frames * MIX_CHANNELS);
    // Linear between the two neighbouring frames, in whole numbers: frame f
    // lies at f * rate / MIX_RATE, its weight is the remainder; rounded half
    // away from zero.
    const int64_t whole = MIX_RATE;
    for (size_t f = 0; f < out_frames; ++f) {
        const uint64_t where = static_cast<uint64_t>(f) * static_cast<uint64_t>(rate);
        const size_t left = static_cast<size_t>(where / MIX_RATE);
        const size_t right = std::min(left + 1, frames - 1);
        const int64_t part = static_cast<int64_t>(where % MIX_RATE);
        for (int c = 0; c < MIX_CHANNELS; ++c) {
            const int64_t sum = sample(left, c) * (whole - part) + sample(right, c) * part;
            const int64_t value = sum >= 0 ? (sum + whole / 2) / whole : -((-sum + whole / 2) / whole);
            result[f * MIX_CHANNELS + c] = static_cast<int16_t>(value);
        }
    }
    return result;
}

namespace {

// The first page of an Ogg Vorbis stream: "OggS" with the page's
// beginning-of-stream flag, its segment table, then the identification
// header "\x01vorbis" (read from a few hundred bytes, nothing decoded).
bool starts_as_ogg_vorbis(const std::string& host_file) {
    unsigned char page[27 + 255 + 7];
    FILE* stream = std::fopen(host_file.c_str(), "rb");
    if (!stream) return false;
    const size_t got = std::fread(page, 1, sizeof page, stream);
    std::fclose(stream);
    if (got < 27 || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0 || (page[5] & 0x02) == 0) return false;
    const size_t packet = 27 + static_cast<size_t>(page[26]);
    return page[26] > 0 && got >= packet + 7 && std::memcmp(page + packet, "\x01vorbis", 7) == 0;
}

// Opens a file as Ogg Vorbis far enough to know that it is one (its three
// headers read, nothing decoded yet).
bool open_ogg(const std::string& host_file, OggVorbis_File& file) {
    FILE* stream = std::fopen(host_file.c_str(), "rb");
    if (!stream) return false;
    if (ov_test(stream, &file, nullptr, 0) != 0) {
        std::fclose(stream);  // a failed test leaves the stream to us
        return false;
    }
    return true;
}

// Decodes a file open_ogg opened, and closes it.
bool decode_opened_ogg(OggVorbis_File& file, std::vector<int16_t>& out) {
    if (ov_test_open(&file) != 0) {
        ov_clear(&file);
        return false;
    }
    vorbis_info* info = ov_info(&file, -1);
    if (!info || info->channels <= 0 || info->rate <= 0) {
        ov_clear(&file);
        return false;
    }
    int channels = info->channels;
    long rate = info->rate;
    std::vector<int16_t> samples;
    char buffer[16384];
    int section = 0;
    bool good = true;
    for (;;) {
        long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got == 0) break;
        if (got == OV_HOLE) continue;  // a gap in the stream: go on after it
        if (got < 0) {
            good = false;
            break;
        }
        // A chained file may change its layout; keep the first one only.
        vorbis_info* now = ov_info(&file, section);
        if (now && (now->channels != channels || now->rate != rate)) break;
        const auto* values = reinterpret_cast<const int16_t*>(buffer);
        samples.insert(samples.end(), values, values + got / 2);
        if (samples.size() > MAX_SOUND_SAMPLES) break;
    }
    ov_clear(&file);
    if (!good && samples.empty()) return false;
    out = to_mix_format(samples, channels, rate);
    return true;
}

}  // namespace

bool decode_ogg_file(const std::string& host_file, std::vector<int16_t>& out) {
    OggVorbis_File file;
    if (!open_ogg(host_file, file)) return false;
    return decode_opened_ogg(file, out);
}

const std::shared_ptr<const std::vector<int16_t>>& SoundData::samples() const {
    static const std::shared_ptr<const std::vector<int16_t>> none;
    if (!decoding.valid()) return none;
    // Wanted before its turn beside the game (before the first picture, or
    // behind the other sounds on a busy machine): decoded here and now.
    return decoding.get();
}

namespace {

// The volume of every sound (the options' sound volume; 0 when muted), in percent.
int g_master_volume = 100;

}  // namespace

void sound_set_master_volume(int volume) { g_master_volume = std::clamp(volume, 0, 100); }
int sound_master_volume() { return g_master_volume; }

void Mixer::play(std::shared_ptr<const std::vector<int16_t>> samples, int volume) {
    if (!samples || samples->empty() || g_master_volume == 0) return;
    volume = std::clamp(volume, 0, 100) * g_master_volume / 100;
    // With every voice busy the one that has played longest gives way.
    if (voices_.size() >= MAX_VOICES) {
        auto oldest = std::max_element(voices_.begin(), voices_.end(),
                                       [](const Voice& a, const Voice& b) { return a.position < b.position; });
        voices_.erase(oldest);
    }
    voices_.push_back(Voice{std::move(samples), 0, std::clamp(volume, 0, 100)});
}

void Mixer::mix(int16_t* out, int frames) {
    size_t count = static_cast<size_t>(std::max(frames, 0)) * MIX_CHANNELS;
    std::vector<int32_t> sum(count, 0);
    for (Voice& voice : voices_) {
        const std::vector<int16_t>& samples = *voice.samples;
        size_t n = std::min(count, samples.size() - voice.position);
        for (size_t i = 0; i < n; ++i) sum[i] += samples[voice.position + i] * voice.volume / 100;
        voice.position += n;
    }
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(),
                                 [](const Voice& v) { return v.position >= v.samples->size(); }),
                  voices_.end());
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>(std::clamp(sum[i], -32768, 32767));
}

// ---- The game's sound calls ----

int sound_load(const std::string& logical_path) {
    // Known at once to begin as Ogg Vorbis (or no sound, number 0); decoded
    // beside the game's thread once the first picture is shown (flip), so
    // that start-up does not wait for it.
    std::string host_file = host_path(logical_path);
    if (!starts_as_ogg_vorbis(host_file)) return 0;
    int number = g_media.next_sound++;
    SoundData& sound = g_media.sounds[number];
    sound.file = logical_path;
    sound.decoding = background_work().add_claimable(
        [host_file = std::move(host_file)]() -> std::shared_ptr<const std::vector<int16_t>> {
            auto samples = std::make_shared<std::vector<int16_t>>();
            // A stream that breaks after its beginning plays nothing.
            if (!decode_ogg_file(host_file, *samples)) samples->clear();
            return samples;
        },
        true);
    sound.volume = 100;
    return number;
}

void sound_set_volume(int sound, int volume) {
    auto found = g_media.sounds.find(sound);
    if (found != g_media.sounds.end()) found->second.volume = std::clamp(volume, 0, 100);
}
