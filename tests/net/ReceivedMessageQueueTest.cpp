// The received-record queue: its cap holds datagram records only, and each
// frame takes a fair share of every connection's records, in the order they
// came, leaving the rest for the next.
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

// An attack order (28 bytes) on the stream, numbered by its unit byte.
ReceivedMessage Order(const std::shared_ptr<Connection>& from, std::uint8_t number)
{
    ReceivedMessage message;
    message.record = AttackOrderMessage{{number, 1}, {}, {}, 0};
    message.channel = kChannelTcp;
    message.from = from;
    return message;
}

ReceivedMessage From(const std::shared_ptr<Connection>& from, NetRecord record, std::uint32_t channel)
{
    ReceivedMessage message;
    message.record = std::move(record);
    message.channel = channel;
    message.from = from;
    return message;
}

// Each taken record as the connection's letter and the order's number.
std::vector<std::string> Names(const std::vector<ReceivedMessage>& taken, const std::shared_ptr<Connection>& a)
{
    std::vector<std::string> names;
    for (const ReceivedMessage& message : taken) {
        std::string name = message.from == a ? "a" : "b";
        const auto* const order = std::get_if<AttackOrderMessage>(&message.record);
        if (order == nullptr) {
            name += '#';
        }
        name += std::to_string(order != nullptr ? order->head.unit : TypeOf(message.record));
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST_CASE("the queue's cap refuses datagram records only and keeps the order of the rest")
{
    ReceivedMessageQueue queue(2);
    CHECK(queue.Push(Message(kChannelUdp, 1)));
    CHECK(queue.Push(Message(kChannelTcp, 2)));
    CHECK(queue.Push(Message(kChannelUdp, 3)));
    CHECK_FALSE(queue.Push(Message(kChannelUdp, 4))); // a new datagram record is refused
    for (std::uint32_t id = 5; id < 8; ++id) {
        CHECK(queue.Push(Message(kChannelTcp, id))); // stream records never are
    }
    std::vector<std::uint32_t> ids;
    for (const ReceivedMessage& message : queue.TakeAll()) {
        ids.push_back(std::get<WelcomeMessage>(message.record).id);
    }
    CHECK(ids == std::vector<std::uint32_t>{1, 2, 3, 5, 6, 7});
    CHECK(queue.Size() == 0);
    CHECK(queue.Push(Message(kChannelUdp, 8))); // taking them made room
}

TEST_CASE("each take is a fair share of every connection's records, in order, and leaves are never refused")
{
    ReceivedMessageQueue queue;
    const auto a = std::make_shared<Connection>();
    const auto b = std::make_shared<Connection>();

    SUBCASE("a flooding connection gets its share a take and the other all of its own")
    {
        for (std::uint8_t i = 1; i <= 5; ++i) {
            queue.Push(Order(a, i));
        }
        queue.Push(Order(b, 1));
        queue.Push(Order(b, 2));
        CHECK(a->queuedBytes == 5 * 28);
        CHECK(b->queuedBytes == 2 * 28);
        // 60 bytes a connection: two orders of 28.
        CHECK(Names(queue.Take(60), a) == std::vector<std::string>{"a1", "a2", "b1", "b2"});
        CHECK(a->queuedBytes == 3 * 28);
        CHECK(b->queuedBytes == 0);
        queue.Push(Order(b, 3));
        CHECK(Names(queue.Take(60), a) == std::vector<std::string>{"a3", "a4", "b3"});
        CHECK(Names(queue.Take(60), a) == std::vector<std::string>{"a5"});
        CHECK(queue.Size() == 0);
        CHECK(a->queuedBytes == 0);
    }
    SUBCASE("a record larger than the share goes first and alone, and nothing overtakes a record left")
    {
        queue.Push(From(a, PlayerSlotsMessage{}, kChannelTcp)); // 748 bytes
        queue.Push(Order(a, 1));
        queue.Push(Order(b, 1));
        queue.Push(From(b, ChatMessage{"hello", 1}, kChannelTcp)); // 208 bytes, past the share
        queue.Push(Order(b, 2));                                   // would fit, but comes after
        queue.Push(Message(kChannelUdp, 9));                       // no connection: always taken
        CHECK(Names(queue.Take(100), a) == std::vector<std::string>{"a#9", "b1", "b#3"});
        CHECK(Names(queue.Take(100), a) == std::vector<std::string>{"a1", "b#6"});
        CHECK(Names(queue.Take(100), a) == std::vector<std::string>{"b2"});
    }
    SUBCASE("a connection past its budget has its datagram records refused, never its leave")
    {
        ReceivedMessageQueue small(5);
        const std::size_t budget = 4 * 20;
        for (std::uint8_t i = 1; i <= 4; ++i) {
            CHECK(small.Push(From(a, MoveOrderMessage{{i, 1}, {}}, kChannelUdp), budget));
        }
        CHECK(a->queuedBytes == budget);
        CHECK_FALSE(small.Push(From(a, MoveOrderMessage{{5, 1}, {}}, kChannelUdp), budget));
        CHECK(small.Push(Order(a, 6), budget)); // its stream records are bounded by its reader
        CHECK(small.Push(From(a, LeaveMessage{}, kChannelTcp), budget));
        // The other connection is within its budget, until the queue holds its cap of datagram records.
        CHECK(small.Push(From(b, MoveOrderMessage{{1, 2}, {}}, kChannelUdp), budget));
        CHECK_FALSE(small.Push(From(b, MoveOrderMessage{{2, 2}, {}}, kChannelUdp), budget));
        CHECK(small.Push(From(b, LeaveMessage{}, kChannelTcp), budget));
        CHECK(small.Size() == 8);
        small.Clear();
        CHECK(a->queuedBytes == 0);
        CHECK(b->queuedBytes == 0);
        CHECK(small.Push(From(b, MoveOrderMessage{{2, 2}, {}}, kChannelUdp), budget));
    }
}
