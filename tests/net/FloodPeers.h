// Peers that flood a host, for the flood tests and the network bench: raw
// connections from a loopback address of one's choosing, and one connection
// streaming records as fast as the host takes them. Plain POSIX and the
// game's codec, no test framework.
#pragma once

#include "NetSamples.h"
#include "platform/NetAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

inline constexpr std::uint32_t kFloodIp = 0x7F000002u; // 127.0.0.2

// Opens a connection from fromIp to the port on 127.0.0.1, non-blocking; the
// handshake completes in the kernel. -1 when the socket cannot be made. Only
// system calls, as the flood may run in a forked child.
inline int ConnectFrom(std::uint32_t fromIp, std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    // The port is picked at connect, so the flood does not run short of
    // ports bound but not yet connected.
    const int on = 1;
    (void)::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &on, sizeof(on));
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl(fromIp);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(platform::kLoopbackIp);
    to.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof(from)) != 0 ||
        (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) != 0 && errno != EINPROGRESS)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool WaitFor(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    return ::poll(&entry, 1, timeoutMs) > 0 && (entry.revents & events) != 0;
}

// One connection from 127.0.0.2 sending records as fast as the host takes
// them. Not joined: packets of 999 four-byte records, on a new connection
// whenever the host closes one (at most one a millisecond). Joined: its join
// first, then packets of chat lines and of attack orders under the id its
// welcome gave. It reads and drops all the host sends, so the host never
// cuts it off for not reading.
class RecordStreamer {
public:
    RecordStreamer(std::uint16_t port, bool joins) : port_(port), joins_(joins), thread_([this] { Run(); }) {}
    ~RecordStreamer() { Stop(); }
    RecordStreamer(const RecordStreamer&) = delete;
    RecordStreamer& operator=(const RecordStreamer&) = delete;

    void Stop()
    {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    // Its connection dies: reset, whatever either side still holds of it.
    void Drop() { drop_ = true; }
    bool Welcomed() const { return id_ > 0; }
    // Its connections the host closed.
    int Closed() const { return closed_; }
    std::uint64_t BytesSent() const { return sent_; }

private:
    void Run()
    {
        while (!stop_) {
            const int fd = ConnectFrom(kFloodIp, port_);
            if (fd >= 0 && WaitFor(fd, POLLOUT, 100) && Stream(fd)) {
                ++closed_;
            }
            if (fd >= 0) {
                ::close(fd);
            }
            if (joins_) {
                return; // a joined player does not come back
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Until the host closes the connection (true) or the streamer stops.
    bool Stream(int fd)
    {
        std::vector<std::uint8_t> packet;
        std::size_t offset = 0;
        std::vector<std::uint8_t> received;
        bool chat = false;
        if (joins_) {
            packet = PacketOf({JoinRequestMessage{"stream", 3000, kRawJoinWord}}, -1, kChannelTcp);
        }
        while (!stop_) {
            if (!Drain(fd, received)) {
                return true;
            }
            if (drop_) {
                const linger reset{1, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                return false;
            }
            if (offset == packet.size()) {
                packet = NextPacket(chat);
                offset = 0;
            }
            if (packet.empty()) {
                WaitFor(fd, POLLIN, 1); // joined, but no welcome yet
                continue;
            }
            const ssize_t n = ::send(fd, packet.data() + offset, packet.size() - offset, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                offset += static_cast<std::size_t>(n);
                sent_ += static_cast<std::uint64_t>(n);
            } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitFor(fd, POLLIN | POLLOUT, 1);
            } else {
                return true;
            }
        }
        return false;
    }

    std::vector<std::uint8_t> NextPacket(bool& chat) const
    {
        if (!joins_) {
            return PacketOf(std::vector<NetRecord>(999, StartGameMessage{}), -1, kChannelTcp);
        }
        if (id_ <= 0) {
            return {};
        }
        chat = !chat;
        if (chat) {
            return PacketOf(std::vector<NetRecord>(19, ChatMessage{"stream >> flood", kLobbyChat}), id_, kChannelTcp);
        }
        return PacketOf(std::vector<NetRecord>(142, AttackOrderMessage{{1, 1}, {1.0f, 0.0f, 1.0f}, {}, 1}), id_,
                        kChannelTcp);
    }

    // Reads what is there; the welcome (the first packet the host sends)
    // gives the id. False when the host closed the connection.
    bool Drain(int fd, std::vector<std::uint8_t>& received)
    {
        std::array<std::uint8_t, 65536> bytes{};
        for (;;) {
            const ssize_t n = ::recv(fd, bytes.data(), bytes.size(), MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                return false;
            }
            if (n < 0) {
                return true;
            }
            constexpr std::size_t kWelcomeEnd = kHeaderSize + 8;
            if (received.size() < kWelcomeEnd) {
                received.insert(received.end(), bytes.begin(), bytes.begin() + n);
                if (received.size() >= kWelcomeEnd && received[kHeaderSize] == kMsgWelcome) {
                    std::int32_t id = 0;
                    std::memcpy(&id, received.data() + kHeaderSize + 4, sizeof id);
                    id_ = id;
                }
            }
        }
    }

    const std::uint16_t port_;
    const bool joins_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> drop_{false};
    std::atomic<std::int32_t> id_{0};
    std::atomic<int> closed_{0};
    std::atomic<std::uint64_t> sent_{0};
    std::thread thread_;
};
