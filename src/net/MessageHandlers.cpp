// MessageHandlers: the host's and the client's action for every record type.
#include "net/MessageHandlers.h"

#include "core/NameCut.h"
#include "game/Battle.h"
#include "net/NetSenders.h"
#include "net/NetworkManager.h"
#include "net/RecordChecks.h"

namespace {

using H = MessageHandlers;

constexpr std::uint32_t kHighestGamePort = 30000;

} // namespace

// clang-format off
const std::array<MessageHandlers::Action, kMessageTypeCount> MessageHandlers::kHostActions = {
    &H::Ignore,     // 0 no such type
    &H::HostJoin,   // 1 join
    &H::Ignore,     // 2 announce
    &H::Ignore,     // 3 welcome
    &H::HostMove,   // 4 move
    &H::Ignore,     // 5 host id
    &H::HostChat,   // 6 chat
    &H::HostAttack, // 7 attack
    &H::HostLeave,  // 8 leave
    &H::HostSlots,  // 9 slots
    &H::Ignore,     // 10 unit state
    &H::Ignore,     // 11 no-op
    &H::Ignore,     // 12 unit destroyed
    &H::Ignore,     // 13 start attack
    &H::Ignore,     // 14 explosion
    &H::Ignore,     // 15 settings
    &H::Ignore,     // 16 start
    &H::Ignore,     // 17 names
    &H::Ignore,     // 18 match result
    &H::Ignore,     // 19 proof (stripped before the queue)
};

const std::array<MessageHandlers::Action, kMessageTypeCount> MessageHandlers::kClientActions = {
    &H::Ignore,              // 0 no such type
    &H::Ignore,              // 1 join
    &H::ClientAnnounce,      // 2 announce
    &H::ClientWelcome,       // 3 welcome
    &H::ClientMove,          // 4 move
    &H::ClientHostId,        // 5 host id
    &H::ClientChat,          // 6 chat
    &H::ClientAttack,        // 7 attack
    &H::ClientLeave,         // 8 leave
    &H::ClientSlots,         // 9 slots
    &H::ClientUnitState,     // 10 unit state
    &H::Ignore,              // 11 no-op
    &H::ClientUnitDestroyed, // 12 unit destroyed
    &H::ClientStartAttack,   // 13 start attack
    &H::ClientExplosion,     // 14 explosion
    &H::ClientSettings,      // 15 settings
    &H::ClientStart,         // 16 start
    &H::ClientNames,         // 17 names
    &H::ClientMatchResult,   // 18 match result
    &H::Ignore,              // 19 proof (stripped before the queue)
};
// clang-format on

void MessageHandlers::Dispatch(const ReceivedMessage& message)
{
    const std::uint32_t type = TypeOf(message.record);
    if (type >= kMessageTypeCount) {
        return;
    }
    const Action action = message.asServer ? kHostActions[type] : kClientActions[type];
    (this->*action)(message);
}

void MessageHandlers::Refuse(const std::shared_ptr<Connection>& connection)
{
    net_.SendLeaveTo(*connection);
    net_.RemoveConnection(connection);
}

bool MessageHandlers::FromJoinedClient(const ReceivedMessage& message) const
{
    MutexLock lock(net_.GetMutex());
    return message.from && message.from->joined && message.senderId == message.from->id;
}

bool MessageHandlers::CommandsArmy(const ReceivedMessage& message, std::uint8_t army) const
{
    MutexLock lock(net_.GetMutex());
    return message.from && message.from->armyId == static_cast<std::int32_t>(army);
}

MapReach MessageHandlers::Reach() const
{
    return ReachOfMap(net_.World().MapSide());
}

bool MessageHandlers::FromJoinedHost(const ReceivedMessage& message) const
{
    const std::shared_ptr<Connection> host = net_.HostConnection();
    return host && message.from == host && net_.GetOwnId() > 0;
}

