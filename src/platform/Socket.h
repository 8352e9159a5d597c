// The one owner of a socket descriptor: it closes it exactly once (when
// destroyed, reset or closed), so a closed number never lingers in a record
// to hit whatever socket the system hands that number next. Moving hands the
// descriptor over and leaves the source empty.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// What a socket call came to; the callers act on these, never on errno.
enum class SocketResult {
    kOk,
    kWouldBlock,   // nothing now; try again later
    kClosed,       // the peer closed the stream
    kAddressInUse, // EADDRINUSE: the port search moves on
    kRefused,      // the loopback guard refused the destination, or bad input
    kTimedOut,
    kFailed,
};

class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { Close(); }

    Socket(Socket&& other) noexcept : fd_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();
    int Release();

    bool SetNonBlocking();
    // Waits up to timeoutMs for data (or a peer's close); false on timeout.
    bool WaitReadable(int timeoutMs) const;
    bool WaitWritable(int timeoutMs) const;
    // The local port the socket is bound to (0 when unbound).
    std::uint16_t LocalPort() const;

    // Waits up to timeoutMs until any of the descriptors has data (or its
    // peer closed); the positions of those that have. A negative descriptor
    // is skipped, so with none to watch this simply waits.
    static std::vector<std::size_t> PollReadable(std::span<const int> fds, int timeoutMs);
    // A new socket of the kind (SOCK_DGRAM or SOCK_STREAM), close-on-exec.
    static Socket Create(int type);
    static SocketResult ResultOfErrno(int error);

private:
    int fd_ = -1;
};

} // namespace platform
