// Sound loading, the common format, the mixer and recorded plays.
// tests/platform/data/tone.ogg: 0.25 s of a 441 Hz sine, mono, 22050 Hz,
// amplitude 16384 (half of full scale).
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/media.h"
#include "platform/media_state.h"
#include "platform/sound_mixer.h"
#include "support/test_game.h"

namespace {

void copy_tone(const std::string& logical_path) {
    make_folder("sound");
    std::filesystem::copy_file(std::string(UMBRANE_SOURCE_DIR) + "/tests/platform/data/tone.ogg", host_path(logical_path),
                               std::filesystem::copy_options::overwrite_existing);
}

int peak(const std::vector<int16_t>& samples) {
    int result = 0;
    for (int16_t s : samples) result = std::max(result, std::abs(static_cast<int>(s)));
    return result;
}

}  // namespace

TEST(Sound, DecodesIntoTheCommonFormat) {
    TempGameFolder game;
    copy_tone("sound\\hit.ogg");
    std::vector<int16_t> samples;
    ASSERT_TRUE(decode_ogg_file(host_path("sound\\hit.ogg"), samples));
    // Mono at 22050 Hz becomes stereo at 44100 Hz: twice the frames, two channels.
    size_t frames = samples.size() / 2;
    EXPECT_NEAR(static_cast<double>(frames), 0.25 * MIX_RATE, 0.01 * MIX_RATE);
    EXPECT_NEAR(peak(samples), 16384, 1500);
    for (size_t f = 0; f < frames; f += 97) ASSERT_EQ(samples[2 * f], samples[2 * f + 1]);

    EXPECT_FALSE(decode_ogg_file(host_path("sound\\missing.ogg"), samples));
    game.write("sound\\noise.ogg", "OggS but not really an Ogg Vorbis stream at all");
    EXPECT_FALSE(decode_ogg_file(host_path("sound\\noise.ogg"), samples));
}

TEST(Sound, ConversionDoublesMonoDropsExtraChannelsAndResamples) {
    std::vector<int16_t> mono = {100, -200, 300};
    EXPECT_EQ(to_mix_format(mono, 1, MIX_RATE), (std::vector<int16_t>{100, 100, -200, -200, 300, 300}));
    std::vector<int16_t> three = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(to_mix_format(three, 3, MIX_RATE), (std::vector<int16_t>{1, 2, 4, 5}));
    // Half the rate: every other output frame lies halfway between two inputs.
    std::vector<int16_t> slow = {0, 0, 1000, 1000, 2000, 2000};
    std::vector<int16_t> fast = to_mix_format(slow, 2, MIX_RATE / 2);
    ASSERT_EQ(fast.size(), 12u);
    EXPECT_EQ(fast[0], 0);
    EXPECT_EQ(fast[2], 500);
    EXPECT_EQ(fast[4], 1000);
    EXPECT_EQ(fast[6], 1500);
    EXPECT_TRUE(to_mix_format(slow, 0, MIX_RATE).empty());
    // A rate of 1 Hz would stretch 1000 samples over 44 million frames: cut at ten minutes.
    EXPECT_EQ(to_mix_format(std::vector<int16_t>(1000, 7), 1, 1).size(), size_t{MIX_RATE} * 600 * MIX_CHANNELS);
}

TEST(Sound, MixerAddsScalesAndClips) {
    auto loud = std::make_shared<const std::vector<int16_t>>(std::vector<int16_t>{20000, -20000, 20000, -20000});
    auto quiet = std::make_shared<const std::vector<int16_t>>(std::vector<int16_t>{1000, 1000});
    Mixer mixer;
    int16_t out[6] = {};
    mixer.play(quiet, 50);  // volume 50: half the amplitude
    mixer.mix(out, 1);
    EXPECT_EQ(out[0], 500);
    EXPECT_EQ(out[1], 500);
    EXPECT_EQ(mixer.playing(), 0u);  // it ended
    // The volume of every sound (the options') scales each on top; muted, nothing plays.
    sound_set_master_volume(40);
    mixer.play(quiet, 50);
    mixer.mix(out, 1);
    EXPECT_EQ(out[0], 200);
    sound_set_master_volume(0);
    mixer.play(quiet, 100);
    EXPECT_EQ(mixer.playing(), 0u);
    sound_set_master_volume(100);

    mixer.play(loud, 100);
    mixer.play(loud, 100);
    mixer.play(quiet, 100);
    mixer.mix(out, 3);
    EXPECT_EQ(out[0], 32767);   // 20000 + 20000 + 1000, clipped
    EXPECT_EQ(out[1], -32768);  // -20000 - 20000 + 1000, clipped
    EXPECT_EQ(out[4], 0);       // past the end of every sound: silence
    EXPECT_EQ(mixer.playing(), 0u);

    for (size_t i = 0; i < MAX_VOICES + 5; ++i) mixer.play(loud, 1);
    EXPECT_EQ(mixer.playing(), MAX_VOICES);
    mixer.play(loud, 0);
    mixer.mix(out, 1);
    EXPECT_EQ(out[0], static_cast<int16_t>((MAX_VOICES - 1) * 200));
}

