// The unit-state sync's cursor: forty states a tick, every unit in turn,
// through armies that shrink between ticks. The full flow of every unit to
// the clients is NetworkManagerTest's.
#include "NetFakes.h"
#include "net/PacketPair.h"
#include "net/UnitStateSync.h"

#include <doctest/doctest.h>

#include <algorithm>

namespace {

// The heads of the unit states one tick queued, in order (each datagram
// opens with its proof).
std::vector<UnitHead> Tick(UnitStateSync& sync, const FakeNetWorld& world)
{
    PacketPair udp(kChannelUdp);
    sync.Tick(world, udp);
    std::vector<UnitHead> heads;
    for (PacketBuffer* buffer : {&udp.First(), &udp.Overflow()}) {
        WalkRecords(buffer->Packet(), [&](const NetRecord& record) {
            if (const auto* state = std::get_if<UnitStateMessage>(&record)) {
                heads.push_back(state->head);
            }
        });
    }
    return heads;
}

} // namespace

TEST_CASE("the sync sends forty units a tick in turn, whatever the armies do between ticks")
{
    FakeNetWorld world;
    UnitStateSync sync;
    world.Populate(3, 30);
    CHECK(Tick(sync, world).size() == 40); // army 0 whole, army 1 up to unit 9
    // A unit gone between ticks drops out and the rest go on.
    world.armies[1].erase(world.armies[1].begin() + 12);
    const std::vector<UnitHead> heads = Tick(sync, world);
    CHECK(heads.front() == UnitHead{10, 1});
    CHECK(std::find(heads.begin(), heads.end(), UnitHead{12, 1}) == heads.end());
    CHECK(heads.back() == UnitHead{20, 2});
    // The cursor past the armies (a match that lost armies) starts again without sending.
    world.armies.resize(1);
    CHECK(Tick(sync, world).empty());
    CHECK(Tick(sync, world).size() == 40);
}
