// NetworkManager: the UDP receive loop and the TCP server loop. Both wait at
// most a millisecond at a time, so a stop request is seen at once and Reset's
// join is short.
#include "net/NetworkManager.h"

#include <algorithm>
#include <array>
#include <map>

namespace {

constexpr int kWaitMs = 1;
// Chunks read from one stream per pass, so a flooding peer cannot keep the
// loop from the others.
constexpr int kChunksPerPass = 16;

} // namespace

void NetworkManager::UdpLoop(const Thread& self)
{
    std::array<std::uint8_t, platform::UdpSocket::kMaxDatagram + 1> buffer{};
    while (!self.StopRequested()) {
        if (!udp_.WaitReadable(kWaitMs)) {
            continue;
        }
        platform::NetAddress source;
        const int length = udp_.Receive(buffer, source);
        if (length >= 0) {
            ReceiveDatagram(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(length)), source);
        }
    }
}

void NetworkManager::TcpLoop(const Thread& self)
{
    std::vector<int> fds;
    std::vector<std::shared_ptr<Connection>> watched;
    while (!self.StopRequested()) {
        // The snapshot is taken under the lock, the wait is done outside it,
        // so the main thread's flush and the lobby never wait on the poll.
        const bool listening = hosting_ && accepting_ && listener_.IsListening();
        fds.assign(1, listening ? listener_.Fd() : -1);
        watched.clear();
        for (const std::shared_ptr<Connection>& connection : SnapshotConnections()) {
            if (connection->stream && connection->stream->IsOpen()) {
                watched.push_back(connection);
                fds.push_back(connection->stream->Fd());
            }
        }
        for (const std::size_t position : platform::Socket::PollReadable(fds, kWaitMs)) {
            if (position == 0) {
                AcceptClients();
            } else {
                ReadStream(watched[position - 1]);
            }
        }
    }
}

void NetworkManager::AcceptClients()
{
    while (std::unique_ptr<platform::TcpStream> stream = listener_.Accept()) {
        auto connection = std::make_shared<Connection>();
        const std::uint32_t ip = stream->Peer().ip;
        connection->address = {ip, 0};
        connection->stream = std::move(stream);
        MutexLock lock(mutex_);
        connections_.push_back(std::move(connection));
        PushOutWaiting(ip);
    }
}

void NetworkManager::PushOutWaiting(std::uint32_t ip)
{
    // Only joins take the seven places (NetworkManager::LowestFreeId). Of the
    // connections still to join, the newcomer's own address gives up its
    // oldest past its cap; past the total cap the address holding the most
    // gives up its oldest (of equals, the one waiting longest), so a flood
    // from one address keeps no other address's player out. The list is in
    // order of arrival. A pushed-out stream closes when the last snapshot
    // holding it is done.
    const auto waiting = [](const std::shared_ptr<Connection>& c) { return !c->joined && !c->joinReceived; };
    std::map<std::uint32_t, std::size_t> waitingByIp;
    std::size_t total = 0;
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (waiting(connection)) {
            ++waitingByIp[connection->address.ip];
            ++total;
        }
    }
    const auto pushOutOldestFrom = [&](std::uint32_t from) {
        connections_.erase(std::find_if(connections_.begin(), connections_.end(),
                                        [&](const auto& c) { return waiting(c) && c->address.ip == from; }));
    };
    if (waitingByIp[ip] > kMaxWaitingPerAddress) {
        pushOutOldestFrom(ip);
        return;
    }
    if (total <= kMaxWaitingConnections) {
        return;
    }
    std::size_t most = 0;
    for (const auto& [address, count] : waitingByIp) {
        most = std::max(most, count);
    }
    // The first waiting connection of such an address is the oldest among them.
    const auto oldest = std::find_if(connections_.begin(), connections_.end(),
                                     [&](const auto& c) { return waiting(c) && waitingByIp[c->address.ip] == most; });
    pushOutOldestFrom((*oldest)->address.ip);
}

void NetworkManager::ReadStream(const std::shared_ptr<Connection>& connection)
{
    std::array<std::uint8_t, 4096> chunk{};
    for (int pass = 0; pass < kChunksPerPass; ++pass) {
        const int length = connection->stream->Receive(chunk);
        if (length == 0) {
            return;
        }
        if (length < 0) {
            ReportLoss(connection);
            return;
        }
        if (!ReceiveStreamBytes(connection,
                                std::span<const std::uint8_t>(chunk.data(), static_cast<std::size_t>(length)))) {
            return;
        }
    }
}
