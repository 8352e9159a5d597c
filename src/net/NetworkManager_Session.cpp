// NetworkManager: discovery, hosting and announcing, connecting and joining,
// kicking and leaving, and the timers of the host.
#include "net/NetworkManager.h"

#include "core/NameCut.h"
#include "net/NetSenders.h"
#include "platform/SecretWord.h"

namespace {

constexpr double kAnnounceSeconds = 0.5;
constexpr double kSyncSeconds = 0.05;

} // namespace

bool NetworkManager::OpenDiscovery()
{
    SetAuthority(false);
    if (udpThread_.IsBodyRunning()) {
        return true; // entered again: keep the socket the join will name
    }
    if (udp_.BindInRange(nextUdpPort_, config_.udpLastPort) != platform::SocketResult::kOk) {
        return false;
    }
    nextUdpPort_ = static_cast<std::uint16_t>(udp_.BoundPort() + 1);
    return udpThread_.Start();
}

bool NetworkManager::Host(const std::string& name)
{
    if (IsConnecting() || listener_.IsListening()) {
        return false;
    }
    if (!udp_.IsBound() && !OpenDiscovery()) {
        return false;
    }
    if (listener_.Listen(config_.tcpPort, kListenBacklog) != platform::SocketResult::kOk) {
        return false;
    }
    {
        MutexLock lock(mutex_);
        connections_.clear();
        ownName_ = CutName(name, kNameField - 1);
        udpPair_.SetSenderId(0);
        tcpPair_.SetSenderId(0);
        accepting_ = true;
    }
    SetAuthority(true);
    AnnounceHost();
    announceTimer_ = EventTimer::Instance()->AddTimer(kAnnounceSeconds, true, &NetworkManager::AnnounceTimer,
                                                      reinterpret_cast<TimerWord>(this), 0);
    return tcpThread_.Start();
}

void NetworkManager::AnnounceTimer(TimerWord manager, TimerWord second)
{
    if (second == 0) {
        reinterpret_cast<NetworkManager*>(manager)->AnnounceHost();
    }
}

void NetworkManager::AnnounceHost()
{
    std::uint32_t ip = 0;
    if (!hosting_ || !platform::ParseIpv4(config_.announceAddress, ip)) {
        return;
    }
    // Its own packet: length 0 (never written), sequence 1, sender 0, channel 0.
    ByteWriter packet;
    EncodeHeader({0, 1, 0, kChannelDirect}, packet);
    EncodeRecord(HostAnnounceMessage{ownName_}, packet);
    for (std::uint32_t port = config_.announceFirstPort; port <= config_.announceLastPort; ++port) {
        udp_.Broadcast({ip, static_cast<std::uint16_t>(port)}, packet.Bytes());
    }
}

void NetworkManager::StopAnnouncing()
{
    if (announceTimer_ != kNoTimer) {
        EventTimer::Instance()->RemoveTimer(announceTimer_);
        announceTimer_ = kNoTimer;
    }
}

void NetworkManager::StartUnitStateSync()
{
    if (!hosting_ || syncTimer_ != kNoTimer) {
        return;
    }
    sync_.Reset();
    results_.Reset();
    syncTimer_ = EventTimer::Instance()->AddTimer(kSyncSeconds, true, &NetworkManager::SyncTimer,
                                                  reinterpret_cast<TimerWord>(this), 0);
}

void NetworkManager::SyncTimer(TimerWord manager, TimerWord)
{
    NetworkManager* const net = reinterpret_cast<NetworkManager*>(manager);
    net->sync_.Tick(*net->world_, net->udpPair_);
    net->results_.Tick(*net->world_, net->tcpPair_);
}

bool NetworkManager::Connect(std::size_t hostIndex, const std::string& name)
{
    if (hosting_ || IsConnecting()) {
        return false; // one attempt at a time: a second "Connect" is ignored
    }
    {
        MutexLock lock(mutex_);
        if (hostIndex >= connections_.size()) {
            return false;
        }
        connectingTo_ = connections_[hostIndex];
        connectingName_ = name;
        connectedStream_.reset();
        connectTarget_ = {connectingTo_->address.ip, config_.tcpPort};
    }
    connectDone_ = false;
    // An attempt a reset gave up on ends within a few milliseconds of it;
    // collected here before the next begins.
    connectThread_.Close();
    if (!connectThread_.Start()) {
        MutexLock lock(mutex_);
        connectingTo_.reset();
        return false;
    }
    return true;
}

void NetworkManager::ConnectLoop(const Thread& self)
{
    platform::NetAddress to;
    {
        MutexLock lock(mutex_);
        to = connectTarget_;
    }
    std::unique_ptr<platform::TcpStream> stream = platform::TcpStream::ConnectUnlessStopped(
        to, config_.connectTimeoutMs, config_.connectAttempts, [&self] { return self.StopRequested(); });
    MutexLock lock(mutex_);
    // Looked at under the mutex: a reset asks for the stop before it takes the
    // mutex to clear the attempt, so a stream found after it is dropped here.
    if (self.StopRequested()) {
        return;
    }
    // The join goes the moment the stream is up, not a frame later: the host
    // reads a new connection at once, and one that waits with nothing to say
    // is the first it closes under a flood of connections.
    if (stream) {
        SendJoin(*stream);
    }
    connectedStream_ = std::move(stream);
    connectDone_ = true;
}

JoinRequestMessage NetworkManager::MakeJoinRequest()
{
    // A fresh word for each attempt, which only this stream ever carries:
    // the host's datagrams to us, and ours to it, prove themselves with it.
    MutexLock lock(mutex_);
    joinWord_ = platform::UnpredictableWord();
    return JoinRequestMessage{CutName(connectingName_, kNameField - 1), udp_.BoundPort(), joinWord_};
}

void NetworkManager::SendJoin(platform::TcpStream& stream)
{
    // As the stream's buffer pair would send it: sender not yet welcomed,
    // the stream's channel, counted with its traffic.
    stream.Send(EncodeLonePacket(MakeJoinRequest(), ownId_, kChannelTcp));
    ++tcpTraffic_.packetsOut;
    ++tcpTraffic_.messagesOut;
}

void NetworkManager::FinishConnect()
{
    if (!connectDone_.exchange(false)) {
        return;
    }
    connectThread_.Close();
    std::shared_ptr<Connection> host;
    std::unique_ptr<platform::TcpStream> stream;
    std::string name;
    {
        MutexLock lock(mutex_);
        host = std::move(connectingTo_);
        connectingTo_.reset();
        stream = std::move(connectedStream_);
        name = connectingName_;
    }
    if (!host) {
        return;
    }
    if (!stream) {
        ui_->ConnectFailed();
        return;
    }
    {
        MutexLock lock(mutex_);
        host->stream = std::move(stream);
    }
    AttachHost(host, name);
    // Started only now that the host holds its stream: the server thread
    // reads the welcome, which may well be waiting already.
    tcpThread_.Start();
}

bool NetworkManager::Kick(std::int32_t id)
{
    std::shared_ptr<Connection> kicked;
    {
        MutexLock lock(mutex_);
        for (const std::shared_ptr<Connection>& connection : connections_) {
            if (connection->joined && connection->id == id) {
                kicked = connection;
            }
        }
    }
    if (!hosting_ || !kicked) {
        return false;
    }
    SendLeaveTo(*kicked);
    RemoveConnection(kicked);
    SendPlayerNames(*this);
    ui_->LobbyPlayersChanged();
    return true;
}

void NetworkManager::Leave()
{
    SendLeave(*this);
    Reset();
}