TEST(Sound, PlaysAreRecordedWithTimeFileAndVolume) {
    TempGameFolder game;
    sound_init();
    copy_tone("sound\\door.ogg");
    EXPECT_EQ(sound_load("sound\\missing.ogg"), 0);
    int door = sound_load("sound\\door.ogg");
    ASSERT_GT(door, 0);
    int again = sound_load("sound\\door.ogg");
    EXPECT_NE(again, door);

    sound_set_volume(door, 50);
    flip();
    sound_play(door);
    sound_set_volume(door, 250);  // kept within 0..100
    wait_ms(100);
    sound_play(door);
    sound_play(0);    // no such sound: nothing happens
    sound_play(999);
    const auto& played = headless::played_sounds();
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].at_ms, 16u);
    EXPECT_EQ(played[0].file, "sound\\door.ogg");
    EXPECT_EQ(played[0].volume, 50);
    EXPECT_EQ(played[1].at_ms, 116u);
    EXPECT_EQ(played[1].volume, 100);

    headless::reset();
    EXPECT_TRUE(headless::played_sounds().empty());
}

// Resampling in whole numbers gives what linear interpolation in doubles,
// rounded half away from zero, gives, for rates below and above the mixer's.
TEST(Sound, ResamplingMatchesLinearInterpolation) {
    std::vector<int16_t> mono(997);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = static_cast<int16_t>((i * 7919 % 65536) - 32768);
    for (long rate : {8000L, 11025L, 22050L, 32000L, 48000L, 96000L}) {
        const std::vector<int16_t> got = to_mix_format(mono, 1, rate);
        const size_t frames = mono.size();
        const size_t out_frames = static_cast<size_t>(static_cast<double>(frames) * MIX_RATE / rate);
        ASSERT_EQ(got.size(), out_frames * MIX_CHANNELS) << rate;
        for (size_t f = 0; f < out_frames; ++f) {
            const double where = static_cast<double>(f) * rate / MIX_RATE;
            const size_t left = static_cast<size_t>(where), right = std::min(left + 1, frames - 1);
            const double part = where - static_cast<double>(left);
            const long want = std::lround(mono[left] * (1.0 - part) + mono[right] * part);
            ASSERT_NEAR(got[f * MIX_CHANNELS], want, 1) << rate << " frame " << f;
            ASSERT_EQ(got[f * MIX_CHANNELS + 1], got[f * MIX_CHANNELS]);
        }
    }
}

// A sound is decoded once, after it is loaded; a file that does not begin as an Ogg Vorbis stream is no sound.
TEST(Sound, DecodedAsLoaded) {
    TempGameFolder game;
    copy_tone("sound\\door.ogg");
    game.write("sound\\noise.ogg", "OggS but not really an Ogg Vorbis stream at all");
    EXPECT_EQ(sound_load("sound\\noise.ogg"), 0);
    const int door = sound_load("sound\\door.ogg");
    ASSERT_GT(door, 0);
    std::vector<int16_t> decoded;
    ASSERT_TRUE(decode_ogg_file(host_path("sound\\door.ogg"), decoded));
    ASSERT_TRUE(g_media.sounds.at(door).samples());
    EXPECT_EQ(*g_media.sounds.at(door).samples(), decoded);

    // A stream cut after its first page begins as a sound: it has a number but nothing to play.
    std::string whole;
    ASSERT_TRUE(read_whole_file("sound\\door.ogg", whole));
    game.write("sound\\cut.ogg", whole.substr(0, 80));
    const int cut = sound_load("sound\\cut.ogg");
    ASSERT_GT(cut, door);
    ASSERT_TRUE(g_media.sounds.at(cut).samples());
    EXPECT_TRUE(g_media.sounds.at(cut).samples()->empty());
    // Garbage after "OggS" is no sound.
    game.write("sound\\fake.ogg", "OggS" + std::string(60, '\x01'));
    EXPECT_EQ(sound_load("sound\\fake.ogg"), 0);
}
