// The counterpart of ByteReader for the files and packets the game and its
// tools write: little-endian numbers appended to a growing byte vector.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

class ByteWriter {
public:
    void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

    void WriteU8(std::uint8_t value) { bytes_.push_back(value); }

    void WriteU16(std::uint16_t value)
    {
        bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    }

    void WriteU32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes_.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
        }
    }

    void WriteF32(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        WriteU32(bits);
    }

    void WriteF64(double value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        WriteU32(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
        WriteU32(static_cast<std::uint32_t>(bits >> 32));
    }

    void WriteZeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    void WriteBytes(std::span<const std::uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

    // A four-character tag such as "RIFF", without its terminator.
    void WriteTag(const char (&tag)[5])
    {
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>(tag[i]));
        }
    }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};
