// TcpStream over POSIX sockets.
#include "platform/TcpStream.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

namespace {

// A stop request is looked at this often while a connect is waited on.
constexpr int kStopCheckMs = 10;

// The wait for a connect, in slices, so a stop request ends it within one.
bool WaitConnected(const Socket& socket, int timeoutMs, const std::function<bool()>& stopped)
{
    for (int waited = 0; waited < timeoutMs; waited += kStopCheckMs) {
        if (stopped()) {
            return false;
        }
        if (socket.WaitWritable(std::min(kStopCheckMs, timeoutMs - waited))) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<TcpStream> ConnectOnce(const NetAddress& to, int timeoutMs, const std::function<bool()>& stopped)
{
    Socket socket = Socket::Create(SOCK_STREAM);
    if (!socket.IsOpen() || !socket.SetNonBlocking()) {
        return nullptr;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(to.ip);
    peer.sin_port = htons(to.port);
    if (::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        if (errno != EINPROGRESS || !WaitConnected(socket, timeoutMs, stopped)) {
            return nullptr;
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(socket.Fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            return nullptr;
        }
    }
    return std::make_unique<TcpStream>(std::move(socket), to);
}

} // namespace

std::unique_ptr<TcpStream> TcpStream::Connect(const NetAddress& to, int timeoutMs, int attempts)
{
    return ConnectUnlessStopped(to, timeoutMs, attempts, [] { return false; });
}

std::unique_ptr<TcpStream> TcpStream::ConnectUnlessStopped(const NetAddress& to, int timeoutMs, int attempts,
                                                           const std::function<bool()>& stopped)
{
    if (to.port == 0 || !DestinationAllowed(to.ip)) {
        return nullptr;
    }
    for (int attempt = 0; attempt < attempts && !stopped(); ++attempt) {
        std::unique_ptr<TcpStream> stream = ConnectOnce(to, timeoutMs, stopped);
        if (stream) {
            return stream;
        }
    }
    return nullptr;
}

SocketResult TcpStream::Send(std::span<const std::uint8_t> bytes)
{
    if (!IsOpen()) {
        return SocketResult::kClosed;
    }
    if (pending_.size() + bytes.size() > kPendingCap) {
        dead_ = true;
        return SocketResult::kFailed;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return FlushPending();
}

SocketResult TcpStream::FlushPending()
{
    std::size_t sent = 0;
    while (sent < pending_.size()) {
        const ssize_t n =
            ::send(socket_.Fd(), pending_.data() + sent, pending_.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        const SocketResult result = Socket::ResultOfErrno(errno);
        if (n < 0 && result == SocketResult::kWouldBlock) {
            break;
        }
        dead_ = true;
        pending_.clear();
        return result == SocketResult::kWouldBlock ? SocketResult::kFailed : result;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
    return SocketResult::kOk;
}

void TcpStream::Shutdown()
{
    dead_ = true;
    if (socket_.IsOpen()) {
        ::shutdown(socket_.Fd(), SHUT_RDWR);
    }
}

int TcpStream::Receive(std::span<std::uint8_t> buffer)
{
    if (!IsOpen()) {
        return -1;
    }
    const ssize_t n = ::recv(socket_.Fd(), buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n > 0) {
        return static_cast<int>(n);
    }
    if (n < 0 && Socket::ResultOfErrno(errno) == SocketResult::kWouldBlock) {
        return 0;
    }
    dead_ = true;
    return -1;
}

} // namespace platform
