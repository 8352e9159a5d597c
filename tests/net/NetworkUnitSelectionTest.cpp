// Unit selection in a network game, over a fake session and a recording
// game: the host waits for every joined client's ready slot and sends only
// players it could place, after the announcing stops and the sync starts; a client sends its own slot once and selects
// only its own army. That both sides build the same armies is the two-process match's to prove.
#include "screens/ScreenManager.h"
#include "screens/UnitSelectionScreen.h"

#include "FakeNetSession.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

PlayerSetup ReadySlot(const std::string& name)
{
    PlayerSetup slot;
    slot.ready = true;
    slot.name = name;
    return slot;
}

template <bool Hosting> struct SelectionFixture : NetScreenScope {
    SelectionFixture()
    {
        host.session = kMultiPlayer;
        host.authority = Hosting;
        session.hosting = Hosting;
        session.ownName = Hosting ? "Hal" : "Ann";
        session.ownId = Hosting ? -1 : 2;
        session.players = {{1, "Ann"}, {3, "Bob"}};
        ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    }
    UnitSelectionScreen* screen = UnitSelectionScreen::Instance();
};

} // namespace

TEST_CASE_FIXTURE(SelectionFixture<true>, "a host starts once every client is ready and sends only players it placed")
{
    REQUIRE_FALSE(screen->IsStartAllowed());
    Press(UnitSelectionScreen::StartGameFromUnitSelection);
    CHECK(host.armies.empty());
    screen->GetSlot(1) = ReadySlot("Ann");
    screen->GetSlot(3) = ReadySlot("Bob");

    SUBCASE("a client that leaves is waited for no longer and gets no army")
    {
        screen->PlayersChanged({1});
        CHECK(screen->IsStartAllowed());
        CHECK_FALSE(screen->GetSlots()[3].ready);
        screen->PlayersChanged({1, 4});
        CHECK_FALSE(screen->IsStartAllowed());
    }
    SUBCASE("Start sends only the players placed: none for an empty slot or one the map has no start for")
    {
        screen->SetStartAllowed(true);
        host.startSlotsLeft = 2;
        Press(UnitSelectionScreen::StartGameFromUnitSelection);
        CHECK(session.calls == std::vector<std::string>{"StopAnnouncing", "StartUnitStateSync", "SendSlotsAsHost"});
        CHECK(host.armies.size() == 2);
        CHECK(session.hostSlots[1].ready);
        CHECK_FALSE(session.hostSlots[2].ready);
        CHECK_FALSE(session.hostSlots[3].ready);
    }
}

TEST_CASE_FIXTURE(SelectionFixture<false>, "a network client sends its slot once and selects only its own army")
{
    REQUIRE(screen->IsStartAllowed());
    Press(UnitSelectionScreen::StartGameFromUnitSelection);
    Press(UnitSelectionScreen::StartGameFromUnitSelection);
    REQUIRE(session.clientSlots.size() == 1);
    CHECK(session.clientSlots[0].ready);
    CHECK(session.clientSlots[0].name == "Ann");
    CHECK(host.armies.empty());

    std::array<PlayerSetup, 8> slots{};
    slots[0] = slots[2] = slots[5] = ReadySlot("");
    screen->StartNetworkMatch(slots, session.ownId);
    REQUIRE(host.armies.size() == 3);
    CHECK(host.armies[1].local);
    CHECK_FALSE(host.armies[2].local);
}
