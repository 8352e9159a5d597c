// IPv4 addresses of the LAN game: an address and a port in host byte order,
// converted to and from dotted text with inet_pton/inet_ntop (never
// inet_addr, which takes bad text for the broadcast address, nor inet_ntoa,
// whose one static buffer the two receive threads would share).
//
// The loopback guard lives here too: with it on, every send refuses any
// destination outside 127.0.0.0/8, so a test or benchmark can never reach
// another machine. Tests switch it on through the environment variable
// KV_NET_LOOPBACK_ONLY=1, which the test runner sets on every test.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct NetAddress {
    std::uint32_t ip = 0; // host byte order
    std::uint16_t port = 0;

    bool operator==(const NetAddress&) const = default;
};

inline constexpr std::uint32_t kLoopbackIp = 0x7F000001u;

// False, with out untouched, for anything but four dotted decimal numbers.
bool ParseIpv4(const std::string& text, std::uint32_t& out);
std::string FormatIpv4(std::uint32_t ip);
bool IsLoopbackIp(std::uint32_t ip);

// The guard: on when the environment says so or a program switched it on.
bool LoopbackGuardOn();
void SetLoopbackGuard(bool on);
// Whether a packet may go to ip under the guard.
bool DestinationAllowed(std::uint32_t ip);

} // namespace platform
