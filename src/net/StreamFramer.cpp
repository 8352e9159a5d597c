// StreamFramer.
#include "net/StreamFramer.h"

#include <algorithm>
#include <cstring>

bool StreamFramer::Feed(std::span<const std::uint8_t> chunk, const Deliver& deliver)
{
    while (!failed_ && !chunk.empty()) {
        const std::size_t want = expected_ == 0 ? kHeaderSize : expected_;
        const std::size_t take = std::min(want - used_, chunk.size());
        std::memcpy(buffer_.data() + used_, chunk.data(), take);
        used_ += take;
        chunk = chunk.subspan(take);
        if (used_ < want) {
            break;
        }
        if (expected_ == 0) {
            ByteReader reader(std::span<const std::uint8_t>(buffer_.data(), kHeaderSize));
            PacketHeader header;
            (void)DecodeHeader(reader, header);
            if (header.length < kHeaderSize || header.length > kMaxPacketSize) {
                failed_ = true;
                break;
            }
            expected_ = header.length;
            if (expected_ > kHeaderSize) {
                continue;
            }
        }
        const std::size_t length = used_;
        used_ = 0;
        expected_ = 0;
        deliver(std::span<const std::uint8_t>(buffer_.data(), length));
    }
    return !failed_;
}
