// Received bytes under libFuzzer: a packet as the UDP thread hands it in, or
// a stream cut into chunks as the TCP thread reads it, into a host or a
// joined client, with the handlers run after. Nothing may crash, and the
// recording world and screens may see only records that passed their checks.
//
// Input: byte 0 picks the role (bit 0: host) and the way in (bits 1-2:
// datagram, whole packet, stream); byte 1 the screen (2-5) and, in a stream,
// the chunk size; byte 2 the game state (3 in a match); the rest the bytes.
#include "../tests/net/NetFakes.h"
#include "net/NetworkManager.h"
#include "net/RecordChecks.h"

#include <cstddef>
#include <cstdint>

namespace {

void Require(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

void CheckSeenOnlyValid(const FakeNetWorld& world, const FakeNetUi& ui)
{
    for (const MoveOrderMessage& move : world.moves) {
        Require(IsFinite(move.point));
    }
    for (const AttackOrderMessage& attack : world.attacks) {
        Require(IsFinite(attack.point));
    }
    for (const UnitStateMessage& state : world.applied) {
        Require(IsValidUnitState(state));
    }
    for (const ExplosionMessage& explosion : world.explosions) {
        Require(IsValidExplosion(explosion));
    }
    Require(ui.optionsReceived == 0 || AreValidSettings(ui.options));
    for (const auto& [id, slot] : ui.slots) {
        Require(id >= 1 && id <= 7);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    FakeNetUi ui;
    FakeNetWorld world;
    world.Populate(2, 4);
    ui.screen = 2 + data[1] % 4;
    world.state = data[2] % 4;
    NetworkManager net{NetConfig()};
    net.SetUi(&ui);
    net.SetWorld(&world);
    auto peer = std::make_shared<Connection>();
    peer->address = {platform::kLoopbackIp, 3339};
    if ((data[0] & 1) != 0) {
        net.SetAuthority(true);
        peer->id = 1;
        peer->joined = true;
    } else {
        net.AttachHost(peer, "me");
        net.AcceptWelcome(2);
    }

    const std::span<const std::uint8_t> bytes(data + 3, size - 3);
    switch ((data[0] >> 1) & 3) {
    case 0:
        net.ReceiveDatagram(bytes, peer->address);
        break;
    case 1:
        net.ReceivePacket(bytes, peer->address, peer, false);
        break;
    default: {
        const std::size_t chunk = 1 + data[1] / 4;
        for (std::size_t at = 0; at < bytes.size(); at += chunk) {
            if (!net.ReceiveStreamBytes(peer, bytes.subspan(at, std::min(chunk, bytes.size() - at)))) {
                break;
            }
            Require(peer->framer.Held() <= kMaxPacketSize);
        }
        break;
    }
    }
    net.ProcessIncoming();
    CheckSeenOnlyValid(world, ui);
    Require(net.Players().size() <= NetworkManager::kMaxClients);
    return 0;
}
