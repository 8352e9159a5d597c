// The host's listening stream socket. SO_REUSEADDR lets a host listen again
// on its port while the last game's connections sit in TIME_WAIT; on Linux it
// does not let a second listener share the port, which reports
// kAddressInUse. Accepted streams come out non-blocking.
#pragma once

#include "platform/Socket.h"
#include "platform/TcpStream.h"

#include <cstdint>
#include <memory>

namespace platform {

class TcpListener {
public:
    SocketResult Listen(std::uint16_t port, int backlog);
    bool IsListening() const { return socket_.IsOpen(); }
    std::uint16_t Port() const { return socket_.LocalPort(); }
    void Close() { socket_.Close(); }
    int Fd() const { return socket_.Fd(); }

    bool WaitReadable(int timeoutMs) const { return socket_.WaitReadable(timeoutMs); }
    // The next waiting connection, or null when none is waiting.
    std::unique_ptr<TcpStream> Accept();

private:
    Socket socket_;
};

} // namespace platform
