// NetworkManager: construction, reset, the connection list, the frame's
// dispatch and flush, and the trust checks on every received packet.
#include "net/NetworkManager.h"

#include "core/NameCut.h"
#include "core/Stopwatch.h"
#include "net/MessageCodec.h"
#include "net/RecordCarriers.h"
#include "platform/SecretWord.h"

#include <algorithm>
#include <array>

NetworkManager::NetworkManager(const NetConfig& config) : config_(config), handlers_(*this)
{
    nextUdpPort_ = config_.udpBasePort;
}

NetworkManager::~NetworkManager()
{
    Reset();
}

NetworkManager* NetworkManager::Instance()
{
    static NetworkManager* const instance = new NetworkManager();
    return instance;
}

void NetworkManager::SetWorld(NetWorld* world)
{
    world_ = world != nullptr ? world : &nullWorld_;
}

void NetworkManager::SetUi(NetUi* ui)
{
    ui_ = ui != nullptr ? ui : &nullUi_;
}

void NetworkManager::SetAuthority(bool authority)
{
    hosting_ = authority;
    world_->SetAuthority(authority);
}

void NetworkManager::Reset()
{
    FlushOutgoing();
    // The connect worker is not waited for: it drops what it finds (see
    // ConnectLoop). The loops are joined before any socket they use is closed.
    connectThread_.RequestStop();
    tcpThread_.Close();
    udpThread_.Close();
    StopAnnouncing();
    if (syncTimer_ != kNoTimer) {
        EventTimer::Instance()->RemoveTimer(syncTimer_);
        syncTimer_ = kNoTimer;
    }
    MutexLock lock(mutex_);
    connections_.clear();
    hostConnection_.reset();
    connectingTo_.reset();
    connectedStream_.reset();
    connectDone_ = false;
    listener_.Close();
    udp_.Close();
    udpPair_.Reset();
    tcpPair_.Reset();
    queue_.Clear();
    sync_.Reset();
    results_.Reset();
    sequenceFilter_.Clear();
    tcpTraffic_ = TcpTraffic{};
    ownId_ = -1;
    ownName_.clear();
    joinWord_ = 0;
    accepting_ = true;
    hosting_ = false;
    unitsDestroyed_ = 0;
    nextUdpPort_ = config_.udpBasePort;
    ++resetCount_;
}

// ---- the connection list -------------------------------------------------

std::vector<std::shared_ptr<Connection>> NetworkManager::SnapshotConnections() const
{
    MutexLock lock(mutex_);
    return connections_;
}

bool NetworkManager::RemoveConnection(const std::shared_ptr<Connection>& connection)
{
    MutexLock lock(mutex_);
    return DropConnection(connection);
}

bool NetworkManager::DropConnection(const std::shared_ptr<Connection>& connection)
{
    const auto it = std::find(connections_.begin(), connections_.end(), connection);
    if (it == connections_.end()) {
        return false;
    }
    connections_.erase(it);
    // Whatever its stream says from now on is no leave of a listed player,
    // and what it still had waiting in the queue (a kicked player's last
    // orders) is no longer a joined player's to be handled.
    connection->lossReported = true;
    connection->joined = false;
    if (connection->stream) {
        connection->stream->Shutdown();
    }
    return true;
}

std::size_t NetworkManager::PlacesHeld() const
{
    MutexLock lock(mutex_);
    return static_cast<std::size_t>(std::count_if(connections_.begin(), connections_.end(),
                                                  [](const auto& c) { return c->joined || c->joinReceived; }));
}

bool NetworkManager::IsListed(const std::shared_ptr<Connection>& connection) const
{
    MutexLock lock(mutex_);
    return std::find(connections_.begin(), connections_.end(), connection) != connections_.end();
}

