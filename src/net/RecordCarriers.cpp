// RecordCarriers: the table of the ways each record may come.
#include "net/RecordCarriers.h"

#include "net/MessageCodec.h"

#include <array>

namespace {

struct Ways {
    bool datagramToHost = false;
    bool datagramToClient = false;
    bool stream = false;
    // Travels alone on channel 0 (an announcement by datagram, a welcome on the stream).
    bool alone = false;
};

// clang-format off
constexpr std::array<Ways, kMessageTypeCount> kWays = {{
    //  datagram to    stream  alone
    // host    client
    {false, false, false, false}, //  0 no such type
    {false, false, true,  false}, //  1 join
    {false, true,  false, true},  //  2 announce
    {false, false, true,  true},  //  3 welcome
    {true,  true,  true,  false}, //  4 move
    {false, false, true,  false}, //  5 host id
    {false, false, true,  false}, //  6 chat
    {false, true,  true,  false}, //  7 attack
    {false, false, true,  false}, //  8 leave
    {false, false, true,  false}, //  9 slots
    {false, true,  true,  false}, // 10 unit state
    {false, false, true,  false}, // 11 no-op
    {false, false, true,  false}, // 12 unit destroyed
    {false, false, true,  false}, // 13 start attack
    {false, false, true,  false}, // 14 explosion
    {false, false, true,  false}, // 15 settings
    {false, false, true,  false}, // 16 start
    {false, false, true,  false}, // 17 names
    {false, false, true,  false}, // 18 match result
    {false, false, false, false}, // 19 proof
}};
// clang-format on

} // namespace

bool IsCarriedBy(std::uint32_t type, bool toHost, Carrier carrier, std::uint32_t channel)
{
    if (type >= kWays.size()) {
        return false;
    }
    const Ways& ways = kWays[type];
    if (channel == kChannelDirect && !ways.alone) {
        return false;
    }
    if (carrier == Carrier::kStream) {
        return ways.stream;
    }
    return toHost ? ways.datagramToHost : ways.datagramToClient;
}
