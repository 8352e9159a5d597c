// The checks on received records: points held to the map they fall on,
// unit states with finite but absurd values refused, a slot held to the
// match's units and types and its start to the largest map, and control
// bytes taken out of received text.
#include "game/UnitOrder.h"
#include "net/RecordChecks.h"

#include <doctest/doctest.h>

#include <numeric>

namespace {

int Total(const PlayerSlot& slot)
{
    return std::accumulate(slot.counts.begin(), slot.counts.end(), 0);
}

UnitStateMessage StateAt(const Vec3& position)
{
    UnitStateMessage state;
    state.position = position;
    state.destination = position;
    state.order = kOrderMove;
    return state;
}

} // namespace

TEST_CASE("received points are held to the map they fall on")
{
    const MapReach reach = ReachOfMap(400.0f);
    CHECK(reach.across == doctest::Approx(216.0f)); // half the side and a margin
    CHECK(ReachOfMap(0.0f).across > 2000.0f);       // no map: the largest the game loads

    SUBCASE("unit states far apart, though finite, are refused")
    {
        CHECK(IsValidUnitState(StateAt({10.0f, 5.0f, -216.0f}), reach));
        CHECK_FALSE(IsValidUnitState(StateAt({0.0f, 0.0f, 3.0e38f}), reach));
        CHECK_FALSE(IsValidUnitState(StateAt({0.0f, 0.0f, -3.0e38f}), reach));
        CHECK_FALSE(IsValidUnitState(StateAt({217.0f, 0.0f, 0.0f}), reach));
        CHECK_FALSE(IsValidUnitState(StateAt({0.0f, 3.0e38f, 0.0f}), reach));
        UnitStateMessage state = StateAt({});
        state.destination = {0.0f, 0.0f, 1.0e30f};
        CHECK_FALSE(IsValidUnitState(state, reach));
        // A unit fleeing from across the map aims 50 of those lengths past itself.
        state.destination = {-216.0f - 50.0f * 432.0f, 0.0f, 216.0f};
        CHECK(IsValidUnitState(state, reach));
        state.destination.x -= 10.0f;
        CHECK_FALSE(IsValidUnitState(state, reach));
        state = StateAt({});
        state.velocity = {0.0f, -3.0e38f, 0.0f};
        CHECK_FALSE(IsValidUnitState(state, reach));
        state.velocity = {40.0f, -30.0f, 25.0f}; // thrown by a blast
        CHECK(IsValidUnitState(state, reach));
        state.order = 99;
        CHECK_FALSE(IsValidUnitState(state, reach));
    }
    SUBCASE("order points and blasts off the map are refused")
    {
        CHECK(IsOnMap({200.0f, 0.0f, -200.0f}, reach));
        CHECK_FALSE(IsOnMap({std::nanf(""), 0.0f, 0.0f}, reach));
        CHECK_FALSE(IsOnMap({0.0f, 0.0f, 1.0e9f}, reach));
        CHECK(IsValidExplosion({{1.0f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f}, reach));
        CHECK_FALSE(IsValidExplosion({{3.0e38f, 2.0f, 3.0f}, 12.0, 24.0, 10.0f}, reach));
        CHECK_FALSE(IsValidExplosion({{1.0f, 2.0f, 3.0f}, 12.0, 1.0e30, 10.0f}, reach)); // flings units off the map
        CHECK_FALSE(IsValidExplosion({{1.0f, 2.0f, 3.0f}, 12.0, -24.0, 10.0f}, reach));
    }
    SUBCASE("a start from the host is kept to the largest map, a start that is no number to the centre")
    {
        PlayerSlot slot;
        slot.start = {3.0e38f, -3.0e38f, -3.0e38f};
        const PlayerSlot far = BoundedSlot(slot, {});
        CHECK(IsOnMap(far.start, ReachOfMap(0.0f)));
        CHECK(far.start.x > 0.0f);
        CHECK(far.start.z < 0.0f);
        slot.start = {std::nanf(""), 1.0f, INFINITY};
        CHECK(BoundedSlot(slot, {}).start == Vec3{0.0f, 1.0f, 0.0f});
        slot.start = {-150.0f, 3.0f, 120.0f}; // a map's own start goes through unchanged
        CHECK(BoundedSlot(slot, {}).start == slot.start);
    }
}

TEST_CASE("an army from the network is held to the match's units and allowed types")
{
    GameSettingsMessage match; // 40 units, every type
    PlayerSlot slot;

    SUBCASE("256 units in a 40-unit game are cut to 40, the later types first")
    {
        slot.counts = {120, 120, 16, 0, 0};
        const PlayerSlot bounded = BoundedSlot(slot, match);
        CHECK(Total(bounded) == 40);
        CHECK(bounded.counts[0] == 40);
        slot.counts = {10, 10, 10, 5, 5};
        CHECK(BoundedSlot(slot, match).counts == slot.counts); // the screen's own split is kept
    }
    SUBCASE("negative counts count as none, and barred types bring none")
    {
        slot.counts = {-5, 7, 8, 9, 10};
        match.unitMask = 1 | 2; // Smashtor and Triangoloid only
        const PlayerSlot bounded = BoundedSlot(slot, match);
        CHECK(bounded.counts == std::array<std::int32_t, 5>{0, 7, 8, 0, 0});
    }
    SUBCASE("a hundred-unit game allows a hundred")
    {
        slot.counts = {100, 100, 100, 100, 100};
        match.maxUnits = 100;
        CHECK(Total(BoundedSlot(slot, match)) == 100);
    }
}

TEST_CASE("received text loses every control byte and keeps the rest")
{
    CHECK(CleanReceivedText("Ann\nover\rthe\tline") == "Annovertheline");
    CHECK(CleanReceivedText(std::string("a\0b", 3)) == "ab");
    CHECK(CleanReceivedText("caf\xE9 \x7F\x85\x9F!") == "caf\xE9 !"); // Latin-1 letters stay, C1 goes
    CHECK(CleanReceivedText("Hal >> hello") == "Hal >> hello");
    PlayerSlot slot;
    slot.name = "two\nlines";
    CHECK(BoundedSlot(slot, {}).name == "twolines");
}