void NetworkManager::AssignArmies(const PlayerSlotsMessage& slots)
{
    std::array<std::int32_t, kSlotCount> armyOfSlot{};
    std::int32_t nextArmy = 0;
    for (std::size_t i = 0; i < slots.slots.size(); ++i) {
        armyOfSlot[i] = slots.slots[i].ready != 0 ? nextArmy++ : -1;
    }
    MutexLock lock(mutex_);
    for (const std::shared_ptr<Connection>& connection : connections_) {
        const bool hasSlot =
            connection->joined && connection->id >= 0 && static_cast<std::size_t>(connection->id) < armyOfSlot.size();
        connection->armyId = hasSlot ? armyOfSlot[static_cast<std::size_t>(connection->id)] : -1;
    }
}

std::int32_t NetworkManager::LowestFreeId() const
{
    MutexLock lock(mutex_);
    for (std::int32_t id = 1; id <= static_cast<std::int32_t>(kMaxClients); ++id) {
        const bool taken = std::any_of(connections_.begin(), connections_.end(),
                                       [id](const std::shared_ptr<Connection>& c) { return c->id == id; });
        if (!taken) {
            return id;
        }
    }
    return -1;
}

std::shared_ptr<Connection> NetworkManager::HostConnection() const
{
    MutexLock lock(mutex_);
    return hostConnection_;
}

bool NetworkManager::IsConnecting() const
{
    MutexLock lock(mutex_);
    return hostConnection_ != nullptr || connectingTo_ != nullptr;
}

void NetworkManager::AttachHost(const std::shared_ptr<Connection>& host, const std::string& name)
{
    MutexLock lock(mutex_);
    hostConnection_ = host;
    ownName_ = CutName(name, kNameField - 1);
    accepting_ = false;
}

void NetworkManager::AcceptWelcome(std::int32_t id)
{
    MutexLock lock(mutex_);
    ownId_ = id;
    udpPair_.SetSenderId(id);
    tcpPair_.SetSenderId(id);
    if (hostConnection_) {
        hostConnection_->id = 0;
        hostConnection_->joined = true;
        hostConnection_->word = joinWord_;
        connections_.assign(1, hostConnection_);
    }
}

bool NetworkManager::NoteHost(const std::string& name, const platform::NetAddress& source)
{
    std::int64_t now = 0;
    TimerStart(now);
    MutexLock lock(mutex_);
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (connection->address == source) {
            connection->lastAnnounced = now;
            if (connection->name == name) {
                return false;
            }
            connection->name = name;
            return true;
        }
    }
    if (connections_.size() >= kMaxHosts) {
        // Room for a host announcing now: the one heard from longest ago goes,
        // never the one being joined.
        const auto stalest =
            std::min_element(connections_.begin(), connections_.end(), [this](const auto& a, const auto& b) {
                return IsBeingJoined(a) != IsBeingJoined(b) ? IsBeingJoined(b) : a->lastAnnounced < b->lastAnnounced;
            });
        if (IsBeingJoined(*stalest)) {
            return false;
        }
        connections_.erase(stalest);
    }
    auto host = std::make_shared<Connection>();
    host->name = name;
    host->address = source;
    host->lastAnnounced = now;
    connections_.push_back(std::move(host));
    return true;
}

std::vector<NetPeerEntry> NetworkManager::Hosts() const
{
    MutexLock lock(mutex_);
    std::vector<NetPeerEntry> hosts;
    if (hosting_) {
        return hosts;
    }
    for (const std::shared_ptr<Connection>& connection : connections_) {
        hosts.push_back({connection->id, connection->name, connection->address});
    }
    return hosts;
}

std::vector<NetPeerEntry> NetworkManager::Players() const
{
    MutexLock lock(mutex_);
    std::vector<NetPeerEntry> players;
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (connection->joined) {
            players.push_back({connection->id, connection->name, connection->address});
        }
    }
    std::sort(players.begin(), players.end(), [](const NetPeerEntry& a, const NetPeerEntry& b) { return a.id < b.id; });
    return players;
}

std::size_t NetworkManager::ConnectionCount() const
{
    MutexLock lock(mutex_);
    return connections_.size();
}

