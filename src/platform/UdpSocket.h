// The datagram socket of the LAN game: host announcements, unit states and
// some orders. It binds to any address (broadcasts reach only such sockets)
// on the first free port of a range, searched upward one port at a time;
// no SO_REUSEADDR, which on Linux would let two sockets share a port and
// defeat the search. Receives take one whole datagram; one larger than the
// buffer is detected with MSG_TRUNC and dropped rather than cut short.
#pragma once

#include "platform/NetAddress.h"
#include "platform/Socket.h"

#include <cstdint>
#include <span>

namespace platform {

class UdpSocket {
public:
    // The largest datagram the game takes: a 16-byte header and 3999 bytes of records.
    static constexpr std::size_t kMaxDatagram = 4015;

    // Binds the first free port from firstPort to lastPort inclusive; a port
    // above 30000 is never taken. kAddressInUse when every port is taken.
    SocketResult BindInRange(std::uint16_t firstPort, std::uint16_t lastPort);
    bool IsBound() const { return socket_.IsOpen(); }
    // The port actually bound (getsockname), 0 when none.
    std::uint16_t BoundPort() const { return boundPort_; }
    void Close();

    bool WaitReadable(int timeoutMs) const { return socket_.WaitReadable(timeoutMs); }
    // One datagram into buffer (at least kMaxDatagram + 1 bytes). Returns its
    // length, or -1 when none was waiting or it did not fit (it is dropped).
    int Receive(std::span<std::uint8_t> buffer, NetAddress& from);
    // Unicast; kRefused when the guard forbids the destination.
    SocketResult SendTo(const NetAddress& to, std::span<const std::uint8_t> bytes);
    // To a broadcast address: sets SO_BROADCAST first, without which Linux refuses it.
    SocketResult Broadcast(const NetAddress& to, std::span<const std::uint8_t> bytes);

private:
    Socket socket_;
    std::uint16_t boundPort_ = 0;
};

} // namespace platform
