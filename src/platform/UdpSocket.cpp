// UdpSocket over POSIX sockets.
#include "platform/UdpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

namespace {

constexpr std::uint16_t kHighestGamePort = 30000;

sockaddr_in ToSockaddr(const NetAddress& address)
{
    sockaddr_in out{};
    out.sin_family = AF_INET;
    out.sin_addr.s_addr = htonl(address.ip);
    out.sin_port = htons(address.port);
    return out;
}

} // namespace

SocketResult UdpSocket::BindInRange(std::uint16_t firstPort, std::uint16_t lastPort)
{
    Close();
    const std::uint16_t last = lastPort < kHighestGamePort ? lastPort : kHighestGamePort;
    for (std::uint32_t port = firstPort; port <= last; ++port) {
        Socket candidate = Socket::Create(SOCK_DGRAM);
        if (!candidate.IsOpen()) {
            return SocketResult::kFailed;
        }
        const sockaddr_in local = ToSockaddr({INADDR_ANY, static_cast<std::uint16_t>(port)});
        if (::bind(candidate.Fd(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) {
            socket_ = std::move(candidate);
            boundPort_ = socket_.LocalPort();
            return SocketResult::kOk;
        }
        if (errno != EADDRINUSE) {
            return Socket::ResultOfErrno(errno);
        }
    }
    return SocketResult::kAddressInUse;
}

void UdpSocket::Close()
{
    socket_.Close();
    boundPort_ = 0;
}

int UdpSocket::Receive(std::span<std::uint8_t> buffer, NetAddress& from)
{
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const ssize_t received = ::recvfrom(socket_.Fd(), buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&peer), &length);
    if (received < 0 || static_cast<std::size_t>(received) > kMaxDatagram ||
        static_cast<std::size_t>(received) > buffer.size()) {
        return -1;
    }
    from.ip = ntohl(peer.sin_addr.s_addr);
    from.port = ntohs(peer.sin_port);
    return static_cast<int>(received);
}

SocketResult UdpSocket::SendTo(const NetAddress& to, std::span<const std::uint8_t> bytes)
{
    if (!socket_.IsOpen() || to.port == 0 || !DestinationAllowed(to.ip)) {
        return SocketResult::kRefused;
    }
    const sockaddr_in peer = ToSockaddr(to);
    const ssize_t sent = ::sendto(socket_.Fd(), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
    if (sent < 0) {
        return Socket::ResultOfErrno(errno);
    }
    return static_cast<std::size_t>(sent) == bytes.size() ? SocketResult::kOk : SocketResult::kFailed;
}

SocketResult UdpSocket::Broadcast(const NetAddress& to, std::span<const std::uint8_t> bytes)
{
    if (!socket_.IsOpen()) {
        return SocketResult::kRefused;
    }
    const int on = 1;
    if (::setsockopt(socket_.Fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        return Socket::ResultOfErrno(errno);
    }
    return SendTo(to, bytes);
}

} // namespace platform
