// The owning socket handle over POSIX: poll for readiness (select's fd_set
// is undefined past descriptor 1023 and rewrites its arguments), and the
// mapping of errno to the few results the network code tells apart.
#include "platform/Socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

Socket& Socket::operator=(Socket&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

void Socket::Close()
{
    if (fd_ < 0) {
        return;
    }
    const int fd = fd_;
    fd_ = -1;
    ::close(fd);
}

int Socket::Release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool Socket::SetNonBlocking()
{
    const int flags = ::fcntl(fd_, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK) == 0;
}

namespace {

bool WaitFor(int fd, short events, int timeoutMs)
{
    if (fd < 0) {
        return false;
    }
    pollfd entry{fd, events, 0};
    const int result = ::poll(&entry, 1, timeoutMs);
    return result > 0 && (entry.revents & (events | POLLHUP | POLLERR)) != 0;
}

} // namespace

bool Socket::WaitReadable(int timeoutMs) const
{
    return WaitFor(fd_, POLLIN, timeoutMs);
}

bool Socket::WaitWritable(int timeoutMs) const
{
    return WaitFor(fd_, POLLOUT, timeoutMs);
}

std::vector<std::size_t> Socket::PollReadable(std::span<const int> fds, int timeoutMs)
{
    std::vector<pollfd> entries(fds.size());
    for (std::size_t i = 0; i < fds.size(); ++i) {
        entries[i] = {fds[i], POLLIN, 0};
    }
    std::vector<std::size_t> ready;
    if (::poll(entries.data(), entries.size(), timeoutMs) <= 0) {
        return ready;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i] >= 0 && (entries[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            ready.push_back(i);
        }
    }
    return ready;
}

std::uint16_t Socket::LocalPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (fd_ < 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

Socket Socket::Create(int type)
{
    return Socket(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
}

SocketResult Socket::ResultOfErrno(int error)
{
    switch (error) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EINTR:
    case EINPROGRESS:
        return SocketResult::kWouldBlock;
    case EADDRINUSE:
        return SocketResult::kAddressInUse;
    case EPIPE:
    case ECONNRESET:
        return SocketResult::kClosed;
    case ETIMEDOUT:
        return SocketResult::kTimedOut;
    default:
        return SocketResult::kFailed;
    }
}

} // namespace platform