bool MessageHandlers::InMatch() const
{
    return net_.World().GameState() == kNetStateMatch;
}

// ---- host actions ------------------------------------------------------

void MessageHandlers::HostJoin(const ReceivedMessage& message)
{
    const std::shared_ptr<Connection>& connection = message.from;
    if (!connection) {
        return; // over UDP
    }
    const auto& join = std::get<JoinRequestMessage>(message.record);
    const int screen = net_.Ui().CurrentScreen();
    const bool inLobby = screen == kScreenLobby || screen == kScreenOptions;
    std::int32_t id = -1;
    bool taken = false;
    {
        // Looked at and taken in one hold of the mutex: the server thread
        // closes connections and counts the places meanwhile.
        MutexLock lock(net_.GetMutex());
        if (!connection->stream || !connection->stream->IsOpen() || connection->joined || !net_.IsListed(connection)) {
            return; // a second join on one connection, or one already dropped or gone (its leave follows)
        }
        id = net_.LowestFreeId();
        // Without a word the client could prove none of its datagrams, nor take the host's.
        if (inLobby && id >= 0 && join.udpPort != 0 && join.udpPort <= kHighestGamePort && join.word != 0) {
            connection->name = CleanReceivedText(join.name);
            connection->id = id;
            connection->address.port = static_cast<std::uint16_t>(join.udpPort);
            connection->word = join.word;
            connection->joined = true;
            taken = true;
        }
    }
    if (!taken) {
        Refuse(connection);
        return;
    }
    net_.SendDirect(*connection, WelcomeMessage{static_cast<std::uint32_t>(id)});
    SendGameSettings(net_, net_.Ui().LobbyOptions());
    SendPlayerNames(net_);
    net_.Ui().LobbyPlayersChanged();
}

void MessageHandlers::HostMove(const ReceivedMessage& message)
{
    const auto& move = std::get<MoveOrderMessage>(message.record);
    // A client commands its own army only.
    if (!FromJoinedClient(message) || !InMatch() || !CommandsArmy(message, move.head.army) ||
        !IsOnMap(move.point, Reach())) {
        return;
    }
    RelayMoveOrder(net_, move);
    net_.World().MoveUnit(move.head, move.point);
}

void MessageHandlers::HostChat(const ReceivedMessage& message)
{
    ChatMessage chat = std::get<ChatMessage>(message.record);
    if (!FromJoinedClient(message) || (chat.kind != kGameChat && chat.kind != kLobbyChat)) {
        return;
    }
    chat.text = CleanReceivedText(chat.text);
    net_.QueueTcp(chat);
    ClientChat(message);
}

void MessageHandlers::HostAttack(const ReceivedMessage& message)
{
    const auto& attack = std::get<AttackOrderMessage>(message.record);
    if (!FromJoinedClient(message) || !InMatch() || !CommandsArmy(message, attack.head.army) ||
        !IsOnMap(attack.point, Reach())) {
        return;
    }
    RelayAttackOrder(net_, attack);
    net_.World().AttackWith(attack);
}

void MessageHandlers::HostLeave(const ReceivedMessage& message)
{
    if (!message.from) {
        return;
    }
    bool wasJoined = false;
    std::string name;
    {
        MutexLock lock(net_.GetMutex());
        wasJoined = message.from->joined;
        name = message.from->name;
    }
    // A quitting client sends two leaves; only the first finds its record.
    if (!net_.RemoveConnection(message.from) || !wasJoined) {
        return;
    }
    SendPlayerNames(net_);
    net_.Ui().LobbyPlayersChanged();
    // Its army stays on the field as it stands; everyone is told who went.
    if (InMatch()) {
        SendPlayerLeft(net_, name);
    }
}

