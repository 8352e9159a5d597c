// The LAN game's one manager: whether this machine hosts, its connections,
// the outgoing UDP and TCP buffer pairs flushed once a frame, the UDP receive
// thread and the TCP server thread, and the queue of received records whose
// handlers run on the main thread at the start of its frame.
//
// Instances are independent (each with its own NetConfig), so one test
// process can run a host and two clients; Instance() is the game's own.
//
// Threads and locks. The receive threads parse packets and push records; the
// main thread runs handlers, senders and the flush. Every read or write of
// the connection list takes the manager's (recursive) mutex; the server
// thread polls a snapshot of the connections outside it, so the main thread
// is never starved, and takes it again only to parse. Sends never block: a
// peer that stops reading piles up in its stream's pending queue until the
// cap, then counts as gone. Reset joins both threads before it closes any
// socket, and must not be called with the mutex held. A connect under way is
// only told to stop: its worker owns its socket and touches nothing else of
// the manager but under the mutex, so the frame never waits on an attempt.
//
// Trust. Every byte received is untrusted: a datagram below 16 bytes is
// dropped, the role comes from this machine (a host drops packets that claim
// sender 0, a client those that do not). Anyone can name a datagram's source,
// so a datagram must also prove itself: every datagram on channel 1 opens
// with a proof record carrying the word of its connection, which the client
// draws from the system's random source for each attempt and sends in its
// join on its own stream. Only the client and its host know it: a bystander
// cannot pass for either, and a fellow player, who knows its own word only,
// cannot pass for the host towards another client. A host takes a datagram
// only from a joined client's address and UDP port with that client's word;
// a joined client only from its host's address and UDP port (the host's one
// UDP socket both announces and sends) with its own word. The proof is
// checked and stripped before anything else, so only a proven datagram moves
// the client's stale filter (SequenceFilter), which keeps an older unit state
// from undoing a newer one. Channel 0 carries only the two packets that
// travel alone: announcements (by datagram, to a client not yet joined) and
// welcomes (on the stream); anything else on it is dropped. A datagram
// carries only the records the game sends by datagram (RecordCarriers);
// whatever changes a session or the score comes on the sender's own stream
// only. The records themselves are checked by the handlers before use. A
// host sends its records to joined clients only.
//
// Connections waiting for their join (host). A genuine client sends its join
// the moment its stream is up, and the server thread reads every connection
// it accepts at once, so a connection that has waited is not a player's. A
// connection still waiting may send its join alone, in a packet of its own;
// anything else closes it. It is closed too when it does not join within a
// few seconds; a new one pushes out its own address's oldest waiting one
// past a per-address cap, and past a total cap the one waiting longest goes,
// whatever its address. A join is read only while a place is free for it
// (the joined and the joins read but not handled are never more than the
// seven places): past that the connection is closed at once, nothing
// queued. A connection whose join was read is no longer waiting: it is kept
// for the frame that handles the join, and if its stream ends first a leave
// follows the join, so that frame also undoes it.
//
// Fair shares. No connection takes more than its share of a frame's work or
// of the received-record queue (see ReceivedMessageQueue): the server thread
// reads at most kStreamReadBytes from a stream per pass and leaves out of its
// poll a stream whose records waiting in the queue have reached its backlog,
// so the kernel holds the rest and TCP holds the sender back; the host's
// frame handles at most kClientBytesPerFrame of each client's records and
// leaves the rest for the next. A leave, and the loss of a stream, are never
// refused, and a connection taken off the list has its stream shut down at
// once, so no player who left stays listed and no socket waits half-closed.
#pragma once

#include "core/EventTimer.h"
#include "core/Thread.h"
#include "net/Connection.h"
#include "net/MatchResultSync.h"
#include "net/MessageCodec.h"
#include "net/MessageHandlers.h"
#include "net/NetConfig.h"
#include "net/NetUi.h"
#include "net/NetWorld.h"
#include "net/PacketPair.h"
#include "net/ReceivedMessageQueue.h"
#include "net/SequenceFilter.h"
#include "net/UnitStateSync.h"
#include "platform/Mutex.h"
#include "platform/TcpListener.h"
#include "platform/UdpSocket.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The TCP channel's traffic since the last reset: packets and records sent
// in the first buffer of each flush, and packets (of channel 2) and their
// records parsed from the streams.
struct TcpTraffic {
    std::uint32_t packetsIn = 0;
    std::uint32_t messagesIn = 0;
    std::uint32_t packetsOut = 0;
    std::uint32_t messagesOut = 0;
    bool operator==(const TcpTraffic&) const = default;
};