TcpTraffic NetworkManager::GetTcpTraffic() const
{
    MutexLock lock(mutex_);
    return tcpTraffic_;
}

// ---- the frame -----------------------------------------------------------

void NetworkManager::ProcessIncoming()
{
    const bool inMatch = world_->GameState() == kNetStateMatch;
    if (inMatch && !inMatch_) {
        // A new match: the host's numbers are taken afresh from its first datagram.
        MutexLock lock(mutex_);
        sequenceFilter_.Clear();
    }
    inMatch_ = inMatch;
    FinishConnect();
    CloseUnjoined();
    if (ForgetSilentHosts()) {
        ui_->HostListChanged();
    }
    // A host handles a fair share of each client's records a frame; a client
    // all its host sent.
    const std::vector<ReceivedMessage> messages =
        queue_.Take(hosting_ ? kClientBytesPerFrame : ReceivedMessageQueue::kNoLimit);
    const std::uint32_t resetCount = resetCount_;
    for (const ReceivedMessage& message : messages) {
        // A handler that reset the network (a client told to leave) ends
        // the records that came before the reset.
        if (resetCount != resetCount_) {
            break;
        }
        handlers_.Dispatch(message);
    }
}

void NetworkManager::CloseUnjoined()
{
    if (!hosting_) {
        return;
    }
    std::int64_t now = 0;
    TimerStart(now);
    MutexLock lock(mutex_);
    // Stamped when first seen here, on the main thread, so the clock is read
    // on one thread only.
    std::vector<std::shared_ptr<Connection>> expired;
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (connection->joined || connection->joinReceived) {
            continue;
        }
        if (connection->waitingSince == 0) {
            connection->waitingSince = now;
        } else if (TimerElapsed(connection->waitingSince) >= config_.joinWaitSeconds) {
            expired.push_back(connection);
        }
    }
    for (const std::shared_ptr<Connection>& connection : expired) {
        DropConnection(connection);
    }
}

bool NetworkManager::IsBeingJoined(const std::shared_ptr<Connection>& host) const
{
    return host == connectingTo_ || host == hostConnection_;
}

bool NetworkManager::ForgetSilentHosts()
{
    if (hosting_ || ownId_ > 0) {
        return false;
    }
    MutexLock lock(mutex_);
    const std::size_t before = connections_.size();
    std::erase_if(connections_, [this](const std::shared_ptr<Connection>& connection) {
        return !IsBeingJoined(connection) && TimerElapsed(connection->lastAnnounced) >= config_.hostForgetSeconds;
    });
    return connections_.size() != before;
}

bool NetworkManager::IsDatagramTarget(const Connection& connection) const
{
    if (connection.address.port == 0 || !connection.joined) {
        return false;
    }
    return hosting_ || &connection == hostConnection_.get();
}

void NetworkManager::FlushPair(PacketPair& pair, bool datagrams)
{
    for (PacketBuffer* buffer : {&pair.First(), &pair.Overflow()}) {
        if (!buffer->HasRecords()) {
            continue;
        }
        const std::span<const std::uint8_t> packet = buffer->Packet();
        for (const std::shared_ptr<Connection>& connection : connections_) {
            if (datagrams) {
                if (IsDatagramTarget(*connection)) {
                    // One packet for all, each peer's own word in its proof.
                    buffer->SetProofWord(connection->word);
                    udp_.SendTo(connection->address, packet);
                }
            } else if (connection->stream && connection->stream->IsOpen() && (connection->joined || !hosting_)) {
                connection->stream->Send(packet);
                if (connection->stream->IsDead()) {
                    ReportLoss(connection);
                }
            }
        }
    }
    pair.Clear();
}

void NetworkManager::FlushOutgoing()
{
    MutexLock lock(mutex_);
    FlushPair(udpPair_, true);
    // Counted once a flush, for the first buffer only, whoever it reaches;
    // its count includes the records it passed on to the overflow.
    const PacketBuffer& first = tcpPair_.First();
    if (first.HasRecords()) {
        ++tcpTraffic_.packetsOut;
        tcpTraffic_.messagesOut += first.MessageCount();
    }
    FlushPair(tcpPair_, false);
}

