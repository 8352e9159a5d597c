// The screens' set-up records and the network's slots: the wire orders the
// counts differently from army creation, and names are cut to the slot.
#include "app/GameNetSession.h"

#include <doctest/doctest.h>

#include <vector>

TEST_CASE("a player's set-up travels as a slot and comes back the same")
{
    // Counts of Smashtors, Triangoloids, Trajectagons, Detagons, Artillerators.
    PlayerSetup setup{.counts = {1, 2, 3, 4, 5},
                      .start = {4.0f, 0.5f, -9.0f},
                      .ready = true,
                      .name = "Hal",
                      .colour = 0xFF0000FFu,
                      .mode = 3};
    const PlayerSlot slot = GameNetSession::SlotOf(setup);
    CHECK(slot.counts == std::array<std::int32_t, 5>{3, 1, 2, 4, 5});
    const PlayerSetup back = GameNetSession::SetupOf(slot);
    const ArmyUnitCounts& counts = back.counts;
    CHECK(std::vector{counts.smashtors, counts.triangoloids, counts.trajectagons, counts.detagons,
                      counts.artillerators} == std::vector{1, 2, 3, 4, 5});
    CHECK(back.start == setup.start);
    CHECK(back.ready);
    CHECK(back.colour == setup.colour);
    CHECK(back.mode == 3);

    setup.name = std::string(120, 'x');
    CHECK(GameNetSession::SlotOf(setup).name.size() == kSlotNameField - 1);
    const GameOptions options{2, 7.5f, 9, 3, 66, 1};
    const GameOptions round = GameNetSession::OptionsOf(GameNetSession::SettingsOf(options));
    CHECK(round.minutes == 7.5f);
    CHECK(round.unitMask == 9);
    CHECK(round.computerArmies == 1);
}
