// Where the LAN game listens and announces. The defaults are the game's own
// ports; tests move them (and point the announcement at 127.255.255.255) so
// that several managers in one process, and other programs, never collide
// and nothing leaves the machine.
#pragma once

#include <cstdint>
#include <string>

struct NetConfig {
    // The first UDP receive port; each later start of discovery asks for the
    // next one, and the search never goes past udpLastPort, since hosts
    // announce only to the announcement ports.
    std::uint16_t udpBasePort = 3339;
    std::uint16_t udpLastPort = 3399;
    std::uint16_t announceFirstPort = 3300;
    std::uint16_t announceLastPort = 3399;
    std::string announceAddress = "255.255.255.255";
    std::uint16_t tcpPort = 4444;
    // A connection attempt: this many tries of this many milliseconds.
    int connectTimeoutMs = 1000;
    int connectAttempts = 3;
    // Game-clock seconds a host gives a connection to send its join before
    // it closes it, and a client keeps a host that stopped announcing (hosts
    // announce every 0.5 s).
    float joinWaitSeconds = 5.0f;
    float hostForgetSeconds = 5.0f;
};
