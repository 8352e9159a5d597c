// The host's unit-state sync: every 0.05 s the next 40 units in turn, army
// by army in list order, go out as unit-state records on the UDP pair, and
// each client overwrites its copy of the unit. With 320 units every unit is
// refreshed every 0.4 s; with fewer than 40 in all a tick repeats some.
// A unit whose state cannot be read (it died between ticks) is skipped, not
// sent half-filled.
#pragma once

#include <cstddef>

class NetWorld;
class PacketPair;

class UnitStateSync {
public:
    static constexpr int kUnitsPerTick = 40;

    void Tick(const NetWorld& world, PacketPair& udp);
    void Reset();
    std::size_t ArmyCursor() const { return armyCursor_; }
    std::size_t UnitCursor() const { return unitCursor_; }

private:
    std::size_t armyCursor_ = 0;
    std::size_t unitCursor_ = 0;
};
