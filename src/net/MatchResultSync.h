// The host's score of the match for the clients: the match state and every
// army's damage and flag figures in ranked order, twice a second and at once
// whenever the match state changes, so the statistics every machine shows
// are the host's. It travels on the TCP pair: the last word must arrive, and
// arrive after the deaths it counts. Run from the host's 0.05 s sync timer.
#pragma once

#include <cstdint>

class NetWorld;
class PacketPair;

class MatchResultSync {
public:
    // Ticks of the 0.05 s timer between two results: half a second.
    static constexpr int kTicksPerResult = 10;

    void Tick(const NetWorld& world, PacketPair& tcp);
    void Reset();

private:
    int ticksSinceSent_ = 0;
    std::uint32_t lastState_ = 0;
    bool sentAny_ = false;
};
