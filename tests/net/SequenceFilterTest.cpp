// The client's stale filter on its host's datagram numbers: late ones are
// dropped, one far-off number moves nothing, and a host that restarts its
// numbering or comes back after a long loss is followed from its second
// datagram.
#include "net/SequenceFilter.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <initializer_list>

namespace {

// A filter that has taken 1 to last in order.
SequenceFilter TakenUpTo(std::uint32_t first, std::uint32_t last)
{
    SequenceFilter filter;
    for (std::uint32_t sequence = first; sequence != last + 1; ++sequence) {
        REQUIRE(filter.Take(sequence));
    }
    return filter;
}

} // namespace

TEST_CASE("the stale filter drops older datagrams without letting one datagram move it")
{
    SUBCASE("equal and forward numbers are taken, older ones dropped")
    {
        SequenceFilter filter = TakenUpTo(1, 100);
        CHECK(filter.Take(100)); // a second packet of the same frame
        CHECK_FALSE(filter.Take(99));
        CHECK_FALSE(filter.Take(100 - SequenceFilter::kLateWindow));
        CHECK(filter.Take(100 + SequenceFilter::kForwardWindow)); // a long loss, still within the window
        CHECK_FALSE(filter.Take(101));
    }
    SUBCASE("one forged number far ahead or far behind changes nothing")
    {
        for (const std::uint32_t forged : {0xFFFFFFF0u, 0x80000000u, 5000u, 0u}) {
            CAPTURE(forged);
            SequenceFilter filter = TakenUpTo(101, 200);
            CHECK_FALSE(filter.Take(forged));
            CHECK(filter.Take(201));
            CHECK_FALSE(filter.Take(150));
            // The genuine datagram made it forget the forged number.
            CHECK_FALSE(filter.Take(forged + 1));
            CHECK(filter.Take(202));
        }
    }
    SUBCASE("a host that restarts its numbering is followed from its second datagram")
    {
        SequenceFilter filter = TakenUpTo(9000, 9100);
        CHECK_FALSE(filter.Take(1));
        CHECK(filter.Take(2));
        CHECK(filter.Take(3));
        CHECK_FALSE(filter.Take(9101)); // the old numbers are the stale ones now
        // A restart landing just below the last number waits until it passes it.
        SequenceFilter near = TakenUpTo(1, 30);
        for (std::uint32_t sequence = 1; sequence < 30; ++sequence) {
            CHECK_FALSE(near.Take(sequence));
        }
        CHECK(near.Take(30));
    }
    SUBCASE("a stream back after a loss past the window is followed from its second datagram, gaps and all")
    {
        SequenceFilter filter = TakenUpTo(1, 10);
        const std::uint32_t back = 10 + SequenceFilter::kForwardWindow + 1000;
        CHECK_FALSE(filter.Take(back));
        CHECK(filter.Take(back + 3));
        CHECK(filter.Take(back + 4));
    }
    SUBCASE("numbers run on across the wrap of the counter")
    {
        SequenceFilter filter = TakenUpTo(0xFFFFFFFEu, 0xFFFFFFFFu);
        CHECK(filter.Take(0));
        CHECK(filter.Take(1));
        CHECK_FALSE(filter.Take(0xFFFFFFFFu));
    }
    SUBCASE("a cleared filter takes any first number")
    {
        SequenceFilter filter = TakenUpTo(9000, 9100);
        filter.Clear();
        CHECK(filter.Take(1));
        CHECK(filter.Take(2));
        CHECK_FALSE(filter.Take(1));
    }
}
