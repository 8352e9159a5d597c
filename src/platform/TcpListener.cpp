// TcpListener over POSIX sockets.
#include "platform/TcpListener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

SocketResult TcpListener::Listen(std::uint16_t port, int backlog)
{
    Socket candidate = Socket::Create(SOCK_STREAM);
    if (!candidate.IsOpen()) {
        return SocketResult::kFailed;
    }
    const int on = 1;
    ::setsockopt(candidate.Fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (::bind(candidate.Fd(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(candidate.Fd(), backlog) != 0 || !candidate.SetNonBlocking()) {
        return Socket::ResultOfErrno(errno);
    }
    socket_ = std::move(candidate);
    return SocketResult::kOk;
}

std::unique_ptr<TcpStream> TcpListener::Accept()
{
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    Socket accepted(::accept4(socket_.Fd(), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!accepted.IsOpen()) {
        return nullptr;
    }
    const NetAddress address{ntohl(peer.sin_addr.s_addr), ntohs(peer.sin_port)};
    return std::make_unique<TcpStream>(std::move(accepted), address);
}

} // namespace platform
