// RecordCarriers: the table of the records datagrams carry.
#include "net/RecordCarriers.h"

#include "net/NetMessages.h"

#include <array>

namespace {

struct ByDatagram {
    bool toHost = false;
    bool toClient = false;
};

// clang-format off
constexpr std::array<ByDatagram, kMessageTypeCount> kByDatagram = {{
    {false, false}, //  0 no such type
    {false, false}, //  1 join
    {false, true},  //  2 announce
    {false, false}, //  3 welcome
    {true,  true},  //  4 move
    {false, false}, //  5 host id
    {false, false}, //  6 chat
    {false, true},  //  7 attack
    {false, false}, //  8 leave
    {false, false}, //  9 slots
    {false, true},  // 10 unit state
    {false, false}, // 11 no-op
    {false, false}, // 12 unit destroyed
    {false, false}, // 13 start attack
    {false, false}, // 14 explosion
    {false, false}, // 15 settings
    {false, false}, // 16 start
    {false, false}, // 17 names
    {false, false}, // 18 match result
}};
// clang-format on

} // namespace

bool IsCarriedBy(std::uint32_t type, bool toHost, Carrier carrier)
{
    if (carrier == Carrier::kStream) {
        return true;
    }
    if (type >= kByDatagram.size()) {
        return false;
    }
    return toHost ? kByDatagram[type].toHost : kByDatagram[type].toClient;
}
