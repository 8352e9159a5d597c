// The WAV parser, and the generated sound files it reads.
#include "sound/WavFile.h"

#include "TestSupport.h"
#include "platform/FileSystem.h"
#include "sound/SoundManager.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <set>

namespace {

using Bytes = std::vector<std::uint8_t>;

WavFile MakeSound(int channels, std::size_t frames)
{
    WavFile wav{22050, channels, {}};
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        wav.samples.push_back(static_cast<std::int16_t>(i * 977 % 65536 - 32768));
    }
    return wav;
}

bool Parses(std::span<const std::uint8_t> bytes, WavFile* out = nullptr)
{
    WavFile scratch;
    std::string error;
    return WavFile::Parse(bytes, out != nullptr ? *out : scratch, error);
}

constexpr std::size_t kDataId = 36; // the data chunk's place after Encode's header

} // namespace

TEST_CASE("wav files round trip past unknown chunks, malformed ones are refused, and every generated effect is audible")
{
    for (const int channels : {1, 2}) {
        const WavFile sound = MakeSound(channels, 1001);
        Bytes bytes = sound.Encode();
        CHECK(bytes.size() == 44 + sound.samples.size() * 2);
        const std::uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0}; // odd size, padded
        if (channels == 2) {
            bytes.insert(bytes.begin() + kDataId, std::begin(list), std::end(list));
        }
        WavFile back;
        REQUIRE(Parses(bytes, &back));
        CHECK(back.sampleRate == 22050);
        CHECK(back.channels == channels);
        CHECK(back.samples == sound.samples);
        CHECK(back.Seconds() == doctest::Approx(1001.0 / 22050.0));
    }

    // Malformed files are refused.
    const Bytes good = MakeSound(2, 100).Encode();
    for (std::size_t size = 0; size < good.size(); ++size) {
        CHECK_FALSE(Parses(std::span(good).first(size)));
    }
    // Each damages one field of a 16-bit stereo file's little-endian header.
    const struct {
        const char* name;
        void (*damage)(Bytes&);
    } kDamage[] = {
        {"not RIFF", [](Bytes& b) { b[0] = 'X'; }},
        {"not PCM", [](Bytes& b) { b[20] = 3; }},
        {"no channels", [](Bytes& b) { b[22] = 0; }},
        {"a frame size that does not match the channels", [](Bytes& b) { b[32] = 2; }},
        {"eight bits", [](Bytes& b) { b[34] = 8; }},
        {"no data chunk", [](Bytes& b) { std::memcpy(&b[kDataId], "junk", 4); }},
        {"a data size past the end", [](Bytes& b) { std::fill_n(b.begin() + 40, 4, 0xFF); }},
        {"data that is whole samples but not whole frames", [](Bytes& b) { b[40] -= 2; }},
        {"data before the format", [](Bytes& b) { std::rotate(b.begin() + 12, b.begin() + kDataId, b.end()); }},
    };
    for (const auto& damaged : kDamage) {
        CAPTURE(damaged.name);
        Bytes bytes = good;
        damaged.damage(bytes);
        CHECK_FALSE(Parses(bytes));
    }

    // Every generated effect parses, differs from the others and is audible without clipping.
    testing::DataDirectoryScope data;
    std::set<std::vector<std::int16_t>> distinct;
    for (int effect = 0; effect < kSoundEffectCount; ++effect) {
        const std::string name = SoundManager::FullSampleName(kSoundEffectFiles[effect]);
        CAPTURE(name);
        Bytes bytes;
        REQUIRE(platform::ReadDataFile(name, WavFile::kMaxFileBytes, bytes));
        WavFile wav;
        REQUIRE(Parses(bytes, &wav));
        CHECK(wav.channels == 1);
        CHECK(wav.sampleRate == 44100);
        CHECK(wav.Seconds() > 0.02); // long enough to hear, short enough for the size limit
        CHECK(wav.Seconds() < 1.5);

        const auto [low, high] = std::ranges::minmax(wav.samples);
        const int peak = std::max(-static_cast<int>(low), static_cast<int>(high));
        const double energy = std::inner_product(wav.samples.begin(), wav.samples.end(), wav.samples.begin(), 0.0);
        CHECK(peak <= 29204);     // -1 dBFS
        CHECK(peak >= 32768 / 4); // within 12 dB of full scale
        CHECK(std::sqrt(energy / static_cast<double>(wav.samples.size())) / 32768.0 > 0.01); // not a lone spike
        // Faded in and out: no click where the sound starts or stops.
        CHECK(std::abs(wav.samples.front()) < 100);
        CHECK(std::abs(wav.samples.back()) < 100);
        distinct.insert(wav.samples);
    }
    CHECK(distinct.size() == kSoundEffectCount);
}
