#include "sound/WavFile.h"

#include <doctest/doctest.h>

#include <cstring>

namespace {

WavFile MakeSound(int channels, std::size_t frames)
{
    WavFile wav;
    wav.sampleRate = 22050;
    wav.channels = channels;
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        wav.samples.push_back(static_cast<std::int16_t>(i * 977 % 65536 - 32768));
    }
    return wav;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    PutU16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// Offsets in the 44-byte header Encode writes.
constexpr std::size_t kFormatTag = 20;
constexpr std::size_t kChannels = 22;
constexpr std::size_t kBlockAlign = 32;
constexpr std::size_t kBits = 34;
constexpr std::size_t kDataId = 36;
constexpr std::size_t kDataSize = 40;

bool Parses(const std::vector<std::uint8_t>& bytes)
{
    WavFile out;
    std::string error;
    return WavFile::Parse(bytes, out, error);
}

} // namespace

TEST_CASE("wav files round trip through the encoder and the parser")
{
    for (const int channels : {1, 2}) {
        const WavFile sound = MakeSound(channels, 1001);
        const std::vector<std::uint8_t> bytes = sound.Encode();
        CHECK(bytes.size() == 44 + sound.samples.size() * 2);
        WavFile back;
        std::string error;
        REQUIRE(WavFile::Parse(bytes, back, error));
        CHECK(back.sampleRate == 22050);
        CHECK(back.channels == channels);
        CHECK(back.samples == sound.samples);
        CHECK(back.FrameCount() == 1001);
        CHECK(back.Seconds() == doctest::Approx(1001.0 / 22050.0));
    }
}

TEST_CASE("malformed wav files are refused")
{
    const std::vector<std::uint8_t> good = MakeSound(1, 100).Encode();
    std::vector<std::uint8_t> bytes = good;

    SUBCASE("every truncation")
    {
        for (std::size_t size = 0; size < good.size(); ++size) {
            const std::vector<std::uint8_t> prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
            CHECK_FALSE(Parses(prefix));
        }
    }
    SUBCASE("not RIFF")
    {
        bytes[0] = 'X';
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("not PCM")
    {
        PutU16(bytes, kFormatTag, 3);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("eight bits")
    {
        PutU16(bytes, kBits, 8);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("no channels")
    {
        PutU16(bytes, kChannels, 0);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("a frame size that does not match the channels")
    {
        PutU16(bytes, kBlockAlign, 4);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("a data size past the end")
    {
        PutU32(bytes, kDataSize, 0xFFFFFFFFu);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("stereo data that is not a whole number of frames")
    {
        bytes = MakeSound(2, 10).Encode();
        PutU32(bytes, kDataSize, 38);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("no data chunk")
    {
        std::memcpy(&bytes[kDataId], "junk", 4);
        CHECK_FALSE(Parses(bytes));
    }
    SUBCASE("data before the format")
    {
        std::vector<std::uint8_t> swapped(good.begin(), good.begin() + 12);
        swapped.insert(swapped.end(), good.begin() + kDataId, good.end());
        swapped.insert(swapped.end(), good.begin() + 12, good.begin() + kDataId);
        CHECK_FALSE(Parses(swapped));
    }
}

TEST_CASE("unknown chunks are skipped with their pad byte")
{
    const WavFile sound = MakeSound(1, 50);
    const std::vector<std::uint8_t> good = sound.Encode();
    std::vector<std::uint8_t> bytes(good.begin(), good.begin() + kDataId);
    const std::uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.end(), std::begin(list), std::end(list));
    bytes.insert(bytes.end(), good.begin() + kDataId, good.end());
    WavFile back;
    std::string error;
    REQUIRE(WavFile::Parse(bytes, back, error));
    CHECK(back.samples == sound.samples);
}
