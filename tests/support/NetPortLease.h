// Blocks of loopback ports reserved for one test process, so that suites run
// side by side on one machine (two ctest runs at once, or a bench beside the
// tests) never meet on a port. A port merely found free could be found free
// by two processes at the same moment; so each block is claimed by an
// exclusive lock on its own file in a directory every process shares, held
// until the process ends (the kernel lets it go however the process ends),
// and is taken only when its ports are free now of other programs too.
//
// A block is kNetPortBlock ports from its base: a loopback session's receive
// and announcement ports are the first twenty and its game port base + 50
// (testing::LoopbackNetConfig); the rest are the test's own for stray
// sockets. Blocks lie below the kernel's ephemeral ports and below the
// highest port the game's receive socket binds.
//
// Plain POSIX and the game's socket layer, no test framework: the benchmarks
// build it too.
#pragma once

#include <cstdint>
#include <string>

namespace testing {

constexpr std::uint16_t kNetPortBlock = 100;
constexpr std::uint16_t kNetPortOrigin = 12000;
constexpr std::uint16_t kNetPortBlocks = 80;

// The base of a block newly reserved for this process; 0 when every block
// is taken or in use. Each call reserves another block.
std::uint16_t LeaseNetPortBase();
// The lock file of the block at base, readable and writable by every user
// once a lease has tried it.
std::string NetPortLockPath(std::uint16_t base);

} // namespace testing
