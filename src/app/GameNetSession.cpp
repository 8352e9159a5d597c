// GameNetSession: the screens' network calls, passed to the manager and the
// senders.
#include "app/GameNetSession.h"

#include "core/NameCut.h"
#include "net/NetSenders.h"
#include "net/NetworkManager.h"

namespace {

std::vector<NetPeerName> NamesOf(const std::vector<NetPeerEntry>& peers)
{
    std::vector<NetPeerName> names;
    for (const NetPeerEntry& peer : peers) {
        names.push_back({peer.id, peer.name});
    }
    return names;
}

} // namespace

bool GameNetSession::OpenDiscovery()
{
    return net_.OpenDiscovery();
}

bool GameNetSession::Host(const std::string& name)
{
    return net_.Host(name);
}

bool GameNetSession::Connect(std::size_t hostIndex, const std::string& name)
{
    return net_.Connect(hostIndex, name);
}

bool GameNetSession::IsConnecting() const
{
    // Joined counts as the attempt over: the welcome has moved the player on.
    return net_.IsConnecting() && net_.GetOwnId() < 1;
}

bool GameNetSession::IsHosting() const
{
    return net_.IsHosting();
}

std::int32_t GameNetSession::OwnId() const
{
    return net_.GetOwnId();
}

std::string GameNetSession::OwnName() const
{
    return net_.GetOwnName();
}

std::vector<NetPeerName> GameNetSession::Hosts() const
{
    return NamesOf(net_.Hosts());
}

std::vector<NetPeerName> GameNetSession::Players() const
{
    return NamesOf(net_.Players());
}

bool GameNetSession::Kick(std::int32_t id)
{
    return net_.Kick(id);
}

void GameNetSession::Leave()
{
    net_.Leave();
}

void GameNetSession::SendLobbyChat(const std::string& text)
{
    ::SendLobbyChat(net_, text);
}

void GameNetSession::SendGameSettings(const GameOptions& options)
{
    ::SendGameSettings(net_, SettingsOf(options));
}

void GameNetSession::SendStartGame()
{
    ::SendStartGame(net_);
}

void GameNetSession::StopAnnouncing()
{
    net_.StopAnnouncing();
}

void GameNetSession::StartUnitStateSync()
{
    net_.StartUnitStateSync();
}

void GameNetSession::SendSlotsAsHost(const std::array<PlayerSetup, 8>& slots)
{
    PlayerSlotsMessage message;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        message.slots[i] = SlotOf(slots[i]);
    }
    SendLobbySlotsAsHost(net_, message);
}

void GameNetSession::SendSlotAsClient(const PlayerSetup& own)
{
    PlayerSlotsMessage message;
    message.slots[0] = SlotOf(own);
    SendLobbySlotsAsClient(net_, message);
}

PlayerSlot GameNetSession::SlotOf(const PlayerSetup& setup)
{
    PlayerSlot slot;
    slot.counts = {setup.counts.trajectagons, setup.counts.smashtors, setup.counts.triangoloids, setup.counts.detagons,
                   setup.counts.artillerators};
    slot.start = setup.start;
    slot.ready = setup.ready ? 1 : 0;
    slot.name = CutName(setup.name, kSlotNameField - 1);
    slot.colour = setup.colour;
    slot.mode = setup.mode;
    return slot;
}

PlayerSetup GameNetSession::SetupOf(const PlayerSlot& slot)
{
    PlayerSetup setup;
    setup.counts.trajectagons = slot.counts[0];
    setup.counts.smashtors = slot.counts[1];
    setup.counts.triangoloids = slot.counts[2];
    setup.counts.detagons = slot.counts[3];
    setup.counts.artillerators = slot.counts[4];
    setup.start = slot.start;
    setup.ready = slot.ready != 0;
    setup.name = slot.name;
    setup.colour = slot.colour;
    setup.mode = slot.mode;
    return setup;
}

GameSettingsMessage GameNetSession::SettingsOf(const GameOptions& options)
{
    return {options.mode,     options.minutes,  options.unitMask,
            options.mapIndex, options.maxUnits, options.computerArmies};
}

GameOptions GameNetSession::OptionsOf(const GameSettingsMessage& settings)
{
    return {settings.mode,     settings.minutes,  settings.unitMask,
            settings.mapIndex, settings.maxUnits, settings.computerArmies};
}
