// NetworkManager: the UDP receive loop and the TCP server loop. Both wait at
// most a millisecond at a time, so a stop request is seen at once and Reset's
// join is short.
#include "net/NetworkManager.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kWaitMs = 1;

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
        WatchStreams(watched, fds);
        for (const std::size_t position : platform::Socket::PollReadable(fds, kWaitMs)) {
            if (position == 0) {
                AcceptClients();
            } else {
                ReadStream(watched[position - 1]);
            }
        }
    }
}

void NetworkManager::WatchStreams(std::vector<std::shared_ptr<Connection>>& watched, std::vector<int>& fds) const
{
    // A stream whose records already fill its backlog is left to the kernel
    // until the frame has taken some: not polled, so the loop does not spin
    // on it, and its end is seen once it is read again.
    const std::size_t backlog = Backlog();
    MutexLock lock(mutex_);
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (connection->stream && connection->stream->IsOpen() && connection->queuedBytes < backlog) {
            watched.push_back(connection);
            fds.push_back(connection->stream->Fd());
        }
    }
}

void NetworkManager::AcceptClients()
{
    // Every connection waiting, each read at once: a genuine client's join
    // comes with its connect, so it is seldom still waiting when the caps
    // are applied. Bounded by the listen queue, so the streams are read
    // between two floods of connections.
    for (int accepted = 0; accepted < kListenBacklog; ++accepted) {
        std::unique_ptr<platform::TcpStream> stream = listener_.Accept();
        if (!stream) {
            return;
        }
        auto connection = std::make_shared<Connection>();
        const std::uint32_t ip = stream->Peer().ip;
        connection->address = {ip, 0};
        connection->stream = std::move(stream);
        {
            MutexLock lock(mutex_);
            connections_.push_back(connection);
        }
        ReadStream(connection);
        MutexLock lock(mutex_);
        PushOutWaiting(ip);
    }
}

void NetworkManager::PushOutWaiting(std::uint32_t ip)
{
    // Only joins take the seven places (NetworkManager::LowestFreeId). Of the
    // connections still to join, the newcomer's own address gives up its
    // oldest past its cap, and past the total cap the one waiting longest
    // goes, whatever its address: a genuine client sends its join at once,
    // so one that has waited is not one. The list is in order of arrival.
    const auto waiting = [](const std::shared_ptr<Connection>& c) { return !c->joined && !c->joinReceived; };
    std::size_t fromIp = 0;
    std::size_t total = 0;
    for (const std::shared_ptr<Connection>& connection : connections_) {
        if (waiting(connection)) {
            fromIp += connection->address.ip == ip ? 1 : 0;
            ++total;
        }
    }
    std::shared_ptr<Connection> oldest;
    if (fromIp > kMaxWaitingPerAddress) {
        oldest = *std::find_if(connections_.begin(), connections_.end(),
                               [&](const auto& c) { return waiting(c) && c->address.ip == ip; });
    } else if (total > kMaxWaitingConnections) {
        oldest = *std::find_if(connections_.begin(), connections_.end(), waiting);
    }
    if (oldest) {
        DropConnection(oldest);
    }
}

void NetworkManager::ReadStream(const std::shared_ptr<Connection>& connection)
{
    // One read a pass: the stream's share of the loop, and its waiting
    // records pass its backlog by at most this much.
    std::array<std::uint8_t, kStreamReadBytes> chunk{};
    const int length = connection->stream->Receive(chunk);
    if (length == 0) {
        return;
    }
    if (length < 0) {
        LoseStream(connection);
        return;
    }
    ReceiveStreamBytes(connection, std::span<const std::uint8_t>(chunk.data(), static_cast<std::size_t>(length)));
}
