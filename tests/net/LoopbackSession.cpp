// The loopback session of the net tests: managers made, ports moved, frames pumped.
#include "LoopbackSession.h"

#include <chrono>
#include <string>

namespace {

constexpr int kMostRounds = 4000;

} // namespace

NetConfig LoopbackSession::ConfigFor(std::uint16_t portBase)
{
    NetConfig config;
    config.udpBasePort = portBase;
    config.udpLastPort = static_cast<std::uint16_t>(portBase + 19);
    config.announceFirstPort = portBase;
    config.announceLastPort = static_cast<std::uint16_t>(portBase + 19);
    config.announceAddress = "127.255.255.255";
    config.tcpPort = static_cast<std::uint16_t>(portBase + 50);
    config.connectTimeoutMs = 2000;
    config.connectAttempts = 1;
    return config;
}

LoopbackSession::LoopbackSession(std::uint16_t portBase, int clients) : config_(ConfigFor(portBase))
{
    for (int i = 0; i <= clients; ++i) {
        auto peer = std::make_unique<NetPeer>();
        peer->net = std::make_unique<NetworkManager>(config_);
        peer->net->SetUi(&peer->ui);
        peer->net->SetWorld(&peer->world);
        peers_.push_back(std::move(peer));
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
    for (int round = 0; round < kMostRounds; ++round) {
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

bool LoopbackSession::StartHosting()
{
    for (int i = 0; i < ClientCount(); ++i) {
        if (!Client(i).net->OpenDiscovery()) {
            return false;
        }
    }
    Host().ui.screen = kScreenLobby;
    Host().ui.options = {1, 3.0f, 31, 2, 50, 0};
    return Host().net->OpenDiscovery() && Host().net->Host("Hal");
}

bool LoopbackSession::JoinAll()
{
    const bool heard = Pump([this] {
        for (int i = 0; i < ClientCount(); ++i) {
            if (Client(i).net->Hosts().empty()) {
                return false;
            }
        }
        return true;
    });
    if (!heard) {
        return false;
    }
    for (int i = 0; i < ClientCount(); ++i) {
        if (!Client(i).net->Connect(0, "Player" + std::to_string(i + 1))) {
            return false;
        }
    }
    return Pump([this] {
        for (int i = 0; i < ClientCount(); ++i) {
            if (Client(i).net->GetOwnId() < 1 || Client(i).ui.names[ClientCount() - 1].empty()) {
                return false;
            }
        }
        return Host().net->Players().size() == static_cast<std::size_t>(ClientCount());
    });
}
