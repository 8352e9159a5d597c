// WAV parsing and encoding; the format is described in WavFile.h.
#include "sound/WavFile.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

#include <array>
#include <cstring>

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kFmtBodySize = 16;
// More channels or a rate outside what sound cards play means a damaged
// header; the bounds also keep the output's conversion of a sample in
// proportion to the file.
constexpr std::uint16_t kMaxChannels = 8;
constexpr std::uint32_t kMinRate = 8000;
constexpr std::uint32_t kMaxRate = 192000;

using ChunkId = std::array<std::uint8_t, 4>;

bool IsId(const ChunkId& id, const char* text)
{
    return std::memcmp(id.data(), text, id.size()) == 0;
}

struct Format {
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bits = 0;
};

bool ReadFormat(ByteReader& reader, std::uint32_t size, Format& format, std::string& error)
{
    if (size < kFmtBodySize || size > reader.Remaining()) {
        error = "bad fmt chunk size";
        return false;
    }
    if (!reader.ReadU16(format.format) || !reader.ReadU16(format.channels) || !reader.ReadU32(format.rate) ||
        !reader.ReadU32(format.byteRate) || !reader.ReadU16(format.blockAlign) || !reader.ReadU16(format.bits) ||
        !reader.Skip(size - kFmtBodySize)) {
        error = "truncated fmt chunk";
        return false;
    }
    if (format.format != kFormatPcm || format.bits != kBitsPerSample) {
        error = "not 16-bit PCM";
        return false;
    }
    if (format.channels == 0 || format.channels > kMaxChannels || format.rate < kMinRate || format.rate > kMaxRate ||
        format.blockAlign != format.channels * 2) {
        error = "bad channel count, rate or frame size";
        return false;
    }
    return true;
}

bool ReadSamples(ByteReader& reader, std::uint32_t size, const Format& format, WavFile& out, std::string& error)
{
    if (size > reader.Remaining()) {
        error = "data chunk runs past the end";
        return false;
    }
    if (size % format.blockAlign != 0) {
        error = "data is not a whole number of frames";
        return false;
    }
    out.samples.resize(size / 2);
    for (std::int16_t& sample : out.samples) {
        std::uint16_t bits = 0;
        if (!reader.ReadU16(bits)) {
            error = "truncated data chunk";
            return false;
        }
        sample = static_cast<std::int16_t>(bits);
    }
    out.sampleRate = static_cast<int>(format.rate);
    out.channels = format.channels;
    return true;
}

} // namespace

std::size_t WavFile::FrameCount() const
{
    return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
}

double WavFile::Seconds() const
{
    return sampleRate > 0 ? static_cast<double>(FrameCount()) / sampleRate : 0.0;
}

std::vector<std::uint8_t> WavFile::Encode() const
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    ByteWriter out;
    out.Reserve(44 + dataBytes);
    out.WriteTag("RIFF");
    out.WriteU32(4 + 8 + kFmtBodySize + 8 + dataBytes);
    out.WriteTag("WAVE");
    out.WriteTag("fmt ");
    out.WriteU32(kFmtBodySize);
    out.WriteU16(kFormatPcm);
    out.WriteU16(static_cast<std::uint16_t>(channels));
    out.WriteU32(static_cast<std::uint32_t>(sampleRate));
    out.WriteU32(static_cast<std::uint32_t>(sampleRate) * blockAlign);
    out.WriteU16(blockAlign);
    out.WriteU16(kBitsPerSample);
    out.WriteTag("data");
    out.WriteU32(dataBytes);
    for (const std::int16_t sample : samples) {
        out.WriteU16(static_cast<std::uint16_t>(sample));
    }
    return out.Take();
}

bool WavFile::Parse(std::span<const std::uint8_t> bytes, WavFile& out, std::string& error)
{
    out = WavFile{};
    ByteReader reader(bytes);
    ChunkId riff{};
    std::uint32_t riffSize = 0;
    ChunkId wave{};
    if (!reader.ReadBytes(riff) || !reader.ReadU32(riffSize) || !reader.ReadBytes(wave) || !IsId(riff, "RIFF") ||
        !IsId(wave, "WAVE")) {
        error = "not a RIFF WAVE file";
        return false;
    }
    Format format;
    bool haveFormat = false;
    while (reader.Remaining() > 0) {
        ChunkId id{};
        std::uint32_t size = 0;
        if (!reader.ReadBytes(id) || !reader.ReadU32(size)) {
            error = "truncated chunk header";
            return false;
        }
        if (IsId(id, "fmt ")) {
            if (!ReadFormat(reader, size, format, error)) {
                return false;
            }
            haveFormat = true;
        } else if (IsId(id, "data")) {
            if (!haveFormat) {
                error = "data before fmt";
                return false;
            }
            return ReadSamples(reader, size, format, out, error);
        } else if (!reader.Skip(size)) {
            error = "chunk runs past the end";
            return false;
        }
        // Chunks are padded to an even length; a missing pad at the very end
        // is harmless.
        if (size % 2 == 1 && reader.Remaining() > 0) {
            reader.Skip(1);
        }
    }
    error = "no data chunk";
    return false;
}