// A host heard of, or a joined player, as the screens list them.
struct NetPeerEntry {
    std::int32_t id = -2;
    std::string name;
    platform::NetAddress address;
};

class NetworkManager {
public:
    // Host plus seven clients fill the eight start slots.
    static constexpr std::size_t kMaxClients = 7;
    // Connections still waiting for their join held at once from one
    // address, and from all together (see the top of this file). How long
    // one may wait is the config's joinWaitSeconds.
    static constexpr std::size_t kMaxWaitingPerAddress = 7;
    static constexpr std::size_t kMaxWaitingConnections = 32;
    // A client's share on the host: the record bytes of it one frame handles,
    // and those it may have waiting before its stream is read no further.
    // A genuine client's largest burst (a hundred attack orders of 28 bytes)
    // is handled within two frames, a slots record or a chat line within
    // one, and what one client can have relayed to the others in a frame
    // stays within half an outgoing packet, so a flood of chat never pushes
    // the host's own records out of its buffer pair.
    static constexpr std::size_t kClientBytesPerFrame = 2048;
    static constexpr std::size_t kClientBacklogBytes = 8192;
    // A client handles all its host sends each frame; the host's waiting
    // records are bounded only against a host gone wrong or a stalled frame.
    static constexpr std::size_t kHostBacklogBytes = 256 * 1024;
    // Bytes read from one stream per pass of the server thread, so a stream's
    // waiting records overshoot their backlog by at most one read.
    static constexpr std::size_t kStreamReadBytes = 4096;
    // Host buttons that fit on the connection screen.
    static constexpr std::size_t kMaxHosts = 16;

    explicit NetworkManager(const NetConfig& config = NetConfig());
    ~NetworkManager();
    NetworkManager(const NetworkManager&) = delete;
    NetworkManager& operator=(const NetworkManager&) = delete;

    // The game's one manager, created on first use.
    static NetworkManager* Instance();

    // Only while nothing runs (new, or after Reset); the port search starts
    // again from the new base.
    void SetConfig(const NetConfig& config)
    {
        config_ = config;
        nextUdpPort_ = config.udpBasePort;
    }
    const NetConfig& GetConfig() const { return config_; }
    // Borrowed; null restores the do-nothing ones.
    void SetWorld(NetWorld* world);
    void SetUi(NetUi* ui);
    NetWorld& World() { return *world_; }
    NetUi& Ui() { return *ui_; }

    // ---- the session, driven by the screens ----
    // Entering the connection screen: not hosting, the UDP socket bound on
    // the next port of the search and the receive thread started. Entering
    // again while it runs keeps the socket. False when no port is free.
    bool OpenDiscovery();
    // "Host Game": listens on the TCP port, hosts as sender 0, announces at
    // once and every 0.5 s, starts the server thread. False (and not
    // hosting) when the port is taken.
    bool Host(const std::string& name);
    void AnnounceHost();
    void StopAnnouncing();
    // "Connect" on host button i: starts a bounded connect to that host on a
    // worker, so the frame never waits on it. The worker sends the join the
    // moment the stream is up; the frame that sees it done takes the host's
    // stream in, or reports NetUi::ConnectFailed. False at once (nothing
    // started) while hosting, while an attempt runs or a connection is held,
    // or for an index past the list.
    bool Connect(std::size_t hostIndex, const std::string& name);
    // The lobby's kick: a leave (sender 0) to that client, then it is dropped.
    bool Kick(std::int32_t id);
    // The lobby's "Drop" and a client's leaving: a leave sent, then Reset.
    void Leave();
    // Everything stopped and closed: threads joined, connections dropped,
    // buffers emptied, next UDP port back to the base.
    void Reset();
    // The unit-state sync every 0.05 s on the host from match start, and
    // with it the match's score for the clients.
    void StartUnitStateSync();

    // ---- the frame ----
    // Also closes connections that waited too long for their join and, on the
    // connection screen, forgets hosts that stopped announcing.
    void ProcessIncoming();
    void FlushOutgoing();

