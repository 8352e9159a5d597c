// The screens' set-up records and the network's slots: the wire orders the
// counts differently from army creation, and names are cut to the slot.
#include "app/GameNetSession.h"

#include <doctest/doctest.h>

TEST_CASE("a player's set-up travels as a slot and comes back the same")
{
    PlayerSetup setup;
    setup.counts = {1, 2, 3, 4, 5}; // Smashtors, Triangoloids, Trajectagons, Detagons, Artillerators
    setup.start = {4.0f, 0.5f, -9.0f};
    setup.ready = true;
    setup.name = "Hal";
    setup.colour = 0xFF0000FFu;
    setup.mode = 3;
    const PlayerSlot slot = GameNetSession::SlotOf(setup);
    CHECK(slot.counts == std::array<std::int32_t, 5>{3, 1, 2, 4, 5});
    const PlayerSetup back = GameNetSession::SetupOf(slot);
    CHECK(back.counts.smashtors == 1);
    CHECK(back.counts.trajectagons == 3);
    CHECK(back.counts.artillerators == 5);
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
