// A host and its clients in one process, every one with its own manager,
// ports moved to a block leased for this process alone (NetPortLease.h) and
// announcements to 127.255.255.255, with fake screens and worlds. Pump runs
// the managers' frames (flush, then dispatch) until a condition holds,
// waiting on their queues between rounds rather than sleeping; the bound on
// rounds only ends a failing test.
#pragma once

#include "NetFakes.h"
#include "net/NetworkManager.h"

#include <functional>
#include <memory>
#include <vector>

struct NetPeer {
    FakeNetUi ui;
    FakeNetWorld world;
    std::unique_ptr<NetworkManager> net;
};

// The host's slots with the first count ready, as its Start sends them.
inline PlayerSlotsMessage AllReady(std::size_t count)
{
    PlayerSlotsMessage slots;
    for (std::size_t i = 0; i < count; ++i) {
        slots.slots[i].ready = 1;
    }
    return slots;
}

class LoopbackSession {
public:
    // The host and this many clients, on a newly leased block of ports;
    // throws when no block is free.
    explicit LoopbackSession(int clients);
    ~LoopbackSession();

    // The managers' config. Of the block's ports the managers use the first
    // twenty and PortBase() + 50; the others are the test's own sockets'.
    const NetConfig& Config() const { return config_; }
    std::uint16_t PortBase() const { return config_.udpBasePort; }

    NetPeer& Host() { return *peers_[0]; }
    NetPeer& Client(int i) { return *peers_[static_cast<std::size_t>(i) + 1]; }
    int ClientCount() const { return static_cast<int>(peers_.size()) - 1; }
    std::uint16_t TcpPort() const { return config_.tcpPort; }

    // One frame of every manager, then a short wait for anything arriving.
    void Frame();
    bool Pump(const std::function<bool()>& done);
    // Discovery open everywhere, the host hosting in its lobby as "Hal".
    bool StartHosting();
    // Every client hears the host and joins as "Player<i>".
    bool JoinAll();

private:
    static NetConfig ConfigFor(std::uint16_t portBase);
    bool EveryClient(const std::function<bool(NetPeer&)>& holds);

    NetConfig config_;
    std::vector<std::unique_ptr<NetPeer>> peers_;
};
