// UnitStateSync.
#include "net/UnitStateSync.h"

#include "net/NetWorld.h"
#include "net/PacketPair.h"

void UnitStateSync::Tick(const NetWorld& world, PacketPair& udp)
{
    const std::size_t armies = world.ArmyCount();
    if (armyCursor_ >= armies) {
        Reset();
        return;
    }
    for (int sent = 0; sent < kUnitsPerTick; ++sent) {
        UnitStateMessage state;
        if (world.ReadUnitState(armyCursor_, unitCursor_, state)) {
            udp.Queue(state);
        }
        ++unitCursor_;
        if (unitCursor_ >= world.UnitCount(armyCursor_)) {
            unitCursor_ = 0;
            ++armyCursor_;
            if (armyCursor_ >= armies) {
                armyCursor_ = 0;
            }
        }
    }
}

void UnitStateSync::Reset()
{
    armyCursor_ = 0;
    unitCursor_ = 0;
}
