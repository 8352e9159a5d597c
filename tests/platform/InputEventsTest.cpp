#include "platform/InputEvents.h"

#include <doctest/doctest.h>

#include <array>

TEST_CASE("input record buffers hand out records oldest first and keep the newest when full")
{
    platform::InputRecordBuffer<platform::KeyRecord, 4> buffer;
    std::array<platform::KeyRecord, 8> out{};
    const auto push = [&buffer](int code, bool down) { buffer.Push({static_cast<std::uint8_t>(code), down, 0}); };

    // Overflow drops the oldest records and counts them.
    for (int code = 1; code <= 3; ++code) {
        push(code, true);
        push(code, false);
    }
    CHECK(buffer.TakeDroppedCount() == 2);
    CHECK(buffer.TakeDroppedCount() == 0);
    REQUIRE(buffer.Take(out) == 4);
    CHECK(out[0].scanCode == 2);
    CHECK(out[0].down);
    CHECK(out[3].scanCode == 3);
    CHECK_FALSE(out[3].down);

    // Reads of part of the records wrap the ring many times without losing order.
    int expected = 0;
    for (int code = 0; code < 100; code += 2) {
        push(code, true);
        push(code + 1, true);
        for (int i = 0; i < 2; ++i) {
            CHECK(buffer.Take(std::span(out.data(), 1)) == 1);
            CHECK(out[0].scanCode == expected++);
        }
    }
    push(5, true);
    buffer.Clear();
    CHECK(buffer.Take(out) == 0);
}
