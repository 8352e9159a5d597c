// One reliable stream between host and client. Connecting is bounded: a
// fresh socket per attempt, never bound to a fixed local port (two clients
// on one machine would collide), a non-blocking connect waited on with poll,
// a few attempts, then failure for the connection screen to report.
//
// Sends never block the frame and never raise SIGPIPE (MSG_NOSIGNAL): what
// the system will not take now waits in a pending queue, flushed on the next
// send, and a peer that lets the queue grow past its cap is reported dead, as
// is any hard error.
#pragma once

#include "platform/NetAddress.h"
#include "platform/Socket.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace platform {

class TcpStream {
public:
    // Bytes a peer may leave unread before it is given up.
    static constexpr std::size_t kPendingCap = 256 * 1024;

    TcpStream(Socket socket, const NetAddress& peer) : socket_(std::move(socket)), peer_(peer) {}

    // Up to attempts tries of timeoutMs each; null when none connected or the
    // guard refuses the destination.
    static std::unique_ptr<TcpStream> Connect(const NetAddress& to, int timeoutMs, int attempts);
    // As Connect, but given up (null) within a few milliseconds of stopped()
    // turning true, so a worker that connects can be told to stop.
    static std::unique_ptr<TcpStream> ConnectUnlessStopped(const NetAddress& to, int timeoutMs, int attempts,
                                                           const std::function<bool()>& stopped);

    const NetAddress& Peer() const { return peer_; }
    bool IsOpen() const { return socket_.IsOpen() && !dead_; }
    bool IsDead() const { return dead_; }
    int Fd() const { return socket_.Fd(); }
    void Close() { socket_.Close(); }
    // Gives the stream up while another thread may still poll or read it:
    // the peer is sent our end of the stream at once (so the connection
    // never waits half-closed on us) and the stream counts as dead, while
    // the descriptor stays this object's until Close or destruction, so no
    // thread ever reads a number the system has handed to another socket.
    void Shutdown();

    // Queues the bytes and sends what the system takes now. kClosed or
    // kFailed mark the stream dead; kOk otherwise, even with bytes pending.
    SocketResult Send(std::span<const std::uint8_t> bytes);
    std::size_t PendingBytes() const { return pending_.size(); }
    // Bytes read now: > 0 the count, 0 nothing waiting, -1 the peer closed
    // or failed (the stream is then dead).
    int Receive(std::span<std::uint8_t> buffer);

private:
    SocketResult FlushPending();

    Socket socket_;
    NetAddress peer_;
    std::vector<std::uint8_t> pending_;
    // Set by either thread (the main thread sends, the server thread reads).
    std::atomic<bool> dead_{false};
};

} // namespace platform
