// NetworkManager: the UDP receive loop and the TCP server loop. Both wait at
// most a millisecond at a time, so a stop request is seen at once and Reset's
// join is short.
#include "net/NetworkManager.h"

#include <algorithm>
#include <array>

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
        connection->address = {stream->Peer().ip, 0};
        connection->stream = std::move(stream);
        MutexLock lock(mutex_);
        // Only joins take the seven places (NetworkManager::LowestFreeId). Of
        // the connections still to join the oldest makes room for the new
        // one, so a flood of silent peers keeps nobody out; its stream closes
        // when the last snapshot holding it is done.
        const auto waiting = [](const std::shared_ptr<Connection>& c) { return !c->joined; };
        if (static_cast<std::size_t>(std::count_if(connections_.begin(), connections_.end(), waiting)) >=
            kMaxWaitingConnections) {
            connections_.erase(std::find_if(connections_.begin(), connections_.end(), waiting));
        }
        connections_.push_back(std::move(connection));
    }
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
