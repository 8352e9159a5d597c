// The host's score for the clients: when a result goes out (at once for a
// new match state, else twice a second, never outside a match), and which
// received results a client may take at all.
#include "NetFakes.h"
#include "net/MatchResultSync.h"
#include "net/PacketPair.h"
#include "net/RecordChecks.h"

#include <doctest/doctest.h>

#include <cmath>

namespace {

// The match states of the results one tick queued.
std::vector<std::uint32_t> Tick(MatchResultSync& sync, const FakeNetWorld& world)
{
    PacketPair tcp(kChannelTcp);
    sync.Tick(world, tcp);
    std::vector<std::uint32_t> states;
    WalkRecords(tcp.First().Packet(),
                [&](const NetRecord& record) { states.push_back(std::get<MatchResultMessage>(record).state); });
    return states;
}

MatchResultMessage TwoArmies()
{
    MatchResultMessage result;
    result.state = 2;
    result.count = 2;
    result.armies[0] = {1, 3, 0, 1, 12.5f};
    result.armies[1] = {0, 0, 3, 0, 0.0f};
    return result;
}

} // namespace

TEST_CASE("the host sends its score at once when the match state changes and otherwise twice a second")
{
    FakeNetWorld world;
    MatchResultSync sync;
    world.state = 1; // the menus: nothing to score
    CHECK(Tick(sync, world).empty());
    world.state = kNetStateMatch;
    CHECK(Tick(sync, world) == std::vector<std::uint32_t>{2});
    // Then every tenth tick of the 0.05 s timer.
    int sent = 0;
    for (int tick = 1; tick <= 2 * MatchResultSync::kTicksPerResult; ++tick) {
        const std::size_t queued = Tick(sync, world).size();
        CHECK(queued == (tick % MatchResultSync::kTicksPerResult == 0 ? 1u : 0u));
        sent += static_cast<int>(queued);
    }
    CHECK(sent == 2);
    // The statistics go out on the next tick, not half a second later.
    CHECK(Tick(sync, world).empty());
    world.matchState = 5;
    CHECK(Tick(sync, world) == std::vector<std::uint32_t>{5});
    CHECK(Tick(sync, world).empty());
    // A new match starts the count again.
    sync.Reset();
    CHECK(Tick(sync, world) == std::vector<std::uint32_t>{5});
}

TEST_CASE("a client takes only results a match can reach")
{
    CHECK(IsValidMatchResult(TwoArmies()));
    CHECK(IsValidMatchResult(MatchResultMessage{}));
    MatchResultMessage full;
    full.count = 8;
    for (std::uint8_t i = 0; i < 8; ++i) {
        full.armies[i].army = i;
    }
    CHECK(IsValidMatchResult(full));

    const auto refused = [](void (*spoil)(MatchResultMessage&)) {
        MatchResultMessage result = TwoArmies();
        spoil(result);
        return !IsValidMatchResult(result);
    };
    CHECK(refused([](MatchResultMessage& r) { r.state = 6; }));
    CHECK(refused([](MatchResultMessage& r) { r.count = 9; }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[1].army = r.armies[0].army; }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[0].damageDealt = -1; }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[1].damageTaken = 1 << 20; }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[0].flagCount = -1; }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[0].flagTime = std::nanf(""); }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[1].flagTime = INFINITY; }));
    CHECK(refused([](MatchResultMessage& r) { r.armies[1].flagTime = 1e9f; }));
    // Entries past the count are not read, whatever they hold.
    MatchResultMessage counted = TwoArmies();
    counted.armies[5] = {1, -7, -7, -7, std::nanf("")};
    CHECK(IsValidMatchResult(counted));
}
