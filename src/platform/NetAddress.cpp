// Address text conversion and the loopback guard over POSIX.
#include "platform/NetAddress.h"

#include <arpa/inet.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool GuardFromEnvironment()
{
    const char* const value = std::getenv("KV_NET_LOOPBACK_ONLY");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

std::atomic<bool>& GuardSwitch()
{
    static std::atomic<bool> on{GuardFromEnvironment()};
    return on;
}

} // namespace

bool ParseIpv4(const std::string& text, std::uint32_t& out)
{
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return false;
    }
    out = ntohl(address.s_addr);
    return true;
}

std::string FormatIpv4(std::uint32_t ip)
{
    in_addr address{};
    address.s_addr = htonl(ip);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address, text, sizeof text) == nullptr) {
        return "0.0.0.0";
    }
    return text;
}

bool IsLoopbackIp(std::uint32_t ip)
{
    return (ip >> 24) == 127u;
}

bool LoopbackGuardOn()
{
    return GuardSwitch().load();
}

void SetLoopbackGuard(bool on)
{
    GuardSwitch() = on || GuardFromEnvironment();
}

bool DestinationAllowed(std::uint32_t ip)
{
    return !LoopbackGuardOn() || IsLoopbackIp(ip);
}

} // namespace platform
