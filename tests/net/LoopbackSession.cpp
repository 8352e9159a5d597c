// The loopback session of the net tests: managers made, ports moved, frames pumped.
#include "LoopbackSession.h"

#include "NetPortLease.h"
#include "TestSupport.h"

#include <chrono>
#include <stdexcept>
#include <string>

namespace {

std::uint16_t LeasedPortBase()
{
    const std::uint16_t base = testing::LeaseNetPortBase();
    if (base == 0) {
        throw std::runtime_error("no block of loopback ports is free");
    }
    return base;
}

} // namespace

NetConfig LoopbackSession::ConfigFor(std::uint16_t portBase)
{
    NetConfig config = testing::LoopbackNetConfig(portBase);
    config.connectTimeoutMs = 2000;
    config.connectAttempts = 1;
    return config;
}

LoopbackSession::LoopbackSession(int clients) : config_(ConfigFor(LeasedPortBase()))
{
    for (int i = 0; i <= clients; ++i) {
        peers_.push_back(std::make_unique<NetPeer>());
        NetPeer& peer = *peers_.back();
        peer.net = std::make_unique<NetworkManager>(config_);
        peer.net->SetUi(&peer.ui);
        peer.net->SetWorld(&peer.world);
    }
}

LoopbackSession::~LoopbackSession()
{
    for (const std::unique_ptr<NetPeer>& peer : peers_) {
        peer->net->Reset();
    }
}

void LoopbackSession::Frame()
{
    for (const std::unique_ptr<NetPeer>& peer : peers_) {
        peer->net->FlushOutgoing();
    }
    for (const std::unique_ptr<NetPeer>& peer : peers_) {
        peer->net->ProcessIncoming();
    }
}

bool LoopbackSession::Pump(const std::function<bool()>& done)
{
    // The bound only ends a failing test: on loopback a condition holds within a few rounds.
    for (int round = 0; round < 4000; ++round) {
        Frame();
        if (done()) {
            return true;
        }
        for (const std::unique_ptr<NetPeer>& peer : peers_) {
            if (peer->net->GetQueue().WaitForAny(std::chrono::milliseconds(1))) {
                break;
            }
        }
    }
    return false;
}

bool LoopbackSession::EveryClient(const std::function<bool(NetPeer&)>& holds)
{
    for (int i = 0; i < ClientCount(); ++i) {
        if (!holds(Client(i))) {
            return false;
        }
    }
    return true;
}

bool LoopbackSession::StartHosting()
{
    Host().ui.screen = kScreenLobby;
    Host().ui.options = {1, 3.0f, 31, 2, 50, 0};
    return EveryClient([](NetPeer& client) { return client.net->OpenDiscovery(); }) && Host().net->OpenDiscovery() &&
           Host().net->Host("Hal");
}

bool LoopbackSession::JoinAll()
{
    const std::size_t last = static_cast<std::size_t>(ClientCount()) - 1;
    int number = 0;
    return Pump([this] { return EveryClient([](NetPeer& client) { return !client.net->Hosts().empty(); }); }) &&
           EveryClient(
               [&number](NetPeer& client) { return client.net->Connect(0, "Player" + std::to_string(++number)); }) &&
           Pump([this, last] {
               return Host().net->Players().size() == last + 1 && EveryClient([last](NetPeer& client) {
                          return client.net->GetOwnId() >= 1 && !client.ui.names[last].empty();
                      });
           });
}
