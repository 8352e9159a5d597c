// The received-record queue under a flood: datagram records give way first,
// stream records keep their order, and a queue of stream records refuses more.
#include "net/MessageCodec.h"
#include "net/ReceivedMessageQueue.h"

#include <doctest/doctest.h>

namespace {

ReceivedMessage Message(std::uint32_t channel, std::uint32_t id)
{
    ReceivedMessage message;
    message.record = WelcomeMessage{id};
    message.channel = channel;
    return message;
}

} // namespace

TEST_CASE("a full queue gives up datagram records first and keeps the order of the rest")
{
    ReceivedMessageQueue queue(3);
    CHECK(queue.Push(Message(kChannelUdp, 1)));
    CHECK(queue.Push(Message(kChannelTcp, 2)));
    CHECK(queue.Push(Message(kChannelUdp, 3)));
    CHECK_FALSE(queue.Push(Message(kChannelUdp, 4))); // a new datagram record is refused
    CHECK(queue.Push(Message(kChannelTcp, 5)));       // a stream record pushes out the oldest datagram one
    CHECK(queue.Push(Message(kChannelTcp, 6)));
    CHECK_FALSE(queue.Push(Message(kChannelTcp, 7))); // nothing left to give up
    std::vector<std::uint32_t> ids;
    for (const ReceivedMessage& message : queue.TakeAll()) {
        ids.push_back(std::get<WelcomeMessage>(message.record).id);
    }
    CHECK(ids == std::vector<std::uint32_t>{2, 5, 6});
    CHECK(queue.Size() == 0);
}