void NetworkManager::SendDirect(Connection& to, const NetRecord& record)
{
    const std::vector<std::uint8_t> packet = EncodeLonePacket(record, 0, kChannelDirect);
    MutexLock lock(mutex_);
    if (to.stream && to.stream->IsOpen()) {
        to.stream->Send(packet);
    }
}

void NetworkManager::SendLeaveTo(Connection& to)
{
    // On the stream's own channel: a client takes nothing but a welcome from channel 0.
    const std::vector<std::uint8_t> packet = EncodeLonePacket(LeaveMessage{}, 0, kChannelTcp);
    MutexLock lock(mutex_);
    if (to.stream && to.stream->IsOpen()) {
        to.stream->Send(packet);
    }
}

// ---- received packets (receive threads) ----------------------------------

void NetworkManager::ReportLoss(const std::shared_ptr<Connection>& connection)
{
    if (connection->lossReported.exchange(true)) {
        return;
    }
    ReceivedMessage leave;
    leave.record = LeaveMessage{};
    leave.asServer = hosting_;
    leave.channel = kChannelTcp;
    {
        MutexLock lock(mutex_);
        leave.senderId = connection->id;
        leave.source = connection->address;
        // Given up at once, so the peer is not left half-closed until the
        // frame that handles the leave.
        if (connection->stream) {
            connection->stream->Shutdown();
        }
    }
    leave.from = connection;
    queue_.Push(std::move(leave));
}

void NetworkManager::LoseStream(const std::shared_ptr<Connection>& connection)
{
    {
        MutexLock lock(mutex_);
        // On the host, one still waiting to join has nothing to undo.
        if (hosting_ && !connection->joined && !connection->joinReceived) {
            DropConnection(connection);
            return;
        }
    }
    ReportLoss(connection);
}

std::shared_ptr<Connection> NetworkManager::FindDatagramPeer(const platform::NetAddress& source,
                                                             std::uint32_t word) const
{
    MutexLock lock(mutex_);
    const auto proves = [&](const Connection& connection) {
        return connection.joined && connection.word != 0 && connection.word == word && connection.address == source;
    };
    if (!hosting_) {
        // Only the host's UDP socket (its address and port, as its
        // announcements came), once joined.
        return hostConnection_ && ownId_ > 0 && proves(*hostConnection_) ? hostConnection_ : nullptr;
    }
    // Two clients may share an address and even name one port; the word tells them apart.
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (proves(*connection)) {
            return connection;
        }
    }
    return nullptr;
}

void NetworkManager::ReceiveDatagram(std::span<const std::uint8_t> datagram, const platform::NetAddress& source)
{
    if (datagram.size() < kHeaderSize || datagram.size() > kMaxPacketSize) {
        return;
    }
    ByteReader reader(datagram);
    PacketHeader header;
    if (!DecodeHeader(reader, header)) {
        return;
    }
    if (header.channel == kChannelDirect) {
        // An announcement, heard by a client that has not joined a host yet.
        if (!hosting_ && ownId_ <= 0) {
            ReceivePacket(datagram, source, nullptr, true);
        }
        return;
    }
    std::uint32_t word = 0;
    if (header.channel != kChannelUdp || !ReadProofWord(datagram, word)) {
        return;
    }
    const std::shared_ptr<Connection> peer = FindDatagramPeer(source, word);
    if (peer) {
        ReceivePacket(datagram, source, peer, true);
    }
}

bool NetworkManager::ReceiveStreamBytes(const std::shared_ptr<Connection>& connection,
                                        std::span<const std::uint8_t> chunk)
{
    platform::NetAddress source;
    {
        MutexLock lock(mutex_);
        source = connection->address;
    }
    const bool framed = connection->framer.Feed(
        chunk, [&](std::span<const std::uint8_t> packet) { ReceivePacket(packet, source, connection, false); });
    if (!framed) {
        LoseStream(connection);
    }
    return framed;
}