    // ---- what the screens read ----
    bool IsHosting() const { return hosting_; }
    // Hosting, and in single play: this machine runs the full simulation.
    void SetAuthority(bool authority);
    std::int32_t GetOwnId() const { return ownId_; }
    const std::string& GetOwnName() const { return ownName_; }
    std::uint16_t GetUdpPort() const { return udp_.BoundPort(); }
    std::uint16_t GetTcpPort() const { return listener_.Port(); }
    bool IsConnecting() const;
    // Client: the hosts heard of, in order of first hearing.
    std::vector<NetPeerEntry> Hosts() const;
    // Host: the joined clients by id. Client: the host.
    std::vector<NetPeerEntry> Players() const;
    std::size_t ConnectionCount() const;
    std::uint32_t GetUnitsDestroyed() const { return unitsDestroyed_; }
    TcpTraffic GetTcpTraffic() const;
    UnitStateSync& GetUnitStateSync() { return sync_; }
    ReceivedMessageQueue& GetQueue() { return queue_; }

    // ---- for senders and handlers (main thread) ----
    bool QueueUdp(const NetRecord& record) { return udpPair_.Queue(record); }
    bool QueueTcp(const NetRecord& record) { return tcpPair_.Queue(record); }
    PacketPair& UdpPair() { return udpPair_; }
    PacketPair& TcpPair() { return tcpPair_; }
    // A record in a packet of its own (sender 0, channel 0), sent at once:
    // the welcome.
    void SendDirect(Connection& to, const NetRecord& record);
    // A leave to one connection alone, in a packet of its own on its stream's
    // channel (2), sent at once: the lobby's kick and a refused join.
    void SendLeaveTo(Connection& to);
    // A client's join for the host being joined: its name, the UDP port the
    // host is to send to, and a fresh word for this attempt, which this
    // client's datagrams and its host's must carry from the welcome on.
    JoinRequestMessage MakeJoinRequest();
    void CountUnitDestroyed() { ++unitsDestroyed_; }
    Mutex& GetMutex() { return mutex_; }
    std::vector<std::shared_ptr<Connection>> SnapshotConnections() const;
    // True when it was listed (and is now gone).
    bool RemoveConnection(const std::shared_ptr<Connection>& connection);
    bool IsListed(const std::shared_ptr<Connection>& connection) const;
    // Host, at the match's start: each joined client commands the army made
    // for its slot. Every machine makes the armies of the ready slots in slot
    // order with ids from 0, so the slot's place among the ready ones is its
    // army's id.
    void AssignArmies(const PlayerSlotsMessage& slots);
    // The lowest id 1-7 no connection holds, or -1.
    std::int32_t LowestFreeId() const;
    std::shared_ptr<Connection> HostConnection() const;
    // The host this client is joining over its stream (Connect, once the
    // stream is up).
    void AttachHost(const std::shared_ptr<Connection>& host, const std::string& name);
    // A client's welcome: own id, sender id on all buffers, and only the
    // joined host kept (the other hosts heard of no longer matter).
    void AcceptWelcome(std::int32_t id);
    // A client's announcement from source: true when the host list changed.
    // A full list makes room by forgetting the host heard from longest ago.
    bool NoteHost(const std::string& name, const platform::NetAddress& source);

    // ---- entry points of the receive threads (public for the fuzzers) ----
    void ReceiveDatagram(std::span<const std::uint8_t> datagram, const platform::NetAddress& source);
    // Bytes of one connection's stream; false when its framing failed (the
    // connection is then reported gone).
    bool ReceiveStreamBytes(const std::shared_ptr<Connection>& connection, std::span<const std::uint8_t> chunk);
    // The connection's stream died or was cut: it is shut down, and a leave
    // is queued for it once (never refused).
    void ReportLoss(const std::shared_ptr<Connection>& connection);
    // One whole packet, from a datagram (proved by ReceiveDatagram, whose
    // peer from is) or out of a stream's framer.
    void ReceivePacket(std::span<const std::uint8_t> packet, const platform::NetAddress& source,
                       const std::shared_ptr<Connection>& from, bool datagram);

private:
    // Handshakes the kernel completes before the server thread accepts them. A
    // flood of connections fills a short queue between two passes of the
    // thread, and the kernel then drops a player's connect unanswered: its
    // retry comes a second later, each drop costs an attempt of about that
    // length, and a few drops fail the join. Accepted flood connections cost
    // little (see PushOutWaiting), so the queue holds what arrives between two
    // passes even on a busy machine; a pass accepts at most this many.
    static constexpr int kListenBacklog = 128;