void MessageHandlers::HostSlots(const ReceivedMessage& message)
{
    const auto& slots = std::get<PlayerSlotsMessage>(message.record);
    if (!FromJoinedClient(message) || net_.Ui().CurrentScreen() != kScreenUnitSelection) {
        return;
    }
    const std::int32_t id = message.from->id;
    if (slots.senderId != static_cast<std::uint32_t>(id)) {
        return;
    }
    PlayerSlot slot = BoundedSlot(slots.slots[0], net_.Ui().LobbyOptions());
    {
        MutexLock lock(net_.GetMutex());
        slot.name = CutName(message.from->name, kSlotNameField - 1);
    }
    net_.Ui().StoreRemoteSlot(id, slot);
    for (const NetPeerEntry& player : net_.Players()) {
        if (!net_.Ui().RemoteSlotReady(player.id)) {
            return;
        }
    }
    net_.Ui().SetAllReady();
}

// ---- client actions ----------------------------------------------------

void MessageHandlers::ClientAnnounce(const ReceivedMessage& message)
{
    if (net_.IsHosting() || net_.Ui().CurrentScreen() != kScreenConnection || net_.GetOwnId() > 0) {
        return;
    }
    const auto& announce = std::get<HostAnnounceMessage>(message.record);
    if (net_.NoteHost(CleanReceivedText(announce.name), message.source)) {
        net_.Ui().HostListChanged();
    }
}

void MessageHandlers::ClientWelcome(const ReceivedMessage& message)
{
    const std::shared_ptr<Connection> host = net_.HostConnection();
    const auto& welcome = std::get<WelcomeMessage>(message.record);
    if (!host || message.from != host || net_.GetOwnId() > 0 || welcome.id < 1 ||
        welcome.id > NetworkManager::kMaxClients || net_.Ui().CurrentScreen() != kScreenConnection) {
        return;
    }
    net_.AcceptWelcome(static_cast<std::int32_t>(welcome.id));
    net_.Ui().SetScreen(kScreenLobby);
}

void MessageHandlers::ClientMove(const ReceivedMessage& message)
{
    const auto& move = std::get<MoveOrderMessage>(message.record);
    if ((!message.asServer && !FromJoinedHost(message)) || !InMatch() || !IsOnMap(move.point, Reach())) {
        return;
    }
    net_.World().MoveUnit(move.head, move.point);
}

void MessageHandlers::ClientHostId(const ReceivedMessage& message)
{
    const std::uint32_t id = std::get<HostIdMessage>(message.record).id;
    if (!FromJoinedHost(message) || id > NetworkManager::kMaxClients) {
        return;
    }
    MutexLock lock(net_.GetMutex());
    message.from->id = static_cast<std::int32_t>(id);
}

void MessageHandlers::ClientChat(const ReceivedMessage& message)
{
    const auto& chat = std::get<ChatMessage>(message.record);
    if (!message.asServer && !FromJoinedHost(message)) {
        return;
    }
    const std::string line = CleanReceivedText(chat.text);
    if (chat.kind == kGameChat) {
        net_.Ui().AddGameChatLine(line);
    } else if (chat.kind == kLobbyChat) {
        net_.Ui().AddLobbyChatLine(line);
    }
}

void MessageHandlers::ClientAttack(const ReceivedMessage& message)
{
    const auto& attack = std::get<AttackOrderMessage>(message.record);
    if (!FromJoinedHost(message) || !InMatch() || !IsOnMap(attack.point, Reach())) {
        return;
    }
    net_.World().AttackWith(attack);
}

