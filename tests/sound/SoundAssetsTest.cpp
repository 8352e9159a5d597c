// The generated sound files: where the game looks for them, their format,
// their length, and that they are audible without clipping.
#include "platform/FileSystem.h"
#include "sound/SoundEffect.h"
#include "sound/SoundManager.h"
#include "sound/WavFile.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

struct Expected {
    SoundEffect effect;
    double shortest;
    double longest;
};

// The designed length of each effect.
const Expected kExpected[] = {
    {kSoundClick, 0.025, 0.040},       {kSoundExplosion, 1.0, 1.4}, {kSoundShot, 0.2, 0.3},
    {kSoundPlop, 0.15, 0.25},          {kSoundSwoosh, 0.3, 0.4},    {kSoundHit, 0.1, 0.14},
    {kSoundProjectileHit, 0.13, 0.17}, {kSoundWhir, 0.9, 1.1},      {kSoundFallApart, 0.6, 0.8},
    {kSoundHeartbeat, 0.5, 0.99},
};

constexpr int kMinusOneDbfs = 29204; // 32767 * 10^(-1/20)

} // namespace

TEST_CASE("every generated effect parses and lasts its time and is audible without clipping")
{
    testing::DataDirectoryScope data;
    std::set<std::vector<std::int16_t>> distinct;
    for (const Expected& expected : kExpected) {
        const std::string name = SoundManager::FullSampleName(kSoundEffectFiles[expected.effect]);
        CAPTURE(name);
        std::vector<std::uint8_t> bytes;
        REQUIRE(platform::ReadDataFile(name, bytes));
        WavFile wav;
        std::string error;
        REQUIRE_MESSAGE(WavFile::Parse(bytes, wav, error), error);
        CHECK(wav.channels == 1);
        CHECK(wav.sampleRate == 44100);
        CHECK(wav.Seconds() >= expected.shortest);
        CHECK(wav.Seconds() <= expected.longest);

        int peak = 0;
        double energy = 0.0;
        for (const std::int16_t sample : wav.samples) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
            energy += static_cast<double>(sample) * sample;
        }
        const double rms = std::sqrt(energy / static_cast<double>(wav.samples.size())) / 32768.0;
        CHECK(peak <= kMinusOneDbfs);
        CHECK(peak >= 32768 / 4); // within 12 dB of full scale
        CHECK(rms > 0.01);        // not a lone spike in silence
        // Faded in and out: no click where the sound starts or stops.
        CHECK(std::abs(wav.samples.front()) < 100);
        CHECK(std::abs(wav.samples.back()) < 100);
        distinct.insert(wav.samples);
    }
    CHECK(distinct.size() == std::size(kExpected));
}
