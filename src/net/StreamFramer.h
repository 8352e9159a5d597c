// Cuts one TCP connection's byte stream back into packets by the length word
// of each header. It collects the 16 header bytes, requires 16 <= length <=
// 4015 (anything else means the stream is garbled or hostile, and the caller
// closes that connection), takes exactly the bytes that complete the packet,
// hands it on and goes on with the rest of the chunk. No stream byte is ever
// dropped and the buffer never holds more than one packet.
#pragma once

#include "net/MessageCodec.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

class StreamFramer {
public:
    using Deliver = std::function<void(std::span<const std::uint8_t> packet)>;

    // False at the first bad length; the framer then stays failed.
    bool Feed(std::span<const std::uint8_t> chunk, const Deliver& deliver);
    bool Failed() const { return failed_; }
    std::size_t Held() const { return used_; }

private:
    std::array<std::uint8_t, kMaxPacketSize> buffer_{};
    std::size_t used_ = 0;
    std::size_t expected_ = 0; // whole packet length once the header is in
    bool failed_ = false;
};
