// Sound decoding and mixing (private to the media layer). Every sound is
// decoded once, by a thread of its own right after it is loaded, into one
// common format: interleaved stereo, signed 16-bit, MIX_RATE frames per
// second. The mixer adds up every sound that is playing.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int MIX_RATE = 44100;
constexpr int MIX_CHANNELS = 2;
constexpr size_t MAX_VOICES = 32;

// Interleaved 16-bit samples of any channel count and rate in the common
// format: mono is doubled, channels beyond two are dropped, other rates are
// resampled linearly.
std::vector<int16_t> to_mix_format(const std::vector<int16_t>& samples, int channels, long rate);

// An Ogg Vorbis file in the common format; false when it is missing or no
// Ogg Vorbis.
bool decode_ogg_file(const std::string& host_file, std::vector<int16_t>& out);

class Mixer {
public:
    // Starts a sound; volume 0..100 scales the amplitude (50 is half).
    void play(std::shared_ptr<const std::vector<int16_t>> samples, int volume);
    // Fills frames stereo frames with the sum of the playing sounds
    // (clipped to 16 bits); sounds that end are dropped.
    void mix(int16_t* out, int frames);
    size_t playing() const { return voices_.size(); }
    void clear() { voices_.clear(); }

private:
    struct Voice {
        std::shared_ptr<const std::vector<int16_t>> samples;
        size_t position = 0;  // in samples
        int volume = 100;
    };
    std::vector<Voice> voices_;
};
