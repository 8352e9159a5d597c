#include "platform/InputEvents.h"

#include <doctest/doctest.h>

#include <array>

namespace {

platform::KeyRecord Key(std::uint8_t scanCode, bool down)
{
    platform::KeyRecord record;
    record.scanCode = scanCode;
    record.down = down;
    return record;
}

} // namespace

TEST_CASE("input record buffers hand out records oldest first and keep the newest when full")
{
    platform::InputRecordBuffer<platform::KeyRecord, 4> buffer;
    std::array<platform::KeyRecord, 8> out{};

    SUBCASE("a read takes no more than asked and the rest waits in order")
    {
        for (std::uint8_t code = 1; code <= 3; ++code) {
            buffer.Push(Key(code, true));
        }
        CHECK(buffer.Take(std::span(out.data(), 2)) == 2);
        CHECK(out[0].scanCode == 1);
        CHECK(out[1].scanCode == 2);
        CHECK(buffer.Size() == 1);
        CHECK(buffer.Take(out) == 1);
        CHECK(out[0].scanCode == 3);
        CHECK(buffer.Take(out) == 0);
    }

    SUBCASE("overflow drops the oldest records and counts them")
    {
        // Press and release of three keys: six records into four places.
        for (std::uint8_t code = 1; code <= 3; ++code) {
            buffer.Push(Key(code, true));
            buffer.Push(Key(code, false));
        }
        CHECK(buffer.Size() == 4);
        CHECK(buffer.TakeDroppedCount() == 2);
        CHECK(buffer.TakeDroppedCount() == 0);
        REQUIRE(buffer.Take(out) == 4);
        // The last word on every key survives: key 1's release is gone only
        // together with its press.
        CHECK(out[0].scanCode == 2);
        CHECK(out[0].down);
        CHECK(out[3].scanCode == 3);
        CHECK_FALSE(out[3].down);
    }

    SUBCASE("the ring wraps around many times without losing order")
    {
        std::uint8_t next = 0;
        std::uint8_t expected = 0;
        for (int round = 0; round < 50; ++round) {
            buffer.Push(Key(next++, true));
            buffer.Push(Key(next++, true));
            CHECK(buffer.Take(std::span(out.data(), 1)) == 1);
            CHECK(out[0].scanCode == expected++);
            CHECK(buffer.Take(std::span(out.data(), 1)) == 1);
            CHECK(out[0].scanCode == expected++);
        }
        CHECK(buffer.Size() == 0);
    }

    SUBCASE("clear empties the buffer")
    {
        buffer.Push(Key(5, true));
        buffer.Clear();
        CHECK(buffer.Size() == 0);
        CHECK(buffer.Take(out) == 0);
    }
}

TEST_CASE("the process buffers have the device sizes")
{
    CHECK(platform::KeyRecordBuffer::CapacityOf() == 8);
    CHECK(platform::MouseRecordBuffer::CapacityOf() == 128);
    CHECK(&platform::KeyboardRecords() == &platform::KeyboardRecords());
}