    // The peer a datagram on channel 1 from source proves itself to be by
    // the word of its proof record, or null.
    std::shared_ptr<Connection> FindDatagramPeer(const platform::NetAddress& source, std::uint32_t word) const;
    // Under the mutex: taken off the list (if listed), its stream shut down,
    // no leave to follow. True when it was listed.
    bool DropConnection(const std::shared_ptr<Connection>& connection);
    // Host: joined connections and joins read but not yet handled.
    std::size_t PlacesHeld() const;
    // The record bytes a connection may have waiting in the queue.
    std::size_t Backlog() const { return hosting_ ? kClientBacklogBytes : kHostBacklogBytes; }
    // Host, server thread: a packet from a connection still waiting to join.
    // False when the connection is not waiting (the packet goes on as usual).
    bool ReceiveFromWaiting(std::span<const std::uint8_t> packet, const PacketHeader& header,
                            const platform::NetAddress& source, const std::shared_ptr<Connection>& from);
    // Server thread: a stream ended, failed or broke its framing.
    void LoseStream(const std::shared_ptr<Connection>& connection);
    // Worker, under the mutex: the join in a packet of its own, sent on the new stream.
    void SendJoin(platform::TcpStream& stream);
    void FlushPair(PacketPair& pair, bool datagrams);
    // Host: connections that have waited joinWaitSeconds without a join are closed.
    void CloseUnjoined();
    // Client before a join: true when hosts not heard for hostForgetSeconds were forgotten.
    bool ForgetSilentHosts();
    // The host a connect or a join is under way to (under the mutex).
    bool IsBeingJoined(const std::shared_ptr<Connection>& host) const;
    bool IsDatagramTarget(const Connection& connection) const;
    void UdpLoop(const Thread& self);
    void ConnectLoop(const Thread& self);
    // The main thread's end of a connect: the host's stream taken in, or the failure shown.
    void FinishConnect();
    void TcpLoop(const Thread& self);
    // Under the mutex: the open streams the server thread polls this pass.
    void WatchStreams(std::vector<std::shared_ptr<Connection>>& watched, std::vector<int>& fds) const;
    void AcceptClients();
    // Host, under the mutex, after a connection from ip was added.
    void PushOutWaiting(std::uint32_t ip);
    void ReadStream(const std::shared_ptr<Connection>& connection);
    static void AnnounceTimer(TimerWord manager, TimerWord second);
    static void SyncTimer(TimerWord manager, TimerWord second);

    NetConfig config_;
    NullNetWorld nullWorld_;
    NullNetUi nullUi_;
    NetWorld* world_ = &nullWorld_;
    NetUi* ui_ = &nullUi_;

    mutable Mutex mutex_;
    std::vector<std::shared_ptr<Connection>> connections_;
    std::shared_ptr<Connection> hostConnection_;
    PacketPair udpPair_{kChannelUdp};
    PacketPair tcpPair_{kChannelTcp};
    platform::UdpSocket udp_;
    platform::TcpListener listener_;
    ReceivedMessageQueue queue_;
    MessageHandlers handlers_;
    UnitStateSync sync_;
    MatchResultSync results_;

    std::atomic<bool> hosting_{false};
    std::atomic<bool> accepting_{true};
    std::atomic<bool> inMatch_{false};
    // Both under the mutex.
    SequenceFilter sequenceFilter_;
    TcpTraffic tcpTraffic_;
    std::atomic<std::int32_t> ownId_{-1};
    std::string ownName_;
    // Client, under the mutex: the word of the last join made (0 before);
    // the host connection takes it with the welcome.
    std::uint32_t joinWord_ = 0;
    std::uint32_t unitsDestroyed_ = 0;
    std::uint16_t nextUdpPort_ = 0;
    std::uint32_t resetCount_ = 0;
    std::uint32_t announceTimer_ = kNoTimer;
    std::uint32_t syncTimer_ = kNoTimer;
    // The connect under way (main thread), and what the worker hands back
    // under the mutex. A reset only asks the worker to stop (it ends within
    // a few milliseconds); its stream is then dropped, never handed back.
    std::shared_ptr<Connection> connectingTo_;
    std::string connectingName_;
    platform::NetAddress connectTarget_;
    std::unique_ptr<platform::TcpStream> connectedStream_;
    std::atomic<bool> connectDone_{false};

    // Last: destroyed first, so the loops have stopped before anything they use goes.
    Thread udpThread_{[this](const Thread& self) { UdpLoop(self); }};
    Thread tcpThread_{[this](const Thread& self) { TcpLoop(self); }};
    Thread connectThread_{[this](const Thread& self) { ConnectLoop(self); }};
};