void NetworkManager::ReceivePacket(std::span<const std::uint8_t> packet, const platform::NetAddress& source,
                                   const std::shared_ptr<Connection>& from, bool datagram)
{
    ByteReader reader(packet);
    PacketHeader header;
    if (!DecodeHeader(reader, header)) {
        return;
    }
    const bool hosting = hosting_;
    if (hosting && !datagram && from && ReceiveFromWaiting(packet, header, source, from)) {
        return;
    }
    // The role is ours: a host hears only clients, a client only its host.
    if ((header.sender == 0) == hosting) {
        return;
    }
    const std::uint32_t ownChannel = datagram ? kChannelUdp : kChannelTcp;
    if (header.channel != ownChannel && header.channel != kChannelDirect) {
        return;
    }
    const Carrier carrier = datagram ? Carrier::kDatagram : Carrier::kStream;
    std::vector<NetRecord> records;
    const std::size_t walked = WalkRecords(packet, [&](const NetRecord& record) {
        if (IsCarriedBy(TypeOf(record), hosting, carrier, header.channel)) {
            records.push_back(record);
        }
    });
    MutexLock lock(mutex_);
    if (header.channel == kChannelTcp) {
        ++tcpTraffic_.packetsIn;
        tcpTraffic_.messagesIn += static_cast<std::uint32_t>(walked);
    }
    if (records.empty()) {
        return; // nothing this way may carry, so not a number for the filter either
    }
    // A client's stale filter, during a match only (SequenceFilter); a
    // datagram reaches it only once it has proved to come from the host.
    if (datagram && !hosting && header.channel == kChannelUdp && inMatch_ && !sequenceFilter_.Take(header.sequence)) {
        return;
    }
    for (NetRecord& record : records) {
        ReceivedMessage message;
        message.record = std::move(record);
        message.asServer = hosting;
        message.channel = datagram ? kChannelUdp : kChannelTcp;
        message.senderId = header.sender;
        message.source = source;
        message.from = from;
        queue_.Push(std::move(message), Backlog());
    }
}

namespace {

// A waiting connection's one allowed packet: a join record alone, as a
// client sends it (any sender but the host's, on the stream's channel).
bool IsLoneJoin(std::span<const std::uint8_t> packet, const PacketHeader& header)
{
    if (packet.size() != kHeaderSize + RecordSize(kMsgJoinRequest) || header.sender == 0 ||
        header.channel != kChannelTcp) {
        return false;
    }
    bool join = false;
    const std::size_t count =
        WalkRecords(packet, [&join](const NetRecord& record) { join = TypeOf(record) == kMsgJoinRequest; });
    return count == 1 && join;
}

} // namespace

bool NetworkManager::ReceiveFromWaiting(std::span<const std::uint8_t> packet, const PacketHeader& header,
                                        const platform::NetAddress& source, const std::shared_ptr<Connection>& from)
{
    const bool loneJoin = IsLoneJoin(packet, header);
    MutexLock lock(mutex_);
    if (from->joined || from->joinReceived) {
        return false;
    }
    if (std::find(connections_.begin(), connections_.end(), from) == connections_.end()) {
        return true; // closed already: the rest of what it sent means nothing
    }
    // Anything but its join closes it, and so does a join no place is free for.
    if (!loneJoin || PlacesHeld() >= kMaxClients) {
        DropConnection(from);
        return true;
    }
    from->joinReceived = true;
    if (header.channel == kChannelTcp) {
        ++tcpTraffic_.packetsIn;
        ++tcpTraffic_.messagesIn;
    }
    ReceivedMessage message;
    (void)WalkRecords(packet, [&message](const NetRecord& record) { message.record = record; });
    message.asServer = true;
    message.channel = kChannelTcp;
    message.senderId = header.sender;
    message.source = source;
    message.from = from;
    queue_.Push(std::move(message));
    return true;
}
