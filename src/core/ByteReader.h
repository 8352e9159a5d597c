// The one bounded reader for untrusted bytes (map files, packets): every read
// checks what remains before it touches the buffer, numbers are little-endian
// and copied out byte by byte, and a failed read leaves the cursor where it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return bytes_.size() - position_; }

    bool ReadU8(std::uint8_t& out)
    {
        std::uint8_t b[1] = {};
        if (!ReadBytes(b)) {
            return false;
        }
        out = b[0];
        return true;
    }

    bool ReadU16(std::uint16_t& out)
    {
        std::uint8_t b[2] = {};
        if (!ReadBytes(b)) {
            return false;
        }
        out = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
        return true;
    }

    bool ReadU32(std::uint32_t& out)
    {
        std::uint8_t b[4] = {};
        if (!ReadBytes(b)) {
            return false;
        }
        out = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
              (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
        return true;
    }

    bool ReadF32(float& out)
    {
        std::uint32_t bits = 0;
        if (!ReadU32(bits)) {
            return false;
        }
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

    bool ReadF64(double& out)
    {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        if (Remaining() < 8 || !ReadU32(low) || !ReadU32(high)) {
            return false;
        }
        const std::uint64_t bits = (static_cast<std::uint64_t>(high) << 32) | low;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

    bool ReadBytes(std::span<std::uint8_t> out)
    {
        if (out.size() > Remaining()) {
            return false;
        }
        if (!out.empty()) {
            std::memcpy(out.data(), bytes_.data() + position_, out.size());
        }
        position_ += out.size();
        return true;
    }

    bool Skip(std::size_t count)
    {
        if (count > Remaining()) {
            return false;
        }
        position_ += count;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};
