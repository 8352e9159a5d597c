// MatchResultSync.
#include "net/MatchResultSync.h"

#include "net/NetWorld.h"
#include "net/PacketPair.h"

void MatchResultSync::Tick(const NetWorld& world, PacketPair& tcp)
{
    ++ticksSinceSent_;
    MatchResultMessage result;
    if (!world.ReadMatchResult(result)) {
        return;
    }
    const bool stateChanged = !sentAny_ || result.state != lastState_;
    if (!stateChanged && ticksSinceSent_ < kTicksPerResult) {
        return;
    }
    tcp.Queue(result);
    ticksSinceSent_ = 0;
    lastState_ = result.state;
    sentAny_ = true;
}

void MatchResultSync::Reset()
{
    ticksSinceSent_ = 0;
    lastState_ = 0;
    sentAny_ = false;
}
