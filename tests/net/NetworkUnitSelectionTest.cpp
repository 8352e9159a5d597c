// Unit selection in a network game, over a fake session and a recording
// game: the host waits for every joined client's ready slot, places every
// ready player and sends the slots; a client sends its own once and builds
// the host's armies in the host's order with only its own selected.
#include "gui/guiManager.h"
#include "screens/ScreenManager.h"
#include "screens/UnitSelectionScreen.h"

#include "../screens/RecordingMenuHost.h"
#include "FakeNetSession.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

void PressStart()
{
    guiParam a;
    guiParam b;
    bool handled = false;
    UnitSelectionScreen::StartGameFromUnitSelection(kGuiButtonReleased, &a, &b, &handled);
}

PlayerSetup ReadySlot(const std::string& name, int smashtors)
{
    PlayerSetup slot;
    slot.counts.smashtors = smashtors;
    slot.ready = true;
    slot.name = name;
    return slot;
}

struct NetworkSelectionFixture {
    explicit NetworkSelectionFixture(bool hosting)
    {
        host.session = kMultiPlayer;
        host.authority = hosting;
        session.hosting = hosting;
        session.ownName = hosting ? "Hal" : "Ann";
        session.ownId = hosting ? -1 : 2;
    }
    testing::TempDirectory logs;
    testing::GuiTestScope gui;
    testing::RecordingMenuHost host;
    FakeNetSession session;
    UnitSelectionScreen* screen = UnitSelectionScreen::Instance();
};

} // namespace

TEST_CASE("a network host starts once every client is ready and places every ready player")
{
    NetworkSelectionFixture fixture(true);
    FakeNetSession& session = fixture.session;
    UnitSelectionScreen* screen = fixture.screen;
    session.players = {{1, "Ann"}, {3, "Bob"}};
    ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    REQUIRE_FALSE(screen->IsStartAllowed());
    PressStart();
    CHECK(fixture.host.armies.empty());
    screen->GetSlot(1) = ReadySlot("Ann", 4);
    screen->GetSlot(3) = ReadySlot("Bob", 5);

    SUBCASE("a client that leaves is waited for no longer and gets no army")
    {
        screen->PlayersChanged({1});
        CHECK(screen->IsStartAllowed());
        CHECK_FALSE(screen->GetSlots()[3].ready);
        screen->PlayersChanged({1, 4});
        CHECK_FALSE(screen->IsStartAllowed());
    }
    SUBCASE("Start: the armies in slot order with the host's selected, then the slots sent")
    {
        screen->SetStartAllowed(true);
        PressStart();
        CHECK(session.calls == std::vector<std::string>{"StopAnnouncing", "StartUnitStateSync", "SendSlotsAsHost"});
        const std::vector<testing::ArmyMade>& armies = fixture.host.armies;
        REQUIRE(armies.size() == 3);
        CHECK(armies[0].local);
        CHECK(armies[0].name == "Hal");
        CHECK_FALSE(armies[1].local);
        CHECK(armies[2].counts.smashtors == 5);
        // What was sent is where the armies stand, each at its own slot.
        CHECK(session.hostSlots[3].start == armies[2].position);
        CHECK(session.hostSlots[3].colour == armies[2].colour);
        CHECK_FALSE(session.hostSlots[2].ready);
    }
    SUBCASE("a player the map has no start for is left out everywhere")
    {
        screen->SetStartAllowed(true);
        fixture.host.startSlotsLeft = 2;
        PressStart();
        CHECK(fixture.host.armies.size() == 2);
        CHECK_FALSE(session.hostSlots[3].ready);
    }
}

TEST_CASE("a network client sends its slot once and builds the host's armies")
{
    NetworkSelectionFixture fixture(false);
    FakeNetSession& session = fixture.session;
    UnitSelectionScreen* screen = fixture.screen;
    ScreenManager::Instance()->SetScreen(kScreenUnitSelection);
    REQUIRE(screen->IsStartAllowed());
    PressStart();
    PressStart();
    REQUIRE(session.clientSlots.size() == 1);
    CHECK(session.clientSlots[0].ready);
    CHECK(session.clientSlots[0].name == "Ann");
    CHECK(fixture.host.armies.empty());

    std::array<PlayerSetup, 8> slots{};
    slots[0] = ReadySlot("Hal", 3);
    slots[2] = ReadySlot("Ann", 6);
    slots[5] = ReadySlot("Bob", 7);
    slots[5].start = {12.0f, 0.0f, -30.0f};
    screen->StartNetworkMatch(slots, session.ownId);
    const std::vector<testing::ArmyMade>& armies = fixture.host.armies;
    REQUIRE(armies.size() == 3);
    CHECK_FALSE(armies[0].local);
    CHECK(armies[1].local);
    CHECK(armies[1].name == "Ann");
    CHECK(armies[2].position == slots[5].start);
}