void MessageHandlers::ClientLeave(const ReceivedMessage& message)
{
    const std::shared_ptr<Connection> host = net_.HostConnection();
    if (!host || message.from != host) {
        return;
    }
    const int screen = net_.Ui().CurrentScreen();
    const bool inMatch = InMatch();
    // Unit selection stays the screen's id through the match; only before
    // the match does the client wait there for a host that is gone.
    const bool choosingUnits = screen == kScreenUnitSelection && !inMatch;
    const bool welcomed = net_.GetOwnId() > 0;
    net_.Leave();
    if (inMatch) {
        // Nobody simulates the battle any more: the match ends as Escape ends
        // it, unless its result is already on the screen.
        if (net_.World().GetMatchState() == kMatchStatistics) {
            net_.Ui().AddGameChatLine(kHostLeftLine);
        } else {
            net_.World().LeaveMatch(kHostLeftLine);
        }
        return;
    }
    // Refused or dropped: back to a fresh connection screen, listening again.
    if (screen == kScreenLobby || screen == kScreenOptions || screen == kScreenConnection || choosingUnits) {
        net_.Ui().ReturnToConnectionScreen(welcomed);
    }
}

void MessageHandlers::ClientSlots(const ReceivedMessage& message)
{
    if (!FromJoinedHost(message) || net_.Ui().CurrentScreen() != kScreenUnitSelection) {
        return;
    }
    PlayerSlotsMessage slots = std::get<PlayerSlotsMessage>(message.record);
    // Every army held to the match the lobby set up, as the host holds its clients'.
    const GameSettingsMessage match = net_.Ui().LobbyOptions();
    for (PlayerSlot& slot : slots.slots) {
        slot = BoundedSlot(slot, match);
    }
    net_.Ui().StartNetworkMatch(slots);
}

void MessageHandlers::ClientUnitState(const ReceivedMessage& message)
{
    const auto& state = std::get<UnitStateMessage>(message.record);
    if (!FromJoinedHost(message) || !InMatch() || !IsValidUnitState(state, Reach())) {
        return;
    }
    net_.World().ApplyUnitState(state);
}

void MessageHandlers::ClientUnitDestroyed(const ReceivedMessage& message)
{
    if (!FromJoinedHost(message) || !InMatch()) {
        return;
    }
    if (net_.World().DestroyUnit(std::get<UnitDestroyedMessage>(message.record).head)) {
        net_.CountUnitDestroyed();
    }
}

void MessageHandlers::ClientStartAttack(const ReceivedMessage& message)
{
    if (!FromJoinedHost(message) || !InMatch()) {
        return;
    }
    net_.World().StartAttack(std::get<StartAttackMessage>(message.record).head);
}

void MessageHandlers::ClientExplosion(const ReceivedMessage& message)
{
    const auto& explosion = std::get<ExplosionMessage>(message.record);
    if (!FromJoinedHost(message) || !InMatch() || !IsValidExplosion(explosion, Reach())) {
        return;
    }
    net_.World().Explode(explosion);
}

void MessageHandlers::ClientSettings(const ReceivedMessage& message)
{
    const auto& settings = std::get<GameSettingsMessage>(message.record);
    if (!FromJoinedHost(message) || !net_.Ui().LobbyShown() || !AreValidSettings(settings)) {
        return;
    }
    net_.Ui().SetLobbyOptions(settings);
}

void MessageHandlers::ClientStart(const ReceivedMessage& message)
{
    if (!FromJoinedHost(message) || !net_.Ui().LobbyShown()) {
        return;
    }
    net_.World().SetOptions(net_.Ui().LobbyOptions());
    net_.Ui().SetScreen(kScreenUnitSelection);
}

void MessageHandlers::ClientMatchResult(const ReceivedMessage& message)
{
    const auto& result = std::get<MatchResultMessage>(message.record);
    if (!FromJoinedHost(message) || !InMatch() || !IsValidMatchResult(result)) {
        return;
    }
    net_.World().ApplyMatchResult(result);
}

void MessageHandlers::ClientNames(const ReceivedMessage& message)
{
    if (!FromJoinedHost(message) || !net_.Ui().LobbyShown()) {
        return;
    }
    const auto& names = std::get<PlayerNamesMessage>(message.record);
    for (std::size_t i = 0; i < names.names.size(); ++i) {
        net_.Ui().SetLobbyPlayerName(static_cast<int>(i), CleanReceivedText(names.names[i]));
    }
}
